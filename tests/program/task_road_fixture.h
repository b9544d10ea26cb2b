// A fixture for the task road: fake programs, opener, sound and script rows installed as the
// road's services, a fixed clock, a recorded event log and message boxes, and clean queues.
#pragma once

#include <gtest/gtest.h>
#include <optional>

#include <string>
#include <tuple>
#include <vector>

#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "program/common/exit_code_queue.h"
#include "program/common/program_services.h"
#include "program/common/task_log.h"
#include "program/common/task_road_services.h"
#include "program/script_engine/script_queue.h"
#include "runtime/dates.h"
#include "tests/fakes/fake_process_launcher.h"
#include "tests/fakes/fake_shell_opener.h"
#include "tests/fakes/fake_sound_player.h"
#include "tests/program/script_test_support.h"
#include "tests/support/fixed_clock.h"

namespace vx::test {

class TaskRoadTest : public ::testing::Test {
 protected:
  static constexpr std::int32_t kDay = 80000;
  static constexpr std::int32_t kNoon = 12 * 360000 + 1;

  TaskRoadTest() {
    services.processes = &processes;
    services.shell = &shell;
    services.sound = &sound;
    services.messages = &messages;
    services.steps = &steps;
    services.helper_folder = "/opt/vx/bin";
    services.close_program = [this] { ++close_requests; };
    shell.result = platform::SHELL_FILE_NOT_FOUND;  // no documents unless a test has some
    services.add_message_link = [this](std::string_view title, std::string_view message,
                                       std::string_view alarm, std::int32_t& id) {
      if (fail_link != 0) return fail_link;
      links.emplace_back(title, message, alarm);
      id = static_cast<std::int32_t>(links.size());
      return 0;
    };
  }

  void SetUp() override {
    ScriptQueue.Free();
    ExitCodeQueue.Free();
    ACTIVEQUEUE.buffer = {};
    ADDINGSCRIPTING = 0;
    GLO_USELOG = 0;
    GLO_LOGEXITCODES = 0;
    GLOBALDELAY = 50;
    installed_.emplace(&ProgramServices::task_log,
                       [this](std::string_view text, std::string_view label) {
                         log.push_back(std::string(label) + ": " + std::string(text));
                       });
  }
  void TearDown() override {
    ScriptQueue.Free();
    ExitCodeQueue.Free();
    installed_.reset();
    GLO_USELOG = 0;
    GLO_LOGEXITCODES = 0;
  }

  // The argv[0] of every program start asked for.
  std::vector<std::string> Programs() const {
    std::vector<std::string> out;
    for (const auto& r : processes.requests) out.push_back(r.argv.empty() ? "" : r.argv.front());
    return out;
  }

  test::FixedClock clock{kDay, kNoon};
  test::ScopedClock scoped_clock{clock};
  test::FakeProcessLauncher processes;
  test::FakeShellOpener shell;
  test::FakeSoundPlayer sound;
  RecordingReporter messages;
  FakeScriptSteps steps;
  TaskRoadServices services;
  ScopedTaskRoadServices scoped_services{services};
  std::vector<std::string> log;
  std::optional<ScopedProgramServices> installed_;
  int close_requests = 0;
  int fail_link = 0;  // the error a MSGLINK add gives
  std::vector<std::tuple<std::string, std::string, std::string>> links;  // title, text, alarm
};

}  // namespace vx::test
