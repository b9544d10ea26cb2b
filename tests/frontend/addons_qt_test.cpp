// The add-on classes in a real window of the Qt front end: a sample window with a tree list over
// two queues, a list with a cell editor over its first column, a text and a date field, split by
// a bar between the lists and the text. The mouse (XTest) drags the bar and drags a tree row onto
// the list; the keys open and close tree rows.
#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QToolBar>

#include <cstdlib>
#include <string>
#include <vector>

#include "datadll/addons/drag_and_drop_class.h"
#include "datadll/addons/edit_in_place.h"
#include "datadll/addons/quicken_date_class.h"
#include "datadll/addons/split_manager_class.h"
#include "datadll/addons/tree_list_class.h"
#include "datadll/addons/tree_toolbar_target.h"
#include "runtime/dates.h"
#include "runtime/pictures.h"
#include "runtime/window/queue_list.h"
#include "runtime/window/window.h"
#include "tests/frontend/qt_test_support.h"
#include "tests/frontend/x11_test_input.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using namespace vx::test;

// Dropping a tree row on the lines list adds it as a line.
class TreeToLines final : public SDD::DRAGANDDROPCLASS {
 public:
  TreeToLines(addons::ULTRATREECLASS& tree, std::vector<std::vector<std::string>>& rows,
              Control& lines)
      : tree_(tree), rows_(rows), lines_(lines) {}
  void DROP() override {
    const long row = tree_.CURRENTCHOICE;
    if (row < 1) return;
    rows_.push_back({tree_.ROWS()[static_cast<std::size_t>(row - 1)].text, "1"});
    lines_.Display();
  }

 private:
  addons::ULTRATREECLASS& tree_;
  std::vector<std::vector<std::string>>& rows_;
  Control& lines_;
};

// The rows of the list the cell editor works on.
class Lines final : public ListSource {
 public:
  std::size_t Records() const override { return rows.size(); }
  std::vector<std::string> Fields(std::size_t row) const override { return rows[row]; }
  std::vector<std::vector<std::string>> rows = {{"Apples", "3"}, {"Pears", "12"}, {"Plums", "7"}};
};

void SampleWindow() {
  Window window("Add-on Sample");
  Control& area = window.Free();
  area.Place(0, 0, 330, 190);
  Control& tree_list = area.List("140L(2)T~Groups~@s30@").Place(5, 5, 150, 95);
  Control& lines_list = area.List("80L(2)~Item~@s20@40R(2)~Count~@n5@").Place(165, 5, 160, 95);
  Control& bar = area.Panel().Place(5, 102, 320, 4);
  std::string notes = "Drag the bar above to share the height between the lists and this text.";
  Control& text = area.Text(notes).Place(5, 108, 320, 55);
  area.Prompt("&Due:").Place(5, 170, 25, 10);
  std::int32_t due = DATE(3, 1, 2026);
  area.Entry(due, "@D6").Place(32, 168, 60, 12);
  const int close = area.Button("Close").Place(275, 168, 50, 14);

  // The tree: groups and the tasks under each, from two queues.
  std::vector<addons::TreeRecord> groups = {{{"Id", "1"}, {"Name", "Home"}},
                                            {{"Id", "2"}, {"Name", "Work"}}};
  std::vector<addons::TreeRecord> tasks = {{{"Group", "1"}, {"Name", "Shopping"}},
                                           {{"Group", "1"}, {"Name", "Garden"}},
                                           {{"Group", "2"}, {"Name", "Reports"}}};
  addons::QUEUESECTION group_section, task_section;
  group_section.DISPLAYFIELD = task_section.DISPLAYFIELD = "Name";
  addons::ULTRATREECLASS tree;
  tree.INIT(tree_list);
  const int g = tree.ADDSECTION(group_section, groups, {"Id"});
  const int t = tree.ADDSECTION(task_section, tasks, {"Name"});
  tree.ADDLINK(t, g, "Group", "Id");
  tree.REFRESHTREE();
  tree.EXPAND(1);

  Lines lines;
  lines_list.From(&lines);
  lines_list.Choose(2);
  std::string cell = "Pears";
  SBRW::EDITENTRYCLASS editor;
  editor.INIT(1, lines_list, cell);

  JNDSPLITMANAGERCLASS split;
  split.INIT(area);
  const int number = split.ADDHORZSPLIT(bar);
  split.ADDFIELDABOVE(number, tree_list);
  split.ADDFIELDABOVE(number, lines_list);
  split.ADDFIELDBELOW(number, text);

  TreeToLines drop(tree, lines.rows, lines_list);
  drop.INIT(window, tree_list, lines_list, "task");

  MH::QUICKENDATECLASS date_keys;
  date_keys.INIT(window);

  // The tree's toolbar, made last so that the controls above keep their numbers. A change of a
  // group (a double click on its row) shows in the title.
  tree.USETOOLBAR(addons::MakeTreeToolbar(window));
  tree.SETOPTION(1, true);  // Shift+Up and Shift+Down close and open the whole tree
  tree.SETALERTS();
  int changes = 0;
  group_section.ADDUPDATE(
      [&](int) {
        window.Title("Add-on Sample: changed " + std::to_string(++changes));
        return 2;
      },
      false, true, false);
  while (window.Accept() && ACCEPTED() != close) {
    split.TAKEEVENT();
    drop.TAKEEVENT();
    tree.TAKEEVENT();
    date_keys.TAKEEVENT();
    editor.TAKEEVENT();
  }
}

