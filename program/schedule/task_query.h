// The task lists' query: the query window (windows/query_window.h) over the fields of a task.
#pragma once

#include <span>
#include <string>

#include "program/windows/query_window.h"

namespace vx {

// The fields a task query may test, in the order the window lists them.
std::span<const QueryField> TaskQueryFields();

// The query window over the task fields; answers as QueryWizard does.
bool TaskQueryWizard(std::string& filter);

}  // namespace vx
