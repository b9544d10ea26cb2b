// Splitter bars in a free area (Control::Free): a bar is a control the user drags; the controls
// attached on either side of it either follow it, keeping their size, or have their edge next to
// it follow, changing their size.
//
// When a drag starts the manager works out how far the bar may go (SETMOVINGLIMITS): no control
// that changes size may become smaller than the margin (EDGEBUFFER, 5 dialog units) and no control
// may leave the area. While the mouse moves the bar follows it within those limits; when it is
// let go the attached controls take their new places, each keeping the gap it had to the bar.
// The area's size is its Width and Height, which the front end reports as the window is sized.
#pragma once

#include <string>
#include <vector>

namespace vx {
class Window;
class Control;
}  // namespace vx

namespace vx {

class JNDSPLITMANAGERCLASS {
 public:
  enum Orientation { Horizontal = 1, Vertical = 2 };  // moves up and down / left and right
  enum Side { Above = 1, Below = 2, Left = 3, Right = 4 };

  virtual ~JNDSPLITMANAGERCLASS() = default;
  // The area whose controls are split (a free container).
  void INIT(Control& area);
  void KILL();
  int ADDHORZSPLIT(int bar) { return AddSplit(bar, Horizontal); }
  int ADDVERTSPLIT(int bar) { return AddSplit(bar, Vertical); }
  int ADDFIELDABOVE(int split, int control, bool follow = false) {
    return AddField(split, control, follow, Above);
  }
  int ADDFIELDBELOW(int split, int control, bool follow = false) {
    return AddField(split, control, follow, Below);
  }
  int ADDFIELDLEFT(int split, int control, bool follow = false) {
    return AddField(split, control, follow, Left);
  }
  int ADDFIELDRIGHT(int split, int control, bool follow = false) {
    return AddField(split, control, follow, Right);
  }
  // Works out MINIMUMPOS and MAXIMUMPOS for the split's bar and each attached control's gap.
  void SETMOVINGLIMITS(int split);
  // For the event the window took last: a bar's drag starting, the mouse moving, the bar let go.
  // Answers 0 (the window goes on with the event).
  int TAKEEVENT();
  virtual void DRAGGINGSTARTED(int) {}
  virtual void DRAGGINGSTOPPED(int) {}

  bool MOVINGSPLIT = false;
  int SPLITBEINGMOVED = 0, FEQBEINGMOVED = 0, MOVINGDIRECTION = 0;
  long MINIMUMPOS = 0, MAXIMUMPOS = 0;
  long EDGEBUFFER = 5;

 private:
  struct Split {
    int number;
    int orientation;
    int bar;
  };
  struct Field {
    int split;
    int control;
    int side;
    bool follow;
    long gap;
  };
  int AddSplit(int bar, int orientation);
  int AddField(int split, int control, bool follow, int side);
  const Split* Find(int split) const;
  void Drop();

  Control* area_ = nullptr;
  std::vector<Split> splits_;
  std::vector<Field> fields_;
  std::string cursor_before_;
};

}  // namespace vx
