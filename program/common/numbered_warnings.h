// The program's numbered standard warnings (1 to 38): file, record, range and request errors
// shown with a fixed caption, text and buttons, some of which end the program.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// A pending error that the next warning shows in place of the calling thread's last file
// error, then forgets. The driver slot is for code 90: the driver's own text and code.
void SetPendingError(std::string_view text, long code);
void SetPendingDriverError(std::string_view text, long code);

// The error as a warning shows it: the text clipped, " (", the code, ")". A pending error is
// used (and cleared) first; code 90 shows the driver's text and code.
std::string WarningErrorText();

// Shows warning `number` with its texts: text1 names a file, procedure, field or key, text2 is
// a value or an operation (warnings 29 and 31 choose their wording by it). Returns the button
// pressed (BUTTON_YES ...). Warnings about a record error whose text names no file (7, 14,
// 15, 16, 18, 25, 36) get "  File: " and the file after their text: text1, else (and for 15,
// whose text1 is the probable cause) the file of the error shown, by its path on disk. A
// warning that ends the program halts through the error object
// after it is shown (warning 2 only when the answer is No). An unknown number shows nothing
// and returns 0.
unsigned ShowNumberedWarning(int number, std::string_view text1 = {}, std::string_view text2 = {});
unsigned ShowNamedWarning(int number, std::string_view text);
unsigned ShowPlainWarning(int number);

}  // namespace vx
