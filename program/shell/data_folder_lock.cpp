#include "program/shell/data_folder_lock.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "platform/folder_lock.h"
#include "runtime/threads.h"

namespace vx {
namespace {

std::unique_ptr<platform::FolderLock>& HeldLock() {
  static std::unique_ptr<platform::FolderLock> lock;
  return lock;
}

}  // namespace

std::string SecondStartLine(std::string_view folder, long holder) {
  const std::string where(folder);
  if (holder == 0) {
    return "VX: another Varnodex already has the data folder " + where +
           " open; this start ends without opening it.";
  }
  return "VX: Varnodex is already running on the data folder " + where + " (process " +
         std::to_string(holder) + "); its window was brought to the front and this start ends.";
}

bool TakeDataFolder() {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::current_path(ec);
  if (ec) return true;
  // The request arrives on the lock's own thread: it is only posted, and Main takes it on its
  // own thread like any other event.
  const long main_thread = THREAD();
  auto lock = std::make_unique<platform::FolderLock>(
      folder, [main_thread] { POST(EVENT_BringFrameForward, 0, main_thread); });
  if (lock->held() || !lock->error().empty()) {
    if (!lock->error().empty()) {
      std::fprintf(stderr, "VX: the data folder %s cannot be locked (%s); it is used unlocked.\n",
                   folder.c_str(), lock->error().c_str());
    }
    HeldLock() = std::move(lock);
    return true;
  }
  long holder = 0;
  {
    RuntimeUnlocked unlocked;  // the holder may take a moment to answer
    holder = platform::AskFolderHolderToComeForward(folder, std::chrono::seconds(3));
  }
  std::fprintf(stderr, "%s\n", SecondStartLine(folder.string(), holder).c_str());
  std::fflush(stderr);
  return false;
}

void ReleaseDataFolder() { HeldLock().reset(); }

}  // namespace vx
