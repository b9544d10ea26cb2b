// The desktop's tray host (the system tray manager that shows notification icons), as the
// X11 system tray protocol makes it known: it owns the selection _NET_SYSTEM_TRAY_S<screen> and
// announces itself with a MANAGER message to the root window when it starts.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vx::platform {

// Whether a tray host runs on the display (empty name: $DISPLAY) now.
bool TrayHostPresent(const std::string& display_name = {});

// Watches for tray hosts starting, for as long as it lives.
class TrayHostWatch {
 public:
  virtual ~TrayHostWatch() = default;
};

// Calls `started` (on a thread of the watch's own) each time a tray host starts on the display;
// null when the display cannot be opened.
std::unique_ptr<TrayHostWatch> WatchTrayHost(std::function<void()> started,
                                             const std::string& display_name = {});

}  // namespace vx::platform
