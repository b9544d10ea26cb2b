#include "program/recurrence/moments.h"

#include <gtest/gtest.h>

#include "runtime/dates.h"

namespace vx {
namespace {

struct NormalizeCase {
  std::int32_t date, time;
  std::int32_t want_date, want_time;
};

TEST(Moments, NormalizeCarriesWholeDays) {
  const std::int32_t d = DATE(6, 15, 2025);
  const NormalizeCase cases[] = {
      {d, 1, d, 1},                // midnight is in range
      {d, TIME_DAY, d, TIME_DAY},  // so is the last hundredth
      {d, TIME_DAY + 1, d + 1, 1},
      {d, 2 * TIME_DAY + 1, d + 2, 1},
      {d, 0, d - 1, TIME_DAY},
      {d, -TIME_DAY, d - 2, TIME_DAY},
      {d, -TIME_DAY + 1, d - 1, 1},
      {0, 0, 0, 0},  // no date: nothing to borrow from
      {0, -500, 0, -500},
      {2, -3 * TIME_DAY, 0, -TIME_DAY},  // borrowing stops at date 0
      {0, TIME_DAY + 5, 1, 5},           // carrying works from date 0
  };
  for (const auto& c : cases) {
    std::int32_t date = c.date, time = c.time;
    NormalizeDateTime(date, time);
    EXPECT_EQ(date, c.want_date) << c.date << "," << c.time;
    EXPECT_EQ(time, c.want_time) << c.date << "," << c.time;
  }
}

TEST(Moments, NormalizeMatchesDayByDayCarrying) {
  // The carry is computed at once; it must agree with carrying one day at a time.
  for (std::int32_t date : {0, 1, 3, 50000}) {
    for (std::int64_t time = -5LL * TIME_DAY - 7; time <= 5LL * TIME_DAY + 7; time += 1234567) {
      std::int32_t d = date, t = static_cast<std::int32_t>(time);
      std::int32_t ld = d, lt = t;
      while (lt > TIME_DAY) {
        lt -= TIME_DAY;
        ++ld;
      }
      while (lt <= 0 && ld != 0) {
        lt += TIME_DAY;
        --ld;
      }
      NormalizeDateTime(d, t);
      EXPECT_EQ(d, ld) << date << "," << time;
      EXPECT_EQ(t, lt) << date << "," << time;
    }
  }
}

TEST(Moments, NormalizeSurvivesExtremeTimes) {
  std::int32_t date = 80000, time = INT32_MAX;
  NormalizeDateTime(date, time);
  EXPECT_GE(time, 1);
  EXPECT_LE(time, TIME_DAY);
  date = 80000;
  time = INT32_MIN;
  NormalizeDateTime(date, time);
  EXPECT_GE(time, 1);
  EXPECT_LE(time, TIME_DAY);
}

TEST(Moments, CompareNormalisesBothSides) {
  const std::int32_t d = DATE(6, 15, 2025);
  EXPECT_EQ(CompareDateTime(d, TIME_DAY + 1, d + 1, 1), 0);
  EXPECT_EQ(CompareDateTime(d, 100, d, 101), -1);
  EXPECT_EQ(CompareDateTime(d, 101, d, 100), 1);
  EXPECT_EQ(CompareDateTime(d - 1, TIME_DAY, d, 1), -1);  // dates decide first
  EXPECT_EQ(CompareDateTime(d + 1, 1, d, TIME_DAY), 1);
  EXPECT_EQ(CompareDateTime(d, 0, d - 1, TIME_DAY), 0);
}

TEST(Moments, CompareMinutesTreatsOneMinuteAsEqual) {
  const std::int32_t d = DATE(6, 15, 2025);
  EXPECT_EQ(CompareDateTimeMinutes(d, 6000, d, 11999), 0);
  EXPECT_EQ(CompareDateTimeMinutes(d, 11999, d, 12000), -1);
  EXPECT_EQ(CompareDateTimeMinutes(d, 12000, d, 11999), 1);
  EXPECT_EQ(CompareDateTimeMinutes(d, TIME_DAY + 6000, d + 1, 11999), 0);
  EXPECT_EQ(CompareDateTimeMinutes(d, 1, d + 1, 1), -1);
}

}  // namespace
}  // namespace vx
