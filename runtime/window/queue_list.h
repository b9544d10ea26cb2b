// A queue shown in a list: each entry's fields, as texts in the order the list format numbers
// them, come from a function of the entry.
//
//   QueueList<TrayItem> rows(queue, [](const TrayItem& e) { return ListFields{e.Name.str(),
//   e.Icon}; }); window.List("80L~Name~@s20@").From(&rows);
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/queue.h"
#include "runtime/window/control.h"

namespace vx {

using ListFields = std::vector<std::string>;

template <class Record>
class QueueList final : public ListSource {
 public:
  QueueList(const Queue<Record>& queue, std::function<ListFields(const Record&)> fields)
      : queue_(queue), fields_(std::move(fields)) {}

  std::size_t Records() const override { return static_cast<std::size_t>(queue_.Records()); }
  std::vector<std::string> Fields(std::size_t row) const override {
    return fields_(queue_[static_cast<long>(row) + 1]);
  }

 private:
  const Queue<Record>& queue_;
  std::function<ListFields(const Record&)> fields_;
};

}  // namespace vx
