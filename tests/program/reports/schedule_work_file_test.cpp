// The reports' work file on real tables: which runs of which tasks it holds for a date range,
// the cap on one task's runs, cancelling, and the private folder each run's file lives in,
// removed however the run ends and swept at start-up when a crash left it.
#include "program/reports/schedule_work_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "framework/request_globals.h"
#include "program/reports/create_workfile.h"
#include "program/reports/task_runs.h"
#include "runtime/dates.h"
#include "runtime/window/dialogs.h"
#include "support/test_driver.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

// The week of the report: Monday 15 to Sunday 21 June 2026 (today is Friday 12 June).
const std::int32_t kFrom = DATE(6, 15, 2026);
const std::int32_t kTo = DATE(6, 21, 2026);

SCHEDULE_RECORD Task(std::string_view description, std::string_view type, std::int32_t date,
                     std::int32_t time = MakeTime(9, 0)) {
  SCHEDULE_RECORD task;
  task.Description = description;
  task.ScheduleType = type;
  task.Date = date;
  task.Time = time;
  task.Message = "a message the work file leaves out";
  return task;
}

SCHEDULE_RECORD Every(std::string_view description, std::int32_t count, std::string_view unit,
                      std::int32_t date, std::int32_t time = MakeTime(9, 0)) {
  SCHEDULE_RECORD task = Task(description, "Custom", date, time);
  task.Every = count;
  task.EveryType = unit;
  return task;
}

struct Row {
  std::int32_t id;
  std::string description;
  std::int32_t date;
  std::int32_t time;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
  return out << "{" << r.id << " " << r.description << " " << FORMAT(r.date, "@D10") << " "
             << r.time << "}";
}

mode_t Mode(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

class ScheduleWorkFileTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    GLO_DATEFROM = kFrom;
    GLO_DATETO = kTo;
  }

  static void Store(const std::vector<SCHEDULE_RECORD>& tasks) {
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    for (const SCHEDULE_RECORD& task : tasks) {
      SCH = task;
      SCH.ID = 0;
      ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    }
    ACCESS_SCHEDULE->Close();
  }

  // The work file's rows in the order of their ids.
  static std::vector<Row> Rows() {
    std::vector<Row> rows;
    EXPECT_EQ(ACCESS_SCHEDULEWORKFILE->Open(), 0);
    ACCESS_SCHEDULEWORKFILE->Set(SCW_KEYID);
    while (ACCESS_SCHEDULEWORKFILE->TryNext() == 0) {
      rows.push_back({SCW.ID, SCW.Description.str(), SCW.Date, SCW.Time});
      EXPECT_TRUE(SCW.Message.blank()) << SCW.ID;
    }
    ACCESS_SCHEDULEWORKFILE->Close();
    return rows;
  }

  static std::vector<fs::path> RunFolders() {
    std::vector<fs::path> out;
    const fs::path root = ScheduleWorkFilesFolder();
    for (const auto& entry : fs::directory_iterator(root)) out.push_back(entry.path());
    return out;
  }
};

// A progress that stops the pass after `tasks` tasks, as Cancel does.
class StopAfter final : public WorkfileProgress {
 public:
  explicit StopAfter(std::size_t tasks) : left_(tasks) {}
  void Open(std::size_t) override {}
  bool Advance() override { return left_ == 0 ? false : --left_ > 0; }
  void Close() override {}

 private:
  std::size_t left_;
};

