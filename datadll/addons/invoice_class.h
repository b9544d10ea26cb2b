// A parent form with editable child lines (an invoice and its lines): the parent's child
// records are loaded into the form's list, edited there cell by cell, inserted, deleted and
// moved in memory, and written back when the parent is saved; and the logout manager, which
// frames a form's save in one transaction over the files that take part.
//
// Rows are byte copies of the child table's record; the list shows the fields named by ADDFIELD
// in column order. A child belongs to the parent when each of its link fields equals the parent
// field paired with it (ADDCHILDPARENTFIELD). Saving writes nothing when the rows are byte for
// byte those loaded (SKIPSAVE); otherwise SAVE removes the old children and inserts the rows as
// new children, all in one transaction: any failed delete, insert or commit rolls the whole of it
// back, so the stored lines stay as they were and the form keeps what the user typed. Old children
// go through the relation manager given to INIT (its cascades with them) while RIDELETE is on.
//
// In a window the form takes the window's events through TAKEEVENT: its buttons (insert, change,
// delete, the child window, the two shifts, OK), the keys alerted on the list (Insert, Delete,
// Ctrl+Enter, double click), the list's scroll events and the cell editor's action codes. A
// navigation code (2004 last, 2005 first, 2006 page down, 2007 page up, 2008 down, 2009 up: the
// toolbar's and the arrows') given while a row is edited completes the row and goes on editing the
// row it leads to; moving on after an inserted row inserts another, moving back edits the row
// above. Moving down past the last row inserts one (AUTOINSERT); moving up from an empty last row
// deletes it when the form has a delete button.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "datadll/addons/edit_in_place.h"
#include "runtime/window/control.h"

namespace vx {
class FileManager;
class RelationManager;
class Window;
namespace storage {
struct KeyDef;
}
}  // namespace vx

namespace vx::SINV {

inline constexpr int InsertRequest = 1, ChangeRequest = 2, DeleteRequest = 3;
inline constexpr int ChildWindowRequest = 4;
inline constexpr int Completed = 1, Cancelled = 2;
// Record navigation codes of the toolbar.
inline constexpr int VCRLast = 2004, VCRFirst = 2005, VCRPageDown = 2006, VCRPageUp = 2007,
                     VCRForward = 2008, VCRBackward = 2009;

class LOGOUTMANAGER {
 public:
  virtual ~LOGOUTMANAGER() = default;
  void INIT() { files_.clear(); }
  // A file that takes part always, or only in a change or a delete of the form's record.
  void ADDFILE(FileManager& file, bool always = true, bool on_change = false,
               bool on_delete = false);
  // Opens the files taking part in `request` and starts the transaction: 0, or 5 when it could
  // not start (every file is left as it was).
  int BEGINLOGOUT(int request);
  int COMMIT();
  void ROLLBACK();
  void KILL() { files_.clear(); }
  bool BUSY = false;

 private:
  struct File {
    FileManager* file;
    bool always, on_change, on_delete;
  };
  std::vector<File> files_;
};

class INVOICECLASS : public ListSource {
 public:
  virtual ~INVOICECLASS() = default;
  void INIT(Control& list, FileManager& child, const storage::KeyDef& order);
  // The same, deleting old children through `child` (with its relations) while RIDELETE is on.
  void INIT(Control& list, RelationManager& child, const storage::KeyDef& order);
  void ADDFIELD(std::string_view child_field);
  void ADDCHILDPARENTFIELD(std::string_view child_field, FileManager& parent,
                           std::string_view parent_field);
  void ADDEDITCONTROL(SBRW::EDITCLASS& edit, int column);

  // Reads the parent's children into the rows and keeps a copy of them as loaded. Every 10
  // records read it gives the other runtime threads a turn (not inside a transaction), so a
  // parent with many lines does not hold up the rest of the program.
  int LOAD();
  // 1 insert a row at INSERTPOSITION and edit it, 2 edit the current row, 3 delete it (asking
  // first with CONFIRMDELETE). Answers Completed or Cancelled for a delete; an edit goes on
  // through TAKEEDITCODE.
  int ASKRECORD(int request);
  // ASKRECORD, or for request 4 the row opened in CHILDWINDOWPROCEDURE (insert, change and delete
  // disabled meanwhile; a completed window's record goes back into the row).
  int ASK(int request);
  // An action code of the cell being edited (1 Tab ... 6 Up): the cell is stored, the edit moves
  // on, completes the row or, for Esc, is cancelled (an inserted row goes again).
  void TAKEEDITCODE(int code);
  bool EDITING() const { return editing_; }
  int EDITCOLUMN() const { return column_; }
  std::string CELL;  // the text the cell editor works on

