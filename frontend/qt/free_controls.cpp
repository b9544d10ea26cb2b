// What a window's controls do beyond their layouts: controls of a free area standing where the
// model places them (dialog units turned into pixels of the window's font) with the area's size
// reported back as it changes; dragging a control that carries a drag identifier (the mouse
// reported while the button is held, the control under it when let go); a cell editor standing
// over its list cell; a list's column selection; and the open and close markers of tree rows.
// See qt_window.h.
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>
#include <cmath>
#include <cstdlib>

#include "frontend/qt/list_column_widths.h"
#include "frontend/qt/list_table_model.h"
#include "frontend/qt/prop_text.h"
#include "frontend/qt/qt_window.h"
#include "frontend/qt/window_keys.h"
#include "runtime/events.h"

namespace vx::qt {
namespace {

long PropNumber(const WindowItem& item, Prop prop) {
  auto it = item.props.find(prop);
  return it == item.props.end() ? 0 : std::strtol(it->second.c_str(), nullptr, 10);
}

bool Has(const WindowItem& item, Prop prop) {
  auto it = item.props.find(prop);
  return it != item.props.end() && !it->second.empty() && it->second != "0";
}

// Pixels per dialog unit of a widget's font: a quarter of its letters' mean width across, an
// eighth of its line height down.
double UnitX(const QWidget* w) { return DialogCharWidth(w->fontMetrics()) / 4.0; }
double UnitY(const QWidget* w) { return w->fontMetrics().height() / 8.0; }

// The plain keys a field may alert besides Enter and Esc: letters, the keypad's + and -, Tab,
// Shift+Tab, Up and Down (date keys, cell editors), as KEYCODE() numbers them.
int PlainFieldKeyCode(const QKeyEvent& key) {
  const Qt::KeyboardModifiers mods = key.modifiers();
  if (mods & Qt::KeypadModifier) {
    if (key.key() == Qt::Key_Plus) return 0x6B;
    if (key.key() == Qt::Key_Minus) return 0x6D;
  }
  const Qt::KeyboardModifiers plain = mods & ~Qt::KeypadModifier;
  if (key.key() == Qt::Key_Backtab) return 0x109;
  if (plain != Qt::NoModifier) return 0;
  if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z) return 'A' + (key.key() - Qt::Key_A);
  if (key.key() == Qt::Key_Tab) return 9;
  if (key.key() == Qt::Key_Up) return 0x26;
  if (key.key() == Qt::Key_Down) return 0x28;
  return 0;
}

bool TypedIn(ControlType type) {
  return type == ControlType::Entry || type == ControlType::Spin || type == ControlType::Combo;
}

// The fields whose alerted plain keys go to the program: those typed in, and the check boxes,
// radios, drop lists and buttons a cell editor may stand over a list cell as (Tab leaves the
// cell there, rather than moving the focus).
bool TakesPlainKeys(ControlType type) {
  return TypedIn(type) || type == ControlType::Check || type == ControlType::Radio ||
         type == ControlType::DropList || type == ControlType::Button;
}

}  // namespace

void QtWindow::PlaceFree(int number, Item& item, bool first) {
  if (!item.widget) return;
  // A free area itself: as large as the model says at first; from then on the user's sizing
  // goes back to the model, which places the area's controls against it.
  if (auto own = containers_.find(number);
      first && own != containers_.end() && own->second.layout.arrangement == Arrangement::Free) {
    item.widget->setMinimumSize(static_cast<int>(PropNumber(item, Prop::Width) * UnitX(this)),
                                static_cast<int>(PropNumber(item, Prop::Height) * UnitY(this)));
    item.widget->installEventFilter(this);
  }
  if (first && (Has(item, Prop::DragId) || TakesPlainKeys(item.type)))
    item.widget->installEventFilter(this);
  if (Has(item, Prop::EditList)) {
    PlaceOverCell(item);
    return;
  }
  auto in = containers_.find(item.parent);
  if (in == containers_.end() || in->second.layout.arrangement != Arrangement::Free) return;
  const double ux = UnitX(this), uy = UnitY(this);
  item.widget->setGeometry(static_cast<int>(std::lround(PropNumber(item, Prop::X) * ux)),
                           static_cast<int>(std::lround(PropNumber(item, Prop::Y) * uy)),
                           static_cast<int>(std::lround(PropNumber(item, Prop::Width) * ux)),
                           static_cast<int>(std::lround(PropNumber(item, Prop::Height) * uy)));
  if (first) item.widget->installEventFilter(this);
}

