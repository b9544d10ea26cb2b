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

BurstMemo::Memo& BurstMemo::ThisThread() {
  // One memo per object and thread; the objects are static, so their addresses are stable.
  thread_local std::unordered_map<const BurstMemo*, Memo> memos;
  return memos[this];
}

std::string BurstMemo::Get(const std::string& path, const Find& find) {
  bool keep = true;
  const std::uint64_t burst = CurrentOpenBurst();
  if (burst == 0) return find(path, keep);
  Memo& memo = ThisThread();
  if (memo.burst != burst) {
    memo.values.clear();
    memo.burst = burst;
  }
  if (const auto it = memo.values.find(path); it != memo.values.end()) return it->second;
  std::string value = find(path, keep);
  if (keep) memo.values.emplace(path, value);
  return value;
}

}  // namespace vx::storage
