#include "frontend/qt/display_probe.h"

#include <cstdlib>
#include <cstring>

#include "platform/x11_display.h"

namespace vx::qt {

namespace {
bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}
}  // namespace

bool DisplayAvailable() {
  if (const char* platform = std::getenv("QT_QPA_PLATFORM")) {
    if (std::strcmp(platform, "offscreen") == 0 || std::strcmp(platform, "minimal") == 0)
      return false;
  }
  if (Set("WAYLAND_DISPLAY")) return true;
  if (!Set("DISPLAY")) return false;
  Display* display = platform::OpenX11Display();
  if (!display) return false;
  XCloseDisplay(display);
  return true;
}

}  // namespace vx::qt
