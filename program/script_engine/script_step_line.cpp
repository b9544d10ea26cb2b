#include <algorithm>
#include <vector>

#include "program/script_engine/read_script_line.h"
#include "program/script_engine/script_step_wording.h"
#include "program/script_engine/script_text_tokens.h"
#include "program/script_engine/write_script_text.h"

namespace vx {
namespace {

using Args = std::vector<std::optional<std::string>>;

constexpr int kIndentStep = 3;
constexpr int kMostIndent = 24;

std::string Line(Args args) { return RemoveTrailingEmptyArguments(JoinArguments(args)); }

std::string Text(std::string_view field) { return std::string(ClipView(field)); }

// The one-character start option at position n (from 0) read as a number.
int OptionDigit(const SCRIPTING_RECORD& step, std::size_t n) {
  const std::string_view options = step.DDEApplicationName.view();
  return ReadWholeNumber(options.substr(n, 1));
}

std::string StartLine(const SCRIPTING_RECORD& step) {
  std::string line =
      JoinArguments(Args{"START", Text(step.Command.view()), Text(step.Path.view())});
  if (OptionDigit(step, 0) > 0) line += " WAIT=" + std::to_string(step.TimeElapsed);
  if (const int priority = OptionDigit(step, 1); priority > 0 && priority != 2)
    line += " PRIORITY=" + std::to_string(priority);
  if (const int mode = OptionDigit(step, 2); mode > 1) line += " MODE=" + std::to_string(mode);
  const std::string verb = Text(step.DDEApplicationTopic.view());
  if (!verb.empty() && verb.find(' ') == std::string::npos) line += " ACTION=" + verb;
  if (OptionDigit(step, 3) > 0) line += " /TRANSLATE";
  return RemoveTrailingEmptyArguments(line);
}

std::string FileLine(const SCRIPTING_RECORD& step) {
  const std::string verb = Text(step.DDEType.view());
  const std::string_view topic = step.DDEApplicationTopic.view();
  Args args{"FILE", verb, Text(step.Command.view())};
  if (verb == "Delete" || verb == "Recycle") return Line(args);
  args.push_back(Text(step.Path.view()));
  if (verb == "FTP Upload" || verb == "FTP Download") {
    args.push_back(Text(step.DDEApplicationName.view()));
    args.push_back(Text(topic.substr(0, 128)));
    args.push_back(Text(topic.substr(128)));
  } else if (verb == "HTTP Download") {
    args.push_back(Text(step.DDEApplicationName.view()));
  }
  return Line(args);
}

// The wait as its shortest form when that reads back to the same mode, seconds, window title
// and contents; otherwise with the mode in front, written as "" when it is empty (a wait with
// seconds and a title but no mode, or a title that would read as a number or a mode word).
std::string WaitLine(const SCRIPTING_RECORD& step) {
  const std::string mode = Text(step.DDEApplicationName.view());
  const std::string seconds = std::to_string(step.SecondsToWait);
  const std::string title = Text(step.WaitForWindow.view());
  const std::string contents = Text(step.FocusOnWindow.view());
  Args shortest{"WAIT"};
  if (title.empty()) {
    if (step.SecondsToWait != 0) shortest.push_back(seconds);
  } else if (step.SecondsToWait > 0) {
    shortest.insert(shortest.end(), {mode, seconds, title, contents});
  } else {
    shortest.insert(shortest.end(), {title, contents});
  }
  const std::string line = Line(shortest);
  SCRIPTING_RECORD back;
  ReadWaitArguments(TokeniseArguments(std::string_view(line).substr(4)), back);
  if (back.DDEApplicationName == mode && back.SecondsToWait == step.SecondsToWait &&
      back.WaitForWindow == title && back.FocusOnWindow == contents) {
    return line;
  }
  return Line(Args{"WAIT", IsWaitModeWord(mode) ? mode : std::string(), seconds, title, contents});
}

}  // namespace

std::optional<std::string> ScriptStepLine(const SCRIPTING_RECORD& s) {
  const std::string_view action = s.Action.clipped();
  if (action == "Display Message") {
    Args args{"DISPLAY", Text(s.DDEApplicationName.view()), Text(s.DDEApplicationTopic.view()),
              Text(s.FocusOnWindow.view())};
    if (s.SecondsToWait == 0) args.push_back("/MODAL");
    return Line(args);
  }
  if (action == "Exit Script") return "EXIT";
  if (action == "Close Program") return Line({"CLOSE", Text(s.Command.view())});
  if (action == "Start Program") return StartLine(s);
  if (action == "Send Keystrokes" || action == "Send Keys")
    return Line({"KEYS", Text(s.Keystrokes.view())});
  if (action == "DDE (Dynamic Data Exchange)" || action == "DDE") {
    return Line({"DDE", Text(s.DDEApplicationName.view()), Text(s.DDEApplicationTopic.view()),
                 Text(s.DDECommand.view())});
  }
  if (action == "Set Focus")
    return Line({"FOCUS", Text(s.FocusOnWindow.view()), Text(s.WaitForWindow.view())});
  if (action == "File Actions") return FileLine(s);
  if (action == "Send Email") return Line({"EMAIL", std::to_string(s.EmailID)});
  if (action == "Set Value") return Line({"SET", Text(s.Path.view()), Text(s.Command.view())});
  if (action == "If Value...") {
    return Line({"IF", Text(s.Command.view()), Text(s.WindowTitleToCheckFor.view()),
                 Text(s.WaitForWindow.view())});
  }
  if (action == "Start Script")
    return Line({"SCRIPT", Text(s.Command.view()), Text(s.Path.view())});
  if (action.starts_with("Wait")) return WaitLine(s);
  if (action == "If Window...") {
    const bool exists = ContainsNoCase(s.WindowExistance.view(), "EXISTS");
    return Line({exists ? "IFWINDOW" : "IFNOTWINDOW", Text(s.WindowTitleToCheckFor.view()),
                 Text(s.FocusOnWindow.view())});
  }
  if (action == "If Time Elapsed...") {
    const bool less = ContainsNoCase(s.IfTimeElapsed.view(), "LESS");
    return Line({less ? "IFTIMELESS" : "IFTIME", std::to_string(s.TimeElapsed)});
  }
  if (action == "...End If") return "END";
  if (action == "Comment") return Line({"COMMENT", Text(s.Command.view())});
  return std::nullopt;
}

std::string ScriptStepsText(std::span<const SCRIPTING_RECORD> steps) {
  std::string text;
  int indent = 0;
  for (const SCRIPTING_RECORD& step : steps) {
    const std::optional<std::string> line = ScriptStepLine(step);
    if (!line) continue;
    const std::string_view action = step.Action.clipped();
    if (action == "...End If") indent = std::max(0, indent - kIndentStep);
    text.append(static_cast<std::size_t>(std::min(indent, kMostIndent)), ' ');
    text += *line;
    text += "\r\n";
    if (action == "If Value..." || action == "If Window..." || action == "If Time Elapsed...")
      indent += kIndentStep;
  }
  return text;
}

}  // namespace vx
