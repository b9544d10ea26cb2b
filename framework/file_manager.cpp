#include "framework/file_manager.h"

#include <cstring>
#include <vector>

#include "framework/relation_manager.h"
#include "runtime/decimal.h"
#include "runtime/expression/bindings.h"
#include "runtime/storage/record_codec.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/storage/stored_name.h"

namespace vx {

using storage::File;
using storage::KeyDef;

void FileManager::Init(const storage::TableDef& def, FileErrorSink* errors) {
  def_ = &def;
  file_ = &File::For(def);
  errors_ = errors;
  Create = true;
  OpenMode = storage::kReadWriteDenyNone;
  LockRecover = 10;
  auto_key_ = nullptr;
  for (const KeyDef& key : def.keys) {
    if (key.auto_number) {
      auto_key_ = &key;
      break;
    }
  }
}

void FileManager::Kill() {
  def_ = nullptr;
  file_ = nullptr;
  auto_key_ = nullptr;
}

void FileManager::BindFieldsLater(ExpressionBindings& bindings) {
  bindings.BindLater([this](ExpressionBindings& b) {
    if (initialised()) BindFields(b);
  });
}

void FileManager::BindFields(ExpressionBindings& bindings) {
  const storage::TableDef& table = def();
  for (const storage::FieldDef& field : table.fields) {
    if (field.type == storage::FieldType::Memo) continue;
    const std::string name = table.prefix + ":" + field.name;
    const storage::FieldDef* f = &field;
    const storage::TableDef* t = &table;
    switch (field.type) {
      case storage::FieldType::Decimal:
        bindings.Bind(name, [t, f] {
          const auto* d =
              reinterpret_cast<const Decimal*>(static_cast<const char*>(t->buffer()) + f->offset);
          return ExprValue::Number(ExprNumber::FromUnits(d->units(), d->places()));
        });
        break;
      case storage::FieldType::String:
      case storage::FieldType::CString:
        bindings.Bind(name, [t, f] {
          return ExprValue::Text(storage::FieldText(*f, static_cast<const char*>(t->buffer())));
        });
        break;
      default:
        bindings.Bind(name, [t, f] {
          return ExprValue::Integer(
              storage::FieldInteger(*f, static_cast<const char*>(t->buffer())));
        });
        break;
    }
  }
}

int FileManager::Report(FileMessage message, int code, const std::string& key) const {
  if (!errors_) return 0;
  FileProblem p;
  p.message = message;
  // The file as the user can find it on disk, not the table's stored name ("VX97\!s"), unless
  // the table has a name of its own for messages.
  p.file = def_->display_name.empty() ? storage::FileOnDisk(file_->Name(), def_->driver)
                                      : def_->display_name;
  p.label = def_->label;
  p.key = key;
  p.code = code;
  p.error_text = code == storage::kDriverError ? FILEERROR() : storage::ErrorText(code);
  const std::string error = p.error_text + " (" + std::to_string(code) + ")";
  switch (message) {
    case FileMessage::OpenFailed:
      p.caption = "File Access Error";
      p.text = "File (" + p.file + ") could not be opened.  Error: " + error + ".";
      break;
    case FileMessage::CreateFailed:
      p.caption = "File Creation Error";
      p.text = "Error: (" + error + ") creating " + p.file + ".";
      break;
    case FileMessage::RetrieveFailed:
      p.caption = "Record Retrieval Error";
      p.text = "Error: (" + error + ") attempting to access a record from the " + p.file + " file.";
      break;
    case FileMessage::DuplicateKey:
      p.caption = "Duplicate Key Error";
      p.text = "Adding this record creates a duplicate entry for the key:" + key;
      break;
    case FileMessage::InsertFailed:
      p.caption = "Record Insert Error";
      p.text = "An error was experienced during the update of record.  Error: " + error +
               ".  File: " + p.file;
      break;
    case FileMessage::UpdateFailed:
      p.caption = "Update Operation Error";
      p.text =
          "An error (" + error +
          ") was experienced when attempting to update a record from the file.  Probable Cause: " +
          p.file + ".";
      break;
    case FileMessage::DeleteFailed:
      p.caption = "Delete Operation Error";
      p.text = "An error (" + error +
               ") was experienced when attempting to delete a record from the file " + p.file + ".";
      break;
    case FileMessage::AutoIncFailed:
      p.caption = "Auto Increment Error";
      p.text = "Attempts to automatically number this record have failed.  Error: " + error +
               ".  File: " + p.file;
      break;
    case FileMessage::ConfirmDelete:
      p.caption = "Confirm Delete";
      p.text =
          "You've selected to delete the highlighted record.  Press OK to confirm deletion of this "
          "record.";
      break;
    case FileMessage::RestrictUpdate:
    case FileMessage::RestrictDelete:
    case FileMessage::StructureDiffers:
      break;  // composed by the relation manager / the application
  }
  return errors_->TakeFileProblem(p);
}

int FileManager::OpenOnce(bool report) {
  FileManagerThreadState& s = state();
  if (s.opened > 0) {
    ++s.opened;
    return 0;
  }
  file_->SetLockWaitSeconds(LockRecover);
  int code = file_->Open(OpenMode);
  if (code == storage::kFileNotFound && Create) {
    code = file_->Create();
    if (code != 0) {
      if (report) Report(FileMessage::CreateFailed, code);
      return code;
    }
    code = file_->Open(OpenMode);
  }
  if (code == storage::kBadKey) {
    // Damaged keys are rebuilt from the records, which are intact.
    code = file_->Build();
    if (code == 0) code = file_->Open(OpenMode);
  }
  if (code == storage::kAlreadyOpen) {
    s.borrowed = true;
    code = 0;
  } else if (code == 0) {
    s.borrowed = false;
  }
  if (code == storage::kBadStructure) {
    // Reported even by a quiet open: a program that went on without the table would look
    // as if it worked while it could never read or store that table's records.
    Report(FileMessage::StructureDiffers, code);
    return code;
  }
  if (code != 0) {
    if (report) Report(FileMessage::OpenFailed, code);
    return code;
  }
  s.opened = 1;
  return 0;
}

int FileManager::Open() { return OpenOnce(true); }
int FileManager::TryOpen() { return OpenOnce(false); }

int FileManager::Close() {
  FileManagerThreadState& s = state();
  if (s.opened == 0) return storage::kNotOpen;
  if (--s.opened > 0) return 0;
  if (s.borrowed) return 0;
  return file_->Close();
}

int FileManager::UseFile() { return state().opened > 0 ? 0 : Open(); }

int FileManager::Set() {
  if (const int code = UseFile(); code != 0) return code;
  return file_->Set();
}

int FileManager::Set(const KeyDef& key) {
  if (const int code = UseFile(); code != 0) return code;
  return file_->Set(key);
}

int FileManager::SetFromBuffer(const KeyDef& key) {
  if (const int code = UseFile(); code != 0) return code;
  return file_->SetFromBuffer(key);
}

int FileManager::TryFetch(const KeyDef& key) {
  if (const int code = UseFile(); code != 0) return code;
  return file_->Get(key);
}

int FileManager::Fetch(const KeyDef& key) {
  const int code = TryFetch(key);
  if (code != 0 && code != storage::kRecordNotFound) Report(FileMessage::RetrieveFailed, code);
  return code;
}

int FileManager::TryNext() {
  if (const int code = UseFile(); code != 0) return code;
  return file_->Next();
}

int FileManager::Next() {
  const int code = TryNext();
  if (code != 0 && code != storage::kNoRecord) Report(FileMessage::RetrieveFailed, code);
  return code;
}

int FileManager::TryPrevious() {
  if (const int code = UseFile(); code != 0) return code;
  return file_->Previous();
}

int FileManager::Previous() {
  const int code = TryPrevious();
  if (code != 0 && code != storage::kNoRecord) Report(FileMessage::RetrieveFailed, code);
  return code;
}

// Gives the auto-numbered key's last component its number and adds the record, both inside
// one transaction so that no other writer can take the same number in between.
int FileManager::Renumber() {
  if (storage::InLogout()) {
    // The caller's transaction already keeps other writers out; a failed ADD wrote nothing,
    // so the caller's transaction is left to the caller.
    const int code = file_->AutoNumber(*auto_key_);
    return code != 0 ? code : file_->Add();
  }
  storage::LOGOUT(LockRecover);
  int code = file_->AutoNumber(*auto_key_);
  if (code == 0) code = file_->Add();
  if (code != 0) {
    const int driver = FILEERRORCODE();
    const std::string text = FILEERROR();
    storage::ROLLBACK();
    storage::SetError(code, file_->Name(), driver, text);
    return code;
  }
  if (storage::COMMIT() != 0) return storage::kDriverError;
  return 0;
}

int FileManager::TryInsert() {
  if (const int code = UseFile(); code != 0) return code;
  FileManagerThreadState& s = state();
  if (s.placeholder) {
    // The record was reserved when it was primed: write the buffer over the placeholder.
    std::vector<char> buffer(static_cast<const char*>(def_->buffer()),
                             static_cast<const char*>(def_->buffer()) + def_->record_size);
    int code = file_->GetPosition(s.placeholder_position);
    std::memcpy(def_->buffer(), buffer.data(), buffer.size());
    if (code == 0) code = file_->Put();
    if (code != 0) return code;
    s.placeholder = false;
    s.drawn = false;
    return 0;
  }
  bool number = false;
  if (auto_key_) {
    const int field = def_->FieldIndex(auto_key_->components.back().field);
    const std::int64_t value = storage::FieldInteger(def_->fields[static_cast<std::size_t>(field)],
                                                     static_cast<const char*>(def_->buffer()));
    // A number drawn by priming may have been taken meanwhile: draw again. A number the
    // caller set by hand is kept.
    number = value == 0 || (s.drawn && value == s.drawn_value);
  }
  s.drawn = false;
  return number ? Renumber() : file_->Add();
}

int FileManager::Insert() {
  const int code = TryInsert();
  if (code == storage::kDuplicateKey) {
    const KeyDef* key = file_->DuplicateKey();
    Report(FileMessage::DuplicateKey, code, key ? key->description : std::string());
  } else if (code != 0) {
    Report(FileMessage::InsertFailed, code);
  }
  return code;
}

int FileManager::TryUpdate() {
  if (const int code = UseFile(); code != 0) return code;
  return file_->Put();
}

int FileManager::Update() {
  const int code = TryUpdate();
  if (code == storage::kDuplicateKey) {
    const KeyDef* key = file_->DuplicateKey();
    Report(FileMessage::DuplicateKey, code, key ? key->description : std::string());
  } else if (code != 0) {
    Report(FileMessage::UpdateFailed, code);
  }
  return code;
}

int FileManager::TryDelete() {
  if (const int code = UseFile(); code != 0) return code;
  return file_->Delete();
}

int FileManager::Delete() {
  const int code = TryDelete();
  if (code != 0) Report(FileMessage::DeleteFailed, code);
  return code;
}

void FileManager::PrimeRecord(bool keep_buffer) {
  if (!keep_buffer) {
    char* buffer = static_cast<char*>(def_->buffer());
    for (const auto& field : def_->fields) storage::ClearField(field, buffer);
  }
  PrimeFields();
}

void FileManager::PrimeFields() {
  FileManagerThreadState& s = state();
  s.drawn = false;
  if (!auto_key_ || UseFile() != 0) return;
  if (file_->AutoNumber(*auto_key_) != 0) return;
  const int field = def_->FieldIndex(auto_key_->components.back().field);
  s.drawn = true;
  s.drawn_value = storage::FieldInteger(def_->fields[static_cast<std::size_t>(field)],
                                        static_cast<const char*>(def_->buffer()));
}

int FileManager::PrimeAutoInc() {
  if (const int code = UseFile(); code != 0) return code;
  if (!auto_key_) return 0;
  FileManagerThreadState& s = state();
  const int code = Renumber();
  if (code != 0) {
    Report(FileMessage::AutoIncFailed, code);
    return code;
  }
  s.placeholder = true;
  s.placeholder_position = file_->Position();
  s.drawn = false;
  return 0;
}

int FileManager::CancelAutoInc(RelationManager* relations) {
  FileManagerThreadState& s = state();
  if (!s.placeholder) return 0;
  s.placeholder = false;
  const storage::FileState saved = file_->GetState();
  int code = file_->GetPosition(s.placeholder_position);
  if (code == 0) code = relations ? relations->Delete(false) : file_->Delete();
  file_->RestoreState(saved);
  return code;
}

void FileManager::RestorePlaceholder(std::int64_t position) {
  if (position < 0) return;
  FileManagerThreadState& s = state();
  s.placeholder = true;
  s.placeholder_position = position;
}

int FileManager::ValidateField(int /*field*/) { return 0; }

int FileManager::ValidateRecord(int* failed_field) {
  const int count = static_cast<int>(def_->fields.size());
  for (int field = 1; field <= count; ++field) {
    if (const int result = ValidateField(field); result != 0) {
      if (failed_field) *failed_field = field;
      return result;
    }
  }
  return 0;
}

}  // namespace vx
