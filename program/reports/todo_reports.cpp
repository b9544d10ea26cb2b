#include "program/reports/todo_reports.h"

#include <cstdint>
#include <functional>
#include <string>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/todo_tables.h"
#include "framework/file_manager.h"
#include "framework/request_globals.h"
#include "framework/table_view.h"
#include "program/common/main_procedures.h"
#include "program/reports/report_run.h"
#include "program/windows/list_window.h"
#include "program/windows/small_dialog.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/dates.h"
#include "runtime/report/report_layout.h"
#include "runtime/text_functions.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

// The layout both to-do reports share: the title and the print date atop each page, the four
// headings, one item a detail (priority, category, text, the done box with its completion date)
// with its notes below, and "Page N" at each foot. `notes` gives the notes the detail prints.
// The title is read as each page starts: the user names it after the run has been set up.
report::ReportLayout ToDoLayout(std::string& title, std::int32_t& printed,
                                std::function<std::string()> notes) {
  report::ReportLayout layout;
  layout.page_header.Font({.size = 14, .bold = true})
      .String(title, "@s80", 0, 0, 6000)
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

constexpr long kItemsPerTick = 25;

// A to-do report's run over TODO: the layout reads `title`, the print date and the notes.
struct ToDoRun {
  explicit ToDoRun(std::string_view procedure, std::function<std::string()> notes)
      : layout(ToDoLayout(title, printed, std::move(notes))), run(procedure, layout) {
    run.RecordsPerTick = kItemsPerTick;
  }

  // Names the report (`fallback` when REPORTTITLE is blank) and prints the items in the order
  // of `key` that `take` lets through (all without it).
  void Run(const std::string& fallback, const storage::KeyDef& key,
           const std::function<bool()>& take = {}, const std::function<void()>& prepare = {}) {
    title = REPORTTITLE.blank() ? fallback : REPORTTITLE.str();
    layout.title = title;
    printed = TODAY();
    TableView view(ACCESS_TODO->file(), {&key});
    run.Run(view, 1, static_cast<std::size_t>(ACCESS_TODO->file().Records()), take, prepare);
  }

  std::string title;
  std::int32_t printed = 0;
  report::ReportLayout layout;
  ReportRun run;
};

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
  ToDoRun report("PrintToDoByPriority", [] { return CLIP(TDO.Notes.view()); });
  if (!report.run.AskPreview()) return;
  if (ACCESS_TODO->Open() != 0) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  REPORTTITLE.clear();
  SetReportTitle();
  if (CurrentResponse() != RequestCancelled)
    report.Run("To Do List - By Priority", TDO_KEYPRIORITY);
  ACCESS_TODO->Close();
}

void PrintToDoByCategory() {
  const auto pick = MainProcedure("SelectCategories");
  CAT.Category = "General";  // the choice starts there
  if (!pick || !ListWindow::Pick(pick)) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  std::string notes;
  ToDoRun report("PrintToDoByCategory", [&notes] { return notes; });
  if (!report.run.AskPreview()) return;
  if (RELATE_CATEGORIES->Open() != 0) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  if (ACCESS_TODO->Open() == 0) {
    const std::string category = CLIP(CAT.Category.view());
    REPORTTITLE = "To Do List - " + category;
    SetReportTitle();
    if (CurrentResponse() != RequestCancelled) {
      const std::string wanted = UPPER(category);
      // A blanked title is the category's own.
      report.Run(
          "To Do List - " + category, TDO_KEYCATEGORY,
          [&wanted] { return UPPER(CLIP(TDO.Category.view())) == wanted; },
          [&notes] {
            // The resolution follows the notes on a line of its own, when there is one.
            notes = CLIP(TDO.Notes.view());
            if (!TDO.Resolution.blank()) notes += "\r" + CLIP(TDO.Resolution.view());
          });
    }
    ACCESS_TODO->Close();
  } else {
    SetCurrentResponse(RequestCancelled);
  }
  RELATE_CATEGORIES->Close();
}

}  // namespace vx
