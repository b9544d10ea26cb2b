// Hand-over of a task message to the external message program: the text goes into a new MSGLINK
// record and the program is started with that record's id on its command line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// Adds a MSGLINK record (MSGLINK must be open on this thread) with the next id, the title, the
// text and the alarm file, category blank, through the calling thread's ML buffer. Returns 0 and
// the new id, or the file error of the add.
int AddMessageLink(std::string_view title, std::string_view message, std::string_view alarm_file,
                   std::int32_t& id);

// "VXMsg.EXE ID=" followed by the id in plain digits.
std::string MessageProgramCommandLine(std::int32_t id);

}  // namespace vx
