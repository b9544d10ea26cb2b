// INI files as the program uses them for settings, window positions and list layouts.
//
// Sections and keys match without regard to (ASCII) case; a missing key gives the default.
// A write keeps everything else in the file (comments, order, other sections, blank lines, the
// line-ending style) and creates the file, its folder and the section when missing. Lines that
// are neither a section, a key=value pair nor a comment are skipped on reading and left as they
// are on writing. Every write goes to a temporary file that is then renamed over the old one,
// so a crash leaves the old file or the new one, never half of either.
//
// All INI operations of the process are serialised by one mutex, so reads and writes from
// several runtime threads are safe and a read-modify-write never loses another thread's change.
// Other programs may change the files at any time. A read that changes nothing (Get, Has,
// Section, Sections, Entries) may answer from the bytes of a few files kept from an earlier read,
// and does so only while one stat of the file shows the same file (device, inode), size and
// modification and change times as when those bytes were read, and only when those times were
// already far enough in the past then that no later change could carry the same ones. Every
// write (Put, DeleteKey, DeleteSection) reads the file itself and forgets the kept bytes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vx {

// Where an INI file name lies. Backslashes become slashes; ".\NAME" lies in the current folder;
// a bare name (no folder) in the per-user settings folder; an empty name is the default INI
// file "win.ini" there; any other name is used as given. When the file does not exist under
// that spelling but a file whose name differs only in letter case does, that file is used.
std::filesystem::path ResolveIniPath(std::string_view name);

// One section's keys as they stood when it was read, for a reader that looks up several of
// them: the file is read once. Keys match as in IniFile::Get and Has (the first one wins).
class IniSection {
 public:
  std::string Get(std::string_view key, std::string_view default_value = {}) const;
  bool Has(std::string_view key) const;

 private:
  friend class IniFile;
  const std::pair<std::string, std::string>* Find(std::string_view key) const;
  std::vector<std::pair<std::string, std::string>> entries_;
};

// One INI file, resolved once when the object is made (so a later change of the current folder
// does not move it).
class IniFile {
 public:
  explicit IniFile(std::string_view name);
  // A file at exactly this path, without name resolution.
  static IniFile AtPath(std::filesystem::path path) { return IniFile(std::move(path), 0); }

  const std::filesystem::path& path() const { return path_; }

  // The value of key in section, or default_value when either is missing. Blanks around the
  // value are dropped; a value written in double quotes loses the quotes.
  std::string Get(std::string_view section, std::string_view key,
                  std::string_view default_value = {}) const;
  bool Has(std::string_view section, std::string_view key) const;
  // The keys of a section, read once (see IniSection).
  IniSection Section(std::string_view section) const;
  // IniFile(file).Section(section), resolving the name and reading the file with one look at it
  // for both.
  static IniSection ReadSection(std::string_view file, std::string_view section);

  // Sets key in section. Line breaks in the value become blanks (a value cannot add lines to
  // the file); a value with blanks at either end is written in quotes so it reads back the same.
  // A key whose line already reads so is left as it is, and the file is not written again.
  // False when the section or key cannot be written as one (empty, or holding a line break, "=",
  // or "]" in a section) or the file cannot be saved.
  bool Put(std::string_view section, std::string_view key, std::string_view value);

  // Removes the key (every copy of it in every section of that name). False only when the file
  // cannot be saved; a missing key or file is no error.
  bool DeleteKey(std::string_view section, std::string_view key);
  // Removes every section of that name with its keys and the comments inside it.
  bool DeleteSection(std::string_view section);

  // Section names in file order (each name once), and the key=value pairs of a section.
  std::vector<std::string> Sections() const;
  std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

  // IniFile(file).Get(section, key, default_value), with one look at the file for resolving the
  // name and reading it (GETINI).
  static std::string ReadValue(std::string_view file, std::string_view section,
                               std::string_view key, std::string_view default_value);

  // What resolving a name saw of the file it chose (for the INI code's own use).
  struct Looked;

 private:
  IniFile(std::filesystem::path path, int) : path_(std::move(path)) {}
  IniFile(std::string_view name, Looked& looked);
  std::string Get(std::string_view section, std::string_view key, std::string_view default_value,
                  const Looked* looked) const;
  std::vector<std::pair<std::string, std::string>> Entries(std::string_view section,
                                                           const Looked* looked) const;
  std::filesystem::path path_;
};

// The runtime's INI built-ins. The file name is resolved on every call.
std::string GETINI(std::string_view section, std::string_view key,
                   std::string_view default_value = {}, std::string_view file = {});
bool PUTINI(std::string_view section, std::string_view key, std::string_view value,
            std::string_view file = {});

}  // namespace vx
