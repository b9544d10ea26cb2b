#include "platform/sound.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/x11_display.h"

namespace vx::platform {
namespace {

// The first executable file of that name in the folders of a PATH-style list; empty when none.
std::filesystem::path FindOnPath(std::string_view search_path, std::string_view name) {
  while (true) {
    const auto colon = search_path.find(':');
    const std::string_view folder = search_path.substr(0, colon);
    if (!folder.empty()) {
      const std::filesystem::path candidate = std::filesystem::path(folder) / name;
      std::error_code ec;
      if (std::filesystem::is_regular_file(candidate, ec) && access(candidate.c_str(), X_OK) == 0)
        return candidate;
    }
    if (colon == std::string_view::npos) return {};
    search_path.remove_prefix(colon + 1);
  }
}

}  // namespace

SystemSoundPlayer::SystemSoundPlayer(ProcessLauncher& launcher, std::string search_path)
    : launcher_(launcher), search_path_(std::move(search_path)) {}

SystemSoundPlayer::~SystemSoundPlayer() { Stop(); }

bool SystemSoundPlayer::Play(const std::filesystem::path& wav) {
  std::error_code ec;
  if (wav.empty() || !std::filesystem::is_regular_file(wav, ec) || access(wav.c_str(), R_OK) != 0)
    return false;
  std::string search_path = search_path_;
  if (search_path.empty()) {
    const char* path = std::getenv("PATH");
    search_path = path != nullptr ? path : "";
  }
  ProcessRequest request;
  // An absolute file name can never be taken for an option of the player.
  const std::string file = std::filesystem::absolute(wav, ec).string();
  if (const auto paplay = FindOnPath(search_path, "paplay"); !paplay.empty()) {
    request.argv = {paplay.string(), file};
  } else if (const auto aplay = FindOnPath(search_path, "aplay"); !aplay.empty()) {
    request.argv = {aplay.string(), "-q", file};
  } else {
    return false;
  }

  std::lock_guard lock(mutex_);
  StopLocked();
  const StartResult started = launcher_.Start(request);
  playing_ = started.handle;
  return static_cast<bool>(started);
}

void SystemSoundPlayer::Stop() {
  std::lock_guard lock(mutex_);
  StopLocked();
}

void SystemSoundPlayer::StopLocked() {
  if (playing_ == 0) return;
  launcher_.Terminate(playing_);  // does nothing once the sound has ended by itself
  launcher_.Release(playing_);
  playing_ = 0;
}

void SystemSoundPlayer::Beep() { RingBell(); }

SoundPlayer& SystemSound() {
  static SystemSoundPlayer player(SystemProcesses());
  return player;
}

void RingBell() {
  const char* display_name = std::getenv("DISPLAY");
  if (display_name != nullptr && *display_name != '\0') {
    // A connection of its own: no display shared with other threads is touched.
    if (Display* display = XOpenDisplay(nullptr); display != nullptr) {
      SurviveConnectionLoss(display);
      XBell(display, 0);
      XCloseDisplay(display);  // flushes the request
      return;
    }
  }
  const int terminal = open("/dev/tty", O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (terminal < 0) return;
  [[maybe_unused]] const ssize_t written = write(terminal, "\a", 1);
  close(terminal);
}

}  // namespace vx::platform
