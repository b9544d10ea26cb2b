// vx-httpget: downloads one URL into a file.
//
//   vx-httpget URL FILE [/AUTO]
//
// Redirects are followed; an answer of 400 or above is a failure. FILE is replaced only once
// the download is whole; a FILE that is a folder receives the file under the address's last
// name ("index.html" for an address that ends in "/"). /AUTO (run without asking anything) is how
// scripts call it; this program never asks, so it changes nothing. Exit status: 0 done, 1 bad
// command line, 2 the file cannot be written, 3 the download failed; a one-line reason goes to
// standard error.
#include <string>

#include "helpers/common/curl_transfer.h"
#include "helpers/common/transfer_target.h"

namespace {

constexpr const char* kProgram = "vx-httpget";

// The file name an address gives: the last part of its path, unescaped, without the query or
// fragment; "index.html" when the path names no file.
std::string AddressFileName(CURL* curl, const std::string& url) {
  const std::size_t scheme = url.find("://");
  const std::size_t path = url.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  if (path == std::string::npos) return "index.html";
  const std::string escaped = url.substr(path, url.find_first_of("?#", path) - path);
  int length = 0;
  char* plain =
      curl_easy_unescape(curl, escaped.c_str(), static_cast<int>(escaped.size()), &length);
  const std::string name = vx::helpers::RemoteFileName(
      plain != nullptr ? std::string(plain, static_cast<std::size_t>(length)) : escaped);
  curl_free(plain);
  return name.empty() ? "index.html" : name;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4 || (argc == 4 && std::string(argv[3]) != "/AUTO")) {
    return vx::helpers::Fail(kProgram, "usage: vx-httpget URL FILE [/AUTO]", 1);
  }
  const std::string url = argv[1];

  vx::helpers::CurlTransfer transfer;
  CURL* curl = transfer.get();
  if (curl == nullptr) return vx::helpers::Fail(kProgram, "cannot start the transfer library", 3);
  const std::string target =
      vx::helpers::DownloadTarget(argv[2], AddressFileName(curl, url)).string();
  vx::helpers::DownloadFile out(target);
  if (out.file() == nullptr) return vx::helpers::Fail(kProgram, out.failure(), 2);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, out.file());
  const CURLcode code = curl_easy_perform(curl);
  if (code != CURLE_OK)
    return vx::helpers::Fail(kProgram, "download of " + url + " failed: " + transfer.Reason(code),
                             3);
  std::string reason;
  if (!out.Keep(reason)) return vx::helpers::Fail(kProgram, reason, 2);
  return 0;
}
