#include "runtime/window/property_bag.h"

#include <charconv>

namespace vx {

long TextToNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  long n = 0;
  std::from_chars(text.data(), text.data() + text.size(), n);
  return n;
}

const std::string& PropertyBag::View(Prop prop) const {
  static const std::string kNone;
  auto it = values_.find(prop);
  return it == values_.end() ? kNone : it->second;
}

bool PropertyBag::Change(Prop prop, std::string_view value) {
  auto it = values_.lower_bound(prop);
  if (it != values_.end() && it->first == prop) {
    if (it->second == value) return false;
    it->second.assign(value);
    return true;
  }
  values_.emplace_hint(it, prop, value);
  return true;
}

}  // namespace vx
