#include "platform/x11_display.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace vx::platform {

Display* OpenX11Display(const std::string& display_name) {
  const char* name = display_name.empty() ? nullptr : display_name.c_str();
  if (!name) {
    const char* env = std::getenv("DISPLAY");
    if (!env || !*env) return nullptr;  // nothing to wait for
  }
  auto pause = std::chrono::milliseconds(10);
  for (int attempt = 0; attempt < 12; ++attempt) {
    if (Display* display = XOpenDisplay(name)) return display;
    std::this_thread::sleep_for(pause);
    if (pause < std::chrono::milliseconds(400)) pause *= 2;
  }
  return nullptr;
}

}  // namespace vx::platform
