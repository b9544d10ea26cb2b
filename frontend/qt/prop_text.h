// How a window model's property text reads on the Qt side: as Qt text (UTF-8), as the text a
// control shows (clipped where the model clips it), as a number, as a switch. Every file of the
// Qt window reads the model's strings through these, so they read alike everywhere.
#pragma once

#include <QString>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "runtime/fixed_string.h"
#include "runtime/window/front_end.h"
#include "runtime/window/layout.h"

namespace vx::qt {

inline QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline QString Shown(std::string_view text) { return Q(ClipView(text)); }
inline long Number(const std::string& text) { return std::atol(text.c_str()); }
inline bool On(const std::string& text) { return Number(text) != 0; }

// The value of `prop` among `props`, or nullptr when it was never set.
inline const std::string* Find(const std::map<Prop, std::string>& props, Prop prop) {
  auto it = props.find(prop);
  return it == props.end() ? nullptr : &it->second;
}

// The layout a window or container declares (form rows when it declares none).
inline Layout LayoutOf(const std::map<Prop, std::string>& props) {
  const std::string* text = Find(props, Prop::Layout);
  return Layout::Parse(text ? *text : std::string());
}

// The row and column the model placed a control at; 0 where it did not.
inline LayoutCell CellOf(const std::map<Prop, std::string>& props) {
  const std::string* row = Find(props, Prop::Row);
  const std::string* column = Find(props, Prop::Column);
  return {row ? static_cast<int>(Number(*row)) : 0, column ? static_cast<int>(Number(*column)) : 0};
}

}  // namespace vx::qt
