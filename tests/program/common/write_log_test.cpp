// The event log: fixed-column lines in the file's own name, written only while logging is on,
// never mixed between threads, and never stopping the program when the file cannot be written.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "datadll/dictionary/event_log_table.h"
#include "datadll/dictionary/globals.h"
#include "program/common/write_log.h"
#include "program/shell_fixture.h"
#include "runtime/locale_formats.h"

namespace vx {
namespace {

class WriteLogTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    GLO_USELOG = 1;
    GLO_DATEFORMAT = "d3";
  }
  void TearDown() override {
    GLO_USELOG = 0;
    GLO_DATEFORMAT = "";
    ShellTest::TearDown();
  }
  static std::vector<std::string> Lines() {
    std::ifstream in("VX98Evnt.LOG");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  static std::string Pad(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
  }
  // The time column follows the desktop's short time layout: pinned to hours and minutes.
  ScopedLocaleFormats locale_{LocaleFormats{}};
};

TEST_F(WriteLogTest, OneFixedColumnLinePerEventInTheLogFile) {
  WriteLog("Task performed: Backup", "Performed");
  WriteLog(std::string(140, 'x'), std::string(40, 'L'));
  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], Pad("JUN 12,2026", 12) + Pad("14:07", 10) + Pad("Performed", 32) +
                          "Task performed: Backup");
  // Label and text are cut at their columns' widths.
  EXPECT_EQ(lines[1], Pad("JUN 12,2026", 12) + Pad("14:07", 10) + std::string(32, 'L') +
                          std::string(128, 'x'));
  EXPECT_TRUE(reporter_.shown.empty());
}

TEST_F(WriteLogTest, NothingIsWrittenWhileLoggingIsOff) {
  GLO_USELOG = 0;
  WriteLog("ignored", "Label");
  EXPECT_FALSE(Exists("VX98Evnt.LOG"));
}

TEST_F(WriteLogTest, TheUsersDateFormatIsUsedUnlessItIsTooWideForItsColumn) {
  LocaleFormats formats;
  formats.short_date = "%d.%m.%Y";
  formats.long_date = "%A, %d %B %Y";
  formats.short_time = "%H:%M";
  ScopedLocaleFormats locale(formats);
  GLO_DATEFORMAT = "d17";
  WriteLog("short", "A");
  GLO_DATEFORMAT = "d18";  // "Friday, 12 June 2026" does not fit in 12 characters
  WriteLog("long", "B");
  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 12), Pad("12.06.2026", 12));
  EXPECT_EQ(lines[1].substr(0, 12), Pad("JUN 12,2026", 12));
}

TEST_F(WriteLogTest, LineBreaksInATextStayOnItsLine) {
  WriteLog("first\r\nsecond", "Label");
  ASSERT_EQ(Lines().size(), 1u);
  EXPECT_NE(Lines()[0].find("first  second"), std::string::npos);
}

TEST_F(WriteLogTest, TheFileIsClosedAfterEvery101LinesAndReopenedByTheNext) {
  storage::File& log = storage::File::For(VX_LOG_TABLE());
  for (int i = 1; i <= 100; ++i) WriteLog("line " + std::to_string(i), "Count");
  EXPECT_TRUE(log.IsOpen());
  WriteLog("line 101", "Count");
  EXPECT_FALSE(log.IsOpen());
  WriteLog("line 102", "Count");
  EXPECT_TRUE(log.IsOpen());
  EXPECT_EQ(Lines().size(), 102u);
}

TEST_F(WriteLogTest, LinesOfSeveralThreadsNeverMix) {
  constexpr int kThreads = 6, kLines = 150;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      const std::string text(100, static_cast<char>('a' + t));
      for (int i = 0; i < kLines; ++i) WriteLog(text, "Thread " + std::to_string(t));
      storage::File& log = storage::File::For(VX_LOG_TABLE());
      if (log.IsOpen()) log.Close();
    });
  }
  for (std::thread& t : threads) t.join();
  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
  for (const std::string& line : lines) {
    ASSERT_EQ(line.size(), 12u + 10u + 32u + 100u) << line;
    const char c = line.back();
    EXPECT_EQ(line.substr(22, 32), Pad("Thread " + std::to_string(c - 'a'), 32));
    EXPECT_EQ(line.substr(54), std::string(100, c));
  }
}

TEST_F(WriteLogTest, ALogThatCannotBeWrittenIsReportedOnceAndTheCallerGoesOn) {
  Write("VX98Evnt.LOG", "");
  ASSERT_EQ(chmod("VX98Evnt.LOG", 0400), 0);
  if (geteuid() == 0) GTEST_SKIP() << "the superuser writes to read-only files";
  for (int i = 0; i < 3; ++i) WriteLog("not written", "Label");
  EXPECT_EQ(Captions(), std::vector<std::string>{"File Access Error"});
  EXPECT_TRUE(halts_.empty());
}

TEST_F(WriteLogTest, ALogFolderInPlaceOfTheFileIsReportedOnceAndTheCallerGoesOn) {
  std::filesystem::create_directory("VX98Evnt.LOG");
  for (int i = 0; i < 3; ++i) WriteLog("not written", "Label");
  ASSERT_EQ(reporter_.shown.size(), 1u);
  // The message names the file by its full path, so the user can find it.
  const std::string path = (std::filesystem::current_path() / "VX98Evnt.LOG").string();
  EXPECT_NE(reporter_.shown[0].text.find(path), std::string::npos) << reporter_.shown[0].text;
  EXPECT_TRUE(halts_.empty());
}

// A log in a folder that takes no new files (a read-only disk, a system folder) is said to be
// unwritable, where it is and why, never "File Not Found".
TEST_F(WriteLogTest, ALogThatCannotBeMadeSaysItCannotBeWrittenWhereAndWhy) {
  struct Case {
    const char* folder;
    const char* why;  // empty: whatever the system says, as long as it is said
  };
  for (const Case& c :
       {Case{"/proc/self", "Its folder does not take new files."}, Case{"/sys", ""}}) {
    SCOPED_TRACE(c.folder);
    reporter_.shown.clear();
    WriteLog("seen", "Label");  // a line that is written clears the report given before
    CloseEventLog();
    std::filesystem::current_path(c.folder);
    const std::string folder =
        std::filesystem::current_path().string();  // /proc/self is /proc/<pid>
    for (int i = 0; i < 3; ++i) WriteLog("not written", "Label");
    std::filesystem::current_path(root());
    ASSERT_EQ(reporter_.shown.size(), 1u);
    const std::string& text = reporter_.shown[0].text;
    EXPECT_EQ(text.rfind("The event log cannot be written: " + folder + "/VX98Evnt.LOG\n\n", 0), 0u)
        << text;
    EXPECT_EQ(text.find("Not Found"), std::string::npos) << text;
    if (*c.why != '\0') {
      EXPECT_NE(text.find(c.why), std::string::npos) << text;
    }
    EXPECT_TRUE(halts_.empty());
  }
}

}  // namespace
}  // namespace vx
