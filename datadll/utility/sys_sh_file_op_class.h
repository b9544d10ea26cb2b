// Copies, moves, renames, deletes and recycles files given as lists of names (separated by
// ";" or "|") with wildcards; each operation returns 0 on success, like the desktop shell.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// The operation record the shell call is made from.
struct ShFileOpRecord {
  unsigned operation = 0;  // 1 move, 2 copy, 3 delete, 4 rename
  unsigned flags = 0;
  std::uint8_t aborted = 0;
};

class SYSSHFILEOPCLASS {
 public:
  // The most a name list may take, its closing NULs included.
  static constexpr std::size_t kListSize = 4096;

  void INIT(std::uint8_t renameOnCollision);
  void ASSIGN(std::string_view source, std::string_view target);
  void CONVERTMULTI(std::string& names) const;
  int COPY(std::string_view source, std::string_view target);
  int MOVE(std::string_view source, std::string_view target);
  int RENAME(std::string_view source, std::string_view target);
  int DELETE(std::string_view names, std::uint8_t toRecycleBin);
  int RECYCLE(std::string_view names);
  void KILL() {}

  std::uint8_t initialised = 0;
  // Names each ended by a NUL character, the whole ended by a second NUL.
  std::string SourceList;
  std::string TargetList;
  std::string ProgressTitle;
  ShFileOpRecord FileOp;

 private:
  int Run(unsigned operation);
  // A list that did not fit: the operation is refused rather than run on cut names.
  bool overflow_ = false;
};

}  // namespace vx
