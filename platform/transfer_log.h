// The debug file of a mail or news transfer: the conversation with the server, one line per
// command or reply, with the log-in left out.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace vx::platform {

class TransferLog {
 public:
  // An empty path keeps no log. The file is appended to and created with mode 0600 (it holds
  // addresses and texts of the user's mail); an existing file is narrowed to 0600 as well.
  explicit TransferLog(const std::filesystem::path& path);
  ~TransferLog();
  TransferLog(const TransferLog&) = delete;
  TransferLog& operator=(const TransferLog&) = delete;

  // What the client sent: one or more lines. A line starting an AUTH (or AUTHINFO) exchange is
  // not written, and neither is any client line until the server has answered that exchange
  // with something other than a continuation (334 or 381), so no credential is ever kept.
  void Sent(std::string_view text);
  // What the server answered: one or more lines.
  void Received(std::string_view text);
  // A note of the transport's own ("connected", the failure ...).
  void Note(std::string_view text);

 private:
  void Write(char direction, std::string_view line);

  std::FILE* file_ = nullptr;
  bool in_login_ = false;
};

}  // namespace vx::platform
