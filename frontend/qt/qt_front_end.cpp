#include "frontend/qt/qt_front_end.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <algorithm>
#include <cstdio>

#include "frontend/qt/named_icons.h"
#include "frontend/qt/post_input.h"
#include "frontend/qt/qt_window.h"
#include "frontend/qt/rich_clipboard.h"
#include "platform/x11_tray_host.h"
#include "runtime/window/dialogs.h"

namespace vx::qt {

long DefaultAnswer(const Request& request) {
  if (request.kind != Request::Kind::Message) return 0;
  if (request.default_button) return request.default_button;
  for (unsigned bit = 1; bit <= BUTTON_HELP; bit <<= 1) {
    if (request.buttons & bit) return bit;
  }
  return BUTTON_OK;
}

QtFrontEnd::QtFrontEnd() {
  // Windows that name no icon of their own show the program's mark.
  QGuiApplication::setWindowIcon(ProgramIcon());
  // The model's clipboard follows the desktop's, whoever writes it.
  // Formatted text goes beside it as RTF, for pasting into a rich-text editor.
  QClipboard* clipboard = QGuiApplication::clipboard();
  auto follow = [clipboard] {
    ClipboardChanged(clipboard->text().toStdString(), ClipboardRtf(clipboard->mimeData()));
  };
  follow();
  connect(clipboard, &QClipboard::dataChanged, this, follow);
}

QtFrontEnd::~QtFrontEnd() {
  tray_host_watch_.reset();  // its thread calls in no more
  AnswerOpenRequests();
  for (auto& [id, tray] : trays_) delete tray.icon;
  for (auto& [id, window] : windows_) delete window.data();
}

void QtFrontEnd::Announce(const ModelMessage& message) {
  QMetaObject::invokeMethod(
      this, [this, message] { Apply(message); }, Qt::QueuedConnection);
}

void QtFrontEnd::Ask(std::shared_ptr<Request> request) {
  {
    std::lock_guard l(requests_mutex_);
    open_requests_.push_back(request);
  }
  QMetaObject::invokeMethod(
      this, [this, request] { Answer(request); }, Qt::QueuedConnection);
}

void QtFrontEnd::AnswerOpenRequests() {
  std::vector<std::shared_ptr<Request>> open;
  {
    std::lock_guard l(requests_mutex_);
    open.swap(open_requests_);
  }
  for (const auto& request : open) request->Answer(DefaultAnswer(*request));
}

void QtFrontEnd::Forget(const std::shared_ptr<Request>& request) {
  std::lock_guard l(requests_mutex_);
  open_requests_.erase(std::remove(open_requests_.begin(), open_requests_.end(), request),
                       open_requests_.end());
}

QtWindow* QtFrontEnd::Window(int id) const {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : it->second.data();
}

QSystemTrayIcon* QtFrontEnd::Tray(int id) const {
  auto it = trays_.find(id);
  return it == trays_.end() ? nullptr : it->second.icon;
}

void QtFrontEnd::UpdateModality(long thread) {
  const std::vector<int>& open = open_by_thread_[thread];
  for (int id : open) {
    if (QtWindow* w = Window(id)) w->SetTakesInput(id == open.back());
  }
}

// A window opens over the window of its thread opened before it, or else over the frame (or,
// failing that, the window the user is working in).
QWidget* QtFrontEnd::OwnerOf(long thread, int window) const {
  auto open = open_by_thread_.find(thread);
  if (open != open_by_thread_.end()) {
    const std::vector<int>& ids = open->second;
    auto it = std::find(ids.begin(), ids.end(), window);
    while (it != ids.begin()) {
      --it;
      if (QtWindow* w = Window(*it); w && w->isVisible()) return w;
    }
  }
  for (const auto& [id, w] : windows_) {
    if (w && id != window && w->IsFrame() && w->isVisible()) return w.data();
  }
  QWidget* active = QApplication::activeWindow();
  return active && active != Window(window) ? active : nullptr;
}

void QtFrontEnd::Apply(const ModelMessage& m) {
  using Kind = ModelMessage::Kind;
  QtWindow* window = Window(m.window);
  switch (m.kind) {
    case Kind::WindowOpened: {
      delete window;
      auto* w = new QtWindow(m.thread, m.window,
                             m.snapshot ? m.snapshot->props : std::map<Prop, std::string>{});
      windows_[m.window] = w;
      open_by_thread_[m.thread].push_back(m.window);
      UpdateModality(m.thread);
      break;
    }
    case Kind::WindowShown:
      if (window) {
        window->ShowFirst([this, thread = m.thread, id = m.window] { return OwnerOf(thread, id); });
      }
      break;
    case Kind::WindowClosed: {
      if (window) {
        window->hide();
        window->deleteLater();
      }
      windows_.erase(m.window);
      auto& open = open_by_thread_[m.thread];
      open.erase(std::remove(open.begin(), open.end(), m.window), open.end());
      UpdateModality(m.thread);
      break;
    }
    case Kind::ControlAdded:
      if (window && m.snapshot) window->AddControl(*m.snapshot);
      break;
    case Kind::PropertyChanged:
      if (window) window->SetProp(m.control, m.prop, m.value);
      break;
    case Kind::ListRows:
      if (window) window->SetRows(m.control, m.rows);
      break;
    case Kind::ThreadIdle:
      // The thread has set its windows up: those waiting to appear do; a drop list waiting for
      // the thread to take its EVENT_DroppingDown opens.
      for (int id : open_by_thread_[m.thread]) {
        if (QtWindow* w = Window(id)) {
          w->Appear();
          w->ThreadWaits(m.tag);
        }
      }
      break;
    case Kind::ThreadEnded:
      // Windows a thread leaves behind go with it.
      for (int id : open_by_thread_[m.thread]) {
        if (QtWindow* w = Window(id)) w->deleteLater();
        windows_.erase(id);
      }
      open_by_thread_.erase(m.thread);
      for (auto it = trays_.begin(); it != trays_.end();) {
        if (it->second.thread == m.thread) {
          delete it->second.icon;
          it = trays_.erase(it);
        } else {
          ++it;
        }
      }
      break;
    case Kind::ClipboardWritten:
      QGuiApplication::clipboard()->setMimeData(ClipboardData(m.value, m.rich));
      break;
    case Kind::BroughtToFront:
      if (window) window->BringToFront();
      break;
    case Kind::PictureCopied:
      if (window) window->CopyPicture(m.control);
      break;
    case Kind::TrayChanged:
      ApplyTray(m);
      break;
  }
}

void QtFrontEnd::ApplyTray(const ModelMessage& m) {
  TrayEntry& tray = trays_[m.control];
  tray.thread = m.thread;
  std::sscanf(m.value.c_str(), "%d %d %d %d", &tray.events[0], &tray.events[1], &tray.events[2],
              &tray.events[3]);
  if (!tray.icon) {
    tray.icon = new QSystemTrayIcon(this);
    tray.icon->setObjectName(QStringLiteral("tray-%1").arg(m.control));
    const int id = m.control;
    connect(tray.icon, &QSystemTrayIcon::activated, this,
            [this, id](QSystemTrayIcon::ActivationReason reason) {
              auto it = trays_.find(id);
              if (it == trays_.end()) return;
              int which = -1;
              switch (reason) {
                case QSystemTrayIcon::Trigger:
                  which = 0;
                  break;
                case QSystemTrayIcon::Context:
                  which = 1;
                  break;
                case QSystemTrayIcon::DoubleClick:
                  which = 2;
                  break;
                default:
                  break;
              }
              if (which < 0 || !it->second.events[which]) return;
              Input input;
              input.event = it->second.events[which];
              PostInput(it->second.thread, std::move(input));
            });
  }
  if (!m.snapshot) return;
  const auto& props = m.snapshot->props;
  auto get = [&](Prop p) {
    auto it = props.find(p);
    return it == props.end() ? std::string() : it->second;
  };
  // The model hands the whole state over on each change: only what changed is set, since each
  // set has the tray host draw the icon again.
  const std::string icon = get(Prop::Icon);
  if (icon != tray.picture || tray.icon->icon().isNull()) {
    tray.picture = icon;
    // A tray icon without a picture would not show at all: an unknown name shows the
    // program's mark.
    const QIcon picture = NamedIcon(icon);
    tray.icon->setIcon(picture.isNull() ? ProgramIcon() : picture);
  }
  const QString tip = QString::fromStdString(get(Prop::Tip));
  if (tip != tray.icon->toolTip()) tray.icon->setToolTip(tip);
  // Without a tray host the icon does not show and the program runs on; the icon comes once a
  // host appears.
  tray.wanted = get(Prop::Hide) != "1";
  if (tray.icon->isVisible() != tray.wanted) tray.icon->setVisible(tray.wanted);
  if (tray.wanted && !QSystemTrayIcon::isSystemTrayAvailable()) WatchForTrayHost();
}

// A tray host announces itself on the display when it starts (the MANAGER message of the system
// tray protocol); the platform's watch hears it on a thread of its own, with no polling, and the
// icons are shown again here so that the new host takes them in.
void QtFrontEnd::WatchForTrayHost() {
  if (!tray_host_watch_) {
    tray_host_watch_ = platform::WatchTrayHost([this] {
      QMetaObject::invokeMethod(
          this, [this] { ShowIconsInNewTrayHost(); }, Qt::QueuedConnection);
    });
  }
  // A host that started before the watch stood was not heard.
  if (QSystemTrayIcon::isSystemTrayAvailable()) ShowIconsInNewTrayHost();
}

void QtFrontEnd::ShowIconsInNewTrayHost() {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  for (auto& [id, tray] : trays_) {
    if (!tray.wanted || !tray.icon) continue;
    tray.icon->hide();
    tray.icon->show();
  }
}

}  // namespace vx::qt
