// The parent form with child lines in a real window of the Qt front end: an order whose lines
// (item, code, price) are edited in place, with the buttons and the list's own keys. The user
// adds a line from the keyboard, types its cells, moves it and saves; the stored lines are read
// back after the window has closed.
#include <gtest/gtest.h>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "datadll/addons/edit_in_place.h"
#include "datadll/addons/invoice_class.h"
#include "framework/file_manager.h"
#include "runtime/storage_fixture.h"
#include "runtime/text_functions.h"
#include "runtime/window/window.h"
#include "tests/frontend/qt_test_support.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using namespace vx::test;

Item& OrderLine() {
  thread_local Item line{};
  return line;
}

// A line without an item is an empty row; the total of the prices stands below the list.
class OrderLines final : public SINV::INVOICECLASS {
 public:
  bool ISEMPTYROW(long row) const override {
    return CLIP(Fields(static_cast<std::size_t>(row - 1))[0]).empty();
  }
  void CALCTOTALS() override {
    std::int64_t cents = 0;
    for (const std::string& row : ROWS) {
      Item line;
      std::memcpy(&line, row.data(), sizeof line);
      cents += line.Amount.Rescaled(2).units();
    }
    total = Decimal::FromUnits(cents, 2).ToString();
    if (total_prompt) total_prompt->SetText("Total: " + total);
  }
  // Each line is stored under its place in the list, so the order the user gave them holds.
  int BEFOREADDINGCHILD() override {
    OrderLine().Id = ++stored;
    return 0;
  }
  std::string total;
  Control* total_prompt = nullptr;
  int stored = 0;
};

TableDef LinesTable() {
  TableDef def = MakeItemTable("orderlines\\!items");
  def.buffer = [] { return static_cast<void*>(&OrderLine()); };
  return def;
}

// Order 7 with three lines, and one line of order 8 that the form leaves alone.
void StoreLines() {
  const TableDef def = LinesTable();
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  struct Line {
    int id, order;
    const char* name;
    const char* code;
    int cents;
  };
  for (const Line& l : {Line{1, 7, "Apples", "AP-1", 320}, Line{2, 8, "Other", "OT-1", 100},
                        Line{3, 7, "Pears", "PE-2", 1250}, Line{4, 7, "Plums", "PL-3", 475}}) {
    OrderLine() = Item{};
    OrderLine().Id = l.id;
    OrderLine().Small = static_cast<std::int16_t>(l.order);
    OrderLine().Name = l.name;
    OrderLine().Code = l.code;
    OrderLine().Amount = Decimal::FromUnits(l.cents, 2);
    ASSERT_EQ(file.Add(), 0);
  }
}

// "item code price" of order 7's stored lines, in id order.
std::vector<std::string> StoredLines() {
  const TableDef def = LinesTable();
  File file(def);
  std::vector<std::string> out;
  EXPECT_EQ(file.Open(), 0);
  EXPECT_EQ(file.Set(def.keys[0]), 0);
  while (file.Next() == 0) {
    if (OrderLine().Small != 7) continue;
    out.push_back(CLIP(OrderLine().Name) + " " + std::string(OrderLine().Code.c_str()) + " " +
                  OrderLine().Amount.ToString());
  }
  return out;
}

std::atomic<bool> g_saved{false};

