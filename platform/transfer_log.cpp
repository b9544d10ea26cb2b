#include "platform/transfer_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <string>

namespace vx::platform {
namespace {

bool StartsWithWord(std::string_view line, std::string_view word) {
  if (line.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(line[i])) != word[i]) return false;
  }
  return line.size() == word.size() || line[word.size()] == ' ';
}

// Calls `each` for every line of `text`, CR LF (or LF) removed; a last line without its end
// counts too.
template <typename Each>
void ForEachLine(std::string_view text, Each each) {
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    each(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

}  // namespace

TransferLog::TransferLog(const std::filesystem::path& path) {
  if (path.empty()) return;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return;
  ::fchmod(fd, 0600);
  file_ = ::fdopen(fd, "a");
  if (file_ == nullptr) ::close(fd);
}

TransferLog::~TransferLog() {
  if (file_ != nullptr) std::fclose(file_);
}

void TransferLog::Sent(std::string_view text) {
  ForEachLine(text, [this](std::string_view line) {
    if (StartsWithWord(line, "AUTH") || StartsWithWord(line, "AUTHINFO")) {
      in_login_ = true;
      Write('>', "(log-in not logged)");
      return;
    }
    if (!in_login_) Write('>', line);
  });
}

void TransferLog::Received(std::string_view text) {
  ForEachLine(text, [this](std::string_view line) {
    if (in_login_) {
      // A continuation asks for the next part of the log-in; anything else ends it.
      const bool continuation = line.rfind("334", 0) == 0 || line.rfind("381", 0) == 0;
      if (continuation) return;
      in_login_ = false;
    }
    Write('<', line);
  });
}

void TransferLog::Note(std::string_view text) {
  ForEachLine(text, [this](std::string_view line) { Write('*', line); });
}

void TransferLog::Write(char direction, std::string_view line) {
  if (file_ == nullptr) return;
  std::fprintf(file_, "%c %.*s\n", direction, static_cast<int>(line.size()), line.data());
  std::fflush(file_);
}

}  // namespace vx::platform
