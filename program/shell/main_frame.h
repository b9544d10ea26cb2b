// Main: the application frame. Its menus, toolbar and tray (the table of main_menus.h) start
// every other window; its one-second timer drives the scheduler (clipboard capture, the four
// phases, the active script, the tray icon); it answers hot keys (hot_key_actions.h) and the
// end of the desktop session.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "platform/hot_keys.h"

namespace vx {

// The work of one tick that lives elsewhere. An empty step is not built yet and is skipped.
struct MainTickSteps {
  std::function<void()> capture_clipboard;
  std::function<void()> advance_warnings;  // phase 1
  std::function<bool()> remove_history;    // phase 2; true when the daily pass ran
  std::function<void()> check_next_task;   // phase 3
  std::function<void()> check_clock;       // phase 4
  std::function<void()> run_script_step;   // at most one due step of the active script
  std::function<void()> after_tick;        // told when a tick has ended (tests, benchmarks)
};

// What Main reaches through a seam, so tests can stand in for the desktop and the phases
// (installed as the main member of common/program_services.h; none: the program's own).
struct MainServices {
  // The tick's steps; empty members fall back to the program's own.
  MainTickSteps steps;
  // The desktop's hot keys; empty: the X11 desktop.
  std::function<std::unique_ptr<platform::HotKeyGrabber>()> hot_keys;
  // Types a hot key's text (paste: the text is on the clipboard, press Ctrl+V); empty: the
  // desktop's keyboard (TypeHotKeyText).
  std::function<void(std::string_view text, bool paste)> type_text;
  // The frame's own one-second timer is left off: the caller posts the timer events.
  bool manual_timer = false;
};

// The frame procedure; returns when the frame has closed.
void Main();

// The tray icon's picture while no script runs, and the two of the busy animation.
inline constexpr std::string_view kTrayIdleIcon = "tray_ico";

}  // namespace vx
