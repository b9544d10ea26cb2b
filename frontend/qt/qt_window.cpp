#include "frontend/qt/qt_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QSpacerItem>
#include <QTimer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "frontend/qt/bar_graph_view.h"
#include "frontend/qt/drop_down_combo.h"
#include "frontend/qt/list_cell_delegate.h"
#include "frontend/qt/list_column_widths.h"
#include "frontend/qt/list_header_mouse.h"
#include "frontend/qt/list_table_model.h"
#include "frontend/qt/list_view.h"
#include "frontend/qt/named_icons.h"
#include "frontend/qt/post_input.h"
#include "runtime/events.h"
#include "runtime/fixed_string.h"
#include "runtime/window/list_format.h"

namespace vx::qt {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString Shown(std::string_view text) { return Q(ClipView(text)); }
long Number(const std::string& text) { return std::atol(text.c_str()); }
bool On(const std::string& text) { return Number(text) != 0; }

// A sheet shows its tab headers unless it pages as a wizard, or its only tab has no caption
// (a frame drawn round a list): an empty header there would look like a missing label.
void FitTabBar(QTabWidget* tabs) {
  const bool lone_blank = tabs->count() == 1 && tabs->tabText(0).isEmpty();
  tabs->tabBar()->setVisible(!tabs->property("vxWizard").toBool() && !lone_blank);
}

// A list's rows and columns follow its font: the row height (a line height given in dialog
// units, eighths of the font's height, or else the font's own), and the column widths, which the
// format gives in units of that font.
void FitListToFont(QTableView* view, const std::string& format, long line_height) {
  if (!view) return;
  const QFontMetrics metrics = view->fontMetrics();
  const int row = line_height > 0 ? std::max(4, static_cast<int>(std::lround(line_height * metrics.height() / 8.0)))
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
  static const QStringList fixed_faces = {"Courier New", "Courier", "Lucida Console", "Consolas", "Fixedsys", "Terminal"};
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

// Controls that grow with the window: in form rows they take the spare height. A sheet grows
// only once one of its pages holds such a control (GrowSheetsAround), so a row of tabs that
// only chooses what a list below it shows stays as high as its tabs.
bool Stretches(ControlType type) {
  return type == ControlType::List || type == ControlType::Text || type == ControlType::BarGraph;
}

// Controls that take the spare width of a row they stand in.
bool Widens(ControlType type) {
  switch (type) {
    case ControlType::String: case ControlType::Entry: case ControlType::Text: case ControlType::Combo: case ControlType::List:
    case ControlType::Progress: case ControlType::Sheet: case ControlType::Region: case ControlType::Group:
      return true;
    default:
      return false;
  }
}

const std::string* Find(const std::map<Prop, std::string>& props, Prop prop) {
  auto it = props.find(prop);
  return it == props.end() ? nullptr : &it->second;
}

Layout LayoutOf(const std::map<Prop, std::string>& props) {
  const std::string* text = Find(props, Prop::Layout);
  return Layout::Parse(text ? *text : std::string());
}

LayoutCell CellOf(const std::map<Prop, std::string>& props) {
  const std::string* row = Find(props, Prop::Row);
  const std::string* column = Find(props, Prop::Column);
  return {row ? static_cast<int>(Number(*row)) : 0, column ? static_cast<int>(Number(*column)) : 0};
}

// Room the window manager's frame takes around a window (title bar and borders), kept free
// when a window is fitted to the screen. Places are those of the window's inside (what Qt calls
// its geometry), because the frame's size is known only once a window manager has framed it.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 48;
constexpr int kTitleHeight = 32;

}  // namespace

QtWindow::QtWindow(long thread, int id, const std::map<Prop, std::string>& props) : thread_(thread), id_(id) {
  setObjectName(QStringLiteral("window-%1").arg(id));
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto* central = new QWidget(this);
  setCentralWidget(central);
  NewContainer(0, central, LayoutOf(props));
  for (const auto& [prop, value] : props) ApplyWindowProp(prop, value);
  appear_timer_ = new QTimer(this);
  appear_timer_->setSingleShot(true);
  connect(appear_timer_, &QTimer::timeout, this, [this] { Appear(); });
  geometry_timer_ = new QTimer(this);
  geometry_timer_->setSingleShot(true);
  geometry_timer_->setInterval(250);
  connect(geometry_timer_, &QTimer::timeout, this, [this] { ReportGeometry(); });
}

QtWindow::~QtWindow() = default;

bool QtWindow::IsFrame() const {
  auto it = props_.find(Prop::Frame);
  return it != props_.end() && On(it->second);
}

void QtWindow::Post(int event, int control, std::string text, long choice, int keycode) {
  if (applying_) return;
  // A hot letter, a shortcut or a toolbar button acts without taking the focus from the field
  // being typed in: the field's text goes to the model first, as leaving the field would send it.
  if (event == EVENT_Accepted || (event == EVENT_AlertKey && keycode != EscKey)) {
    if (const int focused = FocusedControl(); focused != 0 && focused != control) ReportEditDone(focused);
  }
  Input input;
  input.event = event;
  input.window = id_;
  input.control = control;
  input.text = std::move(text);
  input.choice = choice;
  input.keycode = keycode;
  PostInput(thread_, std::move(input));
}

long QtWindow::PostDroppingDown(int control) {
  if (applying_) return 0;
  // Text typed into the combo goes to the model first, so a refill does not lose it.
  ReportEditDone(control);
  Input input;
  input.event = EVENT_DroppingDown;
  input.window = id_;
  input.control = control;
  input.tag = NextInputTag();
  return PostInput(thread_, input) ? input.tag : 0;
}

void QtWindow::ThreadWaits(long tag) {
  for (auto& [number, item] : items_) {
    if (auto* combo = qobject_cast<DropDownCombo*>(item.widget)) combo->ThreadWaits(tag);
  }
}

void QtWindow::SetTakesInput(bool on) {
  if (centralWidget()) centralWidget()->setEnabled(on);
  if (QMenuBar* bar = menuBar()) bar->setEnabled(on);
  for (QToolBar* bar : findChildren<QToolBar*>()) bar->setEnabled(on);
}

QtWindow::Container& QtWindow::NewContainer(int number, QWidget* holder, const Layout& layout) {
  Container& c = containers_[number];
  c.layout = layout;
  switch (layout.arrangement) {
    case Arrangement::FormRows:
      c.grid = new QGridLayout(holder);
      c.grid->setColumnStretch(1, 1);
      break;
    case Arrangement::Grid:
      c.grid = new QGridLayout(holder);
      for (int column = 0; column < layout.columns; ++column) c.grid->setColumnStretch(column, 1);
      break;
    case Arrangement::Row:
      c.box = new QHBoxLayout(holder);
      c.lead = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
      c.trail = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
      c.box->addSpacerItem(c.lead);
      c.box->addSpacerItem(c.trail);
      break;
    case Arrangement::Beside:
      c.box = new QHBoxLayout(holder);
      break;
    case Arrangement::Stacked:
      c.box = new QVBoxLayout(holder);
      break;
  }
  // A container inside another needs no second margin around its controls; a group box keeps
  // its margin whatever its arrangement, so its controls stand clear of its frame and line up
  // with those of a group in form rows.
  if (number != 0 && layout.arrangement != Arrangement::FormRows && !qobject_cast<QGroupBox*>(holder)) {
    if (c.grid) c.grid->setContentsMargins(0, 0, 0, 0);
    if (c.box) c.box->setContentsMargins(0, 0, 0, 0);
  }
  return c;
}

QtWindow::Container& QtWindow::ContainerFor(int parent) {
  auto it = containers_.find(parent);
  return it != containers_.end() ? it->second : containers_.at(0);
}

void QtWindow::Place(Container& c, ControlType type, QWidget* widget, LayoutCell cell) {
  const Arrangement arrangement = c.layout.arrangement;
  // A text in a row or grid heads what is around it (a month's name, a weekday over its days).
  if (type == ControlType::String && (arrangement == Arrangement::Row || arrangement == Arrangement::Grid)) {
    static_cast<QLabel*>(widget)->setAlignment(Qt::AlignCenter);
  }
  // A grid keeps its cells where they are when some of its controls are hidden.
  if (arrangement == Arrangement::Grid) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
  }
  if (c.grid) {
    PlaceInGrid(c, type, widget, cell);
  } else {
    PlaceInBox(c, type, widget);
  }
}

