#include "datadll/utility/press_key_class.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>

#include "platform/key_press.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"

namespace vx {
namespace {

constexpr std::size_t kWorkingText = 2048;
constexpr std::size_t kLongestName = 32;

constexpr std::array<PressKeyName, 105> kNames = {{
    {"A", 65},           {"Ast", 106},     {"B", 66},          {"Bs", 8},
    {"Backspace", 8},    {"CapsLock", 20}, {"Caps", 20},       {"C", 67},
    {"Decimal", 110},    {"Del", 46},      {"Delete", 46},     {"D", 68},
    {"Down", 40},        {"E", 69},        {"End", 35},        {"Enter", 13},
    {"Esc", 27},         {"F10", 121},     {"F11", 122},       {"F12", 123},
    {"F1", 112},         {"F2", 113},      {"F3", 114},        {"F4", 115},
    {"F5", 116},         {"F6", 117},      {"F7", 118},        {"F8", 119},
    {"F9", 120},         {"F", 70},        {"G", 71},          {"H", 72},
    {"Home", 36},        {"I", 73},        {"Ins", 45},        {"Insert", 45},
    {"J", 74},           {"K", 75},        {"Left", 37},       {"L", 76},
    {"Minus", 109},      {"M", 77},        {"MouseCenter", 3}, {"MouseCenter2", 7},
    {"Mouse", 1},        {"MouseLeft", 1}, {"MouseLeft2", 5},  {"MouseRight", 2},
    {"MouseRight2", 6},  {"N", 78},        {"O", 79},          {"Pause", 19},
    {"PgDn", 34},        {"PgUp", 33},     {"P", 80},          {"Plus", 107},
    {"Print", 44},       {"Q", 81},        {"Right", 39},      {"R", 82},
    {"S", 83},           {"Slash", 111},   {"Space", 32},      {"Tab", 9},
    {"T", 84},           {"U", 85},        {"Up", 38},         {"V", 86},
    {"W", 87},           {"X", 88},        {"Y", 89},          {"Z", 90},
    {"0", 48},           {"1", 49},        {"2", 50},          {"3", 51},
    {"4", 52},           {"5", 53},        {"6", 54},          {"7", 55},
    {"8", 56},           {"9", 57},        {"Pad0", 96},       {"Pad1", 97},
    {"Pad2", 98},        {"Pad3", 99},     {"Pad4", 100},      {"Pad5", 101},
    {"Pad6", 102},       {"Pad7", 103},    {"Pad8", 104},      {"Pad9", 105},
    {"LWin", 91},        {"RWin", 92},     {"LShift", 160},    {"RShift", 161},
    {"LCtrl", 162},      {"RCtrl", 163},   {"LAlt", 164},      {"RAlt", 165},
    {"PrintScreen", 44}, {"Print", 42},    {"Shift", 16},      {"Ctrl", 17},
    {"Alt", 18},
}};

}  // namespace

std::span<const PressKeyName> PressKeyTable() { return kNames; }

PRESSKEYCLASS::PRESSKEYCLASS(std::unique_ptr<platform::KeyboardOutput> keyboard,
                             std::unique_ptr<platform::MousePointer> mouse)
    : keyboard_(std::move(keyboard)), mouse_(std::move(mouse)) {}

void PRESSKEYCLASS::INIT(std::string_view delimiters) {
  const std::string_view clipped = ClipView(delimiters);
  delimited_ = !clipped.empty();
  DELIMITERLEFT = delimited_ ? clipped[0] : ' ';
  DELIMITERRIGHT = clipped.size() > 1 ? clipped[1] : DELIMITERLEFT;
  KEYQ.Free();
  TRNQ.Free();
  ADDTRN(kNames);
}

void PRESSKEYCLASS::KILL() {
  KEYQ.Free();
  TRNQ.Free();
}

void PRESSKEYCLASS::ADDTRN(std::span<const PressKeyName> names) {
  for (const PressKeyName& entry : names) {
    TRNQ.buffer.ID = entry.code;
    TRNQ.buffer.KEY = entry.name;
    TRNQ.Add();
  }
}

platform::KeyboardOutput& PRESSKEYCLASS::Keyboard() {
  if (!keyboard_) keyboard_ = platform::MakeX11KeyboardOutput();
  return *keyboard_;
}

void PRESSKEYCLASS::GETMOUSEPOS(long& x, long& y) {
  if (!mouse_) mouse_ = platform::MakeX11MousePointer();
  mouse_->Position(x, y);
}

void PRESSKEYCLASS::SETMOUSEPOS(long x, long y) {
  if (!mouse_) mouse_ = platform::MakeX11MousePointer();
  mouse_->MoveTo(x, y);
}

long PRESSKEYCLASS::TRNKEYNAME(std::string_view name) const {
  // Each prefix adds its modifier and the rest is read again; a loop in place of recursion, so
  // that a long run of prefixes cannot exhaust a small thread stack.
  std::string rest = UPPER(name);
  long modifiers = 0;
  for (;;) {
    if (rest.empty()) return modifiers;
    const char first = rest.front();
    if (first == '+' || first == '^' || first == '%' || first == '*') {
      modifiers |= first == '+'   ? platform::kKeyShift
                   : first == '^' ? platform::kKeyCtrl
                   : first == '%' ? platform::kKeyAlt
                                  : platform::kKeyWin;
      rest.erase(0, 1);
      continue;
    }
    if (first == '-') {
      rest.erase(0, 1);
      continue;
    }
    const std::string word = rest.substr(0, 3);
    const struct {
      const char* word;
      std::size_t length;
      long bit;
    } words[] = {{"SHI", 5, platform::kKeyShift},
                 {"CTR", 4, platform::kKeyCtrl},
                 {"ALT", 3, platform::kKeyAlt},
                 {"WIN", 3, platform::kKeyWin}};
    bool taken = false;
    for (const auto& w : words) {
      if (word == w.word) {
        modifiers |= w.bit;
        rest.erase(0, std::min(w.length, rest.size()));
        taken = true;
        break;
      }
    }
    if (!taken) break;
  }
  if (const std::size_t at = rest.find("KEY"); at != std::string::npos) rest.erase(at, 3);
  for (long at = TRNQ.Records(); at >= 1; --at) {
    const TRN_RECORD& entry = TRNQ[at];
    if (UPPER(entry.KEY) == rest) return modifiers | entry.ID;
  }
  return 0;
}

std::string PRESSKEYCLASS::TRNVIRTKEY(unsigned long code) const {
  std::string out;
  if ((code & platform::kKeyShift) != 0) out += "Shift-";
  if ((code & platform::kKeyAlt) != 0) out += "Alt-";
  if ((code & platform::kKeyCtrl) != 0) out += "Ctrl-";
  if ((code & platform::kKeyWin) != 0) out += "Win-";
  for (long at = TRNQ.Records(); at >= 1; --at) {
    if (TRNQ[at].ID == (code & 0xFF)) return out + std::string(TRNQ[at].KEY);
  }
  return out;
}

void PRESSKEYCLASS::ZQPRESSKEY(unsigned long code) {
  platform::PressKeyCode(Keyboard(), static_cast<long>(code));
}

void PRESSKEYCLASS::Pause() {
  if (DELAY == 0) return;
  YIELD();
  SleepFor(std::chrono::milliseconds(DELAY * 10));
}

void PRESSKEYCLASS::ZQPRESS(std::string_view text) {
  if (!ClipView(text).empty()) Type(text);
}

void PRESSKEYCLASS::Type(std::string_view text) {
  platform::KeyboardOutput& keyboard = Keyboard();
  const bool caps_lock = keyboard.CapsLockOn();
  if (caps_lock) ZQPRESSKEY(platform::kCapsLockKey);
  for (std::size_t at = 0; at < text.size();) {
    const char32_t c = platform::NextUtf8Character(text, at);
    if (const long code = keyboard.CharacterKey(c); code > 0)
      ZQPRESSKEY(static_cast<unsigned long>(code));
    Pause();
  }
  if (caps_lock) ZQPRESSKEY(platform::kCapsLockKey);
}

void PRESSKEYCLASS::PRESSEX(std::string_view text) {
  std::string work(text.substr(0, std::min(text.size(), kWorkingText)));
  if (!delimited_ || work.find(DELIMITERLEFT) == std::string::npos) {
    ZQPRESS(work);
    return;
  }
  while (!ClipView(work).empty()) {
    const std::size_t p = work.find(DELIMITERLEFT);
    if (p == std::string::npos) break;
    if (p > 0) {
      Type(work.substr(0, p));  // blanks before a key name are typed too
      work.erase(0, p);
      Pause();
      continue;
    }
    if (work.size() > 1 && work[1] == DELIMITERLEFT) {
      Type(std::string(1, DELIMITERLEFT));
      work.erase(0, 2);
      continue;
    }
    if (const std::size_t close = work.find(DELIMITERRIGHT, 1); close != std::string::npos) {
      const std::string name = work.substr(1, std::min(close - 1, kLongestName));
      if (!ClipView(name).empty()) {
        if (const long code = TRNKEYNAME(name); code != 0) {
          ZQPRESSKEY(static_cast<unsigned long>(code));
          work.erase(0, close + 1);
          continue;
        }
      }
    }
    // No closing delimiter, or no key of that name: the delimiter is only a character.
    Type(std::string(1, DELIMITERLEFT));
    work.erase(0, 1);
    Pause();
  }
  ZQPRESS(ClipView(work));
}

void PRESSKEYCLASS::KEYTOQ(std::string_view name) {
  KEYQ.buffer.ID = TRNKEYNAME(name);
  KEYQ.buffer.KEY = name;
  KEYQ.Add();
}

void PRESSKEYCLASS::STRINGTOQ(std::string_view text) {
  KEYQ.Free();
  platform::KeyboardOutput& keyboard = Keyboard();
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t from = at;
    const char32_t c = platform::NextUtf8Character(text, at);
    KEYQ.buffer.ID = keyboard.CharacterKey(c);
    KEYQ.buffer.KEY = text.substr(from, at - from);
    KEYQ.Add();
  }
}

void PRESSKEYCLASS::PRESSQ() {
  const bool caps_lock = Keyboard().CapsLockOn();
  if (caps_lock) ZQPRESSKEY(platform::kCapsLockKey);
  for (const KEY_RECORD& key : KEYQ) {
    if (key.ID > 0) ZQPRESSKEY(static_cast<unsigned long>(key.ID));
  }
  if (caps_lock) ZQPRESSKEY(platform::kCapsLockKey);
}

}  // namespace vx
