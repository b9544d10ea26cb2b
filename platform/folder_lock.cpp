#include "platform/folder_lock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>
#include <utility>

namespace vx::platform {
namespace {

constexpr std::string_view kRequest = "come forward\n";

// The abstract socket's address for this user and folder; false when the folder cannot be
// looked at.
bool FolderAddress(const std::filesystem::path& folder, sockaddr_un& address, socklen_t& length) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return false;
  const std::string name = "varnodex-folder-" + std::to_string(::getuid()) + "-" +
                           std::to_string(st.st_dev) + "-" + std::to_string(st.st_ino);
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  // A leading NUL puts the name in the abstract namespace: nothing on disk, gone with the socket.
  std::memcpy(address.sun_path + 1, name.data(), name.size());
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return true;
}

// The user id of the process at the other end of a connected Unix socket; -1 when unknown.
long PeerUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return -1;
  return static_cast<long>(peer.uid);
}

// Reads into `text` until a line break, the other end closes, or `timeout` passes.
void ReadLine(int fd, std::string& text, std::chrono::milliseconds timeout) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (text.find('\n') == std::string::npos && text.size() < 64) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() <= 0) return;
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return;
    char buffer[64];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace

// The holder's side of the socket: a thread that answers requests until the lock goes.
struct FolderLock::Listener {
  int socket_fd = -1;
  int wake[2] = {-1, -1};
  ComeForward come_forward;
  std::thread thread;

  ~Listener() {
    if (thread.joinable()) {
      const char stop = 0;
      [[maybe_unused]] const ssize_t n = ::write(wake[1], &stop, 1);
      thread.join();
    }
    for (int fd : {socket_fd, wake[0], wake[1]}) {
      if (fd >= 0) ::close(fd);
    }
  }

  void Answer(int client) const {
    // Only this user's own processes may call the window forward: another user of the machine
    // learns nothing of this process, not even its id.
    if (PeerUser(client) != static_cast<long>(::getuid())) return;
    std::string request;
    ReadLine(client, request, std::chrono::seconds(1));
    if (request != kRequest) return;
    if (come_forward) come_forward();
    const std::string reply = std::to_string(::getpid()) + "\n";
    ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
  }

  void Run() const {
    for (;;) {
      pollfd p[2] = {{socket_fd, POLLIN, 0}, {wake[0], POLLIN, 0}};
      const int ready = ::poll(p, 2, -1);
      if (ready < 0 && errno == EINTR) continue;
      if (ready < 0 || (p[1].revents & (POLLIN | POLLHUP)) != 0) return;
      if ((p[0].revents & POLLIN) == 0) continue;
      const int client = ::accept4(socket_fd, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      Answer(client);
      ::close(client);
    }
  }
};

FolderLock::FolderLock(const std::filesystem::path& folder, ComeForward come_forward) {
  folder_fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_fd_ < 0) {
    error_ = std::strerror(errno);
    return;
  }
  if (::flock(folder_fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK) error_ = std::strerror(errno);
    ::close(folder_fd_);
    folder_fd_ = -1;
    return;
  }
  held_ = true;

  // The lock is what counts; without the listener (no sockets, the name taken by someone else)
  // a second start still stops, it only cannot call this one forward.
  sockaddr_un address{};
  socklen_t length = 0;
  if (!FolderAddress(folder, address, length)) return;
  auto listener = std::make_unique<Listener>();
  listener->come_forward = std::move(come_forward);
  listener->socket_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener->socket_fd < 0 || ::pipe2(listener->wake, O_CLOEXEC) != 0 ||
      ::bind(listener->socket_fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
      ::listen(listener->socket_fd, 4) != 0) {
    return;
  }
  Listener* const running = listener.get();
  listener->thread = std::thread([running] { running->Run(); });
  listener_ = std::move(listener);
}

FolderLock::~FolderLock() {
  // The listener goes first: a second start that still reaches it finds the lock held.
  listener_.reset();
  if (folder_fd_ >= 0) ::close(folder_fd_);
}

pid_t AskFolderHolderToComeForward(const std::filesystem::path& folder,
                                   std::chrono::milliseconds limit) {
  sockaddr_un address{};
  socklen_t length = 0;
  if (!FolderAddress(folder, address, length)) return 0;
  const auto until = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
      pid_t holder = 0;
      // A name held by another user's process is no holder of ours: it is not asked.
      if (PeerUser(fd) == static_cast<long>(::getuid()) &&
          ::send(fd, kRequest.data(), kRequest.size(), MSG_NOSIGNAL) ==
              static_cast<ssize_t>(kRequest.size())) {
        std::string reply;
        // The holder answers at once; a connection made at the end of the limit still gets
        // its moment.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        ReadLine(fd, reply, std::max(left, std::chrono::milliseconds(1000)));
        if (!reply.empty() && reply.back() == '\n') {
          holder = static_cast<pid_t>(std::strtol(reply.c_str(), nullptr, 10));
        }
      }
      ::close(fd);
      return holder;
    }
    ::close(fd);
    if (std::chrono::steady_clock::now() >= until) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace vx::platform
