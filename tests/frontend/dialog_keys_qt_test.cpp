// Real X key presses and clicks on the Qt renderer: the first field has the keys, Tab leaves a
// text while Ctrl+Tab types a tab, Enter, Esc and a double click press the window's buttons,
// Ctrl+' reaches the program from a field that alerts it, a hot letter no control answers types
// nothing into a field, Alt+O in a new holiday saves what was typed, message boxes break their
// lines at carriage returns and are wide enough for their titles, and the event log's lines are
// shown in a fixed-pitch font.
#include <gtest/gtest.h>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

#include <mutex>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/error_class.h"
#include "framework/file_manager.h"
#include "platform/virtual_keys.h"
#include "platform/x11_fake_keys.h"
#include "program/admin/view_event_log.h"
#include "program/schedule/holiday_windows.h"
#include "runtime/fixed_string.h"
#include "runtime/queue.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/queue_list.h"
#include "runtime/window/window.h"
#include "support/temp_folder.h"
#include "tests/frontend/qt_test_support.h"
#include "tests/frontend/x11_test_input.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using platform::FakeKeyChord;
using platform::kHotKeyAlt;
using platform::kHotKeyShift;
using test::OnGui;
using test::RunAsUser;
using test::ShownControl;
using test::WaitFor;
using test::WaitShown;

// Makes `window` the active one and gives `field` in it the keys; true once it has them, false
// when `limit` passed first.
bool GiveKeysTo(QWidget* window, QWidget* field, std::chrono::milliseconds limit = 2s) {
  OnGui([&] {
    window->activateWindow();
    field->setFocus();
  });
  return WaitFor(
      [&] {
        bool focused = false;
        OnGui([&] { focused = field->hasFocus(); });
        return focused;
      },
      limit);
}

// Types `text` (capitals, small letters and blanks) into the edit with real key presses, giving
// it the focus first; other tests' keys on the same display can garble a try, so it is repeated.
bool TypeInto(QLineEdit* edit, const std::string& text) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    OnGui([&] { edit->clear(); });
    GiveKeysTo(edit->window(), edit, 3s);
    for (char ch : text) {
      const bool capital = ch >= 'A' && ch <= 'Z';
      const unsigned key = ch == ' ' ? 0x20 : static_cast<unsigned>(capital ? ch : ch - 'a' + 'A');
      if (!FakeKeyChord(capital ? kHotKeyShift : 0, key)) return false;
    }
    QString typed;
    if (WaitFor(
            [&] {
              OnGui([&] { typed = edit->text(); });
              return typed.toStdString() == text;
            },
            2s)) {
      return true;
    }
  }
  return false;
}

// A form with a name, a list and OK (the default) and Cancel; what the program takes is logged.
struct KeysSeen {
  std::mutex mutex;
  std::vector<std::string> log;
  void Add(std::string entry) {
    std::lock_guard l(mutex);
    log.push_back(std::move(entry));
  }
  std::vector<std::string> Log() {
    std::lock_guard l(mutex);
    return log;
  }
};

// Presses `modifiers`+`key` in `window`'s control `number` until `seen` holds `expected` entries,
// at most `attempts` times: other tests' keys on the same display can garble a try.
void PressUntilSeen(qt::QtWindow* window, int number, unsigned modifiers, unsigned key,
                    KeysSeen& seen, std::size_t expected, int attempts = 3) {
  for (int attempt = 0; attempt < attempts && seen.Log().size() < expected; ++attempt) {
    if (QWidget* field = ShownControl<QWidget>(window, number)) GiveKeysTo(window, field);
    FakeKeyChord(modifiers, key);
    WaitFor([&] { return seen.Log().size() >= expected; }, 2s);
  }
}

struct Fruit {
  String<10> name;
};

void KeysProgram(KeysSeen& seen) {
  String<20> name;
  Queue<Fruit> fruit;
  for (const char* f : {"apple", "pear", "plum"}) {
    fruit.buffer.name = f;
    fruit.Add();
  }
  QueueList<Fruit> rows(fruit, [](const Fruit& f) { return ListFields{f.name.str()}; });
  Window w("Keys Form");
  w.Prompt("&Name:");
  const int entry = w.Entry(name, "@s20");
  Control& list = w.List("60L(2)|M~Fruit~@s10@").From(&rows);
  const int ok = w.Button("&OK").Default();
  const int cancel = w.Button("Cancel");
  w.SetCancelButton(cancel);
  while (w.Accept()) {
    if (ACCEPTED() == entry) seen.Add("name=" + name.str());
    if (ACCEPTED() == list) seen.Add("row " + std::to_string(list.Choice()));
    if (ACCEPTED() == ok) seen.Add("OK");
    if (ACCEPTED() == cancel) seen.Add("Cancel");
  }
}

