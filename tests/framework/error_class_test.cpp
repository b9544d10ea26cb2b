#include "framework/error_class.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace vx {
namespace {

// Records every box and answers with a scripted button (or the default when none is scripted).
class CapturingReporter : public MessageReporter {
 public:
  unsigned Show(const MessageBoxRequest& box) override {
    shown.push_back(box);
    return answer;
  }
  std::vector<MessageBoxRequest> shown;
  unsigned answer = 0;
};

class ErrorClassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    errors.SetReporter(&reporter);
    errors.SetHaltHandler([this](int code, std::string_view text) {
      halts.push_back(std::to_string(code) + ":" + std::string(text));
    });
  }
  ErrorClass errors;
  CapturingReporter reporter;
  std::vector<std::string> halts;
};

TEST_F(ErrorClassTest, SubstitutesDetailsOnce) {
  errors.SetProcedureName("BrowseSchedule   ");
  errors.SetFile("VX97.TPS  ");
  errors.SetField("Priority");
  errors.SetKey("SCH:KeyID");
  errors.SetErrors(46, "Keys need rebuilding   ");
  errors.SetMessageText("1 and 10");
  struct Case {
    const char* text;
    std::string expected;
  };
  const Case cases[] = {
      {"Error: (%Error) accessing %File.",
       "Error: (Keys need rebuilding (46)) accessing VX97.TPS."},
      {"%ErrorCode/%ErrorText", "46/Keys need rebuilding"},
      {"%procedure %FILE %field %Key", "BrowseSchedule VX97.TPS Priority SCH:KeyID"},
      {"The value of %Field must be between %Message.",
       "The value of Priority must be between 1 and 10."},
      {"100% sure, %Unknown stays, %", "100% sure, %Unknown stays, %"},
      {"no %Number", "no 7"},
  };
  for (const auto& c : cases) EXPECT_EQ(errors.SubsString(c.text, 7), c.expected) << c.text;

  // A value that itself looks like a placeholder is not expanded again.
  errors.SetFile("%Procedure");
  EXPECT_EQ(errors.SubsString("%File"), "%Procedure");
}

TEST_F(ErrorClassTest, ThrowShowsTheNumberedMessage) {
  errors.AddMessage({30,
                     ErrorLevel::Notify,
                     "File Access Error",
                     "File (%File) could not be opened.  Error: %Error.",
                     MessageIcon::Exclamation,
                     BUTTON_OK,
                     BUTTON_OK,
                     {}});
  errors.SetErrors(5, "Access denied");
  EXPECT_EQ(errors.ThrowFile(30, "TODO"), ErrorLevel::Notify);
  ASSERT_EQ(reporter.shown.size(), 1u);
  EXPECT_EQ(reporter.shown[0].caption, "File Access Error");
  EXPECT_EQ(reporter.shown[0].text, "File (TODO) could not be opened.  Error: Access denied (5).");
  EXPECT_EQ(reporter.shown[0].icon, MessageIcon::Exclamation);
  EXPECT_TRUE(halts.empty());

  // The standard range message of the framework.
  errors.SetField("Priority");
  errors.ThrowMessage(kMsgRangeError, "1 and 10");
  ASSERT_EQ(reporter.shown.size(), 2u);
  EXPECT_EQ(reporter.shown[1].caption, "Range Error");
  EXPECT_EQ(reporter.shown[1].text, "The value of Priority must be between 1 and 10.");
}

TEST_F(ErrorClassTest, LevelsDecideWhatThrowDoes) {
  const ErrorMessage table[] = {
      {1, ErrorLevel::Benign, "B", "quiet", MessageIcon::None, BUTTON_OK, BUTTON_OK, {}},
      {2, ErrorLevel::Cancel, "C", "quiet", MessageIcon::None, BUTTON_OK, BUTTON_OK, {}},
      {3,
       ErrorLevel::User,
       "Update Cancelled",
       "Are you sure you want to cancel?",
       MessageIcon::Question,
       BUTTON_YES | BUTTON_NO,
       BUTTON_NO,
       {}},
      {4, ErrorLevel::Fatal, "Invalid File", "Error: (%Error) accessing %File.", MessageIcon::Hand,
       BUTTON_OK, BUTTON_OK, "Invalid File!"},
      {5,
       ErrorLevel::Fatal,
       "Disk",
       "Disk trouble on %File",
       MessageIcon::Hand,
       BUTTON_OK,
       BUTTON_OK,
       {}},
      {6,
       ErrorLevel::Program,
       "P",
       "bug in %Procedure",
       MessageIcon::Hand,
       BUTTON_OK,
       BUTTON_OK,
       {}},
  };
  errors.AddMessages(table);
  errors.SetFile("SCHEDULE");

  EXPECT_EQ(errors.Throw(1), ErrorLevel::Benign);
  EXPECT_EQ(errors.Throw(2), ErrorLevel::Cancel);
  EXPECT_TRUE(reporter.shown.empty());

  reporter.answer = BUTTON_YES;
  EXPECT_EQ(errors.Throw(3), ErrorLevel::Benign);
  reporter.answer = BUTTON_NO;
  EXPECT_EQ(errors.Throw(3), ErrorLevel::Cancel);
  reporter.answer = 0;  // no answer: the default (No)
  EXPECT_EQ(errors.Throw(3), ErrorLevel::Cancel);
  reporter.answer = BUTTON_RETRY;  // not offered: the default
  EXPECT_EQ(errors.Throw(3), ErrorLevel::Cancel);

  reporter.answer = 0;
  EXPECT_EQ(errors.Throw(4), ErrorLevel::Fatal);
  EXPECT_EQ(errors.Throw(5), ErrorLevel::Fatal);
  EXPECT_EQ(halts, (std::vector<std::string>{"0:Invalid File!", "0:Disk trouble on SCHEDULE"}));

  errors.SetProcedureName("Main");
  EXPECT_EQ(errors.Throw(6), ErrorLevel::Program);
  EXPECT_EQ(reporter.shown.back().text, "bug in Main");
}

