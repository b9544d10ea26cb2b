#include "runtime/storage/commit_intent.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <thread>

namespace vx::storage {
namespace {

constexpr std::string_view kMagic = "VXINTENT";
constexpr std::string_view kSuffix = "-intent";

std::uint64_t Checksum(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

class Writer {
 public:
  void U8(std::uint8_t v) { out.push_back(static_cast<char>(v)); }
  void U64(std::uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
  }
  void Count(std::size_t n) { U64(n); }
  void Text(std::string_view s) {
    Count(s.size());
    out.append(s);
  }
  void Value(const StoredValue& v) {
    U8(static_cast<std::uint8_t>(v.type));
    if (v.type == SQLITE_INTEGER) U64(static_cast<std::uint64_t>(v.integer));
    if (v.type == SQLITE_FLOAT) {
      std::uint64_t bits = 0;
      std::memcpy(&bits, &v.real, sizeof bits);
      U64(bits);
    }
    if (v.type == SQLITE_TEXT || v.type == SQLITE_BLOB) Text(v.bytes);
  }
  void Image(const std::optional<RowImage>& image) {
    U8(image ? 1 : 0);
    if (!image) return;
    Count(image->size());
    for (const StoredValue& v : *image) Value(v);
  }
  std::string out;
};

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}
  bool ok() const { return ok_; }
  std::uint8_t U8() {
    if (!Need(1)) return 0;
    return static_cast<std::uint8_t>(in_[pos_++]);
  }
  std::uint64_t U64() {
    if (!Need(8)) return 0;
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) {
      v |= static_cast<std::uint64_t>(static_cast<unsigned char>(in_[pos_++])) << (8 * i);
    }
    return v;
  }
  // A count of things each taking at least one byte, so that a damaged count cannot ask for more.
  std::size_t Count() {
    const std::uint64_t n = U64();
    if (n > in_.size() - pos_) ok_ = false;
    return ok_ ? static_cast<std::size_t>(n) : 0;
  }
  std::string Text() {
    const std::size_t n = Count();
    if (!Need(n)) return {};
    std::string s(in_.substr(pos_, n));
    pos_ += n;
    return s;
  }
  StoredValue Value() {
    StoredValue v;
    v.type = U8();
    if (v.type == SQLITE_INTEGER) v.integer = static_cast<std::int64_t>(U64());
    if (v.type == SQLITE_FLOAT) {
      const std::uint64_t bits = U64();
      std::memcpy(&v.real, &bits, sizeof bits);
    }
    if (v.type == SQLITE_TEXT || v.type == SQLITE_BLOB) v.bytes = Text();
    if (v.type < SQLITE_INTEGER || v.type > SQLITE_NULL) ok_ = false;
    return v;
  }
  std::optional<RowImage> Image() {
    if (U8() == 0) return std::nullopt;
    RowImage image(Count());
    for (StoredValue& v : image) v = Value();
    return image;
  }
  bool AtEnd() const { return pos_ == in_.size(); }

 private:
  bool Need(std::size_t n) {
    if (!ok_ || n > in_.size() - pos_) ok_ = false;
    return ok_;
  }
  std::string_view in_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

int WriteError() { return errno == ENOSPC || errno == EDQUOT ? SQLITE_FULL : SQLITE_IOERR_WRITE; }

}  // namespace

std::string EncodeIntent(const CommitIntent& intent) {
  Writer body;
  body.Text(intent.id);
  body.Text(intent.primary);
  body.Count(intent.members.size());
  for (const MemberChanges& member : intent.members) {
    body.Text(member.path);
    body.Count(member.tables.size());
    for (const TableChanges& table : member.tables) {
      body.Text(table.table);
      body.Count(table.columns.size());
      for (const std::string& column : table.columns) body.Text(column);
      body.Count(table.rows.size());
      for (const RowChange& row : table.rows) {
        body.U64(static_cast<std::uint64_t>(row.rowid));
        body.Image(row.before);
        body.Image(row.after);
      }
    }
  }
  Writer whole;
  whole.out.append(kMagic);
  whole.U64(body.out.size());
  whole.out.append(body.out);
  whole.U64(Checksum(body.out));
  return whole.out;
}

bool DecodeIntent(std::string_view bytes, CommitIntent* out) {
  if (bytes.substr(0, kMagic.size()) != kMagic) return false;
  Reader head(bytes.substr(kMagic.size()));
  const std::uint64_t size = head.U64();
  const std::size_t start = kMagic.size() + 8;
  if (!head.ok() || size > bytes.size() || bytes.size() - start != size + 8) return false;
  const std::string_view body = bytes.substr(start, static_cast<std::size_t>(size));
  Reader tail(bytes.substr(start + body.size()));
  if (tail.U64() != Checksum(body)) return false;

  Reader in(body);
  CommitIntent intent;
  intent.id = in.Text();
  intent.primary = in.Text();
  intent.members.resize(in.Count());
  for (MemberChanges& member : intent.members) {
    member.path = in.Text();
    member.tables.resize(in.Count());
    for (TableChanges& table : member.tables) {
      table.table = in.Text();
      table.columns.resize(in.Count());
      for (std::string& column : table.columns) column = in.Text();
      table.rows.resize(in.Count());
      for (RowChange& row : table.rows) {
        row.rowid = static_cast<std::int64_t>(in.U64());
        row.before = in.Image();
        row.after = in.Image();
      }
    }
  }
  if (!in.ok() || !in.AtEnd() || intent.id.empty()) return false;
  *out = std::move(intent);
  return true;
}

