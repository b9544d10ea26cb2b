// A database the user marked read-only: it is read without journal files beside it, the user
// is told once, and the scheduler stays inactive so that no task runs without its next run
// being stored.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "datadll/dictionary/configuration_table.h"
#include "datadll/dictionary/globals.h"
#include "program/admin/load_settings.h"
#include "program/common/program_registry.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

class ReadOnlyDatabaseTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ProgramRegistry().INIT(1);  // as the program body does: no box for missing mail defaults
    // A whole database, as a user's is.
    for (const storage::TableDef* table : DictionaryTables()) {
      ASSERT_EQ(storage::File::For(*table).Create(), 0) << table->StoredName();
    }
  }
  void TearDown() override {
    ::chmod("VX97.TPS", 0600);
    STARTUPACTIVE = 0;
    ProgramRegistry().KILL();
    WindowTest::TearDown();
  }
  // Loads the settings as start-up does, on the program's thread; closes what that opened.
  void Load(int times = 1) {
    ui_.Start([times] {
      for (int i = 0; i < times; ++i) LoadSettings();
      storage::File& config = storage::File::For(CONFIGURATION_TABLE());
      while (config.IsOpen()) config.Close();
    });
    ui_.Finish();
  }
};

TEST_F(ReadOnlyDatabaseTest, TheSchedulerStaysInactiveAndTheUserIsToldOnce) {
  ASSERT_EQ(::chmod("VX97.TPS", 0444), 0);
  ui_.AnswerMessage(BUTTON_OK);
  Load(2);  // the Options window loads the settings again

  EXPECT_EQ(STARTUPACTIVE, 0);
  const std::vector<SeenRequest> told = ui_.Messages();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].caption, "Read-Only Database");
  EXPECT_NE(told[0].text.find("VX97.TPS"), std::string::npos) << told[0].text;
  EXPECT_TRUE(reporter_.shown.empty()) << reporter_.shown[0].text;  // no write errors on top
  EXPECT_FALSE(fs::exists("VX97.TPS-wal"));
  EXPECT_FALSE(fs::exists("VX97.TPS-shm"));
}

TEST_F(ReadOnlyDatabaseTest, AWritableDatabaseLeavesTheSchedulerActive) {
  Load();
  EXPECT_EQ(STARTUPACTIVE, 1);
  EXPECT_TRUE(ui_.Messages().empty());
}

}  // namespace
}  // namespace vx
