#include <string>

#include "runtime/pictures.h"
#include "tests/runtime/picture_fixture.h"

namespace vx {
namespace {

struct DateRow {
  std::int32_t date;
  const char* picture;
  const char* text;
};

using PictureDates = PictureTest;

TEST_F(PictureDates, FormatTable) {
  const std::int32_t halloween = DATE(10, 31, 1959);  // a Saturday
  const std::int32_t jan5 = DATE(1, 5, 2007);         // a Friday
  const DateRow rows[] = {
      {halloween, "@d1", "10/31/59"},
      {halloween, "@d2", "10/31/1959"},
      {halloween, "@d3", "OCT 31,1959"},
      {halloween, "@d4", "October 31, 1959"},
      {halloween, "@d5", "31/10/59"},
      {halloween, "@d6", "31/10/1959"},
      {halloween, "@d7", "31 OCT 59"},
      {halloween, "@d8", "31 OCT 1959"},
      {halloween, "@d9", "59/10/31"},
      {halloween, "@d10", "1959/10/31"},
      {halloween, "@d11", "591031"},
      {halloween, "@d12", "19591031"},
      {halloween, "@d13", "10/59"},
      {halloween, "@d14", "10/1959"},
      {halloween, "@d15", "59/10"},
      {halloween, "@d16", "1959/10"},
      {halloween, "@d17", "10/31/1959"},
      {halloween, "@d18", "Saturday, October 31, 1959"},
      // The month or day that opens the text is blank-padded; later fields and "0" pictures
      // use zeros; D4 does not pad.
      {jan5, "@d1", " 1/05/07"},
      {jan5, "@D01", "01/05/07"},
      {jan5, "@d3", "JAN  5,2007"},
      {jan5, "@d03", "JAN 05,2007"},
      {jan5, "@d4", "January 5, 2007"},
      {jan5, "@d5", " 5/01/07"},
      {jan5, "@d7", " 5 JAN 07"},
      {jan5, "@d9", "07/01/05"},
      {jan5, "@d11", "070105"},
      {jan5, "@d13", " 1/07"},
      {jan5, "@d16", "2007/01"},
      // Separators.
      {jan5, "D10-", "2007-01-05"},
      {halloween, "@D1-", "10-31-59"},
      {jan5, "@d06.", "05.01.2007"},
      {jan5, "@d2_", " 1 05 2007"},
      {jan5, "@d1'", " 1,05,07"},
      {jan5, "@d8-", " 5-JAN-2007"},
      {jan5, "@d3-", "JAN  5,2007"},  // D3 has no separator to replace
      // Tokens as settings store them and list formats carry them.
      {halloween, "d3", "OCT 31,1959"},
      {halloween, "D3    ", "OCT 31,1959"},
      {halloween, "d17", "10/31/1959"},
      {halloween, "@d6b@#1#.", "31/10/1959"},
      // Ends of the calendar; 0 is a real day unless the picture blanks it.
      {0, "@d3", "DEC 28,1800"},
      {4, "@d2", " 1/01/1801"},
      {DATE(12, 31, 9999), "@d12", "99991231"},
      {0, "@d3b", ""},
      {0, "@d17b", ""},
      {halloween, "@d17b", "10/31/1959"},
      {-1, "@d3", ""},
      {DATE(12, 31, 9999) + 1, "@d3", ""},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(FORMAT(r.date, r.picture), r.text) << r.picture << " of " << r.date;
  }
}

TEST_F(PictureDates, LocaleLayoutsFollowTheSettings) {
  LocaleFormats german;
  german.short_date = "%d.%m.%Y";
  german.long_date = "%A, %-d %B %Y";
  ScopedLocaleFormats pin(german);
  const std::int32_t d = DATE(3, 7, 2025);
  EXPECT_EQ(FORMAT(d, "@d17"), "07.03.2025");
  EXPECT_EQ(FORMAT(d, "@d18"), "Friday, 7 March 2025");
  EXPECT_EQ(DeformatDate("07.03.2025", "@d17"), d);
  EXPECT_EQ(DeformatDate("Friday, 7 March 2025", "@d18"), d);
  EXPECT_EQ(DeformatDate("7.3.25", "@d17"), d);
}

TEST_F(PictureDates, EveryPictureReadsBackWhatItShows) {
  const std::int32_t dates[] = {DATE(1, 1, 1950), DATE(2, 29, 1960),  DATE(10, 31, 1959),
                                DATE(1, 5, 2007), DATE(12, 31, 2045), DATE(7, 4, 2026)};
  const std::int32_t far_dates[] = {4, DATE(2, 29, 2000), DATE(12, 31, 9999), DATE(3, 1, 1900)};
  struct Modifier {
    const char* before;  // between "@d" and the number
    const char* after;
  };
  const Modifier modifiers[] = {{"", ""},  {"0", ""}, {"", "-"},  {"", "."},
                                {"", "_"}, {"", "'"}, {"0", "-b"}};
  for (int style = 1; style <= 18; ++style) {
    const bool two_digit_year = style == 1 || style == 5 || style == 7 || style == 9 ||
                                style == 11 || style == 13 || style == 15;
    const bool month_only = style >= 13 && style <= 16;
    for (const Modifier& mod : modifiers) {
      const std::string picture =
          std::string("@d") + mod.before + std::to_string(style) + mod.after;
      std::vector<std::int32_t> cases(std::begin(dates), std::end(dates));
      if (!two_digit_year) cases.insert(cases.end(), std::begin(far_dates), std::end(far_dates));
      for (std::int32_t d : cases) {
        const std::int32_t expected = month_only ? DATE(MONTH(d), 1, YEAR(d)) : d;
        const std::string text = FORMAT(d, picture);
        EXPECT_EQ(DeformatDate(text, picture), expected) << picture << " \"" << text << "\"";
      }
    }
  }
}

TEST_F(PictureDates, ReadsWhatUsersType) {
  struct Typed {
    const char* text;
    const char* picture;
    std::int32_t date;
  };
  const Typed rows[] = {
      {"10/31/1959", "@d1", DATE(10, 31, 1959)},
      {"10-31-59", "@d1", DATE(10, 31, 1959)},
      {" 1/5/7", "@d1", DATE(1, 5, 2007)},
      {"oct 31 1959", "@d1", DATE(10, 31, 1959)},
      {"31 october 1959", "@d6", DATE(10, 31, 1959)},
      {"1959 Oct 31", "@d3", DATE(10, 31, 1959)},
      {"1959-10-31", "@d1", DATE(10, 31, 1959)},
      {"Saturday, October 31, 1959", "@d18", DATE(10, 31, 1959)},
      {"10/31", "@d1", DATE(10, 31, 2026)},  // no year: this year
      {"Oct 31", "@d3", DATE(10, 31, 2026)},
      {"103159", "@d1", DATE(10, 31, 1959)},
      {"19591031", "@d12", DATE(10, 31, 1959)},
      {"2/29/2000", "@d2", DATE(2, 29, 2000)},
      // Two-digit years lie from 80 years back to 19 ahead of this year (2026).
      {"1/1/45", "@d1", DATE(1, 1, 2045)},
      {"1/1/46", "@d1", DATE(1, 1, 1946)},
      {"59/10", "@d15", DATE(10, 1, 1959)},
      {"OCT 1959", "@d14", DATE(10, 1, 1959)},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(DeformatDate(r.text, r.picture), r.date) << r.text << " under " << r.picture;
  }
}

TEST_F(PictureDates, TextThatIsNoDateGivesZero) {
  const char* texts[] = {"",
                         "   ",
                         "abc",
                         "2/29/1900",
                         "13/13/59",
                         "0/0/0",
                         "10/32/1959",
                         "10/31/59 xyz",
                         "99999999999",
                         "12/31/1800",
                         "1/1/10000",
                         "1/2/3/4",
                         "October",
                         "/",
                         "10/31/1959 5",
                         "Oct Nov 3",
                         "\xff\xfe",
                         "1.5e3",
                         "-10/31/1959x",
                         "31 Foo 1959"};
  for (const char* t : texts) {
    for (const char* picture : {"@d1", "@d3", "@d6", "@d12", "@d17"}) {
      EXPECT_EQ(DeformatDate(t, picture), 0) << "\"" << t << "\" under " << picture;
    }
  }
  EXPECT_EQ(DEFORMAT("garbage", "@d3"), "0");
  EXPECT_EQ(DeformatDate("10/31/1959", "@n6"), 0);  // not a date picture
}

TEST_F(PictureDates, DeformatGivesTheDayNumberAsText) {
  EXPECT_EQ(DEFORMAT("OCT 31,1959", "d3"), std::to_string(DATE(10, 31, 1959)));
}

}  // namespace
}  // namespace vx
