#include "program/shell/view_text_file.h"

#include "framework/window_manager.h"
#include "platform/process.h"
#include "program/shell/ask_search_text.h"
#include "program/shell/task_road_services.h"
#include "program/shell/text_file_lines.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

// Hands the file to the desktop's print spooler; the spooler's own dialogs do the rest.
void PrintFile(const TextFileView& view) {
  platform::ProcessRequest request;
  request.argv = {"lp", "-t", std::string(view.title), view.file.string()};
  platform::ProcessLauncher& processes = *CurrentTaskRoadServices().processes;
  const platform::StartResult started = processes.Start(request);
  if (started) {
    processes.Release(started.handle);
  } else {
    MESSAGE(view.print_failed, "Print", MessageIcon::Exclamation);
  }
}

}  // namespace

bool ViewTextFile(const TextFileView& view, const std::function<void()>& unreadable) {
  TextFileLines lines;
  const bool loaded = lines.Load(view.file);
  if (!loaded && !unreadable) return false;
  SearchRequest search;

  Window window(view.title);
  Control& list = window.List("1020L(2)|M~" + std::string(view.heading) + "~@s255@").From(&lines);
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
  if (!loaded) {
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
