// One value per runtime thread for each object that asks for it.
//
// File and manager objects are shared by the whole process, but their working state (open
// count, current record, walk position) belongs to the thread that uses them, as the record
// buffers do. Each object gets an id that is never reused, so state left behind by a destroyed
// object can never be picked up by a new one at the same address.
#pragma once

#include <atomic>
#include <cstdint>
#include <unordered_map>

namespace vx::storage {

inline std::uint64_t NextObjectId() {
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

template <class T>
class PerThread {
 public:
  T& get() const {
    thread_local std::unordered_map<std::uint64_t, T> values;
    return values[id_];
  }
  std::uint64_t id() const { return id_; }

 private:
  std::uint64_t id_ = NextObjectId();
};

}  // namespace vx::storage
