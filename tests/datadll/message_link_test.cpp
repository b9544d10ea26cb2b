// The MSGLINK hand-over record and the external message program's command line.
#include "datadll/dictionary/message_link.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/file_conversion.h"
#include "datadll/dictionary/message_tables.h"
#include "runtime/storage/file.h"
#include "test_support.h"

namespace vx {
namespace {

using storage::File;

class MessageLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(file().Create(), 0); }
  static File& file() { return File::For(MSGLINK_TABLE()); }
  test::InFreshFolder folder_;
};

TEST_F(MessageLinkTest, RecordsAreNumberedFromOneAndHoldTheMessage) {
  ASSERT_EQ(ds_FileOpen(file(), storage::kReadWriteDenyNone), 0);
  std::int32_t id = 0;
  ASSERT_EQ(AddMessageLink("Backup", "Insert the tape", "ding.wav", id), 0);
  EXPECT_EQ(id, 1);
  ASSERT_EQ(AddMessageLink("Advanced Warning: Backup", "Soon", "", id), 0);
  EXPECT_EQ(id, 2);

  ML = MSGLINK_RECORD{};
  ML.ID = 1;
  ASSERT_EQ(file().Get(ML_K_ID), 0);
  EXPECT_EQ(ML.Title.str(), "Backup");
  EXPECT_EQ(ML.Message.str(), "Insert the tape");
  EXPECT_EQ(ML.AlarmFile.str(), "ding.wav");
  EXPECT_TRUE(ML.Category.blank());
  EXPECT_EQ(MessageProgramCommandLine(id), "VXMsg.EXE ID=2");
  EXPECT_EQ(file().Close(), 0);
}

TEST_F(MessageLinkTest, AddingWithoutOpeningReportsTheFileError) {
  std::int32_t id = -1;
  EXPECT_EQ(AddMessageLink("x", "y", "", id), storage::kNotOpen);
  EXPECT_EQ(id, -1);
}

TEST_F(MessageLinkTest, ThreadsHandingOverAtOnceGetDistinctIds) {
  std::vector<std::int32_t> ids[2];
  std::vector<std::thread> threads;
  for (auto& mine : ids) {
    threads.emplace_back([&mine] {
      ASSERT_EQ(ds_FileOpen(file(), storage::kReadWriteDenyNone), 0);
      for (int i = 0; i < 20; ++i) {
        std::int32_t id = 0;
        ASSERT_EQ(AddMessageLink("t", "m", "", id), 0);
        mine.push_back(id);
      }
      file().Close();
    });
  }
  for (auto& t : threads) t.join();
  std::set<std::int32_t> all(ids[0].begin(), ids[0].end());
  all.insert(ids[1].begin(), ids[1].end());
  EXPECT_EQ(all.size(), 40u);
  EXPECT_EQ(*all.begin(), 1);
  EXPECT_EQ(*all.rbegin(), 40);
}

}  // namespace
}  // namespace vx
