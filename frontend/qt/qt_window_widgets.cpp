// Making a window's widgets: each control the model announces becomes the Qt object that draws
// it (a menu, a menu entry's or toolbar button's action, a status zone, a field, a list, a sheet
// and its pages, a container with its layout), wired so that what the user does with it is
// posted to the window's thread, and placed in its container. See qt_window.h.
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSizeGrip>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>

#include "frontend/qt/bar_graph_view.h"
#include "frontend/qt/control_props.h"
#include "frontend/qt/drop_down_combo.h"
#include "frontend/qt/field_button.h"
#include "frontend/qt/list_cell_delegate.h"
#include "frontend/qt/list_header_mouse.h"
#include "frontend/qt/list_rows_in_view.h"
#include "frontend/qt/list_table_model.h"
#include "frontend/qt/list_view.h"
#include "frontend/qt/page_image_view.h"
#include "frontend/qt/prop_text.h"
#include "frontend/qt/qt_window.h"
#include "frontend/qt/rich_edit_view.h"
#include "frontend/qt/ruler_view.h"
#include "runtime/events.h"

namespace vx::qt {

Container& QtWindow::NewContainer(int number, QWidget* holder, const Layout& layout) {
  Container& c = containers_[number];
  SetUpContainer(c, holder, layout, number != 0);
  return c;
}

Container& QtWindow::ContainerFor(int parent) {
  auto it = containers_.find(parent);
  return it != containers_.end() ? it->second : containers_.at(0);
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
    if (item.type == ControlType::Check || item.type == ControlType::Radio ||
        item.type == ControlType::DropList || item.type == ControlType::Entry) {
      item.widget->installEventFilter(this);
    }
  }
  if (item.action) item.action->setObjectName(QStringLiteral("control-%1").arg(s.control));
  applying_ = true;
  for (const auto& [prop, value] : s.props) ApplyControlProp(item, this, prop, value);
  PlaceFree(s.control, item, true);
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
      item.widget->installEventFilter(this);  // its zones' widths hold the window's (eventFilter)
      return;
    case ControlType::SizeGrip: {
      // Outside every layout, over the window's lower right corner; resizeEvent keeps it there.
      auto* grip = new QSizeGrip(this);
      grip->setFixedSize(kSizeGripPixels, kSizeGripPixels);
      item.widget = grip;
      size_grip_ = grip;
      PlaceSizeGrip();
      grip->show();
      return;
    }
    case ControlType::StatusZone: {
      // Each zone is a framed section of its own, so that the texts of neighbouring zones never
      // read as one line. A zone given a width keeps to it (ApplyControlProp); the others share
      // what is left.
      auto* label = new QLabel(statusBar());
      label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      label->setIndent(label->fontMetrics().averageCharWidth() / 2 + 2);
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
    if (!separator)
      connect(item.action, &QAction::triggered, this,
              [this, number] { Post(EVENT_Accepted, number); });
    return;
  }
  QWidget* widget = MakeFormWidget(number, item, LayoutOf(s.props));
  if (!widget) return;
  item.widget = widget;
  if (item.type == ControlType::Tab) return;  // a page of its sheet, placed there
  if (item.type == ControlType::Radio && parent && parent->group) {
    item.index = parent->radios++;
    parent->group->addButton(static_cast<QRadioButton*>(widget), item.index + 1);
    // An option told its choice before this radio was made shows it once it is.
    if (Number(parent->props[Prop::Selected]) == item.index + 1)
      static_cast<QRadioButton*>(widget)->setChecked(true);
  }
  // A button made inside a field stands just before it (field_button.h).
  const bool before_field = item.type == ControlType::Button && parent && parent->widget &&
                            !containers_.count(s.parent) &&
                            PlaceBeforeField(ContainerFor(parent->parent), parent->widget, widget);
  if (!before_field) Place(ContainerFor(s.parent), item.type, widget, CellOf(s.props));
  if (Stretches(item.type)) GrowSheetsAround(s.parent);
  // A free area takes the spare height: its controls are placed against the size it reports,
  // so they grow with the window only when it does.
  if (item.type == ControlType::Region && LayoutOf(s.props).arrangement == Arrangement::Free)
    LetGrow(ContainerFor(s.parent), widget);
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
      // An immediate entry reports every keystroke with its text, caret and key.
      connect(edit, &QLineEdit::textEdited, this, [this, number, edit](const QString& text) {
        const auto it = items_.find(number);
        if (it == items_.end() || !On(it->second.props[Prop::Immediate])) return;
        Post(EVENT_NewSelection, number, text.toStdString(), edit->cursorPosition() + 1,
             edit->property("vxTypedKey").toInt());
      });
      return edit;
    }
    case ControlType::Text: {
      auto* edit = new QPlainTextEdit(this);
      // Tab and Shift+Tab leave the text as they leave any field, so a keyboard user is never
      // held in it; Ctrl+Tab types a tab (eventFilter).
      edit->setTabChangesFocus(true);
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
      connect(button, &QPushButton::clicked, this,
              [this, number] { Post(EVENT_Accepted, number); });
      return button;
    }
    case ControlType::Check: {
      auto* check = new QCheckBox(this);
      connect(check, &QCheckBox::clicked, this,
              [this, number](bool on) { Post(EVENT_Accepted, number, {}, on ? 1 : 0); });
      return check;
    }
    case ControlType::Option: {
      auto* box = new QGroupBox(this);
      NewContainer(number, box, layout).fills = false;
      item.group = new QButtonGroup(box);
      connect(item.group, &QButtonGroup::idClicked, this,
              [this, number](int id) { Post(EVENT_Accepted, number, {}, id); });
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
      // A lookup button's press (a combo with an icon) goes to the program as EVENT_Rejected,
      // after the text typed so far.
      auto* combo = new DropDownCombo(
          this, [this, number] { return PostDroppingDown(number); },
          [this, number] {
            ReportEditDone(number);
            Post(EVENT_Rejected, number);
          });
      combo->setEditable(item.type == ControlType::Combo);
      connect(combo, &QComboBox::activated, this,
              [this, number](int index) { Post(EVENT_Accepted, number, {}, index + 1); });
      if (combo->lineEdit()) {
        connect(combo->lineEdit(), &QLineEdit::editingFinished, this,
                [this, number] { ReportEditDone(number); });
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
        // The column goes with the double click: a list may act on the cell clicked.
        Post(EVENT_Accepted, number,
             std::to_string(index.row() + 1) + " " + std::to_string(index.column() + 1) + " 0",
             index.row() + 1, MouseLeft2);
      });
      connect(view, &QTableView::customContextMenuRequested, this,
              [this, number, view](const QPoint& pos) {
                // The row and column under the mouse go with the click (the list popup works on
                // that cell).
                const QModelIndex cell = view->indexAt(pos);
                std::string place;
                if (cell.isValid())
                  place = std::to_string(cell.row() + 1) + " " + std::to_string(cell.column() + 1) +
                          " 0";
                Post(EVENT_AlertKey, number, std::move(place), 0, MouseRight);
              });
      view->installEventFilter(this);  // Enter and its variants go to the browse (ListKey)
      WireListExtras(number, view);
      connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this,
              [this, number](int section) { Post(EVENT_HeaderPressed, number, {}, section + 1); });
      new ListHeaderMouse(view->horizontalHeader(),
                          [this, number](int event, std::string place, int keycode) {
                            Post(event, number, std::move(place), 0, keycode);
                          });
      new ListRowsInView(view, [this, number](std::string rows) {
        Post(EVENT_ListScrolled, number, std::move(rows), 0);
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
      page->setProperty("vxPage", true);
      NewContainer(number, page, layout);
      item.tabs = tabs;
      const QSignalBlocker quiet(tabs);
      item.index = tabs->addTab(page, QString());
      FitTabBar(tabs);
      // A sheet told its page before the page was made shows it once it is.
      if (Number(it->second.props[Prop::Selected]) == item.index + 1)
        tabs->setCurrentIndex(item.index);
      return page;
    }
    case ControlType::Progress:
      return new QProgressBar(this);
    case ControlType::BarGraph:
      return new BarGraphView(this);
    case ControlType::PageImage:
      return new PageImageView(this);
    case ControlType::Ruler:
      return new RulerView(this,
                           [this, number](long twips) { Post(EVENT_Accepted, number, {}, twips); });
    case ControlType::RichEdit: {
      auto* view = new RichEditView(this);
      view->installEventFilter(this);  // leaving it sends the document (eventFilter)
      return view;
    }
    default:
      return nullptr;
  }
}

void QtWindow::GrowSheetsAround(int parent) {
  for (int number = parent; number != 0;) {
    auto it = items_.find(number);
    if (it == items_.end()) return;
    const Item& item = it->second;
    if (item.type == ControlType::Sheet && item.widget)
      LetGrow(ContainerFor(item.parent), item.widget);
    number = item.parent;
  }
}

}  // namespace vx::qt
