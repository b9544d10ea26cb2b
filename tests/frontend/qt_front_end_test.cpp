// The Qt front end drawing real windows on the test display: keystrokes and clicks become the
// model's input, the tray icon sits in a real tray host, and the clipboard follows other clients.
#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "frontend/qt/display_probe.h"
#include "frontend/qt/list_table_model.h"
#include "frontend/qt/named_icons.h"
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
#include "tests/frontend/qt_test_support.h"
#include "tests/frontend/x11_test_input.h"

// Qt, fontconfig and the X libraries keep caches for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libQt6\nleak:libX11\nleak:libxcb\nleak:libglib\nleak:libdbus\n";
}

namespace vx {
namespace {

using namespace std::chrono_literals;
using namespace vx::test;  // waiting, the GUI thread and the user's thread

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

class TaskRows final : public ListSource {
 public:
  std::size_t Records() const override { return 10000; }
  std::vector<std::string> Fields(std::size_t row) const override {
    // Text, four colours (0x00BBGGRR: red on white, selected white on blue), icon number, count.
    return {"Task " + std::to_string(row + 1), "255", "16777215", "16777215", "16711680", "1",
            std::to_string((row + 1) * 3)};
  }
};

void FormProgram(Seen& seen) {
  String<20> name;
  TaskRows rows;
  Window w("Renderer Form");
  w.Prompt("&Name:");
  auto& entry = w.Entry(name, "@s20");
  auto& apply = w.Button("&Apply");
  auto& list = w.List("80L(2)|M*I~Task~#1#40R(2)|M~Count~#7#");
  list.IconList({"~done.ico"});
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
    if (EVENT() == EVENT_HeaderPressed && FIELD() == list) {
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
    WaitFor(
        [&] {
          OnGui([&] { focused = edit->hasFocus(); });
          return focused;
        },
        3s);
    if (!FakeKeyChord(kHotKeyShift, 'A') || !FakeKeyChord(0, 'D') || !FakeKeyChord(0, 'A'))
      return false;
    QString typed;
    WaitFor(
        [&] {
          OnGui([&] { typed = edit->text(); });
          return typed == "Ada";
        },
        2s);
    if (typed != "Ada") continue;
    FakeKeyChord(0, 0x09);  // Tab: the entry is done
    if (WaitFor([&] { return seen.Read([&] { return seen.name == "Ada"; }); }, 3s)) return true;
  }
  return false;
}

TEST(QtFrontEnd, AFormTakesKeystrokesAndClicksAndItsListHoldsEveryRow) {
  REQUIRE_QT_DISPLAY();
  Seen seen;
  const std::string screenshot =
      (std::filesystem::current_path() / "qt_form_screenshot.png").string();
  const int status = RunAsUser(
      [&] { FormProgram(seen); },
      [&] {
        qt::QtWindow* window = WaitShown("Renderer Form");
        ASSERT_NE(window, nullptr);
        QLineEdit* entry = ShownControl<QLineEdit>(window, 2);
        QPushButton* apply = ShownControl<QPushButton>(window, 3);
        QTableView* list = ShownControl<QTableView>(window, 4);
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
        QColor fg, selected_bg;
        bool icon = false;
        QRect section;
        OnGui([&] {
          rows = list->model()->rowCount();
          last = list->model()->index(rows - 1, 0).data().toString();
          header = list->model()->headerData(1, Qt::Horizontal).toString();
          const QModelIndex first = list->model()->index(0, 0);
          fg = first.data(Qt::ForegroundRole).value<QColor>();
          selected_bg = first.data(qt::kSelectedBackgroundRole).value<QColor>();
          icon = !first.data(Qt::DecorationRole).value<QIcon>().isNull();
          list->scrollToBottom();
          list->scrollToTop();
          QHeaderView* h = list->horizontalHeader();
          const QPoint corner = h->mapToGlobal(QPoint(h->sectionViewportPosition(0), 0));
          section = QRect(corner, QSize(h->sectionSize(0), h->height()));
        });
        EXPECT_EQ(rows, 10000);
        EXPECT_EQ(last.toStdString(), "Task 10000");
        EXPECT_EQ(header.toStdString(), "Count");
        EXPECT_EQ(fg, QColor(255, 0, 0));
        EXPECT_EQ(selected_bg, QColor(0, 0, 255));
        EXPECT_TRUE(icon);

        // A real click on the first column's header.
        for (int attempt = 0; attempt < 5 && !seen.Read([&] { return seen.header_clicks > 0; });
             ++attempt) {
          OnGui([&] { window->raise(); });
          test::FakeClick(section.center().x(), section.center().y(), 1);
          WaitFor([&] { return seen.Read([&] { return seen.header_clicks > 0; }); }, 2s);
        }
        EXPECT_GT(seen.Read([&] { return seen.header_clicks; }), 0)
            << "the header click arrives as an event";

        bool saved = false;
        OnGui([&] { saved = window->grab().save(QString::fromStdString(screenshot)); });
        EXPECT_TRUE(saved);

        OnGui([&] { window->close(); });  // the close box: the program ends the window
      });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(seen.Read([&] { return seen.name; }), "Ada");
}

// The window's Cursor property becomes its mouse pointer, over its controls too; each press of
// the button takes the next one.
TEST(QtFrontEnd, AWindowsPointerFollowsItsCursorProperty) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(
      [] {
        Window w("Renderer Cursor");
        auto& next = w.Button("&Next");
        const char* cursors[] = {"Wait", "Cross", ""};
        int n = 0;
        while (w.Accept()) {
          if (ACCEPTED() == next) w.Set(Prop::Cursor, cursors[n++ % 3]);
        }
      },
      [] {
        qt::QtWindow* window = WaitShown("Renderer Cursor");
        ASSERT_NE(window, nullptr);
        QPushButton* next = ShownControl<QPushButton>(window, 1);
        ASSERT_NE(next, nullptr);
        auto shapes = [&] {
          std::pair<Qt::CursorShape, Qt::CursorShape> both;
          OnGui([&] { both = {window->cursor().shape(), next->cursor().shape()}; });
          return both;
        };
        EXPECT_EQ(shapes().first, Qt::ArrowCursor);
        for (Qt::CursorShape expected : {Qt::WaitCursor, Qt::CrossCursor, Qt::ArrowCursor}) {
          OnGui([&] { next->click(); });
          EXPECT_TRUE(WaitFor([&] { return shapes().first == expected; })) << expected;
          EXPECT_EQ(shapes().second, expected) << "the button under the window's pointer";
        }
        OnGui([&] { window->close(); });
      });
  EXPECT_EQ(status, 0);
}

// A frame with a menu, a toolbar and a sheet; a question it asks; minimising and restoring.
struct FrameSeen {
  std::mutex mutex;
  std::vector<int> events;
  long tab = 0;
  unsigned answer = 0;
  int run = 0;
};

void FrameProgram(FrameSeen& seen) {
  int enabled = 1;
  std::string notes = "first line";
  Window w("Renderer Frame");
  auto& file = w.Menubar().Menu("&File");
  auto& about = file.Item("&About");
  file.Separator();
  auto& exit = file.Item("E&xit");
  auto& run = w.Toolbar().Button("Run");
  auto& sheet = w.Sheet();
  sheet.Tab("General").Check("&Enabled", enabled);
  auto& more = sheet.Tab("More");
  more.Prompt("Notes:");
  more.Text(notes);
  sheet.Tab("Hidden").Hide();
  w.Set(Prop::Topmost, true);
  while (w.Accept()) {
    std::unique_lock l(seen.mutex);
    seen.events.push_back(EVENT());
    if (EVENT() == EVENT_NewSelection && FIELD() == sheet) seen.tab = sheet.Choice();
    if (ACCEPTED() == run) ++seen.run;
    if (ACCEPTED() == exit) break;
    if (ACCEPTED() == about) {
      l.unlock();
      const unsigned answer =
          MESSAGE("Really?", "About", MessageIcon::Question, BUTTON_YES + BUTTON_NO, BUTTON_NO);
      l.lock();
      seen.answer = answer;
    }
  }
}

TEST(QtFrontEnd, AFrameShowsMenusTabsAndQuestionsAndReportsMinimising) {
  REQUIRE_QT_DISPLAY();
  FrameSeen seen;
  auto saw = [&](auto pred) {
    return WaitFor([&] {
      std::lock_guard l(seen.mutex);
      return pred();
    });
  };
  auto saw_event = [&](int event) {
    return saw([&] {
      return std::find(seen.events.begin(), seen.events.end(), event) != seen.events.end();
    });
  };
  const int status = RunAsUser(
      [&] { FrameProgram(seen); },
      [&] {
        qt::QtWindow* window = WaitShown("Renderer Frame");
        ASSERT_NE(window, nullptr);
        QTabWidget* tabs = nullptr;
        QAction *about = nullptr, *exit = nullptr, *run = nullptr;
        bool topmost = false, hidden_tab_shown = true;
        QStringList menu;
        OnGui([&] {
          tabs = window->findChild<QTabWidget*>();
          about = window->findChild<QAction*>("control-3");
          exit = window->findChild<QAction*>("control-5");
          run = window->findChild<QAction*>("control-7");
          topmost = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
          if (tabs) hidden_tab_shown = tabs->isTabVisible(2);
          if (about) {
            if (auto* file = qobject_cast<QMenu*>(about->parent())) {
              for (QAction* a : file->actions())
                menu << (a->isSeparator() ? QStringLiteral("-") : a->text());
            }
          }
        });
        ASSERT_TRUE(tabs && about && exit && run);
        EXPECT_TRUE(topmost);
        EXPECT_FALSE(hidden_tab_shown);
        EXPECT_EQ(menu.join('|').toStdString(), "&About|-|E&xit");

        OnGui([&] { tabs->tabBar()->setCurrentIndex(1); });
        EXPECT_TRUE(saw([&] { return seen.tab == 2; })) << "choosing a tab reaches the sheet";

        OnGui([&] { run->trigger(); });
        EXPECT_TRUE(saw([&] { return seen.run == 1; }));

        // The question appears as a message box; its buttons answer.
        OnGui([&] { about->trigger(); });
        QString text;
        bool default_is_no = false;
        WaitFor([&] {
          OnGui([&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            text = box->text();
            default_is_no = box->defaultButton() == box->button(QMessageBox::No);
            box->button(QMessageBox::Yes)->click();
          });
          return !text.isEmpty();
        });
        EXPECT_EQ(text.toStdString(), "Really?");
        EXPECT_TRUE(default_is_no);
        EXPECT_TRUE(saw([&] { return seen.answer == BUTTON_YES; }));

        OnGui([&] { window->showMinimized(); });
        EXPECT_TRUE(saw_event(EVENT_Iconized));
        OnGui([&] { window->showNormal(); });
        EXPECT_TRUE(saw_event(EVENT_Restored));

        OnGui([&] { exit->trigger(); });
      });
  EXPECT_EQ(status, 0);
}

// A drop list of colours shows a sample of each colour beside its name; an item without one
// shows none.
TEST(QtFrontEnd, ADropListShowsTheColourSampleOfEachItem) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(
      [] {
        std::string colour = "Red";
        Window window("Samples");
        window.DropList(colour, "None|Red|Navy").Swatches({-1, 0x0000FF, 0x800000});
        while (window.Accept()) {
        }
      },
      [&] {
        qt::QtWindow* window = WaitShown("Samples");
        ASSERT_NE(window, nullptr);
        std::vector<QColor> centres;
        std::vector<bool> none;
        OnGui([&] {
          auto* combo = window->findChild<QComboBox*>();
          if (!combo) return;
          for (int i = 0; i < combo->count(); ++i) {
            const QIcon icon = combo->itemIcon(i);
            none.push_back(icon.isNull());
            const QImage picture = icon.pixmap(combo->iconSize(), 1.0).toImage();
            centres.push_back(picture.isNull() ? QColor()
                                               : picture.pixelColor(picture.rect().center()));
          }
          window->close();
        });
        ASSERT_EQ(none.size(), 3u);
        EXPECT_EQ(none, (std::vector<bool>{true, false, false}));
        EXPECT_EQ(centres[1], QColor(255, 0, 0));
        EXPECT_EQ(centres[2], QColor(0, 0, 128));
      });
  EXPECT_EQ(status, 0);
}

