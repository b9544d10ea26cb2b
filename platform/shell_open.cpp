#include "platform/shell_open.h"

#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <system_error>

namespace vx::platform {
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Verbs that mean "open it"; they are compared on their first four letters, lower-cased.
bool IsOpenVerb(std::string_view verb) {
  std::string word;
  for (const char c : Trimmed(verb).substr(0, 4))
    word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return word.empty() || word == "open" || word == "expl";
}

int ResultOfStartError(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return SHELL_ACCESS_DENIED;
    case ENOMEM:
    case EAGAIN:
      return SHELL_OUT_OF_MEMORY;
    default:
      return SHELL_NO_ASSOCIATION;  // no xdg-open: nothing here opens documents
  }
}

int ResultOfExitCode(long code) {
  if (code == 0) return SHELL_OPENED;
  if (code == 2) return SHELL_FILE_NOT_FOUND;
  return SHELL_NO_ASSOCIATION;
}

// Checks a document or folder before it is handed over; 0 when it may be opened.
int CheckFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    const std::filesystem::path parent = path.parent_path();
    return parent.empty() || std::filesystem::is_directory(parent, ec) ? SHELL_FILE_NOT_FOUND
                                                                       : SHELL_PATH_NOT_FOUND;
  }
  return access(path.c_str(), R_OK) == 0 ? 0 : SHELL_ACCESS_DENIED;
}

}  // namespace

std::string ShellOpenFailure(int result) {
  switch (result) {
    case SHELL_FILE_NOT_FOUND:
      return "It does not exist.";
    case SHELL_PATH_NOT_FOUND:
      return "Its folder does not exist.";
    case SHELL_ACCESS_DENIED:
      return "It may not be read.";
    case SHELL_OUT_OF_MEMORY:
      return "No program could be started to open it.";
    case SHELL_NO_ASSOCIATION:
      return "No program on this desktop opens it: the desktop's opener (xdg-open, from xdg-utils) "
             "is missing, "
             "or no application is set up for it.";
    default:
      return "The desktop reported error " + std::to_string(result) + ".";
  }
}

bool IsLink(std::string_view target) {
  const auto colon = target.find(':');
  if (colon == std::string_view::npos || colon < 2) return false;
  if (!std::isalpha(static_cast<unsigned char>(target[0]))) return false;
  for (const char c : target.substr(1, colon - 1)) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
      return false;
  }
  return true;
}

XdgShellOpener::XdgShellOpener(ProcessLauncher& launcher, std::chrono::milliseconds patience,
                               std::string program)
    : launcher_(launcher), patience_(patience), program_(std::move(program)) {}

int XdgShellOpener::Open(const ShellOpenRequest& request) {
  if (!IsOpenVerb(request.verb)) return SHELL_NO_ASSOCIATION;
  std::string target(Trimmed(request.target));
  if (target.empty()) return SHELL_FILE_NOT_FOUND;
  std::error_code ec;
  if (!request.folder.empty() && !std::filesystem::is_directory(request.folder, ec)) {
    return SHELL_PATH_NOT_FOUND;
  }

  if (target.size() > 4 && strncasecmp(target.c_str(), "www.", 4) == 0) {
    target = "http://" + target;
  } else if (!IsLink(target)) {
    // A path: relative ones are found in the start folder. Passing the folder-qualified (or
    // "./"-prefixed) path also keeps a name beginning with "-" from reading as an option.
    std::filesystem::path path(target);
    if (path.is_relative())
      path = (request.folder.empty() ? std::filesystem::path(".") : request.folder) / path;
    if (const int problem = CheckFile(path); problem != 0) return problem;
    target = path.string();
  }

  ProcessRequest start;
  start.argv = {program_, target};
  start.folder = request.folder;
  const StartResult started = launcher_.Start(start);
  if (!started) return ResultOfStartError(started.error);
  int result = SHELL_OPENED;  // still running after patience: it is showing the document itself
  if (launcher_.Wait(started.handle, patience_)) {
    result = ResultOfExitCode(launcher_.ExitCode(started.handle).value_or(-1));
  }
  launcher_.Release(started.handle);
  return result;
}

ShellOpener& SystemShell() {
  static XdgShellOpener opener(SystemProcesses());
  return opener;
}

}  // namespace vx::platform
