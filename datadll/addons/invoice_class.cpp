#include "datadll/addons/invoice_class.h"

#include <algorithm>
#include <cstring>

#include "framework/file_manager.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/record_codec.h"
#include "runtime/storage/sqlite_session.h"
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
  ROWS.clear();
  const std::size_t size = child_->def().record_size;
  int code = child_->Set(*order_);
  while (code == 0 && (code = child_->TryNext()) == 0) {
    const char* record = Buffer(*child_);
    if (Belongs(record)) ROWS.emplace_back(record, size);
  }
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
  editing_ = inserting_ = false;
  Show();
  return true;
}

int INVOICECLASS::ASKRECORD(int request) {
  if (request == DeleteRequest) {
    if (CURRENTCHOICE < 1) return Cancelled;
    if (CONFIRMDELETE && MESSAGE(CONFIRMDELETEMESSAGE, CONFIRMDELETETITLE, MessageIcon::Question,
                                 BUTTON_YES | BUTTON_NO, BUTTON_NO) != BUTTON_YES)
      return Cancelled;
    ROWS.erase(ROWS.begin() + (CURRENTCHOICE - 1));
    CURRENTCHOICE = std::min<long>(CURRENTCHOICE, static_cast<long>(ROWS.size()));
    Show();
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
    before_insert_ = CURRENTCHOICE;
    ROWS.insert(ROWS.begin() + (at - 1), std::string(Buffer(*child_), child_->def().record_size));
    CURRENTCHOICE = at;
    inserting_ = true;
  } else if (CURRENTCHOICE < 1) {
    return Cancelled;
  }
  column_ = NextEditable(1, 1);
  if (column_ == 0) return Cancelled;
  editing_ = true;
  Show();
  BeginCell();
  return Completed;
}

void INVOICECLASS::TAKEEDITCODE(int code) {
  if (!editing_) return;
  switch (code) {
    case 1:
    case 2: {
      StoreCell();
      const int next = NextEditable(column_ + (code == 1 ? 1 : -1), code == 1 ? 1 : -1);
      if (next) {
        column_ = next;
        BeginCell();
      } else if (CompleteRow() && (TABACTION & 8) && code == 1 &&
                 CURRENTCHOICE < static_cast<long>(ROWS.size())) {
        ++CURRENTCHOICE;
        ASKRECORD(ChangeRequest);
      }
      break;
    }
    case 3:
      if (CompleteRow() && (ENTERACTION & 8) && CURRENTCHOICE < static_cast<long>(ROWS.size())) {
        ++CURRENTCHOICE;
        ASKRECORD(ChangeRequest);
      }
      break;
    case 4:
      // Nothing of the cell is kept; an inserted row goes again and the choice falls back.
      if (inserting_) {
        ROWS.erase(ROWS.begin() + (CURRENTCHOICE - 1));
        CURRENTCHOICE = std::min<long>(before_insert_, static_cast<long>(ROWS.size()));
      }
      editing_ = inserting_ = false;
      Show();
      break;
    case 5:
    case 6:
      if (CompleteRow() && (ARROWACTION & 8)) {
        const long to = CURRENTCHOICE + (code == 5 ? 1 : -1);
        if (to >= 1 && to <= static_cast<long>(ROWS.size())) {
          const int keep = column_;
          CURRENTCHOICE = to;
          ASKRECORD(ChangeRequest);
          if ((ARROWACTION & 16) && edits_[keep - 1]) {
            column_ = keep;
            BeginCell();
          }
        }
      }
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
    if (const int deleted = child_->TryDelete(); deleted != 0) {
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
    if (const int inserted = child_->Insert(); inserted != 0) return fail(inserted);
  }
  if (const int committed = storage::COMMIT(); committed != 0) return fail(committed);
  ORIGINALQUEUE = ROWS;
  return 0;
}

}  // namespace vx::SINV
