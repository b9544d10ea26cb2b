// Turns a form's sheet into a wizard: one tab at a time, paged with Back and Next and ended
// with Finish, hidden tabs skipped when asked. Outside wizard mode the sheet keeps its tab
// headers, Back and Next are hidden and Finish shows.
//
// The form calls TAKEACCEPTED from its own accepted handling; a form that checks a page before
// leaving it, or acts on a page change, overrides VALIDATE and the two embed points.
#pragma once

namespace vx {

class Window;

class FORMWIZARDCLASS {
 public:
  virtual ~FORMWIZARDCLASS() = default;

  // Pages `sheet` of the current window with `back`, `next` and `finish`; `mode` 1 is wizard
  // mode; with `validate`, Next asks VALIDATE first; with `swap`, Finish takes Next's place and
  // shows only on the last page; with `skipHidden`, hidden tabs are passed over. Starts on the
  // lowest page.
  void INIT(int sheet, int back, int next, long mode, long validate, bool swap, bool skipHidden,
            bool switchValue, int finish);
  void INIT(Window& window, int sheet, int back, int next, long mode, long validate, bool swap,
            bool skipHidden, bool switchValue, int finish);

  // Back, Next, or the sheet or one of its tabs accepted (ACCEPTED()); other controls are left.
  virtual void TAKEACCEPTED();
  // Shows the current page with its buttons: Next the default button, Back greyed on the first
  // page, Finish the default (and, with swap, in Next's place) on the last.
  virtual void TAKENEWSELECTION();
  virtual void TAKEBACKEMBED() {}
  virtual void TAKENEXTEMBED() {}
  // Nonzero keeps Next on the current page.
  virtual long VALIDATE() { return 0; }

  void TAKENEXT();
  void TAKEBACK();
  void RESETRANGE() {
    FINDMINTAB();
    FINDMAXTAB();
  }
  void FINDMINTAB();
  void FINDMAXTAB();
  void APPLYRANGE();
  // The button that ends the current page: Next before the last page in wizard mode, else Finish.
  int NEXTCONTROL() const;
  // Wizard mode only: the sheet, the window and every control below the sheet's top come up by
  // `amount`.
  void SHRINKSHEET(long amount);
  // Wizard mode only: shows `side` (a picture beside the pages) and makes room for it on the
  // left, then shows `second`.
  void INITMULTIUSEFORM(int side, int second);
  void KILL() {}

  int CurrentTab() const { return current_; }
  int LowestTab() const { return lowest_; }
  int HighestTab() const { return highest_; }

 private:
  int TabCount() const;
  bool TabHidden(int tab) const;  // tab from 1

  Window* window_ = nullptr;
  int back_ = 0, next_ = 0, finish_ = 0;
  bool switch_ = false;  // kept for the form; the wizard itself does not read it
  int sheet_ = 0, first_tab_ = 0;
  int side_ = 0, second_ = 0;
  int highest_ = 0, lowest_ = 0, current_ = 0;
  bool skip_hidden_ = false, swap_ = false, validate_ = false, wizard_ = false;
};

}  // namespace vx
