// Moments: a date with a time of day, as every schedule decision works on them.
//
// A moment is a pair (day number, hundredths from 1 = midnight to 8,640,000). After arithmetic
// a pair may be out of range; normalising carries whole days between the time and the date.
#pragma once

#include <cstdint>

namespace vx {

// Brings (date, time) back into range in place: a time above a day carries whole days into the
// date; a time at or below 0 borrows whole days from the date. A pair with date 0 keeps its
// non-positive time (there is no earlier date to borrow from).
void NormalizeDateTime(std::int32_t& date, std::int32_t& time);
// The same on 64-bit values, for arithmetic that may pass the 32-bit range on the way.
void NormalizeDateTime(std::int64_t& date, std::int64_t& time);

// -1, 0 or 1 as the first moment is earlier than, equal to or later than the second, both
// normalised first; dates decide, times only on equal dates.
std::int32_t CompareDateTime(std::int32_t date1, std::int32_t time1, std::int32_t date2,
                             std::int32_t time2);

// As CompareDateTime, but equal dates are decided on whole minutes: two moments in the same
// minute compare equal. This is how the timer decides that a task is due.
std::int32_t CompareDateTimeMinutes(std::int32_t date1, std::int32_t time1, std::int32_t date2,
                                    std::int32_t time2);

}  // namespace vx
