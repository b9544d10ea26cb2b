// Runtime threads: numbered threads, each with its own event queue, taking turns under one lock.
//
// Program code runs only while its thread holds the runtime lock, so globals and queues that the
// program shares between its threads need no locks of their own. A thread gives the lock up only
// while it blocks: waiting for events, YIELD, message boxes and dialogs, sleeps, the network, a
// child process or a long file operation (wrap such waits in RuntimeUnlocked). The lock is fair:
// a thread that gives it up queues behind the threads already waiting for it.
#pragma once

#include <chrono>
#include <functional>

#include "runtime/event_queue.h"

namespace vx {

using ThreadProcedure = std::function<void()>;

// Runs `main` as runtime thread 1 on the calling thread and returns when it has returned and
// every thread it started has ended: when `main` returns, every thread still running is sent
// EVENT_CloseDown. Thread numbers count from 1 again for each run; starting a run while another
// is going is a programming error (std::logic_error).
void RunProgram(ThreadProcedure main);

// Ends every other thread of the run before Main's thread lets go of what they use (the data
// library): from now on ClosingDown() answers true, questions still open take their default,
// and each thread is sent EVENT_CloseDown until it has ended. Only thread 1 may call it
// (std::logic_error otherwise).
void CloseOtherThreads();

// Starts a procedure on a new runtime thread and answers its number (never reused within a run).
// The new thread runs once the caller gives up the runtime lock. The stack size is accepted for
// the record; threads get the system's default stack.
long START(ThreadProcedure procedure, long stack = 0);

// Makes sure a thread is parked for the next START, so that starting it wakes a thread instead of
// making one. EventQueue::Wait calls it, having given up the runtime lock; it does nothing
// outside a run or while the run closes down, nor on a thread that has handed the spare to a
// new thread since it last waited: the new thread makes it as it waits or ends.
void ReadySpareThread();

// The calling runtime thread's number; 0 on a thread that is not a runtime thread.
long THREAD();

// Puts an event on a thread's queue (thread 0: the calling thread). Any thread may post,
// including a front end's own thread. Posting to a thread that has ended does nothing.
void POST(int event, int control = 0, long thread = 0);
// The same with a whole event (front ends post user input this way). Answers whether the
// thread exists.
bool PostEvent(long thread, Event event);

// Gives other runtime threads a turn.
void YIELD();

// Sleeps without holding the runtime lock.
void SleepFor(std::chrono::milliseconds duration);

// The calling runtime thread's event queue; nullptr off runtime threads.
EventQueue* CurrentEventQueue();

// Whether a runtime thread with this number is running.
bool ThreadAlive(long thread);
// Whether the current run is closing down (Main has returned).
bool ClosingDown();

// Marks the current run as ending with the desktop session (any thread may call it); from then
// until the run ends SessionEnding() answers true. Each run starts with it cleared.
void MarkSessionEnding();
bool SessionEnding();

// Gives the runtime lock up for its lifetime, so other runtime threads can run while this one
// blocks. Does nothing on a thread that does not hold the lock.
class RuntimeUnlocked {
 public:
  RuntimeUnlocked();
  ~RuntimeUnlocked();
  RuntimeUnlocked(const RuntimeUnlocked&) = delete;
  RuntimeUnlocked& operator=(const RuntimeUnlocked&) = delete;

 private:
  bool released_ = false;
};

// Runs `work` holding the runtime lock, for threads that are not runtime threads (a desktop
// listener delivering a hot-key press). On a thread that holds the lock already it just runs.
void RunWithRuntimeLock(const std::function<void()>& work);

// Per-thread state of other layers (record buffers, request globals, the last error code ...):
// each registered reset runs on every runtime thread as it starts, before its procedure.
void RegisterThreadState(std::function<void()> reset);

}  // namespace vx
