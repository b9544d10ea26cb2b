#include "datadll/utility/colour_tab_class.h"

#include "runtime/system_properties.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr long kBold = 0x2BC;       // weight 700
constexpr long kNotBold = ~0x1BCL;  // clears the weight bits of a bold style

}  // namespace

void COLOURTABCLASS::INIT(long selectedColour, long selectedFontColour, long bold, long nested,
                          long visibleOnly, long otherFontColour, long otherColour) {
  if (Window* window = CurrentWindow()) {
    INIT(*window, selectedColour, selectedFontColour, bold, nested, visibleOnly, otherFontColour,
         otherColour);
  }
}

void COLOURTABCLASS::INIT(Window& window, long selectedColour, long selectedFontColour, long bold,
                          long nested, long visibleOnly, long otherFontColour, long otherColour) {
  window_ = &window;
  selected_colour_ = selectedColour;
  selected_font_colour_ = selectedFontColour;
  bold_ = bold != 0;
  nested_ = nested != 0;
  visible_only_ = visibleOnly != 0;
  other_font_colour_ = otherFontColour;
  other_colour_ = otherColour;
  SetSystemProperty(kColouredTabsProperty, 1);
  KILL();
  for (const auto& control : window.Controls()) {
    if (control->Type() == ControlType::Tab) {
      tabs_.push_back({control->Number(), control->Number(), control->Parent()});
    } else if (nested_ && control->Parent() != 0) {
      const Control* parent = window.Find(control->Parent());
      if (parent && parent->Type() == ControlType::Tab) {
        nested_controls_.push_back({control->Number(), parent->Number(), parent->Parent()});
      }
    }
  }
}

const Control* COLOURTABCLASS::ShownTab(int sheet_number) const {
  const Control* sheet = window_->Find(sheet_number);
  if (!sheet) return nullptr;
  const long choice = sheet->Choice() ? sheet->Choice() : 1;  // a new sheet shows its first tab
  if (choice < 1) return nullptr;
  long n = 0;
  for (const auto& control : window_->Controls()) {
    if (control->Parent() == sheet_number && ++n == choice) return control.get();
  }
  return nullptr;
}

void COLOURTABCLASS::COLOURTABS() {
  if (!window_) return;
  // The tabs of a sheet are listed together: its shown tab is looked up once for all of them.
  int sheet = 0;
  const Control* shown = nullptr;
  auto selected = [&](const Entry& entry) {
    if (entry.sheet != sheet || !shown) {
      sheet = entry.sheet;
      shown = ShownTab(sheet);
    }
    return shown && shown->Number() == entry.tab;
  };
  for (const Entry& entry : tabs_) {
    Control& tab = (*window_)[entry.control];
    if (visible_only_ && !tab.Visible()) continue;
    const bool is_selected = selected(entry);
    tab.Set(Prop::Color, is_selected ? selected_colour_ : other_colour_);
    tab.Set(Prop::FontColor, is_selected ? selected_font_colour_ : other_font_colour_);
    if (bold_) {
      const long style = tab.GetNumber(Prop::FontStyle);
      tab.Set(Prop::FontStyle, is_selected ? (style | kBold) : (style & kNotBold));
    }
  }
  for (const Entry& entry : nested_controls_) {
    Control& control = (*window_)[entry.control];
    const bool is_selected = selected(entry);
    control.Set(Prop::Color, is_selected ? selected_colour_ : other_colour_);
    control.Set(Prop::FontColor, is_selected ? selected_font_colour_ : other_font_colour_);
  }
}

}  // namespace vx
