#include "program/shell/ask_search_text.h"

#include "framework/window_manager.h"
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

  WindowManager manager(window);
  manager.CancelControl = cancel;
  manager.OnAccepted(ok, [&] {
    window.Update();
    request.text = text.str();
    request.match_case = match_case != 0;
    found = !request.text.empty();
    manager.PostClose();
    return Level_Notify;
  });
  manager.Run();
  return found;
}

}  // namespace vx
