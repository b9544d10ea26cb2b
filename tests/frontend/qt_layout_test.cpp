// Windows as the Qt renderer lays them out on the test display: the date picker fits a small
// laptop screen with every day reachable, windows open over the window that opened them or
// where they were left, nothing opens larger than the screen, and list columns show their dates
// and times whole; tabs over a list stay low, group boxes keep their height and margins, and
// status zones are framed sections.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "program/common/calendar.h"
#include "runtime/dates.h"
#include "runtime/pictures.h"
#include "runtime/window/text_rows.h"
#include "runtime/window/window.h"
#include "tests/frontend/qt_test_support.h"
#include "tests/frontend/x11_test_input.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using namespace vx::test;  // waiting, the GUI thread and the user's thread

QPushButton* ButtonWithText(QWidget* window, const QString& text) {
  for (QPushButton* button : window->findChildren<QPushButton*>()) {
    if (button->text() == text && button->isVisible()) return button;
  }
  return nullptr;
}

TEST(QtLayout, TheCalendarFitsASmallScreenAndItsLastDayCanBeClicked) {
  REQUIRE_QT_DISPLAY();
  // August of next year: 31 days, none of them in the past.
  const int year = YEAR(TODAY()) + 1;
  std::atomic<std::int32_t> picked{-1};
  const int status = RunAsUser(
      [&] { picked = Calendar(DATE(8, 10, year), "None", ""); },
      [&] {
        qt::QtWindow* window = WaitShown("Select Date");
        ASSERT_NE(window, nullptr);
        QRect frame, sunday, saturday, first, last;
        QPoint last_centre;
        OnGui([&] {
          frame = window->frameGeometry();
          auto global = [](QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); };
          for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->text() == "Sun") sunday = global(label);
            if (label->text() == "Sat") saturday = global(label);
          }
          QPushButton* one = ButtonWithText(window, "1");
          QPushButton* thirty_one = ButtonWithText(window, "31");
          if (one) first = global(one);
          if (thirty_one) {
            last = global(thirty_one);
            last_centre = last.center();
          }
        });
        EXPECT_LE(frame.width(), 1280);
        EXPECT_LE(frame.height(), 800);
        ASSERT_FALSE(last.isNull()) << "the 31st has a button on the screen";
        EXPECT_TRUE(frame.contains(last)) << "the 31st lies inside the window";
        // The weekday names stand in one row, Sunday on the left, over the days.
        EXPECT_EQ(sunday.top(), saturday.top());
        EXPECT_LT(sunday.right(), saturday.left());
        EXPECT_LT(sunday.bottom(), first.top());
        EXPECT_GT(last.top(), first.top()) << "the days wrap into weeks";

        for (int attempt = 0; attempt < 5 && picked == -1; ++attempt) {
          OnGui([&] {
            window->raise();
            window->activateWindow();
            // Measured again: a window manager may still move the window after it appears.
            if (QPushButton* button = ButtonWithText(window, "31"))
              last_centre = button->mapToGlobal(button->rect().center());
          });
          test::FakeClick(last_centre.x(), last_centre.y(), 1);
          WaitFor([&] { return picked != -1; }, 2s);
        }
      });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(picked, DATE(8, 31, year));
}

class DateRows final : public ListSource {
 public:
  std::size_t Records() const override { return 3; }
  std::vector<std::string> Fields(std::size_t row) const override {
    return {std::to_string(DATE(12, 10 + static_cast<int>(row), 2026)),
            std::to_string(1 + 9 * TIME_HOUR), "Pay the rent"};
  }
};

// A window left at a place, a second opening over it, a third far too wide for any screen.
void PlacedWindows(std::atomic<int>& stage) {
  DateRows rows;
  Window owner("Owner");
  owner.Set(Prop::X, 60L).Set(Prop::Y, 80L).Set(Prop::Width, 700L).Set(Prop::Height, 420L);
  owner.List("47L(2)M|~Date~L(0)@d3@28L(2)M~Time~@t4@80L(2)M~Description~@s30@").From(&rows);
  owner.Open();
  while (owner.Accept()) {
    if (EVENT() != EVENT_OpenWindow) continue;
    std::string name;
    Window over("Over Owner");
    over.Prompt("&Name:");
    over.Entry(name, "@s20");
    over.Button("&OK");
    stage = 1;
    while (over.Accept()) {
      if (EVENT() != EVENT_OpenWindow) continue;
      Window wide("Too Wide");
      Control& row = wide.Row();
      for (int i = 0; i < 40; ++i) row.Button("A button with a long caption " + std::to_string(i));
      stage = 2;
      while (wide.Accept()) {
      }
      break;
    }
    break;
  }
}

