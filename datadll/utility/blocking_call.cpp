#include "datadll/utility/blocking_call.h"

#include <mutex>

namespace vx {
namespace {

std::mutex gRunnerMutex;
std::function<void(const std::function<void()>&)> gRunner;

}  // namespace

void RunBlocking(const std::function<void()>& work) {
  std::function<void(const std::function<void()>&)> runner;
  {
    std::lock_guard lock(gRunnerMutex);
    runner = gRunner;
  }
  if (runner) runner(work);
  else work();
}

void SetBlockingCallRunner(std::function<void(const std::function<void()>&)> runner) {
  std::lock_guard lock(gRunnerMutex);
  gRunner = std::move(runner);
}

}  // namespace vx
