#include "frontend/qt/control_props.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <algorithm>
#include <cmath>

#include "frontend/qt/bar_graph_view.h"
#include "frontend/qt/drop_down_combo.h"
#include "frontend/qt/list_column_widths.h"
#include "frontend/qt/list_table_model.h"
#include "frontend/qt/named_icons.h"
#include "frontend/qt/page_image_view.h"
#include "frontend/qt/prop_text.h"
#include "frontend/qt/rich_edit_view.h"
#include "frontend/qt/ruler_view.h"
#include "frontend/qt/sheet_tabs.h"
#include "frontend/qt/window_layout.h"
#include "runtime/window/list_format.h"

namespace vx::qt {
namespace {

// A list's rows and columns follow its font: the row height (a line height given in dialog
// units, eighths of the font's height, or else the font's own), and the column widths, which the
// format gives in units of that font.
void FitListToFont(QTableView* view, const std::string& format, long line_height) {
  if (!view) return;
  const QFontMetrics metrics = view->fontMetrics();
  const int row =
      line_height > 0
          ? std::max(4, static_cast<int>(std::lround(line_height * metrics.height() / 8.0)))
          : metrics.height() + 6;
  view->verticalHeader()->setDefaultSectionSize(row);
  const std::vector<ListColumn> columns = ParseListFormat(format);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    view->setColumnWidth(static_cast<int>(i), ColumnPixels(columns[i], metrics));
  }
}

// A sample of a colour for a drop-list item: the colour framed, so that white shows too.
QIcon Swatch(const QColor& colour, const QSize& size) {
  QPixmap picture(size);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setPen(QColor(Qt::darkGray));
  painter.setBrush(colour);
  painter.drawRect(QRect(QPoint(1, 2), size - QSize(3, 5)));
  return QIcon(picture);
}

// The font of a face named as the design names it. A fixed-pitch face this desktop lacks
// becomes the desktop's own fixed-pitch font, never a proportional stand-in.
QFont Typeface(QFont font, const std::string& name) {
  static const QStringList fixed_faces = {"Courier New", "Courier",  "Lucida Console",
                                          "Consolas",    "Fixedsys", "Terminal"};
  const QString family = Q(name);
  font.setFamily(family);
  const bool fixed = fixed_faces.contains(family, Qt::CaseInsensitive);
  if (fixed) font.setStyleHint(QFont::TypeWriter);
  if (fixed && !QFontInfo(font).fixedPitch()) {
    QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (font.pointSizeF() > 0) system.setPointSizeF(font.pointSizeF());
    return system;
  }
  return font;
}

void ApplyText(WindowItem& item, const QString& text) {
  QWidget* w = item.widget;
  if (auto* graph = qobject_cast<BarGraphView*>(w)) {
    graph->SetTitle(text);
    return;
  }
  if (item.tabs) {
    item.tabs->setTabText(item.index, text);
    FitTabBar(item.tabs);
  } else if (item.menu) {
    item.menu->setTitle(text);
  } else if (item.action && item.type == ControlType::Image) {
    // A picture on the toolbar shows its picture, not its name.
    item.action->setIcon(NamedIcon(text.toStdString()));
    item.action->setText(QString());
  } else if (item.action) {
    if (text != "-") item.action->setText(text);
  } else if (item.type == ControlType::Image) {
    static_cast<QLabel*>(w)->setPixmap(NamedIcon(text.toStdString()).pixmap(32, 32));
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(text);
    // A picker button ("...") beside its field is as small as its icon and dots.
    if (text == "...")
      button->setMaximumWidth(button->fontMetrics().horizontalAdvance(text) +
                              2 * button->iconSize().width() + 8);
  } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
    box->setTitle(text);
  }
}

void ApplyValue(WindowItem& item, const std::string& value) {
  QWidget* w = item.widget;
  if (auto* graph = qobject_cast<BarGraphView*>(w)) {
    graph->SetData(Q(value));
    return;
  }
  if (auto* page = qobject_cast<PageImageView*>(w)) {
    page->SetPage(Q(value));
    return;
  }
  if (auto* ruler = qobject_cast<RulerView*>(w)) {
    ruler->SetStops(Q(value));
    return;
  }
  if (auto* rich = qobject_cast<RichEditView*>(w)) {
    rich->SetModelDocument(value);
    return;
  }
  const QString shown = Shown(value);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    if (edit->text() != shown) edit->setText(shown);
  } else if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {
    if (text->toPlainText() != Q(value)) text->setPlainText(Q(value));
  } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
    const QSignalBlocker quiet(spin);
    spin->setValue(static_cast<int>(Number(value)));
  } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
    check->setChecked(On(value));
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    if (combo->isEditable()) combo->setEditText(shown);
  } else if (auto* bar = qobject_cast<QProgressBar*>(w)) {
    bar->setValue(static_cast<int>(Number(value)));
  } else if (item.type == ControlType::String) {
    static_cast<QLabel*>(w)->setText(shown);
  }
}