TEST(AddonsQt, TheSampleWindowWorksWithTheRealMouseAndKeys) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(SampleWindow, [&] {
    qt::QtWindow* window = WaitShown("Add-on Sample");
    ASSERT_NE(window, nullptr);
    QWidget* bar = ShownControl<QWidget>(window, 4);
    QWidget* text = ShownControl<QWidget>(window, 5);
    QTableView* tree = ShownControl<QTableView>(window, 2);
    QWidget* editor = ShownControl<QLineEdit>(window, 9);
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(tree, nullptr);
    // The tree's rows show their depth and markers; the editor stands over its cell.
    QString first, second;
    OnGui([&] {
      first = tree->model()->index(0, 0).data().toString();
      second = tree->model()->index(1, 0).data().toString();
    });
    EXPECT_TRUE(first.contains("Home")) << first.toStdString();
    EXPECT_TRUE(first.startsWith(QChar(0x25BE))) << "open: " << first.toStdString();
    EXPECT_TRUE(second.contains("Shopping"));
    if (editor) {
      bool over_cell = false;
      OnGui([&] {
        over_cell =
            qobject_cast<QAbstractScrollArea*>(editor->parentWidget()->parentWidget()) != nullptr;
      });
      EXPECT_TRUE(over_cell) << "the editor stands on the list";
    }

    // A shot of the sample window for a person to look at, when asked for.
    if (const char* shot = std::getenv("VX_ADDON_SAMPLE_SHOT")) {
      OnGui([&] { window->grab().save(QString::fromUtf8(shot)); });
    }

    int text_top = 0, tree_height = 0;
    QRect bar_place;
    const auto read = [&] {
      OnGui([&] {
        text_top = text->geometry().top();
        tree_height = tree->height();
        bar_place = QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size());
      });
    };
    read();
    const int text_top_before = text_top, tree_height_before = tree_height;
    // Other test programs may share the display: a drag that went astray is made again.
    for (int attempt = 0; attempt < 5 && text_top == text_top_before; ++attempt) {
      OnGui([&] {
        window->raise();
        window->activateWindow();
      });
      const QPoint from = bar_place.center();
      FakeDrag(from.x(), from.y(), from.x(), from.y() + 40);
      WaitFor(
          [&] {
            read();
            return text_top != text_top_before;
          },
          3s);
    }
    EXPECT_GT(text_top, text_top_before) << "the text below the bar moved down";
    EXPECT_GT(tree_height, tree_height_before) << "the list above it grew";
    if (const char* shot = std::getenv("VX_ADDON_SAMPLE_SHOT")) {
      OnGui([&] { window->grab().save(QString::fromUtf8(shot) + ".after.png"); });
    }

    // M on the date field goes to the first of the month before: the key reaches the program.
    QLineEdit* due = ShownControl<QLineEdit>(window, 7);
    ASSERT_NE(due, nullptr);
    QString before_key;
    OnGui([&] {
      before_key = due->text();
      due->setFocus();
      QKeyEvent m(QEvent::KeyPress, Qt::Key_M, Qt::NoModifier, QStringLiteral("m"));
      QApplication::sendEvent(due, &m);
    });
    const QString wanted = QString::fromStdString(FORMAT(DATE(2, 1, 2026), "@D6"));
    EXPECT_TRUE(WaitFor(
        [&] {
          QString now;
          OnGui([&] { now = due->text(); });
          return now == wanted;
        },
        3s))
        << before_key.toStdString() << " did not become " << wanted.toStdString();

    // A tree row opens with Right and closes with Left.
    const auto rows = [&] {
      int n = 0;
      OnGui([&] { n = tree->model()->rowCount(); });
      return n;
    };
    ASSERT_EQ(rows(), 4);
    OnGui([&] {
      tree->setCurrentIndex(tree->model()->index(3, 0));  // Work
      QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
      QApplication::sendEvent(tree, &right);
    });
    EXPECT_TRUE(WaitFor([&] { return rows() == 5; }, 3s)) << "Work opened";
    OnGui([&] {
      tree->setCurrentIndex(tree->model()->index(0, 0));  // Home
      QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
      QApplication::sendEvent(tree, &left);
    });
    EXPECT_TRUE(WaitFor([&] { return rows() == 3; }, 3s)) << "Home closed";

    // A tree row dragged onto the lines list with the mouse becomes a line there.
    QTableView* lines = ShownControl<QTableView>(window, 3);
    ASSERT_NE(lines, nullptr);
    const auto line_count = [&] {
      int n = 0;
      OnGui([&] { n = lines->model()->rowCount(); });
      return n;
    };
    QPoint from, to;
    OnGui([&] {
      from = tree->viewport()->mapToGlobal(tree->visualRect(tree->model()->index(0, 0)).center());
      to = lines->viewport()->mapToGlobal(
          QPoint(lines->viewport()->width() / 2, lines->viewport()->height() - 10));
    });
    for (int attempt = 0; attempt < 5 && line_count() == 3; ++attempt) {
      OnGui([&] { window->raise(); });
      FakeDrag(from.x(), from.y(), to.x(), to.y());
      WaitFor([&] { return line_count() == 4; }, 3s);
    }
    ASSERT_EQ(line_count(), 4) << "the drop was taken";
    QString added;
    OnGui([&] { added = lines->model()->index(3, 0).data().toString(); });
    EXPECT_EQ(added.toStdString(), "Home");

    // The tree's toolbar: of each pair one button shows; Expand All opens every row and gives its
    // place to Contract All.
    QToolBar* toolbar = nullptr;
    OnGui([&] { toolbar = window->findChild<QToolBar*>(); });
    ASSERT_NE(toolbar, nullptr);
    const auto action = [&](const char* caption) {
      QAction* found = nullptr;
      OnGui([&] {
        for (QAction* a : toolbar->actions())
          if (a->text() == QString::fromUtf8(caption)) found = a;
      });
      return found;
    };
    const auto visible = [&](const char* caption) {
      QAction* a = action(caption);
      bool on = false;
      OnGui([&] { on = a && a->isVisible(); });
      return on;
    };
    ASSERT_NE(action("Expand All"), nullptr);
    EXPECT_TRUE(visible("Expand All"));
    EXPECT_FALSE(visible("Contract All"));
    QAction* refresh = action("Refresh");
    QAction* expand_all = action("Expand All");
    ASSERT_NE(refresh, nullptr);
    QString tip;
    OnGui([&] { tip = refresh->toolTip(); });
    EXPECT_EQ(tip.toStdString(), "Reload the tree");
    OnGui([&] { expand_all->trigger(); });
    EXPECT_TRUE(WaitFor([&] { return rows() == 5 && visible("Contract All"); }, 3s))
        << "every row open, Contract All in Expand All's place";
    EXPECT_FALSE(visible("Expand All"));

    // Ctrl+PgDn and Ctrl+PgUp on top rows move one row down and up.
    const auto current = [&] {
      int row = -1;
      OnGui([&] { row = tree->currentIndex().row(); });
      return row;
    };
    const auto key = [&](int row, Qt::Key k) {
      OnGui([&] {
        tree->setFocus();
        tree->setCurrentIndex(tree->model()->index(row, 0));
        QKeyEvent press(QEvent::KeyPress, k, Qt::ControlModifier);
        QApplication::sendEvent(tree, &press);
      });
    };
    key(0, Qt::Key_PageDown);  // from Home
    EXPECT_TRUE(WaitFor([&] { return current() == 1; }, 3s)) << current();
    key(3, Qt::Key_PageUp);  // from Work
    EXPECT_TRUE(WaitFor([&] { return current() == 2; }, 3s)) << current();

    // Shift+Up closes every row, Shift+Down opens them all again.
    const auto shift = [&](Qt::Key k) {
      OnGui([&] {
        tree->setFocus();
        QKeyEvent press(QEvent::KeyPress, k, Qt::ShiftModifier);
        QApplication::sendEvent(tree, &press);
      });
    };
    shift(Qt::Key_Up);
    EXPECT_TRUE(WaitFor([&] { return rows() == 2; }, 3s)) << rows();
    shift(Qt::Key_Down);
    EXPECT_TRUE(WaitFor([&] { return rows() == 5; }, 3s)) << rows();

    // A double click on a row's marker closes or opens the row and is no change of it; one on
    // its text is.
    const auto mouse_on = [&](int row, bool on_marker, std::vector<QEvent::Type> events) {
      OnGui([&] {
        const QRect cell = tree->visualRect(tree->model()->index(row, 0));
        const QPointF at(on_marker ? cell.left() + 6 : cell.center().x(), cell.center().y());
        for (QEvent::Type type : events) {
          QMouseEvent mouse(type, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                            Qt::NoModifier);
          QApplication::sendEvent(tree->viewport(), &mouse);
        }
      });
    };
    const auto double_click = [&](int row, bool on_marker) {
      mouse_on(row, on_marker,
               {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                QEvent::MouseButtonRelease});
    };
    // Home clicked first: the list itself would take a double click that follows on the row.
    mouse_on(0, false, {QEvent::MouseButtonPress, QEvent::MouseButtonRelease});
    double_click(0, true);
    EXPECT_TRUE(WaitFor([&] { return rows() == 3; }, 3s)) << "Home closed by its marker";
    double_click(0, false);
    QString title;
    EXPECT_TRUE(WaitFor(
        [&] {
          OnGui([&] { title = window->windowTitle(); });
          return title.contains("changed");
        },
        3s));
    EXPECT_EQ(title.toStdString(), "Add-on Sample: changed 1")
        << "the double click on the marker was not taken as a change";
    if (const char* shot = std::getenv("VX_ADDON_SAMPLE_SHOT")) {
      OnGui([&] { window->grab().save(QString::fromUtf8(shot) + ".toolbar.png"); });
    }
    OnGui([&] { window->close(); });
  });
  EXPECT_EQ(status, 0);
}

