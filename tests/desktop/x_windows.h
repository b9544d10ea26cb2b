// Finding a program's windows on a real X display by their titles, for the tests that start the
// built programs under X.
#pragma once

// Include after gtest: Xlib's macros (None, Bool) would clash with gtest's own names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace vx::test {

// The built VX beside the test programs.
inline std::filesystem::path BuiltProgram() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "VX";
}

// The window's title (_NET_WM_NAME, else WM_NAME); empty when it has none.
inline std::string WindowName(Display* display, ::Window window) {
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  std::string name;
  const Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  if (XGetWindowProperty(display, window, net_name, 0, 1024, False, utf8, &type, &format, &items,
                         &after, &data) == Success &&
      data) {
    name.assign(reinterpret_cast<char*>(data), items);
    XFree(data);
  }
  if (name.empty()) {
    char* plain = nullptr;
    if (XFetchName(display, window, &plain) && plain) {
      name = plain;
      XFree(plain);
    }
  }
  return name;
}

// The process that owns the window (_NET_WM_PID); 0 when it does not say.
inline pid_t WindowProcess(Display* display, ::Window window) {
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  pid_t pid = 0;
  const Atom net_pid = XInternAtom(display, "_NET_WM_PID", False);
  if (XGetWindowProperty(display, window, net_pid, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                         &after, &data) == Success &&
      data) {
    if (items == 1 && format == 32)
      pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
    XFree(data);
  }
  return pid;
}

inline int IgnoreXError(Display*, XErrorEvent*) { return 0; }

inline ::Window FindWindowTitledIn(Display* display, ::Window window, const std::string& title,
                                   bool shown) {
  XWindowAttributes attributes{};
  if (shown &&
      (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable))
    return 0;
  if (WindowName(display, window).rfind(title, 0) == 0) return window;
  ::Window root = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
  ::Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i)
    found = FindWindowTitledIn(display, children[i], title, shown);
  if (children) XFree(children);
  return found;
}

// The first window at or below `window` whose title starts with `title` (only among shown
// windows when `shown` is set); 0 when none. A window that vanishes while the tree is read
// (another program's window closing) is passed over: its X error must not end the test.
inline ::Window FindWindowTitled(Display* display, ::Window window, const std::string& title,
                                 bool shown = false) {
  auto* previous = XSetErrorHandler(IgnoreXError);
  const ::Window found = FindWindowTitledIn(display, window, title, shown);
  XSync(display, False);
  XSetErrorHandler(previous);
  return found;
}

inline bool HasWindowTitled(Display* display, ::Window window, const std::string& title) {
  return FindWindowTitled(display, window, title) != 0;
}

// Whether a window with this title is on the screen (mapped), searched from the root.
inline bool Shown(Display* display, const std::string& title) {
  return FindWindowTitled(display, DefaultRootWindow(display), title, true) != 0;
}

// Whether the tray host's panel (trayer's) holds a window of the program (its docked tray
// icon).
inline bool TrayIconDocked(Display* display) {
  const ::Window panel = FindWindowTitled(display, DefaultRootWindow(display), "panel");
  if (!panel) return false;
  ::Window root = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, panel, &root, &parent, &children, &count)) return false;
  bool found = false;
  for (unsigned i = 0; i < count && !found; ++i)
    found = HasWindowTitled(display, children[i], "VX");
  if (children) XFree(children);
  return found;
}

// Whether the tests' X display can be opened.
inline bool XDisplayAvailable() {
  Display* display = XOpenDisplay(nullptr);
  const bool open = display != nullptr;
  if (open) XCloseDisplay(display);
  return open;
}

// Brings the shown window titled `title` to the front and gives it the keyboard, through the
// window manager when one runs (_NET_ACTIVE_WINDOW) and directly otherwise. False when there is
// no such window.
inline bool FocusWindowTitled(Display* display, const std::string& title) {
  const ::Window root = DefaultRootWindow(display);
  const ::Window window = FindWindowTitled(display, root, title, true);
  if (!window) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 2;  // a pager or test: obey at once
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  // The window may vanish in between: its error must not end the test.
  auto* previous = XSetErrorHandler(IgnoreXError);
  XRaiseWindow(display, window);
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XSync(display, False);
  XSetErrorHandler(previous);
  return true;
}

// Checks `condition` every 50 ms until it holds or `limit` has passed; answers the last check.
inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  for (auto until = std::chrono::steady_clock::now() + limit;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// Starts `program` with `args` and answers its process id (0 when it cannot start). No
// session bus on the test display: without this, the desktop libraries try to launch one by
// forking, which can hang a sanitised, threaded program. `extra_env` ("NAME=value") replaces or
// adds variables of the child's environment (another DISPLAY, for instance).
inline pid_t StartWithoutSessionBus(const std::string& program, std::vector<std::string> args = {},
                                    const std::vector<std::string>& extra_env = {}) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto replaced = [&extra_env](std::string_view entry) {
    if (entry.rfind("DBUS_SESSION_BUS_ADDRESS=", 0) == 0) return true;
    for (const std::string& e : extra_env) {
      if (entry.rfind(e.substr(0, e.find('=') + 1), 0) == 0) return true;
    }
    return false;
  };
  std::vector<std::string> env_text(extra_env.begin(), extra_env.end());
  for (char** e = environ; *e; ++e) {
    if (!replaced(*e)) env_text.emplace_back(*e);
  }
  env_text.emplace_back("DBUS_SESSION_BUS_ADDRESS=disabled:");
  env_text.emplace_back("NO_AT_BRIDGE=1");
  std::vector<char*> env;
  for (std::string& e : env_text) env.push_back(e.data());
  env.push_back(nullptr);
  pid_t pid = 0;
  return posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), env.data()) == 0 ? pid
                                                                                            : 0;
}

// Sends SIGTERM to the started child and waits up to `limit` for it to end; answers whether it
// did, with its wait status in `status`. A child still running is killed and reaped.
inline bool EndWithin(pid_t pid, std::chrono::seconds limit, int& status) {
  kill(pid, SIGTERM);
  for (auto until = std::chrono::steady_clock::now() + limit;
       std::chrono::steady_clock::now() < until;) {
    if (waitpid(pid, &status, WNOHANG) == pid) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return false;
}

// Ends every process whose current folder is `folder` (the helpers a started VX leaves behind
// run in its data folder: they are no children of the test, so they are found by their folder),
// SIGTERM first, SIGKILL after two seconds. Answers how many there were.
inline int EndProcessesIn(const std::filesystem::path& folder) {
  std::vector<pid_t> found;
  std::error_code ec;
  const std::filesystem::path wanted = std::filesystem::canonical(folder, ec);
  if (ec) return 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t pid = static_cast<pid_t>(std::stol(name));
    if (pid == getpid()) continue;
    std::error_code link_ec;
    if (std::filesystem::read_symlink(entry.path() / "cwd", link_ec) == wanted && !link_ec)
      found.push_back(pid);
  }
  for (pid_t pid : found) kill(pid, SIGTERM);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  for (pid_t pid : found) {
    while (kill(pid, 0) == 0 && std::chrono::steady_clock::now() < until) {
      waitpid(pid, nullptr, WNOHANG);  // reaps it when it is a child after all
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (kill(pid, 0) == 0) kill(pid, SIGKILL);
  }
  return static_cast<int>(found.size());
}

}  // namespace vx::test
