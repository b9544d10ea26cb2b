#include "datadll/utility/sys_hot_key_class.h"

#include <algorithm>
#include <cctype>

#include "datadll/utility/hot_key_names.h"

namespace vx {
namespace {

// The object whose window procedure handles hot-key messages: the last one initialised.
SYSHOTKEYCLASS* gProcessHotKeys = nullptr;

void Append(Queue<HotKeyEntry>& queue, const HotKeyEntry& entry) {
  queue.buffer = entry;
  queue.Add();
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

SYSHOTKEYCLASS::~SYSHOTKEYCLASS() {
  // Stop the listener before the members it reaches go away.
  grabber_.reset();
  self_.reset();
  if (gProcessHotKeys == this) gProcessHotKeys = nullptr;
}

void SYSHOTKEYCLASS::INIT() { INIT(CurrentWindowLink(), platform::OpenSystemHotKeyGrabber()); }

void SYSHOTKEYCLASS::INIT(WindowLink window, std::unique_ptr<platform::HotKeyGrabber> grabber) {
  RegisteredKeys.Free();
  FailedKeys.Free();
  KeyNames.Free();
  PressedKeys.Free();
  ADDTRN(BuiltInKeyBlock());
  window_ = std::move(window);
  self_ = std::make_shared<SYSHOTKEYCLASS*>(this);
  grabber_ = std::move(grabber);
  if (grabber_) {
    // Presses arrive on the grabber's thread; the window handles them as its own message.
    std::weak_ptr<SYSHOTKEYCLASS*> weak = self_;
    WindowLink link = window_;
    grabber_->SetPressHandler([weak, link](int id, unsigned modifiers, unsigned virtual_key) {
      const auto param = static_cast<std::int32_t>((virtual_key << 16) | (modifiers & 0xFFFF));
      link.Deliver([weak, id, param] {
        if (auto self = weak.lock()) (*self)->HotKeyMessage(id, param);
      });
    });
  }
  gProcessHotKeys = this;
}

void SYSHOTKEYCLASS::ADDTRN(std::span<const std::uint8_t> block) {
  if (block.size() < 2) return;
  const unsigned count = block[0] | (block[1] << 8);
  std::size_t at = 2;
  // A block cut short ends the table where it is cut.
  for (unsigned i = 0; i < count && at < block.size(); ++i) {
    const std::size_t length = block[at++];
    if (at + length + 1 > block.size()) break;
    KeyNames.buffer.name.assign(reinterpret_cast<const char*>(block.data() + at), length);
    KeyNames.buffer.code = block[at + length];
    at += length + 1;
    KeyNames.Add();
  }
}

std::int32_t SYSHOTKEYCLASS::TRNKEYNAME(std::string_view text) const {
  const std::string upper = Upper(text);
  std::string_view rest = upper;
  std::int32_t modifiers = 0;
  auto drop = [&rest](std::size_t n) { rest.remove_prefix(std::min(n, rest.size())); };
  // Modifier prefixes, one at a time, until what is left is a key name.
  while (!rest.empty()) {
    const char first = rest.front();
    if (first == '+') {
      modifiers |= kKeyShift;
      drop(1);
      continue;
    }
    if (first == '^') {
      modifiers |= kKeyCtrl;
      drop(1);
      continue;
    }
    if (first == '%') {
      modifiers |= kKeyAlt;
      drop(1);
      continue;
    }
    if (first == '*') {
      modifiers |= kKeyWin;
      drop(1);
      continue;
    }
    if (first == '-') {
      drop(1);
      continue;
    }
    const std::string_view three = rest.substr(0, 3);
    if (three == "SHI") {
      modifiers |= kKeyShift;
      drop(5);
      continue;
    }
    if (three == "CTR") {
      modifiers |= kKeyCtrl;
      drop(4);
      continue;
    }
    if (three == "ALT") {
      modifiers |= kKeyAlt;
      drop(3);
      continue;
    }
    if (three == "WIN") {
      modifiers |= kKeyWin;
      drop(3);
      continue;
    }
    break;
  }
  std::string name(ClipView(rest));
  if (const auto key = name.find("KEY"); key != std::string::npos) name.erase(key, 3);
  for (long i = KeyNames.Records(); i >= 1; --i) {
    if (Upper(KeyNames[i].name) == name) return modifiers | KeyNames[i].code;
  }
  return modifiers;
}

String<32> SYSHOTKEYCLASS::TRNVIRTKEY(std::uint32_t code) const {
  std::string text;
  for (long i = KeyNames.Records(); i >= 1; --i) {
    if (KeyNames[i].code == (code & 0xFF)) {
      text = KeyNames[i].name;
      break;
    }
  }
  if (code & kKeyWin) text = "Win-" + text;
  if (code & kKeyCtrl) text = "Ctrl-" + text;
  if (code & kKeyAlt) text = "Alt-" + text;
  if (code & kKeyShift) text = "Shift-" + text;
  return String<32>(text);
}

void SYSHOTKEYCLASS::ADDKEY(std::string_view text) {
  const std::int32_t code = TRNKEYNAME(text);
  if (code == 0) {
    TAKEINVALIDKEY(text);
    return;
  }
  UNREGISTERHOTKEYS();
  if (RegisteredKeys.GetWhere([code](const HotKeyEntry& e) { return e.code == code; }) != 0) {
    RegisteredKeys.buffer.code = code;
    RegisteredKeys.buffer.text = text;
    RegisteredKeys.AddBy(&HotKeyEntry::code);
  }
  REGISTERHOTKEYS();
}

void SYSHOTKEYCLASS::REMOVEKEY(std::string_view text) {
  const std::int32_t code = TRNKEYNAME(text);
  if (code == 0) {
    TAKEINVALIDKEY(text);
    return;
  }
  UNREGISTERHOTKEYS();
  if (RegisteredKeys.GetWhere([code](const HotKeyEntry& e) { return e.code == code; }) == 0)
    RegisteredKeys.Delete();
  REGISTERHOTKEYS();
}

void SYSHOTKEYCLASS::ACTIVATE() {
  active = 1;
  REGISTERHOTKEYS();
}

void SYSHOTKEYCLASS::UNACTIVATE() {
  UNREGISTERHOTKEYS();
  active = 0;
}

void SYSHOTKEYCLASS::REGISTERHOTKEYS() {
  if (RegisteredKeys.Records() == 0 || active != 1) return;
  FailedKeys.Free();
  for (long i = 1; i <= RegisteredKeys.Records(); ++i) {
    const HotKeyEntry& key = RegisteredKeys[i];
    const unsigned modifiers = static_cast<unsigned>(key.code & 0xFF00) / 256;
    const unsigned virtual_key = static_cast<unsigned>(key.code & 0xFF);
    if (!grabber_ || !grabber_->Grab(static_cast<int>(i), modifiers, virtual_key))
      Append(FailedKeys, key);
  }
  registered = 1;
}

void SYSHOTKEYCLASS::UNREGISTERHOTKEYS() {
  if (RegisteredKeys.Records() == 0 || active != 1) return;
  FailedKeys.Free();
  for (long i = 1; i <= RegisteredKeys.Records(); ++i) {
    if (!grabber_ || !grabber_->Ungrab(static_cast<int>(i))) Append(FailedKeys, RegisteredKeys[i]);
  }
  registered = 0;
}

void SYSHOTKEYCLASS::TAKEKEY(std::int32_t, std::string_view) {}

void SYSHOTKEYCLASS::TAKEINVALIDKEY(std::string_view) {}

void SYSHOTKEYCLASS::HotKeyMessage(std::int32_t id, std::int32_t param) {
  SYSHOTKEYCLASS* owner = gProcessHotKeys;
  if (!owner) return;
  HotKeyEntry pressed;
  if (id >= 1 && id <= owner->RegisteredKeys.Records()) {
    pressed = owner->RegisteredKeys[id];
  } else {
    pressed.code = 0;
    pressed.text = std::to_string(param);
  }
  Append(owner->PressedKeys, pressed);
  owner->TAKEKEY(id, pressed.text.clipped());
  window_.Post(EVENT_HotKeyPressed);
}

void SYSHOTKEYCLASS::KILL() {
  UNACTIVATE();
  grabber_.reset();
  self_.reset();
  RegisteredKeys.Free();
  FailedKeys.Free();
  KeyNames.Free();
  PressedKeys.Free();
  if (gProcessHotKeys == this) gProcessHotKeys = nullptr;
}

}  // namespace vx