void QtWindow::ApplyFreeProp(int number, Item& item, Prop prop) {
  switch (prop) {
    case Prop::X:
    case Prop::Y:
    case Prop::Width:
    case Prop::Height:
    case Prop::EditList:
    case Prop::EditColumn:
      PlaceFree(number, item, false);
      break;
    case Prop::DragId:
      if (item.widget) {
        item.widget->installEventFilter(this);
        if (auto* view = qobject_cast<QTableView*>(item.widget))
          view->viewport()->installEventFilter(this);
      }
      break;
    case Prop::SelectedColumn:
    case Prop::Selected:
      if (item.type == ControlType::List) {
        if (prop == Prop::SelectedColumn) ApplyColumnSelection(item);
        FollowCellEditors(number);
      }
      break;
    default:
      break;
  }
}

void QtWindow::FollowCellEditors(int list) {
  for (auto& [number, item] : items_) {
    if (PropNumber(item, Prop::EditList) == list) PlaceOverCell(item);
  }
}

void QtWindow::PlaceOverCell(Item& item) {
  if (!item.widget) return;
  auto list = items_.find(static_cast<int>(PropNumber(item, Prop::EditList)));
  if (list == items_.end() || !list->second.model) {
    return;
  }
  auto* view = static_cast<QTableView*>(list->second.widget);
  const long row = std::max(1L, PropNumber(list->second, Prop::Selected));
  const long column = std::max(1L, PropNumber(item, Prop::EditColumn));
  const QRect cell = view->visualRect(
      list->second.model->index(static_cast<int>(row - 1), static_cast<int>(column - 1)));
  if (item.widget->parentWidget() != view->viewport()) item.widget->setParent(view->viewport());
  item.widget->setGeometry(cell);
  if (!Has(item, Prop::Hide)) {
    item.widget->show();
    item.widget->raise();
  }
}

void QtWindow::ApplyColumnSelection(Item& item) {
  auto* view = qobject_cast<QTableView*>(item.widget);
  if (!view || !item.model) return;
  const long column = PropNumber(item, Prop::SelectedColumn);
  view->setSelectionBehavior(column ? QAbstractItemView::SelectItems
                                    : QAbstractItemView::SelectRows);
  const int row = std::max(0, static_cast<int>(PropNumber(item, Prop::Selected)) - 1);
  if (row < item.model->rowCount()) {
    const QModelIndex at = item.model->index(row, column ? static_cast<int>(column - 1) : 0);
    view->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
  }
}

void QtWindow::WireListExtras(int number, QTableView* view) {
  view->viewport()->installEventFilter(this);
  // In column selection the column the user moves to goes to the model with the row.
  connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this, number](const QModelIndex& now, const QModelIndex& before) {
            auto it = items_.find(number);
            if (applying_ || it == items_.end() || !now.isValid()) return;
            if (!Has(it->second, Prop::SelectedColumn) || now.column() == before.column()) return;
            Post(EVENT_NewSelection, number, std::to_string(now.column() + 1), now.row() + 1);
          });
}

int QtWindow::ControlOf(const QObject* object) const {
  for (; object; object = object->parent()) {
    const QVariant number = object->property("vxControl");
    if (number.isValid()) return number.toInt();
  }
  return 0;
}

std::string QtWindow::DialogPlace(const QWidget* area, const QPoint& global) const {
  const QPoint at = area ? area->mapFromGlobal(global) : mapFromGlobal(global);
  return std::to_string(std::lround(at.x() / UnitX(this))) + " " +
         std::to_string(std::lround(at.y() / UnitY(this)));
}

