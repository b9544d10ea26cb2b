#include "datadll/utility/sys_shutdown_class.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <map>
#include <memory>

#include "platform/session_end.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/front_end.h"
#include "runtime/window/window.h"
#include "tests/platform/x11_test_display.h"

namespace vx {
namespace {

struct FakeWindow {
  test::Inbox<int> posted;
  std::map<int, long> properties;
  WindowLink Link() {
    WindowLink link;
    link.post = [this](int event) { posted.Put(event); };
    link.set_property = [this](int property, long value) { properties[property] = value; };
    return link;
  }
};

TEST(ShutdownClass, TheSessionManagersRequestPosts1041Then1046AndGetsTheAnswers) {
  FakeWindow window;
  SYSSHUTDOWNCLASS shutdown;
  shutdown.INIT(window.Link(), 1, 1);
  EXPECT_EQ(window.properties[31850], 1);
  EXPECT_TRUE(platform::SessionQueryEnd());
  platform::SessionEnd();
  EXPECT_EQ(window.posted.WaitFor(2, std::chrono::seconds(1)),
            (std::vector<int>{EVENT_QueryEndSession, EVENT_EndSession}));

  shutdown.INIT(window.Link(), 0, 1);
  EXPECT_FALSE(platform::SessionQueryEnd()) << "a query answer of 0 refuses";
  shutdown.KILL();
  EXPECT_TRUE(platform::SessionQueryEnd());
  EXPECT_EQ(window.posted.WaitFor(4, std::chrono::milliseconds(50)).size(), 3u)
      << "nothing after KILL";
}

TEST(ShutdownClass, SigtermReachesTheWindowsEventLoopAs1041And1046) {
  std::vector<int> taken;
  RunProgram([&] {
    Window frame("Frame");
    frame.Open();
    SYSSHUTDOWNCLASS shutdown;
    shutdown.INIT(1, 1);  // the current window
    raise(SIGTERM);
    while (frame.Accept()) {
      if (EVENT() == EVENT_QueryEndSession || EVENT() == EVENT_EndSession) taken.push_back(EVENT());
      if (EVENT() == EVENT_EndSession) break;
    }
    shutdown.KILL();
  });
  EXPECT_EQ(taken, (std::vector<int>{EVENT_QueryEndSession, EVENT_EndSession}));
}

// A person who never answers: every question stays open, and the first one brings SIGTERM.
class AbsentPerson final : public FrontEnd {
 public:
  void Announce(const ModelMessage&) override {}
  void Ask(std::shared_ptr<Request>) override {
    if (++asked == 1) raise(SIGTERM);
  }
  std::atomic<int> asked{0};
};

TEST(ShutdownClass, TheSessionEndingAnswersAnOpenQuestionWithItsDefault) {
  AbsentPerson person;
  SetFrontEnd(&person);
  std::vector<unsigned> answers;
  std::vector<int> taken;
  RunProgram([&] {
    Window frame("Frame");
    frame.Open();
    SYSSHUTDOWNCLASS shutdown;
    shutdown.INIT(1, 1);
    answers.push_back(
        MESSAGE("Leave?", "Exit", MessageIcon::Question, BUTTON_YES | BUTTON_NO, BUTTON_NO));
    answers.push_back(
        MESSAGE("Still there?", "Exit", MessageIcon::Question, BUTTON_YES | BUTTON_NO, BUTTON_YES));
    while (frame.Accept()) {
      if (EVENT() == EVENT_QueryEndSession || EVENT() == EVENT_EndSession) taken.push_back(EVENT());
      if (EVENT() == EVENT_EndSession) break;
    }
    shutdown.KILL();
  });
  SetFrontEnd(nullptr);
  EXPECT_EQ(answers, (std::vector<unsigned>{BUTTON_NO, BUTTON_YES})) << "each question's default";
  EXPECT_EQ(person.asked, 1) << "once the session ends, questions are no longer put";
  EXPECT_EQ(taken, (std::vector<int>{EVENT_QueryEndSession, EVENT_EndSession}));
}

}  // namespace
}  // namespace vx
