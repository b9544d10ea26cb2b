// A real click on a list's column header in the Qt front end sorts the list through the list
// extension: the rows change order and the header shows the sorted column's underline.
#include <gtest/gtest.h>
#include <QApplication>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTableView>

#include <string>
#include <vector>

#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/window_manager.h"
#include "frontend/qt/list_column_widths.h"
#include "runtime/ini_file.h"
#include "runtime/window/window.h"
#include "support/temp_folder.h"
#include "tests/frontend/qt_test_support.h"
#include "tests/frontend/x11_test_input.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using namespace vx::test;

const std::vector<std::string> kNames = {"Delta", "alpha", "Charlie", "bravo"};
std::size_t g_next = 0;
std::string g_name;

class NameView final : public BrowseView {
 public:
  void Reset(int) override { g_next = 0; }
  bool Next() override {
    if (g_next >= kNames.size()) return false;
    g_name = kNames[g_next++];
    return true;
  }
  long Position() const override { return static_cast<long>(g_next); }
  bool Fetch(long position) override {
    if (position < 1 || position > static_cast<long>(kNames.size())) return false;
    g_name = kNames[static_cast<std::size_t>(position - 1)];
    return true;
  }
};

struct NameBrowse final : ZQBROWSECLASS {
  void SetQueueRecord() override { Q = {g_name, std::to_string(g_name.size())}; }
};

void NamesProgram(const std::string& ini) {
  Window window("Xplore Names");
  Control& list = window.List("90L(2)M|~Name~@s20@40R(2)M~Letters~@n3@");
  const int close = window.Button("Cl&ose");
  NameBrowse browse;
  NameView view;
  WindowManager manager(window);
  manager.CancelControl = close;
  browse.Init(list, view, manager);
  browse.AddSortOrder();
  XPLORECLASS xplore;
  xplore.INIT(manager, browse, list, "XploreNames", "?List", {"NAM:Name", "NAM:Letters"},
              "Underline", ini);
  manager.Run();
}

TEST(XploreHeaderQt, ARealHeaderClickSortsTheListAndUnderlinesTheColumn) {
  REQUIRE_QT_DISPLAY();
  test::TempFolder folder("vx_xplore_qt");
  const std::string ini = (folder / "POSITION.INI").string();
  const int status = RunAsUser(
      [&] { NamesProgram(ini); },
      [&] {
        qt::QtWindow* window = WaitShown("Xplore Names");
        ASSERT_NE(window, nullptr);
        QTableView* list = ShownControl<QTableView>(window, 1);
        ASSERT_NE(list, nullptr);
        auto first_row = [&] {
          QString text;
          OnGui([&] { text = list->model()->index(0, 0).data().toString(); });
          return text.toStdString();
        };
        EXPECT_EQ(first_row(), "Delta");
        QRect section;
        OnGui([&] {
          QHeaderView* h = list->horizontalHeader();
          const QPoint corner = h->mapToGlobal(QPoint(h->sectionViewportPosition(0), 0));
          section = QRect(corner, QSize(h->sectionSize(0), h->height()));
        });
        // Other test programs may share the display: a click that went astray is made again.
        for (int attempt = 0; attempt < 5 && first_row() != "alpha"; ++attempt) {
          OnGui([&] {
            window->raise();
            window->activateWindow();
          });
          FakeClick(section.center().x(), section.center().y(), 1);
          WaitFor([&] { return first_row() == "alpha"; }, 2s);
        }
        EXPECT_EQ(first_row(), "alpha")
            << "the click sorted the list on the name, letter case aside";
        bool underlined = false;
        OnGui([&] {
          underlined =
              list->model()->headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().underline();
        });
        EXPECT_TRUE(underlined);

        // A second click reverses the order.
        for (int attempt = 0; attempt < 5 && first_row() != "Delta"; ++attempt) {
          FakeClick(section.center().x(), section.center().y(), 1);
          WaitFor([&] { return first_row() == "Delta"; }, 2s);
        }
        EXPECT_EQ(first_row(), "Delta");
        QString last;
        OnGui([&] { last = list->model()->index(3, 0).data().toString(); });
        EXPECT_EQ(last.toStdString(), "alpha");

        // A header dragged onto the next one moves its column there.
        auto first_header = [&] {
          QString text;
          OnGui([&] { text = list->model()->headerData(0, Qt::Horizontal).toString(); });
          return text.toStdString();
        };
        QRect next;
        OnGui([&] {
          QHeaderView* h = list->horizontalHeader();
          const QPoint corner = h->mapToGlobal(QPoint(h->sectionViewportPosition(1), 0));
          next = QRect(corner, QSize(h->sectionSize(1), h->height()));
        });
        for (int attempt = 0; attempt < 5 && first_header() != "Letters"; ++attempt) {
          OnGui([&] { window->raise(); });
          FakeDrag(section.center().x(), section.center().y(), next.center().x(),
                   next.center().y());
          WaitFor([&] { return first_header() == "Letters"; }, 2s);
        }
        EXPECT_EQ(first_header(), "Letters");
        OnGui([&] { window->close(); });
      });
  EXPECT_EQ(status, 0);
}

