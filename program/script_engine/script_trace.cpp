#include "program/script_engine/script_trace.h"

#include "datadll/dictionary/globals.h"
#include "program/common/task_log.h"

namespace vx {

void ScriptTrace(std::string_view text, std::string_view label) {
  if (DEBUGMODE != 0) TaskLog(text, label);
}

}  // namespace vx