TEST(DialogKeysQt, EnterEscAndADoubleClickPressTheWindowsButtons) {
  REQUIRE_QT_DISPLAY();
  KeysSeen seen;
  using Log = std::vector<std::string>;
  const int status = RunAsUser(
      [&] { KeysProgram(seen); },
      [&] {
        qt::QtWindow* window = WaitShown("Keys Form");
        ASSERT_NE(window, nullptr);
        QLineEdit* edit = ShownControl<QLineEdit>(window, 2);
        QTableView* list = ShownControl<QTableView>(window, 3);
        ASSERT_TRUE(edit && list);
        QWidget* first = nullptr;
        OnGui([&] { first = window->focusWidget(); });
        EXPECT_EQ(first, edit) << "the first field takes the keys when the window opens";

        ASSERT_TRUE(TypeInto(edit, "Ada"));
        FakeKeyChord(0, 0x0D);  // Enter, still in the entry
        EXPECT_TRUE(WaitFor([&] {
          return seen.Log() == Log{"name=Ada", "OK"};
        })) << "Enter sends the name, then OK";

        FakeKeyChord(0, 0x1B);  // Esc
        EXPECT_TRUE(
            WaitFor([&] { return seen.Log().size() == 3 && seen.Log().back() == "Cancel"; }));

        // A real double click on the second row.
        QPoint row;
        OnGui([&] {
          window->raise();
          const QRect cell = list->visualRect(list->model()->index(1, 0));
          row = list->viewport()->mapToGlobal(cell.center());
        });
        for (int attempt = 0; attempt < 3 && seen.Log().size() < 5; ++attempt) {
          test::FakeClick(row.x(), row.y(), 1);
          test::FakeClick(row.x(), row.y(), 1);
          WaitFor([&] { return seen.Log().size() >= 5; }, 2s);
        }
        const Log log = seen.Log();
        ASSERT_GE(log.size(), 5u);
        EXPECT_EQ(Log(log.end() - 2, log.end()), (Log{"row 2", "OK"}))
            << "the row, then the default button";
        OnGui([&] { window->close(); });
      });
  EXPECT_EQ(status, 0);
}

// Ctrl+' (a form's history key, 734) pressed in a field that alerts it reaches the program as
// that key on that field; in a field that does not alert it, nothing arrives.
TEST(DialogKeysQt, CtrlQuoteInAFieldThatAlertsItReachesTheProgram) {
  REQUIRE_QT_DISPLAY();
  constexpr int kHistoryKey = 734;
  KeysSeen seen;
  const int status = RunAsUser(
      [&] {
        String<20> name, town;
        std::uint8_t active = 0;
        Window w("History Form");
        w.Prompt("&Name:");
        const int entry = w.Entry(name, "@s20").Alert(kHistoryKey);
        w.Prompt("&Town:");
        const int plain = w.Entry(town, "@s20");
        const int check = w.Check("&Active", active).Alert(kHistoryKey);
        w.Button("&OK");
        while (w.Accept()) {
          if (EVENT() != EVENT_AlertKey || KEYCODE() != kHistoryKey) continue;
          if (FIELD() == entry) seen.Add("name");
          if (FIELD() == plain) seen.Add("town");
          if (FIELD() == check) seen.Add("active");
        }
      },
      [&] {
        qt::QtWindow* window = WaitShown("History Form");
        ASSERT_NE(window, nullptr);
        using Log = std::vector<std::string>;
        const auto press_in = [&](int number, std::size_t expected, int attempts = 3) {
          PressUntilSeen(window, number, platform::kHotKeyCtrl, 0xDE, seen, expected, attempts);
        };
        press_in(2, 1);
        EXPECT_EQ(seen.Log(), Log{"name"});
        press_in(4, 2, 1);  // the town does not alert the key: nothing comes
        press_in(5, 2);
        EXPECT_EQ(seen.Log(), (Log{"name", "active"}));
        OnGui([&] { window->close(); });
      });
  EXPECT_EQ(status, 0);
}

