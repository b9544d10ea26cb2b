#include "program/common/ask_search_text.h"

#include "program/windows/small_dialog.h"
#include "runtime/fixed_string.h"

namespace vx {

bool AskSearchText(SearchRequest& request) {
  String<255> text(request.text);
  std::uint8_t match_case = request.match_case ? 1 : 0;
  bool found = false;

  Window window("Search");
  window.Prompt("&Find:");
  window.Entry(text, "@s255");
  window.Check("Match &case", match_case);
  const int ok = window.Button("&OK").Default();
  const int cancel = window.Button("Cancel");
  window.SetCancelButton(cancel);

  // The text viewer's own dialog: it keeps the viewer's procedure name and keeps no place.
  SmallDialog manager(window, ok, cancel);
  manager.OnOk([&] {
    request.text = text.str();
    request.match_case = match_case != 0;
    found = !request.text.empty();
    return true;
  });
  manager.Run();
  return found;
}

}  // namespace vx
