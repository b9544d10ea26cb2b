// Finding the data folder at start-up when PATHS.INI names a folder that is gone (an unmounted
// disk): the user is told which folder is missing before being offered another, and told
// where a new database will be made.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "program/shell/program_body.h"
#include "runtime/ini_file.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

using DataFolderTest = test::WindowTest;

TEST_F(DataFolderTest, AMissingDataFolderIsNamedBeforeAnotherIsOffered) {
  const fs::path start = fs::current_path();
  const fs::path gone = start / "unmounted" / "vxdata";
  std::ofstream(start / "PATHS.INI") << "[PATH]\nDATA=" << gone.string() << "\n";
  ui_.AnswerMessage(BUTTON_OK);
  ui_.AnswerFile("");
  ui_.AnswerMessage(BUTTON_OK);
  ui_.Start([] { FindDataFolder(); });
  ui_.Finish();

  const std::vector<SeenRequest> asked = ui_.Requests();
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0].caption, "Data Folder Missing");
  EXPECT_NE(asked[0].text.find(gone.string()), std::string::npos) << asked[0].text;
  EXPECT_EQ(asked[1].caption, "Select data directory");
  EXPECT_EQ(asked[2].caption, "New Database");
  EXPECT_EQ(asked[2].text, "Application data will be created  Folder: " + start.string());
  EXPECT_EQ(fs::current_path(), start);
  // The folder named stays in PATHS.INI for when the disk is back.
  std::ifstream paths(start / "PATHS.INI");
  const std::string text((std::istreambuf_iterator<char>(paths)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find(gone.string()), std::string::npos);
}

TEST_F(DataFolderTest, AFolderChosenInsteadOfTheMissingOneIsUsedAndRemembered) {
  const fs::path start = fs::current_path();
  const fs::path chosen = start / "chosen";
  fs::create_directory(chosen);
  std::ofstream(start / "PATHS.INI") << "[PATH]\nDATA=" << (start / "gone").string() << "\n";
  ui_.AnswerMessage(BUTTON_OK);
  ui_.AnswerFile(chosen.string());
  ui_.Start([] { FindDataFolder(); });
  ui_.Finish();

  const std::vector<SeenRequest> asked = ui_.Requests();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].caption, "Data Folder Missing");
  EXPECT_EQ(fs::current_path(), chosen);
  fs::current_path(start);
  EXPECT_EQ(GETINI("PATH", "DATA", "", ".\\PATHS.INI"), chosen.string());
}

}  // namespace
}  // namespace vx
