// The few services the recurrence rules need beyond the SCHEDULE buffer: the holiday list,
// storing and copying tasks, one message box and the user's date format.
//
// The rules themselves are pure functions of the buffer; everything that touches a table or the
// screen goes through this interface, so that it can be replaced in tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

class ScheduleServices {
 public:
  virtual ~ScheduleServices() = default;

  // Whether the holiday list holds any record at all.
  virtual bool HolidaysExist() = 0;
  // Whether a holiday with this date exists.
  virtual bool IsHoliday(std::int32_t date) = 0;
  // Stores the SCHEDULE buffer over its record (PUT).
  virtual void PutTask() = 0;
  // Adds the SCHEDULE buffer (message included) as a new task under the next free id; afterwards
  // the buffer holds the new task with its id.
  virtual void AddTaskCopy() = 0;
  // Loads the task with this id into the SCHEDULE buffer; false when there is none.
  virtual bool LoadTask(std::int32_t id) = 0;
  // A message box with one OK button.
  virtual void ShowMessage(std::string_view text, std::string_view title) = 0;
  // A date in the user's chosen date format.
  virtual std::string FormatDate(std::int32_t date) = 0;
};

// Installs the services every rule uses (nullptr removes them). The caller keeps the object
// alive while it is installed.
void SetScheduleServices(ScheduleServices* services);
// The installed services; throws std::logic_error when none are installed, so that a missing
// wiring fails loudly instead of losing a task change.
ScheduleServices& CurrentScheduleServices();

// Installs services for the life of a scope, restoring the previous ones after.
class ScopedScheduleServices {
 public:
  explicit ScopedScheduleServices(ScheduleServices& services);
  ~ScopedScheduleServices();
  ScopedScheduleServices(const ScopedScheduleServices&) = delete;
  ScopedScheduleServices& operator=(const ScopedScheduleServices&) = delete;

 private:
  ScheduleServices* previous_;
};

}  // namespace vx
