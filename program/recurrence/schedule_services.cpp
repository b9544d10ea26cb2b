#include "program/recurrence/schedule_services.h"

#include <atomic>
#include <stdexcept>

namespace vx {
namespace {

std::atomic<ScheduleServices*> gServices{nullptr};

}  // namespace

void SetScheduleServices(ScheduleServices* services) { gServices.store(services); }

ScheduleServices& CurrentScheduleServices() {
  ScheduleServices* s = gServices.load();
  if (!s) throw std::logic_error("schedule services are not installed");
  return *s;
}

ScopedScheduleServices::ScopedScheduleServices(ScheduleServices& services)
    : previous_(gServices.load()) {
  gServices.store(&services);
}

ScopedScheduleServices::~ScopedScheduleServices() { gServices.store(previous_); }

}  // namespace vx
