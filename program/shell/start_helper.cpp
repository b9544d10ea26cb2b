#include "program/shell/start_helper.h"

#include <string>

#include "program/common/task_road_services.h"

namespace vx {

bool StartHelperProgram(const CommandSplit& command) {
  TaskRoadServices& services = CurrentTaskRoadServices();
  platform::ProcessRequest request;
  request.argv = CommandArgv(command, services.helper_folder);
  const platform::StartResult started = services.processes->Start(request);
  if (!started) {
    MessageBoxRequest box;
    box.caption = "Error";
    box.text = "Could not start " + command.file +
               (command.parameters.empty() ? "" : " " + command.parameters) + ".";
    box.icon = MessageIcon::Exclamation;
    services.messages->Show(box);
    return false;
  }
  services.processes->Release(started.handle);
  return true;
}

std::filesystem::path HelperProgramPath(const CommandSplit& command) {
  return CommandArgv(command, CurrentTaskRoadServices().helper_folder).front();
}

}  // namespace vx
