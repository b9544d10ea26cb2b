#include "runtime/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <optional>
#include <system_error>

#include "platform/private_file.h"
#include "platform/user_folders.h"
#include "runtime/file_stamp.h"

namespace vx {
namespace {

std::mutex& IniMutex() {
  static std::mutex m;
  return m;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The file's lines as read, with what is needed to write them back the same way.
struct IniText {
  std::vector<std::string> lines;  // without line ends
  bool crlf = false;               // the file used CRLF line ends
  bool bom = false;                // the file began with a UTF-8 byte-order mark
  bool missing = true;
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
  LineKind kind = LineKind::Other;
  std::string_view name;   // section or key
  std::string_view value;  // key lines only, trimmed
};

ParsedLine Parse(std::string_view line) {
  const std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '#') return {};
  if (t.front() == '[') {
    const std::size_t close = t.find(']');
    if (close == std::string_view::npos) return {};  // malformed: skipped
    return {LineKind::Section, Trim(t.substr(1, close - 1)), {}};
  }
  const std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return {};
  const std::string_view key = Trim(t.substr(0, eq));
  if (key.empty()) return {};
  return {LineKind::Key, key, Trim(t.substr(eq + 1))};
}

std::string Unquote(std::string_view v) {
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  return std::string(v);
}

// Removes a leading UTF-8 byte-order mark from all; true when there was one.
bool DropByteOrderMark(std::string& all) {
  if (all.rfind("\xEF\xBB\xBF", 0) != 0) return false;
  all.erase(0, 3);
  return true;
}

// The bytes of the open file fd (closed here); `st` gets its fstat (st_nlink 0 when that failed).
std::string ReadAndClose(int fd, struct stat& st) {
  std::string all;
  st = {};
  if (::fstat(fd, &st) != 0) {
    st = {};
  } else if (st.st_size > 0) {
    all.reserve(static_cast<std::size_t>(st.st_size));
  }
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      all.append(buffer, static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  ::close(fd);
  return all;
}

// The file's bytes, without a leading UTF-8 byte-order mark (bom tells whether there was one);
// nullopt when the file cannot be opened. Read with plain system calls: a settings read is
// made on every window's opening, and a stream costs more than the file's few lines.
std::optional<std::string> ReadAll(const std::filesystem::path& path, bool& bom) {
  bom = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::string all = ReadAndClose(fd, st);
  bom = DropByteOrderMark(all);
  return all;
}

// What resolving a name saw of the file it names: nothing (not looked, or a file of another
// letter case was chosen), the file's stat, or that no file is there.
enum class Sight { NotLooked, Found, Missing };

// Whether a stat of a file on this file system always shows its latest change. A network or
// user-space file system may answer a stat from attributes kept a while (an open asks the
// server again), so its files are always read afresh.
bool StatIsCurrent(int fd) {
  struct statfs fs {};
  if (::fstatfs(fd, &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:      // ext2, ext3, ext4
    case 0x58465342:  // xfs
    case 0x9123683E:  // btrfs
    case 0x01021994:  // tmpfs
    case 0x794C7630:  // overlay
    case 0xF2F52010:  // f2fs
    case 0x2FC12FC1:  // zfs
    case 0xCA451A4E:  // bcachefs
    case 0x3153464A:  // jfs
    case 0x52654973:  // reiserfs
    case 0x4D44:      // vfat
    case 0x2011BAB0:  // exfat
    case 0x7366746E:  // ntfs3
      return true;
    default:
      return false;
  }
}

// The bytes of the INI files read lately by reads that change nothing, each with the identity
// of the file as it was opened. An entry answers while a stat of its path shows the same
// identity; it is made only when the file's times were safely in the past before the file was
// opened (so a change made during or after the read carries newer times), when the bytes read
// are the whole file, and when the file system's stat is current. A few small files are kept,
// the least used one making way. Used under IniMutex only.
class ReadMemo {
 public:
  // The text (without a byte-order mark) of the file at path for a read, or nullptr when it
  // cannot be opened. With `sight` Found, `seen` is a stat of path made in the same call; with
  // Missing, a stat there found no file. The text holds until the next call.
  const std::string* Text(const std::filesystem::path& path, Sight sight, const struct stat& seen) {
    struct stat st = seen;
    if (sight == Sight::Missing) return nullptr;
    if (sight == Sight::NotLooked && ::stat(path.c_str(), &st) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) return nullptr;
      return Uncached(path);
    }
    Entry* entry = Find(path.native());
    if (!S_ISREG(st.st_mode)) {
      if (entry) entry->path.clear();
      return Uncached(path);
    }
    if (entry && entry->id == FileStamp::Of(st)) {
      entry->used = ++uses_;
      return &entry->text;
    }
    // Taken before the open: a time safely before it is safely before any change made later.
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      if (entry) entry->path.clear();
      return nullptr;
    }
    const bool old_enough = StampSettled(st, now);
    const bool current = old_enough && StatIsCurrent(fd);
    struct stat opened {};
    std::string all = ReadAndClose(fd, opened);
    const bool whole = opened.st_nlink != 0 && S_ISREG(opened.st_mode) &&
                       static_cast<std::size_t>(opened.st_size) == all.size();
    const bool keep = current && whole && all.size() <= kMaxBytes && StampSettled(opened, now);
    DropByteOrderMark(all);
    if (!keep) {
      if (entry) entry->path.clear();
      scratch_ = std::move(all);
      return &scratch_;
    }
    if (!entry) entry = Spare();
    entry->path = path.native();
    entry->id = FileStamp::Of(opened);
    entry->text = std::move(all);
    entry->used = ++uses_;
    return &entry->text;
  }

  // Drops what is kept of the file at path (after this process wrote it).
  void Forget(const std::filesystem::path& path) {
    if (Entry* entry = Find(path.native())) entry->path.clear();
  }

 private:
  static constexpr std::size_t kMaxBytes = 256 * 1024;
  struct Entry {
    std::string path;  // empty: unused
    FileStamp id;
    std::string text;
    std::uint64_t used = 0;
  };

  Entry* Find(const std::string& path) {
    for (Entry& e : entries_) {
      if (!e.path.empty() && e.path == path) return &e;
    }
    return nullptr;
  }
  Entry* Spare() {
    Entry* spare = &entries_[0];
    for (Entry& e : entries_) {
      if (e.path.empty()) return &e;
      if (e.used < spare->used) spare = &e;
    }
    return spare;
  }
  const std::string* Uncached(const std::filesystem::path& path) {
    bool bom = false;
    std::optional<std::string> all = ReadAll(path, bom);
    if (!all) return nullptr;
    scratch_ = std::move(*all);
    return &scratch_;
  }

  std::array<Entry, 8> entries_;
  std::string scratch_;  // the text of a read not kept
  std::uint64_t uses_ = 0;
};

// Left in place at exit: a thread still reading settings then finds it whole.
ReadMemo& Memo() {
  static ReadMemo* memo = new ReadMemo;
  return *memo;
}

// Calls line(text, crlf) for each line of a file's text, without its line end.
template <class Line>
void ForEachLine(std::string_view all, Line line) {
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\n', start);
    if (end == std::string_view::npos) end = all.size();
    std::string_view text = all.substr(start, end - start);
    const bool crlf = !text.empty() && text.back() == '\r';
    if (crlf) text.remove_suffix(1);
    line(text, crlf);
    start = end + 1;
  }
}

IniText Read(const std::filesystem::path& path) {
  IniText text;
  const std::optional<std::string> all = ReadAll(path, text.bom);
  if (!all) return text;
  text.missing = false;
  ForEachLine(*all, [&](std::string_view line, bool crlf) {
    text.lines.emplace_back(line);
    text.crlf = text.crlf || crlf;
  });
  return text;
}

// Opens a fresh temporary file beside `path` for writing. A file or link already at a name
// (another writer's, or one planted there) is never opened or followed; the next name is tried.
int OpenTemporary(const std::filesystem::path& path, std::filesystem::path& temp) {
  static std::atomic<unsigned> counter{0};
  return platform::CreatePrivateFileNamed(
      [&](int) {
        std::filesystem::path name = path;
        name += ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        return name;
      },
      temp);
}

// Writes the whole text to a temporary file beside the target, then renames it over the target.
// The file keeps its mode; a new file is readable by its owner only, since settings files may
// hold passwords.
bool Write(const std::filesystem::path& path, const IniText& text) {
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  std::string all = text.bom ? "\xEF\xBB\xBF" : "";
  const char* eol = text.crlf ? "\r\n" : "\n";
  for (const std::string& line : text.lines) {
    all += line;
    all += eol;
  }
  mode_t mode = 0600;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = st.st_mode & 07777;
  std::filesystem::path temp;
  const int fd = OpenTemporary(path, temp);
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, mode) == 0;
  const char* p = all.data();
  std::size_t left = all.size();
  while (ok && left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) std::filesystem::remove(temp, ec);
  // Whatever became of the file, the bytes kept from before no longer stand for it.
  Memo().Forget(path);
  return ok;
}

