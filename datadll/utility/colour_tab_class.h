// Tab colouring of a form's sheets: the selected tab in its own colours, the others greyed, so
// that the tab being shown stands out. Forms re-apply it after every tab change.
#pragma once

#include <vector>

namespace vx {

class Control;
class Window;

// The colour of the tabs not shown on every form of the program (a grey, as BGR 0xA7A7A7).
constexpr long kOtherTabColour = 10987431;

class COLOURTABCLASS {
 public:
  // Remembers the colours (-1: the default colour) and lists every tab of the current window
  // with its sheet; with `nested`, also every control on a tab, coloured by its tab's state.
  // Switches tab colours on for the runtime (kColouredTabsProperty).
  void INIT(long selectedColour, long selectedFontColour, long bold, long nested, long visibleOnly,
            long otherFontColour, long otherColour);
  void INIT(Window& window, long selectedColour, long selectedFontColour, long bold, long nested,
            long visibleOnly, long otherFontColour, long otherColour);
  // Colours each listed tab by whether its sheet shows it (tabs not visible are skipped when
  // `visibleOnly` was given); with `bold`, the selected tab's text is bold and the others not.
  void COLOURTABS();
  void KILL() {
    tabs_.clear();
    nested_controls_.clear();
  }

 private:
  struct Entry {
    int control;
    int tab;  // the tab a nested control lies on; the tab itself for a tab
    int sheet;
  };
  // The tab a sheet shows (nullptr when its choice names none).
  const Control* ShownTab(int sheet) const;

  Window* window_ = nullptr;
  long selected_colour_ = -1, selected_font_colour_ = -1, other_colour_ = -1,
       other_font_colour_ = -1;
  bool bold_ = false, nested_ = false, visible_only_ = false;
  std::vector<Entry> tabs_;
  std::vector<Entry> nested_controls_;
};

}  // namespace vx
