// System-wide hot keys for one window: key texts such as "CtrlShiftA" to key codes and back,
// registration with the desktop, and each press delivered to the window as event 1810
// (EVENT_HotKeyPressed).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "datadll/utility/window_link.h"
#include "platform/hot_keys.h"
#include "runtime/events.h"
#include "runtime/fixed_string.h"
#include "runtime/queue.h"

namespace vx {

// A key code is the virtual-key code in the low byte with these modifier bits above it.
inline constexpr std::int32_t kKeyAlt = 0x100;
inline constexpr std::int32_t kKeyCtrl = 0x200;
inline constexpr std::int32_t kKeyShift = 0x400;
inline constexpr std::int32_t kKeyWin = 0x800;

struct HotKeyEntry {
  std::int32_t code = 0;
  String<32> text;
};

struct KeyNameEntry {
  std::uint8_t code = 0;
  std::string name;
};

class SYSHOTKEYCLASS {
 public:
  SYSHOTKEYCLASS() = default;
  virtual ~SYSHOTKEYCLASS();
  SYSHOTKEYCLASS(const SYSHOTKEYCLASS&) = delete;
  SYSHOTKEYCLASS& operator=(const SYSHOTKEYCLASS&) = delete;

  // Serves the current window with the desktop's hot keys.
  void INIT();
  // Serves the given window with the given hot-key service (tests, and windows the runtime
  // hands over explicitly).
  void INIT(WindowLink window, std::unique_ptr<platform::HotKeyGrabber> grabber);

  virtual void ADDTRN(std::span<const std::uint8_t> key_block);
  std::int32_t TRNKEYNAME(std::string_view text) const;
  String<32> TRNVIRTKEY(std::uint32_t code) const;

  void ADDKEY(std::string_view text);
  void REMOVEKEY(std::string_view text);
  void ACTIVATE();
  void UNACTIVATE();
  void REGISTERHOTKEYS();
  void UNREGISTERHOTKEYS();
  virtual void TAKEKEY(std::int32_t id, std::string_view text);
  virtual void TAKEINVALIDKEY(std::string_view text);
  void KILL();

  // The window procedure's handling of a hot-key message: id is the hot-key id, param the
  // message's second parameter (the virtual key in the high word, the modifiers in the low).
  void HotKeyMessage(std::int32_t id, std::int32_t param);

  std::uint8_t active = 0;
  std::uint8_t registered = 0;
  Queue<HotKeyEntry> RegisteredKeys;  // in key-code order; the id of a key is its position
  Queue<HotKeyEntry> FailedKeys;      // refused in the last register or unregister pass
  Queue<KeyNameEntry> KeyNames;
  Queue<HotKeyEntry> PressedKeys;  // presses the window has not taken yet

 private:
  WindowLink window_;
  // Lets a message queued for the window notice that the object has gone in between.
  std::shared_ptr<SYSHOTKEYCLASS*> self_;
  std::unique_ptr<platform::HotKeyGrabber> grabber_;
};

}  // namespace vx
