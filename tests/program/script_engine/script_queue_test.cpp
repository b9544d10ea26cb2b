// The active script queue: due moments of loaded steps, the transfer conversions, a task's own
// script and the three modes of starting a script file.
#include "program/script_engine/script_queue.h"
#include "program/common/program_services.h"

#include <gtest/gtest.h>
#include <optional>

#include <string>
#include <vector>

#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "program/common/task_log.h"
#include "program/script_engine/start_script.h"
#include "runtime/dates.h"
#include "tests/program/script_test_support.h"
#include "tests/support/fixed_clock.h"

namespace vx {
namespace {

using test::Step;
using Strings = std::vector<std::string>;

constexpr std::int32_t kDay = 80000;
constexpr std::int32_t kNoon = 12 * 360000 + 1;
constexpr std::int32_t kLastHundredth = 8640000;

EXPORT_RECORD Line(std::string_view type, Strings fields = {}) {
  EXPORT_RECORD line;
  line.TYPE = type;
  String<255>* targets[] = {&line.FIELD1, &line.FIELD2, &line.FIELD3,
                            &line.FIELD4, &line.FIELD5, &line.FIELD6};
  for (std::size_t i = 0; i < fields.size(); ++i) *targets[i] = fields[i];
  return line;
}

class ScriptQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ScriptQueue.Free();
    ACTIVEQUEUE.buffer = {};
    GLOBALDELAY = 50;
    SCH.ID = 7;
    installed_.emplace(&ProgramServices::task_log,
                       [this](std::string_view text, std::string_view label) {
                         log.push_back(std::string(label) + ": " + std::string(text));
                       });
  }
  void TearDown() override {
    ScriptQueue.Free();
    installed_.reset();
    SCH = {};
  }

  // "action date time" of every queued entry.
  static Strings Queued() {
    Strings out;
    for (const ScriptQueueEntry& e : ScriptQueue) {
      out.push_back(e.SCR.Action.str() + " " + std::to_string(e.DueDate) + " " +
                    std::to_string(e.DueTime));
    }
    return out;
  }

  static std::string At(std::string_view action, std::int32_t date, std::int32_t time) {
    return std::string(action) + " " + std::to_string(date) + " " + std::to_string(time);
  }

  test::FixedClock clock{kDay, kNoon};
  test::ScopedClock scoped{clock};
  test::FakeScriptSteps steps;
  test::FakeScriptFile file;
  test::RecordingReporter messages;
  Strings log;
  std::optional<ScopedProgramServices> installed_;
};

TEST_F(ScriptQueueTest, TaskScriptStepsAreDueByTheirDelays) {
  steps.Put(Step("Wait", [](auto& s) {
    s.ID = 3;
    s.Sequence = 1;
    s.SecondsToWait = 10;
  }));
  steps.Put(Step("Send Keys", [](auto& s) {
    s.ID = 3;
    s.Sequence = 2;
  }));
  steps.Put(Step("If Window...", [](auto& s) {
    s.ID = 3;
    s.Sequence = 3;
  }));
  steps.Put(Step("Send Keys", [](auto& s) {
    s.ID = 3;
    s.Sequence = 4;
  }));
  steps.Put(Step("Wait", [](auto& s) {  // "Either" mode: no delay, no limit
    s.ID = 3;
    s.Sequence = 5;
    s.SecondsToWait = 30;
    s.TimeElapsed = 99;
    s.DDEApplicationName = "Either";
  }));
  steps.Put(Step("Send Keys", [](auto& s) { s.ID = 4; }));  // another task's step

  EXPECT_EQ(LoadTaskScript(3, steps, messages), 5);
  EXPECT_EQ(Queued(),
            (Strings{At("Wait", kDay, kNoon + 1100), At("Send Keys", kDay, kNoon + 1150),
                     At("If Window...", kDay, kNoon + 1150), At("Send Keys", kDay, kNoon + 1200),
                     At("Wait", kDay, kNoon + 1200), At("**End**", kDay, kNoon + 1200)}));
  EXPECT_EQ(ScriptQueue[5].SCR.TimeElapsed, 0);
  EXPECT_EQ(ScriptQueue[1].SCR.ID, 3);
}

TEST_F(ScriptQueueTest, SecondScriptQueuesBehindTheFirstAndCarriesPastMidnight) {
  clock.Set(kDay, kLastHundredth - 100);  // one second before midnight
  steps.Put(Step("Send Keys", [](auto& s) { s.ID = 3; }));
  LoadTaskScript(3, steps, messages);
  // Start one second later (two gaps), the step one gap after that: past midnight.
  EXPECT_EQ(Queued(), (Strings{At("Send Keys", kDay + 1, 50), At("**End**", kDay + 1, 50)}));

  clock.Set(kDay, kLastHundredth - 1000);  // the queue's last entry lies later than now + 1 s
  LoadTaskScript(3, steps, messages);
  EXPECT_EQ(Queued()[2], At("Send Keys", kDay + 1, 150));
}

