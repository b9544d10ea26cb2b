// The Qt renderer at rest: a window that nothing changes is neither laid out nor drawn again,
// no timer of the renderer runs faster than once a second, a tray host that starts after the
// icon is heard from the display rather than looked for, and a tray icon is drawn again only
// for a new picture.
#include <gtest/gtest.h>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QSystemTrayIcon>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "frontend/qt/qt_front_end.h"
#include "runtime/events.h"
#include "runtime/window/tray_icon.h"
#include "runtime/window/window.h"
#include "tests/frontend/qt_test_support.h"
#include "tests/frontend/x11_test_input.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using namespace vx::test;

// Counts the layout requests and paints a widget receives.
class EventCounter final : public QObject {
 public:
  explicit EventCounter(QWidget* watched) : watched_(watched) { watched->installEventFilter(this); }
  ~EventCounter() override { watched_->removeEventFilter(this); }
  int layouts = 0, paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::LayoutRequest) ++layouts;
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }

 private:
  QWidget* watched_;
};

// A frame's status bar as Main has it: a hidden zone, one that stretches and two of fixed
// widths. Its second zone's text changes once, on the first timer event.
void StatusFrame() {
  Window w("Resting Frame");
  w.Toolbar().Button("Options");
  w.Toolbar().Image("~wrka.ico");
  w.Toolbar().String("");
  w.Status(1).Hide();
  w.Status(2).Set(Prop::MinWidth, 220);
  w.Status(3).Set(Prop::Width, 72);
  w.Status(4).Set(Prop::Width, 24);
  w.Set(Prop::Frame, true);
  w.Timer(20);
  w.Status(3, "Friday, DEC 11,2026");
  w.Status(4, "02:35");
  w.Status(2, "No tasks pending");
  bool changed = false;
  while (w.Accept()) {
    if (EVENT() == EVENT_Timer && !changed) {
      changed = true;
      w.Status(2, "Next: a task with a long description, due DEC 12,2026 05:50");
      w.Timer(0L);
    }
  }
}

// The window's status bar, once its changed text shows and the server has answered.
QStatusBar* SettledBar(qt::QtWindow* window) {
  QStatusBar* bar = nullptr;
  WaitFor([&] {
    OnGui([&] {
      bar = window->statusBar();
      const QList<QLabel*> zones = bar->findChildren<QLabel*>();
      if (zones.size() < 2 || !zones[1]->text().startsWith("Next:")) bar = nullptr;
    });
    return bar != nullptr;
  });
  std::this_thread::sleep_for(300ms);
  return bar;
}

// The event loop turned many times with nothing new: the bar asks for no layout and is not
// drawn, and its least width is what its zones need.
TEST(QtIdleScreen, AStatusBarAtRestIsNeitherLaidOutNorDrawnAgain) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(StatusFrame, [] {
    qt::QtWindow* window = WaitShown("Resting Frame");
    ASSERT_NE(window, nullptr);
    QStatusBar* bar = SettledBar(window);
    ASSERT_NE(bar, nullptr);
    OnGui([&] {
      EventCounter counter(bar);
      for (int i = 0; i < 50; ++i) QCoreApplication::processEvents();
      EXPECT_EQ(counter.layouts, 0);
      EXPECT_EQ(counter.paints, 0);
      EXPECT_EQ(bar->minimumWidth(), bar->minimumSizeHint().width())
          << "the bar keeps the width its zones need after the text changed";
    });
  });
  EXPECT_EQ(status, 0);
}

// Every timer of the renderer's objects and widgets, with its interval in milliseconds.
std::vector<std::pair<std::string, int>> RunningTimers(QObject* front_end) {
  std::vector<std::pair<std::string, int>> timers;
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  auto add = [&](QObject* object) {
    for (const auto& timer : dispatcher->registeredTimers(object)) {
      timers.emplace_back(object->metaObject()->className(), timer.interval);
    }
  };
  add(front_end);
  for (QObject* child : front_end->findChildren<QObject*>()) add(child);
  for (QWidget* widget : QApplication::allWidgets()) add(widget);
  return timers;
}

