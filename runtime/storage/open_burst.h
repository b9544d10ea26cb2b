// Tables opened one after another as one piece of work (a window opening its table tree).
//
// Opening a table a connection checked before asks the file for its schema version, to see
// that nothing changed its structure since; that read is a statement of its own, with a read
// lock taken and dropped. While an OpenBurst lives on a thread, each connection reads the
// version once and the other opens of the burst reuse it. Nothing is missed that a single
// open would have caught: another connection's change in the middle of a burst is as late as
// one made just after a single open's check, and the next burst (or open outside one) reads
// the version again and checks anew every table recorded with an older one. A change through
// the connection itself (a table made again) drops what it read at once. The file each table's
// name stands for is found on disk and its path made canonical once a burst too, on the same
// grounds; a name that stands for no file is looked up again.
//
// Bursts nest; the outermost one ends the reuse. Each burst has an id never used before, so a
// version read in one burst is never taken for another, on this thread or any other.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace vx::storage {

class OpenBurst {
 public:
  OpenBurst();
  ~OpenBurst();
  OpenBurst(const OpenBurst&) = delete;
  OpenBurst& operator=(const OpenBurst&) = delete;
};

// The id of the burst open on the calling thread; 0 outside any.
std::uint64_t CurrentOpenBurst();

// What `find` answers for a key, found once per burst on the calling thread: outside a burst
// it is asked every time. `find` sets `keep` to false for an answer that must be asked again
// (one that may change within the burst). Each memo is one static object per caller. The
// answer is the memo's own: it stays as it is until the caller's next Get on the same thread.
// `kept`, when given, is set to whether the answer holds for the rest of the burst (false
// outside a burst).
template <class Value>
class BurstMemo {
 public:
  using Find = Value (*)(const std::string& key, bool& keep);
  const Value& Get(const std::string& key, Find find, bool* kept = nullptr) {
    bool keep = true;
    Memo& memo = ThisThread();
    const std::uint64_t burst = CurrentOpenBurst();
    if (burst == 0) {
      if (kept) *kept = false;
      memo.last = find(key, keep);
      return memo.last;
    }
    if (memo.burst != burst) {
      memo.values.clear();
      memo.burst = burst;
    }
    if (kept) *kept = true;
    if (const auto it = memo.values.find(key); it != memo.values.end()) return it->second;
    Value value = find(key, keep);
    if (!keep) {
      if (kept) *kept = false;
      memo.last = std::move(value);
      return memo.last;
    }
    // The map's nodes stay where they are as it grows, so the answer stays valid.
    return memo.values.emplace(key, std::move(value)).first->second;
  }

 private:
  struct Memo {
    std::uint64_t burst = 0;
    std::unordered_map<std::string, Value> values;
    Value last;  // the last answer not kept
  };
  Memo& ThisThread() {
    // One memo per object and thread; the objects are static, so their addresses are stable.
    thread_local std::unordered_map<const BurstMemo*, Memo> memos;
    return memos[this];
  }
};

}  // namespace vx::storage
