#include "program/admin/view_event_log.h"

#include <filesystem>
#include <string>

#include "datadll/dictionary/globals.h"
#include "program/common/numbered_warnings.h"
#include "program/common/view_text_file.h"
#include "program/common/write_log.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/stored_name.h"

namespace vx {
namespace {

constexpr std::string_view kLogFile = "VX98EVNT.LOG";

}  // namespace

void ViewAscii_Log() {
  if (GLO_USELOG == 0) {
    GLO_USELOG = 1;
    WriteLog("Logging is not enabled in configuration.", "View Log - Logging disabled");
    GLO_USELOG = 0;
  }
  TextFileView view;
  view.procedure = "ViewAscii:Log";
  view.title = "Event Log";
  view.heading = "Event Log";
  // The log as it lies on disk (its name is matched without regard to letter case).
  view.file = std::filesystem::absolute(storage::ResolveOnDisk(std::string(kLogFile)));
  // Logging switched on writes the file with its first line: until then the log is empty.
  view.missing_is_empty = true;
  // What is there is no file this program can read (a folder in its place, no permission).
  ViewTextFile(view, [] {
    SetPendingError("Access Denied", storage::kAccessDenied);
    ShowNamedWarning(30, kLogFile);
  });
}

}  // namespace vx
