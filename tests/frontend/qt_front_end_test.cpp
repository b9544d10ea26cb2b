// The Qt front end drawing real windows on the test display: keystrokes and clicks become the
// model's input, the tray icon sits in a real tray host, and the clipboard follows other clients.
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTableView>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "frontend/qt/display_probe.h"
#include "frontend/qt/qt_front_end.h"
#include "frontend/qt/qt_window.h"
#include "frontend/qt/run_with_qt.h"
#include "platform/virtual_keys.h"
#include "platform/x11_fake_keys.h"
#include "runtime/events.h"
#include "runtime/fixed_string.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/tray_icon.h"
#include "runtime/window/window.h"
#include "tests/frontend/x11_test_input.h"

// Qt, fontconfig and the X libraries keep caches for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libQt6\nleak:libX11\nleak:libxcb\nleak:libglib\nleak:libdbus\n";
}

namespace vx {
namespace {

using namespace std::chrono_literals;

// What the program saw, shared with the test's "user" thread.
struct Seen {
  std::mutex mutex;
  std::string name;
  int applied = 0;
  int header_clicks = 0;
  int tray_id = 0;
  std::vector<int> events;
  template <class F>
  auto Read(F f) {
    std::lock_guard l(mutex);
    return f();
  }
};

// Waits until `condition` holds, for at most `limit`.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// Runs `f` on the GUI thread and waits for it.
void OnGui(const std::function<void()>& f) {
  QMetaObject::invokeMethod(qApp, f, Qt::BlockingQueuedConnection);
}

// The program's windows as the renderer shows them, found by title.
qt::QtWindow* ShownWindow(const QString& title) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* window = qobject_cast<qt::QtWindow*>(w);
    if (window && window->windowTitle() == title && window->isVisible()) return window;
  }
  return nullptr;
}

qt::QtWindow* WaitShown(const QString& title) {
  qt::QtWindow* found = nullptr;
  WaitFor([&] {
    if (!QCoreApplication::instance()) return false;
    OnGui([&] { found = ShownWindow(title); });
    return found != nullptr;
  });
  return found;
}

