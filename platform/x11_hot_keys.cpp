#include "platform/x11_hot_keys.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/virtual_keys.h"
#include "platform/x11_display.h"
#include "platform/x11_error_trap.h"

namespace vx::platform {
namespace {

// The modifiers a hot key is told apart by; lock modifiers are left out when matching presses.
constexpr unsigned kChordMask = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;

unsigned ToXModifiers(unsigned hot_key_modifiers) {
  unsigned mask = 0;
  if (hot_key_modifiers & kHotKeyAlt) mask |= Mod1Mask;
  if (hot_key_modifiers & kHotKeyCtrl) mask |= ControlMask;
  if (hot_key_modifiers & kHotKeyShift) mask |= ShiftMask;
  if (hot_key_modifiers & kHotKeyWin) mask |= Mod4Mask;
  return mask;
}

// The modifier bit that the key of `keysym` sets on this server, 0 when none.
unsigned ModifierOfKeysym(Display* display, KeySym keysym) {
  const KeyCode code = XKeysymToKeycode(display, keysym);
  if (code == 0) return 0;
  XModifierKeymap* map = XGetModifierMapping(display);
  if (!map) return 0;
  unsigned mask = 0;
  for (int modifier = 0; modifier < 8 && mask == 0; ++modifier) {
    for (int k = 0; k < map->max_keypermod; ++k) {
      if (map->modifiermap[modifier * map->max_keypermod + k] == code) {
        mask = 1u << modifier;
        break;
      }
    }
  }
  XFreeModifiermap(map);
  return mask;
}

class X11HotKeyGrabber final : public HotKeyGrabber {
 public:
  X11HotKeyGrabber(Display* display, int wake_read, int wake_write)
      : display_(display), root_(DefaultRootWindow(display)), wake_read_(wake_read), wake_write_(wake_write) {
    // Every combination of the lock modifiers, so that Caps, Num or Scroll Lock being on
    // does not hide a press.
    const unsigned locks[] = {LockMask, ModifierOfKeysym(display, XK_Num_Lock),
                              ModifierOfKeysym(display, XK_Scroll_Lock)};
    for (unsigned subset = 0; subset < 8; ++subset) {
      unsigned variant = 0;
      for (unsigned bit = 0; bit < 3; ++bit)
        if (subset & (1u << bit)) variant |= locks[bit];
      bool seen = false;
      for (unsigned v : lock_variants_) seen = seen || v == variant;
      if (!seen) lock_variants_.push_back(variant);
    }
    listener_ = std::thread([this] { Listen(); });
  }

  ~X11HotKeyGrabber() override {
    stop_ = true;
    Wake();
    listener_.join();
    {
      std::lock_guard lock(display_mutex_);
      for (const auto& [id, grab] : grabs_) UngrabVariants(grab);
      XCloseDisplay(display_);
    }
    close(wake_read_);
    close(wake_write_);
  }

  bool Grab(int id, unsigned modifiers, unsigned virtual_key) override {
    std::lock_guard lock(display_mutex_);
    if (auto old = grabs_.find(id); old != grabs_.end()) {
      UngrabVariants(old->second);
      grabs_.erase(old);
    }
    const KeySym keysym = VirtualKeyToKeysym(virtual_key);
    const KeyCode code = keysym ? XKeysymToKeycode(display_, keysym) : 0;
    if (code == 0) return false;
    const Grabbed grab{code, ToXModifiers(modifiers), modifiers, virtual_key};
    int error = 0;
    {
      X11ErrorTrap trap(display_);
      for (unsigned variant : lock_variants_)
        XGrabKey(display_, code, grab.x_modifiers | variant, root_, False, GrabModeAsync, GrabModeAsync);
      error = trap.Sync();
      // Another client holds the key in at least one variant: give back the variants that
      // were granted, so that the key is either wholly ours or not at all.
      if (error != 0) UngrabVariants(grab);
    }
    Wake();  // the sync may have read presses off the connection
    if (error != 0) return false;
    grabs_.emplace(id, grab);
    return true;
  }

  bool Ungrab(int id) override {
    std::lock_guard lock(display_mutex_);
    auto it = grabs_.find(id);
    if (it == grabs_.end()) return false;
    {
      X11ErrorTrap trap(display_);
      UngrabVariants(it->second);
      trap.Sync();
    }
    grabs_.erase(it);
    Wake();
    return true;
  }

  void SetPressHandler(PressHandler handler) override {
    std::lock_guard lock(handler_mutex_);
    handler_ = std::move(handler);
  }

 private:
  struct Grabbed {
    KeyCode code;
    unsigned x_modifiers;
    unsigned modifiers;
    unsigned virtual_key;
  };

  void UngrabVariants(const Grabbed& grab) {
    for (unsigned variant : lock_variants_) XUngrabKey(display_, grab.code, grab.x_modifiers | variant, root_);
  }

  void Wake() {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = write(wake_write_, &byte, 1);
  }

  // Reads the connection's events until the grabber closes; each press of a grabbed key goes
  // to the handler, outside the display lock so that the handler may grab or ungrab keys.
  void Listen() {
    while (!stop_) {
      std::vector<Grabbed> presses;
      std::vector<int> ids;
      {
        std::lock_guard lock(display_mutex_);
        while (XPending(display_) > 0) {
          XEvent event;
          XNextEvent(display_, &event);
          if (event.type != KeyPress) continue;
          const unsigned chord = event.xkey.state & kChordMask;
          for (const auto& [id, grab] : grabs_) {
            if (grab.code == event.xkey.keycode && grab.x_modifiers == chord) {
              presses.push_back(grab);
              ids.push_back(id);
              break;
            }
          }
        }
      }
      if (!presses.empty()) {
        std::lock_guard lock(handler_mutex_);
        for (std::size_t i = 0; i < presses.size(); ++i)
          if (handler_) handler_(ids[i], presses[i].modifiers, presses[i].virtual_key);
      }
      pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wake_read_, POLLIN, 0}};
      if (poll(fds, 2, -1) > 0 && (fds[1].revents & POLLIN)) {
        char drain[64];
        while (read(wake_read_, drain, sizeof drain) > 0) {
        }
      }
    }
  }

  Display* display_;
  Window root_;
  int wake_read_;
  int wake_write_;
  std::vector<unsigned> lock_variants_;
  std::map<int, Grabbed> grabs_;
  std::mutex display_mutex_;
  std::mutex handler_mutex_;
  PressHandler handler_;
  std::atomic<bool> stop_{false};
  std::thread listener_;
};

// Refuses every key: the desktop offers no hot keys.
class NoHotKeys final : public HotKeyGrabber {
 public:
  bool Grab(int, unsigned, unsigned) override { return false; }
  bool Ungrab(int) override { return false; }
  void SetPressHandler(PressHandler) override {}
};

}  // namespace

std::unique_ptr<HotKeyGrabber> OpenX11HotKeyGrabber(const std::string& display_name) {
  Display* display = OpenX11Display(display_name);
  if (!display) return nullptr;
  int wake[2];
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::make_unique<X11HotKeyGrabber>(display, wake[0], wake[1]);
}

std::unique_ptr<HotKeyGrabber> OpenSystemHotKeyGrabber() {
  if (auto grabber = OpenX11HotKeyGrabber()) return grabber;
  return std::make_unique<NoHotKeys>();
}

}  // namespace vx::platform
