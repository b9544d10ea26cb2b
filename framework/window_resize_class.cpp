#include "framework/window_resize_class.h"

#include <algorithm>
#include <cmath>

#include "runtime/events.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

// `value` of a start `from` long, in an area now `to` long.
long Scaled(long value, long from, long to) {
  return from > 0 ? std::lround(static_cast<double>(value) * to / from) : value;
}

}  // namespace

void WINDOWRESIZECLASS::Init(Window& window, int area) {
  window_ = &window;
  area_ = area;
  const Control& a = window[area];
  width_ = a.GetNumber(Prop::Width);
  height_ = a.GetNumber(Prop::Height);
  controls_.clear();
  for (const auto& c : window.Controls()) {
    if (c->Parent() != area) continue;
    controls_[c->Number()] = {c->GetNumber(Prop::X), c->GetNumber(Prop::Y),
                              c->GetNumber(Prop::Width), c->GetNumber(Prop::Height), Proportional};
  }
}

void WINDOWRESIZECLASS::SetStrategy(int control, Strategy strategy) {
  if (auto it = controls_.find(control); it != controls_.end()) it->second.strategy = strategy;
}

WINDOWRESIZECLASS::Strategy WINDOWRESIZECLASS::StrategyOf(int control) const {
  const auto it = controls_.find(control);
  return it == controls_.end() ? FixTopLeft : it->second.strategy;
}

Level WINDOWRESIZECLASS::TakeEvent() {
  if (!window_ || EVENT() != EVENT_Sized || FIELD() != area_) return Level_Benign;
  const Control& a = (*window_)[area_];
  Resize(a.GetNumber(Prop::Width), a.GetNumber(Prop::Height));
  return Level_Benign;
}

void WINDOWRESIZECLASS::Resize(long width, long height) {
  if (!window_) return;
  for (const auto& [number, start] : controls_) {
    Control* c = window_->Find(number);
    if (!c) continue;
    // A stretched control never goes below nothing, however small the area gets.
    const long wider = std::max(0L, start.width + width - width_);
    const long taller = std::max(0L, start.height + height - height_);
    if (start.strategy == FixTopLeft) {
      c->Place(start.x, start.y, start.width, start.height);
    } else if (start.strategy == Stretch) {
      c->Place(start.x, start.y, wider, taller);
    } else if (start.strategy == StretchWidth) {
      c->Place(start.x, start.y, wider, start.height);
    } else {
      c->Place(Scaled(start.x, width_, width), Scaled(start.y, height_, height),
               Scaled(start.width, width_, width), Scaled(start.height, height_, height));
    }
  }
}

void WINDOWRESIZECLASS::Kill() {
  window_ = nullptr;
  controls_.clear();
}

}  // namespace vx
