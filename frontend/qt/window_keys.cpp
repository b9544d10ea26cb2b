#include "frontend/qt/window_keys.h"

#include <QKeyEvent>

#include "runtime/events.h"

namespace vx::qt {

bool Alerts(const std::string& alerts, int code) {
  return ("|" + alerts + "|").find("|" + std::to_string(code) + "|") != std::string::npos;
}

// Enter on a list, alone, with Shift (269), with Ctrl (0x20D) or with Ctrl+Alt (0x60D), reaches
// the model as that key code; so do Insert (0x2D) and Delete (0x2E) alone, with which a list
// that edits its rows adds and removes one, and Up, Down, Page Up and Page Down alone (0x26,
// 0x28, 0x21, 0x22), which such a list takes instead of moving by itself; Shift+Up and Shift+Down
// (0x126, 0x128) close and open a whole tree list.
int ListKeyCode(const QKeyEvent& key) {
  const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
  int code = 0;
  if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
    if (mods == Qt::NoModifier) code = EnterKey;
    if (mods == Qt::ShiftModifier) code = ShiftEnter;
    if (mods == Qt::ControlModifier) code = 0x200 | EnterKey;
    if (mods == (Qt::ControlModifier | Qt::AltModifier)) code = CtrlAltEnter;
  } else if (mods == Qt::NoModifier && key.key() == Qt::Key_Insert) {
    code = 0x2D;
  } else if (mods == Qt::NoModifier && key.key() == Qt::Key_Delete) {
    code = 0x2E;
  } else if (mods == Qt::NoModifier && (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down)) {
    code = key.key() == Qt::Key_Up ? 0x26 : 0x28;
  } else if (mods == Qt::ShiftModifier && (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down)) {
    code = key.key() == Qt::Key_Up ? 0x126 : 0x128;  // a tree list's Shift+Up and Shift+Down
  } else if (mods == Qt::NoModifier &&
             (key.key() == Qt::Key_PageUp || key.key() == Qt::Key_PageDown)) {
    code = key.key() == Qt::Key_PageUp ? 0x21 : 0x22;
  } else if (mods & (Qt::ControlModifier | Qt::AltModifier)) {
    // Other keys with Ctrl or Alt that the list alerts (the list extension's Alt+F11, Alt+F12,
    // Ctrl+Alt+R, Alt+M, the list properties' Alt+arrows and Alt+1, Alt+2): the key's code with
    // the modifier bits.
    int base = 0;
    if (key.key() >= Qt::Key_F1 && key.key() <= Qt::Key_F12) base = 0x70 + (key.key() - Qt::Key_F1);
    if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z) base = 'A' + (key.key() - Qt::Key_A);
    if (key.key() >= Qt::Key_0 && key.key() <= Qt::Key_9) base = '0' + (key.key() - Qt::Key_0);
    if (key.key() >= Qt::Key_Left && key.key() <= Qt::Key_Down)
      base = 0x25 + (key.key() - Qt::Key_Left);
    if (key.key() == Qt::Key_PageUp) base = 0x21;  // a tree list's Ctrl+PgUp and Ctrl+PgDn
    if (key.key() == Qt::Key_PageDown) base = 0x22;
    if (base) {
      // The runtime's modifier bits, as in ShiftEnter and CtrlAltEnter: Shift 0x100, Ctrl 0x200,
      // Alt 0x400.
      code = base | ((mods & Qt::ShiftModifier) ? 0x100 : 0) |
             ((mods & Qt::ControlModifier) ? 0x200 : 0) | ((mods & Qt::AltModifier) ? 0x400 : 0);
    }
  }
  return code;
}

// Ctrl+' is a form's history key, 734: the Ctrl bit 0x200 with the key's own code 0xDE.
int FieldKeyCode(const QKeyEvent& key) {
  constexpr int kHistoryKey = 0x200 | 0xDE;
  const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
  if (key.key() != Qt::Key_Apostrophe || mods != Qt::ControlModifier) return 0;
  return kHistoryKey;
}

int TypedKeyCode(const QKeyEvent& key) {
  const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
  int code = 0;
  if (key.key() == Qt::Key_Backspace) {
    code = 8;
  } else if (key.key() == Qt::Key_Delete) {
    code = 46;
  } else if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z) {
    code = 'A' + (key.key() - Qt::Key_A) + ((mods & Qt::ShiftModifier) != 0 ? 0x100 : 0);
  } else if (key.text().size() == 1 && key.text()[0].unicode() >= 0x20 &&
             key.text()[0].unicode() < 0x7F) {
    code = key.text()[0].unicode();
  } else {
    return 0;
  }
  if ((mods & Qt::ControlModifier) != 0) code |= 0x200;
  if ((mods & Qt::AltModifier) != 0) code |= 0x400;
  return code;
}

int EnterOrEscCode(const QKeyEvent& key) {
  const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
  const bool esc = key.key() == Qt::Key_Escape;
  const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
  if (!(enter || esc) || mods != Qt::NoModifier) return 0;
  return enter ? EnterKey : EscKey;
}

// Print Screen is 44; with Alt it carries the Alt bit.
int PrintScreenCode(const QKeyEvent& key) {
  const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
  if (key.key() != Qt::Key_Print || (mods != Qt::NoModifier && mods != Qt::AltModifier)) return 0;
  return PrintScreenKey | (mods == Qt::AltModifier ? 0x400 : 0);
}

bool IsHotLetter(const QKeyEvent& key) {
  const Qt::KeyboardModifiers mods = key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
  return mods == Qt::AltModifier && !key.text().isEmpty() && key.text()[0].isPrint();
}

}  // namespace vx::qt
