// Names a caller makes visible to expressions (record fields, globals, script values).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "runtime/decimal.h"
#include "runtime/expression/value.h"
#include "runtime/fixed_string.h"

namespace vx {

// The only way an expression reaches program state: each bound name has a getter that is asked
// for the current value whenever the expression is evaluated, so a filter read once sees each
// record as the browse moves through them. Names match without regard to case. A bound field
// must outlive every evaluation that can read it.
class ExpressionBindings {
 public:
  using Getter = std::function<ExprValue()>;

  // Binds a name, or replaces what an earlier Bind of the same name gave.
  void Bind(std::string_view name, Getter getter);
  // Runs `binder` on these bindings when a name is first looked up or bound after this call,
  // and not before: a window whose list never evaluates an expression does not bind every
  // field of its table. Binders run once, in the order given, before that later Bind, so
  // names replace one another as if each Bind had been made at once.
  void BindLater(std::function<void(ExpressionBindings&)> binder);
  void BindValue(std::string_view name, ExprValue value);
  template <class Integer>
  requires std::is_integral_v<Integer>
  void BindInteger(std::string_view name, const Integer* field) {
    Bind(name, [field] { return ExprValue::Integer(static_cast<std::int64_t>(*field)); });
  }
  void BindDecimal(std::string_view name, const Decimal* field) {
    Bind(name, [field] {
      return ExprValue::Number(ExprNumber::FromUnits(field->units(), field->places()));
    });
  }
  template <std::size_t N>
  void BindText(std::string_view name, const String<N>* field) {
    Bind(name, [field] { return ExprValue::Text(std::string(field->view())); });
  }
  template <std::size_t N>
  void BindText(std::string_view name, const CString<N>* field) {
    Bind(name, [field] { return ExprValue::Text(std::string(field->view())); });
  }

  // The slot of a name, or -1 when it is not bound.
  int Find(std::string_view name) const;
  // The current value of a slot; a name bound to an empty getter reads as 0.
  ExprValue Read(int slot) const {
    const Getter& getter = entries_[static_cast<std::size_t>(slot)].second;
    return getter ? getter() : ExprValue();
  }

 private:
  void BindPending() const;

  std::vector<std::pair<std::string, Getter>> entries_;  // names in upper case
  // Binders not run yet; run (and cleared) by the first look-up or Bind after them.
  mutable std::vector<std::function<void(ExpressionBindings&)>> pending_;
};

}  // namespace vx
