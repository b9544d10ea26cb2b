// The record a transaction over several data files writes before the first of them commits:
// what undoes each file's part (every changed row's values before and after), kept in an
// intent file beside each of those data files ("<data file>-intent") until the last of them
// has committed.
//
// One of the files is the transaction's primary: its intent file is written last and cleared
// first, so the transaction is unfinished exactly while the primary's intent file holds it.
// The intent file beside any other file names the primary's, so a file opened alone finds out
// whether the transaction it took part in ended. An intent file is read and written only under
// an exclusive lock (flock) on it, held by the committing thread for the whole commit; a
// length and a checksum tell a whole record from one cut short.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/storage/change_capture.h"

namespace vx::storage {

struct MemberChanges {
  std::string path;  // the data file, absolute
  std::vector<TableChanges> tables;
};

struct CommitIntent {
  std::string id;       // random, different for every transaction
  std::string primary;  // the primary's intent file
  std::vector<MemberChanges> members;
};

std::string EncodeIntent(const CommitIntent& intent);
// False for anything but a whole record (empty, cut short, damaged).
bool DecodeIntent(std::string_view bytes, CommitIntent* out);
std::string NewIntentId();

std::string IntentPathOf(const std::string& data_file);
bool IntentLiesBeside(const std::string& data_file);

// An intent file held under its lock; the lock goes with the object.
class IntentFile {
 public:
  IntentFile() = default;
  ~IntentFile();
  IntentFile(IntentFile&& other) noexcept;
  IntentFile& operator=(IntentFile&& other) noexcept;
  IntentFile(const IntentFile&) = delete;
  IntentFile& operator=(const IntentFile&) = delete;

  // Locks the intent file at `path`, making it (with the mode of the data file beside it) when
  // missing. Waits up to `wait_ms` for another holder. A SQLite result code.
  static int Claim(const std::string& path, int wait_ms, IntentFile* out);
  // Locks the intent file at `path` if there is one (`*found`). SQLITE_BUSY when another holds
  // it after `wait_ms`.
  static int Inspect(const std::string& path, int wait_ms, IntentFile* out, bool* found);

  bool held() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }
  int Read(std::string* bytes) const;
  // Replaces the content and waits until it is on the disk.
  int Write(const std::string& bytes);
  // Empties the file and waits until that is on the disk.
  int Clear();
  // Removes the file (still locked) and lets it go.
  void Remove();

 private:
  static int Lock(const std::string& path, bool create, int wait_ms, IntentFile* out, bool* found);
  int fd_ = -1;
  std::string path_;
};

// Makes the entries of the folder holding `file` durable (a new intent file's name).
int SyncFolderOf(const std::string& file);

}  // namespace vx::storage
