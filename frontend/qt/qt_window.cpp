#include "frontend/qt/qt_window.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

#include "frontend/qt/control_props.h"
#include "frontend/qt/drop_down_combo.h"
#include "frontend/qt/named_icons.h"
#include "frontend/qt/post_input.h"
#include "frontend/qt/prop_text.h"
#include "frontend/qt/rich_edit_view.h"
#include "frontend/qt/window_geometry.h"
#include "frontend/qt/window_keys.h"
#include "runtime/events.h"

namespace vx::qt {

QtWindow::QtWindow(long thread, int id, const std::map<Prop, std::string>& props)
    : thread_(thread), id_(id) {
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
    if (const int focused = FocusedControl(); focused != 0 && focused != control)
      ReportEditDone(focused);
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

// An entry, spin, text or combo the user has left: its text goes to the model when changed.
void QtWindow::ReportEditDone(int number) {
  auto it = items_.find(number);
  if (it == items_.end() || applying_) return;
  Item& item = it->second;
  if (auto* rich = qobject_cast<RichEditView*>(item.widget)) {
    // The document and selection go together, whenever either changed.
    if (std::string input = rich->TakeInput(); !input.empty())
      Post(EVENT_Accepted, number, std::move(input));
    return;
  }
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
  if (FreeEvent(watched, event)) return true;
  // The bar's least width follows its zones once its layout has taken the request (and so knows
  // the zones' new sizes). Telling the layout within the request would ask for another layout,
  // which would come back here: the bar would be laid out and drawn again without end.
  if (event->type() == QEvent::LayoutRequest && qobject_cast<QStatusBar*>(watched) &&
      !zones_width_queued_) {
    zones_width_queued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          zones_width_queued_ = false;
          HoldStatusBarWidth();
        },
        Qt::QueuedConnection);
  }
  if (event->type() == QEvent::KeyPress) {
    // Tab leaves a text (it changes the focus there), so Ctrl+Tab is how a tab is typed in one.
    if (auto* plain = qobject_cast<QPlainTextEdit*>(watched); plain && !plain->isReadOnly()) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
        plain->insertPlainText(QStringLiteral("\t"));
        return true;
      }
    }
    if (Item* item = ItemOf(watched); item && item->type == ControlType::List) {
      return AlertKey(*item, ListKeyCode(*static_cast<QKeyEvent*>(event)));
    }
    // The key an immediate entry reports with the text it leaves (textEdited follows).
    if (Item* item = ItemOf(watched); item && item->type == ControlType::Entry) {
      item->widget->setProperty("vxTypedKey", TypedKeyCode(*static_cast<QKeyEvent*>(event)));
    }
    if (Item* item = ItemOf(watched);
        item && AlertKey(*item, FieldKeyCode(*static_cast<QKeyEvent*>(event)))) {
      return true;
    }
    // A hot letter no enabled control took (Alt+N over a greyed Next) does nothing, as on a
    // field elsewhere, instead of typing its letter into the entry or text.
    if ((qobject_cast<QLineEdit*>(watched) || qobject_cast<QPlainTextEdit*>(watched)) &&
        IsHotLetter(*static_cast<QKeyEvent*>(event))) {
      return true;
    }
  }
  if (event->type() == QEvent::FocusOut) {
    if (Item* item = ItemOf(watched)) ReportEditDone(item->widget->property("vxControl").toInt());
  }
  return QMainWindow::eventFilter(watched, event);
}

bool QtWindow::AlertKey(Item& item, int code) {
  if (code == 0 || !Alerts(item.props[Prop::Alert], code)) return false;
  Post(EVENT_AlertKey, item.widget->property("vxControl").toInt(), {}, 0, code);
  return true;
}

