#include "runtime/threads.h"

#include "runtime/events.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/front_end.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace vx {
namespace {

// A fair lock: threads get it in the order they asked for it.
class TicketLock {
 public:
  void lock() { WaitTurn(TakeTicket()); }
  // A place in the line, taken now and waited on later (a new thread is placed in the line by
  // the thread that starts it, so that it runs before the starter's next turn).
  unsigned long TakeTicket() {
    std::lock_guard l(mutex_);
    return next_++;
  }
  // `spin_for`: how long to watch for the turn before sleeping on it. A thread just woken to
  // run a new procedure spins a moment, since the thread that started it lets go of the lock
  // as soon as it next waits for events: a second sleep and wake-up would cost more.
  void WaitTurn(unsigned long ticket,
                std::chrono::microseconds spin_for = std::chrono::microseconds(0)) {
    if (spin_for.count() > 0) {
      const auto until = std::chrono::steady_clock::now() + spin_for;
      while (serving_.load(std::memory_order_acquire) != ticket &&
             std::chrono::steady_clock::now() < until) {
        CpuRelax();
      }
    }
    std::unique_lock l(mutex_);
    turn_.wait(l, [&] { return serving_.load(std::memory_order_relaxed) == ticket; });
  }
  void unlock() {
    {
      std::lock_guard l(mutex_);
      serving_.fetch_add(1, std::memory_order_release);
    }
    turn_.notify_all();
  }

 private:
  static void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  }

  std::mutex mutex_;
  std::condition_variable turn_;
  unsigned long next_ = 0;
  std::atomic<unsigned long> serving_{0};  // written under mutex_, watched without it
};

// How long a new thread watches for its first turn before it sleeps on it (see WaitTurn).
constexpr std::chrono::microseconds kFirstTurnSpin{200};

struct ThreadRecord {
  long number = 0;
  EventQueue queue;
  std::thread os_thread;
  bool finished = false;
};

TicketLock g_runtime_lock;

void MarkEnded(long number);
void RunOnThread(ThreadRecord& record, unsigned long ticket, const ThreadProcedure& procedure);

// An operating-system thread made ahead of need and parked until START gives it a procedure.
// Waking a parked thread is much quicker than making one: on a busy machine a new thread may wait
// a whole scheduler tick (milliseconds) for its first turn, while a woken one is placed beside
// its waker and runs as soon as the waker waits. A spare has run nothing before its procedure, so
// the procedure starts as on a new thread (no thread-local state left by another); it runs that
// one procedure and ends as any runtime thread does.
class SpareThread {
 public:
  SpareThread() : hand_over_(std::make_shared<HandOver>()), os_thread_(Park, hand_over_) {}
  ~SpareThread() {
    if (!os_thread_.joinable()) return;  // handed over: its runtime thread joins it
    {
      std::lock_guard l(hand_over_->mutex);
      hand_over_->quit = true;
    }
    hand_over_->wake.notify_one();
    os_thread_.join();
  }
  SpareThread(const SpareThread&) = delete;
  SpareThread& operator=(const SpareThread&) = delete;

  // The parked thread becomes `record`'s and runs the procedure once it has the ticket's turn.
  void Run(ThreadRecord& record, unsigned long ticket, ThreadProcedure procedure) {
    record.os_thread = std::move(os_thread_);
    {
      std::lock_guard l(hand_over_->mutex);
      hand_over_->record = &record;
      hand_over_->ticket = ticket;
      hand_over_->procedure = std::move(procedure);
    }
    hand_over_->wake.notify_one();
  }

 private:
  struct HandOver {
    std::mutex mutex;
    std::condition_variable wake;
    ThreadRecord* record = nullptr;
    unsigned long ticket = 0;
    ThreadProcedure procedure;
    bool quit = false;
  };

  static void Park(std::shared_ptr<HandOver> hand_over) {
    ThreadRecord* record = nullptr;
    unsigned long ticket = 0;
    ThreadProcedure procedure;
    {
      std::unique_lock l(hand_over->mutex);
      hand_over->wake.wait(l, [&] { return hand_over->record != nullptr || hand_over->quit; });
      if (!hand_over->record) return;
      record = hand_over->record;
      ticket = hand_over->ticket;
      procedure = std::move(hand_over->procedure);
    }
    RunOnThread(*record, ticket, procedure);
    MarkEnded(record->number);
  }

  std::shared_ptr<HandOver> hand_over_;
  std::thread os_thread_;
};

