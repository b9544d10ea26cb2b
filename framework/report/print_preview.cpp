#include "framework/report/print_preview.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "framework/window_manager.h"
#include "framework/window_position.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr std::string_view kPositionFile = ".\\POSITION.INI";
constexpr std::string_view kProcedure = "PrintPreview";
// The zoom choices: "Whole Page" is 0, the others their percent.
constexpr std::string_view kZoomChoices = "Whole Page|50%|75%|100%|150%|200%";

std::string ZoomText(short zoom) {
  return zoom <= 0 ? std::string("Whole Page") : std::to_string(zoom) + "%";
}

short ZoomOf(const std::string& text) {
  const long percent = std::atol(text.c_str());
  return static_cast<short>(std::clamp(percent, 0L, 400L));
}

}  // namespace

std::uint8_t PRINTPREVIEW(const report::PageImageQueue& queue, short zoom) {
  if (queue.empty()) return 0;
  const long pages = static_cast<long>(queue.size());
  long shown = 1;
  std::string zoom_text = ZoomText(zoom);

  Window window("Print Preview");
  Control& bar = window.Row();
  const int first = bar.Button("&First");
  const int previous = bar.Button("&Previous");
  Control& where = bar.String("");
  const int next = bar.Button("&Next");
  const int last = bar.Button("&Last");
  bar.Prompt("&Zoom:");
  const int zoom_list = bar.DropList(zoom_text, kZoomChoices);
  const int print = bar.Button("&Print");
  const int close = bar.Button("&Close");
  Control& page = window.PageImage();
  window.SetCancelButton(close);

  auto show = [&] {
    where.SetText("Page " + std::to_string(shown) + " of " + std::to_string(pages));
    page.Value(report::PageImageText(queue.pages[static_cast<std::size_t>(shown - 1)]));
    page.Set(Prop::Zoom, static_cast<long>(ZoomOf(zoom_text)));
    window[first].Enable(shown > 1);
    window[previous].Enable(shown > 1);
    window[next].Enable(shown < pages);
    window[last].Enable(shown < pages);
  };
  auto turn = [&](long to) {
    shown = std::clamp(to, 1L, pages);
    show();
  };

  std::uint8_t answer = 0;
  WindowManager manager(window);
  manager.CancelControl = close;
  manager.OnAccepted(first, [&] { turn(1); });
  manager.OnAccepted(previous, [&] { turn(shown - 1); });
  manager.OnAccepted(next, [&] { turn(shown + 1); });
  manager.OnAccepted(last, [&] { turn(pages); });
  manager.OnAccepted(zoom_list, [&] { show(); });
  manager.OnAccepted(print, [&] {
    answer = 1;
    manager.PostClose();
  });
  // The place is kept as the user moves or sizes the window, so every way of closing keeps it.
  auto keep_place = [&] {
    IniFile positions(kPositionFile);
    SaveWindowPlace(positions, kProcedure, window);
  };
  manager.On(EVENT_Moved, keep_place);
  manager.On(EVENT_Sized, keep_place);
  FetchWindowPlace(IniFile(kPositionFile), kProcedure, window);
  show();
  manager.Run();
  return answer;
}

void HANDLECOPIES(report::PageImageQueue& queue, long copies) {
  queue.copies = static_cast<int>(std::max(copies, 1L));
}

long SUPPORTED(long property) { return property == PROPPRINT_Copies ? 1 : 0; }

}  // namespace vx