TEST(QtLayout, WindowsOpenWhereLeftOrOverTheirOwnerAndNeverLargerThanTheScreen) {
  REQUIRE_QT_DISPLAY();
  std::atomic<int> stage{0};
  const int status = RunAsUser(
      [&] { PlacedWindows(stage); },
      [&] {
        qt::QtWindow* owner = WaitShown("Owner");
        ASSERT_NE(owner, nullptr);
        qt::QtWindow* over = WaitShown("Over Owner");
        ASSERT_NE(over, nullptr);
        qt::QtWindow* wide = WaitShown("Too Wide");
        ASSERT_NE(wide, nullptr);
        QRect owner_frame, over_frame, wide_frame, free;
        QPoint owner_at;
        QSize owner_size;
        int date_width = 0, date_text = 0, time_width = 0, time_text = 0;
        OnGui([&] {
          owner_at = owner->geometry().topLeft();
          owner_size = owner->size();
          owner_frame = owner->frameGeometry();
          over_frame = over->frameGeometry();
          wide_frame = wide->frameGeometry();
          free = wide->screen()->availableGeometry();
          auto* list = owner->findChild<QTableView*>();
          const QFontMetrics metrics = list->fontMetrics();
          date_width = list->columnWidth(0);
          time_width = list->columnWidth(1);
          date_text = metrics.horizontalAdvance(list->model()->index(0, 0).data().toString());
          time_text = metrics.horizontalAdvance(list->model()->index(0, 1).data().toString());
        });
        EXPECT_EQ(owner_size, QSize(700, 420)) << "the saved size";
        EXPECT_LE(std::abs(owner_at.x() - 60) + std::abs(owner_at.y() - 80), 2)
            << "the saved place";
        EXPECT_LE((over_frame.center() - owner_frame.center()).manhattanLength(), 40)
            << "the second window opens centred over the first";
        EXPECT_LE(wide_frame.width(), free.width());
        EXPECT_TRUE(free.contains(wide_frame.topLeft()));
        // "DEC 10,2026" and " 9:00AM" show whole (a column needs its margins too).
        EXPECT_GT(date_width, date_text);
        EXPECT_GT(time_width, time_text);
      });
  EXPECT_EQ(status, 0);
}

TEST(QtLayout, WhereTheUserMovesAWindowReachesTheModelForItsSavedPlace) {
  REQUIRE_QT_DISPLAY();
  std::atomic<long> x{0}, y{0}, width{0};
  const int status = RunAsUser(
      [&] {
        std::string name;
        Window w("Movable");
        w.Prompt("&Name:");
        w.Entry(name, "@s20");
        while (w.Accept()) {
          if (EVENT() != EVENT_Moved && EVENT() != EVENT_Sized) continue;
          x = w.GetNumber(Prop::X);
          y = w.GetNumber(Prop::Y);
          width = w.GetNumber(Prop::Width);
        }
      },
      [&] {
        qt::QtWindow* window = WaitShown("Movable");
        ASSERT_NE(window, nullptr);
        OnGui([&] { window->move(210, 170); });
        // Where the window now is (a window manager may add its frame), as the model must know it.
        QPoint at;
        int shown_width = 0;
        const bool known = WaitFor(
            [&] {
              OnGui([&] {
                at = window->geometry().topLeft();
                shown_width = window->width();
              });
              return x == at.x() && y == at.y() && width == shown_width;
            },
            5s);
        EXPECT_TRUE(known) << "model " << x << "," << y << " screen " << at.x() << "," << at.y();
        EXPECT_NEAR(at.x(), 210, 30);
      });
  EXPECT_EQ(status, 0);
}

