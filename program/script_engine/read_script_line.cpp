#include "program/script_engine/read_script_line.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "program/script_engine/script_step_fields.h"
#include "program/script_engine/script_step_wording.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A whole number as the writer writes seconds: digits with an optional minus sign.
bool WholeNumberText(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  return AllDigits(text);
}

bool ReadsModal(std::string_view arg) { return UPPER(arg) == "/MODAL"; }

void ReadDisplay(const ScriptArguments& args, std::string_view, SCRIPTING_RECORD& step) {
  step.DDEApplicationName = args.GetArgument(1);
  // The switch counts wherever it stands after the message, alone or inside another argument.
  // The message itself is left out: a message that mentions "/modal" must read back as the
  // writer wrote it.
  bool modal = false;
  for (std::size_t n = 2; n <= args.Count(); ++n) {
    modal = modal || UPPER(args.GetArgument(n)).find("/MODAL") != std::string::npos;
  }
  step.SecondsToWait = modal ? 0 : 1;
  const std::string title = args.GetArgument(2);
  const std::string button = args.GetArgument(3);
  step.DDEApplicationTopic = ReadsModal(title) ? std::string() : title;
  step.FocusOnWindow = ReadsModal(button) ? std::string() : button;
}

// An argument that is a start option: a line that leaves out the start-in folder has its first
// option where the folder would stand.
bool IsStartOption(std::string_view arg) {
  const std::string upper = UPPER(arg);
  return upper.starts_with("WAIT=") || upper.starts_with("PRIORITY=") ||
         upper.starts_with("MODE=") || upper.starts_with("ACTION=") || upper == "/TRANSLATE";
}

// Start options are looked for anywhere in the line, in upper case. The line reads as if padded
// with blanks, so a value at the end of the line is followed by blanks.
void ReadStartOptions(std::string_view line, SCRIPTING_RECORD& step) {
  const std::string upper = UPPER(line) + std::string(8, ' ');
  std::string options(4, ' ');
  auto after = [&](std::string_view option) -> std::size_t {
    const std::size_t at = upper.find(option);
    return at == std::string::npos ? std::string::npos : at + option.size();
  };
  if (const std::size_t at = after("WAIT="); at != std::string::npos) {
    step.TimeElapsed = ReadLeadingNumber(std::string_view(upper).substr(at, 5));
    options[0] = '1';
  }
  if (const std::size_t at = after("PRIORITY="); at != std::string::npos) options[1] = upper[at];
  if (const std::size_t at = after("MODE="); at != std::string::npos) options[2] = upper[at];
  if (const std::size_t at = after("ACTION="); at != std::string::npos) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kVerbs{{
        {"OP", "Open"},
        {"VI", "View"},
        {"PR", "Print"},
        {"PL", "Play"},
        {"EX", "Explore"},
        {"FI", "Find"},
        {"ED", "Edit"},
    }};
    const std::string_view two = std::string_view(upper).substr(at, 2);
    const auto known =
        std::find_if(kVerbs.begin(), kVerbs.end(), [&](const auto& v) { return v.first == two; });
    if (known != kVerbs.end()) {
      step.DDEApplicationTopic = known->second;
    } else {
      const std::string_view seven = std::string_view(upper).substr(at, 7);
      const std::size_t blank = seven.find(' ');
      step.DDEApplicationTopic =
          blank == std::string_view::npos ? std::string_view("") : seven.substr(0, blank);
    }
  }
  if (upper.find("/TRANSLATE") != std::string::npos) options[3] = '1';
  step.DDEApplicationName = options;
}

void ReadFile(const ScriptArguments& args, std::string_view, SCRIPTING_RECORD& step) {
  const std::string action = UPPER(args.GetArgument(1));
  step.DDEType = action;
  NormaliseFileVerb(step);
  step.Command = args.GetArgument(2);
  step.Path = args.GetArgument(3);
  if (action.find("TP") != std::string::npos) {  // FTP and HTTP transfers
    step.DDEApplicationName = args.GetArgument(4);
    // User name in characters 1-128, password in 129-255.
    const String<128> user(args.GetArgument(5));
    step.DDEApplicationTopic = std::string(user.view()) + args.GetArgument(6);
  }
}

void ReadScript(const ScriptArguments& args, std::string_view, SCRIPTING_RECORD& step) {
  step.Command = args.GetArgument(1);
  const std::string mode = args.GetArgument(2);
  step.Path = mode;
  switch (mode.empty() ? ' ' : UPPER(mode.substr(0, 1))[0]) {
    case 'I':
      step.Path = "Insert (Execute and continue)";
      break;
    case 'J':
      step.Path = "Jump to (Execute and skip)";
      break;
    case 'A':
      step.Path = "Append";
      break;
    default:
      break;
  }
}

void ReadStart(const ScriptArguments& args, std::string_view line, SCRIPTING_RECORD& step) {
  step.Command = args.GetArgument(1);
  step.Path = IsStartOption(args.GetArgument(2)) ? std::string() : args.GetArgument(2);
  ReadStartOptions(line, step);
}

void ReadWait(const ScriptArguments& args, std::string_view, SCRIPTING_RECORD& step) {
  ReadWaitArguments(args, step);
}

using S = SCRIPTING_RECORD;

// A keyword's action and how its line fills the step: a fixed word in one field, then the
// arguments in order into the listed fields, or a reader of its own for the whole line.
struct Keyword {
  std::string_view word;
  std::string_view action;
  std::vector<StepField> args;
  std::optional<StepField> fixed_field;
  std::string_view fixed_word;
  void (*read)(const ScriptArguments&, std::string_view line, SCRIPTING_RECORD&) = nullptr;
};

