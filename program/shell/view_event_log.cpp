#include "program/shell/view_event_log.h"

#include <filesystem>
#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/window_manager.h"
#include "framework/window_position.h"
#include "platform/process.h"
#include "program/shell/ask_search_text.h"
#include "program/shell/numbered_warnings.h"
#include "program/shell/program_errors.h"
#include "program/shell/task_road_services.h"
#include "program/shell/text_file_lines.h"
#include "program/shell/write_log.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/stored_name.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::string_view kProcedure = "ViewAscii:Log";
constexpr std::string_view kLogFile = "VX98EVNT.LOG";

// The log as it lies on disk (its name is matched without regard to letter case).
std::filesystem::path LogPath() {
  return std::filesystem::absolute(storage::ResolveOnDisk(std::string(kLogFile)));
}

// Hands the log to the desktop's print spooler; the spooler's own dialogs do the rest.
void PrintLog() {
  platform::ProcessRequest request;
  request.argv = {"lp", "-t", "Event Log", LogPath().string()};
  platform::ProcessLauncher& processes = *CurrentTaskRoadServices().processes;
  const platform::StartResult started = processes.Start(request);
  if (started) {
    processes.Release(started.handle);
  } else {
    MESSAGE("The event log could not be printed.", "Print", MessageIcon::Exclamation);
  }
}

}  // namespace

void ViewAscii_Log() {
  ProgramErrors().SetProcedureName(kProcedure);
  if (GLO_USELOG == 0) {
    GLO_USELOG = 1;
    WriteLog("Logging is not enabled in configuration.", "View Log - Logging disabled");
    GLO_USELOG = 0;
  }

  TextFileLines lines;
  const bool loaded = lines.Load(LogPath());
  SearchRequest search;

  Window window("Event Log");
  Control& list = window.List("1020L(2)|M~Event Log~@s255@").From(&lines);
  const int print = window.Button("&Print...");
  const int find = window.Button("&Search...");
  const int close = window.Button("&Close");
  window.SetCancelButton(close);
  if (IniFile* positions = IniInUse()) FetchWindowPlace(*positions, kProcedure, window);

  WindowManager manager(window);
  manager.CancelControl = close;
  manager.On(EVENT_OpenWindow, [&] {
    if (loaded) return Level_Benign;
    SetPendingError("File Not Found", storage::kFileNotFound);
    ShowNamedWarning(30, kLogFile);
    manager.PostClose();
    return Level_Notify;
  });
  if (!loaded) {
    window[print].Disable();
    window[find].Disable();
  }
  manager.OnAccepted(print, [] { PrintLog(); });
  manager.OnAccepted(find, [&] {
    if (!AskSearchText(search)) return;
    const long row = lines.Find(search.text, list.Choice(), search.match_case);
    if (row == 0) {
      MESSAGE("\"" + search.text + "\" was not found.", "Search", MessageIcon::Information);
    } else {
      list.Choose(row);
    }
    window.Select(list);
  });
  manager.Run();
  if (IniFile* positions = IniInUse()) SaveWindowPlace(*positions, kProcedure, window);
  ProgramErrors().SetProcedureName({});
}

}  // namespace vx
