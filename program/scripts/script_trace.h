// Trace lines of the script engine ("TranslateVariable", "Evaluation", "Debug", ...), written to
// the event log only while DEBUGMODE is set.
#pragma once

#include <functional>
#include <string_view>

namespace vx {

// Where trace lines go: the event-log writer (text, label). Until one is installed, trace
// lines are dropped.
using ScriptTraceSink = std::function<void(std::string_view text, std::string_view label)>;

// Installs the event-log writer (an empty function drops trace lines again).
void SetScriptTraceSink(ScriptTraceSink sink);

// Writes one trace line through the installed sink while DEBUGMODE is set; otherwise nothing.
void ScriptTrace(std::string_view text, std::string_view label);

}  // namespace vx
