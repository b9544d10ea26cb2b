// The Qt front end of the window model. It lives on the GUI thread: model messages from the
// runtime threads are queued to it and applied there, so it never takes the runtime lock and
// a busy runtime thread never freezes the screen. It mirrors every window, shows the tray
// icons, answers message boxes, popups and dialogs, and keeps the model's clipboard current.
#pragma once

#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/window/front_end.h"

class QSystemTrayIcon;
class QWidget;

namespace vx::platform {
class TrayHostWatch;
}

namespace vx::qt {

class QtWindow;

class QtFrontEnd final : public QObject, public FrontEnd {
  Q_OBJECT
 public:
  // Made on the GUI thread once the QApplication exists.
  QtFrontEnd();
  // Answers every question still open with its default.
  ~QtFrontEnd() override;

  // FrontEnd: called on runtime threads; both only queue work for the GUI thread.
  void Announce(const ModelMessage& message) override;
  void Ask(std::shared_ptr<Request> request) override;

  // Answers every open question with its default (message boxes) or "nothing chosen".
  void AnswerOpenRequests();

  // GUI thread: the widgets mirroring a model window or tray icon; nullptr when there is none.
  QtWindow* Window(int id) const;
  QSystemTrayIcon* Tray(int id) const;

 private:
  struct TrayEntry {
    QSystemTrayIcon* icon = nullptr;
    long thread = 0;
    int events[4] = {0, 0, 0, 0};  // left click, right click, left double, right double
    bool wanted = false;           // the model shows it
    std::string picture;           // the name of the picture it shows
  };

  void Apply(const ModelMessage& message);
  void ApplyTray(const ModelMessage& message);
  void Answer(const std::shared_ptr<Request>& request);
  void Forget(const std::shared_ptr<Request>& request);
  void UpdateModality(long thread);
  QWidget* OwnerOf(long thread, int window) const;
  void WatchForTrayHost();
  void ShowIconsInNewTrayHost();

  std::map<int, QPointer<QtWindow>> windows_;
  std::map<long, std::vector<int>> open_by_thread_;  // in opening order; the newest takes input
  std::map<int, TrayEntry> trays_;
  // Hears tray hosts start, from the first icon that found none on.
  std::unique_ptr<platform::TrayHostWatch> tray_host_watch_;
  std::mutex requests_mutex_;
  std::vector<std::shared_ptr<Request>> open_requests_;
};

// The answer a question gets when nobody can answer it: a message box's default button (the
// first one offered when none is named), nothing chosen otherwise.
long DefaultAnswer(const Request& request);

}  // namespace vx::qt
