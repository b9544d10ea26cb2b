#include "program/reports/schedule_report_layouts.h"

#include "program/windows/format_date.h"
#include "runtime/calendar_names.h"
#include "runtime/pictures.h"

namespace vx {
namespace {

using report::Align;
using report::Band;
using report::ReportFont;
using report::ReportLayout;

constexpr ReportFont kTitleFont{.size = 14, .bold = true};
constexpr ReportFont kHeadingFont{.size = 9, .bold = true};
constexpr ReportFont kDetailFont{.size = 9};
constexpr long kRow = 160;  // one line of the detail font with a little air

// The title centred atop the page and the headings' font for what follows.
ReportLayout Titled(std::string_view title) {
  ReportLayout layout;
  layout.title = std::string(title);
  layout.page_header.Font(kTitleFont).Text(title, 0, 0, layout.BodyWidth(), Align::Center);
  layout.page_header.Font(kHeadingFont);
  return layout;
}

// "Page N" at the foot of every page, and the dates in the user's picture (no date shows as
// nothing, as no time does under the times' pictures).
void Finish(ReportLayout& layout) {
  layout.page_footer.Font(kDetailFont).Text("Page", 0, 0).PageNumber("<<<#", 380, 0, 600);
  layout.SetDatePictures(DatePicture() + "b");
}

// The line under the headings, `y` below the page header's top.
void Rule(ReportLayout& layout, long y) { layout.page_header.Line(0, y, layout.BodyWidth(), y); }

}  // namespace

std::string TaskStatusText(const SCHEDULE_RECORD& task) {
  if (task.Completed) return "Done";
  if (task.Disabled) return "Off";
  return {};
}

std::string ChecklistDateLine(std::int32_t date) {
  return std::string(WeekdayName(static_cast<int>(date % 7))) + " " + FORMAT(date, "@d4");
}

ReportLayout TaskListingLayout(SCHEDULE_RECORD& t) {
  ReportLayout layout = Titled("Schedule");
  Band& h = layout.page_header;
  h.Text("Task Type", 0, 350).Text("Category", 1300, 350).Text("Description", 2600, 350);
  h.Text("Schedule Type", 4700, 350).Text("Date", 5800, 350).Text("Time", 6700, 350);
  h.Text("Command", 0, 350 + kRow).Text("Message", 2600, 350 + kRow);
  h.Text("Advance Warning", 5800, 350 + kRow);
  Rule(layout, 350 + 2 * kRow + 20);

  Band& d = layout.detail;
  d.height = 7 * kRow + 80;
  d.Font(kDetailFont);
  d.String(t.TaskType, "@s20", 0, 0, 1250).String(t.Category, "@s20", 1300, 0, 1250);
  d.String(t.Description, "@s40", 2600, 0, 2050).String(t.ScheduleType, "@s20", 4700, 0, 1050);
  d.String(t.Date, "@d3", 5800, 0, 850).String(t.Time, "@t3b", 6700, 0, 800);
  d.String(t.Command, "@s80", 0, kRow, 5700);
  d.String(t.AdvanceWarnDate, "@d3", 5800, kRow, 850);
  d.String(t.AdvanceWarnTime, "@t3b", 6700, kRow, 800);
  for (int day = 0; day < 7; ++day) {
    static constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    std::uint8_t* flags[] = {&t.Sunday,   &t.Monday, &t.Tuesday, &t.Wednesday,
                             &t.Thursday, &t.Friday, &t.Saturday};
    d.Check(kDays[day], *flags[day], day * 1070, 2 * kRow);
  }
  long x = 0;
  for (auto [caption, flag] : {std::pair{"1st", &t.Every1st},
                               {"2nd", &t.Every2nd},
                               {"3rd", &t.Every3rd},
                               {"4th", &t.Every4th},
                               {"Last", &t.EveryLast}}) {
    d.Check(caption, *flag, x, 3 * kRow);
    x += 520;
  }
  d.Text("Every", 2700, 3 * kRow).String(t.Every, "@n6", 3150, 3 * kRow, 500);
  d.String(t.EveryType, "@s20", 3700, 3 * kRow, 1700);
  d.Check("Skip Next Time", t.SkipNextTime, 5800, 3 * kRow);
  d.Text("Last Run:", 0, 4 * kRow).String(t.LastRunDate, "@d3", 650, 4 * kRow, 850);
  d.String(t.LastRunTime, "@t3b", 1550, 4 * kRow, 800);
  d.Check("Alarm", t.Alarm, 2500, 4 * kRow).String(t.AlarmFile, "@s80", 3200, 4 * kRow, 2500);
  d.Check("Disabled", t.Disabled, 5800, 4 * kRow);
  d.Check("Warn if not run on specified date", t.Warn, 0, 5 * kRow);
  d.Check("Give option to skip before performing", t.UserSkip, 3000, 5 * kRow);
  d.Text("Message:", 0, 6 * kRow).Memo(t.Message, 800, 6 * kRow, layout.BodyWidth() - 800);
  Finish(layout);
  return layout;
}

ReportLayout CategoryListingLayout(SCHEDULE_RECORD& t, String<20>& category) {
  ReportLayout layout;
  layout.title = "Category " + std::string(category.clipped());
  Band& h = layout.page_header;
  h.Font(kTitleFont).String(category, "@s20", 0, 0, layout.BodyWidth(), Align::Center);
  h.Font(kHeadingFont).Text("Date", 0, 350).Text("Time", 1200, 350).Text("Description", 2200, 350);
  Rule(layout, 350 + kRow + 20);
  layout.detail.Font(kDetailFont);
  layout.detail.String(t.Date, "@d3", 0, 0, 1150).String(t.Time, "@t3b", 1200, 0, 950);
  layout.detail.String(t.Description, "@s40", 2200, 0, 4500);
  Finish(layout);
  return layout;
}

ReportLayout BriefLayout(std::string_view title, SCHEDULE_RECORD& t, std::string& status) {
  ReportLayout layout = Titled(title);
  layout.page_header.Text("Date", 0, 350).Text("Time", 1200, 350).Text("Category", 2200, 350);
  layout.page_header.Text("Description", 3700, 350).Text("Done", 6900, 350);
  Rule(layout, 350 + kRow + 20);
  Band& d = layout.detail;
  d.Font(kDetailFont);
  d.String(t.Date, "@d3", 0, 0, 1150).String(t.Time, "@t3b", 1200, 0, 950);
  d.String(t.Category, "@s20", 2200, 0, 1450).String(t.Description, "@s40", 3700, 0, 3150);
  d.String(status, "@s4", 6900, 0, 600);
  Finish(layout);
  return layout;
}

ReportLayout ChecklistLayout(std::string_view title, SCHEDULE_RECORD& t, std::string& status,
                             std::string& date_line) {
  ReportLayout layout = Titled(title);
  // The date line and the headings top every page, so a date that runs over a page keeps them.
  Band& h = layout.page_header;
  h.String(date_line, "@s60", 0, 350, 5000);
  const long y = 350 + kRow + 60;
  h.Text("Time", 0, y).Text("Category", 900, y).Text("Description", 2300, y);
  h.Text("Done", 4800, y).Text("Actual Start", 5300, y).Text("Actual End", 6150, y);
  h.Text("Initials", 6950, y);
  Rule(layout, y + kRow + 20);
  Band& d = layout.detail;
  d.height = kRow + 100;
  d.Font(kDetailFont);
  d.String(t.Time, "@T1b", 0, 0, 850).String(t.Category, "@s20", 900, 0, 1350);
  d.String(t.Description, "@s40", 2300, 0, 2450).String(status, "@s4", 4800, 0, 450);
  const long line = kRow + 10;  // the lines to write on, along the text's foot
  d.Line(5300, line, 6050, line).Line(6150, line, 6850, line).Line(6950, line, 7500, line);
  // Each date its own page.
  layout.groups.push_back({.key = [&t] { return std::to_string(t.Date); }, .new_page = true});
  Finish(layout);
  return layout;
}

}  // namespace vx
