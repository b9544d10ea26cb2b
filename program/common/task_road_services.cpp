#include "program/common/task_road_services.h"

#include "platform/program_folder.h"
#include "program/common/external_message.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

TaskRoadServices* installed = nullptr;

// Main runs as the first runtime thread; closing its frame ends the program.
void CloseProgram() {
  POST(EVENT_CloseDown, 0, 1);
  POST(EVENT_CloseWindow, 0, 1);
}

// The real services. The SCRIPTING rows are left empty: users open the table for the time
// they need it, on their own thread.
TaskRoadServices& RealServices() {
  static WindowMessageReporter boxes;
  static TaskRoadServices services{&platform::SystemProcesses(),
                                   &platform::SystemShell(),
                                   &platform::SystemSound(),
                                   &boxes,
                                   nullptr,
                                   platform::RunningProgramFolder(),
                                   AddMessageLinkRecord,
                                   CloseProgram};
  return services;
}

}  // namespace

void SetTaskRoadServices(TaskRoadServices* services) { installed = services; }

TaskRoadServices& CurrentTaskRoadServices() { return installed ? *installed : RealServices(); }

ScopedTaskRoadServices::ScopedTaskRoadServices(TaskRoadServices& services) : previous_(installed) {
  installed = &services;
}

ScopedTaskRoadServices::~ScopedTaskRoadServices() { installed = previous_; }

}  // namespace vx