// A window opens with the keys in its first field, a check box too; in a text, Tab goes on to
// the next field as in any other, and Ctrl+Tab types the tab.
TEST(DialogKeysQt, WindowsOpenInTheirFirstFieldAndTabLeavesAText) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(
      [&] {
        std::uint8_t daily = 0, weekly = 0;
        Window flags("Flags Form");
        flags.Check("&Daily", daily);
        flags.Check("&Weekly", weekly);
        flags.Button("&OK");
        while (flags.Accept()) {
        }
        std::string note;
        String<20> town;
        Window w("Notes Form");
        w.Prompt("&Note:");
        w.Text(note);
        w.Prompt("&Town:");
        w.Entry(town, "@s20");
        w.Button("&OK");
        while (w.Accept()) {
        }
      },
      [&] {
        const auto focus_of = [](qt::QtWindow* window) {
          QWidget* focused = nullptr;
          OnGui([&] { focused = window->focusWidget(); });
          return focused;
        };
        qt::QtWindow* flags = WaitShown("Flags Form");
        ASSERT_NE(flags, nullptr);
        QWidget* daily = ShownControl<QWidget>(flags, 1);
        EXPECT_TRUE(WaitFor([&] { return daily && focus_of(flags) == daily; }, 3s))
            << "the first check box takes the keys";
        OnGui([&] { flags->close(); });

        qt::QtWindow* window = WaitShown("Notes Form");
        ASSERT_NE(window, nullptr);
        QPlainTextEdit* text = ShownControl<QPlainTextEdit>(window, 2);
        QLineEdit* town = ShownControl<QLineEdit>(window, 4);
        ASSERT_TRUE(text && town);
        EXPECT_TRUE(WaitFor([&] { return focus_of(window) == text; }, 3s))
            << "the text is the first field";
        // Other tests' keys on the same display can garble a try, so each is repeated.
        const auto press_in_text = [&](unsigned modifiers, const std::function<bool()>& done) {
          for (int attempt = 0; attempt < 3; ++attempt) {
            GiveKeysTo(window, text);
            FakeKeyChord(modifiers, 0x09);  // Tab
            if (WaitFor(done, 2s)) return true;
          }
          return false;
        };
        QString typed;
        EXPECT_TRUE(press_in_text(0, [&] { return focus_of(window) == town; }))
            << "Tab goes on to the town";
        OnGui([&] { typed = text->toPlainText(); });
        EXPECT_EQ(typed, QString()) << "no tab was typed";
        EXPECT_TRUE(press_in_text(platform::kHotKeyCtrl, [&] {
          OnGui([&] { typed = text->toPlainText(); });
          return typed == QStringLiteral("\t");
        })) << "Ctrl+Tab types a tab";
        EXPECT_EQ(focus_of(window), text) << "and the keys stay in the text";
        OnGui([&] { window->close(); });
      });
  EXPECT_EQ(status, 0);
}

// Alt with a letter is a hot letter: one that no enabled control answers (Next on a wizard's
// last page, a letter no control has) types nothing into the entry or text that has the focus,
// while the letters typed after it still arrive.
TEST(DialogKeysQt, AHotLetterNoControlAnswersTypesNothingIntoTheField) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(
      [] {
        String<20> town;
        std::string note;
        Window w("Last Page");
        w.Prompt("N&ote:");
        w.Text(note);
        w.Prompt("&Town:");
        w.Entry(town, "@s20");
        w.Button("&Next").Disable();
        w.Button("OK");
        while (w.Accept()) {
        }
      },
      [] {
        qt::QtWindow* window = WaitShown("Last Page");
        ASSERT_NE(window, nullptr);
        QPlainTextEdit* note = ShownControl<QPlainTextEdit>(window, 2);
        QLineEdit* town = ShownControl<QLineEdit>(window, 4);
        ASSERT_TRUE(town && note);
        // The text each field holds once a plain letter after the hot letters has arrived.
        const auto after_hot_letters = [&](QWidget* field, const std::function<QString()>& text) {
          for (int attempt = 0; attempt < 3; ++attempt) {
            GiveKeysTo(window, field, 10s);
            FakeKeyChord(kHotKeyAlt, 'N');                 // the greyed Next
            FakeKeyChord(kHotKeyAlt | kHotKeyShift, 'Z');  // no control's letter
            FakeKeyChord(0, 'K');
            QString now;
            if (WaitFor(
                    [&] {
                      OnGui([&] { now = text(); });
                      return now.endsWith('k');
                    },
                    2s))
              return now;
          }
          return QStringLiteral("(the letter typed after them never arrived)");
        };
        EXPECT_EQ(after_hot_letters(note, [&] { return note->toPlainText(); }).toStdString(), "k");
        EXPECT_EQ(after_hot_letters(town, [&] { return town->text(); }).toStdString(), "k");
        OnGui([&] { window->close(); });
      });
  EXPECT_EQ(status, 0);
}

