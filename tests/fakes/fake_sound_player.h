// A sound player that plays nothing: it records what it was asked to play.
#pragma once

#include <filesystem>
#include <vector>

#include "platform/sound.h"

namespace vx::test {

class FakeSoundPlayer final : public platform::SoundPlayer {
 public:
  bool Play(const std::filesystem::path& wav) override {
    played.push_back(wav);
    return plays;
  }
  void Stop() override { ++stops; }
  void Beep() override { ++beeps; }

  bool plays = true;                          // what Play answers
  std::vector<std::filesystem::path> played;  // every file asked for, in order
  int stops = 0;
  int beeps = 0;
};

}  // namespace vx::test
