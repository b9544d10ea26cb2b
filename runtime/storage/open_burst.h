// Tables opened one after another as one piece of work (a window opening its table tree).
//
// Opening a table a connection checked before asks the file for its schema version, to see
// that nothing changed its structure since; that read is a statement of its own, with a read
// lock taken and dropped. While an OpenBurst lives on a thread, each connection reads the
// version once and the other opens of the burst reuse it. Nothing is missed that a single
// open would have caught: another connection's change in the middle of a burst is as late as
// one made just after a single open's check, and the next burst (or open outside one) reads
// the version again and checks anew every table recorded with an older one. A change through
// the connection itself (a table made again) drops what it read at once. The path each table's
// file name stands for is made canonical once a burst too, on the same grounds.
//
// Bursts nest; the outermost one ends the reuse. Each burst has an id never used before, so a
// version read in one burst is never taken for another, on this thread or any other.
#pragma once

#include <cstdint>
#include <functional>
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

// What `find` answers for a path, found once per burst on the calling thread: outside a burst
// it is asked every time. `find` sets `keep` to false for an answer that must be asked again
// (one that may change within the burst). Each memo is one static object per caller.
class BurstMemo {
 public:
  using Find = std::function<std::string(const std::string& path, bool& keep)>;
  std::string Get(const std::string& path, const Find& find);

 private:
  struct Memo {
    std::uint64_t burst = 0;
    std::unordered_map<std::string, std::string> values;
  };
  Memo& ThisThread();
};

}  // namespace vx::storage
