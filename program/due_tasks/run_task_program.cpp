#include "program/due_tasks/run_task_program.h"

#include "program/common/task_road_services.h"
#include "program/script_engine/script_tables.h"
#include "program/script_engine/start_script.h"

namespace vx {
namespace {

void QueueTaskScript(std::int32_t task_id, TaskRoadServices& services) {
  if (services.steps != nullptr) {
    LoadTaskScript(task_id, *services.steps, *services.messages);
  } else {
    ScriptingTableSteps steps;
    LoadTaskScript(task_id, steps, *services.messages);
  }
}

}  // namespace

bool RunTaskProgram(const TaskProgramRequest& request) {
  return StartTaskProgram(request, [&request] {
    if (request.task_id != 0) QueueTaskScript(request.task_id, CurrentTaskRoadServices());
  });
}

}  // namespace vx
