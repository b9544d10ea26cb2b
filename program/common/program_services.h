// The services the program's routines reach through a seam, gathered in one value and installed
// by one scoped call: the program installs its own at start (shell/install_program_services.h),
// tests install fakes for the life of a fixture. A member left empty means the built-in one:
// lines dropped, dates in picture "@D3", "Email not setup.", the desktop's own windows,
// keyboard and front window, the system's mail transport, Main's own hot keys and timer.
// The schedule rules and the task road have scoped installs of their own
// (recurrence/schedule_services.h, common/task_road_services.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace vx {

namespace platform {
class ActiveWindow;
class DesktopWindows;
class KeyboardOutput;
class MailTransport;
}  // namespace platform

struct MainServices;  // Main's tick (shell/main_frame.h)

// The road's and the script engine's log lines: text and label, as the event log stores them.
using TaskLogWriter = std::function<void(std::string_view text, std::string_view label)>;
// A date as text in the program's date format (the user's chosen picture).
using ScriptDateFormatter = std::function<std::string(std::int32_t date)>;
// Sends the stored message email_id (in_buffer 0: fetch it; reload 1: fetch it and stamp its
// sent date) and answers 0 when sent, else a non-zero result code.
using ScriptMailSender = std::int32_t (*)(std::int32_t email_id, std::uint8_t in_buffer,
                                          std::uint8_t reload);

struct ProgramServices {
  TaskLogWriter task_log;                               // common/task_log.h
  ScriptDateFormatter script_dates;                     // script_engine/builtin_sources.h
  ScriptMailSender script_mail = nullptr;               // script_engine/script_mail.h
  platform::ActiveWindow* script_front = nullptr;       // the focused window scripts read
  platform::DesktopWindows* script_desktop = nullptr;   // script_engine/window_search.h
  platform::KeyboardOutput* script_keyboard = nullptr;  // script_engine/send_keys.h
  platform::ActiveWindow* clipboard_front = nullptr;    // organiser/capture_clipboard.h
  platform::MailTransport* mail_transport = nullptr;    // organiser/send_mail_class.h
  MainServices* main = nullptr;                         // shell/main_frame.h
};

// The services installed now.
const ProgramServices& CurrentProgramServices();

// Installs services for the life of a scope and puts the previous ones back after it, so
// scopes end in the reverse order of their start. The caller keeps the objects pointed to alive.
class ScopedProgramServices {
 public:
  explicit ScopedProgramServices(ProgramServices services);
  // Replaces one service and keeps the others as installed now:
  // ScopedProgramServices keys(&ProgramServices::script_keyboard, &fake_keyboard).
  template <class Service>
  ScopedProgramServices(Service ProgramServices::*member, std::type_identity_t<Service> service)
      : ScopedProgramServices(With(member, std::move(service))) {}
  ~ScopedProgramServices();
  ScopedProgramServices(const ScopedProgramServices&) = delete;
  ScopedProgramServices& operator=(const ScopedProgramServices&) = delete;

 private:
  template <class Service>
  static ProgramServices With(Service ProgramServices::*member, Service service) {
    ProgramServices services = CurrentProgramServices();
    services.*member = std::move(service);
    return services;
  }

  ProgramServices previous_;
};

}  // namespace vx