// Each task alone over the week of 15 to 21 June: the runs the work file lists for it.
TEST_F(ScheduleWorkFileTest, ListsEachRunOfATaskInsideTheRange) {
  const std::int32_t nine = MakeTime(9, 0);
  struct Case {
    const char* what;
    SCHEDULE_RECORD task;
    std::vector<std::int32_t> dates;  // of the rows, all at the task's time
  };
  const std::vector<Case> cases = {
      {"a one-time task in the range",
       Task("Once", "Once", DATE(6, 17, 2026)),
       {DATE(6, 17, 2026)}},
      {"a one-time task after it", Task("Once", "Once", DATE(6, 22, 2026)), {}},
      {"a daily task from the first day, the last day included",
       Every("Daily", 1, "Days", kFrom),
       {kFrom, kFrom + 1, kFrom + 2, kFrom + 3, kFrom + 4, kFrom + 5, kTo}},
      {"a daily task whose next run is the last day", Every("Daily", 1, "Days", kTo), {kTo}},
      {"a daily task whose next run comes before the range",
       Every("Daily", 1, "Days", DATE(6, 13, 2026)),
       {kFrom, kFrom + 1, kFrom + 2, kFrom + 3, kFrom + 4, kFrom + 5, kTo}},
      {"a weekly task from long before",
       Every("Weekly", 1, "Weeks", DATE(6, 18, 2025)),  // a Wednesday, 52 weeks before
       {DATE(6, 17, 2026)}},
      {"a task on weekdays",
       [] {
         SCHEDULE_RECORD t = Task("Weekdays", "Day of Week", DATE(6, 19, 2026));
         t.Monday = t.Tuesday = t.Wednesday = t.Thursday = t.Friday = 1;
         return t;
       }(),
       {DATE(6, 19, 2026)}},  // Friday; the weekend is not, and Monday 22 is past the range
      {"a daily task ending on the Wednesday",
       [] {
         SCHEDULE_RECORD t = Every("Ending", 1, "Days", kFrom);
         t.ExpiryDate = DATE(6, 17, 2026);
         t.ExpiryTime = MakeTime(12, 0);
         return t;
       }(),
       {kFrom, kFrom + 1, kFrom + 2}},
      {"a task without a date", Every("Undated", 1, "Days", 0), {}},
      {"the history copy of a daily task's run: that run alone, no later ones",
       [] {
         SCHEDULE_RECORD t = Every("Performed", 1, "Days", DATE(6, 16, 2026));
         t.Completed = t.Disabled = 1;
         return t;
       }(),
       {DATE(6, 16, 2026)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    ASSERT_EQ(ACCESS_SCHEDULE->file().Empty(), 0);
    ACCESS_SCHEDULE->Close();
    Store({c.task});
    ScheduleWorkFile work;
    ASSERT_TRUE(work.Ready());
    CreateWorkfile();
    EXPECT_EQ(GLOBALRESPONSE, RequestCompleted);
    std::vector<Row> expected;
    for (std::int32_t date : c.dates) {
      expected.push_back({static_cast<std::int32_t>(expected.size()) + 1,
                          std::string(c.task.Description.clipped()), date, nine});
    }
    EXPECT_EQ(Rows(), expected);
  }
}

// Several tasks together: the rows follow the tasks' next runs, numbered on, and the tasks
// themselves and the thread's SCHEDULE buffer are left as they were.
TEST_F(ScheduleWorkFileTest, NumbersTheRowsOnAndLeavesTheTasksAlone) {
  Store({Every("Every other day", 2, "Days", kTo - 2), Task("Once", "Once", kFrom)});
  SCH = Task("in the buffer", "Once", 1);
  {
    ScheduleWorkFile work;
    CreateWorkfile();
    EXPECT_EQ(Rows(), (std::vector<Row>{{1, "Once", kFrom, MakeTime(9, 0)},
                                        {2, "Every other day", kTo - 2, MakeTime(9, 0)},
                                        {3, "Every other day", kTo, MakeTime(9, 0)}}));
    // Filled again for another range: the rows of the first are gone.
    GLO_DATEFROM = GLO_DATETO = kTo;
    CreateWorkfile();
    EXPECT_EQ(Rows(), (std::vector<Row>{{1, "Every other day", kTo, MakeTime(9, 0)}}));
  }
  EXPECT_EQ(SCH.Description.str(), "in the buffer");
  EXPECT_EQ(StoredTask(1).Date, kTo - 2);
  EXPECT_EQ(StoredTask(1).Completed, 0);
}

// The cap on one task's runs, and the jump over the runs of an old every-minute task before the
// range, which would otherwise use the whole cap before it reached the range.
TEST(ForEachRunInRange, StopsAtTheCapAndJumpsToTheRange) {
  const SCHEDULE_RECORD task = Every("Minutely", 1, "Minutes", DATE(1, 1, 2020), MakeTime(9, 0));
  std::vector<std::int32_t> times;
  const bool capped = ForEachRunInRange(
      task, kFrom, kTo,
      [&](const SCHEDULE_RECORD& run) {
        EXPECT_EQ(run.Date, kFrom);
        times.push_back(run.Time);
        return true;
      },
      3);
  EXPECT_TRUE(capped);
  EXPECT_EQ(times, (std::vector<std::int32_t>{MakeTime(0, 0), MakeTime(0, 1), MakeTime(0, 2)}));
  // Exactly as many runs as the cap: nothing was left out.
  SCHEDULE_RECORD daily = Every("Daily", 1, "Days", kFrom);
  std::size_t runs = 0;
  EXPECT_FALSE(ForEachRunInRange(
      daily, kFrom, kTo,
      [&](const SCHEDULE_RECORD&) {
        ++runs;
        return true;
      },
      7));
  EXPECT_EQ(runs, 7u);
}

// The program's cap: an every-minute task over the week gives the cap's rows and says so.
TEST_F(ScheduleWorkFileTest, AnEveryMinuteTaskIsListedUpToTheCapAndSaidSo) {
  Store({Every("Minutely", 1, "Minutes", kFrom, MakeTime(0, 0))});
  std::size_t rows = 0, capped = 0;
  ui_.Start([&] {
    ScheduleWorkFile work;
    CreateWorkfile();
    rows = Rows().size();
    capped = CappedTasksOfLastWorkfile();
  });
  const SeenRequest said = ui_.WaitMessage(BUTTON_OK);
  ui_.Finish();
  EXPECT_EQ(rows, kMostRunsPerTask);
  EXPECT_EQ(capped, 1u);
  EXPECT_NE(said.text.find("first 10000 runs of 1 task"), std::string::npos) << said.text;
}

// However the run ends, its folder and file are gone afterwards; while it runs they are the
// user's alone.
TEST_F(ScheduleWorkFileTest, TheFileIsPrivateAndGoneOnEveryPath) {
  Store({Every("Daily", 1, "Days", kFrom), Every("Hourly", 1, "Hours", kFrom)});
  enum class End { Completed, Cancelled, Exception };
  for (End end : {End::Completed, End::Cancelled, End::Exception}) {
    SCOPED_TRACE(static_cast<int>(end));
    fs::path folder;
    try {
      ScheduleWorkFile work;
      ASSERT_TRUE(work.Ready());
      folder = work.Folder();
      EXPECT_EQ(Mode(ScheduleWorkFilesFolder()), 0700u);
      EXPECT_EQ(Mode(folder), 0700u);
      EXPECT_EQ(fs::path(GLO_SCHEDULEWORKFILENAME).parent_path(), folder);
      if (end == End::Cancelled) {
        StopAfter stop(1);
        CreateWorkfile(stop);
        EXPECT_EQ(GLOBALRESPONSE, RequestCancelled);
      } else {
        CreateWorkfile();
        EXPECT_EQ(GLOBALRESPONSE, RequestCompleted);
      }
      EXPECT_FALSE(Rows().empty());
      EXPECT_FALSE(fs::is_empty(folder));
      if (end == End::Exception) throw std::runtime_error("the report failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(fs::exists(folder)) << folder;
    EXPECT_FALSE(ACCESS_SCHEDULEWORKFILE->file().IsOpen());
  }
  EXPECT_TRUE(RunFolders().empty());
}

// Two reports at once, in the same hundredth of a second: each has a file of its own.
TEST_F(ScheduleWorkFileTest, TwoRunsAtOnceNeverShareAFile) {
  ScheduleWorkFile first;
  const std::string first_name = GLO_SCHEDULEWORKFILENAME;
  ScheduleWorkFile second;
  EXPECT_NE(first.Folder(), second.Folder());
  EXPECT_NE(GLO_SCHEDULEWORKFILENAME, first_name);
  EXPECT_EQ(RunFolders().size(), 2u);
}

// The progress window: its texts, and Cancel stopping a long pass, after which no file is left.
TEST_F(ScheduleWorkFileTest, CancelInTheProgressWindowLeavesNoFile) {
  // Far more rows than a test waits for: forty every-minute tasks over a year, each to the cap.
  std::vector<SCHEDULE_RECORD> tasks(40, Every("Minutely", 1, "Minutes", kFrom, MakeTime(0, 0)));
  Store(tasks);
  GLO_DATETO = kFrom + 365;
  long response = 0;
  std::size_t rows = 0;
  ui_.Start([&] {
    {
      ScheduleWorkFile work;
      CreateWorkfile();
      response = GLOBALRESPONSE;
      rows = Rows().size();
    }
    MESSAGE("done");
  });
  DriverWindow progress = ui_.WaitWindow("Processing Records");
  EXPECT_EQ(progress.Control("Creating future occurance information").Kind(), ControlType::String);
  progress.Control("Cancel").Press();
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text, "done");
  ui_.Finish();
  EXPECT_EQ(response, RequestCancelled);
  EXPECT_LT(rows, 40 * kMostRunsPerTask);
  EXPECT_TRUE(RunFolders().empty());
}

// At start-up the folders of runs whose program has ended go; those of a running program (this
// one) and anything not made by a run stay.
TEST_F(ScheduleWorkFileTest, TheSweepRemovesOnlyFoldersOfEndedPrograms) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);

  ScheduleWorkFile running;  // this program's own
  const fs::path root = ScheduleWorkFilesFolder();
  const std::string own_pid = std::to_string(::getpid());
  const std::vector<std::string> ended = {
      std::to_string(child) + "-12345-aB3xYz",  // a crashed program
      own_pid + "-1-aB3xYz",                    // an ended one whose id this program has now
  };
  for (const std::string& name : ended) {
    fs::create_directory(root / name);
    std::ofstream(root / name / "vxWrkFil.TPS") << "left";
  }
  fs::create_directory(root / "notes");
  SweepScheduleWorkFiles();
  for (const std::string& name : ended) EXPECT_FALSE(fs::exists(root / name)) << name;
  EXPECT_TRUE(fs::exists(running.Folder()));
  EXPECT_TRUE(fs::exists(root / "notes"));
}

}  // namespace
}  // namespace vx
