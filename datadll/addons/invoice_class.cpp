#include "datadll/addons/invoice_class.h"

#include <algorithm>
#include <cstring>

#include "datadll/addons/addon_keys.h"
#include "framework/file_manager.h"
#include "framework/relation_manager.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/record_codec.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/threads.h"
#include "runtime/window/cursor_scope.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx::SINV {

// ---- the logout manager ----

void LOGOUTMANAGER::ADDFILE(FileManager& file, bool always, bool on_change, bool on_delete) {
  files_.push_back({&file, always, on_change, on_delete});
}

int LOGOUTMANAGER::BEGINLOGOUT(int request) {
  if (BUSY || files_.empty()) return 5;
  for (const File& f : files_) {
    const bool takes_part = f.always || (request == ChangeRequest && f.on_change) ||
                            (request == DeleteRequest && f.on_delete);
    if (takes_part && f.file->UseFile() != 0) return 5;
  }
  if (storage::LOGOUT(2) != 0) return 5;
  BUSY = true;
  return 0;
}

int LOGOUTMANAGER::COMMIT() {
  if (!BUSY) return 0;
  BUSY = false;
  return storage::COMMIT();
}

void LOGOUTMANAGER::ROLLBACK() {
  if (!BUSY) return;
  BUSY = false;
  storage::ROLLBACK();
}

// ---- the parent form's lines ----

namespace {
char* Buffer(const FileManager& file) { return static_cast<char*>(file.def().buffer()); }
}  // namespace

void INVOICECLASS::INIT(Control& list, FileManager& child, const storage::KeyDef& order) {
  list_ = &list;
  child_ = &child;
  order_ = &order;
  list.From(this);
}

void INVOICECLASS::INIT(Control& list, RelationManager& child, const storage::KeyDef& order) {
  INIT(list, child.Me(), order);
  relations_ = &child;
}

void INVOICECLASS::ADDFIELD(std::string_view child_field) {
  fields_.push_back(child_->def().FieldIndex(child_field));
  edits_.push_back(nullptr);
}

void INVOICECLASS::ADDCHILDPARENTFIELD(std::string_view child_field, FileManager& parent,
                                       std::string_view parent_field) {
  links_.push_back(
      {child_->def().FieldIndex(child_field), &parent, parent.def().FieldIndex(parent_field)});
}

void INVOICECLASS::ADDEDITCONTROL(SBRW::EDITCLASS& edit, int column) {
  if (column >= 1 && column <= static_cast<int>(edits_.size())) edits_[column - 1] = &edit;
  ShowEditors();
}

// Only the cell being edited has its editor in sight: an editor standing over a row that is not
// being edited would take typing that goes nowhere.
void INVOICECLASS::ShowEditors() {
  Window& w = list_->OwnerWindow();
  for (std::size_t c = 0; c < edits_.size(); ++c) {
    const SBRW::EDITCLASS* e = edits_[c];
    if (Control* editor = e && e->FEQ ? w.Find(e->FEQ) : nullptr)
      editor->Hide(!editing_ || static_cast<int>(c) + 1 != column_);
  }
}

// The edit is over: its editor goes out of sight and the keys go back to the list.
void INVOICECLASS::EndEdit() {
  editing_ = inserting_ = false;
  ShowEditors();
  list_->OwnerWindow().Select(list_->Number());
}

std::vector<std::string> INVOICECLASS::Fields(std::size_t row) const {
  std::vector<std::string> out;
  for (int f : fields_) {
    out.push_back(f < 0 ? std::string()
                        : storage::FieldText(child_->def().fields[f], ROWS[row].data()));
  }
  return out;
}

bool INVOICECLASS::Belongs(const char* record) const {
  for (const Link& l : links_) {
    if (l.child_field < 0 || l.parent_field < 0) return false;
    if (storage::FieldText(child_->def().fields[l.child_field], record) !=
        storage::FieldText(l.parent->def().fields[l.parent_field], Buffer(*l.parent)))
      return false;
  }
  return true;
}

void INVOICECLASS::Show() {
  if (!list_) return;
  list_->From(this);
  list_->Choose(CURRENTCHOICE);
}