void OrderWindow() {
  const TableDef order_def = MakeItemTable("orders\\!items");
  const TableDef line_def = LinesTable();
  FileManager orders, lines;
  orders.Init(order_def);
  lines.Init(line_def);
  if (lines.Open() != 0) return;
  ItemBuffer() = Item{};
  ItemBuffer().Id = 7;

  Window window("Order 7");
  std::string customer = "Greengrocer's";
  window.Prompt("&Customer:");
  window.Entry(customer, "@s30");
  window.Prompt("&Lines:");
  Control& list = window.List("70L(2)~Item~@s10@40L(2)~Code~@s7@45R(2)~Price~@n9.2@");
  OrderLines form;
  Control& total = window.Prompt("Total:");
  form.total_prompt = &total;
  form.INIT(list, lines, line_def.keys[0]);
  form.ADDFIELD("Name");
  form.ADDFIELD("Code");
  form.ADDFIELD("Amount");
  form.ADDCHILDPARENTFIELD("Small", orders, "Id");
  SBRW::EDITENTRYCLASS item_editor, code_editor, price_editor;
  item_editor.INIT(1, list, form.CELL);
  code_editor.INIT(2, list, form.CELL);
  price_editor.INIT(3, list, form.CELL);
  form.ADDEDITCONTROL(item_editor, 1);
  form.ADDEDITCONTROL(code_editor, 2);
  form.ADDEDITCONTROL(price_editor, 3);
  form.INSERTCONTROL = window.Button("&Insert");
  form.CHANGECONTROL = window.Button("C&hange");
  form.DELETECONTROL = window.Button("&Delete");
  form.SHIFTUPCONTROL = window.Button("Move &Up");
  form.SHIFTDOWNCONTROL = window.Button("Move Do&wn");
  form.OKCONTROL = window.Button("&OK").Default();
  const int cancel = window.Button("Cancel");
  form.CONFIRMDELETE = form.AUTOINSERT = true;
  form.TABACTION = 8;
  form.LOAD();
  form.CALCTOTALS();
  while (window.Accept()) {
    if (form.TAKEEVENT() != 0) continue;
    if (ACCEPTED() == cancel) break;
    if (ACCEPTED() == form.OKCONTROL) {
      form.SAVEINIT(SINV::ChangeRequest);
      form.stored = 100;  // above the ids of other orders' lines
      if (form.SAVE() == 0) {
        g_saved = true;
        break;
      }
    }
  }
  lines.Close();
}

class InvoiceFormQt : public ScratchDir {};

