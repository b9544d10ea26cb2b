// A SQLite file layer for tests that passes every call to the system's own layer, except that
// from the Nth write or sync on it fails them with a chosen error, as a failing disk, a full
// disk or a lost device would, or kills the process at the Nth write or sync (Crash). Installed
// as the default layer, so the storage engine's files opened while it is installed go through it.
// It also counts the databases opened through it (their logs and shared memory aside).
#pragma once

#include <signal.h>
#include <sqlite3.h>

#include <atomic>

#include "runtime/storage/sqlite_session.h"

namespace vx::test {

enum class Fault { None, Write, DiskFull, Sync, Crash };

class FaultyVfs {
 public:
  FaultyVfs() {
    real_ = sqlite3_vfs_find(nullptr);
    vfs_ = *real_;
    vfs_.zName = "vx-faulty";
    vfs_.szOsFile = static_cast<int>(sizeof(FaultyFile)) + real_->szOsFile;
    vfs_.pAppData = this;
    vfs_.xOpen = &Open;
    sqlite3_vfs_register(&vfs_, 1);
  }
  // Connections the engine keeps for later opens must not outlive this layer.
  ~FaultyVfs() {
    storage::CloseKeptConnections();
    sqlite3_vfs_unregister(&vfs_);
    sqlite3_vfs_register(real_, 1);
  }
  FaultyVfs(const FaultyVfs&) = delete;
  FaultyVfs& operator=(const FaultyVfs&) = delete;

  // From the nth matching call on (1 = the next one), every one fails until Clear.
  void Arm(Fault fault, int nth) {
    countdown_ = nth;
    fault_ = fault;
  }
  void Clear() { fault_ = Fault::None; }
  int failures() const { return failures_; }
  int databases_opened() const { return databases_opened_; }

  // The SQLite code a fault gives.
  static int CodeOf(Fault fault) {
    switch (fault) {
      case Fault::Write:
        return SQLITE_IOERR_WRITE;
      case Fault::DiskFull:
        return SQLITE_FULL;
      case Fault::Sync:
        return SQLITE_IOERR_FSYNC;
      default:
        return SQLITE_OK;
    }
  }

 private:
  struct FaultyFile {
    sqlite3_file base;
    FaultyVfs* owner;
    sqlite3_file* real;  // the system layer's file, stored right after this struct
  };

  static FaultyFile* Of(sqlite3_file* f) { return reinterpret_cast<FaultyFile*>(f); }
  static sqlite3_file* Real(sqlite3_file* f) { return Of(f)->real; }

  // True when this call is one that must fail.
  bool Hit(bool is_write) {
    const Fault fault = fault_;
    const bool matches = fault == Fault::Crash ||
                         (fault == Fault::Sync ? !is_write : (fault != Fault::None && is_write));
    if (!matches) return false;
    if (countdown_ > 1) {
      --countdown_;
      return false;
    }
    if (fault == Fault::Crash) raise(SIGKILL);
    ++failures_;
    return true;
  }

  static int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags,
                  int* out_flags) {
    FaultyVfs* self = static_cast<FaultyVfs*>(vfs->pAppData);
    if (flags & SQLITE_OPEN_MAIN_DB) ++self->databases_opened_;
    FaultyFile* f = Of(file);
    f->owner = self;
    f->real = reinterpret_cast<sqlite3_file*>(f + 1);
    const int rc = self->real_->xOpen(self->real_, name, f->real, flags, out_flags);
    file->pMethods = rc == SQLITE_OK && f->real->pMethods ? &kMethods : nullptr;
    return rc;
  }

  static int Close(sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); }
  static int Read(sqlite3_file* f, void* p, int n, sqlite3_int64 at) {
    return Real(f)->pMethods->xRead(Real(f), p, n, at);
  }
  static int Write(sqlite3_file* f, const void* p, int n, sqlite3_int64 at) {
    if (Of(f)->owner->Hit(true)) return CodeOf(Of(f)->owner->fault_);
    return Real(f)->pMethods->xWrite(Real(f), p, n, at);
  }
  static int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    return Real(f)->pMethods->xTruncate(Real(f), size);
  }
  static int Sync(sqlite3_file* f, int flags) {
    if (Of(f)->owner->Hit(false)) return SQLITE_IOERR_FSYNC;
    return Real(f)->pMethods->xSync(Real(f), flags);
  }
  static int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    return Real(f)->pMethods->xFileSize(Real(f), size);
  }
  static int Lock(sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); }
  static int Unlock(sqlite3_file* f, int level) {
    return Real(f)->pMethods->xUnlock(Real(f), level);
  }
  static int CheckReservedLock(sqlite3_file* f, int* out) {
    return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
  }
  static int FileControl(sqlite3_file* f, int op, void* arg) {
    return Real(f)->pMethods->xFileControl(Real(f), op, arg);
  }
  static int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
  static int DeviceCharacteristics(sqlite3_file* f) {
    return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
  }
  static int ShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    return Real(f)->pMethods->xShmMap(Real(f), page, size, extend, out);
  }
  static int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
  }
  static void ShmBarrier(sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); }
  static int ShmUnmap(sqlite3_file* f, int remove) {
    return Real(f)->pMethods->xShmUnmap(Real(f), remove);
  }
  // Memory-mapped reads are left out (iVersion 2) so that every page goes through Read.

  static constexpr sqlite3_io_methods kMethods = {2,
                                                  &Close,
                                                  &Read,
                                                  &Write,
                                                  &Truncate,
                                                  &Sync,
                                                  &FileSize,
                                                  &Lock,
                                                  &Unlock,
                                                  &CheckReservedLock,
                                                  &FileControl,
                                                  &SectorSize,
                                                  &DeviceCharacteristics,
                                                  &ShmMap,
                                                  &ShmLock,
                                                  &ShmBarrier,
                                                  &ShmUnmap,
                                                  nullptr,
                                                  nullptr};

  sqlite3_vfs* real_ = nullptr;
  sqlite3_vfs vfs_{};
  std::atomic<Fault> fault_{Fault::None};
  std::atomic<int> countdown_{0};
  std::atomic<int> failures_{0};
  std::atomic<int> databases_opened_{0};
};

}  // namespace vx::test