void QtWindow::PlaceInGrid(Container& c, ControlType type, QWidget* widget, LayoutCell cell) {
  if (cell.row < 1 || cell.column < 1) cell = {c.next_row + 1, 1};  // not placed by the model
  const int row = cell.row - 1;
  c.next_row = std::max(c.next_row, cell.row);
  if (c.layout.arrangement == Arrangement::Grid) {
    c.grid->addWidget(widget, row, cell.column - 1);
  } else if (type == ControlType::Prompt) {
    c.grid->addWidget(widget, row, 0);
  } else if (type == ControlType::Button) {
    QHBoxLayout*& buttons = c.button_rows[row];
    if (!buttons) {
      buttons = new QHBoxLayout();
      buttons->addStretch(1);
      c.grid->addLayout(buttons, row, 0, 1, 2);
    }
    buttons->addWidget(widget);
  } else if (cell.column == 2) {
    c.grid->addWidget(widget, row, 1);
  } else {
    c.grid->addWidget(widget, row, 0, 1, 2);
  }
  if (Stretches(type)) {
    c.grid->setRowStretch(row, 1);
    c.rows_grow = true;
  }
  if (c.filler) {
    c.grid->removeItem(c.filler);
    delete c.filler;
    c.filler = nullptr;
  }
  if (!c.rows_grow && c.fills) {
    c.filler = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding);
    c.grid->addItem(c.filler, c.next_row, 0, 1, std::max(1, c.grid->columnCount()));
  }
}

void QtWindow::PlaceInBox(Container& c, ControlType type, QWidget* widget) {
  switch (c.layout.arrangement) {
    case Arrangement::Row: {
      // Between the two spacers, which decide where the row's controls gather.
      c.box->insertWidget(c.box->count() - 1, widget, Widens(type) ? 1 : 0);
      c.row_grows = c.row_grows || Widens(type);
      c.row_only_buttons = c.row_only_buttons && type == ControlType::Button;
      const auto lead = !c.row_grows && c.row_only_buttons ? QSizePolicy::Expanding : QSizePolicy::Fixed;
      const auto trail = !c.row_grows && !c.row_only_buttons ? QSizePolicy::Expanding : QSizePolicy::Fixed;
      c.lead->changeSize(0, 0, lead, QSizePolicy::Minimum);
      c.trail->changeSize(0, 0, trail, QSizePolicy::Minimum);
      c.box->invalidate();
      break;
    }
    case Arrangement::Beside:
      c.box->addWidget(widget, 1);
      break;
    default:
      c.box->addWidget(widget, Stretches(type) || type == ControlType::Region ? 1 : 0);
      break;
  }
}

