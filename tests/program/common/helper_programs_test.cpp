// The helper programs the task road starts, run for real from the build's program folder: the
// message program reads its hand-over record, the backup copies the data files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/file_conversion.h"
#include "datadll/dictionary/message_link.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "platform/program_folder.h"
#include "runtime/storage/file.h"
#include "runtime/storage/stored_name.h"
#include "support/command_run.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

using HelperRun = test::CommandRun;

constexpr const char* kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY";

// Runs a helper in folder (its command line after `prefix`) and collects its standard output.
HelperRun RunHelper(const std::string& prefix, const std::string& helper, const fs::path& folder,
                    const std::string& args) {
  const fs::path program = platform::RunningProgramFolder() / helper;
  HelperRun run;
  if (!fs::exists(program)) return run;
  return test::RunCommandLine("cd '" + folder.string() + "' && " + prefix + " '" +
                              program.string() + "' " + args);
}
HelperRun RunHelper(const std::string& helper, const fs::path& folder, const std::string& args) {
  return RunHelper("", helper, folder, args);
}

class HelperProgramsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(platform::RunningProgramFolder() / "vx-msg"))
      GTEST_SKIP() << "helpers not built";
    VX_Files_Load();
    old_ = fs::current_path();
    fs::current_path(folder_.path());
  }
  void TearDown() override {
    if (!old_.empty()) fs::current_path(old_);
    if (VX_Files_Loaded()) VX_Files_Unload();
  }

  test::TempFolder folder_{"vx helpers"};
  fs::path old_;
};

TEST_F(HelperProgramsTest, MessageProgramShowsTheRecordItIsGiven) {
  storage::File& link = storage::File::For(MSGLINK_TABLE());
  ASSERT_EQ(link.Create(), 0);
  ASSERT_EQ(ds_FileOpen(link, storage::kReadWriteDenyNone), 0);
  std::int32_t id = 0;
  ASSERT_EQ(AddMessageLink("Backup", "Insert the tape", "", id), 0);
  ASSERT_EQ(AddMessageLink("Call Anna", "About the budget", "ding.wav", id), 0);
  link.Close();

  // Without a display the message window closes at once; nothing is printed.
  const HelperRun shown =
      RunHelper("env -u DISPLAY -u WAYLAND_DISPLAY", "vx-msg", folder_.path(), "ID=2");
  EXPECT_EQ(shown.status, 0);
  EXPECT_EQ(shown.output, "");
  EXPECT_EQ(RunHelper("env -u DISPLAY -u WAYLAND_DISPLAY", "vx-msg", folder_.path(), "id=9").status,
            2);
  EXPECT_EQ(RunHelper("vx-msg", folder_.path(), "ID=x").status, 1);
}

TEST_F(HelperProgramsTest, BackupCopiesTheDataFilesIntoADatedFolder) {
  storage::File& link = storage::File::For(MSGLINK_TABLE());
  ASSERT_EQ(link.Create(), 0);
  ASSERT_EQ(ds_FileOpen(link, storage::kReadWriteDenyNone), 0);
  std::int32_t id = 0;
  ASSERT_EQ(AddMessageLink("Kept", "in the copy", "", id), 0);  // still open while copied
  std::ofstream("PATHS.INI") << "[DATA]\n";

  const std::string database =
      storage::ParseStoredName(MSGLINK_TABLE().StoredName(), MSGLINK_TABLE().driver).path;
  // Without a display the backup program says what it did on its output; with one it opens a
  // window (its own tests).
  const HelperRun made =
      RunHelper(kNoDisplay, "vx-backup", folder_.path(), "'" + database + "' paths.ini");
  EXPECT_EQ(made.status, 0);
  EXPECT_NE(made.output.find("PATHS.INI backed up to " + (folder_.path() / "Backup").string()),
            std::string::npos)
      << made.output;
  EXPECT_EQ(RunHelper(kNoDisplay, "vx-backup", folder_.path(), "paths.ini missing.tps").status, 2);
  link.Close();

  std::vector<fs::path> folders;
  for (const auto& entry : fs::directory_iterator(folder_ / "Backup"))
    folders.push_back(entry.path());
  std::sort(folders.begin(), folders.end());  // "<date>" before "<date>-2"
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[1].filename(), folders[0].filename().string() + "-2");
  EXPECT_TRUE(fs::exists(folders[0] / "PATHS.INI"));  // found whatever its letter case
  EXPECT_TRUE(fs::exists(folders[1] / "PATHS.INI"));

  // The copied database holds the record written before the copy.
  fs::current_path(folders[0]);
  ASSERT_EQ(ds_FileOpen(link, storage::kReadWriteDenyNone), 0);
  ML = MSGLINK_RECORD{};
  ML.ID = 1;
  EXPECT_EQ(link.Get(ML_K_ID), 0);
  EXPECT_EQ(ML.Title.str(), "Kept");
  link.Close();
}

TEST_F(HelperProgramsTest, MaintenanceWithoutADisplayReportsTheTablesAndTheOutcome) {
  storage::File& link = storage::File::For(MSGLINK_TABLE());
  ASSERT_EQ(link.Create(), 0);
  ASSERT_EQ(ds_FileOpen(link, storage::kReadWriteDenyNone), 0);
  std::int32_t id = 0;
  ASSERT_EQ(AddMessageLink("Counted", "once", "", id), 0);
  link.Close();
  const HelperRun run = RunHelper(kNoDisplay, "vx-dbase", folder_.path(), "");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("MSGLINK.TPS UNNAMED: 1 records"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("vx-dbase: The data file is sound: keys rebuilt"), std::string::npos)
      << run.output;
}

TEST_F(HelperProgramsTest, BackupsAreTheirOwnersOnly) {
  // An older "Backup" folder open to everyone, and data files readable by all.
  fs::create_directory("Backup");
  fs::permissions("Backup", fs::perms(0755));
  std::ofstream("VX97.TPS") << "not a database, copied as it is";
  std::ofstream("PATHS.INI") << "[DATA]\n";
  fs::permissions("VX97.TPS", fs::perms(0644));
  storage::File& link = storage::File::For(MSGLINK_TABLE());
  ASSERT_EQ(link.Create(), 0);
  const std::string database =
      storage::ParseStoredName(MSGLINK_TABLE().StoredName(), MSGLINK_TABLE().driver).path;
  const std::string files = "VX97.TPS paths.ini '" + database + "'";
  ASSERT_EQ(
      RunHelper("umask 022; " + std::string(kNoDisplay), "vx-backup", folder_.path(), files).status,
      0);

  EXPECT_EQ(fs::status(folder_ / "Backup").permissions(), fs::perms(0700));
  const fs::path dated = fs::directory_iterator(folder_ / "Backup")->path();
  EXPECT_EQ(fs::status(dated).permissions(), fs::perms(0700));
  for (const char* name : {"VX97.TPS", "PATHS.INI"}) {
    EXPECT_EQ(fs::status(dated / name).permissions(), fs::perms(0600)) << name;
  }
  EXPECT_EQ(fs::status(dated / fs::path(database).filename()).permissions(), fs::perms(0600))
      << database;
}

}  // namespace
}  // namespace vx
