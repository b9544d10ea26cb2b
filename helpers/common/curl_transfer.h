// What the two transfer helpers share: a libcurl handle set up for one transfer, a download
// that lands in its file only when whole, and the one-line failure report.
#pragma once

#include <curl/curl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/private_file.h"

namespace vx::helpers {

// Prints "<program>: <reason>" on standard error and answers the exit status.
inline int Fail(const char* program, const std::string& reason, int status) {
  std::fprintf(stderr, "%s: %s\n", program, reason.c_str());
  return status;
}

// One easy handle for the life of a transfer, with the library set up around it.
class CurlTransfer {
 public:
  CurlTransfer() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    handle_ = curl_easy_init();
    if (handle_ != nullptr) {
      curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, error_);
      curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
      curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT, 30L);
      // A stalled server ends the transfer instead of holding the script for ever.
      curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_LIMIT, 1L);
      curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, 120L);
    }
  }
  ~CurlTransfer() {
    if (handle_ != nullptr) curl_easy_cleanup(handle_);
    curl_global_cleanup();
  }
  CurlTransfer(const CurlTransfer&) = delete;
  CurlTransfer& operator=(const CurlTransfer&) = delete;

  CURL* get() const { return handle_; }
  // The library's reason for a failed perform.
  std::string Reason(CURLcode code) const {
    return error_[0] != '\0' ? error_ : curl_easy_strerror(code);
  }

 private:
  CURL* handle_ = nullptr;
  char error_[CURL_ERROR_SIZE] = {};
};

// A download into a hidden file beside the target, moved over it only once the transfer has
// succeeded: a failed transfer leaves an existing file as it was. The hidden file is made new
// and private (".NAME.part", else ".NAME.part2" ... when that name is taken): a file or link
// left or planted at the name is never followed, written or removed.
class DownloadFile {
 public:
  explicit DownloadFile(std::filesystem::path target) : target_(std::move(target)) {
    const std::filesystem::path folder = target_.has_parent_path() ? target_.parent_path() : ".";
    const std::string hidden = "." + target_.filename().string() + ".part";
    const int fd = platform::CreatePrivateFileNamed(
        [&](int attempt) {
          return folder / (attempt == 0 ? hidden : hidden + std::to_string(attempt + 1));
        },
        partial_);
    if (fd >= 0) file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
      failure_ = "cannot write " + target_.string() + ": no temporary file can be made in " +
                 folder.string() + ": " + std::strerror(errno);
      if (fd >= 0) ::close(fd);
      partial_.clear();
    }
  }
  ~DownloadFile() {
    if (file_ != nullptr) std::fclose(file_);
    if (!kept_ && !partial_.empty()) {
      std::error_code ignored;
      std::filesystem::remove(partial_, ignored);
    }
  }
  DownloadFile(const DownloadFile&) = delete;
  DownloadFile& operator=(const DownloadFile&) = delete;

  // The file to write to; null when none could be made, and failure() says why.
  std::FILE* file() const { return file_; }
  const std::string& failure() const { return failure_; }
  const std::filesystem::path& partial() const { return partial_; }

  // Closes the file and moves it into place; false with the reason when that fails. The file
  // takes the mode of the one it replaces, else that of any new file of the user (the umask).
  bool Keep(std::string& reason) {
    struct stat old {};
    const mode_t mode = ::lstat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)
                            ? old.st_mode & 07777
                            : 0666 & ~CurrentUmask();
    const bool moded = ::fchmod(::fileno(file_), mode) == 0;
    const bool closed = std::fclose(file_) == 0 && moded;
    file_ = nullptr;
    if (!closed) {
      reason = "cannot write " + target_.string();
      return false;
    }
    std::error_code error;
    std::filesystem::rename(partial_, target_, error);
    if (error) {
      reason = "cannot write " + target_.string() + ": " + error.message();
      return false;
    }
    kept_ = true;
    return true;
  }

 private:
  static mode_t CurrentUmask() {
    const mode_t mask = ::umask(077);
    ::umask(mask);
    return mask;
  }

  std::filesystem::path target_;
  std::filesystem::path partial_;
  std::string failure_;
  std::FILE* file_ = nullptr;
  bool kept_ = false;
};

}  // namespace vx::helpers
