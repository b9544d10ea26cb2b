#include "program/reports/report_parameters.h"

#include <string>

#include "datadll/dictionary/globals.h"
#include "framework/request_globals.h"
#include "program/common/calendar.h"
#include "program/common/config_store.h"
#include "program/reports/report_criteria.h"
#include "program/schedule/task_form_rules.h"
#include "program/windows/format_date.h"
#include "program/windows/small_dialog.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/dates.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr int kDaysShownAhead = 30;

bool Selected(const String<9>& choice) { return UPPER(choice.clipped()) == "SELECTED"; }

// The first opening shows every task, the next month's dates and the date order. A range or
// category that is not "Selected" is every date or category, whatever it holds: blank, or the
// globals' start value "'All'" (quotes and all), which names no radio and would leave both
// radios of its group unchosen. It is shown, and kept, as "All".
void FillFirstChoices() {
  if (TMP_DATEFROM == 0) TMP_DATEFROM = TODAY();
  if (TMP_DATETO == 0) TMP_DATETO = TODAY() + kDaysShownAhead;
  if (TMP_ORDERSELECT.blank()) TMP_ORDERSELECT = "Date";
  for (String<9>* choice : {&TMP_DATESELECT, &TMP_CATEGORYSELECT}) {
    if (!Selected(*choice)) *choice = "All";
  }
}

std::string CategoryItems() {
  std::string items;
  for (const std::string& name : CategoryNames()) items += (items.empty() ? "" : "|") + name;
  return items;
}

}  // namespace

void ReportParameters() {
  FillFirstChoices();

  Window window("Report Criteria");
  window.Icon("PICK.ICO");
  const std::string picture = DatePicture();

  Control& dates = window.Option("Date Range", TMP_DATESELECT).Arrange(Arrangement::Row);
  dates.Radio("All");
  dates.Radio("Selected");
  Control& from_prompt = window.Prompt("From:");
  Control& from_row = window.Row();  // each calendar button beside the date it fills
  Control& from = from_row.Entry(TMP_DATEFROM, picture);
  Control& from_pick = from_row.Button("...").Icon("~calendar.ico").Tip("Select \"From\" Date");
  Control& to_prompt = window.Prompt("To:");
  Control& to_row = window.Row();
  Control& to = to_row.Entry(TMP_DATETO, picture);
  Control& to_pick = to_row.Button("...").Icon("~calendar.ico").Tip("Select \"To\" Date");
  Control& future =
      window.Check("Include future occurances of tasks", REPORTINCLUDEFUTUREOCCURANCES)
          .Tip("Include future occurances");

  Control& categories = window.Option("Category", TMP_CATEGORYSELECT).Arrange(Arrangement::Row);
  categories.Radio("All");
  categories.Radio("Selected");
  Control& category = window.Combo(TMP_CATEGORYSELECTED, "@s20", CategoryItems());

  Control& order = window.Option("Order", TMP_ORDERSELECT).Arrange(Arrangement::Grid, 3);
  for (const char* choice :
       {"Date", "Category", "Description", "Task Type", "Adv. Warn", "Category/Date"}) {
    order.Radio(choice);
  }

  Control& ok = window.Button("&OK").Default().Icon("OK.ICO").Tip("Proceed with report");
  Control& cancel = window.Button("Cancel").Icon("CANCEL.ICO");
  window.SetCancelButton(cancel);

  // The range's fields and the later-runs box belong to a chosen range, the category list to a
  // chosen category.
  auto enable = [&] {
    const bool range = Selected(TMP_DATESELECT);
    for (Control* c : {&from_prompt, &from, &from_pick, &to_prompt, &to, &to_pick, &future})
      c->Enable(range);
    category.Enable(Selected(TMP_CATEGORYSELECT));
  };
  enable();

  SmallDialog manager(window, ok, cancel);
  const WindowProcedureScope scope("ReportParameters", manager);
  manager.OnAccepted(dates, enable);
  manager.OnAccepted(categories, enable);
  manager.OnAccepted(from_pick, [&] {
    TMP_DATEFROM = Calendar(TMP_DATEFROM, "None", "Select \"From\" Date");
    from.Display();
  });
  manager.OnAccepted(to_pick, [&] {
    TMP_DATETO = Calendar(TMP_DATETO, "None", "Select \"To\" Date");
    to.Display();
  });
  manager.OnOk([&] {
    if (Selected(TMP_DATESELECT) && TMP_DATEFROM > TMP_DATETO) {
      MESSAGE("The \"From\" date lies after the \"To\" date.", "Report Criteria",
              MessageIcon::Exclamation);
      window.Select(from);
      return false;
    }
    // The box as the user left it is kept; a report without a range lists no later runs
    // whatever it says.
    SetConfigValue("RIFO", REPORTINCLUDEFUTUREOCCURANCES != 0 ? "1" : "0");
    ApplyReportCriteria();
    return true;
  });
  const long response = manager.Run();
  if (response != RequestCompleted) ClearReportCriteria();
  SetCurrentResponse(response);
}

}  // namespace vx
