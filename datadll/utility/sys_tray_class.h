// One notification-area (tray) icon for a window: its picture and tip, and optionally
// minimising the window into the tray, so that only the icon remains.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "datadll/utility/window_link.h"
#include "platform/x11_tray_host.h"
#include "runtime/window/tray_icon.h"

namespace vx {

// What the tray is told on each call: which parts change, and the values it shows.
struct NotifyIconRecord {
  static constexpr int kSize = 88;
  static constexpr std::size_t kTipBytes = 64;  // with the closing NUL: 63 characters shown
  int size = kSize;
  int id = 0;
  unsigned flags = 0;  // 1 message, 2 icon, 4 tip
  int callback_message = 0;
  std::string icon;  // the icon resource's name
  std::string tip;   // at most 63 bytes, never a cut character
};

// "busykey.ico" -> "busykey_ico": the name under which the program's icons are linked. A name
// without a three-letter extension stays as it is.
std::string ConvertIconName(std::string_view icon);

class SYSTRAYCLASS {
 public:
  // The window message that asks for the tray's attention (the callback message).
  static constexpr int kCallbackMessage = 1088;

  SYSTRAYCLASS() = default;
  virtual ~SYSTRAYCLASS() = default;
  SYSTRAYCLASS(const SYSTRAYCLASS&) = delete;
  SYSTRAYCLASS& operator=(const SYSTRAYCLASS&) = delete;

  // For the current window of the calling thread.
  void INIT(std::uint8_t id, std::string_view tip, std::string_view icon,
            std::uint8_t minimiseAllowed, std::uint8_t eventsOff);
  void INIT(WindowLink window, std::uint8_t id, std::string_view tip, std::string_view icon,
            std::uint8_t minimiseAllowed, std::uint8_t eventsOff);

  int ADDICON(std::string_view tip, std::string_view icon);
  int CHANGEICON(std::string_view icon);
  int CHANGETIP(std::string_view tip);
  int DELETEICON();
  std::string GETICON() const { return IconName; }
  std::string GETTIP() const { return TipText; }

  void HIDE();
  void UNHIDE();
  virtual void RESTORE();
  virtual void ICONIZED();
  void DISALLOWMINIMIZE();
  void ALLOWMINIMIZE();
  virtual void TAKETRAYLEFTCLICK();
  virtual void TAKETRAYLEFTDOUBLECLICK();
  virtual void TAKETRAYRIGHTCLICK();
  void KILL();

  // The minimise handlers: the window's event loop hands each window event here first while
  // they are registered; true when the event was taken (a minimise hides, a restore shows).
  bool TakeMinimiseEvent(int event);
  bool MinimiseHandlersRegistered() const { return handlers_registered_; }

  std::uint8_t AlwaysRefresh = 0;
  std::uint8_t MinimiseAllowed = 1;
  std::uint8_t EventsOff = 0;
  NotifyIconRecord NotifyIcon;
  long IconId = 0;
  std::string IconName;  // CSTRING(256)
  std::string TipText;   // CSTRING(256)

 private:
  void Prime();
  // Stores a new icon name or tip and has the tray show it (flags: which of the two).
  int Change(std::string& stored, std::string_view value, unsigned flags,
             const std::function<void()>& modify);
  void RegisterHandlers();
  void UnregisterHandlers();

  WindowLink window_;
  TrayIcon tray_;
  bool handlers_registered_ = false;
  // Stands for the "TaskbarCreated" message: a tray host that starts (again) has the window
  // told EVENT_TrayRecreate, so that the icon is added anew.
  std::unique_ptr<platform::TrayHostWatch> tray_host_watch_;
};

}  // namespace vx
