#include "frontend/qt/run_with_qt.h"

#include <QApplication>
#include <QSessionManager>
#include <atomic>
#include <cstdio>
#include <exception>
#include <thread>

#include "frontend/qt/display_probe.h"
#include "frontend/qt/headless_front_end.h"
#include "frontend/qt/qt_front_end.h"
#include "platform/session_end.h"
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
  std::fprintf(stderr, "VX: no display; running without windows (message boxes take their default button)\n");
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

}  // namespace

int RunWithQt(int argc, char** argv, std::function<void()> main_procedure, HeadlessNote headless_note) {
  if (!DisplayAvailable()) return RunHeadless(main_procedure, std::move(headless_note));

  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);  // the program ends itself (it may live in the tray)
  auto front_end = std::make_unique<QtFrontEnd>();
  SetFrontEnd(front_end.get());

  std::atomic<bool> ended{false};
#ifndef QT_NO_SESSIONMANAGER
  QObject::connect(&app, &QGuiApplication::commitDataRequest, [](QSessionManager& manager) {
    if (!platform::SessionQueryEnd() && manager.allowsInteraction()) manager.cancel();
  });
#endif
  QObject::connect(&app, &QCoreApplication::aboutToQuit, [&ended] {
    // Quitting for any reason but the program's end is the session ending under us.
    if (!ended) platform::SessionEnd();
  });

  std::exception_ptr failure;
  std::thread runtime([&] {
    try {
      RunProgram(main_procedure);
    } catch (...) {
      failure = std::current_exception();
    }
    ended = true;
    QMetaObject::invokeMethod(&app, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
  });
  QApplication::exec();

  // The loop can end before the program does (the session ended): the rest runs headless and
  // Main is told to close down.
  HeadlessFrontEnd headless(std::move(headless_note));
  SetFrontEnd(&headless);
  front_end->AnswerOpenRequests();
  while (!ended) {
    POST(EVENT_CloseDown, 0, 1);
    for (int i = 0; i < 50 && !ended; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  runtime.join();
  SetFrontEnd(nullptr);
  front_end.reset();
  if (failure) Report(failure);
  return failure ? 1 : 0;
}

}  // namespace vx::qt