TEST_F(ScriptQueueTest, TaskWithoutStepsQueuesNothingAndWalkErrorsAreReported) {
  EXPECT_EQ(LoadTaskScript(3, steps, messages), 0);
  EXPECT_EQ(ScriptQueue.Records(), 0);

  steps.Put(Step("Send Keys", [](auto& s) {
    s.ID = 3;
    s.Sequence = 1;
  }));
  steps.Put(Step("Send Keys", [](auto& s) {
    s.ID = 3;
    s.Sequence = 2;
  }));
  steps.fail_set = true;
  LoadTaskScript(3, steps, messages);
  EXPECT_EQ(log, Strings{"Script: Set Error: Record Not Found"});
  EXPECT_EQ(ScriptQueue.Records(), 0);
  steps.fail_set = false;

  // A failed read, the first as a later one, is shown.
  steps.fail_read_after = 0;
  LoadTaskScript(3, steps, messages);
  EXPECT_EQ(messages.Texts(), Strings{"Error: Error executing script: Record Not Available"});
  EXPECT_EQ(ScriptQueue.Records(), 0);

  steps.fail_read_after = 1;
  LoadTaskScript(3, steps, messages);
  EXPECT_EQ(messages.Texts().back(), "Error: Error executing script: Record Not Available");
  EXPECT_EQ(ScriptQueue.Records(), 2);  // the step read, then its "**End**"
}

TEST_F(ScriptQueueTest, TimeElapsedDeadlineCountsFromTheScriptStartOrTheStepBefore) {
  steps.Put(Step("Wait", [](auto& s) {
    s.ID = 3;
    s.Sequence = 1;
    s.SecondsToWait = 5;
  }));
  steps.Put(Step("If Time Elapsed...", [](auto& s) {
    s.ID = 3;
    s.Sequence = 2;
    s.TimeElapsed = 60;
  }));
  LoadTaskScript(3, steps, messages);
  // A task's script: from its start moment (now + 1 s).
  EXPECT_EQ(ScriptQueue[2].SCR.SecondsToWait, kDay);
  EXPECT_EQ(ScriptQueue[2].SCR.TimeElapsed, kNoon + 100 + 6000);

  ScriptQueue.Free();
  file.files["f.vxs"] = {Line("Wait", {"5"}), Line("If Time Elapsed...", {"Greater than", "60"})};
  StartScript("J", "f.vxs", file, messages);
  // A script file: from the moment of the step before it (after the wait).
  EXPECT_EQ(ScriptQueue[2].SCR.SecondsToWait, kDay);
  EXPECT_EQ(ScriptQueue[2].SCR.TimeElapsed, kNoon + 100 + 500 + 6000);
  EXPECT_EQ(ScriptQueue[2].SCR.IfTimeElapsed, "Greater than");
}

TEST_F(ScriptQueueTest, TransferStepsBecomeProgramStarts) {
  SCRIPTING_RECORD upload = Step("File Actions", [](auto& s) {
    s.DDEType = "FTP Upload";
    s.Command = "/home/me/report one.txt";
    s.Path = "incoming/report.txt";
    s.DDEApplicationName = "ftp.example.org";
    s.DDEApplicationTopic = std::string("anna") + std::string(124, ' ') + "p w";
  });
  ConvertTransferStep(upload);
  EXPECT_EQ(upload.Action, "Start Program");
  EXPECT_EQ(upload.Command,
            "VXFTP U \"/home/me/report one.txt\" \"incoming/report.txt\" ftp.example.org anna");
  EXPECT_EQ(upload.DDECommand, "p w");  // handed over outside the command line
  EXPECT_EQ(upload.DDEApplicationName, "1211");
  EXPECT_EQ(upload.TimeElapsed, 360000);
  EXPECT_TRUE(upload.DDEApplicationTopic.blank());
  EXPECT_TRUE(upload.Path.blank());  // the remote name is no folder to start in

  SCRIPTING_RECORD anonymous = Step("File Actions", [](auto& s) {
    s.DDEType = "FTP Download";
    s.Command = "a";
    s.Path = "b";
    s.DDEApplicationName = "host";
  });
  ConvertTransferStep(anonymous);  // the user keeps its place
  EXPECT_EQ(anonymous.Command, "VXFTP D a b host \"\"");

  SCRIPTING_RECORD get = Step("File Actions", [](auto& s) {
    s.DDEType = "HTTP Download";
    s.Command = "https://example.org/a";
    s.Path = "a.html";
  });
  ConvertTransferStep(get);
  EXPECT_EQ(get.Command, "HTTPGET \"https://example.org/a\" a.html /AUTO");

  SCRIPTING_RECORD copy = Step("File Actions", [](auto& s) { s.DDEType = "Copy"; });
  ConvertTransferStep(copy);
  EXPECT_EQ(copy.Action, "File Actions");

  SCRIPTING_RECORD longest = Step("File Actions", [](auto& s) {
    s.DDEType = "HTTP Download";
    s.Command = std::string(250, 'x');
    s.Path = std::string(250, 'y');
  });
  ConvertTransferStep(longest);  // cut to the field's width
  EXPECT_EQ(longest.Command.clipped().size(), 255u);
}