// Keys with modifiers that a list alerts arrive with the runtime's modifier bits (Shift 0x100,
// Ctrl 0x200, Alt 0x400, as in Shift+Enter 269 and Ctrl+Alt+Enter 0x60D): Ctrl+Alt+R is 1618
// and Alt+F11 is 1146, the codes the list extension alerts.
TEST(DialogKeysQt, ModifiedKeysOnAListCarryTheRuntimesModifierBits) {
  REQUIRE_QT_DISPLAY();
  constexpr int kCtrlAltR = 1618, kAltF11 = 1146;
  KeysSeen seen;
  const int status = RunAsUser(
      [&] {
        Queue<Fruit> fruit;
        fruit.buffer.name = "apple";
        fruit.Add();
        QueueList<Fruit> rows(fruit, [](const Fruit& f) { return ListFields{f.name.str()}; });
        Window w("Modifier Keys");
        Control& list = w.List("60L(2)|M~Fruit~@s10@").From(&rows);
        list.Alert(kCtrlAltR).Alert(kAltF11);
        w.Button("&OK");
        while (w.Accept()) {
          if (EVENT() == EVENT_AlertKey && FIELD() == list) seen.Add(std::to_string(KEYCODE()));
        }
      },
      [&] {
        qt::QtWindow* window = WaitShown("Modifier Keys");
        ASSERT_NE(window, nullptr);
        using Log = std::vector<std::string>;
        PressUntilSeen(window, 1, platform::kHotKeyCtrl | platform::kHotKeyAlt, 'R', seen, 1);
        PressUntilSeen(window, 1, platform::kHotKeyAlt, 0x7A, seen, 2);  // F11
        EXPECT_EQ(seen.Log(), (Log{std::to_string(kCtrlAltR), std::to_string(kAltF11)}));
        OnGui([&] { window->close(); });
      });
  EXPECT_EQ(status, 0);
}

TEST(DialogKeysQt, CarriageReturnsBreakAMessagesLines) {
  REQUIRE_QT_DISPLAY();
  QString shown;
  Qt::TextFormat format = Qt::AutoText;
  const int status = RunAsUser(
      [] { MESSAGE("Warning!\r\rTwo lines <b>apart</b>.\r\nAnd a third.", "Warning"); },
      [&] {
        QMessageBox* box = nullptr;
        EXPECT_TRUE(WaitFor([&] {
          OnGui([&] { box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); });
          return box != nullptr;
        }));
        if (!box) return;
        OnGui([&] {
          shown = box->text();
          format = box->textFormat();
          box->button(QMessageBox::Ok)->click();
        });
      });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(shown.toStdString(), "Warning!\n\nTwo lines <b>apart</b>.\nAnd a third.");
  EXPECT_EQ(format, Qt::PlainText) << "a message's text is never taken for markup";
}