int INVOICECLASS::LOAD() {
  const CursorScope busy(&list_->OwnerWindow(), "Wait");
  // The rows are read aside and replace the old ones at the end, so that while other threads
  // have their turn the list still answers the rows it had. A turn is given only outside a
  // transaction of this thread, whose write lock another thread could be left waiting for.
  std::vector<std::string> rows;
  const std::size_t size = child_->def().record_size;
  int code = child_->Set(*order_);
  for (long read = 1; code == 0 && (code = child_->TryNext()) == 0; ++read) {
    const char* record = Buffer(*child_);
    if (Belongs(record)) rows.emplace_back(record, size);
    if (read % 10 == 0 && !storage::InLogout()) YIELD();
  }
  ROWS = std::move(rows);
  ORIGINALQUEUE = ROWS;
  CURRENTCHOICE = ROWS.empty() ? 0 : 1;
  Show();
  return code == storage::kNoRecord ? 0 : code;
}

int INVOICECLASS::NextEditable(int from, int step) const {
  for (int c = from; c >= 1 && c <= static_cast<int>(fields_.size()); c += step) {
    if (edits_[c - 1]) return c;
  }
  return 0;
}

void INVOICECLASS::BeginCell() {
  const int f = fields_[column_ - 1];
  CELL = storage::FieldText(child_->def().fields[f], ROWS[CURRENTCHOICE - 1].data());
  ShowEditors();
  if (SBRW::EDITCLASS* e = edits_[column_ - 1]; e && e->FEQ) {
    list_->OwnerWindow()[e->FEQ].Display();
    list_->OwnerWindow().Select(e->FEQ);
  }
}

void INVOICECLASS::StoreCell() {
  if (!editing_ || column_ < 1) return;
  const int f = fields_[column_ - 1];
  storage::SetFieldText(child_->def().fields[f], ROWS[CURRENTCHOICE - 1].data(), CELL);
}

// The row goes into the record buffer to be checked; a refused field keeps the edit open there.
bool INVOICECLASS::CompleteRow() {
  StoreCell();
  std::memcpy(Buffer(*child_), ROWS[CURRENTCHOICE - 1].data(), ROWS[CURRENTCHOICE - 1].size());
  int failed = 0;
  if (child_->ValidateRecord(&failed) != 0) {
    for (std::size_t c = 0; c < fields_.size(); ++c) {
      if (fields_[c] == failed - 1 && edits_[c]) column_ = static_cast<int>(c) + 1;
    }
    BeginCell();
    return false;
  }
  ROWS[CURRENTCHOICE - 1].assign(Buffer(*child_), ROWS[CURRENTCHOICE - 1].size());
  CALCTOTALS();
  EndEdit();
  RESETFROMASK();
  return true;
}

int INVOICECLASS::ASKRECORD(int request) {
  asked_insert_ = request == InsertRequest;
  if (request == DeleteRequest) {
    if (CURRENTCHOICE < 1) return Cancelled;
    if (CONFIRMDELETE && MESSAGE(CONFIRMDELETEMESSAGE, CONFIRMDELETETITLE, MessageIcon::Question,
                                 BUTTON_YES | BUTTON_NO, BUTTON_NO) != BUTTON_YES)
      return Cancelled;
    ROWS.erase(ROWS.begin() + (CURRENTCHOICE - 1));
    CURRENTCHOICE = std::min<long>(CURRENTCHOICE, static_cast<long>(ROWS.size()));
    CALCTOTALS();
    UPDATEWINDOW();
    return Completed;
  }
  if (request == InsertRequest) {
    long at = static_cast<long>(ROWS.size()) + 1;
    if (ROWS.empty()) {
      at = 1;
    } else if (INSERTPOSITION == 1) {
      at = 1;
    } else if (INSERTPOSITION == 2) {
      at = CURRENTCHOICE;
    } else if (INSERTPOSITION == 3) {
      at = CURRENTCHOICE + 1;
    }
    child_->PrimeRecord();
    PRIMEFIELDS();
    FETCHSECONDARY();
    before_insert_ = CURRENTCHOICE;
    ROWS.insert(ROWS.begin() + (at - 1), std::string(Buffer(*child_), child_->def().record_size));
    CURRENTCHOICE = at;
    inserting_ = true;
  } else if (CURRENTCHOICE < 1 || !GETEDITROW(CURRENTCHOICE)) {
    return Cancelled;
  }
  // The column a navigation asked to keep (-1: the last), else the first editable one.
  column_ = vcr_column_ < 0   ? NextEditable(static_cast<int>(fields_.size()), -1)
            : vcr_column_ > 0 ? NextEditable(vcr_column_, 1)
                              : 0;
  if (column_ == 0) column_ = NextEditable(1, 1);
  vcr_column_ = 0;
  if (column_ == 0) return Cancelled;
  editing_ = true;
  Show();
  // While a new row is typed it cannot be changed or opened elsewhere.
  if (inserting_) {
    for (const int b : {CHANGECONTROL, CHILDWINDOWCONTROL})
      if (b) list_->OwnerWindow()[b].Disable();
  }
  BeginCell();
  return Completed;
}