TEST_F(ScriptQueueTest, EntriesKeepTheLastStartedProgram) {
  ACTIVEQUEUE.buffer.PRGHANDLE = 0xFFFFFFF0u;
  steps.Put(Step("Close Program", [](auto& s) { s.ID = 3; }));
  LoadTaskScript(3, steps, messages);
  EXPECT_EQ(ScriptQueue[1].WindowHandle, -16);
  EXPECT_EQ(ScriptQueue[2].WindowHandle, 0);  // "**End**" has blank fields
}

TEST_F(ScriptQueueTest, StartScriptModes) {
  file.files["f.vxs"] = {Line("Send Keystrokes", {"abc"}), Line("Exit Script")};
  // The running queue: its head is the "Start Script" step being run.
  const auto running_queue = [&] {
    ScriptQueue.Free();
    for (const char* action : {"Start Script", "Set Focus", "**End**"}) {
      ScriptQueue.buffer = {};
      ScriptQueue.buffer.SCR.Action = action;
      ScriptQueue.buffer.DueDate = kDay;
      ScriptQueue.buffer.DueTime = kNoon - 1000;  // already due
      ScriptQueue.Add();
    }
  };
  const std::int32_t first = kNoon + 150, second = kNoon + 200;

  running_queue();
  StartScript("Jump to (Execute and skip)", "f.vxs", file, messages);
  EXPECT_EQ(Queued(), (Strings{At("Send Keys", kDay, first), At("Exit Script", kDay, second)}));
  EXPECT_EQ(ScriptQueue[1].SCR.ID, 7);
  EXPECT_EQ(ScriptQueue[1].SCR.Keystrokes, "abc");

  running_queue();
  StartScript("Insert (Execute and continue)", "f.vxs", file, messages);
  EXPECT_EQ(Queued(),
            (Strings{At("Send Keys", kDay, first), At("Exit Script", kDay, second),
                     At("Set Focus", kDay, kNoon - 1000), At("**End**", kDay, kNoon - 1000)}));

  running_queue();
  StartScript("Append", "f.vxs", file, messages);
  EXPECT_EQ(Queued(), (Strings{At("Set Focus", kDay, kNoon - 1000),
                               At("**End**", kDay, kNoon - 1000), At("Send Keys", kDay, first),
                               At("Exit Script", kDay, second), At("**End**", kDay, second)}));

  // A file that cannot be opened queues nothing; the queue is still replaced.
  running_queue();
  StartScript("J", "missing.vxs", file, messages);
  EXPECT_EQ(ScriptQueue.Records(), 0);
  running_queue();
  StartScript("A", "missing.vxs", file, messages);
  EXPECT_EQ(Queued(),
            (Strings{At("Set Focus", kDay, kNoon - 1000), At("**End**", kDay, kNoon - 1000),
                     At("**End**", kDay, kNoon + 100)}));
  EXPECT_FALSE(file.is_open);
}

TEST_F(ScriptQueueTest, UnknownLinesAreReportedAndQueuedAllTheSame) {
  file.files["f.vxs"] = {Line("Dance", {"x"}), Line("Comment", {"note"}), Line(""),
                         Line("File Actions", {"FTP Upload", "a", "b", "host"})};
  StartScript("J", "f.vxs", file, messages);
  EXPECT_EQ(messages.Texts(), Strings{"Import Error: Unrecognized script action: Dance"});
  EXPECT_EQ(Queued(), (Strings{At("Dance", kDay, kNoon + 150), At("Comment", kDay, kNoon + 200),
                               At("", kDay, kNoon + 250), At("Start Program", kDay, kNoon + 300)}));
  EXPECT_EQ(ScriptQueue[4].SCR.Command, "VXFTP U a b host \"\"");
}

}  // namespace
}  // namespace vx
