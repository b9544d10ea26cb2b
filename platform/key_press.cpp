#include "platform/key_press.h"

#include <array>

namespace vx::platform {
namespace {

// The modifier keys in the order they go down and up.
struct ModifierKey {
  long bit;
  int virtual_key;
};
constexpr std::array kModifiers = {ModifierKey{kKeyShift, 16}, ModifierKey{kKeyCtrl, 17},
                                   ModifierKey{kKeyAlt, 18}, ModifierKey{kKeyWin, 91}};

}  // namespace

void PressKeyCode(KeyboardOutput& keyboard, long code) {
  const unsigned key = static_cast<unsigned>(code & 0xFF);
  PressModifiers(keyboard, code, false);
  if (key != 0) {
    keyboard.Key(key, true);
    keyboard.Key(key, false);
  }
  PressModifiers(keyboard, code, true);
}

void PressModifiers(KeyboardOutput& keyboard, long code, bool release) {
  for (const ModifierKey& m : kModifiers) {
    if ((code & m.bit) != 0) keyboard.Key(static_cast<unsigned>(m.virtual_key), !release);
  }
}

char32_t NextUtf8Character(std::string_view text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  int extra = 0;
  char32_t c = lead;
  if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, c = lead & 0x07;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, c = lead & 0x0F;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, c = lead & 0x1F;
  } else if (lead >= 0x80) {
    ++at;
    return 0xFFFD;
  }
  if (at + static_cast<std::size_t>(extra) >= text.size()) {  // cut short at the end
    ++at;
    return 0xFFFD;
  }
  for (int i = 1; i <= extra; ++i) {
    const unsigned char next = byte(at + static_cast<std::size_t>(i));
    if ((next & 0xC0) != 0x80) {
      ++at;
      return 0xFFFD;
    }
    c = (c << 6) | (next & 0x3F);
  }
  // An overlong form, a surrogate or a code point beyond U+10FFFF is not a character.
  constexpr char32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
  if (c < kShortest[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
    ++at;
    return 0xFFFD;
  }
  at += static_cast<std::size_t>(extra) + 1;
  return c;
}

}  // namespace vx::platform
