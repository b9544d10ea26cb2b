#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <iterator>
#include <limits>
#include <list>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

extern char** environ;

namespace vx::platform {
namespace {

// The pid descriptor calls by system call number: this C library's header for them lacks C++
// linkage.
int OpenPidFd(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0U)); }

int SignalPidFd(int pidfd, int signal) {
  return static_cast<int>(syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0U));
}

constexpr int kIdleNice = 19;
constexpr int kHighNice = -5;
// A child without a pid descriptor (a kernel older than pidfd_open) is checked this often.
constexpr int kPollMilliseconds = 100;
// How long a killed program may take to disappear after SIGKILL.
constexpr std::chrono::milliseconds kAfterKill{2000};

long ExitCodeOfStatus(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

int NiceOf(ProcessPriority priority) {
  switch (priority) {
    case ProcessPriority::Idle:
      return kIdleNice;
    case ProcessPriority::High:
      return kHighNice;
    case ProcessPriority::Normal:
      break;
  }
  return 0;
}

// Spawn settings released on every path out of Start.
class SpawnSettings {
 public:
  SpawnSettings() {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attributes_);
  }
  ~SpawnSettings() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSettings(const SpawnSettings&) = delete;
  SpawnSettings& operator=(const SpawnSettings&) = delete;

  // The child: stdin from /dev/null, the start folder, no inherited descriptors beyond 0-2, an
  // empty signal mask, default signal actions, and a session of its own.
  int Prepare(const std::filesystem::path& folder) {
    int rc = posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
    if (rc == 0 && !folder.empty())
      rc = posix_spawn_file_actions_addchdir_np(&actions_, folder.c_str());
    if (rc == 0) rc = posix_spawn_file_actions_addclosefrom_np(&actions_, 3);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    if (rc == 0) rc = posix_spawnattr_setsigmask(&attributes_, &none);
    if (rc == 0) rc = posix_spawnattr_setsigdefault(&attributes_, &all);
    if (rc == 0) {
      rc = posix_spawnattr_setflags(
          &attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
    }
    return rc;
  }

  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

struct Child {
  pid_t pid = 0;
  int pidfd = -1;  // readable once the child has ended; -1 without pidfd support
  bool ended = false;
  int holders = 1;  // handles naming the child that are not released yet
  long exit_code = STILL_ACTIVE;
};

}  // namespace

struct SystemProcessLauncher::Impl {
  std::mutex mutex;
  std::condition_variable reaped;
  // Every child not yet forgotten: still running, or still named by a handle. A list, so the
  // handles' positions stay valid while other children come and go.
  std::list<Child> children;
  std::map<ProcessHandle, std::list<Child>::iterator> handles;  // given out and not released
  ProcessHandle last_handle = 0;
  int wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  bool stopping = false;
  std::thread reaper;

  ~Impl() {
    {
      std::lock_guard lock(mutex);
      stopping = true;
    }
    Wake();
    if (reaper.joinable()) reaper.join();
    for (const Child& child : children) {
      if (child.pidfd >= 0) close(child.pidfd);
    }
    if (wake_fd >= 0) close(wake_fd);
  }

  void Wake() const {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wake_fd, &one, sizeof one);
  }

  // Collects the status of every ended child (waitpid on its own pid only) and forgets those no
  // handle names any more. Runs on the reaper thread with the mutex held, so a pid that is
  // signalled under the mutex has not been reaped and cannot have been reused.
  bool ReapEnded() {
    bool any = false;
    for (auto it = children.begin(); it != children.end();) {
      Child& child = *it;
      if (!child.ended) {
        int status = 0;
        const pid_t result = waitpid(child.pid, &status, WNOHANG);
        if (result == child.pid) {
          child.ended = true;
          child.exit_code = ExitCodeOfStatus(status);
        } else if (result < 0 && errno == ECHILD) {
          // Someone else reaped it: it has ended, its code is lost.
          child.ended = true;
          child.exit_code = -1;
        }
        if (child.ended) {
          any = true;
          if (child.pidfd >= 0) close(child.pidfd);
          child.pidfd = -1;
        }
      }
      if (child.ended && child.holders == 0) {
        it = children.erase(it);
      } else {
        ++it;
      }
    }
    return any;
  }

  void Run() {
    std::vector<pollfd> watched;
    for (;;) {
      int timeout = -1;
      {
        std::lock_guard lock(mutex);
        if (ReapEnded()) reaped.notify_all();
        if (stopping) return;
        watched.assign(1, pollfd{wake_fd, POLLIN, 0});
        for (const Child& child : children) {
          if (child.ended) continue;
          if (child.pidfd >= 0) {
            watched.push_back(pollfd{child.pidfd, POLLIN, 0});
          } else {
            timeout = kPollMilliseconds;
          }
        }
      }
      const int ready = poll(watched.data(), watched.size(), timeout);
      if (ready > 0 && (watched[0].revents & POLLIN)) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t got = read(wake_fd, &count, sizeof count);
      }
    }
  }

  // Mutex held.
  Child* Find(ProcessHandle handle) {
    const auto it = handles.find(handle);
    return it == handles.end() ? nullptr : &*it->second;
  }

  // Mutex held. A handle never given out before for the child at place, or 0 when handles have
  // run out.
  ProcessHandle NewHandle(std::list<Child>::iterator place) {
    if (last_handle == std::numeric_limits<ProcessHandle>::max()) return 0;
    handles.emplace(++last_handle, place);
    return last_handle;
  }

  // Mutex held by lock; true once the child has ended.
  bool WaitLocked(std::unique_lock<std::mutex>& lock, ProcessHandle handle,
                  std::chrono::milliseconds timeout) {
    const auto done = [&] {
      const Child* child = Find(handle);
      return child == nullptr || child->ended;
    };
    // Negative and century-long timeouts wait for ever (a deadline that far away would overflow).
    if (timeout.count() < 0 || timeout >= std::chrono::hours(24 * 365 * 100)) {
      reaped.wait(lock, done);
    } else {
      reaped.wait_for(lock, timeout, done);
    }
    const Child* child = Find(handle);
    return child != nullptr && child->ended;
  }
};

