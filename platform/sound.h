// Playing alarm sounds (WAV files) and the bell.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>

#include "platform/process.h"

namespace vx::platform {

// Plays sounds without ever blocking the caller. Implemented for real by SystemSoundPlayer;
// tests use a fake.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Starts playing the file and returns at once; a sound still playing is stopped first. False
  // when it cannot be played: the file is missing or unreadable, or no player is installed.
  virtual bool Play(const std::filesystem::path& wav) = 0;
  // Stops the sound that is playing, if any.
  virtual void Stop() = 0;
  // The system beep.
  virtual void Beep() = 0;
};

// Plays through the system's player, paplay, else aplay, found on the search path and started
// as a child that is reaped when it ends. Safe to use from several threads.
class SystemSoundPlayer final : public SoundPlayer {
 public:
  // search_path: the folders to look for the players in, as in $PATH; empty: $PATH itself.
  explicit SystemSoundPlayer(ProcessLauncher& launcher, std::string search_path = {});
  ~SystemSoundPlayer() override;
  SystemSoundPlayer(const SystemSoundPlayer&) = delete;
  SystemSoundPlayer& operator=(const SystemSoundPlayer&) = delete;

  bool Play(const std::filesystem::path& wav) override;
  void Stop() override;
  void Beep() override;

 private:
  void StopLocked();

  ProcessLauncher& launcher_;
  std::string search_path_;
  std::mutex mutex_;
  ProcessHandle playing_ = 0;
};

// The process-wide player (through SystemProcesses()).
SoundPlayer& SystemSound();

// Rings the bell: on the X display when one can be opened ($DISPLAY), else a '\a' to the
// controlling terminal; nothing when there is neither.
void RingBell();

}  // namespace vx::platform
