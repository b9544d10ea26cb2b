// The next-run computation on any SCHEDULE record, for the engine's own callers: the time-window
// step calls it repeatedly and shows the "Invalid Units" message at most once.
#pragma once

#include <cstdint>

#include "datadll/dictionary/schedule_table.h"

namespace vx {

// ComputeNextRun on `task`; the "Invalid Units" message is shown only when `announce` is set.
void ComputeNextRunOf(SCHEDULE_RECORD& task, std::int32_t refDate, std::int32_t refTime,
                      bool announce);

inline constexpr const char* kInvalidUnitsText =
    "Custom repetition is not set up properly.  Select units.";
inline constexpr const char* kInvalidUnitsTitle = "Invalid Units";

}  // namespace vx