// A list whose second column is edited by a check box: the box stands over the chosen row's cell,
// captioned with the column's header, and Enter hands the ticked value to the program.
void CheckCellWindow() {
  Window window("Check Cell");
  Control& list = window.List("80L(2)~Item~@s20@40L(2)~Done~@s1@");
  Lines lines;
  list.From(&lines);
  list.Choose(2);
  std::string done = "0";
  SBRW::EDITCHECKCLASS editor;
  editor.INIT(2, list, done);
  const int close = window.Button("Close");
  while (window.Accept() && ACCEPTED() != close) {
    if (const int code = editor.TAKEEVENT(); code != 0)
      window.Title("code " + std::to_string(code) + " done " + done);
  }
}

TEST(AddonsQt, TheCheckBoxCellEditorStandsOverItsCellAndHandsOnItsTick) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(CheckCellWindow, [&] {
    qt::QtWindow* window = WaitShown("Check Cell");
    ASSERT_NE(window, nullptr);
    QCheckBox* box = nullptr;
    QTableView* list = nullptr;
    OnGui([&] {
      box = window->findChild<QCheckBox*>();
      list = window->findChild<QTableView*>("control-1");
    });
    ASSERT_NE(box, nullptr);
    ASSERT_NE(list, nullptr);
    QString caption;
    bool on_list = false;
    int box_mid = 0, row_top = 0, row_bottom = 0;
    OnGui([&] {
      caption = box->text();
      on_list = box->parentWidget() == list->viewport();
      box_mid = box->geometry().center().y();
      const QRect row = list->visualRect(list->model()->index(1, 1));
      row_top = row.top();
      row_bottom = row.bottom();
    });
    if (const char* shot = std::getenv("VX_ADDON_SAMPLE_SHOT")) {
      OnGui([&] { window->grab().save(QString::fromUtf8(shot) + ".check.png"); });
    }
    EXPECT_EQ(caption.toStdString(), "Done");
    EXPECT_TRUE(on_list) << "the box stands on the list";
    EXPECT_GE(box_mid, row_top) << "over the chosen row";
    EXPECT_LE(box_mid, row_bottom);
    OnGui([&] {
      box->setFocus();
      box->click();
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QApplication::sendEvent(box, &enter);
    });
    QString title;
    EXPECT_TRUE(WaitFor(
        [&] {
          OnGui([&] { title = window->windowTitle(); });
          return title == "code 3 done 1";
        },
        3s))
        << title.toStdString();
    OnGui([&] { window->close(); });
  });
  EXPECT_EQ(status, 0);
}

