#include "program/recurrence/easter.h"

#include "runtime/dates.h"

namespace vx {
namespace {

// Remainder made non-negative, whatever the sign of the dividend.
std::int64_t Mod(std::int64_t a, std::int64_t b) {
  const std::int64_t r = a % b;
  return r < 0 ? r + b : r;
}

}  // namespace

std::int32_t EasterSunday(std::int32_t year) {
  // Golden number, century, the solar and lunar corrections, then the epact e: Easter is the
  // first Sunday after the Paschal full moon at March n.
  const std::int64_t y = year;
  const std::int64_t g = Mod(y, 19);
  const std::int64_t c = y / 100 + 1;
  const std::int64_t x = 3 * c / 4 - 12;
  const std::int64_t z = (8 * c + 5) / 25 - 5;
  const std::int64_t d = 5 * y / 4 - x - 10;
  std::int64_t e = Mod(11 * g + z - x + 31, 30);
  if ((e == 25 && g + 1 > 11) || e == 24) e += 1;
  std::int64_t n = 44 - e;
  if (n <= 20) n = 74 - e;
  n = n + 7 - Mod(d + n, 7);
  if (n >= 32) return DATE(4, static_cast<int>(n - 31), year);
  return DATE(3, static_cast<int>(n), year);
}

}  // namespace vx
