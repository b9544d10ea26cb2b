// "Send Keys": the step's keystrokes in bursts a step gap apart, each at most BURSTSIZE plain
// characters or one bracketed key group, all within one tick.
#include <algorithm>
#include <array>
#include <chrono>
#include <string>

#include "datadll/dictionary/globals.h"
#include "program/script_engine/script_step_run.h"
#include "program/script_engine/send_keys.h"
#include "runtime/fixed_string.h"
#include "runtime/threads.h"

namespace vx {
namespace {

// The tray's picture for burst 1 to 8.
constexpr std::array<std::string_view, 8> kBurstIcons = {
    "busykey.ico",  "busykey2.ico", "busykey3.ico", "busykey4.ico",
    "busykey2.ico", "busykey4.ico", "busykey.ico",  "busykey3.ico",
};

// One step gap (GLOBALDELAY hundredths), slept in tenths of it. It is measured on the
// monotonic clock, so neither midnight nor a change of the system time stretches it.
void PauseBetweenBursts() {
  if (GLOBALDELAY <= 0) return;
  const auto gap = std::chrono::milliseconds(static_cast<long long>(GLOBALDELAY) * 10);
  const auto slice = std::max<std::chrono::milliseconds>(gap / 10, std::chrono::milliseconds(1));
  const auto deadline = std::chrono::steady_clock::now() + gap;
  while (std::chrono::steady_clock::now() < deadline) SleepFor(slice);
}

}  // namespace

void SendKeysStep(ScriptStepRun& run) {
  ScriptExecutor& ex = run.executor;
  ex.KeyBuffer = std::string(run.step.SCR.Keystrokes.clipped());
  // A burst types at least one character, whatever BURSTSIZE says.
  const std::size_t burst = static_cast<std::size_t>(std::max<std::int32_t>(BURSTSIZE, 1));
  while (!ClipView(ex.KeyBuffer).empty()) {
    PauseBetweenBursts();
    ex.SendRound = ex.SendRound >= 8 || ex.SendRound < 1 ? 1 : ex.SendRound + 1;
    ex.Frame().ShowTrayIcon(kBurstIcons[static_cast<std::size_t>(ex.SendRound - 1)]);
    const std::size_t open = ex.KeyBuffer.find('[');
    if (open == std::string::npos) {
      TypeText(ClipView(ex.KeyBuffer));
      ex.KeyBuffer.clear();
    } else if (open == 0) {
      ex.KeyBuffer.erase(0, 1);
      // Without a closing bracket the rest is plain text, typed by the bursts that follow.
      if (const std::size_t close = ex.KeyBuffer.find(']'); close != std::string::npos) {
        SendKeyText(std::string_view(ex.KeyBuffer).substr(0, close));
        ex.KeyBuffer.erase(0, close + 1);
      }
    } else {
      const std::size_t count = std::min(open, burst);
      TypeText(std::string_view(ex.KeyBuffer).substr(0, count));
      ex.KeyBuffer.erase(0, count);
    }
  }
}

}  // namespace vx
