// A driven control's place and size as its window's model holds them: x, y, width and height in
// dialog units, for comparing a whole placement in one expectation.
#pragma once

#include <array>
#include <string>

#include "runtime/window/window.h"
#include "tests/support/test_driver.h"

namespace vx {

inline std::array<long, 4> PlaceOf(const DriverControl& c) {
  return {std::stol(c.Get(Prop::X)), std::stol(c.Get(Prop::Y)), std::stol(c.Get(Prop::Width)),
          std::stol(c.Get(Prop::Height))};
}

}  // namespace vx
