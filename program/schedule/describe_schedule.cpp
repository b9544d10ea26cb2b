#include <string>

#include "datadll/dictionary/schedule_table.h"
#include "program/recurrence/schedule_texts.h"
#include "program/schedule/task_defaults.h"
#include "runtime/fixed_string.h"

namespace vx {
namespace {

constexpr std::size_t kDescriptionWidth = 80;

// Appends a list the way the lists join the text: the text's trailing blanks go, one blank
// separates, and the list's final comma is dropped.
void AppendList(std::string& text, std::string_view list) {
  list = ClipView(list);
  if (!list.empty() && list.back() == ',') list.remove_suffix(1);
  text.resize(ClipView(text).size());
  text += ' ';
  text += list;
}

std::string WeekdayList(const SCHEDULE_RECORD& task) {
  static constexpr const char* kNames[] = {"Sun, ", "Mon, ", "Tue, ", "Wed, ",
                                           "Thu, ", "Fri, ", "Sat, "};
  std::string list;
  for (int wd = 0; wd < 7; ++wd) {
    if (WeekdayFlag(task, wd)) list += kNames[wd];
  }
  return list;
}

std::string OrdinalList(const SCHEDULE_RECORD& task) {
  std::string list;
  if (task.Every1st) list += "1st, ";
  if (task.Every2nd) list += "2nd, ";
  if (task.Every3rd) list += "3rd, ";
  if (task.Every4th) list += "4th, ";
  if (task.EveryLast) list += "Last";
  return list;
}

}  // namespace

std::string DescribeSchedule() {
  const SCHEDULE_RECORD& task = SCH;
  const std::string_view type = task.ScheduleType.clipped();
  std::string text;
  if (type == "Monthly") {
    text = "Monthly";
    if (IsSemiMonthly(task)) {
      text = "Twice Monthly";
      if (task.Offset != 0) text += " (" + std::to_string(task.Offset) + ")";
    }
  } else if (type == "Day of Week") {
    text = "Days: ";
    AppendList(text, WeekdayList(task));
  } else if (type == "Day of Month") {
    text = "Days: ";
    AppendList(text, OrdinalList(task));
    text += ":";
    AppendList(text, WeekdayList(task));
  } else if (type == "Custom" || type == "Other" || type == "Every") {
    text = "Every " + std::to_string(task.Every) + " " + std::string(task.EveryType.clipped());
  } else {
    text = type;  // "Once", "Yearly" and any other type name themselves
  }
  if (HasAnyException(task)) {
    text.resize(ClipView(text).size());
    text += " (exceptions exist)";
  }
  // The text shown is a beginning of the text made: it is cut in place.
  text.resize(ClipView(CutUtf8(text, kDescriptionWidth)).size());
  return text;
}

}  // namespace vx
