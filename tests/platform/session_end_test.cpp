#include "platform/session_end.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <string>

#include "tests/platform/x11_test_display.h"

namespace vx::platform {
namespace {

TEST(SessionEnd, SigtermAsksAndTellsEveryListenerAndTheProcessLivesOn) {
  test::Inbox<std::string> calls;
  const int first = WatchSessionEnd({[&] {
                                       calls.Put("query 1");
                                       return 1L;
                                     },
                                     [&] { calls.Put("end 1"); }});
  const int second = WatchSessionEnd({[&] {
                                        calls.Put("query 2");
                                        return 0L;
                                      },
                                      [&] { calls.Put("end 2"); }});
  raise(SIGTERM);
  const auto got = calls.WaitFor(4, std::chrono::seconds(5));
  EXPECT_EQ(got, (std::vector<std::string>{"query 1", "query 2", "end 1", "end 2"}))
      << "everyone is asked before anyone is told; a refusal does not stop SIGTERM";
  StopWatchingSessionEnd(first);
  StopWatchingSessionEnd(second);
}

TEST(SessionEnd, TheSessionManagersQuestionNeedsEveryListenersAgreement) {
  long answer = 1;
  int ended = 0;
  EXPECT_TRUE(SessionQueryEnd()) << "nobody listening: nothing stands in the way";
  const int token = WatchSessionEnd({[&] { return answer; }, [&] { ++ended; }});
  EXPECT_TRUE(SessionQueryEnd());
  answer = 0;
  EXPECT_FALSE(SessionQueryEnd());
  SessionEnd();
  EXPECT_EQ(ended, 1);
  StopWatchingSessionEnd(token);
  SessionEnd();
  EXPECT_EQ(ended, 1) << "a stopped listener hears nothing more";
}

TEST(SessionEndDeathTest, WithNoListenerLeftSigtermEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const int token = WatchSessionEnd({[] { return 1L; }, [] {}});
        StopWatchingSessionEnd(token);
        raise(SIGTERM);
        pause();
      },
      ::testing::KilledBySignal(SIGTERM), "");
}

}  // namespace
}  // namespace vx::platform
