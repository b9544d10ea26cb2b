#include "runtime/window/property_bag.h"

#include <charconv>

namespace vx {

long TextToNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  long n = 0;
  std::from_chars(text.data(), text.data() + text.size(), n);
  return n;
}

std::string PropertyBag::Get(Prop prop) const {
  auto it = values_.find(prop);
  return it == values_.end() ? std::string() : it->second;
}

bool PropertyBag::Change(Prop prop, std::string_view value) {
  auto it = values_.find(prop);
  if (it != values_.end() && it->second == value) return false;
  values_[prop] = std::string(value);
  return true;
}

}  // namespace vx