int INVOICECLASS::ASK(int request) {
  if (request != ChildWindowRequest) return ASKRECORD(request);
  if (CURRENTCHOICE < 1 || !CHILDWINDOWPROCEDURE) return Cancelled;
  Window& w = list_->OwnerWindow();
  for (const int b : {INSERTCONTROL, CHANGECONTROL, DELETECONTROL})
    if (b) w[b].Disable();
  std::string& row = ROWS[CURRENTCHOICE - 1];
  std::memcpy(Buffer(*child_), row.data(), row.size());
  const int response = CHILDWINDOWPROCEDURE(ChangeRequest);
  if (response == Completed) {
    row.assign(Buffer(*child_), row.size());
    CALCTOTALS();
  }
  if (INSERTCONTROL) w[INSERTCONTROL].Enable();
  UPDATEWINDOW();
  return response;
}

// ---- moving in the list ----

long INVOICECLASS::ScrollTarget(int event, bool& insert, bool& remove) const {
  insert = remove = false;
  const long rows = static_cast<long>(ROWS.size());
  const long page = std::max(1L, list_->GetNumber(Prop::Items));
  switch (event) {
    case EVENT_ScrollUp:
      if (CURRENTCHOICE == rows && DELETECONTROL && ISEMPTYROW(CURRENTCHOICE)) {
        remove = true;
        return 0;
      }
      return CURRENTCHOICE > 1 ? CURRENTCHOICE - 1 : 0;
    case EVENT_ScrollDown:
      if (CURRENTCHOICE < rows) return CURRENTCHOICE + 1;
      insert = AUTOINSERT;
      return 0;
    case EVENT_PageUp:
      return rows ? std::max(1L, CURRENTCHOICE - page) : 0;
    case EVENT_PageDown:
      return rows ? std::min(rows, CURRENTCHOICE + page) : 0;
    case EVENT_ScrollTop:
      return rows ? 1 : 0;
    case EVENT_ScrollBottom:
      return rows;
    default:
      return 0;
  }
}

bool INVOICECLASS::Usable(int button) const {
  if (!button) return false;
  const Control* c = list_->OwnerWindow().Find(button);
  return c && c->Enabled();
}

void INVOICECLASS::PressButton(int button) {
  if (Usable(button)) list_->OwnerWindow().Post(EVENT_Accepted, button);
}

void INVOICECLASS::TAKESCROLL(int event) {
  bool insert = false, remove = false;
  const long to = ScrollTarget(event, insert, remove);
  // An insert or delete goes through the button, as if the user had pressed it.
  if (insert) {
    PressButton(INSERTCONTROL);
  } else if (remove) {
    PressButton(DELETECONTROL);
  } else if (to >= 1) {
    CURRENTCHOICE = to;
    list_->Choose(CURRENTCHOICE);
    list_->OwnerWindow().Post(EVENT_NewSelection, list_->Number());
  }
}