// Tab and Shift+Tab on the check box leave the cell for the next and the one before, with the
// tick handed on.
TEST(AddonsQt, TabAndShiftTabOnTheCheckBoxCellEditorLeaveTheCell) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(CheckCellWindow, [&] {
    qt::QtWindow* window = WaitShown("Check Cell");
    ASSERT_NE(window, nullptr);
    QCheckBox* box = nullptr;
    OnGui([&] { box = window->findChild<QCheckBox*>(); });
    ASSERT_NE(box, nullptr);
    struct Case {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      const char* title;
    } cases[] = {
        {Qt::Key_Tab, Qt::NoModifier, "code 1 done 1"},
        {Qt::Key_Backtab, Qt::ShiftModifier, "code 2 done 0"},  // each case ticks the box over
    };
    for (const Case& c : cases) {
      OnGui([&] {
        box->setFocus();
        box->click();
        QKeyEvent key(QEvent::KeyPress, c.key, c.modifiers);
        QApplication::sendEvent(box, &key);
      });
      QString title;
      EXPECT_TRUE(WaitFor(
          [&] {
            OnGui([&] { title = window->windowTitle(); });
            return title == c.title;
          },
          3s))
          << c.title << ": " << title.toStdString();
    }
    OnGui([&] { window->close(); });
  });
  EXPECT_EQ(status, 0);
}

