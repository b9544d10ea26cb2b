#include "program/shell/task_road_services.h"

#include "platform/program_folder.h"

namespace vx {
namespace {

TaskRoadServices* installed = nullptr;

// The real services. The SCRIPTING rows are left empty: users open the table for the time
// they need it, on their own thread.
TaskRoadServices& RealServices() {
  static ConsoleMessageReporter console;
  static TaskRoadServices services{&platform::SystemProcesses(), &platform::SystemShell(),
                                   &platform::SystemSound(),     &console,
                                   nullptr,                      platform::RunningProgramFolder(),
                                   {}};
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