TEST_F(InvoiceFormQt, AnOrdersLinesAreAddedFromTheKeyboardMovedAndSaved) {
  REQUIRE_QT_DISPLAY();
  ASSERT_NO_FATAL_FAILURE(StoreLines());
  const int status = RunAsUser(OrderWindow, [&] {
    qt::QtWindow* window = WaitShown("Order 7");
    ASSERT_NE(window, nullptr);
    QTableView* list = nullptr;
    OnGui([&] { list = window->findChild<QTableView*>(); });
    ASSERT_NE(list, nullptr);
    const auto rows = [&] {
      std::vector<std::string> out;
      OnGui([&] {
        for (int r = 0; r < list->model()->rowCount(); ++r) {
          std::string row;
          for (int c = 0; c < list->model()->columnCount(); ++c)
            row += (c ? "|" : "") +
                   list->model()->index(r, c).data().toString().trimmed().toStdString();
          out.push_back(row);
        }
      });
      return out;
    };
    ASSERT_TRUE(WaitFor([&] { return rows().size() == 3; }, 3s));
    EXPECT_EQ(rows()[1], "Pears|PE-2|12.50");
    if (const char* shot = std::getenv("VX_ADDON_SAMPLE_SHOT")) {
      OnGui([&] { window->grab().save(QString::fromUtf8(shot) + ".order.png"); });
    }
    // Every column shows its header and values whole.
    OnGui([&] {
      const QHeaderView* header = list->horizontalHeader();
      for (int c = 0; c < list->model()->columnCount(); ++c) {
        const QString head = list->model()->headerData(c, Qt::Horizontal).toString();
        EXPECT_GE(header->sectionSize(c), header->fontMetrics().horizontalAdvance(head))
            << head.toStdString();
      }
      EXPECT_LE(header->sectionViewportPosition(2) + header->sectionSize(2),
                list->viewport()->width() + 1)
          << "the last column is in view";
    });

    // Insert on the list adds a line at the end and opens its first cell; the cells are typed
    // and Tab moves from one to the next; Enter completes the line.
    const auto key = [&](QWidget* to, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
      OnGui([&] {
        QKeyEvent press(QEvent::KeyPress, k, mods);
        QApplication::sendEvent(to, &press);
      });
    };
    // The cell editor that has the keys, once it is another one than `left`.
    const auto focused_editor = [&](QLineEdit* left = nullptr) {
      QLineEdit* edit = nullptr;
      WaitFor(
          [&] {
            OnGui([&] {
              edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
              if (edit && (edit->parentWidget() != list->viewport() || edit == left))
                edit = nullptr;
            });
            return edit != nullptr;
          },
          3s);
      return edit;
    };
    const auto type = [&](QLineEdit* edit, const char* text) {
      OnGui([&] {
        edit->selectAll();
        edit->insert(QString::fromUtf8(text));
      });
    };
    OnGui([&] {
      window->activateWindow();
      list->setFocus();
    });
    // Down moves through the lines and past the last one adds a line; Esc there takes it back.
    for (int down = 0; down < 3; ++down) key(list, Qt::Key_Down);
    ASSERT_TRUE(WaitFor([&] { return rows().size() == 4; }, 3s)) << "Down past the last line";
    QLineEdit* added = focused_editor();
    ASSERT_NE(added, nullptr);
    key(added, Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return rows().size() == 3; }, 3s)) << "Esc took the line back";
    int chosen = 0;
    OnGui([&] { chosen = list->currentIndex().row(); });
    EXPECT_EQ(chosen, 2) << "the last line is chosen again";

    key(list, Qt::Key_Insert);
    ASSERT_TRUE(WaitFor([&] { return rows().size() == 4; }, 3s)) << "Insert added a line";
    QLineEdit* cell = focused_editor();
    ASSERT_NE(cell, nullptr) << "the new line's first cell has the keys";
    type(cell, "Figs");
    key(cell, Qt::Key_Tab);
    ASSERT_TRUE(WaitFor([&] { return rows()[3].rfind("Figs|", 0) == 0; }, 3s)) << rows()[3];
    cell = focused_editor(cell);
    ASSERT_NE(cell, nullptr);
    type(cell, "FI-4");
    key(cell, Qt::Key_Tab);
    cell = focused_editor(cell);
    ASSERT_NE(cell, nullptr);
    type(cell, "2.05");
    key(cell, Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return rows()[3] == "Figs|FI-4|2.05"; }, 3s)) << rows()[3];

    // Ctrl+Enter changes the chosen line; Esc there keeps it as it was.
    OnGui([&] { list->setFocus(); });
    key(list, Qt::Key_Return, Qt::ControlModifier);
    cell = focused_editor();
    ASSERT_NE(cell, nullptr) << "Ctrl+Enter opened the line";
    type(cell, "Dates");
    key(cell, Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return rows()[3] == "Figs|FI-4|2.05"; }, 3s)) << rows()[3];

    // The new line moves up one with its button; OK stores the lines and closes the window.
    QPushButton* up = nullptr;
    QPushButton* ok = nullptr;
    OnGui([&] {
      for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->text() == "Move &Up") up = b;
        if (b->text() == "&OK") ok = b;
      }
    });
    ASSERT_NE(up, nullptr);
    ASSERT_NE(ok, nullptr);
    OnGui([&] { up->click(); });
    EXPECT_TRUE(WaitFor([&] { return rows()[2] == "Figs|FI-4|2.05"; }, 3s));
    if (const char* shot = std::getenv("VX_ADDON_SAMPLE_SHOT")) {
      OnGui([&] { window->grab().save(QString::fromUtf8(shot) + ".order.after.png"); });
    }
    OnGui([&] { ok->click(); });
    EXPECT_TRUE(WaitFor([&] { return g_saved.load(); }, 5s)) << "OK saved the order";
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(StoredLines(), (std::vector<std::string>{"Apples AP-1 3.20", "Pears PE-2 12.50",
                                                     "Figs FI-4 2.05", "Plums PL-3 4.75"}));
}

}  // namespace
}  // namespace vx