std::string NewIntentId() {
  unsigned char random[16] = {};
  if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
    // Without the kernel's randomness: the process, the time and a count keep it unique.
    static std::atomic<std::uint64_t> count{0};
    const std::uint64_t parts[2] = {
        static_cast<std::uint64_t>(getpid()) << 32 ^ count.fetch_add(1),
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    std::memcpy(random, parts, sizeof random);
  }
  static const char kHex[] = "0123456789abcdef";
  std::string id;
  for (const unsigned char b : random) {
    id += kHex[b >> 4];
    id += kHex[b & 0xf];
  }
  return id;
}

std::string IntentPathOf(const std::string& data_file) { return data_file + std::string(kSuffix); }

bool IntentLiesBeside(const std::string& data_file) {
  struct stat st {};
  return ::lstat(IntentPathOf(data_file).c_str(), &st) == 0;
}

IntentFile::~IntentFile() {
  if (fd_ >= 0) ::close(fd_);
}

IntentFile::IntentFile(IntentFile&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)) {
  other.fd_ = -1;
}

IntentFile& IntentFile::operator=(IntentFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
  }
  return *this;
}

int IntentFile::Claim(const std::string& path, int wait_ms, IntentFile* out) {
  bool found = false;
  return Lock(path, true, wait_ms, out, &found);
}

int IntentFile::Inspect(const std::string& path, int wait_ms, IntentFile* out, bool* found) {
  return Lock(path, false, wait_ms, out, found);
}

int IntentFile::Lock(const std::string& path, bool create, int wait_ms, IntentFile* out,
                     bool* found) {
  *found = false;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, wait_ms));
  for (;;) {
    // Never through a link planted in the data folder.
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), 0600);
    if (fd < 0) {
      if (errno == ENOENT && !create) return SQLITE_OK;
      return errno == EACCES ? SQLITE_PERM : SQLITE_CANTOPEN;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EINTR) continue;
      const bool busy = errno == EWOULDBLOCK;
      if (!busy || std::chrono::steady_clock::now() >= deadline) {
        ::close(fd);
        return busy ? SQLITE_BUSY : SQLITE_IOERR_LOCK;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // The holder before may have removed the file: then the lock is on a file nobody finds.
    struct stat held {};
    struct stat named {};
    const bool same = ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
                      held.st_dev == named.st_dev && held.st_ino == named.st_ino;
    if (!same) {
      ::close(fd);
      if (!create && ::lstat(path.c_str(), &named) != 0) return SQLITE_OK;
      continue;
    }
    if (create && held.st_size == 0) {
      // Readable by whoever may read the data file beside it, as SQLite's own journals are.
      const std::string data_file = path.substr(0, path.size() - kSuffix.size());
      struct stat data {};
      if (::stat(data_file.c_str(), &data) == 0) ::fchmod(fd, data.st_mode & 0666);
    }
    *out = IntentFile();
    out->fd_ = fd;
    out->path_ = path;
    *found = true;
    return SQLITE_OK;
  }
}

int IntentFile::Read(std::string* bytes) const {
  bytes->clear();
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return SQLITE_IOERR_FSTAT;
  bytes->resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < bytes->size()) {
    const ssize_t n =
        ::pread(fd_, bytes->data() + done, bytes->size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes->resize(done);
  return SQLITE_OK;
}

int IntentFile::Write(const std::string& bytes) {
  if (::ftruncate(fd_, 0) != 0) return SQLITE_IOERR_TRUNCATE;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return WriteError();
    done += static_cast<std::size_t>(n);
  }
  return ::fdatasync(fd_) == 0 ? SQLITE_OK : SQLITE_IOERR_FSYNC;
}

int IntentFile::Clear() {
  if (::ftruncate(fd_, 0) != 0) return SQLITE_IOERR_TRUNCATE;
  return ::fdatasync(fd_) == 0 ? SQLITE_OK : SQLITE_IOERR_FSYNC;
}

void IntentFile::Remove() {
  if (fd_ < 0) return;
  ::unlink(path_.c_str());
  ::close(fd_);
  fd_ = -1;
}

int SyncFolderOf(const std::string& file) {
  std::filesystem::path folder = std::filesystem::path(file).parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return SQLITE_IOERR_DIR_FSYNC;
  const int rc = ::fsync(fd) == 0 ? SQLITE_OK : SQLITE_IOERR_DIR_FSYNC;
  ::close(fd);
  return rc;
}

}  // namespace vx::storage