// Plays the user on a thread of its own while the main thread runs the program with Qt; when
// the user is done (or gave up), Main is told to close down.
int RunAsUser(const std::function<void()>& main_procedure, const std::function<void()>& user) {
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

#define REQUIRE_QT_DISPLAY()                                                           \
  do {                                                                                 \
    if (!qt::DisplayAvailable()) GTEST_SKIP() << "no display (run under Xvfb)";        \
  } while (0)

class TaskRows final : public ListSource {
 public:
  std::size_t Records() const override { return 10000; }
  std::vector<std::string> Fields(std::size_t row) const override {
    return {"Task " + std::to_string(row + 1), std::to_string((row + 1) * 3)};
  }
};

void FormProgram(Seen& seen) {
  String<20> name;
  TaskRows rows;
  Window w("Renderer Form");
  w.Prompt("&Name:");
  auto& entry = w.Entry(name, "@s20");
  auto& apply = w.Button("&Apply");
  auto& list = w.List("80L(2)|M~Task~#1#40R(2)|M~Count~#2#");
  list.From(&rows);
  w.Status(1, "Ready");
  while (w.Accept()) {
    if (ACCEPTED() == entry) {
      std::lock_guard l(seen.mutex);
      seen.name = name.str();
    }
    if (ACCEPTED() == apply) {
      w.Status(1, "Applied " + name.str());
      std::lock_guard l(seen.mutex);
      ++seen.applied;
    }
    if (EVENT() == qt::EVENT_HeaderPressed && FIELD() == list) {
      std::lock_guard l(seen.mutex);
      ++seen.header_clicks;
    }
  }
}

// Types "Ada" into the focused entry with real key presses and leaves it with Tab. Tests in
// other processes press keys on the same display now and then, so a garbled try is repeated.
bool TypeAda(QLineEdit* edit, Seen& seen) {
  using platform::FakeKeyChord;
  using platform::kHotKeyShift;
  for (int attempt = 0; attempt < 5; ++attempt) {
    bool focused = false;
    OnGui([&] {
      edit->clear();
      edit->window()->activateWindow();
      edit->setFocus();
    });
    WaitFor([&] {
      OnGui([&] { focused = edit->hasFocus(); });
      return focused;
    }, 3s);
    if (!FakeKeyChord(kHotKeyShift, 'A') || !FakeKeyChord(0, 'D') || !FakeKeyChord(0, 'A')) return false;
    QString typed;
    WaitFor([&] {
      OnGui([&] { typed = edit->text(); });
      return typed == "Ada";
    }, 2s);
    if (typed != "Ada") continue;
    FakeKeyChord(0, 0x09);  // Tab: the entry is done
    if (WaitFor([&] { return seen.Read([&] { return seen.name == "Ada"; }); }, 3s)) return true;
  }
  return false;
}

TEST(QtFrontEnd, AFormTakesKeystrokesAndClicksAndItsListHoldsEveryRow) {
  REQUIRE_QT_DISPLAY();
  Seen seen;
  const std::string screenshot = (std::filesystem::current_path() / "qt_form_screenshot.png").string();
  const int status = RunAsUser([&] { FormProgram(seen); }, [&] {
    qt::QtWindow* window = WaitShown("Renderer Form");
    ASSERT_NE(window, nullptr);
    QLineEdit* entry = nullptr;
    QPushButton* apply = nullptr;
    QTableView* list = nullptr;
    OnGui([&] {
      entry = window->findChild<QLineEdit*>("control-2");
      apply = window->findChild<QPushButton*>("control-3");
      list = window->findChild<QTableView*>("control-4");
    });
    ASSERT_TRUE(entry && apply && list);

    EXPECT_TRUE(TypeAda(entry, seen)) << "the keystrokes reach the model's variable";

    OnGui([&] { apply->click(); });
    EXPECT_TRUE(WaitFor([&] { return seen.Read([&] { return seen.applied == 1; }); }));
    QString status_text;
    WaitFor([&] {
      OnGui([&] {
        auto labels = window->statusBar()->findChildren<QLabel*>();
        status_text = labels.isEmpty() ? QString() : labels.front()->text();
      });
      return status_text == "Applied Ada";
    });
    EXPECT_EQ(status_text.toStdString(), "Applied Ada");

    int rows = 0;
    QString last, header;
    QRect section;
    OnGui([&] {
      rows = list->model()->rowCount();
      last = list->model()->index(rows - 1, 0).data().toString();
      header = list->model()->headerData(1, Qt::Horizontal).toString();
      list->scrollToBottom();
      list->scrollToTop();
      QHeaderView* h = list->horizontalHeader();
      const QPoint corner = h->mapToGlobal(QPoint(h->sectionViewportPosition(0), 0));
      section = QRect(corner, QSize(h->sectionSize(0), h->height()));
    });
    EXPECT_EQ(rows, 10000);
    EXPECT_EQ(last.toStdString(), "Task 10000");
    EXPECT_EQ(header.toStdString(), "Count");

    // A real click on the first column's header.
    for (int attempt = 0; attempt < 5 && !seen.Read([&] { return seen.header_clicks > 0; }); ++attempt) {
      OnGui([&] { window->raise(); });
      test::FakeClick(section.center().x(), section.center().y(), 1);
      WaitFor([&] { return seen.Read([&] { return seen.header_clicks > 0; }); }, 2s);
    }
    EXPECT_GT(seen.Read([&] { return seen.header_clicks; }), 0) << "the header click arrives as an event";

    bool saved = false;
    OnGui([&] { saved = window->grab().save(QString::fromStdString(screenshot)); });
    EXPECT_TRUE(saved);

    OnGui([&] { window->close(); });  // the close box: the program ends the window
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(seen.Read([&] { return seen.name; }), "Ada");
}

TEST(QtFrontEnd, ATrayIconSitsInTheTrayHostAndItsClicksArriveAsEvents) {
  REQUIRE_QT_DISPLAY();
  test::TrayHost host;
  if (!host.Started()) GTEST_SKIP() << "trayer is not installed";
  Seen seen;
  auto program = [&] {
    Window w("Tray Window");
    w.String("A window with a tray icon");
    TrayIcon tray;
    tray.Add("tray_ico", "Varnodex test", EVENT_TrayLeftClick, EVENT_TrayRightClick, EVENT_TrayLeftDoubleClick, 0);
    {
      std::lock_guard l(seen.mutex);
      seen.tray_id = tray.Id();
    }
    while (w.Accept()) {
      std::lock_guard l(seen.mutex);
      if (EVENT() >= EVENT_TrayLeftClick && EVENT() <= EVENT_TrayRightDoubleClick) seen.events.push_back(EVENT());
    }
  };
  const int status = RunAsUser(program, [&] {
    ASSERT_NE(WaitShown("Tray Window"), nullptr);
    const int id = seen.Read([&] { return seen.tray_id; });
    auto* front_end = dynamic_cast<qt::QtFrontEnd*>(CurrentFrontEnd());
    ASSERT_NE(front_end, nullptr);
    QRect place;
    QString tip;
    const bool docked = WaitFor([&] {
      OnGui([&] {
        QSystemTrayIcon* icon = front_end->Tray(id);
        place = icon && QSystemTrayIcon::isSystemTrayAvailable() ? icon->geometry() : QRect();
        tip = icon ? icon->toolTip() : QString();
      });
      return place.width() > 0 && place.height() > 0;
    }, 15s);
    ASSERT_TRUE(docked) << "the icon appears in the tray host";
    EXPECT_EQ(tip.toStdString(), "Varnodex test");

    auto click_until = [&](unsigned button, int event) {
      for (int attempt = 0; attempt < 5; ++attempt) {
        test::FakeClick(place.center().x(), place.center().y(), button);
        if (WaitFor([&] {
              return seen.Read([&] {
                return std::find(seen.events.begin(), seen.events.end(), event) != seen.events.end();
              });
            }, 2s)) {
          return true;
        }
      }
      return false;
    };
    EXPECT_TRUE(click_until(1, EVENT_TrayLeftClick));
    EXPECT_TRUE(click_until(3, EVENT_TrayRightClick));
  });
  EXPECT_EQ(status, 0);
}

TEST(QtFrontEnd, TheModelsClipboardFollowsOtherClientsAndItsWritesReachTheDesktop) {
  REQUIRE_QT_DISPLAY();
  std::atomic<bool> write{false};
  auto program = [&] {
    Window w("Clipboard Window");
    auto& copy = w.Button("&Copy");
    while (w.Accept()) {
      if (ACCEPTED() == copy) SETCLIPBOARD("written by the program");
    }
  };
  const int status = RunAsUser(program, [&] {
    qt::QtWindow* window = WaitShown("Clipboard Window");
    ASSERT_NE(window, nullptr);
    {
      test::ClipboardOwner other("set by another client");
      ASSERT_TRUE(other.Owning());
      EXPECT_TRUE(WaitFor([] { return CLIPBOARD() == "set by another client"; }))
          << "the model's copy is \"" << CLIPBOARD() << "\"";
    }
    OnGui([&] { window->findChild<QPushButton*>("control-1")->click(); });
    QString desktop;
    EXPECT_TRUE(WaitFor([&] {
      OnGui([&] { desktop = QGuiApplication::clipboard()->text(); });
      return desktop == "written by the program";
    }));
    EXPECT_EQ(CLIPBOARD(), "written by the program");
    write = true;
  });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(write);
}

TEST(QtFrontEnd, WithoutADisplayTheProgramRunsAndMessagesTakeTheirDefault) {
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  unsigned answer = 0;
  std::vector<std::string> notes;
  static char name[] = "test_frontend";
  static char* argv[] = {name, nullptr};
  const int status = qt::RunWithQt(1, argv, [&] {
    answer = MESSAGE("Carry on?", "Question", MessageIcon::Question, BUTTON_YES + BUTTON_NO, BUTTON_NO);
  }, [&](const std::string& caption, const std::string& text) { notes.push_back(caption + ": " + text); });
  if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(answer, BUTTON_NO);
  EXPECT_EQ(notes, std::vector<std::string>{"Question: Carry on?"});
}

}  // namespace
}  // namespace vx
