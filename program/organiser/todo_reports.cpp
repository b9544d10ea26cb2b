#include <cstdint>
#include <string>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/todo_tables.h"
#include "framework/file_manager.h"
#include "framework/report/report_manager.h"
#include "framework/request_globals.h"
#include "framework/table_view.h"
#include "program/common/main_procedures.h"
#include "program/organiser/todo_windows.h"
#include "program/windows/list_window.h"
#include "program/windows/small_dialog.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/dates.h"
#include "runtime/report/report_layout.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

// Whether the pages are previewed first (Yes) or printed straight (No); Cancel ends the report.
enum class Destination { Preview, Print, None };

Destination AskPreview() {
  switch (MESSAGE("Do you wish to PREVIEW this Report?", "Preview", MessageIcon::Question,
                  BUTTON_YES | BUTTON_NO | BUTTON_CANCEL, BUTTON_YES)) {
    case BUTTON_YES:
      return Destination::Preview;
    case BUTTON_NO:
      return Destination::Print;
    default:
      return Destination::None;
  }
}

// The layout both to-do reports share: the title and the print date atop each page, the four
// headings, one item a detail (priority, category, text, the done box with its completion date)
// with its notes below, and "Page N" at each foot. `notes` gives the notes the detail prints.
report::ReportLayout ToDoLayout(const std::string& title, std::int32_t& printed,
                                std::function<std::string()> notes) {
  report::ReportLayout layout;
  layout.title = title;
  layout.page_header.Font({.size = 14, .bold = true})
      .Text(title, 0, 0, 6000)
      .Font({})
      .String(printed, "@D18", 6000, 50, 1500);
  layout.page_header.Font({.bold = true})
      .Text("Priority", 0, 350, 600)
      .Text("Category", 650, 350, 1400)
      .Text("To Do", 2100, 350, 3700)
      .Text("Done", 5900, 350, 1600)
      .Line(0, 560, 7500, 560);
  layout.detail.Font({})
      .String(TDO.Priority, "@n2", 0, 50, 500)
      .String(TDO.Category, "@s20", 650, 50, 1400)
      .String(TDO.ToDo, "@s80", 2100, 50, 3700)
      .Check("", TDO.Done, 5900, 50)
      .String(TDO.CompletionDate, "@d3b", 6150, 50, 1350)
      .Memo(std::move(notes), 650, 260, 6850);
  layout.page_footer.Text("Page ", 0, 0).PageNumber("<<<#", 450, 0, 500);
  return layout;
}

// The pass over TODO in the order of `key` (only the items `take` lets through, when given),
// ending in the preview or on the printer; GLOBALRESPONSE holds the outcome.
void RunToDoReport(std::string_view procedure, const report::ReportLayout& layout,
                   Destination destination, const storage::KeyDef& key,
                   const std::function<bool()>& take = {},
                   const std::function<void()>& prepare = {}) {
  TableView view(ACCESS_TODO->file(), {&key});
  ReportManager report(procedure, layout);
  report.Preview = destination == Destination::Preview;
  report.Run(view, 1, static_cast<std::size_t>(ACCESS_TODO->file().Records()), take, prepare);
}

}  // namespace

void SetReportTitle() {
  Window window("Set Report Title");
  window.Icon("WINPYR.ICO");
  window.String("Leave the report title blank if you wish to use the default title.");
  window.Prompt("Report Title:");
  window.Entry(REPORTTITLE, "@s80");
  Control& buttons = window.Row();
  const int ok = buttons.Button("&OK").Icon("OK.ICO");
  const int cancel = buttons.Button("Cancel").Icon("cancel.ico");
  SmallDialog manager(window, ok, cancel);
  const WindowProcedureScope scope("SetReportTitle", manager);
  SetCurrentResponse(manager.Run());
}

void PrintToDoByPriority() {
  const Destination destination = AskPreview();
  if (destination == Destination::None) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  ACCESS_TODO->Open();
  REPORTTITLE.clear();
  SetReportTitle();
  if (CurrentResponse() != RequestCancelled) {
    const std::string title = REPORTTITLE.blank() ? "To Do List - By Priority" : REPORTTITLE.str();
    std::int32_t printed = TODAY();
    const report::ReportLayout layout =
        ToDoLayout(title, printed, [] { return CLIP(TDO.Notes.view()); });
    RunToDoReport("PrintToDoByPriority", layout, destination, TDO_KEYPRIORITY);
  }
  ACCESS_TODO->Close();
}

void PrintToDoByCategory() {
  const auto pick = MainProcedure("SelectCategories");
  CAT.Category = "General";  // the choice starts there
  if (!pick || !ListWindow::Pick(pick)) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  const Destination destination = AskPreview();
  if (destination == Destination::None) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  RELATE_CATEGORIES->Open();
  ACCESS_TODO->Open();
  const std::string category = CLIP(CAT.Category.view());
  REPORTTITLE = "To Do List - " + category;
  SetReportTitle();
  if (CurrentResponse() != RequestCancelled) {
    // A blanked title is the category's own.
    const std::string title = REPORTTITLE.blank() ? "To Do List - " + category : REPORTTITLE.str();
    std::int32_t printed = TODAY();
    std::string notes;
    const report::ReportLayout layout = ToDoLayout(title, printed, [&notes] { return notes; });
    const std::string wanted = UPPER(category);
    RunToDoReport(
        "PrintToDoByCategory", layout, destination, TDO_KEYCATEGORY,
        [&wanted] { return UPPER(CLIP(TDO.Category.view())) == wanted; },
        [&notes] {
          // The resolution follows the notes on a line of its own, when there is one.
          notes = CLIP(TDO.Notes.view());
          if (!TDO.Resolution.blank()) notes += "\r" + CLIP(TDO.Resolution.view());
        });
  }
  ACCESS_TODO->Close();
  RELATE_CATEGORIES->Close();
}

}  // namespace vx
