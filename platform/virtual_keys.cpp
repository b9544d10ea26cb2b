#include "platform/virtual_keys.h"

#include <X11/keysym.h>

namespace vx::platform {

unsigned long VirtualKeyToKeysym(unsigned vk) {
  if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');
  if (vk >= '0' && vk <= '9') return XK_0 + (vk - '0');
  if (vk >= 96 && vk <= 105) return XK_KP_0 + (vk - 96);  // number pad digits
  if (vk >= 112 && vk <= 135) return XK_F1 + (vk - 112);  // F1 .. F24
  switch (vk) {
    case 8:
      return XK_BackSpace;
    case 9:
      return XK_Tab;
    case 12:
      return XK_Clear;
    case 13:
      return XK_Return;
    case 16:
      return XK_Shift_L;
    case 17:
      return XK_Control_L;
    case 18:
      return XK_Alt_L;
    case 19:
      return XK_Pause;
    case 20:
      return XK_Caps_Lock;
    case 27:
      return XK_Escape;
    case 32:
      return XK_space;
    case 33:
      return XK_Prior;
    case 34:
      return XK_Next;
    case 35:
      return XK_End;
    case 36:
      return XK_Home;
    case 37:
      return XK_Left;
    case 38:
      return XK_Up;
    case 39:
      return XK_Right;
    case 40:
      return XK_Down;
    case 44:
      return XK_Print;
    case 45:
      return XK_Insert;
    case 46:
      return XK_Delete;
    case 91:
      return XK_Super_L;
    case 92:
      return XK_Super_R;
    case 93:
      return XK_Menu;
    case 106:
      return XK_KP_Multiply;
    case 107:
      return XK_KP_Add;
    case 108:
      return XK_KP_Separator;
    case 109:
      return XK_KP_Subtract;
    case 110:
      return XK_KP_Decimal;
    case 111:
      return XK_KP_Divide;
    case 144:
      return XK_Num_Lock;
    case 145:
      return XK_Scroll_Lock;
    case 186:
      return XK_semicolon;
    case 187:
      return XK_equal;
    case 188:
      return XK_comma;
    case 189:
      return XK_minus;
    case 190:
      return XK_period;
    case 191:
      return XK_slash;
    case 192:
      return XK_grave;
    case 219:
      return XK_bracketleft;
    case 220:
      return XK_backslash;
    case 221:
      return XK_bracketright;
    case 222:
      return XK_apostrophe;
    default:
      return 0;  // mouse buttons and codes without a key on X11
  }
}

unsigned KeysymToVirtualKey(unsigned long keysym) {
  if (keysym == 0) return 0;
  for (unsigned vk = 1; vk < 256; ++vk) {
    if (VirtualKeyToKeysym(vk) == keysym) return vk;
  }
  return 0;
}

}  // namespace vx::platform
