// The "File Actions" step on real files in a fresh folder: each verb's effect on disk, the
// variables it leaves for later conditions, and the failures a script must be able to see.
#include "program/script_engine/file_actions.h"
#include "program/common/program_services.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <optional>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "platform/trash.h"
#include "program/common/write_log.h"
#include "program/script_engine/log_windows.h"
#include "program/script_engine/script_variables.h"
#include "program/script_engine/window_search.h"
#include "program/shell_fixture.h"
#include "runtime/text_functions.h"
#include "tests/fakes/fake_desktop_windows.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

class FileActionsTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    VARQ.Free();
  }
  void TearDown() override {
    VARQ.Free();
    GLO_USELOG = 0;
    ShellTest::TearDown();
  }

  // Runs the step as the executor does: verb, first file, second file.
  static std::int64_t Act(std::string_view verb, std::string_view file1,
                          std::string_view file2 = {}) {
    return FileAction("", "", file2, file1, verb);
  }
  // A variable as the script holds it, "(unset)" when there is none.
  static std::string Var(std::string_view name) {
    VAR.NAME = UPPER(name);
    return VARQ.GetBy(&VARQ_RECORD::NAME) == 0 ? VAR.STRINGVALUE.str() : "(unset)";
  }
  // One name given to a verb, with the result and Errorcode it should give.
  struct NameCase {
    const char* name;
    int expected;
    const char* errorcode;
  };
  // Runs verb on each name and checks its result, its variable and Errorcode.
  static void ExpectResults(std::string_view verb, std::string_view variable,
                            const std::vector<NameCase>& cases) {
    for (const NameCase& c : cases) {
      EXPECT_EQ(Act(verb, c.name), c.expected) << verb << " " << c.name;
      EXPECT_EQ(Var(variable), std::to_string(c.expected)) << verb << " " << c.name;
      EXPECT_EQ(Var("Errorcode"), c.errorcode) << verb << " " << c.name;
    }
  }
  // Gives a file the local modification moment y-m-d h:m:s.
  static void Touch(const fs::path& file, int y, int mo, int d, int h, int mi, int s) {
    std::tm local{};
    local.tm_year = y - 1900;
    local.tm_mon = mo - 1;
    local.tm_mday = d;
    local.tm_hour = h;
    local.tm_min = mi;
    local.tm_sec = s;
    local.tm_isdst = -1;
    const timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  }
};

