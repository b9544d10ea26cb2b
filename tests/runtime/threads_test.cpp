#include "runtime/threads.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "runtime/events.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/front_end.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

// The tasks (operating-system threads) of this process.
std::set<long> ProcessTasks() {
  std::set<long> tasks;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
    tasks.insert(std::stol(entry.path().filename().string()));
  return tasks;
}

// Once a thread has waited for events, the next START runs on a thread parked beforehand (woken,
// not made), which starts with fresh thread-local state; the parked thread ends with the run.
TEST(Threads, AStartedThreadIsWokenFromASparePrecededByNothing) {
  const std::size_t before = ProcessTasks().size();
  bool parked_before = true;
  int fresh = 0;
  RunProgram([&] {
    static thread_local int runs = 0;
    for (int i = 0; i < 3; ++i) {
      CurrentEventQueue()->Wait(std::chrono::steady_clock::now() + std::chrono::milliseconds(1));
      const std::set<long> tasks = ProcessTasks();
      std::atomic<long> tid{0};
      const long t = START([&] {
        if (++runs == 1) ++fresh;
        tid = gettid();
      });
      while (ThreadAlive(t)) YIELD();
      parked_before = parked_before && tasks.count(tid) > 0;
    }
  });
  EXPECT_TRUE(parked_before);
  EXPECT_EQ(fresh, 3);
  EXPECT_EQ(ProcessTasks().size(), before);
}

// A thread that has handed its spare over makes none as it next waits (that would keep it busy
// while the woken thread waits for its processor): the new thread parks the next spare when it
// waits, so a second thread started meanwhile is woken too.
TEST(Threads, TheThreadAStartedThreadLeftRunningParksTheNextSpare) {
  bool parked_before = false;
  RunProgram([&] {
    const auto wait_a_moment = [] {
      CurrentEventQueue()->Wait(std::chrono::steady_clock::now() + std::chrono::milliseconds(1));
    };
    wait_a_moment();
    const long waiting = START([] {
      CurrentEventQueue()->Wait(std::chrono::steady_clock::now() + std::chrono::seconds(20));
    });
    YIELD();  // it runs until it waits
    wait_a_moment();
    const std::set<long> tasks = ProcessTasks();
    std::atomic<long> tid{0};
    const long t = START([&] { tid = gettid(); });
    while (ThreadAlive(t)) YIELD();
    parked_before = tasks.count(tid) > 0;
    PostEvent(waiting, Event{EVENT_User, 0, 0});
    while (ThreadAlive(waiting)) YIELD();
  });
  EXPECT_TRUE(parked_before);
}

TEST(Threads, MainIsThreadOneAndNumbersAreNeverReused) {
  std::vector<long> seen;
  RunProgram([&] {
    seen.push_back(THREAD());
    for (int i = 0; i < 3; ++i) {
      seen.push_back(START([&] { seen.push_back(-THREAD()); }));
      YIELD();  // the new thread runs to its end before this one goes on
    }
  });
  EXPECT_EQ(seen, (std::vector<long>{1, 2, -2, 3, -3, 4, -4}));
  EXPECT_EQ(THREAD(), 0);  // not a runtime thread
}

TEST(Threads, APostedEventReachesTheOtherThreadsWindow) {
  std::vector<int> got;
  RunProgram([&] {
    const long main_thread = THREAD();
    START([&, main_thread] {
      Window w("Worker");
      while (w.Accept()) {
        if (EVENT() == EVENT_User + 1) {
          got.push_back(FIELD());
          POST(EVENT_User + 2, 0, main_thread);
          w.Post(EVENT_CloseWindow);
        }
      }
    });
    Window w("Main");
    while (w.Accept()) {
      if (EVENT() == EVENT_OpenWindow) POST(EVENT_User + 1, 7, 2);
      if (EVENT() == EVENT_User + 2) {
        got.push_back(-1);
        break;
      }
    }
  });
  EXPECT_EQ(got, (std::vector<int>{7, -1}));
}

