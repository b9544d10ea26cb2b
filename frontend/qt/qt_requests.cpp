// Message boxes, popup menus and file and folder dialogs, shown on the GUI thread as answers to
// the model's requests.
#include <QAbstractButton>
#include <QCursor>
#include <QFileDialog>
#include <QGridLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QStringList>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "frontend/qt/listing_icon_provider.h"
#include "frontend/qt/named_icons.h"
#include "frontend/qt/page_output.h"
#include "frontend/qt/qt_front_end.h"
#include "frontend/qt/qt_window.h"
#include "frontend/qt/window_geometry.h"
#include "runtime/window/dialogs.h"

namespace vx::qt {
namespace {

struct ButtonName {
  unsigned model;
  QMessageBox::StandardButton qt;
};
constexpr ButtonName kButtons[] = {
    {BUTTON_OK, QMessageBox::Ok},         {BUTTON_YES, QMessageBox::Yes},
    {BUTTON_NO, QMessageBox::No},         {BUTTON_ABORT, QMessageBox::Abort},
    {BUTTON_RETRY, QMessageBox::Retry},   {BUTTON_IGNORE, QMessageBox::Ignore},
    {BUTTON_CANCEL, QMessageBox::Cancel}, {BUTTON_HELP, QMessageBox::Help}};

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Hand:
      return QMessageBox::Critical;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

// "WAV Files|*.WAV|All|*.*" becomes "WAV Files (*.WAV);;All (*.*)".
QString NameFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    out << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
  }
  return out.join(QStringLiteral(";;"));
}

// Runs a dialog made on the heap modally and answers whether it was accepted. The dialog may
// go while it runs: with the window it belongs to (which the program can close meanwhile), or
// when the request is answered elsewhere (the session ended), which closes it.
bool RunDialog(const Request& r, QDialog* made) {
  QPointer<QDialog> dialog(made);
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    // hide() ends the dialog's loop even where it refuses to close (a box without an escape
    // button ignores a close).
    if (r.Answered() && dialog) dialog->hide();
  });
  watch.start(200);
  const int result = dialog->exec();
  return dialog && result == QDialog::Accepted;
}

