// A control's use-variable: any program variable, read and written as text.
#pragma once

#include <charconv>
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "runtime/decimal.h"
#include "runtime/fixed_string.h"

namespace vx {

class Binding {
 public:
  Binding() = default;

  template <std::size_t N>
  Binding(String<N>& v)
      : address_(&v), get_(&GetFixed<String<N>>), set_(&SetFixed<String<N>>) {}  // NOLINT
  template <std::size_t N>
  Binding(CString<N>& v)
      : address_(&v), get_(&GetFixed<CString<N>>), set_(&SetFixed<CString<N>>) {}  // NOLINT
  Binding(std::string& v) : address_(&v), get_(&GetStd), set_(&SetStd) {}          // NOLINT
  template <class T>
  requires std::integral<T> Binding(T& v)
      : address_(&v), get_(&GetInt<T>), set_(&SetInt<T>), numeric_(true) {}  // NOLINT
  Binding(Decimal& v)
      : address_(&v), get_(&GetDecimal), set_(&SetDecimal), numeric_(true) {}  // NOLINT

  bool bound() const { return address_ != nullptr; }
  bool numeric() const { return numeric_; }
  const void* address() const { return address_; }
  std::string Get() const { return address_ ? get_(address_) : std::string(); }
  void Set(std::string_view text) const {
    if (address_) set_(address_, text);
  }

 private:
  using Getter = std::string (*)(const void*);
  using Setter = void (*)(void*, std::string_view);

  template <class F>
  static std::string GetFixed(const void* p) {
    return static_cast<const F*>(p)->str();
  }
  template <class F>
  static void SetFixed(void* p, std::string_view t) {
    *static_cast<F*>(p) = t;
  }
  static std::string GetStd(const void* p) { return *static_cast<const std::string*>(p); }
  static void SetStd(void* p, std::string_view t) { static_cast<std::string*>(p)->assign(t); }
  template <class T>
  static std::string GetInt(const void* p) {
    return std::to_string(+*static_cast<const T*>(p));
  }
  template <class T>
  static void SetInt(void* p, std::string_view t) {
    // Text that is not a number stores 0, as an assignment of text to a number does.
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    long long n = 0;
    std::from_chars(t.data(), t.data() + t.size(), n);
    *static_cast<T*>(p) = static_cast<T>(n);
  }

  static std::string GetDecimal(const void* p) {
    return static_cast<const Decimal*>(p)->ToString();
  }
  static void SetDecimal(void* p, std::string_view t) {
    auto& d = *static_cast<Decimal*>(p);
    d = Decimal::Parse(t, d.places()).value_or(Decimal::FromUnits(0, d.places()));
  }

  void* address_ = nullptr;
  Getter get_ = nullptr;
  Setter set_ = nullptr;
  bool numeric_ = false;
};

}  // namespace vx