void ApplySelected(WindowItem& item, long choice) {
  QWidget* w = item.widget;
  if (item.model) {
    auto* view = static_cast<QTableView*>(w);
    const QSignalBlocker quiet(view->selectionModel());
    if (choice >= 1 && choice <= item.model->rowCount()) {
      const QModelIndex index = item.model->index(static_cast<int>(choice - 1), 0);
      view->selectionModel()->setCurrentIndex(
          index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      view->scrollTo(index);
    } else {
      view->selectionModel()->clear();
    }
    view->viewport()->update();
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    const QSignalBlocker quiet(combo);
    // An editable combo whose text is none of its items keeps showing that text.
    if (combo->isEditable() && choice < 1) return;
    combo->setCurrentIndex(static_cast<int>(choice - 1));
  } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
    const QSignalBlocker quiet(tabs);
    if (choice >= 1) tabs->setCurrentIndex(static_cast<int>(choice - 1));
  } else if (item.group) {
    if (QAbstractButton* radio = item.group->button(static_cast<int>(choice))) {
      radio->setChecked(true);
    } else if (QAbstractButton* checked = item.group->checkedButton()) {
      item.group->setExclusive(false);
      checked->setChecked(false);
      item.group->setExclusive(true);
    }
  }
}

// When the only growing row of a form is hidden, its height goes to an empty row below the
// last one: left to Qt, it would stretch a group or option box above, whose rows then float in
// a tall frame.
void KeepSpareHeightBelow(QGridLayout* grid, QWidget* holder, int hidden_row, bool hidden) {
  const QVariant kept = holder->property("vxSpareRow");
  if (!hidden) {
    if (kept.isValid()) grid->setRowStretch(kept.toInt(), 0);
    return;
  }
  const int spare = kept.isValid() ? kept.toInt() : grid->rowCount();
  for (int row = 0; row < grid->rowCount(); ++row) {
    if (row != hidden_row && row != spare && grid->rowStretch(row) > 0) return;
  }
  holder->setProperty("vxSpareRow", spare);
  grid->setRowStretch(spare, 1);
}

void ApplyHidden(WindowItem& item, bool hidden, const QWidget* window) {
  if (item.tabs) {
    item.tabs->setTabVisible(item.index, !hidden);
  } else if (item.action) {
    item.action->setVisible(!hidden);
  } else if (item.widget && item.widget != window) {
    item.widget->setVisible(!hidden);
    // A hidden field that grows gives its row's height back to the rest of its form.
    QWidget* holder = item.widget->parentWidget();
    auto* grid = holder ? qobject_cast<QGridLayout*>(holder->layout()) : nullptr;
    if (grid && Stretches(item.type)) {
      int row = 0, column = 0, rows = 0, columns = 0;
      if (const int index = grid->indexOf(item.widget); index >= 0) {
        grid->getItemPosition(index, &row, &column, &rows, &columns);
        grid->setRowStretch(row, hidden ? 0 : 1);
        KeepSpareHeightBelow(grid, holder, row, hidden);
      }
    }
  }
}

}  // namespace

// A sheet shows its tab headers unless it pages as a wizard, or its only tab has no caption
// (a frame drawn round a list): an empty header there would look like a missing label.
void FitTabBar(QTabWidget* tabs) {
  const bool lone_blank = tabs->count() == 1 && tabs->tabText(0).isEmpty();
  tabs->tabBar()->setVisible(!tabs->property("vxWizard").toBool() && !lone_blank);
}