void INVOICECLASS::TAKEVCRSCROLL(int code) {
  if (code < VCRLast || code > VCRBackward) return;
  if (editing_) {
    // The row is completed first; the edit goes on where the code leads (RESETFROMASK).
    vcr_ = code;
    if (!CompleteRow()) vcr_ = 0;
    return;
  }
  TAKESCROLL(EVENT_ScrollBottom - (code - VCRLast));
  UPDATEWINDOW();
}

void INVOICECLASS::RESETFROMASK() {
  const int code = vcr_;
  vcr_ = 0;
  CURRENTCHOICE = std::min<long>(CURRENTCHOICE, static_cast<long>(ROWS.size()));
  if (code == 0) {
    UPDATEWINDOW();
    list_->OwnerWindow().Post(EVENT_NewSelection, list_->Number());
    return;
  }
  const bool forward = code == VCRForward || code == VCRPageDown || code == VCRLast;
  if (asked_insert_ && forward) {
    ASKRECORD(InsertRequest);
    return;
  }
  bool insert = false, remove = false;
  const long to = ScrollTarget(EVENT_ScrollBottom - (code - VCRLast), insert, remove);
  if (insert) {
    ASKRECORD(InsertRequest);
  } else if (to >= 1 && to != CURRENTCHOICE) {
    CURRENTCHOICE = to;
    // A row the program keeps from editing ends the edit on it.
    if (ASKRECORD(ChangeRequest) != Completed) UPDATEWINDOW();
  } else {
    vcr_column_ = 0;
    UPDATEWINDOW();
  }
}

// ---- the window ----

void INVOICECLASS::SETALERTS() {
  // The arrow and page keys come to the form rather than moving the list on their own, so that
  // Down past the last line can add one and Up from an empty last line take it away.
  list_->Alert(MouseLeft2)
      .Alert(addons::CtrlEnter)
      .Alert(addons::InsertKey)
      .Alert(addons::DeleteKey)
      .Alert(addons::UpKey)
      .Alert(addons::DownKey)
      .Alert(addons::PageUp)
      .Alert(addons::PageDown);
}

void INVOICECLASS::UPDATEWINDOW() {
  Window& w = list_->OwnerWindow();
  const bool rows = !ROWS.empty();
  for (const int b : {CHANGECONTROL, DELETECONTROL, CHILDWINDOWCONTROL})
    if (b) w[b].Enable(rows);
  Show();
}

