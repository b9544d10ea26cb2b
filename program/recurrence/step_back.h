// The backward counterpart of the next-run computation, used to re-date tasks: moves the task
// in the SCHEDULE buffer back along its rule until it lies before a chosen moment, so that the
// next-run computation that follows lands it on its first occurrence after that moment.
#pragma once

#include <cstdint>

namespace vx {

// Moves SCH.Date (and SCH.Time for minute and hour intervals) back until the occurrence lies
// before the reference moment less one minute (before the moment itself for minute and hour
// intervals; before the reference date for "Day of Month"). A task already before it stays.
// "Once" is marked completed. An "Every..." task with an unknown unit shows the "Invalid Units"
// message and, when dated at or after the reference date, moves to the day before it. The
// result need not be an occurrence; it lies on the task's own grid of steps, so the forward
// computation from it finds the right one. Never writes the file.
void StepBackBeforeMoment(std::int32_t refDate, std::int32_t refTime);

}  // namespace vx
