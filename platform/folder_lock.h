// One program per data folder: a lock that a process holds on a folder for as long as it uses
// the folder, and a way for a second process of the same user to reach the holder.
//
// The lock is an flock on the folder itself (no file is made in it), so it goes with the process
// however that ends, and the helper programs the holder starts do not inherit it. The holder
// also listens on an abstract Unix socket named after the user and the folder's device and inode
// (so two paths to one folder meet), where another process of the same user can ask it to come
// forward; requests from other users are turned away unanswered.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace vx::platform {

class FolderLock {
 public:
  // Called on the lock's own listening thread (not a runtime thread) for each request from
  // another process of this user to come forward.
  using ComeForward = std::function<void()>;

  // Tries to take the lock of `folder` at once, without waiting for it. held() tells whether it
  // was taken; a folder that cannot be opened is not locked, error() says why.
  FolderLock(const std::filesystem::path& folder, ComeForward come_forward);
  // Stops listening and lets the lock go.
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  bool held() const { return held_; }
  const std::string& error() const { return error_; }

 private:
  struct Listener;
  bool held_ = false;
  int folder_fd_ = -1;
  std::string error_;
  std::unique_ptr<Listener> listener_;
};

// Asks the process of this user that holds `folder`'s lock to come forward, trying for at most
// `limit` (the holder may still be setting up its listener). Answers the holder's process id
// once it has taken the request, 0 when none answered (no holder, another user's, or too slow).
pid_t AskFolderHolderToComeForward(const std::filesystem::path& folder,
                                   std::chrono::milliseconds limit);

}  // namespace vx::platform
