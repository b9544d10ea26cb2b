#include "runtime/storage/open_burst.h"

#include <atomic>

namespace vx::storage {
namespace {

struct BurstState {
  int depth = 0;
  std::uint64_t id = 0;
};

BurstState& ThisThread() {
  thread_local BurstState state;
  return state;
}

}  // namespace

OpenBurst::OpenBurst() {
  static std::atomic<std::uint64_t> next{1};
  BurstState& s = ThisThread();
  if (s.depth++ == 0) s.id = next.fetch_add(1, std::memory_order_relaxed);
}

OpenBurst::~OpenBurst() {
  BurstState& s = ThisThread();
  if (--s.depth == 0) s.id = 0;
}

std::uint64_t CurrentOpenBurst() { return ThisThread().id; }

}  // namespace vx::storage
