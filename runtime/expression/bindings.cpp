#include "runtime/expression/bindings.h"

#include "runtime/expression/text_case.h"

namespace vx {

void ExpressionBindings::BindLater(std::function<void(ExpressionBindings&)> binder) {
  pending_.push_back(std::move(binder));
}

void ExpressionBindings::BindPending() const {
  if (pending_.empty()) return;
  // A binder binds through Bind, which comes back here: take the list first.
  auto binders = std::move(pending_);
  pending_.clear();
  auto* self = const_cast<ExpressionBindings*>(this);
  for (auto& binder : binders) binder(*self);
}

void ExpressionBindings::Bind(std::string_view name, Getter getter) {
  BindPending();
  const int slot = Find(name);
  if (slot >= 0) {
    entries_[static_cast<std::size_t>(slot)].second = std::move(getter);
    return;
  }
  entries_.emplace_back(AsciiUpper(name), std::move(getter));
}

void ExpressionBindings::BindValue(std::string_view name, ExprValue value) {
  Bind(name, [value = std::move(value)] { return value; });
}

int ExpressionBindings::Find(std::string_view name) const {
  BindPending();
  const std::string upper = AsciiUpper(name);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].first == upper) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace vx
