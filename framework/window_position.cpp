#include "framework/window_position.h"

#include <string>

#include "runtime/window/window.h"

namespace vx {
namespace {
constexpr std::string_view kKeys[] = {"XPos", "YPos", "Width", "Height"};
constexpr Prop kProps[] = {Prop::X, Prop::Y, Prop::Width, Prop::Height};
}  // namespace

void SaveWindowPlace(IniFile& ini, std::string_view name, const Window& window) {
  if (window.GetNumber(Prop::Maximize) || window.GetNumber(Prop::Iconize) ||
      window.GetNumber(Prop::Hide))
    return;
  // A window the front end never placed has no size: storing 0 by 0 would open it that small.
  if (window.GetNumber(Prop::Width) <= 0 || window.GetNumber(Prop::Height) <= 0) return;
  for (int i = 0; i < 4; ++i) ini.Put(name, kKeys[i], std::to_string(window.GetNumber(kProps[i])));
}

bool FetchWindowPlace(const IniFile& ini, std::string_view name, Window& window) {
  // The four keys from one read of the file.
  const IniSection section = ini.Section(name);
  std::string values[4];
  for (int i = 0; i < 4; ++i) {
    values[i] = section.Get(kKeys[i], "");
    if (values[i].empty()) return false;
  }
  for (int i = 0; i < 4; ++i) window.Set(kProps[i], std::string_view(values[i]));
  return true;
}

}  // namespace vx
