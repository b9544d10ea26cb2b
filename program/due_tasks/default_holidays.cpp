#include "program/due_tasks/default_holidays.h"

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "program/common/config_store.h"
#include "program/recurrence/easter.h"
#include "runtime/dates.h"
#include "runtime/storage/errors.h"

namespace vx {
namespace {

constexpr std::string_view kAnnual = "Annual";
constexpr std::string_view kDayOfMonth = "Day of Month";
constexpr std::string_view kEaster = "Easter";
constexpr std::string_view kOnce = "Once";

// A holiday that keeps meeting taken dates gives up after this many years.
constexpr int kMaxYears = 400;

// Moves the holiday in HOL to its next year and writes it, or deletes a "Once" holiday.
void RollHoliday() {
  const std::string type(HOL.HolidayType.clipped());
  if (type == kOnce) {
    ACCESS_HOLIDAYS->TryDelete();
    return;
  }
  if (type != kDayOfMonth && type != kEaster) HOL.HolidayType = kAnnual;
  std::int32_t date = HOL.HolidayDate;
  for (int year = 0; year < kMaxYears; ++year) {
    const std::int32_t next = NextHolidayDate(date, type);
    // A date that would not move on could never leave the past: left as it is.
    if (next <= date) return;
    HOL.HolidayDate = next;
    // A date held by another holiday is a holiday already; this one goes on to the year after,
    // rather than stay behind for good.
    if (ACCESS_HOLIDAYS->TryUpdate() != storage::kDuplicateKey) return;
    date = next;
  }
}

}  // namespace

std::int32_t NextHolidayDate(std::int32_t date, std::string_view type) {
  const int day = DAY(date), month = MONTH(date), year = YEAR(date);
  if (type == kOnce) return 0;
  if (type == kDayOfMonth) {
    // The n-th weekday of the month: the first day of the same week of the month in the next
    // year that falls on the same weekday.
    const int week = (day - 1) / 7;
    const std::int32_t start = DATE(month, week * 7 + 1, year + 1);
    return start + (WeekDay(date) - WeekDay(start) + 7) % 7;
  }
  if (type == kEaster) return date + EasterSunday(year + 1) - EasterSunday(year);
  return DATE(month, day, year + 1);
}

void AddHoliday(std::int32_t date, std::string_view name, std::string_view type) {
  HOL = HOLIDAYS_RECORD{};
  HOL.HolidayDate = date;
  HOL.Holiday = name;
  HOL.HolidayType = type;
  ACCESS_HOLIDAYS->TryInsert();
}

void AddDefaultHolidays() {
  if (ACCESS_HOLIDAYS->Open() != 0) return;
  const int year = YEAR(TODAY());
  const std::int32_t easter = EasterSunday(year);
  AddHoliday(DATE(12, 25, year), "Christmas Day", kAnnual);
  AddHoliday(DATE(12, 24, year), "Christmas Eve", kAnnual);
  AddHoliday(DATE(1, 1, year + 1), "New Year's Day", kAnnual);
  AddHoliday(DATE(12, 31, year), "New Year's Eve", kAnnual);
  AddHoliday(DATE(7, 1, 1999), "Canada Day (Canada)", kAnnual);
  AddHoliday(DATE(7, 4, 1999), "Independence Day (U.S.)", kAnnual);
  AddHoliday(DATE(5, 18, 1998), "Victoria Day (Canada)", kDayOfMonth);
  AddHoliday(DATE(5, 25, 1998), "Memorial Day (U.S.)", kDayOfMonth);
  AddHoliday(DATE(9, 7, 1998), "Labor Day/Labour Day)", kDayOfMonth);
  AddHoliday(DATE(11, 11, 1998), "Veteran's Day (U.S.)", kDayOfMonth);
  AddHoliday(DATE(11, 11, 1998), "Remembrance Day (Canada)", kDayOfMonth);
  AddHoliday(DATE(10, 12, 1998), "Thanksgiving (Canada)", kDayOfMonth);
  AddHoliday(DATE(11, 27, 1998), "Thanksgiving (U.S.)", kDayOfMonth);
  AddHoliday(easter, "Easter", kEaster);
  AddHoliday(easter - 7, "Palm Sunday", kEaster);
  AddHoliday(easter - 2, "Good Friday", kEaster);
  AddHoliday(easter + 1, "Easter Monday", kEaster);
  ACCESS_HOLIDAYS->Close();
  SetConfigValue("DEFHOL", "Y");
}

void AddDefaultHolidaysOnce() {
  if (GetConfigValue("DEFHOL").empty()) {
    AddDefaultHolidays();
    SetConfigValue("DEFHOL", "Y");
  }
  if (ACCESS_HOLIDAYS->Open() != 0) return;
  const std::int32_t today = TODAY();
  // Undated entries have no year to move on from; the walk starts past them.
  HOL = HOLIDAYS_RECORD{};
  HOL.HolidayDate = 1;
  if (ACCESS_HOLIDAYS->SetFromBuffer(HOL_KEYHOLIDAYDATE) == 0) {
    // A holiday several years behind moves one year at a time and is met again further on.
    while (ACCESS_HOLIDAYS->Next() == 0 && HOL.HolidayDate < today) RollHoliday();
  }
  ACCESS_HOLIDAYS->Close();
}

}  // namespace vx
