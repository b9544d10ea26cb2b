// Key codes the add-on classes alert on, as KEYCODE() reports them: the key's own code with the
// runtime's modifier bits (Shift 0x100, Ctrl 0x200, Alt 0x400).
#pragma once

namespace vx::addons {

inline constexpr int TabKey = 9;
inline constexpr int ShiftTab = 0x109;
inline constexpr int UpKey = 0x26;
inline constexpr int DownKey = 0x28;
inline constexpr int PadPlus = 0x6B;   // the keypad's +
inline constexpr int PadMinus = 0x6D;  // the keypad's -
inline constexpr int InsertKey = 0x2D;
inline constexpr int DeleteKey = 0x2E;
inline constexpr int CtrlEnter = 0x20D;
inline constexpr int PageUp = 0x21;
inline constexpr int PageDown = 0x22;

}  // namespace vx::addons