SystemProcessLauncher::SystemProcessLauncher() : impl_(std::make_unique<Impl>()) {}

SystemProcessLauncher::~SystemProcessLauncher() = default;

StartResult SystemProcessLauncher::Start(const ProcessRequest& request) {
  StartResult result;
  if (request.argv.empty() || request.argv.front().empty()) {
    result.error = ENOENT;
    return result;
  }
  if (!request.folder.empty()) {
    std::error_code ec;
    if (!std::filesystem::is_directory(request.folder, ec)) {
      result.error = std::filesystem::exists(request.folder, ec) ? ENOTDIR : ENOENT;
      result.folder_error = true;
      return result;
    }
  }
  if (impl_->wake_fd < 0) {
    result.error = EMFILE;
    return result;
  }

  SpawnSettings settings;
  if (const int rc = settings.Prepare(request.folder); rc != 0) {
    result.error = rc;
    return result;
  }
  std::vector<char*> argv;
  argv.reserve(request.argv.size() + 1);
  for (const std::string& argument : request.argv)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  // The child's environment: this program's, with the request's own variables in front (the
  // first of a name counts).
  std::vector<char*> envp;
  for (const std::string& variable : request.environment)
    envp.push_back(const_cast<char*>(variable.c_str()));
  for (char** variable = environ; *variable != nullptr; ++variable) envp.push_back(*variable);
  envp.push_back(nullptr);

  std::lock_guard lock(impl_->mutex);
  if (impl_->last_handle == std::numeric_limits<ProcessHandle>::max()) {
    result.error = EAGAIN;
    return result;
  }
  pid_t pid = 0;
  // posix_spawnp returns only after the child has run exec (or failed to), so a missing or
  // unusable program is reported here rather than as an exit code.
  if (const int rc = posix_spawnp(&pid, argv[0], settings.actions(), settings.attributes(),
                                  argv.data(), envp.data());
      rc != 0) {
    result.error = rc;
    return result;
  }
  if (const int nice = NiceOf(request.priority); nice != 0) {
    // Best effort: raising the priority needs privileges this user may not have.
    setpriority(PRIO_PROCESS, static_cast<id_t>(pid), nice);
  }
  Child child;
  child.pid = pid;
  child.pidfd = OpenPidFd(pid);  // the child is not reaped yet, so this is still our child
  impl_->children.push_back(child);
  result.handle = impl_->NewHandle(std::prev(impl_->children.end()));
  if (!impl_->reaper.joinable()) {
    impl_->reaper = std::thread([impl = impl_.get()] { impl->Run(); });
  } else {
    impl_->Wake();
  }
  return result;
}

std::optional<long> SystemProcessLauncher::ExitCode(ProcessHandle handle) {
  std::lock_guard lock(impl_->mutex);
  const Child* child = impl_->Find(handle);
  if (child == nullptr) return std::nullopt;
  return child->exit_code;
}