void QtWindow::GrowSheetsAround(int parent) {
  for (int number = parent; number != 0;) {
    auto it = items_.find(number);
    if (it == items_.end()) return;
    const Item& item = it->second;
    if (item.type == ControlType::Sheet && item.widget) {
      Container& c = ContainerFor(item.parent);
      if (c.grid) {
        const int index = c.grid->indexOf(item.widget);
        int row = 0, column = 0, rows = 0, columns = 0;
        if (index >= 0) {
          c.grid->getItemPosition(index, &row, &column, &rows, &columns);
          c.grid->setRowStretch(row, 1);
          c.rows_grow = true;
          if (c.filler) {
            c.grid->removeItem(c.filler);
            delete c.filler;
            c.filler = nullptr;
          }
        }
      } else if (c.box && c.layout.arrangement != Arrangement::Row && c.layout.arrangement != Arrangement::Beside) {
        c.box->setStretchFactor(item.widget, 1);
      }
    }
    number = item.parent;
  }
}

void QtWindow::AddControl(const ControlSnapshot& s) {
  Item& item = items_[s.control];
  item.type = s.type;
  item.parent = s.parent;
  MakeWidget(s.control, item, s);
  if (item.widget) {
    item.widget->setObjectName(QStringLiteral("control-%1").arg(s.control));
    item.widget->setProperty("vxControl", s.control);
    // Form fields report the keys the program alerts on them (FieldKey).
    if (item.type == ControlType::Check || item.type == ControlType::Radio || item.type == ControlType::DropList ||
        item.type == ControlType::Entry) {
      item.widget->installEventFilter(this);
    }
  }
  if (item.action) item.action->setObjectName(QStringLiteral("control-%1").arg(s.control));
  applying_ = true;
  for (const auto& [prop, value] : s.props) ApplyProp(s.control, item, prop, value);
  applying_ = false;
}

void QtWindow::MakeWidget(int number, Item& item, const ControlSnapshot& s) {
  Item* parent = nullptr;
  if (auto it = items_.find(s.parent); it != items_.end() && s.parent != 0) parent = &it->second;
  const ControlType parent_type = parent ? parent->type : ControlType::Window;

  switch (item.type) {
    case ControlType::Menubar:
      item.widget = menuBar();
      return;
    case ControlType::Menu: {
      if (parent && parent->menu) {
        item.menu = parent->menu->addMenu(QString());
      } else {
        item.menu = menuBar()->addMenu(QString());
      }
      item.action = item.menu->menuAction();
      return;
    }
    case ControlType::Toolbar: {
      auto* bar = addToolBar(QString());
      bar->setMovable(false);
      item.widget = bar;
      return;
    }
    case ControlType::StatusBar:
      item.widget = statusBar();
      return;
    case ControlType::StatusZone: {
      auto* label = new QLabel(statusBar());
      statusBar()->addWidget(label, 1);
      item.widget = label;
      return;
    }
    default:
      break;
  }
  // Entries of menus and toolbars are actions.
  if (parent && (parent_type == ControlType::Menu || parent_type == ControlType::Toolbar)) {
    auto it = s.props.find(Prop::Text);
    const bool separator = it != s.props.end() && it->second == "-";
    if (parent_type == ControlType::Menu) {
      item.action = separator ? parent->menu->addSeparator() : parent->menu->addAction(QString());
    } else {
      auto* bar = static_cast<QToolBar*>(parent->widget);
      item.action = separator ? bar->addSeparator() : bar->addAction(QString());
    }
    if (!separator) connect(item.action, &QAction::triggered, this, [this, number] { Post(EVENT_Accepted, number); });
    return;
  }
  QWidget* widget = MakeFormWidget(number, item, LayoutOf(s.props));
  if (!widget) return;
  item.widget = widget;
  if (item.type == ControlType::Tab) return;  // a page of its sheet, placed there
  if (item.type == ControlType::Radio && parent && parent->group) {
    item.index = parent->radios++;
    parent->group->addButton(static_cast<QRadioButton*>(widget), item.index + 1);
  }
  Place(ContainerFor(s.parent), item.type, widget, CellOf(s.props));
  if (Stretches(item.type)) GrowSheetsAround(s.parent);
  if (item.type == ControlType::Prompt) {
    last_prompt_ = widget;
  } else if (last_prompt_ && IsFormField(item.type) && item.type != ControlType::Region) {
    static_cast<QLabel*>(last_prompt_)->setBuddy(widget);
    // Beside a field that grows (a text box, a list) the prompt stands at the field's first line.
    Container& c = ContainerFor(s.parent);
    if (Stretches(item.type) && c.grid && c.grid->indexOf(last_prompt_) >= 0) {
      c.grid->setAlignment(last_prompt_, Qt::AlignLeft | Qt::AlignTop);
      last_prompt_->setContentsMargins(0, widget->fontMetrics().height() / 4, 0, 0);
    }
    last_prompt_ = nullptr;
  }
}

