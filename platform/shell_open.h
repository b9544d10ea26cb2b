// Opening documents, folders, links and mail addresses with the desktop's default application.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/process.h"

namespace vx::platform {

// Results of an open, as callers test them: 32 or more is success, smaller numbers name the
// error.
enum ShellOpenResult : int {
  SHELL_FILE_NOT_FOUND = 2,   // the document does not exist
  SHELL_PATH_NOT_FOUND = 3,   // its folder (or the start folder) does not exist
  SHELL_ACCESS_DENIED = 5,    // it exists but may not be read
  SHELL_OUT_OF_MEMORY = 8,    // no process could be created
  SHELL_NO_ASSOCIATION = 31,  // nothing on this system opens it (or the verb)
  SHELL_OPENED = 42,          // handed to its application
};

struct ShellOpenRequest {
  std::string target;         // a document or folder path, or a link ("https:", "mailto:" ...)
  std::string verb = "open";  // "open" (or blank) and "explore" open; other verbs have no handler
  std::filesystem::path folder;  // start folder of the opening application; a relative target is
                                 // looked up in it
};

// Why the desktop's opener could not open something (an open's result below 32), in words for a
// message box.
std::string ShellOpenFailure(int result);

// Opens things the way the desktop does. Implemented for real by XdgShellOpener; tests use a fake.
class ShellOpener {
 public:
  virtual ~ShellOpener() = default;
  virtual int Open(const ShellOpenRequest& request) = 0;
};

// True when the text is a link: a scheme of two or more characters and a colon ("http:",
// "mailto:", "file:"); a one-letter "scheme" is a drive, not a link.
bool IsLink(std::string_view target);

// Opens through xdg-open, started with an argv (no shell). Files are checked first, so a
// missing document or folder gives its own error. xdg-open's exit status is then mapped:
// 0 -> SHELL_OPENED, 2 (file missing) -> SHELL_FILE_NOT_FOUND, 1, 3 and 4 (no tool, no handler,
// the action failed) and death by a signal -> SHELL_NO_ASSOCIATION; xdg-open missing from the
// system -> SHELL_NO_ASSOCIATION. Some desktops let xdg-open run the application in its own
// process until it closes: an xdg-open still running after `patience` is taken as opened, and
// reaped when it ends. "www." links are opened as "http://" links.
class XdgShellOpener final : public ShellOpener {
 public:
  explicit XdgShellOpener(ProcessLauncher& launcher,
                          std::chrono::milliseconds patience = std::chrono::milliseconds(1500),
                          std::string program = "xdg-open");
  int Open(const ShellOpenRequest& request) override;

 private:
  ProcessLauncher& launcher_;
  std::chrono::milliseconds patience_;
  std::string program_;
};

// The process-wide opener (xdg-open through SystemProcesses()).
ShellOpener& SystemShell();

}  // namespace vx::platform
