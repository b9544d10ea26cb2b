// Where a transfer's file goes when the step names a folder instead of a file: a download
// "saved as" an existing local folder lands inside it under the remote file's name, and an
// upload "to" a remote folder (a name ending in "/") keeps the local file's name. A step written
// with a folder is common (the editor's folder button fills it in), and replacing the folder
// itself by the file is never what was meant.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace vx::helpers {

// The name a downloaded file keeps in a folder: the last part of the remote path. Empty when it
// names no file of its own (a path ending in "/", ".", "..").
inline std::string RemoteFileName(std::string_view remote) {
  const std::size_t slash = remote.find_last_of('/');
  std::string name(slash == std::string_view::npos ? remote : remote.substr(slash + 1));
  if (name == "." || name == ".." || name.find('\0') != std::string::npos) return {};
  return name;
}

// The file a download writes: local itself, or remote_name inside it when local is a folder
// (one that exists, or a name ending in "/"). Empty when local is a folder and the remote names
// no file.
inline std::filesystem::path DownloadTarget(const std::string& local,
                                            const std::string& remote_name) {
  std::error_code ec;
  const bool folder =
      (!local.empty() && local.back() == '/') || std::filesystem::is_directory(local, ec);
  if (!folder) return local;
  if (remote_name.empty()) return {};
  return std::filesystem::path(local) / remote_name;
}

// The remote path an upload writes: remote itself, or the local file's name after it when it
// ends in "/".
inline std::string UploadTarget(const std::string& remote, const std::string& local) {
  if (remote.empty() || remote.back() != '/') return remote;
  return remote + std::filesystem::path(local).filename().string();
}

}  // namespace vx::helpers
