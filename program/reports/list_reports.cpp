#include "program/reports/list_reports.h"

#include <iterator>
#include <utility>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/report/report_manager.h"
#include "framework/request_globals.h"
#include "framework/table_view.h"
#include "program/reports/report_run.h"
#include "runtime/report/report_layout.h"
#include "runtime/window/binding.h"

namespace vx {
namespace {

using report::Align;
using report::Band;

constexpr long kContactsPerTick = 25;

// Every list report ends its pages the same way.
void PageFooter(report::ReportLayout& layout) {
  layout.page_footer.Text("Page ", 0, 0).PageNumber("<<<#", 420, 0, 600);
}

// Thirteen columns do not fit a line: on a landscape page each contact takes three lines, the
// headings standing in the same places over them.
struct Column {
  const char* heading;
  long x, y, width;
};
constexpr long kLine = 190;
constexpr Column kContactColumns[] = {
    {"Last Name", 0, 0, 2000},
    {"First Name", 2100, 0, 1500},
    {"Address Line 1", 3700, 0, 2000},
    {"Address Line 2", 5800, 0, 2000},
    {"Address Line 3", 7900, 0, 2000},
    {"Postal Code", 0, kLine, 800},
    {"Work/Day Phone", 900, kLine, 1400},
    {"Home/Evening Phone", 2400, kLine, 1500},
    {"Fax", 4000, kLine, 1400},
    {"Other Phone", 5500, kLine, 1400},
    {"Email", 7000, kLine, 2900},
    {"Web Site", 0, 2 * kLine, 4000},
    {"Contact Category", 4100, 2 * kLine, 2000},
};

report::ReportLayout ContactListLayout() {
  report::ReportLayout layout;
  layout.title = "Report the Contact File";
  layout.paper_width = 11000;
  layout.paper_height = 8500;
  const long width = layout.BodyWidth();
  layout.page_header.Font({.size = 14, .bold = true})
      .Text(layout.title, 0, 0, width, Align::Center);
  layout.page_header.Font({.size = 8, .bold = true});
  for (const Column& c : kContactColumns)
    layout.page_header.Text(c.heading, c.x, 350 + c.y, c.width);
  const long rule = 350 + 3 * kLine + 20;
  layout.page_header.Line(0, rule, width, rule);
  layout.page_header.height = 350 + 3 * kLine + 60;

  // The fields in the order of the headings, with their pictures.
  const std::pair<Binding, const char*> fields[] = {{C_.LastName, "@s30"},
                                                    {C_.FirstName, "@s20"},
                                                    {C_.AddressLine1, "@s30"},
                                                    {C_.AddressLine2, "@s30"},
                                                    {C_.AddressLine3, "@s30"},
                                                    {C_.PostalCode, "@s10"},
                                                    {C_.WorkDayPhone, "@s20"},
                                                    {C_.HomeEveningPhone, "@s20"},
                                                    {C_.Fax, "@s20"},
                                                    {C_.OtherPhone, "@s20"},
                                                    {C_.Email, "@s40"},
                                                    {C_.Website, "@s60"},
                                                    {C_.ContactCategory, "@s20"}};
  layout.detail.Font({.size = 8});
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    const Column& c = kContactColumns[i];
    layout.detail.String(fields[i].first, fields[i].second, c.x, c.y, c.width);
  }
  layout.detail.height = 3 * kLine + 80;
  PageFooter(layout);
  return layout;
}

report::ReportLayout CategoryListLayout() {
  report::ReportLayout layout;
  layout.title = "Category List";
  layout.page_header.Font({.size = 14, .bold = true})
      .Text(layout.title, 0, 0, layout.BodyWidth(), Align::Center);
  layout.page_header.Font({.bold = true}).Text("Category", 0, 350);
  layout.page_header.Line(0, 560, layout.BodyWidth(), 560);
  layout.page_header.height = 620;
  layout.detail.String(CAT.Category, "@s20", 0, 0, 2500);
  PageFooter(layout);
  return layout;
}

}  // namespace

void PrintContactList() {
  report::ReportLayout layout = ContactListLayout();
  ReportRun run("PrintContactList", layout);
  run.RecordsPerTick = kContactsPerTick;
  if (!run.AskPreview()) return;
  if (ACCESS_CONTACT->Open() != 0) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  TableView view(ACCESS_CONTACT->file(), {&C__KEYCATEGORY});
  run.Run(view, 1, static_cast<std::size_t>(ACCESS_CONTACT->file().Records()));
  ACCESS_CONTACT->Close();
}

void PrintCAT_KeyCategory() {
  SetCurrentResponse(RequestCancelled);
  if (RELATE_CATEGORIES->Open() != 0) return;
  const report::ReportLayout layout = CategoryListLayout();
  ReportManager report("PrintCAT:KeyCategory", layout);
  TableView view(ACCESS_CATEGORIES->file(), {&CAT_KEYCATEGORY});
  report.Run(view, 1, static_cast<std::size_t>(ACCESS_CATEGORIES->file().Records()));
  RELATE_CATEGORIES->Close();
}

}  // namespace vx