TEST(QtFrontEnd, PopupItemsAndMessageBoxesShowTheirPictures) {
  REQUIRE_QT_DISPLAY();
  std::atomic<int> chosen{-1};
  std::atomic<unsigned> answer{0};
  const auto image = [](const QIcon& icon) { return icon.pixmap(QSize(16, 16), 1.0).toImage(); };
  const int status = RunAsUser(
      [&] {
        chosen = POPUP("&Restore[restore.ico]|-|~E&xit[EXIT.ICO]|&Plain");
        answer = MESSAGE("Careful", "Pictures", MessageIcon::Exclamation);
      },
      [&] {
        QStringList texts;
        std::vector<bool> right_picture, enabled;
        WaitFor([&] {
          OnGui([&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            const char* pictures[] = {"restore.ico", "EXIT.ICO", ""};
            for (QAction* action : menu->actions()) {
              if (action->isSeparator()) continue;
              const QIcon expected = qt::NamedIcon(pictures[std::min<qsizetype>(texts.size(), 2)]);
              right_picture.push_back(expected.isNull() ? action->icon().isNull()
                                                        : image(action->icon()) == image(expected));
              enabled.push_back(action->isEnabled());
              texts << action->text();
            }
            menu->close();
          });
          return !texts.isEmpty();
        });
        EXPECT_EQ(texts.join('|').toStdString(), "&Restore|E&xit|&Plain")
            << "the picture's name is not shown";
        EXPECT_EQ(right_picture, (std::vector<bool>{true, true, true}));
        EXPECT_EQ(enabled, (std::vector<bool>{true, false, true}));
        EXPECT_TRUE(WaitFor([&] { return chosen == 0; }));

        bool box_picture = false;
        WaitFor([&] {
          bool shown = false;
          OnGui([&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            shown = true;
            const QImage shown_picture = box->iconPixmap().toImage();
            const QSize size = box->iconPixmap().deviceIndependentSize().toSize();
            box_picture = !shown_picture.isNull() &&
                          shown_picture == qt::MessageBoxIcon(MessageIcon::Exclamation)
                                               .pixmap(size, box->devicePixelRatio())
                                               .toImage();
            box->button(QMessageBox::Ok)->click();
          });
          return shown;
        });
        EXPECT_TRUE(box_picture) << "the warning shows the warning picture of the program's set";
        EXPECT_TRUE(WaitFor([&] { return answer == BUTTON_OK; }));
      });
  EXPECT_EQ(status, 0);
}

