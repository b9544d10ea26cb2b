// The packed column descriptors a browse hands to the list extension: what is packed reads back,
// and a short or damaged descriptor is never read past its end.
#include "datadll/xplore/xplore_columns.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

XploreColumn TaskDate() {
  XploreColumn c;
  c.FIELD = "SCH:Date";
  c.WIDTHDLU = 40;
  c.HEADER = "Date";
  c.PICTURE = "@d6b";
  c.DESCRIPTION = "Basic - Next Date to Perform Task";
  c.JUST = 'L';
  c.TABCONTROL = 0;
  c.GRAPHOK = true;
  c.SORTFIELD = true;
  c.LOCATORTYPE = 'S';
  return c;
}

TEST(XploreColumns, TheTaskDateColumnPacksAsTheBrowsesWriteIt) {
  const std::string packed = PackColumnDescriptor({TaskDate()});
  std::string expected;
  expected += '\x08';
  expected += "SCH:Date";
  expected += std::string("\x28\x00", 2);
  expected += '\x04';
  expected += "Date";
  expected += '\x04';
  expected += "@d6b";
  expected += '\x21';
  expected += "Basic - Next Date to Perform Task";
  expected += 'L';
  expected += std::string("\x01\x00\x00\x01", 4);
  expected += std::string(4, '\0');
  expected += std::string("\x00\x01\x01", 3);
  expected += 'S';
  EXPECT_EQ(packed, expected);

  const std::vector<XploreColumn> read = ParseColumnDescriptor(packed, 1);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].FIELD, "SCH:Date");
  EXPECT_EQ(read[0].WIDTHDLU, 40);
  EXPECT_EQ(read[0].DESCRIPTION, "Basic - Next Date to Perform Task");
  EXPECT_TRUE(read[0].SORTFIELD);
  EXPECT_EQ(read[0].LOCATORTYPE, 'S');
}

TEST(XploreColumns, ADescriptorShorterThanItsCountStopsAtTheLastWholeColumn) {
  XploreColumn second = TaskDate();
  second.FIELD = "SCH:Time";
  const std::string packed = PackColumnDescriptor({TaskDate(), second});
  // Asking for more columns than are packed, and cutting the second one short.
  EXPECT_EQ(ParseColumnDescriptor(packed, 5).size(), 2u);
  for (std::size_t cut = 1; cut < packed.size(); cut += 7) {
    const std::vector<XploreColumn> read =
        ParseColumnDescriptor(packed.substr(0, packed.size() - cut), 2);
    EXPECT_LE(read.size(), 1u) << cut;
  }
  // A length byte that claims more than is there.
  EXPECT_TRUE(ParseColumnDescriptor(std::string("\xFF"
                                                "abc",
                                                4),
                                    1)
                  .empty());
}

TEST(XploreColumns, SubOrdersAndAppendedFieldsReadBack) {
  XploreColumnOrder order;
  order.column = "SCH:Date";
  order.fields = {{0, 1, "SCH:Date", 0, "@d6"}, {0, 2, "SCH:Time", 1, "@t3"}};
  const std::vector<XploreColumnOrder> read =
      ParseSubOrderDescriptor(PackSubOrderDescriptor({order}), 1);
  ASSERT_EQ(read.size(), 1u);
  ASSERT_EQ(read[0].fields.size(), 2u);
  EXPECT_EQ(read[0].fields[1].FIELDNAME, "SCH:Time");
  EXPECT_EQ(read[0].fields[1].ASCDESC, 1);
  EXPECT_EQ(read[0].fields[1].SEQ, 2);

  bool apply_all = false;
  std::vector<XploreSubOrder> fields;
  ASSERT_TRUE(ParseAppendDescriptor(PackAppendDescriptor(true, {{0, 0, "SCH:ID", 0, "@n7"}}),
                                    apply_all, fields));
  EXPECT_TRUE(apply_all);
  ASSERT_EQ(fields.size(), 1u);
  EXPECT_EQ(fields[0].FIELDNAME, "SCH:ID");
  EXPECT_FALSE(ParseAppendDescriptor(std::string("\x01\x05\x00", 3), apply_all, fields));
}

}  // namespace
}  // namespace vx
