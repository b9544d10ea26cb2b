// The holiday list and the form of one holiday.
#pragma once

#include <cstdint>
#include <string_view>

namespace vx {

// The form of the holiday in the HOLIDAYS buffer, by the thread's request (GLOBALREQUEST).
void UpdateHolidays();
// The window "Holidays": every holiday in date order, with New, Edit and Delete through
// UpdateHolidays. One such window per program unless started to select.
void BrowseHolidays();

// The date a holiday gets when its type becomes "Easter": the Easter Sunday still ahead (this
// year's, or next year's once it has passed); Good Friday two days before and Easter Monday the
// day after (names compared in upper case). Other holidays keep `date` unless it lies more than 30
// days before Easter Sunday.
std::int32_t EasterHolidayDate(std::int32_t date, std::string_view description, std::int32_t today);

}  // namespace vx