// Tabs that only choose the order of the list below them stay as low as their tabs: the list
// takes the window's spare height.
TEST(QtLayout, TabsOverAListStayLowAndTheListTakesTheHeight) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(
      [] {
        Window w("Tabs Over A List");
        Control& sheet = w.Sheet();
        sheet.Tab("By Date");
        sheet.Tab("By Name");
        w.List("47L(2)M|~Date~L(0)@d3@28L(2)M~Time~@t4@80L(2)M~Description~@s30@");
        w.Row().Button("&Close");
        w.Status(1, "Browsing Records");
        while (w.Accept()) {
        }
      },
      [] {
        qt::QtWindow* window = WaitShown("Tabs Over A List");
        ASSERT_NE(window, nullptr);
        // The user (or the saved size) makes the window taller than it needs.
        OnGui([&] { window->resize(600, 500); });
        WaitFor(
            [&] {
              int height = 0;
              OnGui([&] { height = window->height(); });
              return height == 500;
            },
            2s);
        int tabs_height = 0, tab_bar_height = 0, list_height = 0;
        OnGui([&] {
          auto* tabs = window->findChild<QTabWidget*>();
          auto* list = window->findChild<QTableView*>();
          ASSERT_TRUE(tabs && list);
          tabs_height = tabs->height();
          tab_bar_height = tabs->tabBar()->height();
          list_height = list->height();
        });
        EXPECT_LE(tabs_height, tab_bar_height + 30)
            << "no empty page above the list: " << tabs_height;
        EXPECT_GT(list_height, 250) << list_height;
      });
  EXPECT_EQ(status, 0);
}

// The status bar's zones are sections of their own: each framed, side by side without
// overlap, each showing its whole text, also when the window is narrowed; zones given a width
// keep to it and the one without takes the rest of the bar, a hidden zone takes no room, and the
// bar ends at the window's lower edge.
TEST(QtLayout, StatusZonesAreFramedSectionsAndOnlyTheOneWithoutAWidthStretches) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(
      [] {
        Window w("Status Sections");
        w.Row().Button("&Close");
        w.Status(1).Hide();
        w.Status(2)
            .SetText("Next: Weekday standup at nine, due DEC 11,2026 09:00")
            .Set(Prop::MinWidth, 220);
        w.Status(3).SetText("Thursday, DEC 10,2026").Set(Prop::Width, 100);
        w.Status(4).SetText("16:44").Set(Prop::Width, 36);
        while (w.Accept()) {
        }
      },
      [] {
        qt::QtWindow* window = WaitShown("Status Sections");
        ASSERT_NE(window, nullptr);
        // Each zone framed, apart from the one before, inside the bar, and its text whole.
        const auto check_sections = [&](const char* when) {
          SCOPED_TRACE(when);
          OnGui([&] {
            QStatusBar* bar = window->statusBar();
            QList<QLabel*> zones = bar->findChildren<QLabel*>();
            ASSERT_EQ(zones.size(), 4);
            // Nothing of the window shows below the bar (the strip under it on the screen is
            // the window manager's frame, outside the window).
            EXPECT_EQ(bar->geometry().bottom(), window->height() - 1) << "the bar ends the window";
            EXPECT_FALSE(zones[0]->isVisible()) << "the hidden zone";
            int right = 0;
            for (int i = 1; i < 4; ++i) {
              QLabel* zone = zones[i];
              SCOPED_TRACE(zone->text().toStdString());
              EXPECT_TRUE(zone->isVisible());
              EXPECT_NE(zone->frameShape(), QFrame::NoFrame);
              EXPECT_GT(zone->x(), right) << "apart from the zone before";
              right = zone->geometry().right();
              EXPECT_LT(right, bar->width()) << "inside the bar";
              EXPECT_GE(zone->contentsRect().width(),
                        zone->fontMetrics().horizontalAdvance(zone->text()))
                  << "the whole text shows";
            }
          });
        };
        const auto resize_to = [&](int width) {
          OnGui([&] { window->resize(width, 300); });
          std::this_thread::sleep_for(300ms);  // the server's answer to the resize
        };
        check_sections("as opened");
        // Narrower than the zones need: the window keeps the width they take.
        resize_to(300);
        check_sections("narrowed");
        resize_to(900);
        check_sections("widened");
        OnGui([&] {
          QList<QLabel*> zones = window->statusBar()->findChildren<QLabel*>();
          ASSERT_EQ(zones.size(), 4);
          EXPECT_GT(zones[1]->width(), zones[2]->width() + zones[3]->width())
              << "the zone without a width takes the rest";
          EXPECT_LT(zones[3]->width(), 150) << "the time's zone keeps to its width";
        });
      });
  EXPECT_EQ(status, 0);
}

