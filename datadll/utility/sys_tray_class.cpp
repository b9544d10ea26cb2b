#include "datadll/utility/sys_tray_class.h"

#include "runtime/events.h"
#include "runtime/fixed_string.h"

namespace vx {
namespace {

constexpr std::size_t kCStringText = 255;  // a CSTRING(256) holds 255 bytes of text

std::string Stored(std::string_view text) {
  return std::string(CutUtf8(ClipView(text), kCStringText));
}

}  // namespace

std::string ConvertIconName(std::string_view icon) {
  std::string name(ClipView(icon));
  const long n = static_cast<long>(name.size()) - 3;
  if (n > 1 && name[static_cast<std::size_t>(n - 1)] == '.')
    name[static_cast<std::size_t>(n - 1)] = '_';
  return name;
}

void SYSTRAYCLASS::INIT(std::uint8_t id, std::string_view tip, std::string_view icon,
                        std::uint8_t minimiseAllowed, std::uint8_t eventsOff) {
  INIT(CurrentWindowLink(), id, tip, icon, minimiseAllowed, eventsOff);
}

void SYSTRAYCLASS::INIT(WindowLink window, std::uint8_t id, std::string_view tip,
                        std::string_view icon, std::uint8_t minimiseAllowed,
                        std::uint8_t eventsOff) {
  MinimiseAllowed = minimiseAllowed;
  EventsOff = eventsOff;
  window_ = std::move(window);
  IconId = id;
  ADDICON(tip, icon);
  if (MinimiseAllowed == 0 && EventsOff == 0) RegisterHandlers();
  // A tray host that starts after this (the desktop's panel restarted) has lost the icon: the
  // window is told, as with the taskbar's re-creation, and adds it again.
  WindowLink link = window_;
  tray_host_watch_ = platform::WatchTrayHost([link] { link.Post(EVENT_TrayRecreate); });
}

void SYSTRAYCLASS::Prime() {
  NotifyIcon.size = NotifyIconRecord::kSize;
  NotifyIcon.id = static_cast<int>(IconId);
  NotifyIcon.callback_message = kCallbackMessage;
  NotifyIcon.icon = IconName;
  NotifyIcon.tip = std::string(CutUtf8(ClipView(TipText), NotifyIconRecord::kTipBytes - 1));
}

int SYSTRAYCLASS::ADDICON(std::string_view tip, std::string_view icon) {
  IconName = Stored(ConvertIconName(icon));
  TipText = Stored(tip);
  Prime();
  NotifyIcon.flags = 7;
  return tray_.Add(NotifyIcon.icon, NotifyIcon.tip, EVENT_TrayLeftClick, EVENT_TrayRightClick,
                   EVENT_TrayLeftDoubleClick, EVENT_TrayRightDoubleClick)
             ? 1
             : 0;
}

int SYSTRAYCLASS::CHANGEICON(std::string_view icon) {
  return Change(IconName, ConvertIconName(icon), 2, [this] { tray_.SetIcon(NotifyIcon.icon); });
}

int SYSTRAYCLASS::CHANGETIP(std::string_view tip) {
  return Change(TipText, tip, 4, [this] { tray_.SetTip(NotifyIcon.tip); });
}

int SYSTRAYCLASS::Change(std::string& stored, std::string_view value, unsigned flags,
                         const std::function<void()>& modify) {
  const std::string text = Stored(value);
  if (AlwaysRefresh == 0 && text == stored) return 1;
  stored = text;
  Prime();
  NotifyIcon.flags = flags;
  if (!tray_.Shown()) return 0;
  modify();
  return 1;
}

int SYSTRAYCLASS::DELETEICON() {
  Prime();
  if (!tray_.Shown()) return 0;
  tray_.Remove();
  return 1;
}

void SYSTRAYCLASS::HIDE() { window_.Set(Prop::Hide, 1); }

void SYSTRAYCLASS::UNHIDE() {
  window_.Set(Prop::Iconize, 0);
  window_.Set(Prop::Hide, 0);
  window_.ToFront();
}

void SYSTRAYCLASS::RESTORE() { UNHIDE(); }

void SYSTRAYCLASS::ICONIZED() {
  window_.Set(Prop::Iconize, 0);
  HIDE();
}

void SYSTRAYCLASS::DISALLOWMINIMIZE() {
  if (EventsOff || MinimiseAllowed == 0) return;
  RegisterHandlers();
  MinimiseAllowed = 0;
}

void SYSTRAYCLASS::ALLOWMINIMIZE() {
  if (EventsOff || MinimiseAllowed == 1) return;
  UnregisterHandlers();
  MinimiseAllowed = 1;
}

void SYSTRAYCLASS::TAKETRAYLEFTCLICK() { window_.Post(EVENT_TrayLeftClick); }
void SYSTRAYCLASS::TAKETRAYLEFTDOUBLECLICK() { window_.Post(EVENT_TrayLeftDoubleClick); }
void SYSTRAYCLASS::TAKETRAYRIGHTCLICK() { window_.Post(EVENT_TrayRightClick); }

void SYSTRAYCLASS::KILL() {
  if (MinimiseAllowed == 0 && EventsOff == 0) UnregisterHandlers();
  DELETEICON();
  tray_host_watch_.reset();
}

bool SYSTRAYCLASS::TakeMinimiseEvent(int event) {
  if (!handlers_registered_ || EventsOff) return false;
  switch (event) {
    case EVENT_Restore:
      RESTORE();
      return true;
    case EVENT_Iconize:
    case EVENT_Iconized:
      ICONIZED();
      return true;
    default:
      return false;
  }
}

void SYSTRAYCLASS::RegisterHandlers() { handlers_registered_ = true; }
void SYSTRAYCLASS::UnregisterHandlers() { handlers_registered_ = false; }

}  // namespace vx