// Index of the first key line of `key` in a section named `section`, if any.
std::optional<std::size_t> FindKey(const IniText& text, std::string_view section,
                                   std::string_view key) {
  bool in_section = false;
  for (std::size_t i = 0; i < text.lines.size(); ++i) {
    const ParsedLine p = Parse(text.lines[i]);
    if (p.kind == LineKind::Section) in_section = SameName(p.name, section);
    if (p.kind == LineKind::Key && in_section && SameName(p.name, key)) return i;
  }
  return std::nullopt;
}

std::string ValueForFile(std::string_view value) {
  std::string v(value);
  for (char& c : v) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const bool edge_blank =
      !v.empty() && (v.front() == ' ' || v.front() == '\t' || v.back() == ' ' || v.back() == '\t');
  const bool quoted = v.size() >= 2 && v.front() == '"' && v.back() == '"';
  if (edge_blank || quoted) v = '"' + v + '"';
  return v;
}

bool WritableName(std::string_view name, bool is_section) {
  if (name.empty()) return false;
  for (char c : name) {
    if (c == '\r' || c == '\n') return false;
    if (is_section && c == ']') return false;
    if (!is_section && c == '=') return false;
  }
  if (!is_section && (name.front() == '[' || name.front() == ';' || name.front() == '#'))
    return false;
  return true;
}

}  // namespace

