#include "frontend/qt/run_with_qt.h"

#include <unistd.h>
#include <QApplication>
#include <QSessionManager>
#include <QThreadPool>

#include <atomic>
#include <cstdio>
#include <exception>
#include <thread>

#include "frontend/qt/display_probe.h"
#include "frontend/qt/headless_front_end.h"
#include "frontend/qt/page_painter.h"
#include "frontend/qt/qt_front_end.h"
#include "platform/session_end.h"
#include "platform/x11_display.h"
#include "runtime/events.h"
#include "runtime/threads.h"

namespace vx::qt {
namespace {

void Report(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "VX: the program stopped: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "VX: the program stopped on an unknown exception\n");
  }
}

int RunHeadless(const std::function<void()>& main_procedure, HeadlessNote note) {
  std::fprintf(
      stderr,
      "VX: no display; running without windows (message boxes take their default button)\n");
  HeadlessFrontEnd headless(std::move(note));
  SetFrontEnd(&headless);
  std::exception_ptr failure;
  try {
    RunProgram(main_procedure);
  } catch (...) {
    failure = std::current_exception();
  }
  SetFrontEnd(nullptr);
  if (failure) Report(failure);
  return failure ? 1 : 0;
}

// What the program's run and the Qt loop share.
struct QtRun {
  std::thread runtime;
  std::atomic<bool> ended{false};
  std::exception_ptr failure;
  QtFrontEnd* front_end = nullptr;
  HeadlessNote headless_note;
};

// The Qt loop has stopped while the program runs on (the session ended, or the display went
// away): the rest runs headless, and Main is told to close down until it has.
void CloseDownHeadless(QtRun& run) {
  HeadlessFrontEnd headless(std::move(run.headless_note));
  SetFrontEnd(&headless);
  while (!run.ended) {
    // A question asked just before the switch still reached the Qt front end: answer it too.
    run.front_end->AnswerOpenRequests();
    POST(EVENT_CloseDown, 0, 1);
    for (int i = 0; i < 50 && !run.ended; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  run.runtime.join();
  SetFrontEnd(nullptr);
}

// The run in progress, set while RunWithQt runs on the GUI thread: whatever ends the process
// meanwhile is never an ordinary end.
QtRun* gWatchedRun = nullptr;
std::thread::id gGuiThread;

// The display went away under the running program (or the process is being ended from the GUI
// thread for another reason): the program ends as it does at the end of the session (questions
// take their defaults, every window and table is closed, the exit is logged), and the process
// leaves with _exit, destroying nothing that another thread might still be using.
[[noreturn]] void EndAfterDisplayLoss(QtRun& run) {
  gWatchedRun = nullptr;
  if (!run.ended) {
    std::fprintf(
        stderr,
        "VX: the connection to the display was lost; closing down as at the end of the session\n");
    platform::SessionQueryEnd();
    platform::SessionEnd();
    CloseDownHeadless(run);
  } else if (run.runtime.joinable()) {
    run.runtime.join();  // the program had just ended: let it finish
  }
  if (run.failure) Report(run.failure);
  std::fflush(nullptr);
  _exit(run.failure ? 1 : kExitDisplayLost);
}

// Qt ends the process with exit() on the GUI thread when its connection to the display breaks
// (the X server died, a remote display went away). exit() would destroy the program's static
// objects while its threads still run and use them. exit() first destroys the calling
// thread's thread_local objects, so this one, made on the GUI thread, takes over before any of
// that.
struct DisplayLossGuard {
  ~DisplayLossGuard() {
    if (QtRun* const run = gWatchedRun) EndAfterDisplayLoss(*run);
  }
};

// Other versions of Qt's X plugin stop with a fatal message (and abort()) instead: that message
// is taken the same way.
QtMessageHandler gPreviousMessageHandler = nullptr;

void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (gPreviousMessageHandler) gPreviousMessageHandler(type, context, text);
  if (type == QtFatalMsg && gWatchedRun && std::this_thread::get_id() == gGuiThread &&
      text.contains(QLatin1String("X11 connection"))) {
    EndAfterDisplayLoss(*gWatchedRun);
  }
}

}  // namespace

int RunWithQt(int argc, char** argv, std::function<void()> main_procedure,
              HeadlessNote headless_note) {
  if (!DisplayAvailable()) return RunHeadless(main_procedure, std::move(headless_note));

  QApplication app(argc, argv);
  // Qt's raster painter splits every fill taller than about a hundred lines among the threads
  // of the global pool, up to one per core, and each pooled thread then keeps its stack, its
  // malloc arena and a copy of every thread-local object for as long as it lives. The program's
  // windows are small and nothing else of it uses the pool: one pooled thread paints as fast.
  QThreadPool::globalInstance()->setMaxThreadCount(1);
  QApplication::setQuitOnLastWindowClosed(
      false);  // the program ends itself (it may live in the tray)
  // Qt's handler for a broken X connection ends the process from whichever thread met it; the
  // program's own lets that thread go on (the GUI thread's loss is taken by EndAfterDisplayLoss).
  platform::SurviveConnectionLoss(nullptr);
  auto front_end = std::make_unique<QtFrontEnd>();
  SetFrontEnd(front_end.get());
  // Reports measure their texts as the printer and the preview will draw them.
  static const QtTextMeasure report_text_measure;
  report::SetTextMeasure(&report_text_measure);

  QtRun run;
  run.front_end = front_end.get();
  run.headless_note = std::move(headless_note);
  static thread_local DisplayLossGuard display_loss;
  gGuiThread = std::this_thread::get_id();
  gWatchedRun = &run;
  gPreviousMessageHandler = qInstallMessageHandler(OnQtMessage);

#ifndef QT_NO_SESSIONMANAGER
  QObject::connect(&app, &QGuiApplication::commitDataRequest, [](QSessionManager& manager) {
    if (!platform::SessionQueryEnd() && manager.allowsInteraction()) manager.cancel();
  });
#endif
  QObject::connect(&app, &QCoreApplication::aboutToQuit, [&run] {
    // Quitting for any reason but the program's end is the session ending under us.
    if (!run.ended) platform::SessionEnd();
  });

  run.runtime = std::thread([&run, &app, main_procedure] {
    try {
      RunProgram(main_procedure);
    } catch (...) {
      run.failure = std::current_exception();
    }
    run.ended = true;
    QMetaObject::invokeMethod(
        &app, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
  });
  QApplication::exec();

  // The loop can end before the program does (the session ended).
  if (!run.ended) {
    CloseDownHeadless(run);
  } else {
    run.runtime.join();
    SetFrontEnd(nullptr);
  }
  gWatchedRun = nullptr;
  qInstallMessageHandler(gPreviousMessageHandler);
  front_end.reset();
  if (run.failure) Report(run.failure);
  return run.failure ? 1 : 0;
}

}  // namespace vx::qt
