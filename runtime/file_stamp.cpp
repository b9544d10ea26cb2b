#include "runtime/file_stamp.h"

#include <algorithm>

namespace vx {

std::int64_t Nanoseconds(const timespec& t) {
  return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

FileStamp FileStamp::Of(const struct stat& st) {
  return {st.st_dev, st.st_ino, st.st_size, Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim)};
}

bool StampSettled(const struct stat& st, const timespec& now) {
  // The coarse clock is less than one of its ticks behind the time read here; two allow for a
  // late tick. What the file system keeps shows in the stamps: the coarsest unit both are
  // multiples of.
  static const std::int64_t tick = [] {
    timespec resolution{};
    if (::clock_getres(CLOCK_REALTIME_COARSE, &resolution) != 0) return std::int64_t{10'000'000};
    return std::max<std::int64_t>(Nanoseconds(resolution), 1'000'000);
  }();
  std::int64_t kept = 1;
  for (const std::int64_t unit : {1'000'000'000, 100'000'000, 10'000'000, 1'000'000, 1'000, 100}) {
    if (st.st_mtim.tv_nsec % unit == 0 && st.st_ctim.tv_nsec % unit == 0) {
      kept = unit;
      break;
    }
  }
  const std::int64_t last_change = std::max(Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim));
  return last_change + 2 * tick + 2 * kept <= Nanoseconds(now);
}

}  // namespace vx
