#include "program/common/view_text_file.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <system_error>

#include "framework/window_manager.h"
#include "platform/process.h"
#include "program/common/ask_search_text.h"
#include "program/common/task_road_services.h"
#include "program/common/text_file_lines.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

// How long the print spooler's command may take to take the job before it is left to go on.
constexpr auto kSpoolerPatience = std::chrono::seconds(10);

// Why the file could not be handed to the print spooler; empty when it was.
std::string PrintFailure(const TextFileView& view) {
  platform::ProcessRequest request;
  request.argv = {"lp", "-t", std::string(view.title), view.file.string()};
  platform::ProcessLauncher& processes = *CurrentTaskRoadServices().processes;
  const platform::StartResult started = processes.Start(request);
  if (!started) {
    if (started.error == ENOENT)
      return "The print command \"lp\" is not installed (it comes with CUPS).";
    return std::string("The print command \"lp\" could not start: ") +
           std::strerror(started.error) + ".";
  }
  bool ended = false;
  {
    RuntimeUnlocked unlocked;  // the spooler answers in a moment; other windows go on meanwhile
    ended = processes.Wait(started.handle, kSpoolerPatience);
  }
  const long code = ended ? processes.ExitCode(started.handle).value_or(0) : 0;
  processes.Release(started.handle);
  if (code == 0) return {};
  return "The print spooler refused the job (lp ended with code " + std::to_string(code) +
         "): perhaps no printer is set up.";
}

// Hands the file to the desktop's print spooler; the spooler's own dialogs do the rest.
void PrintFile(const TextFileView& view) {
  const std::string failure = PrintFailure(view);
  if (!failure.empty())
    MESSAGE(std::string(view.print_failed) + "\n\n" + failure, "Print", MessageIcon::Exclamation);
}

}  // namespace

bool ViewTextFile(const TextFileView& view, const std::function<void()>& unreadable) {
  TextFileLines lines;
  std::error_code missing;
  const bool loaded =
      lines.Load(view.file) ||
      (view.missing_is_empty && !std::filesystem::exists(view.file, missing) && !missing);
  if (!loaded && !unreadable) return false;
  SearchRequest search;

  Window window(view.title);
  Control& list = window.List("1020L(2)|M~" + std::string(view.heading) + "~@s255@").From(&lines);
  // Log lines line up in columns only in a fixed-pitch face.
  list.Set(Prop::FontName, "Courier New");
  const int print = window.Button("&Print...");
  const int find = window.Button("&Search...");
  const int close = window.Button("&Close");
  window.SetCancelButton(close);

  WindowManager manager(window);
  const WindowProcedureScope scope(view.procedure, manager);
  manager.CancelControl = close;
  manager.On(EVENT_OpenWindow, [&] {
    if (loaded) return Level_Benign;
    unreadable();
    manager.PostClose();
    return Level_Notify;
  });
  if (lines.Records() == 0) {
    window[print].Disable();
    window[find].Disable();
  }
  manager.OnAccepted(print, [&] { PrintFile(view); });
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
  return true;
}

}  // namespace vx