TEST_F(ErrorClassTest, MessageReturnsTheButtonAndNeverHalts) {
  errors.AddMessage({37,
                     ErrorLevel::Fatal,
                     "Record Added",
                     "Add another?",
                     MessageIcon::Question,
                     BUTTON_YES | BUTTON_NO,
                     BUTTON_YES,
                     {}});
  EXPECT_EQ(errors.Message(37), BUTTON_YES);  // default
  reporter.answer = BUTTON_NO;
  EXPECT_EQ(errors.Message(37), BUTTON_NO);
  EXPECT_EQ(reporter.shown.back().buttons, BUTTON_YES | BUTTON_NO);
  EXPECT_EQ(reporter.shown.back().default_button, BUTTON_YES);
  EXPECT_TRUE(halts.empty());
}

TEST_F(ErrorClassTest, UnknownNumberIsAProgramError) {
  errors.SetProcedureName("UpdateSchedule");
  EXPECT_EQ(errors.Throw(999), ErrorLevel::Program);
  ASSERT_EQ(reporter.shown.size(), 1u);
  EXPECT_EQ(reporter.shown[0].text, "Message 999 is not defined (procedure UpdateSchedule).");
  errors.RemoveMessage(kMsgRangeError);
  EXPECT_FALSE(errors.FindMessage(kMsgRangeError).has_value());
  errors.Init();  // back to the standard table
  EXPECT_TRUE(errors.FindMessage(kMsgRangeError).has_value());
}

TEST_F(ErrorClassTest, ProcedureNameAndDetailsBelongToEachThread) {
  errors.SetProcedureName("Main");
  errors.SetFile("main-file");
  std::string seen_name, seen_text;
  std::thread other([&] {
    seen_name = errors.GetProcedureName();  // a new thread starts with none
    errors.SetProcedureName("BrowseSchedule");
    errors.SetFile("browse-file");
    seen_text = errors.SubsString("%Procedure %File");
  });
  other.join();
  EXPECT_EQ(seen_name, "");
  EXPECT_EQ(seen_text, "BrowseSchedule browse-file");
  EXPECT_EQ(errors.SubsString("%Procedure %File"), "Main main-file");

  errors.SetProcedureName("");  // a window's Kill clears the name and the thread's details
  EXPECT_EQ(errors.SubsString("[%Procedure][%File]"), "[][]");
}

TEST_F(ErrorClassTest, ManyThreadsReportAtOnce) {
  errors.AddMessage({30,
                     ErrorLevel::Notify,
                     "X",
                     "%Procedure:%File",
                     MessageIcon::None,
                     BUTTON_OK,
                     BUTTON_OK,
                     {}});
  // The capturing reporter is not thread-safe; a locking one stands in here.
  struct Locked : MessageReporter {
    unsigned Show(const MessageBoxRequest& box) override {
      std::lock_guard lock(m);
      texts.push_back(box.text);
      return BUTTON_OK;
    }
    std::mutex m;
    std::vector<std::string> texts;
  } locked;
  errors.SetReporter(&locked);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      const std::string me = "P" + std::to_string(t);
      errors.SetProcedureName(me);
      for (int i = 0; i < 50; ++i) errors.ThrowFile(30, me + "f");
      errors.SetProcedureName("");
    });
  }
  for (auto& th : threads) th.join();
  ASSERT_EQ(locked.texts.size(), 200u);
  for (const std::string& text : locked.texts) {
    // Each text pairs a procedure with its own thread's file.
    const auto colon = text.find(':');
    ASSERT_NE(colon, std::string::npos);
    EXPECT_EQ(text.substr(colon + 1), text.substr(0, colon) + "f");
  }
}

// The halt comes while other threads run (the front end's GUI thread, message threads) and use
// the program's static objects: the process ends with the halt's code without destroying any.
TEST(ErrorClassDeathTest, TheDefaultHaltEndsWithItsCodeAndDestroysNoStaticObject) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct InUseElsewhere {
    ~InUseElsewhere() { std::_Exit(99); }  // a destroyed object another thread still used
  };
  EXPECT_EXIT(
      {
        static InUseElsewhere in_use;
        std::thread([] {
          for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }).detach();
        ErrorClass errors;
        errors.Halt(3, "Disk Error");
      },
      ::testing::ExitedWithCode(3), "Disk Error");
  EXPECT_EXIT(ErrorClass().Halt(0, "Cannot proceed."), ::testing::ExitedWithCode(1),
              "Cannot proceed.");
}

}  // namespace
}  // namespace vx
