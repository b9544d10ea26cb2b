// The properties of a window or control, kept as texts by property.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "runtime/window/properties.h"

namespace vx {

// The leading number of a text ("12 ..." gives 12); 0 when there is none.
long TextToNumber(std::string_view text);

class PropertyBag {
 public:
  std::string Get(Prop prop) const { return std::string(View(prop)); }
  // The value as held, without a copy; empty when never set. Valid until the next Change.
  const std::string& View(Prop prop) const;
  long GetNumber(Prop prop) const { return TextToNumber(View(prop)); }
  // Stores the value and answers whether it differs from the one held before.
  bool Change(Prop prop, std::string_view value);
  const std::map<Prop, std::string>& All() const { return values_; }
  // Hands every value out (the bag is empty until they come back) and takes them back.
  std::map<Prop, std::string> Lend() { return std::move(values_); }
  void TakeBack(std::map<Prop, std::string> values) { values_ = std::move(values); }

 private:
  std::map<Prop, std::string> values_;
};

}  // namespace vx
