#include "datadll/addons/split_manager_class.h"

#include <algorithm>

#include "runtime/events.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

// A control's position and size along the direction a bar of `orientation` moves.
long Pos(const Control& c, int orientation) {
  return c.GetNumber(orientation == JNDSPLITMANAGERCLASS::Vertical ? Prop::X : Prop::Y);
}
long Size(const Control& c, int orientation) {
  return c.GetNumber(orientation == JNDSPLITMANAGERCLASS::Vertical ? Prop::Width : Prop::Height);
}

}  // namespace

void JNDSPLITMANAGERCLASS::INIT(Control& area) {
  area_ = &area;
  splits_.clear();
  fields_.clear();
  MOVINGSPLIT = false;
  EDGEBUFFER = 5;
}

void JNDSPLITMANAGERCLASS::KILL() {
  splits_.clear();
  fields_.clear();
}

int JNDSPLITMANAGERCLASS::AddSplit(int bar, int orientation) {
  if (!area_ || !area_->OwnerWindow().Find(bar)) return 0;
  const int number = static_cast<int>(splits_.size()) + 1;
  splits_.push_back({number, orientation, bar});
  area_->OwnerWindow()[bar].Set(Prop::DragId, "1");
  return number;
}

int JNDSPLITMANAGERCLASS::AddField(int split, int control, bool follow, int side) {
  if (!Find(split) || !area_->OwnerWindow().Find(control)) return 5;
  fields_.push_back({split, control, side, follow, 0});
  return 0;
}

const JNDSPLITMANAGERCLASS::Split* JNDSPLITMANAGERCLASS::Find(int split) const {
  for (const Split& s : splits_) {
    if (s.number == split) return &s;
  }
  return nullptr;
}

void JNDSPLITMANAGERCLASS::SETMOVINGLIMITS(int split) {
  const Split* s = Find(split);
  if (!s) return;
  Window& window = area_->OwnerWindow();
  const Control& bar = window[s->bar];
  const int o = s->orientation;
  const long h = Pos(bar, o), g = Size(bar, o);
  long lower = EDGEBUFFER;
  long upper = Size(*area_, o) - EDGEBUFFER - g;
  long m = 0, l = 0;
  for (Field& f : fields_) {
    if (f.split != split) continue;
    const Control& c = window[f.control];
    const long pos = Pos(c, o), size = Size(c, o);
    if (f.side == Above || f.side == Left) {
      f.gap = h - size - pos;
      if (f.follow) {
        m = std::max(m, h - pos);
      } else {
        lower = std::max(lower, pos + EDGEBUFFER);
        m = std::max(m, f.gap);
      }
    } else {
      f.gap = pos - g - h;
      if (f.follow) {
        l = std::max(l, size + pos - g - h);
      } else {
        upper = std::min(upper, size + pos - EDGEBUFFER);
        l = std::max(l, f.gap);
      }
    }
  }
  MINIMUMPOS = lower + m;
  MAXIMUMPOS = upper - l - g;
}

int JNDSPLITMANAGERCLASS::TAKEEVENT() {
  if (!area_) return 0;
  Window& window = area_->OwnerWindow();
  const int event = EVENT();
  if (event == EVENT_Dragging && !MOVINGSPLIT) {
    const Split* s = nullptr;
    for (const Split& candidate : splits_) {
      if (candidate.bar == FIELD()) s = &candidate;
    }
    if (!s) return 0;
    MOVINGSPLIT = true;
    SPLITBEINGMOVED = s->number;
    FEQBEINGMOVED = s->bar;
    MOVINGDIRECTION = s->orientation;
    cursor_before_ = window.Get(Prop::Cursor);
    window.Set(Prop::Cursor, s->orientation == Vertical ? "SizeWE" : "SizeNS");
    SETMOVINGLIMITS(s->number);
    DRAGGINGSTARTED(s->number);
    return 0;
  }
  if (!MOVINGSPLIT || FIELD() != FEQBEINGMOVED) return 0;
  if (event == EVENT_MouseMove) {
    // The bar follows the mouse, held within its limits.
    const long mouse = window.GetNumber(MOVINGDIRECTION == Vertical ? Prop::MouseX : Prop::MouseY);
    const long p = std::max(MINIMUMPOS, std::min(mouse, std::max(MINIMUMPOS, MAXIMUMPOS)));
    window[FEQBEINGMOVED].Set(MOVINGDIRECTION == Vertical ? Prop::X : Prop::Y, p);
  } else if (event == EVENT_Drag) {
    Drop();
  }
  return 0;
}

void JNDSPLITMANAGERCLASS::Drop() {
  MOVINGSPLIT = false;
  Window& window = area_->OwnerWindow();
  window.Set(Prop::Cursor, cursor_before_);
  const Control& bar = window[FEQBEINGMOVED];
  const long d = Pos(bar, MOVINGDIRECTION), c = Size(bar, MOVINGDIRECTION);
  for (const Field& f : fields_) {
    if (f.split != SPLITBEINGMOVED) continue;
    Control& ctl = window[f.control];
    const bool vertical = f.side == Left || f.side == Right;
    const Prop pos_prop = vertical ? Prop::X : Prop::Y;
    const Prop size_prop = vertical ? Prop::Width : Prop::Height;
    const long pos = ctl.GetNumber(pos_prop), size = ctl.GetNumber(size_prop);
    if (f.side == Above || f.side == Left) {
      if (f.follow) {
        ctl.Set(pos_prop, d - size - f.gap);
      } else {
        ctl.Set(size_prop, d - pos - f.gap);
      }
    } else {
      if (!f.follow) ctl.Set(size_prop, pos + size - (d + c) - f.gap);
      ctl.Set(pos_prop, d + c + f.gap);
    }
  }
  DRAGGINGSTOPPED(SPLITBEINGMOVED);
}

}  // namespace vx