const std::vector<Keyword>& Keywords() {
  static const std::vector<Keyword> keywords{
      {"DISPLAY", "Display Message", {}, {}, {}, ReadDisplay},
      {"EXIT", "Exit Script", {}},
      {"CLOSE", "Close Program", {TextField<&S::Command>()}},
      {"START", "Start Program", {}, {}, {}, ReadStart},
      {"KEYS", "Send Keys", {TextField<&S::Keystrokes>()}},
      {"DDE",
       "DDE (Dynamic Data Exchange)",
       {TextField<&S::DDEApplicationName>(), TextField<&S::DDEApplicationTopic>(),
        TextField<&S::DDECommand>()}},
      {"FOCUS", "Set Focus", {TextField<&S::FocusOnWindow>(), TextField<&S::WaitForWindow>()}},
      {"FILE", "File Actions", {}, {}, {}, ReadFile},
      {"EMAIL", "Send Email", {NumberField<&S::EmailID>()}},
      {"SET", "Set Value", {TextField<&S::Path>(), TextField<&S::Command>()}},
      {"IF",
       "If Value...",
       {TextField<&S::Command>(), TextField<&S::WindowTitleToCheckFor>(),
        TextField<&S::WaitForWindow>()}},
      {"SCRIPT", "Start Script", {}, {}, {}, ReadScript},
      {"WAIT", "Wait", {}, {}, {}, ReadWait},
      {"IFWINDOW",
       "If Window...",
       {TextField<&S::WindowTitleToCheckFor>(), TextField<&S::FocusOnWindow>()},
       TextField<&S::WindowExistance>(),
       "Exists"},
      {"IFNOTWINDOW",
       "If Window...",
       {TextField<&S::WindowTitleToCheckFor>(), TextField<&S::FocusOnWindow>()},
       TextField<&S::WindowExistance>(),
       "Does not exist"},
      {"IFTIME",
       "If Time Elapsed...",
       {NumberField<&S::TimeElapsed>()},
       TextField<&S::IfTimeElapsed>(),
       "Greater than"},
      {"IFTIMELESS",
       "If Time Elapsed...",
       {NumberField<&S::TimeElapsed>()},
       TextField<&S::IfTimeElapsed>(),
       "Less than"},
      {"END", "...End If", {}},
      {"COMMENT", "Comment", {TextField<&S::Command>()}},
      {"!", "Comment", {TextField<&S::Command>()}},
  };
  return keywords;
}

}  // namespace

std::vector<std::string_view> SplitScriptLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (;;) {
    text = TrimLeadingBlanks(text);
    if (text.empty()) break;
    const std::size_t end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
      text = {};
    } else {
      const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
      text.remove_prefix(end + (crlf ? 2 : 1));
    }
    lines.push_back(CutUtf8(TrimLeadingBlanks(line), kScriptLineLimit));
  }
  return lines;
}

void ReadWaitArguments(const ScriptArguments& args, SCRIPTING_RECORD& step) {
  const std::string first = args.GetArgument(1);
  if (IsWaitModeWord(first) || (first.empty() && WholeNumberText(args.GetArgument(2)))) {
    // The mode first: a mode word, or an empty mode written as "" followed by the seconds.
    step.DDEApplicationName = first;
    step.SecondsToWait = ReadWholeNumber(args.GetArgument(2));
    step.WaitForWindow = args.GetArgument(3);
    step.FocusOnWindow = args.GetArgument(4);
    return;
  }
  step.DDEApplicationName.clear();
  if (ReadWholeNumber(first) > 0) {
    step.SecondsToWait = ReadWholeNumber(first);
    step.WaitForWindow = args.GetArgument(2);
    step.FocusOnWindow = args.GetArgument(3);
  } else {
    step.WaitForWindow = first;
    step.FocusOnWindow = args.GetArgument(2);
    step.SecondsToWait = ReadWholeNumber(args.GetArgument(3));
  }
  if (step.SecondsToWait > 0 && !step.WaitForWindow.blank()) step.DDEApplicationName = "Both";
}

ScriptTextLine ReadScriptLine(std::string_view line) {
  ScriptTextLine read;
  line = TrimLeadingBlanks(line);
  const std::size_t blank = line.find(' ');
  read.keyword = std::string(line.substr(0, blank));
  read.arguments =
      blank == std::string_view::npos ? std::string() : std::string(line.substr(blank + 1));
  if (read.keyword.empty()) {
    read.blank = true;
    return read;
  }
  read.step.Action = read.keyword;
  const std::string upper = UPPER(read.keyword);
  const std::vector<Keyword>& keywords = Keywords();
  const auto keyword = std::find_if(keywords.begin(), keywords.end(),
                                    [&](const Keyword& k) { return k.word == upper; });
  if (keyword == keywords.end()) {
    read.unknown = true;
    return read;
  }
  read.step.Action = keyword->action;
  const ScriptArguments args = TokeniseArguments(read.arguments);
  if (keyword->fixed_field) keyword->fixed_field->set(read.step, keyword->fixed_word);
  for (std::size_t n = 0; n < keyword->args.size(); ++n)
    keyword->args[n].set(read.step, args.GetArgument(n + 1));
  if (keyword->read) keyword->read(args, line, read.step);
  return read;
}

}  // namespace vx
