// The clipboard recorder of Main's tick: each new clipboard text becomes a CLIPBOARD entry,
// filed under the title of the window in front, with the table kept near its size limit.
#pragma once

#include <string_view>

namespace vx {

// Stores the clipboard text when it differs from the text in the calling thread's CLIPBOARD
// buffer and is not blank: trims the table first, then adds the text (cut to 8192 bytes) with
// today, now, the text's digest as its key and the front window's title (or "General") as its
// category. A text stored already (the same text, byte for byte) is dropped silently. The buffer is
// left holding the clipboard text, so the next tick finds nothing new. Reads the window
// model's copy of the clipboard and never waits for the front end. The front window is the one
// installed as clipboard_front (common/program_services.h), else the X11 desktop's.
void CaptureClipboard();

// Deletes the oldest entries not marked to keep until MAXCLIPBOARDENTRIES remain (0 or less:
// no limit), passing over an entry that holds `current` (the text about to be stored).
void TrimClipboardEntries(std::string_view current);

// The key of a text: the SHA-256 digest of the whole text without its trailing blanks, as 64
// hexadecimal digits, so that only identical texts share a key (two notes that differ in a
// telephone number or an amount are both kept).
std::string ClipboardHashKey(std::string_view text);

}  // namespace vx
