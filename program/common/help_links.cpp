#include "program/common/help_links.h"

#include <chrono>

#include "platform/process.h"
#include "platform/shell_open.h"
#include "program/common/task_road_services.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx {

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
  MESSAGE("Could not open " + std::string(link) + ".\n\n" + platform::ShellOpenFailure(result),
          caption, MessageIcon::Exclamation);
}

}  // namespace vx
