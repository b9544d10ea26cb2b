#include "datadll/addons/resize_window_class.h"

#include <cmath>

#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx::MH {
namespace {

void ProgrammerError(const std::string& text) {
  MESSAGE("Programmer Error:  " + text, "Programmer Error", MessageIcon::Exclamation);
}

long Round(double v) { return std::lround(v); }

}  // namespace

void RESIZEFRAMECLASS::MEASURE(const Control& area) {
  area_ = &area;
  ORIGW = static_cast<int>(area.GetNumber(Prop::Width)) - ADJW;
  ORIGH = static_cast<int>(area.GetNumber(Prop::Height)) - ADJH;
  FONT = area.OwnerWindow().Get(Prop::FontName);
  MEASURED = true;
}

int RESIZEFRAMECLASS::TAKEEVENT() {
  if (area_ && EVENT() == EVENT_Sized && FIELD() == area_->Number()) MEASURE(*area_);
  return 0;
}

bool RESIZEWINDOWCLASS::INIT(RESIZEFRAMECLASS& frame, Control& area, int initial_width,
                             int initial_height, bool resize_width, bool resize_height,
                             bool initial_is_minimum, bool border_beyond_minimum) {
  if (!frame.MEASURED) {
    ProgrammerError("mhResizeWindow.Init called before mhResizeFrame.Measure!");
    return false;
  }
  if (frame.FONT != area.OwnerWindow().Get(Prop::FontName)) {
    ProgrammerError("Window font does not match Frame font!");
    return false;
  }
  frame_ = &frame;
  area_ = &area;
  ORIGWINW = LASTWINW = initial_width;
  ORIGWINH = LASTWINH = initial_height;
  RESIZEW = resize_width;
  RESIZEH = resize_height;
  ORIGISMIN = initial_is_minimum;
  BORDERBEYONDMIN = border_beyond_minimum;
  controls_.clear();
  LASTBROWSEROWS = BrowseRows();
  return true;
}

// A list's rows by its height: its own row height, or the standard font's (10 dialog units).
long RESIZEWINDOWCLASS::BrowseRows() const {
  long rows = 0;
  for (const Entry& e : controls_) {
    const Control* c = area_->OwnerWindow().Find(e.control);
    if (e.fh == 0 || !c) continue;
    const ControlType t = c->Type();
    if (t != ControlType::List && t != ControlType::DropList && t != ControlType::Combo) continue;
    const long line = c->GetNumber(Prop::LineHeight) > 0 ? c->GetNumber(Prop::LineHeight) : 10;
    rows += c->GetNumber(Prop::Height) / line;
  }
  return rows;
}

void RESIZEWINDOWCLASS::INITIALRESIZE(bool maximise, const std::string& horizontal,
                                      const std::string& vertical, int horizontal_adjust,
                                      int vertical_adjust) {
  if (!area_) return;
  Window& window = area_->OwnerWindow();
  if (!RESIZEW || (ORIGISMIN && !BORDERBEYONDMIN)) window.Set(Prop::MinWidth, long{ORIGWINW});
  if (!RESIZEH || (ORIGISMIN && !BORDERBEYONDMIN)) window.Set(Prop::MinHeight, long{ORIGWINH});
  SETINITIALDIMENSIONS(maximise, horizontal, vertical, horizontal_adjust, vertical_adjust);
}

void RESIZEWINDOWCLASS::ADDCONTROL(int control, double x_factor, double y_factor,
                                   double width_factor, double height_factor) {
  if (!area_) return;
  const Control* c = area_->OwnerWindow().Find(control);
  if (!c) return;
  controls_.push_back({control, c->GetNumber(Prop::X), c->GetNumber(Prop::Y),
                       c->GetNumber(Prop::Width), c->GetNumber(Prop::Height), x_factor, y_factor,
                       width_factor, height_factor});
  LASTBROWSEROWS = BrowseRows();
}