QWidget* QtWindow::MakeFormWidget(int number, Item& item, const Layout& layout) {
  switch (item.type) {
    case ControlType::Prompt:
    case ControlType::String:
      return new QLabel(this);
    case ControlType::Image: {
      auto* label = new QLabel(this);
      label->setAlignment(Qt::AlignCenter);
      return label;
    }
    case ControlType::Entry: {
      auto* edit = new QLineEdit(this);
      connect(edit, &QLineEdit::editingFinished, this, [this, number] { ReportEditDone(number); });
      return edit;
    }
    case ControlType::Text: {
      auto* edit = new QPlainTextEdit(this);
      edit->installEventFilter(this);
      return edit;
    }
    case ControlType::Spin: {
      auto* spin = new QSpinBox(this);
      spin->setRange(-2147483647, 2147483647);
      connect(spin, &QSpinBox::editingFinished, this, [this, number] { ReportEditDone(number); });
      return spin;
    }
    case ControlType::Button: {
      auto* button = new QPushButton(this);
      button->setAutoDefault(false);
      connect(button, &QPushButton::clicked, this, [this, number] { Post(EVENT_Accepted, number); });
      return button;
    }
    case ControlType::Check: {
      auto* check = new QCheckBox(this);
      connect(check, &QCheckBox::clicked, this, [this, number](bool on) { Post(EVENT_Accepted, number, {}, on ? 1 : 0); });
      return check;
    }
    case ControlType::Option: {
      auto* box = new QGroupBox(this);
      NewContainer(number, box, layout).fills = false;
      item.group = new QButtonGroup(box);
      connect(item.group, &QButtonGroup::idClicked, this, [this, number](int id) { Post(EVENT_Accepted, number, {}, id); });
      return box;
    }
    case ControlType::Radio:
      return new QRadioButton(this);
    case ControlType::Group: {
      auto* box = new QGroupBox(this);
      NewContainer(number, box, layout).fills = false;
      return box;
    }
    case ControlType::Panel:
    case ControlType::Region: {
      auto* frame = new QFrame(this);
      if (item.type == ControlType::Panel) frame->setFrameShape(QFrame::StyledPanel);
      NewContainer(number, frame, layout);
      return frame;
    }
    case ControlType::DropList:
    case ControlType::Combo: {
      auto* combo = new DropDownCombo(this, [this, number] { return PostDroppingDown(number); });
      combo->setEditable(item.type == ControlType::Combo);
      connect(combo, &QComboBox::activated, this, [this, number](int index) { Post(EVENT_Accepted, number, {}, index + 1); });
      if (combo->lineEdit()) {
        connect(combo->lineEdit(), &QLineEdit::editingFinished, this, [this, number] { ReportEditDone(number); });
      }
      return combo;
    }
    case ControlType::List: {
      auto* view = new ListView(this);
      item.model = new ListTableModel(view);
      view->setModel(item.model);
      view->setItemDelegate(new ListCellDelegate(view));
      view->setSelectionBehavior(QAbstractItemView::SelectRows);
      view->setSelectionMode(QAbstractItemView::SingleSelection);
      view->setEditTriggers(QAbstractItemView::NoEditTriggers);
      view->setShowGrid(false);
      view->setWordWrap(false);
      view->setContextMenuPolicy(Qt::CustomContextMenu);
      // Fixed row heights keep scrolling through long lists cheap.
      view->verticalHeader()->hide();
      view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
      view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
      view->horizontalHeader()->setSectionsClickable(true);
      view->horizontalHeader()->setHighlightSections(false);
      view->horizontalHeader()->setStretchLastSection(true);
      connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
              [this, number](const QModelIndex& current) {
                if (current.isValid()) Post(EVENT_NewSelection, number, {}, current.row() + 1);
              });
      connect(view, &QTableView::doubleClicked, this, [this, number](const QModelIndex& index) {
        Post(EVENT_Accepted, number, {}, index.row() + 1, MouseLeft2);
      });
      connect(view, &QTableView::customContextMenuRequested, this, [this, number, view](const QPoint& pos) {
        // The row and column under the mouse go with the click (the list popup works on that cell).
        const QModelIndex cell = view->indexAt(pos);
        std::string place;
        if (cell.isValid()) place = std::to_string(cell.row() + 1) + " " + std::to_string(cell.column() + 1) + " 0";
        Post(EVENT_AlertKey, number, std::move(place), 0, MouseRight);
      });
      view->installEventFilter(this);  // Enter and its variants go to the browse (ListKey)
      connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this,
              [this, number](int section) { Post(EVENT_HeaderPressed, number, {}, section + 1); });
      new ListHeaderMouse(view->horizontalHeader(), [this, number](int event, std::string place, int keycode) {
        Post(event, number, std::move(place), 0, keycode);
      });
      return view;
    }
    case ControlType::Sheet: {
      auto* tabs = new QTabWidget(this);
      connect(tabs, &QTabWidget::currentChanged, this, [this, number](int index) {
        if (index >= 0) Post(EVENT_NewSelection, number, {}, index + 1);
      });
      return tabs;
    }
    case ControlType::Tab: {
      auto it = items_.find(item.parent);
      if (it == items_.end() || it->second.type != ControlType::Sheet) return nullptr;
      auto* tabs = static_cast<QTabWidget*>(it->second.widget);
      auto* page = new QWidget(tabs);
      NewContainer(number, page, layout);
      item.tabs = tabs;
      const QSignalBlocker quiet(tabs);
      item.index = tabs->addTab(page, QString());
      FitTabBar(tabs);
      return page;
    }
    case ControlType::Progress:
      return new QProgressBar(this);
    case ControlType::BarGraph:
      return new BarGraphView(this);
    default:
      return nullptr;
  }
}

