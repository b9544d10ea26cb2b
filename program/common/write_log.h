// The event log: one fixed-column line (date, time, label, text) per event in the ASCII file
// of table VX_LOG, written while logging is on (GLO_USELOG).
#pragma once

#include <string_view>

namespace vx {

// Appends one line: the date (FormatDate of today; @D3 when that is longer than 12), the time
// (@T7), the label (32) and the text (128; longer texts are cut). The file is opened by the
// first line, created when missing, and closed after every 101 lines of a thread. Lines of
// several threads never mix. A log that cannot be written is reported once (again only after a
// line has been written since) and the caller goes on: logging never stops the program.
void WriteLog(std::string_view text, std::string_view label);

// Closes the log where this thread holds it open, so that the next line opens it by name again.
// Called before work on files that may include the log itself: a log that was moved or deleted
// meanwhile is then created afresh instead of failing to take the next line.
void CloseEventLog();

}  // namespace vx
