#include "program/common/help_links.h"

#include <chrono>

#include "platform/process.h"
#include "platform/shell_open.h"
#include "program/common/task_road_services.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx {

std::string ShellOpenFailure(int result) {
  switch (result) {
    case platform::SHELL_FILE_NOT_FOUND:
      return "It does not exist.";
    case platform::SHELL_PATH_NOT_FOUND:
      return "Its folder does not exist.";
    case platform::SHELL_ACCESS_DENIED:
      return "It may not be read.";
    case platform::SHELL_OUT_OF_MEMORY:
      return "No program could be started to open it.";
    case platform::SHELL_NO_ASSOCIATION:
      return "No program on this desktop opens it: the desktop's opener (xdg-open, from xdg-utils) "
             "is missing, "
             "or no application is set up for it.";
    default:
      return "The desktop reported error " + std::to_string(result) + ".";
  }
}

namespace {

// How long the desktop's opener may take to say that it cannot open a link. Looking through
// every browser it knows can take seconds on a busy desktop; an opener still running after this
// has handed the link over.
constexpr auto kOpenerPatience = std::chrono::seconds(15);

platform::ShellOpener& HelpOpener() {
  platform::ShellOpener* shell = CurrentTaskRoadServices().shell;
  if (shell != &platform::SystemShell()) return *shell;
  static platform::XdgShellOpener patient(platform::SystemProcesses(), kOpenerPatience);
  return patient;
}

}  // namespace

void OpenHelpLink(std::string_view link, std::string_view caption) {
  platform::ShellOpenRequest request;
  request.target = std::string(link);
  int result = 0;
  {
    RuntimeUnlocked unlocked;  // other windows go on while the desktop answers
    result = HelpOpener().Open(request);
  }
  if (result >= 32) return;
  MESSAGE("Could not open " + std::string(link) + ".\n\n" + ShellOpenFailure(result), caption,
          MessageIcon::Exclamation);
}

}  // namespace vx
