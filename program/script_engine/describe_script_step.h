// The one-line summary of a script step that step lists, the running-script viewer and the
// executor's log lines show: the fields that matter for its action ("Copy a.txt to b.txt",
// "10 seconds Both Untitled - Notepad").
#pragma once

#include <string>

#include "datadll/dictionary/scripting_table.h"

namespace vx {

// The summary of step, at most 128 bytes, trailing blanks removed; empty for an action
// without one.
std::string DescribeScriptStep(const SCRIPTING_RECORD& step);

}  // namespace vx
