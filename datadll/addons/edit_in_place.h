// Cell editors: a control standing over one cell of a list (the list's chosen row, a column),
// through which a list that edits its rows in place takes the user's typing cell by cell.
//
// Each editor edits a text variable of the list's owner. Its TAKEEVENT turns the keys alerted on
// it into action codes for the list: 1 Tab (the next cell), 2 Shift+Tab (the cell before),
// 3 Enter (the row is complete), 4 Esc (cancel), 5 Down (the next row), 6 Up (the row before);
// 0 for anything else. Before any code but 4 the control's contents go into the variable and
// TAKEACCEPTED is asked; a nonzero answer keeps the cell open (code 0). Esc leaves the variable
// as it was. EVENT_User (1024) on the editor places it (TAKESELECTED), EVENT_User + 1 asks it to
// accept what it holds (its answer as the code).
//
// The family differs only in the control it makes: none (EDITCLASS, EDITNOUPDOWNCLASS, which
// leaves Up and Down to the control, EDITFILEDROPCLASS), an entry, a spin box, a drop list, a
// drop combo, a check box captioned with the column's header, a lookup combo with a button, a
// button.
#pragma once

#include <string>

namespace vx {
class Control;
}  // namespace vx

namespace vx::SBRW {

inline constexpr int EditPlaceEvent = 1024;   // EVENT_User: place the editor
inline constexpr int EditAcceptEvent = 1025;  // accept what the editor holds

class EDITCLASS {
 public:
  virtual ~EDITCLASS() { DESTROYCONTROL(); }
  virtual void CREATECONTROL() {}
  // The list, its column (from 1) and the variable the cell edits.
  virtual void INIT(int column, Control& list, std::string& variable);
  virtual void KILL() { DESTROYCONTROL(); }
  virtual int TAKEEVENT(int event);
  virtual void TWEAKCONTROLPOSITION() {}
  virtual void DESTROYCONTROL();
  virtual void SETUPALERTKEYS();
  virtual int TAKEACCEPTED() { return 0; }
  virtual int TAKESELECTED() {
    TWEAKCONTROLPOSITION();
    return 0;
  }
  // For the event the list's window took last.
  int TAKEEVENT();

  int FEQ = 0;  // the editor's control; 0 none
  int FIELDNO = 0;
  Control* LISTBOX = nullptr;
  std::string* USEVAR = nullptr;
  bool READONLY = false;

 protected:
  // Makes the control over the cell (its type's maker in the list's window).
  Control& MakeOverCell(Control& made);
  void CopyIn();  // the control's contents into the variable

 private:
  virtual bool AlertsUpDown() const { return true; }
};

class EDITNOUPDOWNCLASS : public EDITCLASS {
  bool AlertsUpDown() const override { return false; }
};

class EDITENTRYCLASS : public EDITCLASS {
 public:
  void CREATECONTROL() override;
};
class EDITSPINCLASS : public EDITNOUPDOWNCLASS {
 public:
  void CREATECONTROL() override;
};
class EDITDROPLISTCLASS : public EDITNOUPDOWNCLASS {
 public:
  void CREATECONTROL() override;
};
class EDITDROPCOMBOCLASS : public EDITNOUPDOWNCLASS {
 public:
  void CREATECONTROL() override;
};
class EDITFILEDROPCLASS : public EDITNOUPDOWNCLASS {
 public:
  virtual int TAKENEWSELECTION() { return 0; }
  using EDITCLASS::TAKEEVENT;  // the event the list's window took last
  int TAKEEVENT(int event) override;
};
class EDITCHECKCLASS : public EDITCLASS {
 public:
  void CREATECONTROL() override;
  virtual void SETCONTROLTEXT();
  void TWEAKCONTROLPOSITION() override;
};
class EDITENTRYLUCLASS : public EDITCLASS {
 public:
  void CREATECONTROL() override;
  virtual int TAKEBUTTONACCEPTED() { return 0; }
  using EDITCLASS::TAKEEVENT;  // the event the list's window took last
  int TAKEEVENT(int event) override;
};
class EDITBUTTONCLASS : public EDITCLASS {
 public:
  void CREATECONTROL() override;
};

}  // namespace vx::SBRW