TEST(QtFrontEnd, ATrayIconSitsInTheTrayHostAndItsClicksArriveAsEvents) {
  REQUIRE_QT_DISPLAY();
  test::TrayHost host;
  if (!host.Started()) GTEST_SKIP() << "trayer is not installed";
  Seen seen;
  auto program = [&] {
    // The window lives in the tray, hidden, so nothing covers the icon.
    Window w("Tray Window");
    w.String("A window with a tray icon");
    w.Set(Prop::Hide, true);
    TrayIcon tray;
    tray.Add("tray_ico", "Varnodex test", EVENT_TrayLeftClick, EVENT_TrayRightClick,
             EVENT_TrayLeftDoubleClick, 0);
    {
      std::lock_guard l(seen.mutex);
      seen.tray_id = tray.Id();
    }
    while (w.Accept()) {
      std::lock_guard l(seen.mutex);
      if (EVENT() >= EVENT_TrayLeftClick && EVENT() <= EVENT_TrayRightDoubleClick)
        seen.events.push_back(EVENT());
    }
  };
  const int status = RunAsUser(program, [&] {
    qt::QtFrontEnd* front_end = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      front_end = dynamic_cast<qt::QtFrontEnd*>(CurrentFrontEnd());
      return front_end && seen.Read([&] { return seen.tray_id != 0; });
    }));
    const int id = seen.Read([&] { return seen.tray_id; });
    // The icon is a small window of its own, which the tray host takes in.
    QString tip;
    int x = 0, y = 0;
    const bool docked = WaitFor(
        [&] {
          unsigned long icon_window = 0;
          OnGui([&] {
            QSystemTrayIcon* icon = front_end->Tray(id);
            tip = icon ? icon->toolTip() : QString();
            if (!icon || !QSystemTrayIcon::isSystemTrayAvailable()) return;
            for (QWidget* w : QApplication::topLevelWidgets()) {
              if (w->inherits("QSystemTrayIconSys") && w->isVisible()) icon_window = w->winId();
            }
          });
          return icon_window && test::WindowCentre(icon_window, &x, &y) && (x > 0 || y > 0);
        },
        15s);
    ASSERT_TRUE(docked) << "the icon appears in the tray host";
    EXPECT_EQ(tip.toStdString(), "Varnodex test");

    auto click_until = [&](unsigned button, int event) {
      for (int attempt = 0; attempt < 5; ++attempt) {
        test::FakeClick(x, y, button);
        if (WaitFor(
                [&] {
                  return seen.Read([&] {
                    return std::find(seen.events.begin(), seen.events.end(), event) !=
                           seen.events.end();
                  });
                },
                2s)) {
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

TEST(QtFrontEnd, AQuestionOpenWhenTheSessionEndsTakesItsDefaultAndItsBoxGoesWithItsWindow) {
  REQUIRE_QT_DISPLAY();
  std::atomic<unsigned> answer{0};
  auto program = [&] {
    {
      Window w("Session Window");
      auto& ask = w.Button("&Ask");
      while (w.Accept()) {
        if (ACCEPTED() == ask) {
          answer = MESSAGE("Save first?", "Leaving", MessageIcon::Question, BUTTON_YES + BUTTON_NO,
                           BUTTON_NO);
          break;  // the window closes at once, perhaps before its box has gone
        }
      }
    }
    Window after("After Window");
    while (after.Accept()) {
    }
  };
  const int status = RunAsUser(program, [&] {
    qt::QtWindow* window = WaitShown("Session Window");
    ASSERT_NE(window, nullptr);
    OnGui([&] { window->findChild<QPushButton*>("control-1")->click(); });
    auto box_shown = [] {
      bool shown = false;
      OnGui([&] {
        shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
      });
      return shown;
    };
    EXPECT_TRUE(WaitFor(box_shown));
    AnswerQuestionsWithDefaults();
    EXPECT_TRUE(WaitFor([&] { return answer == BUTTON_NO; })) << "the default answers";
    EXPECT_NE(WaitShown("After Window"), nullptr);
    EXPECT_TRUE(WaitFor([&] { return !box_shown(); })) << "the box closes";
  });
  EXPECT_EQ(status, 0);
}

TEST(QtFrontEnd, WithoutADisplayTheProgramRunsAndMessagesTakeTheirDefault) {
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  unsigned answer = 0;
  std::vector<std::string> notes;
  static char name[] = "test_frontend";
  static char* argv[] = {name, nullptr};
  const int status = qt::RunWithQt(
      1, argv,
      [&] {
        answer = MESSAGE("Carry on?", "Question", MessageIcon::Question, BUTTON_YES + BUTTON_NO,
                         BUTTON_NO);
      },
      [&](const std::string& caption, const std::string& text) {
        notes.push_back(caption + ": " + text);
      });
  if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(answer, BUTTON_NO);
  EXPECT_EQ(notes, std::vector<std::string>{"Question: Carry on?"});
}

}  // namespace
}  // namespace vx