bool SystemProcessLauncher::Wait(ProcessHandle handle, std::chrono::milliseconds timeout) {
  std::unique_lock lock(impl_->mutex);
  return impl_->WaitLocked(lock, handle, timeout);
}

bool SystemProcessLauncher::Terminate(ProcessHandle handle) {
  std::lock_guard lock(impl_->mutex);
  const Child* child = impl_->Find(handle);
  if (child == nullptr) return false;
  if (!child->ended) kill(child->pid, SIGTERM);
  return true;
}

bool SystemProcessLauncher::Kill(ProcessHandle handle, std::chrono::milliseconds grace) {
  std::unique_lock lock(impl_->mutex);
  Child* child = impl_->Find(handle);
  if (child == nullptr) return false;
  if (child->ended) return true;
  kill(child->pid, SIGTERM);
  if (impl_->WaitLocked(lock, handle, grace)) return true;
  child = impl_->Find(handle);
  if (child == nullptr) return false;
  kill(child->pid, SIGKILL);
  return impl_->WaitLocked(lock, handle, kAfterKill);
}

void SystemProcessLauncher::Release(ProcessHandle handle) {
  std::lock_guard lock(impl_->mutex);
  const auto it = impl_->handles.find(handle);
  if (it == impl_->handles.end()) return;
  const auto place = it->second;
  impl_->handles.erase(it);
  // A running child stays for the reaper, which forgets it once it has ended.
  if (--place->holders == 0 && place->ended) impl_->children.erase(place);
}

ProcessHandle SystemProcessLauncher::Share(ProcessHandle handle) {
  std::lock_guard lock(impl_->mutex);
  const auto it = impl_->handles.find(handle);
  if (it == impl_->handles.end()) return 0;
  const ProcessHandle shared = impl_->NewHandle(it->second);
  if (shared != 0) ++it->second->holders;
  return shared;
}

pid_t SystemProcessLauncher::ProcessId(ProcessHandle handle) {
  std::lock_guard lock(impl_->mutex);
  const Child* child = impl_->Find(handle);
  return child == nullptr ? 0 : child->pid;
}

ProcessLauncher& SystemProcesses() {
  static SystemProcessLauncher launcher;
  return launcher;
}

namespace {

// True when the pid descriptor reports the process's end within timeout.
bool EndsWithin(int pidfd, std::chrono::milliseconds timeout) {
  pollfd watched{pidfd, POLLIN, 0};
  const auto deadline =
      std::chrono::steady_clock::now() +
      std::min<std::chrono::milliseconds>(timeout, std::chrono::hours(24 * 365 * 100));
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const std::int64_t wait =
        std::clamp<std::int64_t>(left.count(), 0, std::numeric_limits<int>::max());
    const int ready = poll(&watched, 1, static_cast<int>(wait));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

// Without pid descriptors: signal by pid and watch for it to go.
EndResult EndProgramByPid(pid_t pid, std::chrono::milliseconds grace) {
  if (kill(pid, SIGTERM) != 0)
    return errno == EPERM ? EndResult::NotPermitted : EndResult::NotFound;
  const auto gone_within = [pid](std::chrono::milliseconds timeout) {
    const auto deadline =
        std::chrono::steady_clock::now() +
        std::min<std::chrono::milliseconds>(timeout, std::chrono::hours(24 * 365 * 100));
    do {
      if (kill(pid, 0) != 0 && errno == ESRCH) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
  };
  if (gone_within(grace)) return EndResult::Ended;
  kill(pid, SIGKILL);
  return gone_within(kAfterKill) ? EndResult::Ended : EndResult::StillRunning;
}

}  // namespace

EndResult EndProgram(pid_t pid, std::chrono::milliseconds grace) {
  if (pid <= 0) return EndResult::NotFound;
  const int pidfd = OpenPidFd(pid);
  if (pidfd < 0) {
    if (errno == ENOSYS) return EndProgramByPid(pid, grace);
    return EndResult::NotFound;
  }
  EndResult result = EndResult::Ended;
  if (SignalPidFd(pidfd, SIGTERM) != 0) {
    // A process that ended between the look-up and the signal counts as ended.
    if (errno == EPERM) result = EndResult::NotPermitted;
  } else if (!EndsWithin(pidfd, grace)) {
    SignalPidFd(pidfd, SIGKILL);
    if (!EndsWithin(pidfd, kAfterKill)) result = EndResult::StillRunning;
  }
  close(pidfd);
  return result;
}

}  // namespace vx::platform
