// Long blocking work (file operations, waits) runs with the runtime lock released, so that the
// program's other threads go on meanwhile.
#pragma once

#include <functional>

namespace vx {

// Runs work with the calling runtime thread's lock released and takes the lock again after.
// Without a runner installed, runs the work as it is.
void RunBlocking(const std::function<void()>& work);
// Installed by the window runtime at start-up (and by tests).
void SetBlockingCallRunner(std::function<void(const std::function<void()>&)> runner);

}  // namespace vx
