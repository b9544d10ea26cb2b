// A table as the runtime reaches it: open, walk by key or in file order, read by key, add,
// change and delete records, on the table's stored file.
//
// TopSpeed tables live in SQLite files (one file per stored file name, one SQLite table per
// table, one column per field, one index per key). BASIC and ASCII tables are text files. The
// record read or written is always the calling thread's own buffer (TableDef::buffer), and the
// walk position, open state and current record belong to the calling thread too. Every call
// returns the runtime error code it sets (0 on success; see errors.h).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/storage/errors.h"
#include "runtime/storage/per_thread.h"
#include "runtime/storage/table_def.h"

namespace vx::storage {

struct FileThreadState;
struct StoredName;
class TableBackend;

// Access modes of OPEN: the low nibble is the access (0 read, 1 write, 2 read/write), the high
// nibble the sharing; only read-only access changes what the engine does.
inline constexpr int kReadWriteDenyNone = 0x42;
inline constexpr int kReadWrite = 0x02;

// What GETSTATE saves: the walk, the current record and the record buffer.
struct FileState {
  int key = -1;  // walk key, -1 = file order
  int anchor = 0;
  std::int64_t anchor_id = 0;
  std::vector<char> anchor_record;
  std::vector<int> equal_fields;
  std::vector<char> equal_record;
  std::int64_t current = 0;
  std::size_t text_pos = 0;
  std::vector<char> buffer;
};

// The data file of `def` exists and cannot be written: it opens read-only whatever the mode.
bool DataFileReadOnly(const TableDef& def);

class File {
 public:
  explicit File(const TableDef& def);
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // The one File of a table definition for the process.
  static File& For(const TableDef& def);

  const TableDef& def() const { return def_; }
  // Never the same for two File objects of one run, so stores can tell them apart.
  std::uint64_t id() const { return state_.id(); }
  // The stored name as resolved at the last open on this thread (else as defined now).
  std::string Name() const;
  bool IsOpen() const;
  // Open on this thread for reading only: opened so, or its data file cannot be written (then
  // every write gives 5).
  bool ReadOnly() const;

  int Open(int mode = kReadWriteDenyNone);  // 52 when already open on this thread
  int Create();                             // a new empty table (file made when missing)
  int Close();
  // Driver strings: "Recover=n" sets the lock wait to n seconds; "QUICKSCAN=on|off" accepted.
  std::string Send(const std::string& command);
  void SetLockWaitSeconds(int seconds);
  int LockWaitMs() const;

  // Positioning for NEXT and PREVIOUS.
  int Set();                             // file order, from the start (or end)
  int Set(const KeyDef& key);            // key order, from the start (or end)
  int SetFromBuffer(const KeyDef& key);  // key order, from the buffer's key values
  // Key order over the records whose `fields` (indexes into def().fields) equal the buffer's
  // values now; NEXT past the last of them gives 33.
  int SetEqual(const KeyDef& key, const std::vector<int>& fields);
  int Next();
  int Previous();

  int Get(const KeyDef& key);              // by the buffer's key values; 35 when missing
  int GetPosition(std::int64_t position);  // by a value POSITION returned; 35 when gone
  std::int64_t Position() const;           // the current record, 0 = none
  // Walks `key` (nullptr: file order) from the record at `position`: the next NEXT or
  // PREVIOUS reads that record itself. The buffer is left as it was.
  int Reset(const KeyDef* key, std::int64_t position);

  int Add();
  int Put();     // writes the buffer over the current record
  int Delete();  // deletes the current record; a walk goes on with the next one
  std::int64_t Records();

  int Stream();  // batch writes until FLUSH or CLOSE
  int Flush();
  int Build();  // rebuilds the keys (after 46)
  int Empty();  // removes every record

  // Sets the last component of an auto-numbered key in the buffer to one more than the
  // highest stored among records sharing its leading components (1 when there are none).
  int AutoNumber(const KeyDef& key);
  // The key that refused the last ADD or PUT with 40 (nullptr when none).
  const KeyDef* DuplicateKey() const;

  FileState GetState() const;
  void RestoreState(const FileState& state);

  int KeyIndex(const KeyDef& key) const;
  // The indexes into def().fields of each key's components (-1: a component that names no
  // field), in the order of def().keys; made once for the process, since every thread that
  // walks or seeks by a key needs them and the definition does not change.
  const std::vector<std::vector<int>>& KeyFieldIndexes() const;

 private:
  friend struct FileOps;
  FileThreadState& state() const;
  // The installed store's backend of this table, nullptr when the table is the engine's own.
  TableBackend* Backend() const;
  int Connect(bool create, bool read_only, FileThreadState* out) const;
  int Connect(const StoredName& stored, std::string display, std::string path,
              const std::string& canonical, bool create, bool read_only,
              FileThreadState* out) const;

  const TableDef& def_;
  PerThread<FileThreadState> state_;
  int lock_wait_ms_ = 10000;  // read and written through std::atomic_ref
  mutable std::once_flag key_fields_once_;
  mutable std::vector<std::vector<int>> key_fields_;
};

}  // namespace vx::storage
