#include "datadll/utility/sys_sh_file_op_class.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/shell_file_operation.h"
#include "runtime/fixed_string.h"
#include "runtime/ini_file.h"
#include "runtime/threads.h"

namespace vx {
namespace {

constexpr unsigned kDefaultFlags =
    0x6D0;  // no dialogs of any kind, files only for wildcards, undo allowed

void ReplaceAll(std::string& text, std::string_view from, char to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1))
    text.replace(at, from.size(), 1, to);
}

// The names of a list, up to its closing double NUL.
std::vector<std::string> Names(const std::string& list) {
  std::vector<std::string> names;
  std::size_t at = 0;
  while (at < list.size()) {
    const std::size_t end = list.find('\0', at);
    std::string name = list.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (name.empty()) break;
    names.push_back(std::move(name));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return names;
}

std::string FirstName(const std::string& list) { return list.substr(0, list.find('\0')); }

}  // namespace

void SYSSHFILEOPCLASS::INIT(std::uint8_t renameOnCollision) {
  initialised = 1;
  FileOp = ShFileOpRecord{};
  SourceList = std::string("*.*\0\0", 5);
  TargetList = SourceList;
  ProgressTitle.clear();
  overflow_ = false;
  FileOp.operation = platform::FO_COPY;
  FileOp.flags = kDefaultFlags;
  if (renameOnCollision == 1) FileOp.flags |= platform::FOF_RENAMEONCOLLISION;
}

void SYSSHFILEOPCLASS::CONVERTMULTI(std::string& names) const {
  if (names.find_first_of(std::string(";|\0", 3)) != std::string::npos) {
    ReplaceAll(names, "| ", '\0');
    ReplaceAll(names, "; ", '\0');
    ReplaceAll(names, "|", '\0');
    ReplaceAll(names, ";", '\0');
    return;
  }
  // A bare name in the current folder becomes its full path, so the list means the same file
  // wherever the operation looks from.
  const std::string name(ClipView(names));
  if (name.empty() || name.find_first_of("*?\\/") != std::string::npos) return;
  std::error_code ec;
  if (!std::filesystem::exists(name, ec)) return;
  const std::filesystem::path full = std::filesystem::absolute(name, ec);
  if (!ec) names = full.string();
}

void SYSSHFILEOPCLASS::ASSIGN(std::string_view source, std::string_view target) {
  std::string s(source), t(target);
  CONVERTMULTI(s);
  CONVERTMULTI(t);
  SourceList = std::string(ClipView(s)) + std::string(2, '\0');
  TargetList = std::string(ClipView(t)) + std::string(2, '\0');
  overflow_ = SourceList.size() > kListSize || TargetList.size() > kListSize;
}

int SYSSHFILEOPCLASS::COPY(std::string_view source, std::string_view target) {
  if (!initialised) INIT(0);
  ASSIGN(source, target);
  return Run(platform::FO_COPY);
}

int SYSSHFILEOPCLASS::MOVE(std::string_view source, std::string_view target) {
  if (!initialised) INIT(0);
  ASSIGN(source, target);
  return Run(platform::FO_MOVE);
}

int SYSSHFILEOPCLASS::RENAME(std::string_view source, std::string_view target) {
  if (!initialised) INIT(0);
  ASSIGN(source, target);
  return Run(platform::FO_RENAME);
}

int SYSSHFILEOPCLASS::DELETE(std::string_view names, std::uint8_t toRecycleBin) {
  if (!initialised) INIT(0);
  FileOp.flags |= platform::FOF_ALLOWUNDO;
  if (toRecycleBin == 0) FileOp.flags &= ~platform::FOF_ALLOWUNDO;
  ASSIGN(names, names);
  return Run(platform::FO_DELETE);
}

int SYSSHFILEOPCLASS::RECYCLE(std::string_view names) { return DELETE(names, 1); }

int SYSSHFILEOPCLASS::Run(unsigned operation) {
  PUTINI("ShFileOp", "Exec", std::to_string(operation), ".\\DEBUG.INI");
  PUTINI("ShFileOp", "Source", FirstName(SourceList), ".\\DEBUG.INI");
  PUTINI("ShFileOp", "Target", FirstName(TargetList), ".\\DEBUG.INI");
  FileOp.operation = operation;
  FileOp.aborted = 0;
  if (overflow_) return platform::kFileOpInvalidFiles;  // cut names could name other files

  platform::FileOperation op;
  op.operation = operation;
  op.sources = Names(SourceList);
  op.targets = Names(TargetList);
  op.flags = FileOp.flags;
  // A long copy must not hold up the program's other threads.
  RuntimeUnlocked unlocked;
  return platform::RunFileOperation(op);
}

}  // namespace vx
