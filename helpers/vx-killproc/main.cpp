// vx-killproc: ends the programs of this user that run under a name.
//
//   vx-killproc NAME
//
// NAME is a program's file name, with or without its folder and ".exe", matched without regard
// to letter case against each process's program file and command name. Only processes of the
// user running this program are touched (never this program or the one that started it).
// Each is asked politely: its windows are closed as their close buttons would, and what is
// still running a few seconds later gets SIGTERM. A process is held through a pid file
// descriptor from the moment it is found, so a pid that is reused meanwhile is never signalled.
// Exit status: 0 every match has ended or was asked to end, 1 bad command line, 2 no program of
// that name runs; a one-line reason goes to standard error.
#include <dirent.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/desktop_windows.h"

namespace {

constexpr const char* kProgram = "vx-killproc";
constexpr auto kCloseGrace = std::chrono::seconds(5);

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The bare program name: no folder, no ".exe", lower case.
std::string BareName(const std::string& name) {
  std::string bare = Lower(std::filesystem::path(name).filename().string());
  if (bare.size() > 4 && bare.ends_with(".exe")) bare.resize(bare.size() - 4);
  return bare;
}

struct Found {
  pid_t pid = 0;
  int pidfd = -1;
};

int OpenPid(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }
bool Signal(int pidfd, int signal) {
  return syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0) == 0;
}
bool Ended(int pidfd) {
  pollfd p{pidfd, POLLIN, 0};
  return poll(&p, 1, 0) == 1;
}

// The names a process goes by: the file its program was started from and its command name.
std::vector<std::string> NamesOf(pid_t pid) {
  std::vector<std::string> names;
  const std::string base = "/proc/" + std::to_string(pid);
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink(base + "/exe", error);
  if (!error) names.push_back(BareName(exe.string()));
  std::ifstream comm(base + "/comm");
  std::string line;
  if (std::getline(comm, line)) names.push_back(BareName(line));
  std::ifstream cmdline(base + "/cmdline");
  if (std::getline(cmdline, line, '\0') && !line.empty()) names.push_back(BareName(line));
  return names;
}

// This user's processes that go by name, each held by a pid file descriptor opened before its
// owner was checked (so the check is of the process that will be signalled).
std::vector<Found> FindPrograms(const std::string& name) {
  std::vector<Found> found;
  const pid_t self = getpid();
  const pid_t parent = getppid();
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return found;
  while (const dirent* entry = readdir(proc)) {
    char* end = nullptr;
    const long number = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || number <= 0) continue;
    const auto pid = static_cast<pid_t>(number);
    if (pid == self || pid == parent) continue;
    const int pidfd = OpenPid(pid);
    if (pidfd < 0) continue;
    struct stat owner {};
    const bool mine =
        stat(("/proc/" + std::to_string(pid)).c_str(), &owner) == 0 && owner.st_uid == getuid();
    const std::vector<std::string> names = mine ? NamesOf(pid) : std::vector<std::string>{};
    if (mine && std::find(names.begin(), names.end(), name) != names.end()) {
      found.push_back({pid, pidfd});
    } else {
      close(pidfd);
    }
  }
  closedir(proc);
  return found;
}

// Asks every window of the found processes to close; true when any was asked.
bool CloseWindows(const std::vector<Found>& found) {
  if (std::getenv("DISPLAY") == nullptr) return false;
  bool asked = false;
  auto desktop = vx::platform::MakeX11DesktopWindows();
  for (const vx::platform::DesktopWindow& window : desktop->TopWindows()) {
    const long owner = desktop->ProcessOf(window.handle);
    for (const Found& f : found) {
      if (owner == static_cast<long>(f.pid) && desktop->Close(window.handle)) asked = true;
    }
  }
  return asked;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || BareName(argv[1]).empty()) {
    std::fprintf(stderr, "%s: usage: vx-killproc NAME\n", kProgram);
    return 1;
  }
  const std::string name = BareName(argv[1]);
  std::vector<Found> found = FindPrograms(name);
  if (found.empty()) {
    std::fprintf(stderr, "%s: no program named %s runs\n", kProgram, argv[1]);
    return 2;
  }
  if (CloseWindows(found)) {
    const auto deadline = std::chrono::steady_clock::now() + kCloseGrace;
    while (
        std::chrono::steady_clock::now() < deadline &&
        !std::all_of(found.begin(), found.end(), [](const Found& f) { return Ended(f.pidfd); })) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  for (const Found& f : found) {
    if (!Ended(f.pidfd)) Signal(f.pidfd, SIGTERM);
    close(f.pidfd);
  }
  return 0;
}