// An entry, spin, text or combo the user has left: its text goes to the model when changed.
void QtWindow::ReportEditDone(int number) {
  auto it = items_.find(number);
  if (it == items_.end() || applying_) return;
  Item& item = it->second;
  QString text;
  if (auto* edit = qobject_cast<QLineEdit*>(item.widget)) {
    text = edit->text();
  } else if (auto* spin = qobject_cast<QSpinBox*>(item.widget)) {
    text = QString::number(spin->value());
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(item.widget)) {
    text = plain->toPlainText();
  } else if (auto* combo = qobject_cast<QComboBox*>(item.widget); combo && combo->isEditable()) {
    text = combo->currentText();
  } else {
    return;  // nothing typed in a control that takes no text
  }
  std::string value = text.toStdString();
  if (value == std::string(ClipView(item.props[Prop::Value]))) return;
  item.props[Prop::Value] = value;
  Post(EVENT_Accepted, number, std::move(value));
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    if (Item* item = ItemOf(watched); item && item->type == ControlType::List) {
      return ListKey(*item, *static_cast<QKeyEvent*>(event));
    }
    if (Item* item = ItemOf(watched); item && FieldKey(*item, *static_cast<QKeyEvent*>(event))) return true;
  }
  if (event->type() == QEvent::FocusOut) {
    if (Item* item = ItemOf(watched)) ReportEditDone(item->widget->property("vxControl").toInt());
  }
  return QMainWindow::eventFilter(watched, event);
}

// Enter on a list, alone, with Shift (269) or with Ctrl+Alt (0x60D), reaches the model as that
// key code when the list alerts it (a browse does, to press its default or View button).
// Answers whether the key was taken.
bool QtWindow::ListKey(Item& item, const QKeyEvent& key) {
  const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
  int code = 0;
  if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
    if (mods == Qt::NoModifier) code = EnterKey;
    if (mods == Qt::ShiftModifier) code = ShiftEnter;
    if (mods == (Qt::ControlModifier | Qt::AltModifier)) code = CtrlAltEnter;
  } else if (mods & (Qt::ControlModifier | Qt::AltModifier)) {
    // Other keys with Ctrl or Alt that the list alerts (the list extension's Alt+F11, Alt+F12,
    // Ctrl+Alt+R, Alt+M, the list properties' Alt+arrows and Alt+1, Alt+2): the key's code with
    // the modifier bits.
    int base = 0;
    if (key.key() >= Qt::Key_F1 && key.key() <= Qt::Key_F12) base = 0x70 + (key.key() - Qt::Key_F1);
    if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z) base = 'A' + (key.key() - Qt::Key_A);
    if (key.key() >= Qt::Key_0 && key.key() <= Qt::Key_9) base = '0' + (key.key() - Qt::Key_0);
    if (key.key() >= Qt::Key_Left && key.key() <= Qt::Key_Down) base = 0x25 + (key.key() - Qt::Key_Left);
    if (base) {
      // The runtime's modifier bits, as in ShiftEnter and CtrlAltEnter: Shift 0x100, Ctrl 0x200, Alt 0x400.
      code = base | ((mods & Qt::ShiftModifier) ? 0x100 : 0) | ((mods & Qt::ControlModifier) ? 0x200 : 0) |
             ((mods & Qt::AltModifier) ? 0x400 : 0);
    }
  }
  const std::string alerts = "|" + item.props[Prop::Alert] + "|";
  if (code == 0 || alerts.find("|" + std::to_string(code) + "|") == std::string::npos) return false;
  Post(EVENT_AlertKey, item.widget->property("vxControl").toInt(), {}, 0, code);
  return true;
}

// Ctrl+' on a form field that alerts it (a form's history key, 734: the Ctrl bit 0x200 with the
// key's own code 0xDE) reaches the model instead of the field. Answers whether it was taken.
bool QtWindow::FieldKey(Item& item, const QKeyEvent& key) {
  constexpr int kHistoryKey = 0x200 | 0xDE;
  const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
  if (key.key() != Qt::Key_Apostrophe || mods != Qt::ControlModifier) return false;
  const std::string alerts = "|" + item.props[Prop::Alert] + "|";
  if (alerts.find("|" + std::to_string(kHistoryKey) + "|") == std::string::npos) return false;
  Post(EVENT_AlertKey, item.widget->property("vxControl").toInt(), {}, 0, kHistoryKey);
  return true;
}

// Enter and Esc that no control took for itself (a line edit sends its text and passes Enter
// on): the model turns them into the default or cancel button, or a close.
void QtWindow::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const bool esc = event->key() == Qt::Key_Escape;
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  if ((enter || esc) && mods == Qt::NoModifier) {
    Post(EVENT_AlertKey, FocusedControl(), {}, 0, enter ? EnterKey : EscKey);
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Print && (mods == Qt::NoModifier || mods == Qt::AltModifier)) {
    // Print Screen (44) and Alt+Print Screen (44 with the Alt bit) reach a control of the window
    // that alerts them, wherever the focus is (a graph copies its picture).
    const int code = PrintScreenKey | (mods == Qt::AltModifier ? 0x400 : 0);
    for (const auto& [number, item] : items_) {
      const auto alerts = item.props.find(Prop::Alert);
      if (alerts == item.props.end()) continue;
      if (("|" + alerts->second + "|").find("|" + std::to_string(code) + "|") == std::string::npos) continue;
      Post(EVENT_AlertKey, number, {}, 0, code);
      event->accept();
      return;
    }
  }
  QMainWindow::keyPressEvent(event);
}

