#include "program/script_engine/describe_script_step.h"

#include <array>
#include <string_view>

#include "runtime/fixed_string.h"

namespace vx {
namespace {

constexpr std::size_t kSummaryWidth = 128;

std::string T(std::string_view field) { return std::string(ClipView(field)); }

// Containing-window suffix of the window steps.
std::string Containing(std::string_view contents) {
  return ClipView(contents).empty() ? std::string() : " (containing " + T(contents) + ")";
}

std::string FileSummary(const SCRIPTING_RECORD& s) {
  // The verbs that work on one name show no second one.
  constexpr std::array kOneName = {"Delete", "Recycle", "Log Windows", "Make Directory",
                                   "Remove Directory"};
  const std::string verb = T(s.DDEType.view());
  for (std::string_view one : kOneName) {
    if (verb == one) return verb + " " + T(s.Command.view());
  }
  return verb + " " + T(s.Command.view()) + " to " + T(s.Path.view());
}

std::string WaitSummary(const SCRIPTING_RECORD& s) {
  if (s.SecondsToWait != 0) {
    const std::string seconds = std::to_string(s.SecondsToWait) + " seconds ";
    if (ClipView(s.WaitForWindow.view()).empty()) return seconds;
    return seconds + T(s.DDEApplicationName.view()) + " " + T(s.WaitForWindow.view());
  }
  const std::string title = T(s.WaitForWindow.view());
  return title.empty() ? title : title + Containing(s.FocusOnWindow.view());
}

std::string Summary(const SCRIPTING_RECORD& s) {
  const std::string_view action = s.Action.clipped();
  if (action == "Start Program" || action == "Wait for Program End" || action == "Start Script")
    return T(s.Command.view()) + " " + T(s.Path.view());
  if (action == "Close Program") {
    const std::string command = T(s.Command.view());
    return command.empty() ? "Window with focus" : command;
  }
  if (action == "Set Value") return T(s.Path.view()) + " = " + T(s.Command.view());
  if (action == "If Value...")
    return T(s.Command.view()) + " " + T(s.WindowTitleToCheckFor.view()) + " " +
           T(s.WaitForWindow.view());
  if (action == "File Actions") return FileSummary(s);
  if (action == "Send Keystrokes" || action == "Send Keys") return T(s.Keystrokes.view());
  if (action == "DDE (Dynamic Data Exchange)" || action == "DDE")
    return T(s.DDEType.view()) + " " + T(s.DDEApplicationName.view()) + " " +
           T(s.DDEApplicationTopic.view());
  if (action == "Display Message") {
    std::string out = T(s.DDEApplicationName.view()) + " " + T(s.DDEApplicationTopic.view());
    if (s.SecondsToWait != 0 && !ClipView(s.FocusOnWindow.view()).empty())
      out += " <" + T(s.FocusOnWindow.view()) + ">";
    return out;
  }
  if (action == "Set Focus") return T(s.FocusOnWindow.view()) + Containing(s.WaitForWindow.view());
  if (action == "If Window...") {
    const std::string title = T(s.WindowTitleToCheckFor.view());
    const std::string existence = T(s.WindowExistance.view());
    if (ClipView(s.FocusOnWindow.view()).empty()) return title + " " + existence;
    return title + Containing(s.FocusOnWindow.view()) + " " + existence;
  }
  if (action == "If Time Elapsed...") return std::to_string(s.TimeElapsed) + " seconds";
  if (action == "Send Email") {
    const std::string message = "Message #" + std::to_string(s.EmailID);
    const std::string label = T(s.WindowTitleToCheckFor.view());
    return label.empty() ? message : label + " - " + message;
  }
  if (action == "Wait") return WaitSummary(s);
  return {};
}

}  // namespace

std::string DescribeScriptStep(const SCRIPTING_RECORD& step) {
  return std::string(ClipView(CutUtf8(Summary(step), kSummaryWidth)));
}

}  // namespace vx