bool QtWindow::FreeEvent(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  // A free area sized by the user: its size in dialog units goes to the model.
  if (type == QEvent::Resize && !applying_) {
    if (auto it = containers_.find(ControlOf(watched));
        it != containers_.end() && it->second.holder == watched &&
        it->second.layout.arrangement == Arrangement::Free) {
      const QSize size = static_cast<QWidget*>(watched)->size();
      Post(EVENT_Sized, it->first,
           "0 0 " + std::to_string(std::lround(size.width() / UnitX(this))) + " " +
               std::to_string(std::lround(size.height() / UnitY(this))));
    }
    return false;
  }
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
      type != QEvent::MouseButtonRelease && type != QEvent::KeyPress &&
      type != QEvent::MouseButtonDblClick)
    return false;
  const int number = ControlOf(watched);
  auto it = items_.find(number);
  if (it == items_.end()) return false;
  Item& item = it->second;

  // A field's alerted plain keys go to the program, after the text typed so far.
  if (type == QEvent::KeyPress && TakesPlainKeys(item.type)) {
    const int code = PlainFieldKeyCode(*static_cast<QKeyEvent*>(event));
    if (code == 0 || !Alerts(item.props[Prop::Alert], code)) return false;
    ReportEditDone(number);
    return AlertKey(item, code);
  }

  // Tree rows: Right opens the chosen row, Left closes it; a click on a row's marker does either.
  if (item.type == ControlType::List && item.model) {
    auto* view = static_cast<QTableView*>(item.widget);
    if (type == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const QModelIndex current = view->currentIndex();
      const long level = current.isValid()
                             ? item.model->index(current.row(), 0).data(kTreeLevelRole).toLongLong()
                             : 0;
      if (key->modifiers() == Qt::NoModifier && level != 0 &&
          (key->key() == Qt::Key_Right || key->key() == Qt::Key_Left)) {
        const bool open = key->key() == Qt::Key_Right;
        if (open == (level < 0))
          Post(open ? EVENT_Expanded : EVENT_Contracted, number, {}, current.row() + 1);
        return true;
      }
      return false;
    }
    const bool press = type == QEvent::MouseButtonPress;
    if ((press || type == QEvent::MouseButtonDblClick) && watched == view->viewport()) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const QModelIndex at = view->indexAt(mouse->position().toPoint());
      const long level = at.isValid() ? at.data(kTreeLevelRole).toLongLong() : 0;
      if (level != 0 && mouse->button() == Qt::LeftButton) {
        const QRect cell = view->visualRect(at);
        const QFontMetrics metrics = view->fontMetrics();
        const int marker_end =
            cell.left() + 4 +
            metrics.horizontalAdvance(
                QString(static_cast<qsizetype>(2 * (std::labs(level) - 1)), QChar(0x2002))) +
            metrics.horizontalAdvance(QStringLiteral("\u25B8 "));
        const bool open_below = at.data(Qt::DisplayRole).toString().contains(QChar(0x25BE));
        // The press opened or closed the row; the double click that may follow on the marker
        // goes to the program as a double click in the marker's zone, which a tree does not
        // take as a change of the row.
        if (!press && mouse->position().x() < marker_end) {
          Post(EVENT_Accepted, number,
               std::to_string(at.row() + 1) + " 1 " + std::to_string(ListZone_ExpandBox),
               at.row() + 1, MouseLeft2);
          return true;
        }
        if (press && mouse->position().x() < marker_end && (level < 0 || open_below)) {
          Post(level < 0 ? EVENT_Expanded : EVENT_Contracted, number, {}, at.row() + 1);
          return true;
        }
      }
    }
  }
  if (type == QEvent::KeyPress || type == QEvent::MouseButtonDblClick || !Has(item, Prop::DragId) ||
      !item.widget)
    return false;

  // Dragging: from a press on a control with a drag identifier, once the mouse has moved.
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint global = mouse->globalPosition().toPoint();
  QWidget* area = item.widget->parentWidget();
  if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
    drag_ = Drag{number, global, false, {}};
    return false;
  }
  if (drag_.source != number) return false;
  if (type == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton)) {
    if (!drag_.moving) {
      if ((global - drag_.pressed).manhattanLength() < QApplication::startDragDistance())
        return false;
      drag_.moving = true;
      drag_.last = DialogPlace(area, global);
      Post(EVENT_Dragging, number, drag_.last);
      return true;
    }
    const std::string place = DialogPlace(area, global);
    if (place != drag_.last) {
      drag_.last = place;
      Post(EVENT_MouseMove, number, place);
    }
    return true;
  }
  if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
    const bool moved = drag_.moving;
    drag_ = Drag{};
    if (!moved) return false;
    QWidget* under = QApplication::widgetAt(global);
    const int target = under && under->window() == this ? ControlOf(under) : 0;
    Post(EVENT_Drag, number, DialogPlace(area, global), target);
    return true;
  }
  return false;
}

QPoint QtWindow::PopupPlace(int control, long x, long y) const {
  if (x < 0 && y < 0) return QCursor::pos();
  const QWidget* from = centralWidget() ? centralWidget() : this;
  if (auto it = items_.find(control); it != items_.end() && it->second.widget)
    from = it->second.widget;
  QPoint at(static_cast<int>(std::max(0L, x) * UnitX(this)),
            y < 0 ? from->height() : static_cast<int>(y * UnitY(this)));
  // A list's columns are as wide as the list draws them: the middle of the chosen column.
  if (auto it = items_.find(control);
      it != items_.end() && it->second.type == ControlType::List && y < 0) {
    auto* view = static_cast<const QTableView*>(it->second.widget);
    const long column = PropNumber(it->second, Prop::SelectedColumn);
    if (column >= 1) {
      const int section = static_cast<int>(column - 1);
      at.setX(view->horizontalHeader()->sectionViewportPosition(section) +
              view->horizontalHeader()->sectionSize(section) / 2);
    }
  }
  return from->mapToGlobal(at);
}

}  // namespace vx::qt