// One spare at a time, while a run goes. It is made by a runtime thread as it starts to wait for
// events, without the runtime lock, so that making it delays no other thread's work.
std::mutex g_spare_mutex;
std::unique_ptr<SpareThread> g_spare;
bool g_spare_wanted = false;

std::unique_ptr<SpareThread> TakeSpare() {
  std::lock_guard l(g_spare_mutex);
  return std::move(g_spare);
}

void WantSpares(bool wanted) {
  std::unique_ptr<SpareThread> ending;
  std::lock_guard l(g_spare_mutex);
  g_spare_wanted = wanted;
  if (!wanted) ending = std::move(g_spare);
  // The lock is let go before `ending` is ended and joined.
}

std::mutex g_table_mutex;
std::condition_variable g_thread_ended;
std::map<long, std::shared_ptr<ThreadRecord>> g_threads;  // running threads by number
std::vector<std::shared_ptr<ThreadRecord>> g_ended;       // ended, not yet joined
long g_last_number = 0;
bool g_running = false;
std::atomic<bool> g_closing_down{false};
std::atomic<bool> g_session_ending{false};

std::mutex g_state_mutex;
std::vector<std::function<void()>> g_state_resets;

thread_local ThreadRecord* t_thread = nullptr;
thread_local bool t_holds_lock = false;
thread_local bool t_handed_spare = false;  // since this thread last waited for events

void AcquireRuntimeLock() {
  g_runtime_lock.lock();
  t_holds_lock = true;
}

void AcquireRuntimeLock(unsigned long ticket) {
  g_runtime_lock.WaitTurn(ticket, kFirstTurnSpin);
  t_holds_lock = true;
}

void ReleaseRuntimeLock() {
  t_holds_lock = false;
  g_runtime_lock.unlock();
}

void ResetThreadState() {
  std::vector<std::function<void()>> resets;
  {
    std::lock_guard l(g_state_mutex);
    resets = g_state_resets;
  }
  for (auto& reset : resets) reset();
}

std::shared_ptr<ThreadRecord> FindThread(long number) {
  std::lock_guard l(g_table_mutex);
  auto it = g_threads.find(number);
  return it == g_threads.end() ? nullptr : it->second;
}

void AnnounceThreadEnded(long number) {
  ModelMessage m;
  m.kind = ModelMessage::Kind::ThreadEnded;
  m.thread = number;
  Announce(m);
}

// Parks a thread for the next START unless one is parked already.
void MakeSpare() {
  {
    std::lock_guard l(g_spare_mutex);
    if (g_spare || !g_spare_wanted || g_closing_down) return;
  }
  auto made = std::make_unique<SpareThread>();
  std::lock_guard l(g_spare_mutex);
  // Another thread may have made one meanwhile, or the run ended: this one is then ended again.
  if (!g_spare && g_spare_wanted) g_spare = std::move(made);
}

// Runs one thread's procedure with the lock held; a procedure that throws ends only its thread.
// An ending thread parks the next spare (its own end is no one's wait).
void RunOnThread(ThreadRecord& record, unsigned long ticket, const ThreadProcedure& procedure) {
  t_thread = &record;
  AcquireRuntimeLock(ticket);
  ResetThreadState();
  try {
    procedure();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "runtime thread %ld ended by an exception: %s\n", record.number, e.what());
  }
  AnnounceThreadEnded(record.number);
  ReleaseRuntimeLock();
  t_thread = nullptr;
  MakeSpare();
}

void MarkEnded(long number) {
  {
    std::lock_guard l(g_table_mutex);
    auto it = g_threads.find(number);
    if (it != g_threads.end()) {
      it->second->finished = true;
      g_ended.push_back(it->second);
      g_threads.erase(it);
    }
  }
  g_thread_ended.notify_all();
}

void JoinEnded() {
  std::vector<std::shared_ptr<ThreadRecord>> ended;
  {
    std::lock_guard l(g_table_mutex);
    ended.swap(g_ended);
  }
  for (auto& record : ended) {
    if (record->os_thread.joinable()) record->os_thread.join();
  }
}

// Close down: every thread but the caller is told to close its windows, then waited for. A
// question still open would keep its thread from ever seeing the event: it takes its default.
void EndOtherThreads() {
  g_closing_down = true;
  AnswerOpenQuestions();
  const long self = t_thread ? t_thread->number : 0;
  for (;;) {
    std::vector<std::shared_ptr<ThreadRecord>> running;
    {
      std::lock_guard l(g_table_mutex);
      for (auto& [number, other] : g_threads) {
        if (number != self) running.push_back(other);
      }
    }
    if (running.empty()) break;
    for (auto& other : running) other->queue.Push(Event{EVENT_CloseDown, 0, 0});
    RuntimeUnlocked unlocked;
    std::unique_lock l(g_table_mutex);
    g_thread_ended.wait_for(l, std::chrono::milliseconds(50));
  }
}

}  // namespace

