// libFuzzer entry for the script text form: any text splits into lines that read into steps,
// every step is written as a line, and a written line reads back to a step that is written the
// same way again; never a crash, a sanitizer finding or a hang.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "program/script_engine/read_script_line.h"
#include "program/script_engine/write_script_text.h"
#include "runtime/text_functions.h"

namespace {

// A field value the text form cannot hold as it is: it has a double quote (there is no escape
// for one), leading blanks (arguments are trimmed) or a line break.
bool Unwritable(std::string_view value) {
  return value.find_first_of("\"\r\n") != std::string_view::npos ||
         (!value.empty() && value.front() == ' ');
}

// Start options are looked for anywhere in a START line, so a program or folder holding one
// reads back as that option.
bool HoldsStartOption(const vx::SCRIPTING_RECORD& s) {
  if (s.Action != "Start Program") return false;
  for (std::string_view v : {s.Command.clipped(), s.Path.clipped()}) {
    const std::string upper = vx::UPPER(v);
    for (std::string_view option : {"WAIT=", "PRIORITY=", "MODE=", "ACTION=", "/TRANSLATE"}) {
      if (upper.find(option) != std::string::npos) return true;
    }
  }
  return false;
}

bool HasUnwritableField(const vx::SCRIPTING_RECORD& s) {
  if (HoldsStartOption(s)) return true;
  for (std::string_view v :
       {s.Keystrokes.clipped(), s.WaitForWindow.clipped(), s.FocusOnWindow.clipped(),
        s.WindowTitleToCheckFor.clipped(), s.Command.clipped(), s.Path.clipped(),
        s.DDEApplicationName.clipped(), s.DDEApplicationTopic.clipped(), s.DDECommand.clipped()}) {
    if (Unwritable(v)) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<vx::SCRIPTING_RECORD> steps;
  for (std::string_view line : vx::SplitScriptLines(text)) {
    if (line.size() > vx::kScriptLineLimit) std::abort();
    const vx::ScriptTextLine read = vx::ReadScriptLine(line);
    if (read.blank) continue;
    steps.push_back(read.step);
    const std::optional<std::string> written = vx::ScriptStepLine(read.step);
    // Every known keyword is written; an unknown one only when its action happens to begin with
    // "Wait", which the writer takes for a wait.
    if (!read.unknown && !written) std::abort();
    if (read.unknown || !written || HasUnwritableField(read.step)) continue;
    // What the writer writes reads back to a step that the writer writes the same way.
    const std::optional<std::string> again = vx::ScriptStepLine(vx::ReadScriptLine(*written).step);
    if (again != written) std::abort();
  }
  (void)vx::ScriptStepsText(steps);
  return 0;
}
