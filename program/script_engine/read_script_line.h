// Reading the script text form: splitting a text into lines and turning one line into the
// script step it describes. Pure: no tables, no messages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "datadll/dictionary/scripting_table.h"
#include "program/script_engine/script_text_tokens.h"

namespace vx {

// The longest line the text form reads; the rest of a longer line is dropped.
inline constexpr std::size_t kScriptLineLimit = 1024;

// The lines of a text, each without its leading blanks and cut at kScriptLineLimit. A line ends
// at CR, at CR LF or at a bare LF, so text from any system reads line by line. Blank lines
// count: they keep their place in the numbering.
std::vector<std::string_view> SplitScriptLines(std::string_view text);

// One line read.
struct ScriptTextLine {
  bool blank = false;     // no keyword: the line adds no step
  bool unknown = false;   // the keyword names no action; the step holds only the keyword
  std::string keyword;    // as typed
  std::string arguments;  // the rest of the line after the keyword's blank
  SCRIPTING_RECORD step;  // the action and its fields; ID and Sequence are left 0
};

ScriptTextLine ReadScriptLine(std::string_view line);

// The WAIT line's arguments into step's mode, seconds, window title and window contents.
void ReadWaitArguments(const ScriptArguments& args, SCRIPTING_RECORD& step);

}  // namespace vx