void ApplyControlProp(WindowItem& item, const QWidget* window, Prop prop,
                      const std::string& value) {
  item.props[prop] = value;
  QWidget* w = item.widget;
  switch (prop) {
    case Prop::Text:
      ApplyText(item, Q(value));
      break;
    case Prop::Value:
      ApplyValue(item, value);
      break;
    case Prop::Selected:
      ApplySelected(item, Number(value));
      break;
    case Prop::Hide:
      ApplyHidden(item, On(value), window);
      break;
    case Prop::Disable:
      if (item.tabs)
        item.tabs->setTabEnabled(item.index, !On(value));
      else if (item.action)
        item.action->setEnabled(!On(value));
      else if (w)
        w->setEnabled(!On(value));
      break;
    case Prop::Password:
      if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setEchoMode(On(value) ? QLineEdit::Password : QLineEdit::Normal);
      break;
    case Prop::SelStart:
    case Prop::SelEnd:
      // A rich edit's selection runs from SelStart up to SelEnd (0 based).
      if (auto* rich = qobject_cast<RichEditView*>(w))
        rich->SetModelSelection(Number(item.props[Prop::SelStart]),
                                Number(item.props[Prop::SelEnd]));
      // An entry's caret, and the selection from SelStart to SelEnd when SelEnd is not below it.
      if (auto* edit = qobject_cast<QLineEdit*>(w); edit && prop == Prop::SelEnd) {
        const int start = static_cast<int>(Number(item.props[Prop::SelStart]));
        const int end = static_cast<int>(Number(value));
        if (start >= 1 && end >= start) {
          edit->setSelection(start - 1, end - start + 1);
        } else if (start >= 1) {
          edit->setCursorPosition(start - 1);
        }
      }
      break;
    case Prop::ReadOnly:
      if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setReadOnly(On(value));
      if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) edit->setReadOnly(On(value));
      if (auto* rich = qobject_cast<RichEditView*>(w)) rich->setReadOnly(On(value));
      if (auto* spin = qobject_cast<QSpinBox*>(w)) spin->setReadOnly(On(value));
      break;
    case Prop::Tip:
      if (item.tabs)
        item.tabs->setTabToolTip(item.index, Q(value));
      else if (item.action)
        item.action->setToolTip(Q(value));
      else if (w)
        w->setToolTip(Q(value));
      break;
    case Prop::Icon: {
      const QIcon icon = value.empty() ? QIcon() : NamedIcon(value);
      if (item.tabs)
        item.tabs->setTabIcon(item.index, icon);
      else if (item.action)
        item.action->setIcon(icon);
      else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setIcon(icon);
      else if (auto* combo = qobject_cast<DropDownCombo*>(w))
        combo->SetLookupButton(!value.empty(), icon);
      break;
    }
    case Prop::Default:
      if (auto* button = qobject_cast<QPushButton*>(w)) button->setDefault(On(value));
      break;
    case Prop::Flat:
      if (auto* button = qobject_cast<QPushButton*>(w)) button->setFlat(On(value));
      break;
    case Prop::Key: {
      const QKeySequence key = QKeySequence::fromString(Q(value));
      if (item.action)
        item.action->setShortcut(key);
      else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setShortcut(key);
      break;
    }
    case Prop::Format:
      if (item.model) {
        std::vector<ListColumn> columns = ParseListFormat(value);
        item.model->SetColumns(columns);
        auto* view = static_cast<QTableView*>(w);
        const QFontMetrics metrics = view->fontMetrics();
        for (std::size_t i = 0; i < columns.size(); ++i) {
          view->setColumnWidth(static_cast<int>(i), ColumnPixels(columns[i], metrics));
        }
        // Columns without a heading among them show no header: an empty bar over the rows
        // reads as a label gone missing.
        const bool headed = std::any_of(columns.begin(), columns.end(),
                                        [](const ListColumn& c) { return !c.header.empty(); });
        view->horizontalHeader()->setVisible(headed);
      }
      break;
    case Prop::RangeLow:
    case Prop::RangeHigh: {
      const long low = Number(item.props[Prop::RangeLow]);
      const long high =
          item.props.count(Prop::RangeHigh) ? Number(item.props[Prop::RangeHigh]) : 100;
      if (auto* spin = qobject_cast<QSpinBox*>(w))
        spin->setRange(static_cast<int>(low), static_cast<int>(high));
      if (auto* bar = qobject_cast<QProgressBar*>(w))
        bar->setRange(static_cast<int>(low), static_cast<int>(high));
      break;
    }
    case Prop::Zoom:
      if (auto* page = qobject_cast<PageImageView*>(item.widget))
        page->SetZoom(std::atoi(value.c_str()));
      break;
    case Prop::Step:
      if (auto* spin = qobject_cast<QSpinBox*>(w))
        spin->setSingleStep(static_cast<int>(std::max(1L, Number(value))));
      break;
    case Prop::Picture:
      // An entry opens wide enough for what its picture shows (long texts scroll inside it).
      if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        if (const int width = PictureWidth(value, edit->fontMetrics(), 40); width > 0) {
          edit->setMinimumWidth(width + 2 * edit->fontMetrics().averageCharWidth() + 8);
        }
      }
      break;
    case Prop::Width:
    case Prop::MinWidth:
      // A status zone's width in dialog units: Width keeps the zone to it (a longer text widens
      // it), MinWidth lets it take spare width too. Either holds the window at least that wide.
      if (item.type == ControlType::StatusZone && w) {
        const long units = Number(value);
        w->setMinimumWidth(units > 0 ? static_cast<int>(std::lround(
                                           units * DialogCharWidth(w->fontMetrics()) / 4.0))
                                     : 0);
        if (prop == Prop::Width)
          w->setSizePolicy(units > 0 ? QSizePolicy::Fixed : QSizePolicy::Preferred,
                           QSizePolicy::Preferred);
      }
      break;
    case Prop::Wizard:
      if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        tabs->setProperty("vxWizard", On(value));
        FitTabBar(tabs);
      }
      break;
    case Prop::ScrollTabs:
      ApplyScrollTabs(qobject_cast<QTabWidget*>(w), value);
      break;
    case Prop::FontName:
      if (w) w->setFont(Typeface(w->font(), value));
      if (item.model)
        FitListToFont(static_cast<QTableView*>(w), item.props[Prop::Format],
                      Number(item.props[Prop::LineHeight]));
      break;
    case Prop::FontSize:
      if (w) {
        QFont font = w->font();
        const long points = Number(value);
        font.setPointSizeF(points > 0 ? static_cast<qreal>(points)
                                      : QGuiApplication::font().pointSizeF());
        w->setFont(font);
      }
      if (item.model)
        FitListToFont(static_cast<QTableView*>(w), item.props[Prop::Format],
                      Number(item.props[Prop::LineHeight]));
      break;
    case Prop::LineHeight:
      if (item.model)
        FitListToFont(static_cast<QTableView*>(w), item.props[Prop::Format], Number(value));
      break;
    case Prop::VScroll:
    case Prop::HScroll:
      if (auto* view = item.model ? static_cast<QTableView*>(w) : nullptr) {
        const Qt::ScrollBarPolicy policy =
            value == "0" ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
        if (prop == Prop::VScroll)
          view->setVerticalScrollBarPolicy(policy);
        else
          view->setHorizontalScrollBarPolicy(policy);
      }
      break;
    case Prop::FontStyle:
      if (w) {
        QFont font = w->font();
        font.setBold(Number(value) >= 700);
        w->setFont(font);
      }
      if (item.model)
        FitListToFont(static_cast<QTableView*>(w), item.props[Prop::Format],
                      Number(item.props[Prop::LineHeight]));
      break;
    case Prop::FontColor:
    case Prop::Color:
      if (w && !item.tabs) {
        QPalette palette = w->palette();
        const QColor colour = ModelColour(value.empty() ? -1 : Number(value));
        if (colour.isValid()) {
          if (prop == Prop::FontColor) {
            palette.setColor(QPalette::WindowText, colour);
            palette.setColor(QPalette::Text, colour);
          } else {
            palette.setColor(QPalette::Window, colour);
            palette.setColor(QPalette::Base, colour);
            w->setAutoFillBackground(true);
          }
          w->setPalette(palette);
        }
      }
      break;
    default:
      break;
  }
}

void ApplyRows(WindowItem& item, std::shared_ptr<const std::vector<ListRow>> rows) {
  if (item.model) {
    item.model->SetRows(std::move(rows));
    ApplySelected(item, Number(item.props[Prop::Selected]));
  } else if (auto* combo = qobject_cast<QComboBox*>(item.widget)) {
    const QSignalBlocker quiet(combo);
    const QString edited = combo->currentText();
    combo->clear();
    for (const ListRow& row : *rows) {
      const QString text = row.empty() ? QString() : Shown(row[0].text);
      if (!row.empty() && row[0].swatch >= 0) {
        combo->addItem(Swatch(ModelColour(row[0].swatch), combo->iconSize()), text);
      } else {
        combo->addItem(text);
      }
    }
    ApplySelected(item, Number(item.props[Prop::Selected]));
    if (item.type == ControlType::Combo) combo->setEditText(Shown(item.props[Prop::Value]));
  }
}

}  // namespace vx::qt