// A box is as wide as its title needs, so that a title naming a file ("Cannot CREATE" and the
// file, above the error's number and words) is not cut by the title bar.
TEST(DialogKeysQt, AMessageBoxIsWideEnoughForItsTitle) {
  REQUIRE_QT_DISPLAY();
  const std::string title = "Cannot CREATE /home/ann/Documents/Exports/contacts-2026.csv";
  std::vector<std::pair<int, int>> widths;  // the box's, its title's
  const int status = RunAsUser(
      [&] {
        MESSAGE("Error #2 - No such file or directory", title, MessageIcon::Exclamation);
        MESSAGE("Error #28 - No space left on device", title, MessageIcon::Exclamation,
                BUTTON_ABORT | BUTTON_RETRY);
      },
      [&] {
        for (int box_number = 0; box_number < 2; ++box_number) {
          QMessageBox* box = nullptr;
          EXPECT_TRUE(WaitFor([&] {
            OnGui([&] { box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); });
            return box != nullptr;
          }));
          if (!box) return;
          OnGui([&] {
            QFont bold = box->font();
            bold.setBold(true);
            // The title's words in the title bar's bold, beside the bar's own picture and its
            // three buttons (six lines' height covers them).
            const QFontMetrics title_font(bold);
            widths.emplace_back(box->width(), title_font.horizontalAdvance(box->windowTitle()) +
                                                  6 * title_font.height());
            box->buttons().first()->click();
          });
          WaitFor([&] {
            bool gone = false;
            OnGui([&] { gone = QApplication::activeModalWidget() != box; });
            return gone;
          });
        }
      });
  EXPECT_EQ(status, 0);
  ASSERT_EQ(widths.size(), 2u);
  for (const auto& [box, needed] : widths) EXPECT_GT(box, needed) << "the whole title shows";
}

// The data library on a fresh data folder, for the program's own windows.
class ProgramWindowsQtTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    VX_Files_Load();
    errors_.Init();
    VX_FILES_INIT(&errors_, nullptr);
  }
  void TearDown() override {
    VX_Files_Unload();
    test::TempFolderTest::TearDown();
  }
  ErrorClass errors_;
};

TEST_F(ProgramWindowsQtTest, AltOInANewHolidaySavesTheDescriptionTypedInIt) {
  REQUIRE_QT_DISPLAY();
  const int status =
      RunAsUser([] { BrowseHolidays(); },
                [&] {
                  qt::QtWindow* list = WaitShown("Holidays");
                  ASSERT_NE(list, nullptr);
                  OnGui([&] {
                    for (QPushButton* button : list->findChildren<QPushButton*>()) {
                      if (button->text() == "&New") button->click();
                    }
                  });
                  qt::QtWindow* form = WaitShown("New Holiday");
                  ASSERT_NE(form, nullptr);
                  QLineEdit* description = nullptr;
                  OnGui([&] {
                    for (QLabel* label : form->findChildren<QLabel*>()) {
                      if (label->text() == "De&scription:")
                        description = qobject_cast<QLineEdit*>(label->buddy());
                    }
                  });
                  ASSERT_NE(description, nullptr);
                  ASSERT_TRUE(TypeInto(description, "Harvest Fair"));
                  FakeKeyChord(kHotKeyAlt, 'O');  // the focus stays in the description
                  EXPECT_TRUE(WaitFor([&] {
                    bool open = true;
                    OnGui([&] { open = test::ShownWindow("New Holiday") != nullptr; });
                    return !open;
                  })) << "Alt+O saves and closes the form";
                  OnGui([&] { list->close(); });
                });
  EXPECT_EQ(status, 0);

  ASSERT_EQ(ACCESS_HOLIDAYS->Open(), 0);
  std::vector<std::string> names;
  ACCESS_HOLIDAYS->Set(HOL_KEYHOLIDAYDATE);
  while (ACCESS_HOLIDAYS->TryNext() == 0) names.push_back(HOL.Holiday.str());
  ACCESS_HOLIDAYS->Close();
  EXPECT_EQ(names, std::vector<std::string>{"Harvest Fair"});
}

TEST_F(ProgramWindowsQtTest, TheEventLogsLinesAreInAFixedPitchFont) {
  REQUIRE_QT_DISPLAY();
  bool fixed = false;
  QString family;
  const int status = RunAsUser([] { ViewAscii_Log(); },
                               [&] {
                                 qt::QtWindow* viewer = WaitShown("Event Log");
                                 ASSERT_NE(viewer, nullptr);
                                 OnGui([&] {
                                   auto* list = viewer->findChild<QTableView*>();
                                   if (!list) return;
                                   const QFontInfo font(list->font());
                                   fixed = font.fixedPitch();
                                   family = font.family();
                                   viewer->close();
                                 });
                               });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(fixed) << family.toStdString();
}

}  // namespace
}  // namespace vx