int QtWindow::FocusedControl() const {
  for (QWidget* w = focusWidget(); w && w != this; w = w->parentWidget()) {
    const QVariant number = w->property("vxControl");
    if (number.isValid()) return number.toInt();
  }
  return 0;
}

QtWindow::Item* QtWindow::ItemOf(QObject* widget) {
  const QVariant number = widget->property("vxControl");
  if (!number.isValid()) return nullptr;
  auto it = items_.find(number.toInt());
  return it == items_.end() ? nullptr : &it->second;
}

void QtWindow::SetProp(int control, Prop prop, const std::string& value) {
  applying_ = true;
  if (control == 0) {
    ApplyWindowProp(prop, value);
  } else if (auto it = items_.find(control); it != items_.end()) {
    ApplyProp(control, it->second, prop, value);
  }
  applying_ = false;
}

void QtWindow::SetRows(int control, std::shared_ptr<const std::vector<ListRow>> rows) {
  auto it = items_.find(control);
  if (it == items_.end() || !rows) return;
  Item& item = it->second;
  applying_ = true;
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
  applying_ = false;
}

void QtWindow::ShowFirst(std::function<QWidget*()> owner) {
  shown_ = true;
  owner_ = std::move(owner);
  // The thread usually goes on to restore the window's saved place and set its controls before
  // it waits; the window appears then (Appear), and at the latest after a moment.
  appear_timer_->start(200);
}

void QtWindow::Appear() {
  if (!shown_ || appeared_) return;
  appeared_ = true;
  appear_timer_->stop();
  applying_ = true;
  FitAndPlace(owner_ ? owner_() : nullptr);
  if (!On(props_[Prop::Hide])) {
    if (On(props_[Prop::Topmost])) setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (On(props_[Prop::Iconize])) {
      showMinimized();
    } else if (On(props_[Prop::Maximize])) {
      showMaximized();
    } else {
      show();
      raise();
      activateWindow();
    }
  }
  if (long focus = Number(props_[Prop::Focus])) {
    if (auto it = items_.find(static_cast<int>(focus)); it != items_.end() && it->second.widget) {
      it->second.widget->setFocus();
    }
  } else {
    // Without a field chosen by the program the first field takes the keys, as in a dialog,
    // rather than a tab bar that would swallow what is typed.
    for (const auto& [number, item] : items_) {
      if (item.type == ControlType::String || item.type == ControlType::Progress || item.type == ControlType::Region || !IsFormField(item.type)) continue;
      if (item.widget && item.widget->isVisible() && item.widget->isEnabled()) {
        item.widget->setFocus();
        // As when tabbing into it: what the user types replaces the shown value.
        if (auto* edit = qobject_cast<QLineEdit*>(item.widget)) edit->selectAll();
        break;
      }
    }
  }
  applying_ = false;
}

void QtWindow::CopyPicture(int control) {
  QWidget* shown = this;
  if (control) {
    auto it = items_.find(control);
    if (it == items_.end() || !it->second.widget) return;
    shown = it->second.widget;
  }
  QGuiApplication::clipboard()->setImage(shown->grab().toImage());
}

void QtWindow::BringToFront() {
  if (!shown_ || isHidden() || isActiveWindow()) return;
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

// Sizes the window to what its controls want, but never beyond the screen's free area (a form
// too big for the screen scrolls inside the window), then puts it where the model says or
// centred over the window that opened it.
void QtWindow::FitAndPlace(QWidget* owner) {
  QScreen* screen = owner ? owner->screen() : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect free = screen->availableGeometry();
  const QSize room(std::max(1, free.width() - kFrameWidth), std::max(1, free.height() - kFrameHeight));
  ensurePolished();
  if (QLayout* layout = this->layout()) layout->activate();
  const QSize wanted = sizeHint().expandedTo(minimumSizeHint());
  const QSize least = minimumSizeHint();
  if (least.width() > room.width() || least.height() > room.height()) {
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(takeCentralWidget());
    setCentralWidget(scroll);
    if (QLayout* layout = this->layout()) layout->activate();  // the window's least size shrinks
  }
  QSize size = wanted.boundedTo(room);
  const long width = Number(props_[Prop::Width]), height = Number(props_[Prop::Height]);
  const bool placed = width > 0 && height > 0;
  if (placed) size = QSize(static_cast<int>(width), static_cast<int>(height)).boundedTo(room);
  QPoint at;
  if (placed) {
    at = QPoint(static_cast<int>(Number(props_[Prop::X])), static_cast<int>(Number(props_[Prop::Y])));
  } else {
    const QPoint centre = owner && owner->isVisible() ? owner->geometry().center() : free.center();
    at = centre - QPoint(size.width() / 2, size.height() / 2);
  }
  // Kept wholly on the screen, frame included.
  const int left = free.left() + kFrameWidth / 2, top = free.top() + kTitleHeight;
  at.setX(std::clamp(at.x(), left, std::max(left, free.right() + 1 - size.width() - kFrameWidth / 2)));
  at.setY(std::clamp(at.y(), top, std::max(top, free.bottom() + 1 - size.height() - (kFrameHeight - kTitleHeight))));
  setGeometry(QRect(at, size));
  reported_ = QRect(at, size);
}

// The model was given a new place for a window already on the screen.
void QtWindow::ApplyGeometry() {
  if (!appeared_) return;
  const long width = Number(props_[Prop::Width]), height = Number(props_[Prop::Height]);
  const QPoint at(static_cast<int>(Number(props_[Prop::X])), static_cast<int>(Number(props_[Prop::Y])));
  const QSize size(static_cast<int>(width), static_cast<int>(height));
  if (QRect(at, size) == reported_ || width <= 0 || height <= 0) return;  // our own report coming back
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QRect free = screen ? screen->availableGeometry() : QRect(at, size);
  setGeometry(QRect(at, size.boundedTo(QSize(free.width() - kFrameWidth, free.height() - kFrameHeight))));
}

void QtWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (appeared_ && !applying_) geometry_timer_->start();
}

void QtWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (appeared_ && !applying_) geometry_timer_->start();
}

// Tells the model where the window now is, so its place is saved where the user left it.
void QtWindow::ReportGeometry() {
  if (!isVisible() || isMinimized() || isMaximized() || isFullScreen()) return;
  const QRect now = geometry();
  if (now == reported_) return;
  const bool moved = now.topLeft() != reported_.topLeft();
  reported_ = now;
  const std::string place = std::to_string(now.x()) + " " + std::to_string(now.y()) + " " +
                            std::to_string(now.width()) + " " + std::to_string(now.height());
  props_[Prop::X] = std::to_string(now.x());
  props_[Prop::Y] = std::to_string(now.y());
  props_[Prop::Width] = std::to_string(now.width());
  props_[Prop::Height] = std::to_string(now.height());
  Post(moved ? EVENT_Moved : EVENT_Sized, 0, place);
}

void QtWindow::ApplyWindowProp(Prop prop, const std::string& value) {
  props_[prop] = value;
  switch (prop) {
    case Prop::Text: setWindowTitle(Q(value)); break;
    case Prop::Icon: setWindowIcon(value.empty() ? QIcon() : NamedIcon(value)); break;
    case Prop::Hide:
      if (appeared_) {
        if (On(value)) hide(); else ApplyIconize(On(props_[Prop::Iconize]));
      }
      break;
    case Prop::Topmost: if (appeared_) ApplyTopmost(On(value)); break;
    case Prop::Iconize: if (appeared_ && !On(props_[Prop::Hide])) ApplyIconize(On(value)); break;
    case Prop::Maximize:
      if (appeared_ && !On(props_[Prop::Hide])) {
        if (On(value)) showMaximized(); else if (isMaximized()) showNormal();
      }
      break;
    case Prop::X: case Prop::Y: case Prop::Width: case Prop::Height:
      ApplyGeometry();
      break;
    case Prop::Cursor:
      // Over the whole window, its controls included; anything else is the normal pointer.
      if (value == "Wait") setCursor(Qt::WaitCursor);
      else if (value == "Cross") setCursor(Qt::CrossCursor);
      else unsetCursor();
      break;
    case Prop::Focus:
      if (auto it = items_.find(static_cast<int>(Number(value))); appeared_ && it != items_.end() && it->second.widget) {
        it->second.widget->setFocus();
      }
      break;
    default: break;
  }
}

void QtWindow::ApplyTopmost(bool on) {
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  // Changing a flag hides a shown window; it comes back as it was.
  if (appeared_ && !On(props_[Prop::Hide])) ApplyIconize(On(props_[Prop::Iconize]));
}

void QtWindow::ApplyIconize(bool on) {
  if (on) {
    showMinimized();
  } else if (isMinimized() || !isVisible()) {
    if (On(props_[Prop::Maximize])) showMaximized(); else showNormal();
    raise();
    activateWindow();
  }
}

void QtWindow::closeEvent(QCloseEvent* event) {
  // The close box asks the window's thread; the model closes the window when it agrees.
  event->ignore();
  Post(EVENT_CloseWindow, 0);
}

void QtWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || applying_) return;
  const bool minimised = windowState().testFlag(Qt::WindowMinimized);
  if (minimised && !On(props_[Prop::Iconize])) {
    props_[Prop::Iconize] = "1";
    Post(EVENT_Iconized, 0);
  } else if (!minimised && On(props_[Prop::Iconize])) {
    props_[Prop::Iconize] = "0";
    Post(EVENT_Restored, 0);
  }
}

