// Types into whatever window has the keyboard focus: single keys by name or code, plain text a
// character at a time, text with key names between two delimiter characters ("Dear {Enter}"),
// and a queue of prepared keys; and reads and moves the mouse pointer.
//
// Key codes are a virtual key in the low byte with modifier bits 256 Shift, 512 Ctrl, 1024 Alt
// and 2048 the Windows key. The class has its own key-name table (searched from its last name
// back, so "Print" is 42 and 44 is "PrintScreen") and name parser: "+", "^", "%" and "*" in
// front add Shift, Ctrl, Alt and Windows, a "-" is passed over, the words SHIFT, CTRL, ALT and
// WIN add theirs, and the word KEY is dropped, so "CTRL-ALT-F5", "^%F5" and "F5KEY" with
// modifiers all read alike. Keys go out through the platform's keyboard (XTest on X11).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/keyboard_output.h"
#include "platform/mouse_pointer.h"
#include "runtime/fixed_string.h"
#include "runtime/queue.h"

namespace vx {

// One name of the key-name table.
struct PressKeyName {
  std::string_view name;
  std::uint8_t code;
};

// The table INIT loads, in its stored order.
std::span<const PressKeyName> PressKeyTable();

class PRESSKEYCLASS {
 public:
  struct KEY_RECORD {
    long ID = 0;     // key code
    String<32> KEY;  // its name or character
  };
  struct TRN_RECORD {
    std::uint8_t ID = 0;   // virtual key
    std::string_view KEY;  // its name
  };

  // Without a keyboard or pointer the class uses the desktop's (X11).
  explicit PRESSKEYCLASS(std::unique_ptr<platform::KeyboardOutput> keyboard = nullptr,
                         std::unique_ptr<platform::MousePointer> mouse = nullptr);

  // The delimiters: the first character opens a key name, the second closes it (the first
  // again when only one is given; none for an empty text).
  void INIT(std::string_view delimiters);
  void KILL();
  void ADDTRN(std::span<const PressKeyName> names);
  // Pause after each typed character or run of text, in tens of milliseconds (0: none).
  void SETDELAY(long delay) { DELAY = delay; }

  void GETMOUSEPOS(long& x, long& y);
  void SETMOUSEPOS(long x, long y);

  // The key code of a name; 0 when the table has no such name.
  long TRNKEYNAME(std::string_view name) const;
  // The name of a key code: "Shift-", "Alt-", "Ctrl-", "Win-" for its bits, then the table's
  // name of its low byte (nothing when the table has none).
  std::string TRNVIRTKEY(unsigned long code) const;

  void ZQPRESSKEY(unsigned long code);
  void ZQPRESSKEYSTR(std::string_view name) {
    ZQPRESSKEY(static_cast<unsigned long>(TRNKEYNAME(name)));
  }
  // Types the text a character at a time (Caps Lock off while it types).
  void ZQPRESS(std::string_view text);
  // Types the text, pressing the key named between the delimiters wherever one stands: a
  // doubled opening delimiter types one, and a name the table lacks is typed as it stands.
  void PRESSEX(std::string_view text);
  void KEYTOQ(std::string_view name);
  void STRINGTOQ(std::string_view text);
  void PRESSQ();

  Queue<KEY_RECORD> KEYQ;
  Queue<TRN_RECORD> TRNQ;
  char DELIMITERLEFT = ' ';
  char DELIMITERRIGHT = ' ';
  long DELAY = 0;

 private:
  void Pause();
  void Type(std::string_view text);  // every character, blanks too
  platform::KeyboardOutput& Keyboard();

  std::unique_ptr<platform::KeyboardOutput> keyboard_;
  std::unique_ptr<platform::MousePointer> mouse_;
  bool delimited_ = false;
};

}  // namespace vx