// A lookup cell editor that counts the presses of its button in the window's title.
class CountedLookup final : public SBRW::EDITENTRYLUCLASS {
 public:
  int TAKEBUTTONACCEPTED() override {
    ++presses;
    return 0;
  }
  int presses = 0;
};

void LookupCellWindow() {
  Window window("Lookup Cell");
  Control& list = window.List("80L(2)~Item~@s20@40R(2)~Count~@n5@");
  Lines lines;
  list.From(&lines);
  list.Choose(1);
  std::string item = "Apples";
  CountedLookup editor;
  editor.INIT(1, list, item);
  const int close = window.Button("Close");
  while (window.Accept() && ACCEPTED() != close) {
    editor.TAKEEVENT();
    if (editor.presses != 0) window.Title("looked up " + std::to_string(editor.presses));
  }
}

// A click on the lookup combo's button reaches the editor as the button's press, and no list
// drops down (the lookup has none).
TEST(AddonsQt, TheLookupCellEditorsButtonReachesTheEditor) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(LookupCellWindow, [&] {
    qt::QtWindow* window = WaitShown("Lookup Cell");
    ASSERT_NE(window, nullptr);
    QComboBox* combo = nullptr;
    OnGui([&] { combo = window->findChild<QComboBox*>(); });
    ASSERT_NE(combo, nullptr);
    OnGui([&] {
      QStyleOptionComboBox option;
      option.initFrom(combo);
      option.editable = combo->isEditable();
      option.subControls = QStyle::SC_All;
      const QPoint at =
          combo->style()
              ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, combo)
              .center();
      const QPoint global = combo->mapToGlobal(at);
      QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
      QApplication::sendEvent(combo, &press);
      QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                          Qt::NoModifier);
      QApplication::sendEvent(combo, &release);
    });
    QString title;
    EXPECT_TRUE(WaitFor(
        [&] {
          OnGui([&] { title = window->windowTitle(); });
          return title == "looked up 1";
        },
        3s))
        << title.toStdString();
    bool dropped = true;
    OnGui([&] { dropped = combo->view()->isVisible(); });
    EXPECT_FALSE(dropped) << "no list drops down";
    OnGui([&] { window->close(); });
  });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace vx