// What resolving a name saw of the file it chose, for the read made right after in the same call.
struct IniFile::Looked {
  Sight sight = Sight::NotLooked;
  struct stat st {};
};

namespace {

// A file in dir whose name equals `name` ignoring case, when the exact one does not exist.
// `looked` (when given) keeps what the look at the exact name saw.
std::filesystem::path MatchCase(const std::filesystem::path& path, IniFile::Looked* looked) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (looked) *looked = {Sight::Found, st};
    return path;
  }
  const bool missing = errno == ENOENT || errno == ENOTDIR;
  std::error_code ec;
  const std::filesystem::path dir =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  const std::string wanted = path.filename().string();
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (SameName(it->path().filename().string(), wanted))
      return path.has_parent_path() ? it->path() : it->path().filename();
  }
  if (looked && missing) looked->sight = Sight::Missing;
  return path;
}

// A relative name in the current folder, as current_path() / name gives it (an absolute name as
// it is), joined as one text: settings are resolved on every window's opening.
std::filesystem::path InCurrentFolder(std::string_view name) {
  if (!name.empty() && name.front() == '/') return std::filesystem::path(name);
  char* cwd = ::getcwd(nullptr, 0);
  if (!cwd) return std::filesystem::path(name);
  std::string joined(cwd);
  std::free(cwd);
  if (!joined.empty() && joined.back() != '/') joined += '/';
  joined += name;
  return std::filesystem::path(std::move(joined));
}