// A wizard's pages: a page of options and an entry keeps its rows together under its group
// (the group box is no taller than its radios), a group in a row keeps its controls off its
// frame, and the prompt beside a text box stands at the box's first line.
TEST(QtLayout, GroupsKeepTheirHeightAndAPromptStandsAtItsTextBoxsFirstLine) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(
      [] {
        std::string kind = "Text", description, text;
        long ctrl = 1, alt = 0;
        Window w("Wizard Pages");
        w.Set(Prop::Width, 640L).Set(Prop::Height, 480L);
        Control& sheet = w.Sheet();
        Control& basic = sheet.Tab("Basic");
        Control& keys = basic.Group("Hot Key");
        keys.Arrange(Arrangement::Row);
        keys.Check("Control", ctrl);
        keys.Check("Alt", alt);
        Control& option = basic.Option("Text or Task", kind);
        option.Radio("&Text", "Text");
        option.Radio("Ta&sk", "Task");
        basic.Prompt("&Description:");
        basic.Entry(description, "@s40");
        Control& page = sheet.Tab("Text");
        page.Prompt("Enter the &text:");
        page.Text(text);
        w.Button("&OK");
        while (w.Accept()) {
        }
      },
      [] {
        qt::QtWindow* window = WaitShown("Wizard Pages");
        ASSERT_NE(window, nullptr);
        int option_height = 0, option_needs = 0, control_left = 0, keys_left = 0;
        OnGui([&] {
          for (QGroupBox* box : window->findChildren<QGroupBox*>()) {
            if (box->findChild<QRadioButton*>()) {
              option_height = box->height();
              option_needs = box->sizeHint().height();
            }
            if (QCheckBox* check = box->findChild<QCheckBox*>()) {
              keys_left = box->mapToGlobal(QPoint(0, 0)).x();
              control_left = check->mapToGlobal(QPoint(0, 0)).x();
            }
          }
        });
        EXPECT_GT(option_needs, 0);
        EXPECT_LE(option_height, option_needs + 4) << "the option box takes no spare height";
        EXPECT_GE(control_left - keys_left, 4) << "the row's first check box stands off the frame";

        int prompt_middle = 0, text_top = 0;
        OnGui([&] { window->findChild<QTabWidget*>()->setCurrentIndex(1); });
        std::this_thread::sleep_for(200ms);  // the page is laid out once shown
        OnGui([&] {
          QLabel* prompt = nullptr;
          for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->text().contains("Enter the")) prompt = label;
          }
          auto* box = window->findChild<QPlainTextEdit*>();
          ASSERT_TRUE(prompt && box);
          prompt_middle =
              prompt->mapToGlobal(prompt->rect().center()).y();  // where its text stands
          text_top = box->mapToGlobal(QPoint(0, 0)).y();
        });
        EXPECT_GT(text_top, 0);
        EXPECT_LE(std::abs(prompt_middle - text_top), 20)
            << "prompt at the text box's first line: " << prompt_middle << " " << text_top;
      });
  EXPECT_EQ(status, 0);
}

// A page whose only growing field is hidden once the window is open (the task form's message on
// its first page, for a task whose message has a page of its own) leaves the spare height below
// its rows: the option box above stays as high as its radios.
TEST(QtLayout, HidingAPagesOnlyTextLeavesItsOptionBoxAsHighAsItsRows) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(
      [] {
        std::string kind = "Both", description, message;
        Window w("Task Page");
        w.Set(Prop::Width, 640L).Set(Prop::Height, 480L);
        w.Timer(10);
        Control& sheet = w.Sheet();
        Control& basics = sheet.Tab("Basics");
        Control& type = basics.Option("Task Type", kind);
        type.Arrange(Arrangement::Row);
        type.Radio("&Program", "Program");
        type.Radio("&Both", "Both");
        basics.Prompt("&Description:");
        basics.Entry(description, "@s40");
        Control& prompt = basics.Prompt("&Message:");
        Control& text = basics.Text(message);
        sheet.Tab("Other").Prompt("Other");
        w.Button("&OK");
        bool hidden = false;
        while (w.Accept()) {
          if (!hidden && EVENT() == EVENT_Timer) {
            prompt.Hide();
            text.Hide();
            w.Set(Prop::Timer, 0L);
            hidden = true;
          }
        }
      },
      [] {
        qt::QtWindow* window = WaitShown("Task Page");
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitFor([&] {
          bool gone = false;
          OnGui([&] { gone = !window->findChild<QPlainTextEdit*>()->isVisible(); });
          return gone;
        }));
        std::this_thread::sleep_for(200ms);  // laid out again without the text
        int option_height = 0, option_needs = 0;
        OnGui([&] {
          for (QGroupBox* box : window->findChildren<QGroupBox*>()) {
            if (box->findChild<QRadioButton*>()) {
              option_height = box->height();
              option_needs = box->sizeHint().height();
            }
          }
        });
        EXPECT_GT(option_needs, 0);
        EXPECT_LE(option_height, option_needs + 4) << "the option box takes no spare height";
      });
  EXPECT_EQ(status, 0);
}

