// vx-ftp: uploads a file to an FTP server or downloads one from it.
//
//   vx-ftp U LOCAL REMOTE HOST [USER]
//   vx-ftp D REMOTE LOCAL HOST [USER]
//
// The file to read comes first and the file to write second, as a script step holds them.
// HOST may carry a port ("host:2121"). REMOTE is relative to the login folder, or absolute when
// it begins with "/"; an upload makes the folders it names, and an upload to a REMOTE ending in
// "/" keeps the local file's name. A download into a LOCAL that is a folder lands in it under
// the remote file's name. The password is read from the
// environment variable VXFTP_PASSWORD, else from the first line of standard input when that
// is not a terminal, so that it never shows in the process list; without a user the login is
// anonymous. A download lands in LOCAL only once it is whole.
// Exit status: 0 done, 1 bad command line, 2 the local file cannot be read or written,
// 3 the transfer failed; a one-line reason goes to standard error.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "helpers/common/curl_transfer.h"
#include "helpers/common/transfer_target.h"

namespace {

constexpr const char* kProgram = "vx-ftp";

std::string Password() {
  if (const char* given = std::getenv("VXFTP_PASSWORD")) return given;
  std::string line;
  if (isatty(STDIN_FILENO) == 0 && std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }
  return {};
}

// ftp://HOST/REMOTE with every part of the path escaped; "//" after the host makes an
// absolute path.
std::string Url(CURL* curl, const std::string& host, const std::string& remote) {
  std::string url = "ftp://" + host + "/";
  std::size_t from = 0;
  while (from <= remote.size()) {
    const std::size_t slash = remote.find('/', from);
    const std::string part =
        remote.substr(from, slash == std::string::npos ? std::string::npos : slash - from);
    char* escaped = curl_easy_escape(curl, part.c_str(), static_cast<int>(part.size()));
    url += escaped != nullptr ? escaped : part;
    curl_free(escaped);
    if (slash == std::string::npos) break;
    url += "/";
    from = slash + 1;
  }
  return url;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || argc > 7 || (std::string(argv[1]) != "U" && std::string(argv[1]) != "D")) {
    return vx::helpers::Fail(
        kProgram, "usage: vx-ftp U LOCAL REMOTE HOST [USER] | D REMOTE LOCAL HOST [USER]", 1);
  }
  const bool upload = std::string(argv[1]) == "U";
  const std::string local = upload ? argv[2] : argv[3];
  const std::string remote = upload ? vx::helpers::UploadTarget(argv[3], argv[2]) : argv[2];
  const std::string host = argv[4];
  const std::string user = argc > 5 ? argv[5] : "";
  // A password given as a sixth word (older scripts) still works; the environment wins.
  std::string password =
      argc > 6 && std::getenv("VXFTP_PASSWORD") == nullptr ? argv[6] : Password();
  if (host.empty() || remote.empty() || local.empty())
    return vx::helpers::Fail(kProgram, "host, files required", 1);

  vx::helpers::CurlTransfer transfer;
  CURL* curl = transfer.get();
  if (curl == nullptr) return vx::helpers::Fail(kProgram, "cannot start the transfer library", 3);
  const std::string url = Url(curl, host, remote);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  if (!user.empty()) {
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
  }

  CURLcode code = CURLE_OK;
  if (upload) {
    std::FILE* in = std::fopen(local.c_str(), "rb");
    if (in == nullptr) return vx::helpers::Fail(kProgram, "cannot read " + local, 2);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READDATA, in);
    curl_easy_setopt(curl, CURLOPT_FTP_CREATE_MISSING_DIRS,
                     static_cast<long>(CURLFTP_CREATE_DIR_RETRY));
    code = curl_easy_perform(curl);
    std::fclose(in);
    if (code != CURLE_OK)
      return vx::helpers::Fail(kProgram, "upload to " + host + " failed: " + transfer.Reason(code),
                               3);
    return 0;
  }

  const std::filesystem::path target =
      vx::helpers::DownloadTarget(local, vx::helpers::RemoteFileName(remote));
  if (target.empty())
    return vx::helpers::Fail(kProgram, remote + " names no file to save in " + local, 1);
  vx::helpers::DownloadFile out(target);
  if (out.file() == nullptr) return vx::helpers::Fail(kProgram, out.failure(), 2);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, out.file());
  code = curl_easy_perform(curl);
  if (code != CURLE_OK)
    return vx::helpers::Fail(kProgram,
                             "download from " + host + " failed: " + transfer.Reason(code), 3);
  std::string reason;
  if (!out.Keep(reason)) return vx::helpers::Fail(kProgram, reason, 2);
  return 0;
}
