#include "platform/x11_fake_keys.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <vector>

#include "platform/virtual_keys.h"
#include "platform/x11_display.h"

namespace vx::platform {

bool FakeKeyChord(unsigned modifiers, unsigned virtual_key, const std::string& display_name) {
  Display* display = OpenX11Display(display_name);
  if (!display) return false;
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  bool ok = XTestQueryExtension(display, &event_base, &error_base, &major, &minor);

  std::vector<KeyCode> keys;
  const struct {
    unsigned flag;
    KeySym keysym;
  } modifier_keys[] = {{kHotKeyCtrl, XK_Control_L},
                       {kHotKeyAlt, XK_Alt_L},
                       {kHotKeyShift, XK_Shift_L},
                       {kHotKeyWin, XK_Super_L}};
  for (const auto& m : modifier_keys)
    if (modifiers & m.flag) keys.push_back(XKeysymToKeycode(display, m.keysym));
  const KeySym keysym = VirtualKeyToKeysym(virtual_key);
  keys.push_back(keysym ? XKeysymToKeycode(display, keysym) : 0);
  for (KeyCode k : keys) ok = ok && k != 0;

  if (ok) {
    for (KeyCode k : keys) XTestFakeKeyEvent(display, k, True, CurrentTime);
    for (auto k = keys.rbegin(); k != keys.rend(); ++k)
      XTestFakeKeyEvent(display, *k, False, CurrentTime);
    XSync(display, False);
  }
  XCloseDisplay(display);
  return ok;
}

}  // namespace vx::platform