TEST(Threads, TheLockIsGivenUpOnlyWhileBlocking) {
  // Three threads increment a shared counter without a lock of their own; none may run between
  // another's read and write, only across its blocking call.
  int shared = 0;
  bool interleaved_without_blocking = false;
  RunProgram([&] {
    auto work = [&] {
      for (int i = 0; i < 200; ++i) {
        const int before = shared;
        std::this_thread::yield();  // an OS yield keeps the runtime lock
        if (shared != before) interleaved_without_blocking = true;
        shared = before + 1;
        SleepFor(std::chrono::milliseconds(0));  // here the others may run
      }
    };
    START(work);
    START(work);
    work();
  });
  EXPECT_EQ(shared, 600);
  EXPECT_FALSE(interleaved_without_blocking);
}

TEST(Threads, PerThreadStateIsResetOnEveryNewThread) {
  static thread_local int request = 0;
  static bool registered = false;
  if (!registered) {
    RegisterThreadState([] { request = 0; });
    registered = true;
  }
  std::vector<int> seen;
  RunProgram([&] {
    request = 4;
    START([&] {
      seen.push_back(request);
      request = 2;
    });
    YIELD();
    seen.push_back(request);
  });
  EXPECT_EQ(seen, (std::vector<int>{0, 4}));
}

TEST(Threads, MainsEndClosesTheOtherThreadsWindows) {
  std::atomic<int> closed{0};
  RunProgram([&] {
    for (int i = 0; i < 3; ++i) {
      START([&] {
        Window w("Child");
        while (w.Accept()) {
        }
        ++closed;
      });
    }
    YIELD();
  });
  EXPECT_EQ(closed, 3);
}

TEST(Threads, TimerTicksMergeAndNeverPileUp) {
  int ticks = 0;
  RunProgram([&] {
    Window w("Timer");
    w.Timer(1);  // every hundredth of a second
    while (w.Accept()) {
      if (EVENT() == EVENT_OpenWindow) {
        // Busy for a while: the missed ticks come as a single one.
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
      }
      if (EVENT() == EVENT_Timer && ++ticks == 1) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        POST(EVENT_CloseWindow);
      }
    }
  });
  EXPECT_EQ(ticks, 1);
}

// A front end whose user never answers a question.
class SilentUser final : public FrontEnd {
 public:
  void Announce(const ModelMessage&) override {}
  void Ask(std::shared_ptr<Request>) override { ++asked; }
  std::atomic<int> asked{0};
};

TEST(Threads, MainEndsTheOtherThreadsBeforeItGoesOnEvenWithAQuestionOpen) {
  SilentUser user;
  SetFrontEnd(&user);
  std::vector<std::string> order;
  unsigned answer = 0;
  RunProgram([&] {
    START([&] {
      Window w("Worker");
      while (w.Accept()) {
        if (EVENT() == EVENT_OpenWindow)
          answer =
              MESSAGE("Save?", "Worker", MessageIcon::Question, BUTTON_YES | BUTTON_NO, BUTTON_NO);
      }
      order.push_back("worker closed");
    });
    START([&] {
      Window w("Idle");
      while (w.Accept()) {
      }
      order.push_back("idle closed");
    });
    while (user.asked == 0) SleepFor(std::chrono::milliseconds(5));
    EXPECT_FALSE(ClosingDown());
    CloseOtherThreads();
    EXPECT_TRUE(ClosingDown());
    order.push_back("main goes on");
    EXPECT_FALSE(ThreadAlive(2));
    EXPECT_FALSE(ThreadAlive(3));
  });
  SetFrontEnd(nullptr);
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(order.back(), "main goes on");
  EXPECT_EQ(answer, BUTTON_NO) << "the open question took its default";
}

TEST(Threads, OnlyMainsThreadEndsTheOthers) {
  bool refused = false;
  RunProgram([&] {
    START([&] {
      try {
        CloseOtherThreads();
      } catch (const std::logic_error&) {
        refused = true;
      }
    });
    YIELD();
  });
  EXPECT_TRUE(refused);
}

}  // namespace
}  // namespace vx