// Removes the lines of every section named `section` for which drop(line) holds (the header
// line included, for a drop that accepts it) and saves the file when anything went.
template <class Drop>
bool RemoveLines(const std::filesystem::path& path, std::string_view section, Drop drop) {
  std::lock_guard lock(IniMutex());
  IniText text = Read(path);
  std::vector<std::string> kept;
  bool in_section = false;
  for (std::string& line : text.lines) {
    const ParsedLine p = Parse(line);
    if (p.kind == LineKind::Section) in_section = SameName(p.name, section);
    if (!in_section || !drop(p)) kept.push_back(std::move(line));
  }
  if (kept.size() == text.lines.size()) return true;
  text.lines = std::move(kept);
  return Write(path, text);
}

}  // namespace

namespace {

// ResolveIniPath. With `looked` (a read made at once, in the same current folder), a name in the
// current folder stays relative: the read finds the same file without asking for the folder.
std::filesystem::path Resolve(std::string_view name_in, IniFile::Looked* looked) {
  std::string name(Trim(name_in));
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  if (name.empty()) name = "win.ini";
  std::filesystem::path path;
  if (name.rfind("./", 0) == 0) {
    const std::string_view rest = std::string_view(name).substr(2);
    path = looked && !rest.empty() ? std::filesystem::path(rest) : InCurrentFolder(rest);
  } else if (name.find('/') == std::string::npos) {
    path = platform::UserConfigFolder() / name;
  } else {
    path = name;
  }
  return MatchCase(path, looked);
}

// The text of the file for a read that changes nothing (see ReadMemo::Text).
const std::string* TextForReading(const std::filesystem::path& path, Sight sight,
                                  const struct stat& seen) {
  return Memo().Text(path, sight, seen);
}

// The value line's value of the first `key` in a section named `section`, if any.
std::optional<std::string_view> FindValue(std::string_view all, std::string_view section,
                                          std::string_view key) {
  std::optional<std::string_view> found;
  bool in_section = false;
  ForEachLine(all, [&](std::string_view line, bool) {
    if (found) return;
    const ParsedLine p = Parse(line);
    if (p.kind == LineKind::Section) in_section = SameName(p.name, section);
    if (p.kind == LineKind::Key && in_section && SameName(p.name, key)) found = p.value;
  });
  return found;
}

}  // namespace

std::filesystem::path ResolveIniPath(std::string_view name) { return Resolve(name, nullptr); }

IniFile::IniFile(std::string_view name) : path_(Resolve(name, nullptr)) {}

IniFile::IniFile(std::string_view name, Looked& looked) : path_(Resolve(name, &looked)) {}

std::string IniFile::Get(std::string_view section, std::string_view key,
                         std::string_view default_value) const {
  return Get(section, key, default_value, nullptr);
}

std::string IniFile::Get(std::string_view section, std::string_view key,
                         std::string_view default_value, const Looked* looked) const {
  std::lock_guard lock(IniMutex());
  const Looked none;
  const Looked& seen = looked ? *looked : none;
  if (const std::string* all = TextForReading(path_, seen.sight, seen.st)) {
    if (const auto value = FindValue(*all, Trim(section), Trim(key))) return Unquote(*value);
  }
  return std::string(default_value);
}

std::string IniFile::ReadValue(std::string_view file, std::string_view section,
                               std::string_view key, std::string_view default_value) {
  Looked looked;
  const IniFile ini(file, looked);
  return ini.Get(section, key, default_value, &looked);
}

bool IniFile::Has(std::string_view section, std::string_view key) const {
  std::lock_guard lock(IniMutex());
  const std::string* all = TextForReading(path_, Sight::NotLooked, {});
  return all && FindValue(*all, Trim(section), Trim(key)).has_value();
}