// The program writes a line break as the other desktop did: a carriage return, alone or before
// a line feed. Shown here as one line break each.
QString BoxText(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

// A box is as wide as its text, and its title often says more ("Cannot CREATE" and the file's
// name, over the error's number and words): the box keeps room for the whole title in the title
// bar's bold type beside the bar's picture and buttons, within the screen. Run when the box is
// complete, as a change of its picture lays it out anew.
void KeepRoomForTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid || box.windowTitle().isEmpty()) return;
  int room = TitleRoom(box, box.windowTitle());
  if (const QScreen* screen = box.screen()) {
    room = std::min(room, screen->availableGeometry().width() - 8 * box.fontMetrics().height());
  }
  grid->addItem(new QSpacerItem(room, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

// A box with buttons of its own wording; answers the number of the button pressed, from 1.
long ShowWordedMessage(const Request& r, QWidget* parent) {
  QPointer<QMessageBox> box(new QMessageBox(BoxIcon(r.icon), QString::fromStdString(r.caption),
                                            BoxText(r.text), QMessageBox::NoButton, parent));
  box->setTextFormat(Qt::PlainText);
  const QStringList texts = QString::fromStdString(r.button_texts).split('|');
  QList<QAbstractButton*> buttons;
  for (const QString& text : texts) buttons.append(box->addButton(text, QMessageBox::AcceptRole));
  const long fallback =
      r.default_button >= 1 && r.default_button <= static_cast<unsigned>(texts.size())
          ? static_cast<long>(r.default_button)
          : 1;
  if (auto* button = qobject_cast<QPushButton*>(buttons.value(static_cast<int>(fallback - 1))))
    box->setDefaultButton(button);
  KeepRoomForTitle(*box);
  RunDialog(r, box);
  const long pressed = box ? buttons.indexOf(box->clickedButton()) + 1 : 0;
  delete box.data();
  return pressed >= 1 ? pressed : fallback;
}

long ShowMessage(const Request& r, QWidget* parent) {
  if (!r.button_texts.empty()) return ShowWordedMessage(r, parent);
  QPointer<QMessageBox> box(new QMessageBox(BoxIcon(r.icon), QString::fromStdString(r.caption),
                                            BoxText(r.text), QMessageBox::NoButton, parent));
  box->setTextFormat(Qt::PlainText);  // a task's text is never taken for markup
  // The box's picture comes from the desktop's theme or the program's own set, like every other
  // picture, rather than the widget style's built-in one.
  const QIcon picture = MessageBoxIcon(r.icon);
  if (!picture.isNull()) {
    const int size = box->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, box);
    box->setIconPixmap(picture.pixmap(QSize(size, size), box->devicePixelRatio()));
  }
  unsigned buttons = r.buttons ? r.buttons : BUTTON_OK;
  for (const ButtonName& b : kButtons) {
    if (buttons & b.model) box->addButton(b.qt);
  }
  const auto default_answer = static_cast<unsigned>(DefaultAnswer(r));
  for (const ButtonName& b : kButtons) {
    if (b.model == default_answer) box->setDefaultButton(b.qt);
  }
  KeepRoomForTitle(*box);
  RunDialog(r, box);
  const auto pressed = box ? box->standardButton(box->clickedButton()) : QMessageBox::NoButton;
  delete box.data();
  for (const ButtonName& b : kButtons) {
    if (b.qt == pressed) return b.model;
  }
  // Closed without a button: the cancel button when there is one, else the default.
  return (buttons & BUTTON_CANCEL) ? BUTTON_CANCEL : default_answer;
}

// A file or folder dialog; answers the chosen name, empty when cancelled.
QString ShowFileDialog(const Request& r, QWidget* parent) {
  QPointer<QFileDialog> dialog(new QFileDialog(parent, QString::fromStdString(r.caption),
                                               QString::fromStdString(r.text),
                                               NameFilters(r.filter)));
  // Set before the dialog lists anything: the listing must never open the files it shows.
  dialog->setIconProvider(&DialogIconProvider());
  if (r.kind == Request::Kind::FolderDialog || (r.flags & FILE_Directory)) {
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
  } else if (r.flags & FILE_Save) {
    dialog->setAcceptMode(QFileDialog::AcceptSave);
  } else {
    dialog->setFileMode(QFileDialog::ExistingFile);
  }
  QString chosen;
  if (RunDialog(r, dialog) && dialog) chosen = dialog->selectedFiles().value(0);
  delete dialog.data();
  return chosen;
}

// "item|item|-|item": "-" separates, "~" greys an item, "+" ticks it and a closing "[name]"
// names its picture; "{title" opens a submenu and each closing "}" ends one. The answer counts
// items from 1, separators and submenu titles not counted.
long ShowPopup(const Request& r, const QPoint& place) {
  QMenu menu;
  std::vector<QMenu*> open{&menu};
  long number = 0;
  const QStringList entries = QString::fromStdString(r.text).split('|');
  for (QString entry : entries) {
    int closes = 0;
    while (entry.endsWith('}')) {
      entry.chop(1);
      ++closes;
    }
    if (entry.startsWith('{')) {
      open.push_back(open.back()->addMenu(entry.mid(1)));
    } else if (entry == "-") {
      open.back()->addSeparator();
    } else {
      ++number;
      bool grey = false, ticked = false;
      while (!entry.isEmpty() && (entry[0] == '~' || entry[0] == '+')) {
        (entry[0] == '~' ? grey : ticked) = true;
        entry.remove(0, 1);
      }
      QIcon picture;
      const qsizetype bracket = entry.lastIndexOf('[');
      if (bracket > 0 && entry.endsWith(']')) {
        picture = NamedIcon(entry.mid(bracket + 1, entry.size() - bracket - 2).toStdString());
        entry.truncate(bracket);
      }
      QAction* action = open.back()->addAction(picture, entry);
      action->setData(static_cast<qlonglong>(number));
      action->setEnabled(!grey);
      if (ticked) {
        action->setCheckable(true);
        action->setChecked(true);
      }
    }
    for (; closes > 0 && open.size() > 1; --closes) open.pop_back();
  }
  QAction* chosen = menu.exec(place);
  return chosen ? chosen->data().toLongLong() : 0;
}
}  // namespace

void QtFrontEnd::Answer(const std::shared_ptr<Request>& request) {
  if (request->Answered()) {
    Forget(request);
    return;
  }
  QtWindow* parent = Window(request->window);
  if (parent) parent->Appear();  // a question shows over its window, never before it
  const Request& r = *request;
  long number = 0;
  std::string text;
  switch (r.kind) {
    case Request::Kind::Message:
      number = ShowMessage(r, parent);
      break;
    case Request::Kind::Popup:
      number = ShowPopup(r, parent ? parent->PopupPlace(r.control, r.x, r.y) : QCursor::pos());
      break;
    case Request::Kind::FileDialog:
    case Request::Kind::FolderDialog: {
      const QString chosen = ShowFileDialog(r, parent);
      number = chosen.isEmpty() ? 0 : 1;
      text = chosen.toStdString();
      break;
    }
    case Request::Kind::Print: {
      PrintOutcome outcome{report::PrintAnswer::Failed, "There are no pages."};
      if (r.pages && !r.text.empty()) {
        outcome = WritePdf(*r.pages, QString::fromStdString(r.text));
      } else if (r.pages) {
        outcome = PrintOnPaper(*r.pages, parent);
      }
      number = static_cast<long>(outcome.first);
      text = std::move(outcome.second);
      break;
    }
  }
  request->Answer(number, std::move(text));
  Forget(request);
}

}  // namespace vx::qt
