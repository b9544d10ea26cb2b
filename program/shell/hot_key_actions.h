// What Main does with the desktop's hot keys: the keys it holds, and what a pressed one does
// (the stored hot keys of SYSHOTKEYS type or copy their text or run their task; Windows key + W
// brings the frame back).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class SYSHOTKEYCLASS;

// What a pressed key needs from the frame.
struct HotKeyFrame {
  std::function<void()> restore_frame;  // Windows key + W
  std::function<void()> reload_keys;    // after a key the table no longer knows
  // Types a hot key's text (paste: the text is on the clipboard, press Ctrl+V).
  std::function<void(std::string_view text, bool paste)> type_text;
};

// Lets go of every key `keys` holds, then holds "WinW" and the key of every active SYSHOTKEYS
// record.
void LoadHotKeys(SYSHOTKEYCLASS& keys);
// The texts of the keys the desktop refused in the last registration ("Ctrl-Alt-F5"): another
// program holds them, or the keyboard has no such key.
std::vector<std::string> RefusedHotKeys(const SYSHOTKEYCLASS& keys);
// The message that names refused keys, one line each.
std::string RefusedHotKeysMessage(const std::vector<std::string>& names);

// Takes the first pressed key off `keys` and does what it stands for.
void TakeHotKeyPress(SYSHOTKEYCLASS& keys, const HotKeyFrame& frame);

// Replaces every `find` in `text` by `replacement`, scanning from the end, so a replacement is
// never scanned again; the result is cut to `size` bytes.
std::string ReplaceAll(std::string_view text, std::size_t size, std::string_view find,
                       std::string_view replacement, bool ignore_case);

}  // namespace vx
