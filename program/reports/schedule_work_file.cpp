#include "program/reports/schedule_work_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "platform/private_file.h"
#include "platform/user_folders.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

// The table's file inside a run's folder; the engine adds the extension.
constexpr const char* kFileName = "vxWrkFil";

// When a process started (clock ticks after boot, field 22 of /proc/<pid>/stat): with the id it
// tells a running program from a later one that was given the same id. Nothing when there is
// no such process.
std::optional<unsigned long long> ProcessStart(long pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  if (!std::getline(in, stat)) return std::nullopt;
  // The command name (field 2) is in parentheses and may hold blanks and ")": the fields after
  // the last ")" start with field 3.
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(stat.substr(close + 1));
  std::string field;
  for (int number = 3; number < 22; ++number) fields >> field;
  unsigned long long start = 0;
  if (!(fields >> start)) return std::nullopt;
  return start;
}

// "<pid>-<start>-": the front of every run folder this process makes.
std::string OwnPrefix() {
  const long pid = static_cast<long>(::getpid());
  return std::to_string(pid) + "-" + std::to_string(ProcessStart(pid).value_or(0)) + "-";
}

// Whether the run folder `name` belongs to a program still running; names not made by a run
// are nobody's.
bool OwnerRunning(const std::string& name) {
  long pid = 0;
  unsigned long long start = 0;
  char tail = 0;
  if (std::sscanf(name.c_str(), "%ld-%llu-%c", &pid, &start, &tail) != 3 || pid <= 0)
    return true;  // not a run's folder: left alone
  const std::optional<unsigned long long> running = ProcessStart(pid);
  return running && *running == start;
}

}  // namespace

fs::path ScheduleWorkFilesFolder() {
  const fs::path folder = platform::UserCacheFolder() / "reports";
  return platform::EnsurePrivateFolder(folder) ? folder : fs::path();
}

ScheduleWorkFile::ScheduleWorkFile() {
  const fs::path root = ScheduleWorkFilesFolder();
  std::string name = (root / (OwnPrefix() + "XXXXXX")).string();
  // mkdtemp makes the folder 0700 under a name no one else has.
  if (root.empty() || ::mkdtemp(name.data()) == nullptr) {
    const std::string reason = std::strerror(errno);
    MESSAGE(
        "The report's work file cannot be made in " +
            (root.empty() ? (platform::UserCacheFolder() / "reports").string() : root.string()) +
            ": " + reason,
        "Report", MessageIcon::Exclamation);
    return;
  }
  folder_ = name;
  // Named and opened with no other thread in between: the open keeps this thread on its own
  // file whatever another report names later.
  GLO_SCHEDULEWORKFILENAME = (folder_ / kFileName).string();
  opened_ = ACCESS_SCHEDULEWORKFILE->Open() == 0;
}

ScheduleWorkFile::~ScheduleWorkFile() {
  if (opened_) {
    while (ACCESS_SCHEDULEWORKFILE->Opened() > 0) ACCESS_SCHEDULEWORKFILE->Close();
  }
  if (!folder_.empty()) {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
}

void SweepScheduleWorkFiles() {
  const fs::path root = ScheduleWorkFilesFolder();
  if (root.empty()) return;
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (!OwnerRunning(it->path().filename().string())) {
      std::error_code ignored;
      fs::remove_all(it->path(), ignored);
    }
  }
}

}  // namespace vx
