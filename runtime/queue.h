// Queue<Record>: the runtime's typed in-memory list (QUEUE) with its record buffer.
//
// Code fills `buffer` and adds it, or gets an entry into `buffer` and reads its fields there:
//
//   q.buffer.NAME = "X"; q.Add();            // append
//   q.AddSorted(&Var::NAME);                 // insert in NAME order
//   if (q.Get(3) == 0) Use(q.buffer.NAME);   // 1-based position
//   q.buffer.NAME = "X"; q.GetBy(&Var::NAME); // first entry whose NAME equals the buffer's
//   q.buffer.VALUE = "1"; q.Put();           // write back to the entry last read
//   q.Delete();                              // remove the entry last read
//   q.SortBy(&Var::NAME, Desc(&Var::VALUE)); // stable
//
// Every operation that can fail returns 0 or kQueueEntryNotFound (30) and keeps that in
// ErrorCode(). Positions count from 1; POINTER is the position of the entry last read, added
// or written, 0 when there is none. A failed Get, a Delete and a sort all clear the pointer, so
// a Put or Delete that follows them cannot touch an unrelated entry.
//
// Entries sit in one contiguous vector. A queue is not locked: a queue shared between runtime
// threads is guarded by the runtime lock, like every other global.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

namespace vx {

inline constexpr int kQueueEntryNotFound = 30;  // the runtime's ERRORCODE for "entry not found"

// A key field of a sort or search, ascending or descending.
template <class Record, class Field>
struct QueueKey {
  Field Record::*member;
  bool descending;
};
template <class Record, class Field>
QueueKey<Record, Field> Asc(Field Record::*member) {
  return {member, false};
}
template <class Record, class Field>
QueueKey<Record, Field> Desc(Field Record::*member) {
  return {member, true};
}

enum class SortOrder { Ascending, Descending };

template <class Record>
class Queue {
 public:
  Record buffer{};

  // Number of entries (RECORDS).
  long Records() const { return static_cast<long>(entries_.size()); }
  // Position of the entry last read, added or written; 0 for none (POINTER).
  long Pointer() const { return pointer_; }
  // Result of the last operation that can fail: 0 or kQueueEntryNotFound.
  int ErrorCode() const { return error_; }

  // Appends the buffer.
  int Add() {
    entries_.push_back(buffer);
    pointer_ = Records();
    return error_ = 0;
  }

  // Inserts the buffer at a 1-based position; positions past the end append, below 1 insert first.
  int Add(long position) {
    position = std::clamp(position, 1L, Records() + 1);
    entries_.insert(entries_.begin() + (position - 1), buffer);
    pointer_ = position;
    return error_ = 0;
  }

  // Inserts the buffer where a queue sorted by less keeps its order, after the entries it
  // equals (so equal keys stay in the order they were added).
  template <class Less>
  int AddSorted(Less less) {
    const auto at = std::upper_bound(entries_.begin(), entries_.end(), buffer, less);
    pointer_ = static_cast<long>(at - entries_.begin()) + 1;
    entries_.insert(at, buffer);
    return error_ = 0;
  }
  // The same, ordered by key fields (member pointers, Asc(...) or Desc(...)).
  template <class... Keys>
  requires(sizeof...(Keys) > 0 && !(std::is_invocable_v<Keys, const Record&, const Record&> ||
                                    ...)) int AddBy(Keys... keys) {
    return AddSorted(KeyLess(keys...));
  }

  // Reads the entry at a 1-based position into the buffer. Out of range: the buffer stays,
  // the pointer is cleared, result kQueueEntryNotFound.
  int Get(long position) {
    if (position < 1 || position > Records()) {
      pointer_ = 0;
      return error_ = kQueueEntryNotFound;
    }
    buffer = entries_[static_cast<std::size_t>(position - 1)];
    pointer_ = position;
    return error_ = 0;
  }

  // Reads the first entry for which match(entry) holds.
  template <class Match>
  requires std::is_invocable_r_v<bool, Match, const Record&>
  int GetWhere(Match match) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (match(entries_[i])) return Get(static_cast<long>(i) + 1);
    }
    pointer_ = 0;
    return error_ = kQueueEntryNotFound;
  }

  // Reads the first entry whose key fields equal those in the buffer.
  template <class... Keys>
  int GetBy(Keys... keys) {
    const Record key = buffer;
    return GetWhere([&](const Record& e) { return (FieldEqual(e, key, keys) && ...); });
  }

  // Writes the buffer over the entry last read or added.
  int Put() {
    if (pointer_ < 1 || pointer_ > Records()) return error_ = kQueueEntryNotFound;
    entries_[static_cast<std::size_t>(pointer_ - 1)] = buffer;
    return error_ = 0;
  }

  // Removes the entry last read or added; the buffer keeps its values.
  int Delete() {
    if (pointer_ < 1 || pointer_ > Records()) return error_ = kQueueEntryNotFound;
    entries_.erase(entries_.begin() + (pointer_ - 1));
    pointer_ = 0;
    return error_ = 0;
  }

  // Stable sort by a "less" comparator; Descending reverses it (equal entries keep their order
  // either way).
  template <class Less>
  void Sort(Less less, SortOrder order = SortOrder::Ascending) {
    if (order == SortOrder::Ascending) {
      std::stable_sort(entries_.begin(), entries_.end(), less);
    } else {
      std::stable_sort(entries_.begin(), entries_.end(),
                       [&](const Record& a, const Record& b) { return less(b, a); });
    }
    pointer_ = 0;
  }
  // Stable sort by key fields, each ascending or descending.
  template <class... Keys>
  requires(sizeof...(Keys) > 0 && !(std::is_invocable_v<Keys, const Record&, const Record&> ||
                                    ...)) void SortBy(Keys... keys) {
    Sort(KeyLess(keys...));
  }

  // Removes every entry (FREE); the buffer keeps its values.
  void Free() {
    entries_.clear();
    pointer_ = 0;
    error_ = 0;
  }

  // Read-only walk over the entries without touching the buffer.
  const Record& operator[](long position) const {
    return entries_.at(static_cast<std::size_t>(position - 1));
  }
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }
  void Reserve(std::size_t n) { entries_.reserve(n); }

 private:
  template <class Field>
  static QueueKey<Record, Field> AsKey(Field Record::*member) {
    return {member, false};
  }
  template <class Field>
  static QueueKey<Record, Field> AsKey(QueueKey<Record, Field> key) {
    return key;
  }

  template <class Key>
  static bool FieldEqual(const Record& a, const Record& b, Key key) {
    const auto k = AsKey(key);
    return !(a.*k.member < b.*k.member) && !(b.*k.member < a.*k.member);
  }

  // Compares a and b on one key: <0, 0 or >0 with the key's direction applied.
  template <class Key>
  static int CompareOn(const Record& a, const Record& b, Key key) {
    const auto k = AsKey(key);
    int c = (a.*k.member < b.*k.member) ? -1 : (b.*k.member < a.*k.member) ? 1 : 0;
    return k.descending ? -c : c;
  }

  template <class... Keys>
  static auto KeyLess(Keys... keys) {
    return [=](const Record& a, const Record& b) {
      int c = 0;
      ((c == 0 ? (c = CompareOn(a, b, keys), 0) : 0), ...);
      return c < 0;
    };
  }

  std::vector<Record> entries_;
  long pointer_ = 0;
  int error_ = 0;
};

}  // namespace vx
