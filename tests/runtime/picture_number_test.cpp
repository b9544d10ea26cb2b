#include <cstdint>
#include <limits>
#include <string>

#include "runtime/pictures.h"
#include "tests/runtime/picture_fixture.h"

namespace vx {
namespace {

TEST(PictureNumbers, WholeNumbers) {
  struct Row {
    std::int64_t value;
    const char* picture;
    const char* text;
  };
  const Row rows[] = {
      {5, "@n3", "  5"},
      {0, "@n3", "  0"},
      {1234, "@n6", " 1,234"},
      {1234, "@n3", "###"},  // too wide for the picture
      {1234, "@n5", "1,234"},
      {0, "@n4b", ""},
      {7, "@n4b", "   7"},
      {-3, "@n-2b", "-3"},
      {3, "@n-2b", " 3"},
      {0, "@n-2b", ""},
      {-12, "@n-2b", "##"},
      {-1234567, "@n-13", "   -1,234,567"},
      {1234567, "@n11", "  1,234,567"},
      {-5, "@n3", " -5"},  // an unsigned picture still shows the minus
      {42, "@n05", "00042"},
      {-42, "@n-05", "-0042"},
      {-42, "@n5-", "  42-"},
      {42, "@n5-", "  42 "},
      {-42, "@n(6)", "  (42)"},
      {42, "@n(6)", "   42 "},
      {1234567, "@n12_", "   1 234 567"},
      {1234567, "@n_9", "  1234567"},
      {1234567, "@n", "1,234,567"},
      {12, "N3", " 12"},
      {std::numeric_limits<std::int64_t>::max(), "@n25", "9,223,372,036,854,775,807"},
      {std::numeric_limits<std::int64_t>::min(), "@n-26", "-9,223,372,036,854,775,808"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(FORMAT(r.value, r.picture), r.text) << r.picture << " of " << r.value;
  }
}

TEST(PictureNumbers, FractionsRoundHalfAwayFromZero) {
  struct Row {
    double value;
    const char* picture;
    const char* text;
  };
  const Row rows[] = {
      {1234.567, "@N10.2", "  1,234.57"},
      {2.675, "@n6.2", "  2.68"},  // the decimal digits decide, not the binary value
      {-2.5, "@n3", " -3"},
      {2.5, "@n3", "  3"},
      {-0.004, "@n6.2", "  0.00"},  // no "-0.00"
      {-0.004, "@n6.2b", ""},
      {0.1 + 0.2, "@n10.2", "      0.30"},
      {999.996, "@n8.2", "1,000.00"},
      {1234.5, "@n$10.2", " $1,234.50"},
      {-1234.5, "@n-$11.2", " -$1,234.50"},
      {1234.5, "@n*10.2", "**1,234.50"},
      {1234567.891, "@n12.,2", "1.234.567,89"},
      {1234.5, "@n.2", "1,234.50"},
      {1234.5, "@N30.9", "               1,234.500000000"},
      {1e300, "@n10", "##########"},
      {std::numeric_limits<double>::infinity(), "@n3", "  0"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(FORMAT(r.value, r.picture), r.text) << r.picture << " of " << r.value;
  }
  EXPECT_EQ(FORMAT(Decimal::FromUnits(-123456, 2), "@n-10.2"), " -1,234.56");
  EXPECT_EQ(FORMAT(Decimal::FromUnits(5, 3), "@n6.2"), "  0.01");
  EXPECT_EQ(FORMAT("1234.5", "@n10.2"), "  1,234.50");  // text read as a number
  EXPECT_EQ(FORMAT("abc", "@n3"), "  0");
}

TEST(PictureNumbers, DeformatStripsWhatFormatAdds) {
  struct Row {
    const char* text;
    const char* picture;
    const char* plain;
  };
  const Row rows[] = {
      {" 1,234", "@n6", "1234"},
      {"(42)", "@n(6)", "-42"},
      {"42-", "@n5-", "-42"},
      {"-42", "@n-5", "-42"},
      {"$1,234.50", "@n$10.2", "1234.5"},
      {"**1,234.50", "@n*10.2", "1234.5"},
      {"1.234.567,89", "@n12.,2", "1234567.89"},
      {"1 234 567", "@n12_", "1234567"},
      {"007", "@n03", "7"},
      {"-0", "@n-3", "0"},
      {"  .5", "@n6.2", "0.5"},
      // Not numbers.
      {"", "@n6", "0"},
      {"abc", "@n6", "0"},
      {"12abc", "@n6", "0"},
      {"--5", "@n-6", "0"},
      {"(-5)", "@n(6)", "0"},
      {"1.2.3", "@n6.2", "0"},
      {"5-5", "@n6", "0"},
      {"\xe2\x82\xac", "@n6", "0"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(DEFORMAT(r.text, r.picture), r.plain) << "\"" << r.text << "\" under " << r.picture;
  }
  EXPECT_DOUBLE_EQ(DeformatNumber("-1,234.5", "@n-10.2"), -1234.5);
  EXPECT_EQ(DeformatDecimal("-1,234.567", "@n-10.2"), Decimal::FromUnits(-123457, 2));
  EXPECT_EQ(DeformatDecimal("99999999999999999999", "@n30"), Decimal::FromUnits(0, 0));  // too big
  EXPECT_EQ(DeformatNumber("12", "@d3"), 0);  // not a number picture
}

TEST(PictureNumbers, RoundTrips) {
  struct Case {
    const char* picture;
    int places;
  };
  const Case cases[] = {{"@n3", 0},      {"@n6", 0},     {"@n-2b", 0},  {"@n4b", 0},
                        {"@n-13", 0},    {"@n11", 0},    {"@N10.2", 2}, {"@n-$12.2", 2},
                        {"@n(10.2)", 2}, {"@n9.2-", 2},  {"@n012", 0},  {"@n_9", 0},
                        {"@n12_", 0},    {"@n14.,2", 2}, {"@N30.9", 9}};
  const std::int64_t units[] = {0, 1, -1, 7, -42, 999, 1234, -98765, 4567890, -1234567};
  for (const auto& [picture, places] : cases) {
    for (std::int64_t u : units) {
      const Decimal value = Decimal::FromUnits(u, places);
      const std::string text = FORMAT(value, picture);
      if (text.find('#') != std::string::npos) continue;  // did not fit: nothing to read back
      EXPECT_EQ(DeformatDecimal(text, picture), value) << picture << " \"" << text << "\"";
    }
  }
}

}  // namespace
}  // namespace vx
