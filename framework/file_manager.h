// The framework's file manager (FILEMANAGER): one per table, shared by all threads.
//
// It opens and closes the table with open counting, reads, inserts, updates and deletes
// records of the calling thread's buffer, numbers auto-numbered keys, primes new records and
// checks fields, and reports failures to its error sink. Every operation returns 0 on success,
// otherwise the runtime error code (33 at the end of a walk). Try... calls report nothing.
#pragma once

#include <string>

#include "framework/file_error_sink.h"
#include "runtime/storage/file.h"
#include "runtime/storage/per_thread.h"
#include "runtime/storage/table_def.h"

namespace vx {

class ExpressionBindings;
class RelationManager;

struct FileManagerThreadState {
  int opened = 0;            // this thread's open count
  bool borrowed = false;     // the file was already open when first opened here
  bool placeholder = false;  // PrimeAutoInc added a record for the form being filled
  std::int64_t placeholder_position = 0;
  bool drawn = false;  // PrimeFields drew the auto number in the buffer
  std::int64_t drawn_value = 0;
};

class FileManager {
 public:
  virtual ~FileManager() = default;

  // Settings as INIT leaves them; the data library changes them after INIT.
  bool Create = true;  // a missing file or table is created on open
  int OpenMode = storage::kReadWriteDenyNone;
  int LockRecover = 10;  // seconds a locked file is waited for

  virtual void Init(const storage::TableDef& def, FileErrorSink* errors = nullptr);
  virtual void Kill();
  bool initialised() const { return def_ != nullptr; }

  const storage::TableDef& def() const { return *def_; }
  storage::File& file() const { return *file_; }
  FileErrorSink* errors() const { return errors_; }
  void SetErrors(FileErrorSink* errors) { errors_ = errors; }
  // The key numbered on insert (nullptr when the table has none).
  const storage::KeyDef* AutoIncKey() const { return auto_key_; }

  int Open();
  int TryOpen();
  int Close();
  int UseFile();  // opens the file on this thread unless it is open already
  int Opened() const { return state().opened; }

  // Positioning for Next and Previous (the runtime's SET), opening the file on first use:
  // file order, a key from its start (or end), a key from the buffer's key values.
  int Set();
  int Set(const storage::KeyDef& key);
  int SetFromBuffer(const storage::KeyDef& key);

  int Fetch(const storage::KeyDef& key);
  int TryFetch(const storage::KeyDef& key);
  int Next();
  int TryNext();
  int Previous();
  int TryPrevious();

  int Insert();
  int TryInsert();
  int Update();
  int TryUpdate();
  int Delete();
  int TryDelete();

  // Clears the buffer (unless keep_buffer) and runs PrimeFields.
  virtual void PrimeRecord(bool keep_buffer = false);
  // Defaults of a new record; tables override it, set their fields, then call this one, which
  // draws the auto number into the buffer.
  virtual void PrimeFields();
  // Adds a placeholder record holding the next auto number, so that child records can refer
  // to it while the record is being filled; the next Insert writes over it.
  int PrimeAutoInc();
  // Withdraws the placeholder (through `relations` when given, so its children go too).
  int CancelAutoInc(RelationManager* relations = nullptr);
  bool HasPlaceholder() const { return state().placeholder; }
  // The placeholder's position (-1 without one), and its reservation taken up again after an
  // Insert that wrote over it was rolled back: the placeholder record is stored again then.
  std::int64_t PlaceholderPosition() const {
    return state().placeholder ? state().placeholder_position : -1;
  }
  void RestorePlaceholder(std::int64_t position);

  // Checks of one field (1-based field number) and of the whole record; 0 = valid.
  virtual int ValidateField(int field);
  virtual int ValidateRecord(int* failed_field = nullptr);
  // Makes the record's fields known to expressions as "PREFIX:Name" (memos left to the tables,
  // which override this, call it, and bind their memos under their own names). Each name reads
  // the buffer of the thread evaluating the expression, at the moment it is evaluated.
  virtual void BindFields(ExpressionBindings& bindings);
  // The same, made when the bindings are first used (ExpressionBindings::BindLater): most
  // windows that bind their table never evaluate an expression over it. Binds nothing when the
  // manager was killed before then.
  void BindFieldsLater(ExpressionBindings& bindings);

  storage::FileState SaveFile() const { return file_->GetState(); }
  void RestoreFile(const storage::FileState& state) { file_->RestoreState(state); }

  // Reports a problem of this table to the sink; returns the sink's answer (0 without one).
  int Report(FileMessage message, int code, const std::string& key = {}) const;

 private:
  FileManagerThreadState& state() const { return state_.get(); }
  int OpenOnce(bool report);
  int Renumber();  // numbers the auto key and adds the record, atomically

  const storage::TableDef* def_ = nullptr;
  storage::File* file_ = nullptr;
  FileErrorSink* errors_ = nullptr;
  const storage::KeyDef* auto_key_ = nullptr;
  storage::PerThread<FileManagerThreadState> state_;
};

}  // namespace vx