void QtWindow::ApplyProp(int number, Item& item, Prop prop, const std::string& value) {
  item.props[prop] = value;
  QWidget* w = item.widget;
  switch (prop) {
    case Prop::Text: ApplyText(item, Q(value)); break;
    case Prop::Value: ApplyValue(item, value); break;
    case Prop::Selected: ApplySelected(item, Number(value)); break;
    case Prop::Hide: ApplyHidden(item, On(value)); break;
    case Prop::Disable:
      if (item.tabs) item.tabs->setTabEnabled(item.index, !On(value));
      else if (item.action) item.action->setEnabled(!On(value));
      else if (w) w->setEnabled(!On(value));
      break;
    case Prop::Password:
      if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setEchoMode(On(value) ? QLineEdit::Password : QLineEdit::Normal);
      break;
    case Prop::ReadOnly:
      if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setReadOnly(On(value));
      if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) edit->setReadOnly(On(value));
      if (auto* spin = qobject_cast<QSpinBox*>(w)) spin->setReadOnly(On(value));
      break;
    case Prop::Tip:
      if (item.tabs) item.tabs->setTabToolTip(item.index, Q(value));
      else if (item.action) item.action->setToolTip(Q(value));
      else if (w) w->setToolTip(Q(value));
      break;
    case Prop::Icon: {
      const QIcon icon = value.empty() ? QIcon() : NamedIcon(value);
      if (item.tabs) item.tabs->setTabIcon(item.index, icon);
      else if (item.action) item.action->setIcon(icon);
      else if (auto* button = qobject_cast<QAbstractButton*>(w)) button->setIcon(icon);
      break;
    }
    case Prop::Default:
      if (auto* button = qobject_cast<QPushButton*>(w)) button->setDefault(On(value));
      break;
    case Prop::Key: {
      const QKeySequence key = QKeySequence::fromString(Q(value));
      if (item.action) item.action->setShortcut(key);
      else if (auto* button = qobject_cast<QAbstractButton*>(w)) button->setShortcut(key);
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
      }
      break;
    case Prop::RangeLow:
    case Prop::RangeHigh: {
      const long low = Number(item.props[Prop::RangeLow]);
      const long high = item.props.count(Prop::RangeHigh) ? Number(item.props[Prop::RangeHigh]) : 100;
      if (auto* spin = qobject_cast<QSpinBox*>(w)) spin->setRange(static_cast<int>(low), static_cast<int>(high));
      if (auto* bar = qobject_cast<QProgressBar*>(w)) bar->setRange(static_cast<int>(low), static_cast<int>(high));
      break;
    }
    case Prop::Step:
      if (auto* spin = qobject_cast<QSpinBox*>(w)) spin->setSingleStep(static_cast<int>(std::max(1L, Number(value))));
      break;
    case Prop::Picture:
      // An entry opens wide enough for what its picture shows (long texts scroll inside it).
      if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        if (const int width = PictureWidth(value, edit->fontMetrics(), 40); width > 0) {
          edit->setMinimumWidth(width + 2 * edit->fontMetrics().averageCharWidth() + 8);
        }
      }
      break;
    case Prop::Wizard:
      if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        tabs->setProperty("vxWizard", On(value));
        FitTabBar(tabs);
      }
      break;
    case Prop::FontName:
      if (w) w->setFont(Typeface(w->font(), value));
      if (item.model) FitListToFont(static_cast<QTableView*>(w), item.props[Prop::Format], Number(item.props[Prop::LineHeight]));
      break;
    case Prop::FontSize:
      if (w) {
        QFont font = w->font();
        const long points = Number(value);
        font.setPointSizeF(points > 0 ? static_cast<qreal>(points) : QGuiApplication::font().pointSizeF());
        w->setFont(font);
      }
      if (item.model) FitListToFont(static_cast<QTableView*>(w), item.props[Prop::Format], Number(item.props[Prop::LineHeight]));
      break;
    case Prop::LineHeight:
      if (item.model) FitListToFont(static_cast<QTableView*>(w), item.props[Prop::Format], Number(value));
      break;
    case Prop::VScroll:
    case Prop::HScroll:
      if (auto* view = item.model ? static_cast<QTableView*>(w) : nullptr) {
        const Qt::ScrollBarPolicy policy = value == "0" ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
        if (prop == Prop::VScroll) view->setVerticalScrollBarPolicy(policy);
        else view->setHorizontalScrollBarPolicy(policy);
      }
      break;
    case Prop::FontStyle:
      if (w) {
        QFont font = w->font();
        font.setBold(Number(value) >= 700);
        w->setFont(font);
      }
      if (item.model) FitListToFont(static_cast<QTableView*>(w), item.props[Prop::Format], Number(item.props[Prop::LineHeight]));
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
  (void)number;
}

void QtWindow::ApplyText(Item& item, const QString& text) {
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
    if (text == "...") button->setMaximumWidth(button->fontMetrics().horizontalAdvance(text) + 2 * button->iconSize().width() + 8);
  } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
    box->setTitle(text);
  }
}

void QtWindow::ApplyValue(Item& item, const std::string& value) {
  QWidget* w = item.widget;
  if (auto* graph = qobject_cast<BarGraphView*>(w)) {
    graph->SetData(Q(value));
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

void QtWindow::ApplySelected(Item& item, long choice) {
  QWidget* w = item.widget;
  if (item.model) {
    auto* view = static_cast<QTableView*>(w);
    const QSignalBlocker quiet(view->selectionModel());
    if (choice >= 1 && choice <= item.model->rowCount()) {
      const QModelIndex index = item.model->index(static_cast<int>(choice - 1), 0);
      view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
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

void QtWindow::ApplyHidden(Item& item, bool hidden) {
  if (item.tabs) {
    item.tabs->setTabVisible(item.index, !hidden);
  } else if (item.action) {
    item.action->setVisible(!hidden);
  } else if (item.widget && item.widget != this) {
    item.widget->setVisible(!hidden);
  }
}

}  // namespace vx::qt