void RunProgram(ThreadProcedure main) {
  auto record = std::make_shared<ThreadRecord>();
  {
    std::lock_guard l(g_table_mutex);
    if (g_running) throw std::logic_error("RunProgram: a run is already going");
    g_running = true;
    g_last_number = 1;
    record->number = 1;
    g_threads[1] = record;
  }
  g_closing_down = false;
  g_session_ending = false;
  WantSpares(true);

  std::exception_ptr failure;
  t_thread = record.get();
  AcquireRuntimeLock();
  ResetThreadState();
  try {
    main();
  } catch (...) {
    failure = std::current_exception();
  }

  g_closing_down = true;
  AnnounceThreadEnded(1);
  MarkEnded(1);
  EndOtherThreads();
  ReleaseRuntimeLock();
  t_thread = nullptr;
  WantSpares(false);
  JoinEnded();
  {
    std::lock_guard l(g_table_mutex);
    g_running = false;
  }
  if (failure) std::rethrow_exception(failure);
}

void CloseOtherThreads() {
  if (THREAD() != 1)
    throw std::logic_error("CloseOtherThreads: only Main's thread ends the others");
  EndOtherThreads();
  JoinEnded();
}

long START(ThreadProcedure procedure, long /*stack*/) {
  JoinEnded();
  auto record = std::make_shared<ThreadRecord>();
  {
    std::lock_guard l(g_table_mutex);
    record->number = ++g_last_number;
    g_threads[record->number] = record;
  }
  ThreadRecord* raw = record.get();
  const unsigned long ticket = g_runtime_lock.TakeTicket();
  if (std::unique_ptr<SpareThread> spare = TakeSpare()) {
    spare->Run(*raw, ticket, std::move(procedure));
    t_handed_spare = true;
  } else {
    record->os_thread = std::thread([raw, ticket, procedure = std::move(procedure)] {
      RunOnThread(*raw, ticket, procedure);
      MarkEnded(raw->number);
    });
  }
  return record->number;
}

void ReadySpareThread() {
  // A thread that has just handed its spare to a new thread leaves the next one to others:
  // making a thread here, between the hand-over and this thread's wait, would keep this thread
  // on its processor while the woken one, placed beside it, waits for it to sleep. The new
  // thread makes one when it waits, or when it ends.
  if (t_handed_spare) {
    t_handed_spare = false;
    return;
  }
  MakeSpare();
}

long THREAD() { return t_thread ? t_thread->number : 0; }

void POST(int event, int control, long thread) {
  Event e;
  e.number = event;
  e.control = control;
  PostEvent(thread, std::move(e));
}

bool PostEvent(long thread, Event event) {
  if (thread == 0) {
    if (!t_thread) return false;
    t_thread->queue.Push(std::move(event));
    return true;
  }
  auto record = FindThread(thread);
  if (!record) return false;
  record->queue.Push(std::move(event));
  return true;
}

void YIELD() { RuntimeUnlocked unlocked; }

void SleepFor(std::chrono::milliseconds duration) {
  RuntimeUnlocked unlocked;
  std::this_thread::sleep_for(duration);
}

EventQueue* CurrentEventQueue() { return t_thread ? &t_thread->queue : nullptr; }

bool ThreadAlive(long thread) { return FindThread(thread) != nullptr; }

bool ClosingDown() { return g_closing_down; }

void MarkSessionEnding() { g_session_ending = true; }

bool SessionEnding() { return g_session_ending; }

RuntimeUnlocked::RuntimeUnlocked() {
  if (t_holds_lock) {
    ReleaseRuntimeLock();
    released_ = true;
  }
}

RuntimeUnlocked::~RuntimeUnlocked() {
  if (released_) AcquireRuntimeLock();
}

void RunWithRuntimeLock(const std::function<void()>& work) {
  if (t_holds_lock) {
    work();
    return;
  }
  AcquireRuntimeLock();
  struct Release {
    ~Release() { ReleaseRuntimeLock(); }
  } release;
  work();
}

void RegisterThreadState(std::function<void()> reset) {
  std::lock_guard l(g_state_mutex);
  g_state_resets.push_back(std::move(reset));
}

}  // namespace vx