bool IniFile::Put(std::string_view section_in, std::string_view key_in, std::string_view value) {
  const std::string_view section = Trim(section_in);
  const std::string_view key = Trim(key_in);
  if (!WritableName(section, true) || !WritableName(key, false)) return false;
  std::lock_guard lock(IniMutex());
  IniText text = Read(path_);
  if (const auto i = FindKey(text, section, key)) {
    // Keep the key's spelling as the file has it.
    const std::string stored(Parse(text.lines[*i]).name);
    std::string line = stored + "=" + ValueForFile(value);
    // Windows put their layouts back on every close, mostly unchanged: no rewrite, no sync.
    if (text.lines[*i] == line) return true;
    text.lines[*i] = std::move(line);
    return Write(path_, text);
  }
  const std::string line = std::string(key) + "=" + ValueForFile(value);
  // Insert after the last non-blank line of the first section of that name.
  std::optional<std::size_t> insert_at;
  bool in_section = false, seen = false;
  for (std::size_t i = 0; i < text.lines.size(); ++i) {
    const ParsedLine p = Parse(text.lines[i]);
    if (p.kind == LineKind::Section) {
      if (seen) break;
      in_section = SameName(p.name, section);
      seen = in_section;
    }
    if (in_section && !Trim(text.lines[i]).empty()) insert_at = i + 1;
  }
  if (insert_at) {
    text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(*insert_at), line);
  } else {
    if (!text.lines.empty() && !Trim(text.lines.back()).empty()) text.lines.emplace_back();
    text.lines.push_back("[" + std::string(section) + "]");
    text.lines.push_back(line);
  }
  return Write(path_, text);
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key_in) {
  const std::string_view key = Trim(key_in);
  return RemoveLines(path_, Trim(section), [&](const ParsedLine& p) {
    return p.kind == LineKind::Key && SameName(p.name, key);
  });
}

bool IniFile::DeleteSection(std::string_view section) {
  return RemoveLines(path_, Trim(section), [](const ParsedLine&) { return true; });
}

IniSection IniFile::Section(std::string_view section) const {
  IniSection values;
  values.entries_ = Entries(section, nullptr);
  return values;
}

IniSection IniFile::ReadSection(std::string_view file, std::string_view section) {
  Looked looked;
  const IniFile ini(file, looked);
  IniSection values;
  values.entries_ = ini.Entries(section, &looked);
  return values;
}

const std::pair<std::string, std::string>* IniSection::Find(std::string_view key_in) const {
  const std::string_view key = Trim(key_in);
  for (const auto& entry : entries_) {
    if (SameName(entry.first, key)) return &entry;
  }
  return nullptr;
}

std::string IniSection::Get(std::string_view key, std::string_view default_value) const {
  const auto* entry = Find(key);
  return entry ? entry->second : std::string(default_value);
}

bool IniSection::Has(std::string_view key) const { return Find(key) != nullptr; }

std::vector<std::string> IniFile::Sections() const {
  std::lock_guard lock(IniMutex());
  std::vector<std::string> out;
  const std::string* all = TextForReading(path_, Sight::NotLooked, {});
  if (!all) return out;
  ForEachLine(*all, [&](std::string_view line, bool) {
    const ParsedLine p = Parse(line);
    if (p.kind != LineKind::Section) return;
    bool known = false;
    for (const std::string& s : out) known = known || SameName(s, p.name);
    if (!known) out.emplace_back(p.name);
  });
  return out;
}

std::vector<std::pair<std::string, std::string>> IniFile::Entries(std::string_view section) const {
  return Entries(section, nullptr);
}

std::vector<std::pair<std::string, std::string>> IniFile::Entries(std::string_view section_in,
                                                                  const Looked* looked) const {
  const std::string_view section = Trim(section_in);
  std::lock_guard lock(IniMutex());
  std::vector<std::pair<std::string, std::string>> out;
  const Looked none;
  const Looked& seen = looked ? *looked : none;
  const std::string* all = TextForReading(path_, seen.sight, seen.st);
  if (!all) return out;
  bool in_section = false;
  ForEachLine(*all, [&](std::string_view line, bool) {
    const ParsedLine p = Parse(line);
    if (p.kind == LineKind::Section) in_section = SameName(p.name, section);
    if (p.kind == LineKind::Key && in_section)
      out.emplace_back(std::string(p.name), Unquote(p.value));
  });
  return out;
}

std::string GETINI(std::string_view section, std::string_view key, std::string_view default_value,
                   std::string_view file) {
  return IniFile::ReadValue(file, section, key, default_value);
}

bool PUTINI(std::string_view section, std::string_view key, std::string_view value,
            std::string_view file) {
  return IniFile(file).Put(section, key, value);
}

}  // namespace vx