int INVOICECLASS::TAKEEVENT() {
  const int event = EVENT(), field = FIELD();
  Window& w = list_->OwnerWindow();
  if (event == EVENT_OpenWindow) {
    SETALERTS();
    UPDATEWINDOW();
    return 0;
  }
  if (editing_) {
    if (SBRW::EDITCLASS* e = edits_[column_ - 1]; e && e->FEQ && field == e->FEQ) {
      if (const int code = e->TAKEEVENT(); code != 0) TAKEEDITCODE(code);
      return 0;
    }
    if (field == list_->Number() && event == EVENT_NewSelection) {
      // A click on another row completes this one first and stays on it when that fails.
      const long clicked = list_->Choice();
      if (clicked == CURRENTCHOICE) return 0;
      if (!CompleteRow()) {
        list_->Choose(CURRENTCHOICE);
        return 0;
      }
      CURRENTCHOICE = std::clamp<long>(clicked, 1, static_cast<long>(ROWS.size()));
      UPDATEWINDOW();
      return 0;
    }
    if (event != EVENT_Accepted) return 0;
    if (field == DELETECONTROL && inserting_) {
      TAKEEDITCODE(4);  // delete while inserting takes the new row back
      return 0;
    }
    // Other buttons act on a completed row: the one being edited is completed first.
    if (field == DELETECONTROL || field == CHILDWINDOWCONTROL || field == SHIFTUPCONTROL ||
        field == SHIFTDOWNCONTROL || (field == OKCONTROL && OKCONTROL)) {
      if (!CompleteRow()) return 1;
    } else {
      return 0;
    }
  }
  if (field == list_->Number()) {
    switch (event) {
      case EVENT_NewSelection:
      case EVENT_Selected:
        CURRENTCHOICE = list_->Choice();
        if (AUTOEDITPENDING) {
          AUTOEDITPENDING = false;
          PressButton(ROWS.empty() ? INSERTCONTROL : CHANGECONTROL);
        }
        return 0;
      case EVENT_ScrollUp:
      case EVENT_ScrollDown:
      case EVENT_PageUp:
      case EVENT_PageDown:
      case EVENT_ScrollTop:
      case EVENT_ScrollBottom:
        TAKESCROLL(event);
        return 0;
      case EVENT_AlertKey:
        switch (KEYCODE()) {
          case addons::InsertKey:
            PressButton(INSERTCONTROL);
            break;
          case addons::DeleteKey:
            if (!ROWS.empty()) PressButton(DELETECONTROL);
            break;
          case MouseLeft2:
          case addons::CtrlEnter:
            if (!ROWS.empty()) PressButton(CHANGECONTROL);
            break;
          case addons::TabKey:
          case addons::ShiftTab:
            AUTOEDITPENDING = AUTOEDIT;
            break;
          case addons::UpKey:
            TAKESCROLL(EVENT_ScrollUp);
            break;
          case addons::DownKey:
            TAKESCROLL(EVENT_ScrollDown);
            break;
          case addons::PageUp:
            TAKESCROLL(EVENT_PageUp);
            break;
          case addons::PageDown:
            TAKESCROLL(EVENT_PageDown);
            break;
          default:
            break;
        }
        return 0;
      default:
        return 0;
    }
  }
  if (event == EVENT_Selected && field != INSERTCONTROL && field != CHANGECONTROL &&
      field != DELETECONTROL && field != CHILDWINDOWCONTROL) {
    AUTOEDITPENDING = AUTOEDIT;
  }
  if (event != EVENT_Accepted || field == 0) return 0;
  if (field == INSERTCONTROL) {
    ASK(InsertRequest);
  } else if (field == CHANGECONTROL) {
    if (!ROWS.empty()) ASK(ChangeRequest);
  } else if (field == DELETECONTROL) {
    if (!ROWS.empty()) ASK(DeleteRequest);
  } else if (field == CHILDWINDOWCONTROL) {
    ASK(ChildWindowRequest);
  } else if (field == SHIFTUPCONTROL) {
    SHIFTUP();
  } else if (field == SHIFTDOWNCONTROL) {
    SHIFTDOWN();
  } else if (field == OKCONTROL) {
    // An empty row left last is not a line; a form that needs lines does not complete without.
    if (!ROWS.empty() && ISEMPTYROW(static_cast<long>(ROWS.size()))) {
      ROWS.pop_back();
      CURRENTCHOICE = std::min<long>(CURRENTCHOICE, static_cast<long>(ROWS.size()));
      UPDATEWINDOW();
    }
    if (!ALLOWEMPTY && ROWS.empty()) {
      MESSAGE(ISEMPTYMESSAGE, ISEMPTYTITLE, MessageIcon::Exclamation);
      if (INSERTCONTROL) w.Select(INSERTCONTROL);
      return 1;
    }
  }
  return 0;
}

void INVOICECLASS::TAKEEDITCODE(int code) {
  if (!editing_) return;
  // Moving on to another row is a navigation code that the completed row hands to RESETFROMASK.
  const auto complete = [this](bool move, int to, int keep_column) {
    if (move) {
      vcr_ = to;
      vcr_column_ = keep_column;
    }
    if (!CompleteRow()) vcr_ = vcr_column_ = 0;
  };
  switch (code) {
    case 1:
    case 2: {
      StoreCell();
      const int next = NextEditable(column_ + (code == 1 ? 1 : -1), code == 1 ? 1 : -1);
      if (next) {
        column_ = next;
        Show();  // the cell just left shows what was typed in it
        BeginCell();
      } else {
        complete((TABACTION & 8) != 0, code == 1 ? VCRForward : VCRBackward, code == 1 ? 0 : -1);
      }
      break;
    }
    case 3:
      complete((ENTERACTION & 8) != 0, VCRForward, 0);
      break;
    case 4:
      // Nothing of the cell is kept; an inserted row goes again and the choice falls back.
      if (inserting_) {
        ROWS.erase(ROWS.begin() + (CURRENTCHOICE - 1));
        CURRENTCHOICE = std::min<long>(before_insert_, static_cast<long>(ROWS.size()));
      }
      EndEdit();
      vcr_ = 0;
      RESETFROMASK();
      break;
    case 5:
    case 6:
      complete((ARROWACTION & 8) != 0, code == 5 ? VCRForward : VCRBackward,
               (ARROWACTION & 16) ? column_ : 0);
      break;
    default:
      break;
  }
}