// A window with a tray icon. Once told to, it gives the icon a new tip on each of five timer
// events, as Main does when the next task changes.
struct TrayProgram {
  std::atomic<int> tray_id{0};
  std::atomic<bool> change_tips{false};
  std::atomic<int> tips_changed{0};
  void operator()() {
    Window w("Tray Frame");
    w.String("A window with a tray icon");
    TrayIcon tray;
    tray.Add("tray_ico", "Varnodex test", EVENT_TrayLeftClick, EVENT_TrayRightClick, 0, 0);
    tray_id = tray.Id();
    w.Timer(5);
    while (w.Accept()) {
      if (EVENT() == EVENT_Timer && change_tips && tips_changed < 5) {
        tray.SetTip("Next task " + std::to_string(++tips_changed));
      }
    }
  }
};

qt::QtFrontEnd* WaitFrontEnd(TrayProgram& program) {
  qt::QtFrontEnd* front_end = nullptr;
  WaitFor([&] {
    front_end = dynamic_cast<qt::QtFrontEnd*>(CurrentFrontEnd());
    return front_end && program.tray_id != 0;
  });
  return front_end;
}

// The icon's own small window once a host took it in; null before.
QWidget* DockedIcon() {
  QWidget* docked = nullptr;
  OnGui([&] {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->inherits("QSystemTrayIconSys") && w->isVisible()) docked = w;
    }
  });
  return docked;
}

bool Docked() { return DockedIcon() != nullptr; }

// With a tray icon waiting for a host that is not there, and a window at rest, nothing of the
// renderer wakes up more often than once a second; the icon docks once a host starts.
TEST(QtIdleScreen, AnIconWaitingForATrayHostPollsForNoneAndDocksWhenOneStarts) {
  REQUIRE_QT_DISPLAY();
  TrayProgram program;
  const int status = RunAsUser(std::ref(program), [&] {
    ASSERT_NE(WaitShown("Tray Frame"), nullptr);
    qt::QtFrontEnd* front_end = WaitFrontEnd(program);
    ASSERT_NE(front_end, nullptr);
    std::this_thread::sleep_for(500ms);  // the window's own opening timers have run
    bool host = true;
    OnGui([&] { host = QSystemTrayIcon::isSystemTrayAvailable(); });
    if (host) GTEST_SKIP() << "another tray host runs on the display";
    OnGui([&] {
      for (const auto& [object, interval] : RunningTimers(front_end)) {
        EXPECT_GE(interval, 1000) << "a timer of " << object << " every " << interval << " ms";
      }
    });
    TrayHost tray_host;
    if (!tray_host.Started()) GTEST_SKIP() << "trayer is not installed";
    EXPECT_TRUE(WaitFor(Docked, 15s)) << "the icon goes into the host that started";
  });
  EXPECT_EQ(status, 0);
}

// A new tip is not a new picture: the docked icon is not drawn again when only its tip changes.
TEST(QtIdleScreen, ATrayIconWhoseTipChangesIsNotDrawnAgain) {
  REQUIRE_QT_DISPLAY();
  TrayHost tray_host;
  if (!tray_host.Started()) GTEST_SKIP() << "trayer is not installed";
  TrayProgram program;
  const int status = RunAsUser(std::ref(program), [&] {
    qt::QtFrontEnd* front_end = WaitFrontEnd(program);
    ASSERT_NE(front_end, nullptr);
    ASSERT_TRUE(WaitFor(Docked, 15s)) << "the icon docks";
    std::this_thread::sleep_for(500ms);  // the host has shown it
    QWidget* icon = DockedIcon();
    ASSERT_NE(icon, nullptr);
    std::unique_ptr<EventCounter> counter;
    OnGui([&] { counter = std::make_unique<EventCounter>(icon); });
    program.change_tips = true;
    const bool last_tip = WaitFor([&] {
      QString tip;
      OnGui([&] {
        if (QSystemTrayIcon* tray = front_end->Tray(program.tray_id)) tip = tray->toolTip();
      });
      return tip == "Next task 5";
    });
    std::this_thread::sleep_for(200ms);  // a repaint the last change asked for has come
    OnGui([&] {
      EXPECT_TRUE(last_tip) << "the tips reach the icon";
      EXPECT_EQ(counter->paints, 0);
      counter.reset();
    });
  });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace vx
