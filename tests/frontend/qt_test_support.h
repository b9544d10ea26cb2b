// What the Qt front-end tests share: waiting, running on the GUI thread, finding the shown
// windows, and playing the user on a thread of its own while the program runs with Qt.
#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QMetaObject>
#include <QString>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "frontend/qt/display_probe.h"
#include "frontend/qt/qt_window.h"
#include "frontend/qt/run_with_qt.h"
#include "runtime/events.h"
#include "runtime/threads.h"

namespace vx::test {

using namespace std::chrono_literals;

// Waits until `condition` holds, for at most `limit`.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// Runs `f` on the GUI thread and waits for it.
inline void OnGui(const std::function<void()>& f) {
  QMetaObject::invokeMethod(qApp, f, Qt::BlockingQueuedConnection);
}

// The program's windows as the renderer shows them, found by title.
inline qt::QtWindow* ShownWindow(const QString& title) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* window = qobject_cast<qt::QtWindow*>(w);
    if (window && window->windowTitle() == title && window->isVisible()) return window;
  }
  return nullptr;
}

inline qt::QtWindow* WaitShown(const QString& title) {
  qt::QtWindow* found = nullptr;
  WaitFor([&] {
    if (!QCoreApplication::instance()) return false;
    OnGui([&] { found = ShownWindow(title); });
    return found != nullptr;
  });
  return found;
}

// `window`'s control `number` as the renderer made it (a widget of type T), read on the GUI
// thread; nullptr when it has none of that number and type.
template <typename T>
T* ShownControl(QWidget* window, int number) {
  T* found = nullptr;
  const QString name = QStringLiteral("control-%1").arg(number);
  OnGui([&] { found = window->findChild<T*>(name); });
  return found;
}

// Plays the user on a thread of its own while the main thread runs the program with Qt; when
// the user is done (or gave up), Main is told to close down.
inline int RunAsUser(const std::function<void()>& main_procedure,
                     const std::function<void()>& user) {
  std::thread user_thread([&] {
    user();
    POST(EVENT_CloseDown, 0, 1);
  });
  static char name[] = "test_frontend";
  static char* argv[] = {name, nullptr};
  const int status = qt::RunWithQt(1, argv, main_procedure);
  user_thread.join();
  return status;
}

// A GUI application on the offscreen platform while it lives, unless one is running already:
// writing a PDF needs fonts, not a display.
class OffscreenApplication {
 public:
  OffscreenApplication() {
    if (QCoreApplication::instance()) return;
    const char* was = std::getenv("QT_QPA_PLATFORM");
    const std::string previous = was ? was : "";
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app_ = std::make_unique<QApplication>(argc_, argv_);
    if (was) {
      setenv("QT_QPA_PLATFORM", previous.c_str(), 1);
    } else {
      unsetenv("QT_QPA_PLATFORM");
    }
  }
  OffscreenApplication(const OffscreenApplication&) = delete;
  OffscreenApplication& operator=(const OffscreenApplication&) = delete;

 private:
  int argc_ = 1;
  char name_[14] = "test_frontend";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

#define REQUIRE_QT_DISPLAY()                                                          \
  do {                                                                                \
    if (!::vx::qt::DisplayAvailable()) GTEST_SKIP() << "no display (run under Xvfb)"; \
  } while (0)

}  // namespace vx::test
