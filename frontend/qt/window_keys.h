// The keys a Qt window hands to its model rather than to the control that has the focus. The
// model names, per control, the key codes it alerts on (its Alert property, codes joined by
// '|'); a key reaches the model only as such a code. A list alerts Enter, Shift+Enter,
// Ctrl+Enter and Ctrl+Alt+Enter (a browse presses its default or View button), Insert, Delete and
// the arrow and page keys (a list that edits its rows) and keys with Ctrl or Alt (the list
// extension's and the list properties' keys); a form field alerts Ctrl+' (its history key); any
// control may alert Print Screen and Alt+Print Screen wherever the focus is (a graph copies its
// picture). Enter and Esc that no control took go to the model always: it turns them into the
// default or cancel button, or a close. These functions only read keys; the window posts what they
// answer.
#pragma once

#include <string>

class QKeyEvent;

namespace vx::qt {

// Whether `alerts`, a control's Alert property, names `code`.
bool Alerts(const std::string& alerts, int code);

// The code a key on a list reaches the model as, when the list alerts it; 0 for other keys.
int ListKeyCode(const QKeyEvent& key);

// The code a key on a form field reaches the model as, when the field alerts it; 0 otherwise.
int FieldKeyCode(const QKeyEvent& key);

// The code of a key that edits an entry, as an immediate entry reports it with the text it
// left: a letter's capital (with 256 for Shift), a digit, the blank, Backspace (8), Delete (46)
// or another character's own code, with 512 for Ctrl and 1024 for Alt; 0 for other keys.
int TypedKeyCode(const QKeyEvent& key);

// Enter or Esc alone: EnterKey or EscKey, which the model always hears; 0 for other keys.
int EnterOrEscCode(const QKeyEvent& key);

// Print Screen alone or with Alt, which reaches a control that alerts it; 0 for other keys.
int PrintScreenCode(const QKeyEvent& key);

// Alt, or Alt and Shift, with a key that types a character: a hot letter. One that reaches a
// field was answered by no enabled control, and must not be typed into it as its letter.
bool IsHotLetter(const QKeyEvent& key);

}  // namespace vx::qt
