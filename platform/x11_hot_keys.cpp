#include "platform/x11_hot_keys.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/virtual_keys.h"
#include "platform/x11_error_trap.h"
#include "platform/x11_listener.h"

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
  explicit X11HotKeyGrabber(std::unique_ptr<X11Listener> listener)
      : listener_(std::move(listener)),
        display_(listener_->display()),
        root_(DefaultRootWindow(display_)) {
    // Every combination of the lock modifiers, so that Caps, Num or Scroll Lock being on
    // does not hide a press.
    const unsigned locks[] = {LockMask, ModifierOfKeysym(display_, XK_Num_Lock),
                              ModifierOfKeysym(display_, XK_Scroll_Lock)};
    for (unsigned subset = 0; subset < 8; ++subset) {
      unsigned variant = 0;
      for (unsigned bit = 0; bit < 3; ++bit)
        if (subset & (1u << bit)) variant |= locks[bit];
      bool seen = false;
      for (unsigned v : lock_variants_) seen = seen || v == variant;
      if (!seen) lock_variants_.push_back(variant);
    }
    listener_->Start([this](const XEvent& event) { OnEvent(event); });
  }

  ~X11HotKeyGrabber() override {
    {
      std::lock_guard lock(listener_->lock());
      for (const auto& [id, grab] : grabs_) UngrabVariants(grab);
      XSync(display_, False);
    }
    listener_.reset();  // the thread ends before the grabs it reads go away
  }

  bool Grab(int id, unsigned modifiers, unsigned virtual_key) override {
    int error = 0;
    {
      std::lock_guard lock(listener_->lock());
      if (auto old = grabs_.find(id); old != grabs_.end()) {
        UngrabVariants(old->second);
        grabs_.erase(old);
      }
      const KeySym keysym = VirtualKeyToKeysym(virtual_key);
      const KeyCode code = keysym ? XKeysymToKeycode(display_, keysym) : 0;
      if (code == 0) return false;
      const Grabbed grab{code, ToXModifiers(modifiers), modifiers, virtual_key};
      X11ErrorTrap trap(display_);
      for (unsigned variant : lock_variants_)
        XGrabKey(display_, code, grab.x_modifiers | variant, root_, False, GrabModeAsync,
                 GrabModeAsync);
      error = trap.Sync();
      // Another client holds the key in at least one variant: give back the variants that
      // were granted, so that the key is either wholly ours or not at all.
      if (error != 0)
        UngrabVariants(grab);
      else
        grabs_.emplace(id, grab);
    }
    listener_->Wake();  // the sync may have read presses off the connection
    return error == 0;
  }

  bool Ungrab(int id) override {
    {
      std::lock_guard lock(listener_->lock());
      auto it = grabs_.find(id);
      if (it == grabs_.end()) return false;
      X11ErrorTrap trap(display_);
      UngrabVariants(it->second);
      trap.Sync();
      grabs_.erase(it);
    }
    listener_->Wake();
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
    for (unsigned variant : lock_variants_)
      XUngrabKey(display_, grab.code, grab.x_modifiers | variant, root_);
  }

  // On the listener thread: a press of a grabbed key goes to the handler, which may grab or
  // ungrab keys itself.
  void OnEvent(const XEvent& event) {
    if (event.type != KeyPress) return;
    const unsigned chord = event.xkey.state & kChordMask;
    int id = 0;
    Grabbed pressed{};
    {
      std::lock_guard lock(listener_->lock());
      for (const auto& [grab_id, grab] : grabs_) {
        if (grab.code == event.xkey.keycode && grab.x_modifiers == chord) {
          id = grab_id;
          pressed = grab;
          break;
        }
      }
    }
    if (id == 0) return;
    std::lock_guard lock(handler_mutex_);
    if (handler_) handler_(id, pressed.modifiers, pressed.virtual_key);
  }

  std::unique_ptr<X11Listener> listener_;
  Display* display_;
  Window root_;
  std::vector<unsigned> lock_variants_;
  std::map<int, Grabbed> grabs_;  // guarded by the listener's lock
  std::mutex handler_mutex_;
  PressHandler handler_;
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
  auto listener = X11Listener::Open(display_name);
  if (!listener) return nullptr;
  return std::make_unique<X11HotKeyGrabber>(std::move(listener));
}

std::unique_ptr<HotKeyGrabber> OpenSystemHotKeyGrabber() {
  if (auto grabber = OpenX11HotKeyGrabber()) return grabber;
  return std::make_unique<NoHotKeys>();
}

}  // namespace vx::platform