// A page laid out side by side (the task form's users: a list, buttons, a list) keeps its
// margin, so the lists stand clear of the page's frame as the fields of a form page do.
TEST(QtLayout, APageOfPanesBesideEachOtherKeepsItsMargin) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(
      [] {
        TextRows all, chosen;
        Window w("Users Page");
        w.Set(Prop::Width, 640L).Set(Prop::Height, 400L);
        Control& page = w.Sheet().Tab("Users");
        page.Arrange(Arrangement::Beside);
        Control& left = page.Stacked();
        left.String("All Users");
        left.List("160L(2)~User~@s40@").From(&all);
        page.Stacked().Button("Add >");
        Control& right = page.Stacked();
        right.String("Users for this Task");
        right.List("160L(2)~User~@s40@").From(&chosen);
        w.Button("&OK");
        while (w.Accept()) {
        }
      },
      [] {
        qt::QtWindow* window = WaitShown("Users Page");
        ASSERT_NE(window, nullptr);
        std::this_thread::sleep_for(200ms);
        std::vector<int> gaps;
        OnGui([&] {
          QWidget* page = window->findChild<QTabWidget*>()->currentWidget();
          const QRect inside(page->mapToGlobal(QPoint(0, 0)), page->size());
          for (QTableView* list : window->findChildren<QTableView*>()) {
            const QRect at(list->mapToGlobal(QPoint(0, 0)), list->size());
            gaps.push_back(std::min({at.left() - inside.left(), inside.right() - at.right(),
                                     inside.bottom() - at.bottom()}));
          }
        });
        ASSERT_EQ(gaps.size(), 2u);
        for (int gap : gaps) EXPECT_GE(gap, 4) << "a list stands off the page's frame";
      });
  EXPECT_EQ(status, 0);
}

// A narrow form (a list of short names and two buttons) opens wide enough for its whole title,
// which the window manager would otherwise cut in the middle.
TEST(QtLayout, ANarrowFormOpensWideEnoughForItsTitle) {
  REQUIRE_QT_DISPLAY();
  const char* title = "Select a Category for the Report of Tasks";
  const int status = RunAsUser(
      [title] {
        TextRows names;
        Window w(title);
        w.List("40L(2)|M~Name~@s10@").From(&names);
        w.Button("&Select");
        w.Button("Cancel");
        while (w.Accept()) {
        }
      },
      [title] {
        qt::QtWindow* window = WaitShown(title);
        ASSERT_NE(window, nullptr);
        int width = 0, needs = 0;
        OnGui([&] {
          width = window->width();
          QFont bold = window->font();
          bold.setBold(true);
          needs = QFontMetrics(bold).horizontalAdvance(QString::fromUtf8(title));
        });
        EXPECT_GT(width, needs) << "the title fits beside the title bar's buttons";
      });
  EXPECT_EQ(status, 0);
}

// A list whose one column has no heading (the bug report's settings) shows no empty header bar;
// a list with headings keeps its header.
TEST(QtLayout, AListWithoutHeadingsShowsNoEmptyHeader) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(
      [] {
        TextRows settings, users;
        settings.rows = {{"BurstSize=7"}, {"DebugMode=0"}};
        Window w("Lists With And Without Headings");
        w.List("108L(1)|@s80@").From(&settings);
        w.List("160L(2)~User~@s40@").From(&users);
        w.Button("&OK");
        while (w.Accept()) {
        }
      },
      [] {
        qt::QtWindow* window = WaitShown("Lists With And Without Headings");
        ASSERT_NE(window, nullptr);
        std::vector<bool> headers;
        OnGui([&] {
          for (QTableView* list : window->findChildren<QTableView*>())
            headers.push_back(list->horizontalHeader()->isVisible());
        });
        EXPECT_EQ(headers, (std::vector<bool>{false, true}));
      });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace vx