void INVOICECLASS::SHIFTUP() {
  if (ROWS.size() < 2 || CURRENTCHOICE < 1) return;
  if (CURRENTCHOICE == 1) {
    if (!SHIFTROLLOVER) return;
    std::rotate(ROWS.begin(), ROWS.begin() + 1, ROWS.end());
    CURRENTCHOICE = static_cast<long>(ROWS.size());
  } else {
    std::swap(ROWS[CURRENTCHOICE - 1], ROWS[CURRENTCHOICE - 2]);
    --CURRENTCHOICE;
  }
  Show();
}

void INVOICECLASS::SHIFTDOWN() {
  if (ROWS.size() < 2 || CURRENTCHOICE < 1) return;
  if (CURRENTCHOICE == static_cast<long>(ROWS.size())) {
    if (!SHIFTROLLOVER) return;
    std::rotate(ROWS.rbegin(), ROWS.rbegin() + 1, ROWS.rend());
    CURRENTCHOICE = 1;
  } else {
    std::swap(ROWS[CURRENTCHOICE - 1], ROWS[CURRENTCHOICE]);
    ++CURRENTCHOICE;
  }
  Show();
}

void INVOICECLASS::SAVEINIT(int parent_request) {
  SKIPSAVE = parent_request == ChangeRequest && ROWS == ORIGINALQUEUE;
}

// Through the relation manager its related records go too; its own transaction is off, as the
// save already runs in one (and a rollback inside it would end ours).
int INVOICECLASS::DeleteChild() {
  if (!relations_ || !RIDELETE) return child_->TryDelete();
  const bool own = relations_->UseLogout;
  relations_->UseLogout = false;
  const int code = relations_->Delete(false);
  relations_->UseLogout = own;
  return code;
}

int INVOICECLASS::SAVE() {
  if (SKIPSAVE) return 0;
  const CursorScope busy(&list_->OwnerWindow(), "Wait");
  // One transaction for the deletes and the inserts (nested in the form's own, if any): the old
  // lines are never gone while the new ones are not all stored.
  if (const int begun = storage::LOGOUT(2); begun != 0) return begun;
  const auto fail = [](int code) {
    storage::ROLLBACK();
    return code;
  };
  const std::size_t size = child_->def().record_size;
  // The old children: found one at a time from the start, as each delete moves the walk.
  for (;;) {
    int code = child_->Set(*order_);
    bool found = false;
    while (code == 0 && (code = child_->TryNext()) == 0) {
      if (Belongs(Buffer(*child_))) {
        found = true;
        break;
      }
    }
    if (!found) break;
    if (const int refused = BEFOREDELETINGCHILD(); refused != 0) return fail(refused);
    if (const int deleted = DeleteChild(); deleted != 0) {
      MESSAGE("Cannot delete child records!", "Error!", MessageIcon::Exclamation);
      return fail(deleted);
    }
  }
  for (const std::string& row : ROWS) {
    char* record = Buffer(*child_);
    std::memcpy(record, row.data(), size);
    for (const Link& l : links_) {
      storage::SetFieldText(
          child_->def().fields[l.child_field], record,
          storage::FieldText(l.parent->def().fields[l.parent_field], Buffer(*l.parent)));
    }
    if (const int refused = BEFOREADDINGCHILD(); refused != 0) return fail(refused);
    if (const int inserted = child_->Insert(); inserted != 0) return fail(inserted);
  }
  if (const int committed = storage::COMMIT(); committed != 0) return fail(committed);
  ORIGINALQUEUE = ROWS;
  return 0;
}

}  // namespace vx::SINV