  void SHIFTUP();
  void SHIFTDOWN();

  // The window's side: the list's keys, the buttons' states, the events (answers 1 when the
  // event must go no further: OK refused for a form without lines), the scrolls.
  void SETALERTS();
  void UPDATEWINDOW();
  int TAKEEVENT();
  void TAKESCROLL(int event);    // EVENT_ScrollUp ... EVENT_ScrollBottom
  void TAKEVCRSCROLL(int code);  // VCRLast ... VCRBackward
  virtual bool ISEMPTYROW(long) const { return false; }
  virtual void CALCTOTALS() {}

  // Hooks for a program built on the form. A new row's record, cleared and primed by the child
  // file, is primed further by PRIMEFIELDS and then FETCHSECONDARY (which reads what the row
  // shows from other files) before it becomes the row. GETEDITROW may refuse a row to be edited
  // (a change of it is cancelled). While the lines are saved, BEFOREDELETINGCHILD sees each old
  // child in the record buffer before it goes and BEFOREADDINGCHILD each new one, linked to the
  // parent, before it is inserted: anything but 0 refuses it, and the whole save is taken back
  // and answers that code.
  virtual void PRIMEFIELDS() {}
  virtual void FETCHSECONDARY() {}
  virtual bool GETEDITROW(long) const { return true; }
  virtual int BEFOREDELETINGCHILD() { return 0; }
  virtual int BEFOREADDINGCHILD() { return 0; }

  // For the parent's request: whether the rows need writing at all.
  void SAVEINIT(int parent_request);
  // Writes the rows as the parent's children in one transaction (see above): 0, or the error.
  int SAVE();

  // ListSource
  std::size_t Records() const override { return ROWS.size(); }
  std::vector<std::string> Fields(std::size_t row) const override;

  std::vector<std::string> ROWS, ORIGINALQUEUE;
  long CURRENTCHOICE = 0;
  int INSERTPOSITION = 4;  // 1 at the top, 2 before the current row, 3 after it, 4 at the end
  bool CONFIRMDELETE = false, SHIFTROLLOVER = false, SKIPSAVE = false;
  int ENTERACTION = 0, TABACTION = 0, ARROWACTION = 0;
  std::string CONFIRMDELETETITLE = "Delete", CONFIRMDELETEMESSAGE = "Delete this line?";
  bool AUTOINSERT = false, AUTOEDIT = false, AUTOEDITPENDING = false, ALLOWEMPTY = false;
  bool RIDELETE = true;
  std::string ISEMPTYTITLE = "Lines", ISEMPTYMESSAGE = "The form needs at least one line.";
  // The form's buttons (0: none).
  int INSERTCONTROL = 0, CHANGECONTROL = 0, DELETECONTROL = 0, CHILDWINDOWCONTROL = 0;
  int SHIFTUPCONTROL = 0, SHIFTDOWNCONTROL = 0, OKCONTROL = 0;
  // Runs the window for the row in the child record buffer with a request; answers Completed or
  // Cancelled.
  std::function<int(int request)> CHILDWINDOWPROCEDURE;

 private:
  struct Link {
    int child_field;
    FileManager* parent;
    int parent_field;
  };
  bool Belongs(const char* record) const;
  void Show();
  void BeginCell();
  void ShowEditors();
  void EndEdit();
  void StoreCell();
  bool CompleteRow();
  int NextEditable(int from, int step) const;
  // The edit is over: the row settles and a navigation code goes on to the row it leads to.
  void RESETFROMASK();
  // The row a navigation code or scroll event leads to from the current one (0: none), and
  // whether it asks for an insert or a delete instead.
  long ScrollTarget(int event, bool& insert, bool& remove) const;
  bool Usable(int button) const;
  void PressButton(int button);
  int DeleteChild();

  RelationManager* relations_ = nullptr;
  Control* list_ = nullptr;
  FileManager* child_ = nullptr;
  const storage::KeyDef* order_ = nullptr;
  std::vector<int> fields_;  // child field index per column
  std::vector<Link> links_;
  std::vector<SBRW::EDITCLASS*> edits_;  // per column, nullptr none
  bool editing_ = false, inserting_ = false, asked_insert_ = false;
  int column_ = 0, vcr_ = 0, vcr_column_ = 0;
  long before_insert_ = 0;
};

}  // namespace vx::SINV