// Enter and Esc that no control took for itself (a line edit sends its text and passes Enter
// on): the model turns them into the default or cancel button, or a close.
void QtWindow::keyPressEvent(QKeyEvent* event) {
  if (const int code = EnterOrEscCode(*event)) {
    Post(EVENT_AlertKey, FocusedControl(), {}, 0, code);
    event->accept();
    return;
  }
  if (const int code = PrintScreenCode(*event)) {
    for (const auto& [number, item] : items_) {
      const auto alerts = item.props.find(Prop::Alert);
      if (alerts == item.props.end() || !Alerts(alerts->second, code)) continue;
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
    ApplyControlProp(it->second, this, prop, value);
    ApplyFreeProp(control, it->second, prop);
  }
  applying_ = false;
}

void QtWindow::SetRows(int control, std::shared_ptr<const std::vector<ListRow>> rows) {
  auto it = items_.find(control);
  if (it == items_.end() || !rows) return;
  applying_ = true;
  ApplyRows(it->second, std::move(rows));
  FollowCellEditors(control);
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
    // The model's choice: the program's, or its first field (Window::FirstField).
    if (auto it = items_.find(static_cast<int>(focus)); it != items_.end() && it->second.widget) {
      it->second.widget->setFocus();
      if (auto* edit = qobject_cast<QLineEdit*>(it->second.widget)) edit->selectAll();
    }
  } else {
    // Shown before its thread first waited, so before the model chose: the first field takes
    // the keys, as in a dialog, rather than a tab bar that would swallow what is typed.
    for (const auto& [number, item] : items_) {
      if (item.type == ControlType::String || item.type == ControlType::Progress ||
          item.type == ControlType::Region || !IsFormField(item.type))
        continue;
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

// Raised even when Qt takes it for the active window: that can be stale (without a window
// manager, or when the keyboard was given to the window before it could take it, the desktop
// may have moved the keyboard elsewhere unseen), and raising a window already in front changes
// nothing.
void QtWindow::BringToFront() {
  if (!shown_ || isHidden()) return;
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
  const QSize room = RoomOn(free);
  ensurePolished();
  KeepStatusZonesApart();
  if (QLayout* layout = this->layout()) layout->activate();
  // A narrow form opens wide enough for its whole title, which the window manager would cut.
  QSize wanted = sizeHint().expandedTo(minimumSizeHint());
  wanted.setWidth(
      std::max(wanted.width(), std::min(TitleRoom(*this, windowTitle()), room.width())));
  const QSize least = minimumSizeHint();
  if (least.width() > room.width() || least.height() > room.height()) {
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(takeCentralWidget());
    setCentralWidget(scroll);
    if (QLayout* layout = this->layout()) layout->activate();  // the window's least size shrinks
  }
  const ModelPlace place = PlaceOf(props_);
  const QPoint centre = owner && owner->isVisible() ? owner->geometry().center() : free.center();
  const QRect at = OpeningPlace(wanted, place, centre, free);
  setGeometry(at);
  reported_ = at;
}

// A main window keeps to its status bar's own minimum size, not to what the bar's zones need:
// without this a narrow window would draw the zones over each other. Run as the window opens
// and whenever the zones' sizes change.
void QtWindow::KeepStatusZonesApart() {
  auto* bar = findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
  if (!bar) return;
  if (QLayout* zones = bar->layout()) zones->invalidate();  // it learns of the change later
  HoldStatusBarWidth();
}

void QtWindow::HoldStatusBarWidth() {
  auto* bar = findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
  if (!bar) return;
  const int least = bar->minimumSizeHint().width();
  if (bar->minimumWidth() != least) bar->setMinimumWidth(least);
}

// The model was given a new place for a window already on the screen.
void QtWindow::ApplyGeometry() {
  if (!appeared_) return;
  const ModelPlace given = PlaceOf(props_);
  const QRect place(QPoint(static_cast<int>(given.x), static_cast<int>(given.y)),
                    QSize(static_cast<int>(given.width), static_cast<int>(given.height)));
  if (place == reported_ || !given.Given()) return;  // our own report coming back
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QRect free = screen ? screen->availableGeometry() : place;
  setGeometry(WithinScreen(place, free));
}

void QtWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (appeared_ && !applying_) geometry_timer_->start();
}

void QtWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  PlaceSizeGrip();
  if (appeared_ && !applying_) geometry_timer_->start();
}

void QtWindow::PlaceSizeGrip() {
  if (size_grip_ == nullptr) return;
  size_grip_->move(width() - size_grip_->width(), height() - size_grip_->height());
  size_grip_->raise();
}

// Tells the model where the window now is, so its place is saved where the user left it.
void QtWindow::ReportGeometry() {
  if (!isVisible() || isMinimized() || isMaximized() || isFullScreen()) return;
  const QRect now = geometry();
  if (now == reported_) return;
  const bool moved = now.topLeft() != reported_.topLeft();
  reported_ = now;
  const std::string place = PlaceText(now);
  props_[Prop::X] = std::to_string(now.x());
  props_[Prop::Y] = std::to_string(now.y());
  props_[Prop::Width] = std::to_string(now.width());
  props_[Prop::Height] = std::to_string(now.height());
  Post(moved ? EVENT_Moved : EVENT_Sized, 0, place);
}

void QtWindow::ApplyWindowProp(Prop prop, const std::string& value) {
  props_[prop] = value;
  switch (prop) {
    case Prop::Text:
      setWindowTitle(Q(value));
      break;
    case Prop::Icon:
      setWindowIcon(value.empty() ? QIcon() : NamedIcon(value));
      break;
    case Prop::Hide:
      if (appeared_) {
        if (On(value))
          hide();
        else
          ApplyIconize(On(props_[Prop::Iconize]));
      }
      break;
    case Prop::Topmost:
      if (appeared_) ApplyTopmost(On(value));
      break;
    case Prop::Iconize:
      if (appeared_ && !On(props_[Prop::Hide])) ApplyIconize(On(value));
      break;
    case Prop::Maximize:
      if (appeared_ && !On(props_[Prop::Hide])) {
        if (On(value))
          showMaximized();
        else if (isMaximized())
          showNormal();
      }
      break;
    case Prop::X:
    case Prop::Y:
    case Prop::Width:
    case Prop::Height:
      ApplyGeometry();
      break;
    case Prop::Cursor:
      // Over the whole window, its controls included; anything else is the normal pointer.
      if (value == "Wait")
        setCursor(Qt::WaitCursor);
      else if (value == "Cross")
        setCursor(Qt::CrossCursor);
      else if (value == "SizeWE")
        setCursor(Qt::SizeHorCursor);
      else if (value == "SizeNS")
        setCursor(Qt::SizeVerCursor);
      else
        unsetCursor();
      break;
    case Prop::Focus:
      if (auto it = items_.find(static_cast<int>(Number(value)));
          appeared_ && it != items_.end() && it->second.widget) {
        it->second.widget->setFocus();
      }
      break;
    default:
      break;
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
    if (On(props_[Prop::Maximize]))
      showMaximized();
    else
      showNormal();
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

}  // namespace vx::qt
