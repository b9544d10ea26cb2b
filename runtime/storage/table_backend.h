// Where a process keeps its TopSpeed tables when not in the data folder's SQLite files.
//
// File is the storage engine's one face to the framework and the data library. By default it
// keeps every table in the data folder's SQLite files itself; once a TableStore is installed
// (a database server chosen for the data folder), File hands each call on a TopSpeed table to
// the store's TableBackend for that table instead, with the same meaning, the same thread
// rules (the record buffer, walk and current record are the calling thread's) and the same
// runtime error codes. BASIC and ASCII tables stay text files in the data folder either way.
// The thread's LOGOUT transaction spans the store's tables: COMMIT and ROLLBACK end it there.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/storage/table_def.h"

namespace vx::storage {

class File;
struct FileState;

// One table as one store keeps it; every call works on the calling thread's state.
class TableBackend {
 public:
  virtual ~TableBackend() = default;

  virtual std::string Name() const = 0;
  virtual bool IsOpen() const = 0;
  virtual bool ReadOnly() const = 0;
  virtual int Open(int mode) = 0;
  virtual int Create() = 0;
  virtual int Close() = 0;
  virtual int Set(int key) = 0;  // -1: file order
  virtual int SetFromBuffer(int key) = 0;
  virtual int SetEqual(int key, const std::vector<int>& fields) = 0;
  virtual int Next() = 0;
  virtual int Previous() = 0;
  virtual int Get(int key) = 0;
  virtual int GetPosition(std::int64_t position) = 0;
  virtual std::int64_t Position() const = 0;
  virtual int Reset(int key, std::int64_t position) = 0;
  virtual int Add() = 0;
  virtual int Put() = 0;
  virtual int Delete() = 0;
  virtual std::int64_t Records() = 0;
  virtual int Stream() = 0;
  virtual int Flush() = 0;
  virtual int Build() = 0;
  virtual int Empty() = 0;
  virtual int AutoNumber(int key) = 0;
  virtual int DuplicateKey() const = 0;  // key index, -1 none
  virtual FileState GetState() const = 0;
  virtual void RestoreState(const FileState& state) = 0;
};

class TableStore {
 public:
  virtual ~TableStore() = default;
  // The backend of `file`'s table, made at its first use and kept for the store's life.
  virtual TableBackend& TableFor(const File& file) = 0;
  // Ends the calling thread's LOGOUT transaction in the store (after the outermost COMMIT or
  // at a ROLLBACK); Commit answers 0 or the runtime code of the failure, which undid it all.
  virtual int CommitLogout() = 0;
  virtual void RollbackLogout() = 0;
};

// Puts `store` in place for the whole process (nullptr: back to the data folder's files) and
// returns the one it replaced. Install it before tables are opened, never while they are.
std::shared_ptr<TableStore> InstallTableStore(std::shared_ptr<TableStore> store);
TableStore* InstalledTableStore();

}  // namespace vx::storage
