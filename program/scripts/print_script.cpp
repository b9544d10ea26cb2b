#include <cstddef>
#include <string>
#include <vector>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "framework/browse_class.h"
#include "framework/report/report_manager.h"
#include "program/script_engine/describe_script_step.h"
#include "program/script_engine/script_tables.h"
#include "program/scripts/script_prints.h"
#include "program/scripts/template_windows.h"
#include "runtime/fixed_string.h"
#include "runtime/report/report_layout.h"

namespace vx {
namespace {

constexpr std::size_t kDetailsWidth = 80;

// The steps of one script, read beforehand (a script is short), each put in `step` in turn.
class StepRows final : public BrowseView {
 public:
  StepRows(std::vector<SCRIPTING_RECORD> steps, SCRIPTING_RECORD& step)
      : steps_(std::move(steps)), step_(step) {}
  void Reset(int) override { next_ = 0; }
  bool Next() override {
    if (next_ >= steps_.size()) return false;
    step_ = steps_[next_++];
    return true;
  }
  long Position() const override { return static_cast<long>(next_); }
  bool Fetch(long) override { return false; }
  std::size_t Count() const { return steps_.size(); }

 private:
  std::vector<SCRIPTING_RECORD> steps_;
  SCRIPTING_RECORD& step_;
  std::size_t next_ = 0;
};

// Prints `steps` under the headings: the action (27 letters) beside its summary (80), which
// wraps within its column.
void PrintSteps(std::string_view procedure, const std::vector<std::string>& headings,
                std::vector<SCRIPTING_RECORD> steps) {
  SCRIPTING_RECORD step;
  StepRows rows(std::move(steps), step);
  report::ReportLayout layout;
  layout.title = headings.front();
  report::Band& header = layout.page_header;
  long y = 0;
  header.Font({.size = 14, .bold = true});
  for (const std::string& heading : headings) {
    header.Text(heading, 0, y, layout.BodyWidth(), report::Align::Center);
    y += 300;
    header.Font({.size = 11});
  }
  header.Font({.bold = true}).Text("Action", 0, y + 100).Text("Details", 2400, y + 100);
  header.Line(0, y + 300, layout.BodyWidth(), y + 300);
  header.height = y + 380;
  layout.detail.String([&step] { return step.Action.str(); }, "@s27", 0, 0, 2300);
  layout.detail.Memo(
      [&step] { return std::string(CutUtf8(DescribeScriptStep(step), kDetailsWidth)); }, 2400, 0,
      layout.BodyWidth() - 2400);
  layout.page_footer.Text("Page", 0, 100).PageNumber("<<<#", 420, 100, 500);

  ReportManager report(procedure, layout);
  const std::size_t count = rows.Count();
  if (count == 0) {
    // The heading alone: a page with no detail still shows which script was printed.
    report.Writer().Print(report::Band(1));
  }
  report.Run(rows, 1, count);
}

}  // namespace

void PrintCurrentScript() {
  std::vector<SCRIPTING_RECORD> steps;
  {
    ScriptingTableSteps table;
    table.ForEachStep(SCH.ID, [&](const SCRIPTING_RECORD& step) {
      steps.push_back(step);
      return true;
    });
  }
  PrintSteps("PrintCurrentScript", {SCH.Description.str()}, std::move(steps));
}

void PrintCurrentScriptTemplateDetails() {
  std::vector<SCRIPTING_RECORD> steps;
  for (const SCRIPTTEMPLATEDETAILS_RECORD& detail : TemplateSteps(VXT.WIZ_ID)) {
    SCRIPTING_RECORD& step = steps.emplace_back();
    CopyStepFields(detail, step);
  }
  PrintSteps("PrintCurrentScriptTemplateDetails", {"Script", VXT.Description.str()},
             std::move(steps));
}

}  // namespace vx