// The list font size, line height and scroll bars a user chose come back with the kept layout:
// the Qt list shows them, with columns as wide as the format says in that font.
TEST(XploreHeaderQt, TheKeptListFontAndSizeAreShown) {
  REQUIRE_QT_DISPLAY();
  test::TempFolder folder("vx_xplore_qt");
  const std::string ini = (folder / "POSITION.INI").string();
  {
    IniFile kept(ini);
    kept.Put("XploreNames", "XploreOrigFormatString-?List",
             "90L(2)M|~Name~@s20@40R(2)M~Letters~@n3@");
    kept.Put("XploreNames", "XplorePoint-?List", "20");
    kept.Put("XploreNames", "XploreLineHeight-?List", "12");
    kept.Put("XploreNames", "XploreVscroll-?List", "0");
  }
  const int status = RunAsUser(
      [&] { NamesProgram(ini); },
      [&] {
        qt::QtWindow* window = WaitShown("Xplore Names");
        ASSERT_NE(window, nullptr);
        QTableView* list = ShownControl<QTableView>(window, 1);
        ASSERT_NE(list, nullptr);
        qreal points = 0;
        int row_height = 0, line_height = 0, name_width = 0, designed = 0;
        bool vertical_bar_off = false;
        OnGui([&] {
          points = list->font().pointSizeF();
          row_height = list->verticalHeader()->defaultSectionSize();
          line_height = list->fontMetrics().height();
          name_width = list->columnWidth(0);
          vertical_bar_off = list->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff;
          designed =
              qt::ColumnPixels(ParseListFormat("90L(2)M|~Name~@s20@")[0], list->fontMetrics());
        });
        EXPECT_EQ(points, 20.0);
        EXPECT_EQ(row_height, (12 * line_height + 4) / 8) << "twelve eighths of the font's height";
        EXPECT_TRUE(vertical_bar_off);
        EXPECT_EQ(name_width, designed)
            << "the name column is as wide as its format in the larger font";
        OnGui([&] { window->close(); });
      });
  EXPECT_EQ(status, 0);
}

// Ctrl+Alt+R turns the real list to column selection, Right moves the selected column and Alt+M
// opens the list's popup under that column.
TEST(XploreHeaderQt, ColumnSelectionMovesByKeyAndAltMOpensThePopupUnderTheColumn) {
  REQUIRE_QT_DISPLAY();
  test::TempFolder folder("vx_xplore_qt_columns");
  const std::string ini = (folder / "POSITION.INI").string();
  const int status = RunAsUser(
      [&] { NamesProgram(ini); },
      [&] {
        qt::QtWindow* window = WaitShown("Xplore Names");
        ASSERT_NE(window, nullptr);
        QTableView* list = ShownControl<QTableView>(window, 1);
        ASSERT_NE(list, nullptr);
        const auto press = [&](int key, Qt::KeyboardModifiers modifiers) {
          OnGui([&] {
            list->setFocus();
            QKeyEvent down(QEvent::KeyPress, key, modifiers);
            QApplication::sendEvent(list, &down);
            QKeyEvent up(QEvent::KeyRelease, key, modifiers);
            QApplication::sendEvent(list, &up);
          });
        };
        const auto by_cell = [&] {
          bool cells = false;
          OnGui([&] { cells = list->selectionBehavior() == QAbstractItemView::SelectItems; });
          return cells;
        };
        const auto current_column = [&] {
          int column = -1;
          OnGui([&] { column = list->currentIndex().column(); });
          return column;
        };
        EXPECT_FALSE(by_cell());
        press(Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
        EXPECT_TRUE(WaitFor(by_cell, 3s)) << "column selection";
        EXPECT_EQ(current_column(), 0);
        press(Qt::Key_Right, Qt::NoModifier);
        EXPECT_TRUE(WaitFor([&] { return current_column() == 1; }, 3s));

        press(Qt::Key_M, Qt::AltModifier);
        QWidget* menu = nullptr;
        EXPECT_TRUE(WaitFor(
            [&] {
              OnGui([&] { menu = QApplication::activePopupWidget(); });
              return menu != nullptr;
            },
            3s))
            << "Alt+M opened the popup";
        if (menu) {
          int left = 0, right = 0, list_bottom = 0, menu_x = 0, menu_y = 0;
          OnGui([&] {
            left = list->viewport()->mapToGlobal(QPoint(list->columnViewportPosition(1), 0)).x();
            right = left + list->columnWidth(1);
            list_bottom = list->mapToGlobal(QPoint(0, list->height())).y();
            menu_x = menu->pos().x();
            menu_y = menu->pos().y();
          });
          EXPECT_GE(menu_x, left) << "under the second column, not at the mouse";
          EXPECT_LE(menu_x, right);
          EXPECT_GE(menu_y, list_bottom - 1) << "below the list";
          OnGui([&] { menu->close(); });
        }
        press(Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
        EXPECT_TRUE(WaitFor([&] { return !by_cell(); }, 3s)) << "back to rows";
        OnGui([&] { window->close(); });
      });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace vx
