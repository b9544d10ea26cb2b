#include <string>

#include "runtime/pictures.h"
#include "tests/runtime/picture_fixture.h"

namespace vx {
namespace {

using PictureTimes = PictureTest;

TEST_F(PictureTimes, FormatTable) {
  struct Row {
    std::int32_t time;
    const char* picture;
    const char* text;
  };
  const std::int32_t evening = MakeTime(21, 5, 9, 50);
  const std::int32_t morning = MakeTime(9, 5);
  const Row rows[] = {
      {evening, "@t1", "21:05"},
      {evening, "@t2", "2105"},
      {evening, "@t3", " 9:05PM"},
      {evening, "@t03", "09:05PM"},
      {evening, "@t4", "21:05:09"},
      {evening, "@t5", "210509"},
      {evening, "@t6", " 9:05:09PM"},
      {evening, "@t7", "21:05"},
      {evening, "@t8", "21:05:09"},
      {morning, "@t1", " 9:05"},
      {morning, "@T01", "09:05"},
      {morning, "@t2", "0905"},
      {morning, "@t3", " 9:05AM"},
      {1, "@t1", " 0:00"},
      {1, "@t3", "12:00AM"},
      {MakeTime(12, 0), "@t3", "12:00PM"},
      {TIME_DAY, "@t6", "11:59:59PM"},
      {evening, "@t1.", "21.05"},
      {evening, "@t4_", "21 05 09"},
      {evening, "@t4-", "21-05-09"},
      {evening, "@t1'", "21,05"},
      {evening, "t7", "21:05"},
      {0, "@t7b", ""},
      {0, "@t3b", ""},
      {0, "@t1", " 0:00"},
      {evening, "@t7b", "21:05"},
      {-5, "@t1", ""},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(FORMAT(r.time, r.picture), r.text) << r.picture << " of " << r.time;
  }
}

TEST_F(PictureTimes, LocaleLayoutsFollowTheSettings) {
  LocaleFormats twelve = UsLayouts();
  twelve.short_time = "%I:%M %p";
  twelve.long_time = "%-I:%M:%S %p";
  ScopedLocaleFormats pin(twelve);
  EXPECT_EQ(FORMAT(MakeTime(21, 5, 9), "@t7"), "09:05 PM");
  EXPECT_EQ(FORMAT(MakeTime(21, 5, 9), "@t8"), "9:05:09 PM");
  EXPECT_EQ(DeformatTime("09:05 PM", "@t7"), MakeTime(21, 5));
}

TEST_F(PictureTimes, EveryPictureReadsBackWhatItShows) {
  const std::int32_t times[] = {1,
                                MakeTime(0, 30, 15),
                                MakeTime(9, 5, 59),
                                MakeTime(12, 0, 1),
                                MakeTime(13, 45),
                                MakeTime(23, 59, 59)};
  const char* pictures[] = {"@t1", "@t2", "@t3",  "@t4",   "@t5",  "@t6",
                            "@t7", "@t8", "@t01", "@t03.", "@t4_", "@t6-b"};
  for (const char* picture : pictures) {
    const bool seconds = std::string(picture).find_first_of("4568") != std::string::npos;
    for (std::int32_t t : times) {
      const TimeParts p = SplitTime(t);
      const std::int32_t expected = MakeTime(p.hours, p.minutes, seconds ? p.seconds : 0);
      const std::string text = FORMAT(t, picture);
      EXPECT_EQ(DeformatTime(text, picture), expected) << picture << " \"" << text << "\"";
    }
  }
}

TEST_F(PictureTimes, ReadsWhatUsersTypeAndRefusesTheRest) {
  struct Typed {
    const char* text;
    std::int32_t time;
  };
  const Typed rows[] = {
      {"9:05 pm", MakeTime(21, 5)},
      {"9pm", MakeTime(21, 0)},
      {"9 P.M.", MakeTime(21, 0)},
      {"2105", MakeTime(21, 5)},
      {"930", MakeTime(9, 30)},
      {"21:05:09.5", MakeTime(21, 5, 9, 50)},
      {"12:00 AM", 1},
      {"00:00", 1},
      {"12:30am", MakeTime(0, 30)},
      {"23", MakeTime(23, 0)},
      // Not times.
      {"", 0},
      {"  ", 0},
      {"24:00", 0},
      {"13:00 PM", 0},
      {"0:30 AM", 0},
      {"9:60", 0},
      {"9:05:60", 0},
      {"abc", 0},
      {"9:05 xyz", 0},
      {"1234567", 0},
      {"1:2:3:4:5", 0},
      {"123:00", 0},
      {"\xc3\xa9", 0},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(DeformatTime(r.text, "@t4"), r.time) << "\"" << r.text << "\"";
  }
  EXPECT_EQ(DEFORMAT(" 0:00", "@t1"), "1");  // midnight is 1, not "no time"
  EXPECT_EQ(DEFORMAT("nonsense", "@t1"), "0");
}

}  // namespace
}  // namespace vx
