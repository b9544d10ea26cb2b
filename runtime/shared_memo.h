// Results that depend only on their key, made once for the whole process and shared read-only
// by every thread that asks for the same key (each list window runs on a thread of its own, so
// a per-thread memo would never answer). A value is handed out as a shared pointer to const, so
// a thread keeps what it was given however the memo changes afterwards; a caller that wants to
// change a result copies it. The memo is emptied when it has grown to its bound: what it holds
// is the few results a program asks for again and again (list designs, table structures), and a
// key that keeps changing must not make it grow without end. Make a memo a function-local
// static that is never destroyed (`static auto& memo = *new SharedMemo<...>(bound)`), so that a
// thread still running as the process ends finds it whole.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace vx {

template <class Key, class Value, class Less = std::less<>>
class SharedMemo {
 public:
  explicit SharedMemo(std::size_t bound) : bound_(bound) {}
  SharedMemo(const SharedMemo&) = delete;
  SharedMemo& operator=(const SharedMemo&) = delete;

  // The value kept for `key`, or nullptr.
  template <class K>
  std::shared_ptr<const Value> Find(const K& key) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = values_.find(key);
    return it == values_.end() ? nullptr : it->second;
  }

  // Keeps `value` for `key` (a value another thread kept meanwhile stays) and answers the kept one.
  std::shared_ptr<const Value> Keep(Key key, Value value) {
    auto made = std::make_shared<const Value>(std::move(value));
    const std::lock_guard<std::mutex> lock(mutex_);
    if (values_.size() >= bound_) values_.clear();
    return values_.emplace(std::move(key), std::move(made)).first->second;
  }

  // The value kept for `key`, made by `make()` (outside the lock) when there is none.
  template <class K, class Make>
  std::shared_ptr<const Value> Get(const K& key, Make&& make) {
    if (auto found = Find(key)) return found;
    return Keep(Key(key), make());
  }

 private:
  const std::size_t bound_;
  mutable std::mutex mutex_;
  std::map<Key, std::shared_ptr<const Value>, Less> values_;
};

}  // namespace vx
