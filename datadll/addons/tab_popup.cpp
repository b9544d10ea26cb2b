#include "datadll/addons/tab_popup.h"

#include "runtime/events.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx::addons {

bool TabsUnderMouse(long sx, long sy, long sw, long sh, TabSide side, int tab_rows, long tab_width,
                    long x, long y) {
  const bool inside = x >= sx && x < sx + sw && y >= sy && y < sy + sh;
  if (!inside) return false;
  const long strip = 12L * std::max(1, tab_rows);
  switch (side) {
    case TabSide::None:
      return true;
    case TabSide::Above:
      return y < sy + strip;
    case TabSide::Below:
      return y >= sy + sh - strip;
    case TabSide::Left:
      return x < sx + tab_width;
    case TabSide::Right:
      return x >= sx + sw - tab_width;
  }
  return false;
}

}  // namespace vx::addons

namespace vx::MH {

void TABPOPUP::INIT(Window& window) {
  window_ = &window;
  sheets_.clear();
  IGNOREMOUSERIGHT = false;
}

void TABPOPUP::ADDSHEET(int sheet, long tab_width) {
  sheets_.push_back({sheet, tab_width == 0 ? 20 : tab_width, false});
}

void TABPOPUP::PREPAREWINDOW(int style) {
  if (!window_) return;
  for (const auto& c : window_->Controls()) c->Alert(MouseRight);
  // Style 1 makes each sheet's tabs one scrolling row, which the popup then serves; style 2
  // marks the sheets for the popup and leaves their tabs as they are.
  for (Sheet& s : sheets_) {
    if (style == 1) {
      if (Control* sheet = window_->Find(s.control)) sheet->Set(Prop::ScrollTabs, true);
    } else if (style == 2) {
      s.marked = true;
    }
  }
}

int TABPOPUP::TAKEEVENT(bool all) {
  if (!window_) return 0;
  const int event = EVENT();
  if (event != EVENT_NewSelection) IGNOREMOUSERIGHT = false;
  if (event == EVENT_PreAlertKey && KEYCODE() == MouseRight) return 5;
  if (event != EVENT_AlertKey || KEYCODE() != MouseRight) return 0;
  const long x = window_->GetNumber(Prop::MouseX), y = window_->GetNumber(Prop::MouseY);
  for (const Sheet& s : sheets_) {
    Control* sheet = window_->Find(s.control);
    if (!sheet || !sheet->Visible() || (!all && !s.marked && !sheet->Is(Prop::ScrollTabs)))
      continue;
    const std::vector<Control*> tabs = sheet->Children();
    const addons::TabSide side = tabs.empty() ? addons::TabSide::None : SIDE;
    if (!addons::TabsUnderMouse(sheet->GetNumber(Prop::X), sheet->GetNumber(Prop::Y),
                                sheet->GetNumber(Prop::Width), sheet->GetNumber(Prop::Height), side,
                                1, s.tab_width, x, y))
      continue;
    const long current = std::max(sheet->Choice(), 1L);
    std::string menu;
    for (std::size_t i = 0; i < tabs.size(); ++i) {
      std::string text = tabs[i]->TextValue();
      // A hot letter's "&" would underline a letter in the menu too; a "|" would split the item.
      std::string item;
      for (char ch : text) item += ch == '|' ? ' ' : ch;
      if (static_cast<long>(i) + 1 == current) item = "+" + item;
      menu += (i ? "|" : "") + item;
    }
    if (menu.size() > 1000) menu.resize(1000);
    const int chosen = POPUP(menu);
    if (chosen > 0 && chosen != current) {
      sheet->Choose(chosen);
      window_->Post(EVENT_NewSelection, sheet->Number());
      IGNOREMOUSERIGHT = true;
    }
    return 0;
  }
  return 0;
}

void TABPOPUP::TAKEBROWSENEWSELECTION() {
  if (!IGNOREMOUSERIGHT) return;
  if (KEYCODE() == MouseRight) {
    SETKEYCODE(0);
  } else {
    IGNOREMOUSERIGHT = false;
  }
}

}  // namespace vx::MH