void RESIZEWINDOWCLASS::UPDATECONTROL(int control, const std::string& which) {
  if (!area_ || LASTWINW == 0 || LASTWINH == 0) return;
  const Control* c = area_->OwnerWindow().Find(control);
  if (!c) return;
  for (Entry& e : controls_) {
    if (e.control != control) continue;
    const double sx = static_cast<double>(ORIGWINW) / LASTWINW;
    const double sy = static_cast<double>(ORIGWINH) / LASTWINH;
    for (char letter : which) {
      if (letter == 'X' || letter == 'x') e.x = Round(c->GetNumber(Prop::X) * sx);
      if (letter == 'Y' || letter == 'y') e.y = Round(c->GetNumber(Prop::Y) * sy);
      if (letter == 'W' || letter == 'w') e.width = Round(c->GetNumber(Prop::Width) * sx);
      if (letter == 'H' || letter == 'h') e.height = Round(c->GetNumber(Prop::Height) * sy);
    }
  }
}

int RESIZEWINDOWCLASS::TAKEEVENT() {
  if (!area_ || EVENT() != EVENT_Sized || FIELD() != area_->Number()) return 0;
  RESIZE(area_->GetNumber(Prop::Width), area_->GetNumber(Prop::Height));
  return 5;
}

void RESIZEWINDOWCLASS::RESIZE(long width, long height) {
  if (!area_) return;
  if (ORIGISMIN) {
    width = std::max<long>(width, ORIGWINW);
    height = std::max<long>(height, ORIGWINH);
  }
  if (width == LASTWINW && height == LASTWINH) return;
  const long dx = RESIZEW ? width - ORIGWINW : 0;
  const long dy = RESIZEH ? height - ORIGWINH : 0;
  Window& window = area_->OwnerWindow();
  for (const Entry& e : controls_) {
    Control* c = window.Find(e.control);
    if (!c) continue;
    if (e.fx != 0) c->Set(Prop::X, e.x + Round(dx * e.fx));
    if (e.fy != 0) c->Set(Prop::Y, e.y + Round(dy * e.fy));
    if (e.fw != 0) c->Set(Prop::Width, e.width + Round(dx * e.fw));
    if (e.fh != 0) c->Set(Prop::Height, e.height + Round(dy * e.fh));
  }
  if (const long rows = BrowseRows(); rows != LASTBROWSEROWS) {
    LASTBROWSEROWS = rows;
    if (WINDOWMANAGER) WINDOWMANAGER->Reset(true);
  }
  LASTWINW = static_cast<int>(width);
  LASTWINH = static_cast<int>(height);
}

void RESIZEWINDOWCLASS::SETINITIALDIMENSIONS(bool maximise, const std::string& horizontal,
                                             const std::string& vertical, int a, int b) {
  if (!area_ || !frame_) return;
  Window& window = area_->OwnerWindow();
  if (maximise) {
    window.Set(Prop::Maximize, true);
    return;
  }
  long x = window.GetNumber(Prop::X), y = window.GetNumber(Prop::Y);
  long w = ORIGWINW, h = ORIGWINH;
  const long F = frame_->GETW(), G = frame_->GETH(), B = frame_->MEDIAN;
  const long W = ORIGWINW, H = ORIGWINH;
  const long half_w = (F - a - W) / 2, half_h = (G - b - H) / 2;
  if (horizontal == "Full") {
    x -= half_w;
    w += 2 * half_w;
  } else if (horizontal == "Left") {
    x -= half_w;
  } else if (horizontal == "Right") {
    x += half_w;
  } else if (horizontal == "Left-Half" || horizontal == "Right-Half") {
    const long g = F / 2 - W - a - B;
    const bool left = horizontal == "Left-Half";
    if (g <= 0) {
      x += left ? -half_w : half_w;
    } else {
      w += g;
      x += left ? -((F - W) / 2 - a) : W / 2 - a + B;
    }
  }
  if (vertical == "Full") {
    y -= half_h;
    h += 2 * half_h;
  } else if (vertical == "Top") {
    y -= half_h;
  } else if (vertical == "Bottom") {
    y += half_h;
  } else if (vertical == "Top-Half" || vertical == "Bottom-Half") {
    const long g = G / 2 - H - b - B - 5;
    const bool top = vertical == "Top-Half";
    if (g <= 0) {
      y += top ? -half_h : half_h;
    } else {
      h += g;
      y += top ? -((G - H) / 2 - b) : H / 2 - b + B + 5;
    }
  }
  if (x != window.GetNumber(Prop::X) || y != window.GetNumber(Prop::Y)) {
    window.Set(Prop::X, x).Set(Prop::Y, y);
  }
  if (w != ORIGWINW || h != ORIGWINH) RESIZE(w, h);
}

}  // namespace vx::MH