TEST_F(FileActionsTest, ShellVerbsWorkOnDiskAndReportSuccessInTheirVariables) {
  const struct {
    const char* verb;
    const char* file1;
    const char* file2;
    const char* variable;
    std::vector<const char*> present, absent;
  } cases[] = {
      {"Copy", "a.txt", "b.txt", "FileCopy", {"a.txt", "b.txt"}, {}},
      {"Move", "a.txt", "sub\\moved.txt", "FileMove", {"sub/moved.txt"}, {"a.txt"}},
      {"Rename", "a.txt", "renamed.txt", "FileRename", {"renamed.txt"}, {"a.txt"}},
      {"Delete", "a.txt", "", "FileDelete", {}, {"a.txt"}},
      {"Recycle", "a.txt; c.txt", "", "FileDelete", {}, {"a.txt", "c.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.verb);
    for (const char* name : {"a.txt", "c.txt"}) Write(name, "text");
    fs::create_directories("sub");
    VARQ.Free();
    EXPECT_EQ(Act(c.verb, c.file1, c.file2), 0);
    for (const char* name : c.present) EXPECT_EQ(Read(name), "text") << name;
    for (const char* name : c.absent) EXPECT_FALSE(Exists(name)) << name;
    EXPECT_EQ(Var(c.variable), "0");
    EXPECT_EQ(Var("Errorcode"), "0");
    EXPECT_EQ(VARQ.Records(), 2);
  }
  // Recycled files can be restored from the trash; deleted ones are gone for good.
  EXPECT_TRUE(Exists(platform::HomeTrashFolder() / "files" / "c.txt"));
}

TEST_F(FileActionsTest, AFailedShellOperationIsSeenInItsVariableAndErrorcode) {
  EXPECT_EQ(Act("Copy", "missing.txt", "b.txt"), 2);
  EXPECT_EQ(Var("FileCopy"), "2");
  EXPECT_EQ(Var("Errorcode"), "2");
  EXPECT_FALSE(Exists("b.txt"));

  fs::create_directories("folder");
  EXPECT_NE(Act("Delete", "folder"), 0);  // a folder is never deleted for good
  EXPECT_TRUE(Exists("folder"));
  EXPECT_NE(Var("Errorcode"), "0");
}

TEST_F(FileActionsTest, NamesAreExpandedBeforeUse) {
  Write("report.txt", "R");
  SetScriptVariable("report", "Name");
  EXPECT_EQ(Act("Copy", "[Name].txt", "[DATE].log"), 0);
  EXPECT_EQ(Read("20260612.log"), "R");
}

TEST_F(FileActionsTest, AnExpandedNameIsNeverCutToAnotherFilesName) {
  // The whole name is longer than a step's field; its first 255 bytes name another file.
  const std::string folder(200, 'd'), file = std::string(60, 'f') + "-delete-me.txt";
  const std::string whole = folder + "/" + file;
  ASSERT_GT(whole.size(), 255u);
  Write(whole, "x");
  Write(whole.substr(0, 255), "keep");
  SetScriptVariable(folder, "Folder");
  SetScriptVariable(file, "File");
  EXPECT_EQ(Act("Delete", "[Folder]/[File]"), 0);
  EXPECT_FALSE(Exists(whole));
  EXPECT_EQ(Read(whole.substr(0, 255)), "keep");
}

TEST_F(FileActionsTest, FileDateTimeAndSizeOfTheFirstMatchingFile) {
  Write("notes.txt", "hello");
  Touch("notes.txt", 2001, 3, 5, 14, 3, 9);
  Write("early.txt", "abc");
  Touch("early.txt", 2024, 1, 9, 9, 5, 7);
  fs::create_directories("a-folder.txt");  // folders are passed over by the pattern

  EXPECT_EQ(Act("Get File Date", "notes.txt"), DATE(3, 5, 2001));
  EXPECT_EQ(Var("FileDate"), "20010305");
  EXPECT_EQ(Act("Get File Time", "notes.txt"), MakeTime(14, 3, 9));
  EXPECT_EQ(Var("FileTime"), "140309");
  EXPECT_EQ(Act("Get File Size", "notes.txt"), 5);
  EXPECT_EQ(Var("FileSize"), "5");
  EXPECT_EQ(Var("Errorcode"), "0");

  // With a wildcard (letter case ignored) the first match in name order answers.
  EXPECT_EQ(Act("Get File Time", ".\\*.TXT"), MakeTime(9, 5, 7));
  EXPECT_EQ(Var("FileTime"), "090507");
  EXPECT_EQ(Act("Get File Date", "e*"), DATE(1, 9, 2024));
  EXPECT_EQ(Var("FileDate"), "20240109");
  EXPECT_EQ(Act("Get File Size", "*.txt"), 3);
}

TEST_F(FileActionsTest, NothingMatchingGivesZeroesAndFileNotFound) {
  fs::create_directories("folder");
  const std::vector<NameCase> nothing = {
      {"missing.txt", 0, "2"}, {"*.none", 0, "2"}, {"folder", 0, "2"}, {"", 0, "2"}};
  ExpectResults("Get File Date", "FileDate", nothing);
  ExpectResults("Get File Time", "FileTime", nothing);
  ExpectResults("Get File Size", "FileSize", nothing);
}

TEST_F(FileActionsTest, SizesBeyondTwoGigabytesAreReportedWhole) {
  { std::ofstream("big.bin"); }
  fs::resize_file("big.bin", 5'000'000'000);  // sparse: takes no room
  EXPECT_EQ(Act("Get File Size", "big.bin"), 5'000'000'000);
  EXPECT_EQ(Var("FileSize"), "5000000000");
}

TEST_F(FileActionsTest, FileExistsTestsNamesAndPatterns) {
  Write("sub/here.txt", "");
  ExpectResults("File Exists", "FileExists",
                {{"sub\\here.txt", 1, "0"},
                 {"sub", 1, "0"},
                 {"sub\\*.TXT", 1, "0"},
                 {"sub/none.txt", 0, "2"},
                 {"sub/*.doc", 0, "2"},
                 {"", 0, "2"}});
  ExpectResults("If File Exists", "FileExists", {{"sub/here.txt", 1, "0"}, {"sub/*.doc", 0, "2"}});
}

TEST_F(FileActionsTest, MakeDirectoryReportsWhetherTheFolderIsThere) {
  Write("plain-file", "data");
  fs::create_directories("old");
  ExpectResults("Make Directory", "DirCreate",
                {{"new", 1, "0"},
                 {"new\\inner", 1, "0"},
                 {"old", 1, "0"},          // already there
                 {"plain-file", 0, "90"},  // a file is not the folder asked for
                 {"none/inner", 0, "2"},   // only one level is made
                 {"", 0, "2"}});
  EXPECT_TRUE(fs::is_directory("new/inner"));
  EXPECT_EQ(Read("plain-file"), "data");
}

TEST_F(FileActionsTest, RemoveDirectoryRemovesOnlyAnEmptyFolder) {
  fs::create_directories("empty");
  Write("full/keep.txt", "k");
  Write("plain-file", "data");
  ExpectResults("Remove Directory", "DirRemove",
                {{"empty", 1, "0"},
                 {"full", 0, "90"},        // not empty: nothing in it is lost
                 {"plain-file", 0, "90"},  // a file is never removed as a folder
                 {"never-there", 1, "0"},  // nothing is left at the name
                 {"", 0, "2"}});
  EXPECT_FALSE(Exists("empty"));
  EXPECT_EQ(Read("full/keep.txt"), "k");
  EXPECT_EQ(Read("plain-file"), "data");
}

TEST_F(FileActionsTest, AnUnknownVerbDoesNothingAndSetsOnlyErrorcode) {
  Write("a.txt", "A");
  EXPECT_EQ(Act("copy", "a.txt", "b.txt"), 0);  // verbs are case-sensitive
  EXPECT_FALSE(Exists("b.txt"));
  EXPECT_EQ(VARQ.Records(), 1);
  EXPECT_EQ(Var("Errorcode"), "0");  // the runtime's code: nothing was tried, nothing failed
  // A verb with the blanks of its field still counts.
  EXPECT_EQ(Act("Copy      ", "a.txt", "b.txt"), 0);
  EXPECT_TRUE(Exists("b.txt"));
}

TEST_F(FileActionsTest, TheEventLogIsClosedSoAScriptCanMoveItAway) {
  GLO_USELOG = 1;
  WriteLog("before", "Test");
  EXPECT_EQ(Act("Move", "VX98Evnt.LOG", "archive.log"), 0);
  WriteLog("after", "Test");
  EXPECT_NE(Read("archive.log").find("before"), std::string::npos);
  EXPECT_EQ(Read("archive.log").find("after"), std::string::npos);
  EXPECT_NE(Read("VX98Evnt.LOG").find("after"), std::string::npos);
  EXPECT_TRUE(reporter_.shown.empty());  // no line was refused
}

class LogWindowsTest : public FileActionsTest {
 protected:
  void SetUp() override {
    FileActionsTest::SetUp();
    installed_.emplace(&ProgramServices::script_desktop, &windows_);
  }
  void TearDown() override {
    installed_.reset();
    FileActionsTest::TearDown();
  }
  static std::string Pad(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
  }
  test::FakeDesktopWindows windows_;
  std::optional<ScopedProgramServices> installed_;
};

TEST_F(LogWindowsTest, EachWindowAndItsChildrenOneFixedColumnLineEach) {
  windows_.Add(101, "Editor - notes.txt", "Main");
  windows_.Add(202, "Calculator", "Calc");
  windows_.Add(303, "");  // untitled: not listed
  windows_.children[101] = {
      {111, "Text area", "Edit"}, {112, "Tools", "WinPanel"}, {114, "", "Edit"}};
  windows_.children[112] = {{113, "Bold", "Button"}};
  windows_.children[202] = {{2123456789, std::string(50, 'k'), "Button with a long class name"}};

  EXPECT_EQ(Act("Log Windows", "windows.txt"), 3);
  const std::string gap(52, ' ');
  EXPECT_EQ(Read("windows.txt"), Pad("Editor - notes.txt", 40) + "101\n" +                     //
                                     gap + Pad("Text area", 40) + Pad("Edit", 20) + "111\n" +  //
                                     gap + Pad("Tools", 40) + Pad("WinPanel", 20) + "112\n" +  //
                                     Pad("Calculator", 40) + "202\n" +                         //
                                     gap + std::string(40, 'k') + "Button with a long c" +
                                     "2123456789\n" +                                            //
                                     Pad("Tools (Child of Editor - notes.txt)", 40) + "112\n" +  //
                                     gap + Pad("Bold", 40) + Pad("Button", 20) + "113\n");
  EXPECT_EQ(Var("Errorcode"), "0");
  EXPECT_EQ(VARQ.Records(), 1);  // only Errorcode
}

TEST_F(LogWindowsTest, ATreeOfChildWindowsCannotRunAway) {
  // Every window claims the top window as its child: without a limit the list never ends.
  windows_.Add(1, "Loop", "Win");
  windows_.children[1] = {{1, "Again", "Win"}};
  EXPECT_EQ(Act("Log Windows", "windows.txt"), static_cast<std::int64_t>(kMostLoggedWindows));
}

TEST_F(LogWindowsTest, AFileThatCannotBeWrittenListsNothing) {
  windows_.Add(101, "Editor", "Main");
  EXPECT_EQ(Act("Log Windows", "no-such-folder/windows.txt"), 0);
  EXPECT_EQ(Var("Errorcode"), "2");
  EXPECT_EQ(Act("Log Windows", ""), 0);
  EXPECT_EQ(Var("Errorcode"), "2");
}

}  // namespace
}  // namespace vx
