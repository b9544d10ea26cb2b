#include "program/common/write_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>

#include "datadll/dictionary/event_log_table.h"
#include "datadll/dictionary/file_conversion.h"
#include "datadll/dictionary/globals.h"
#include "program/common/numbered_warnings.h"
#include "program/windows/format_date.h"
#include "program/windows/program_errors.h"
#include "runtime/dates.h"
#include "runtime/pictures.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/file.h"
#include "runtime/storage/stored_name.h"

namespace vx {
namespace {

// Lines written since this thread last opened the log. Open files belong to a thread, so the
// count does too: a count shared between threads would have one thread write to a log that
// only another thread had opened.
thread_local int tLinesSinceOpen = 0;

// One line at a time, so that lines of several threads never mix in the file.
std::mutex gWriteMutex;

// Set once a failure has been reported; cleared by the next line that is written.
std::atomic<bool> gFailureReported{false};

// The log file's full path: the user must be able to find the file that cannot be written.
std::string LogPath(const storage::File& log) {
  const std::string on_disk = storage::ResolveOnDisk(
      storage::ParseStoredName(log.def().StoredName(), log.def().driver).path);
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(on_disk, ec);
  return ec ? on_disk : full.lexically_normal().string();
}

// Why the log cannot be written, in the system's words: the open that failed is tried once
// more (it fails again as it did) for its error. A folder that exists but takes no new files
// (a system folder such as /proc) answers "no such file", which is not what went wrong there.
std::string WhyNotWritable(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd >= 0) {
    ::close(fd);
    return {};
  }
  const int error = errno;
  std::error_code ec;
  if (error == ENOENT &&
      std::filesystem::is_directory(std::filesystem::path(path).parent_path(), ec)) {
    return "Its folder does not take new files.";
  }
  return std::string(std::strerror(error)) + ".";
}

// Says once that the log cannot be written, where it is and why; the storage error stands in
// for a reason the system does not give (a write that failed once the file was open).
void ReportOnce(const storage::File& log) {
  if (gFailureReported.exchange(true)) return;
  const std::string path = LogPath(log);
  std::string why = WhyNotWritable(path);
  if (why.empty()) why = WarningErrorText() + ".";
  ProgramErrors().Show(
      {"File Access Error",
       "The event log cannot be written: " + path + "\n\n" + why +
           "\n\nEvents are not logged until it can be.  Make the file and its folder writable, "
           "or turn off \"Log events to ASCII text file\" in the Options.",
       MessageIcon::Exclamation, BUTTON_OK, BUTTON_OK});
}

// Opens the log, creating it when missing; false (and reported) when it cannot be opened.
bool OpenLog(storage::File& log) {
  int code = ds_FileOpen(log, storage::kReadWriteDenyNone);
  if (code == storage::kFileNotFound) {
    code = log.Create();
    if (code == storage::kNoError) code = ds_FileOpen(log, storage::kReadWriteDenyNone);
  }
  if (code != storage::kNoError && code != storage::kAlreadyOpen) {
    ReportOnce(log);
    return false;
  }
  return true;
}

// A line break in a logged text would split its line in the fixed-column file.
std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

}  // namespace

void WriteLog(std::string_view text, std::string_view label) {
  if (GLO_USELOG == 0) return;
  storage::File& log = storage::File::For(VX_LOG_TABLE());
  if (tLinesSinceOpen == 0 || !log.IsOpen()) {
    tLinesSinceOpen = 0;
    // Creating the missing log empties the file, so two threads must not both find it missing
    // and create it one after the other: the second would throw away the first one's lines.
    std::lock_guard lock(gWriteMutex);
    if (!OpenLog(log)) return;
  }
  ++tLinesSinceOpen;

  VXL.LogLabel = OneLine(label);
  VXL.LogData = OneLine(text);
  const std::int32_t today = TODAY();
  const std::string date = FormatDate(today);
  VXL.LogDate = date.size() > 12 ? FORMAT(today, "@D3") : date;
  VXL.LogTime = FORMAT(CLOCK(), "@T7");
  int code;
  {
    std::lock_guard lock(gWriteMutex);
    code = log.Add();
  }
  if (code == storage::kNoError) {
    gFailureReported.store(false);
  } else {
    ReportOnce(log);
  }

  if (tLinesSinceOpen > 100) {
    log.Close();
    tLinesSinceOpen = 0;
  }
}

void CloseEventLog() {
  storage::File& log = storage::File::For(VX_LOG_TABLE());
  if (log.IsOpen()) log.Close();
  tLinesSinceOpen = 0;
}

}  // namespace vx
