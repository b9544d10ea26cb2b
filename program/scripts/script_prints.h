// The printouts of a script's steps, each a report of the steps' actions and their one-line
// summaries (DescribeScriptStep) under "Report Progress...", shown in the previewer and printed
// from there: a task's script from the step list's Print, a template's steps from the template
// list's Print. A script without steps prints its heading alone.
#pragma once

namespace vx {

// The steps of the task in the SCH buffer, under the task's description.
void PrintCurrentScript();
// The steps of the template in the VXT buffer, under "Script" and the template's description.
void PrintCurrentScriptTemplateDetails();

}  // namespace vx
