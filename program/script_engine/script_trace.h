// Trace lines of the script engine ("TranslateVariable", "Evaluation", "Debug", ...), written to
// the event log only while DEBUGMODE is set.
#pragma once

#include <string_view>

namespace vx {

// Writes one trace line through the event-log writer (TaskLog) while DEBUGMODE is set;
// otherwise nothing.
void ScriptTrace(std::string_view text, std::string_view label);

}  // namespace vx
