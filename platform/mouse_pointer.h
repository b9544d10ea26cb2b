// The desktop's mouse pointer: where it is on the screen and moving it there.
#pragma once

#include <memory>
#include <string>

namespace vx::platform {

class MousePointer {
 public:
  virtual ~MousePointer() = default;
  // The pointer's place in screen pixels; false (and 0, 0) when no display answers.
  virtual bool Position(long& x, long& y) = 0;
  // Moves the pointer to a place on the screen; false when no display answers.
  virtual bool MoveTo(long x, long y) = 0;
};

// The X11 pointer of the named display (empty: $DISPLAY), on a connection opened per call.
std::unique_ptr<MousePointer> MakeX11MousePointer(std::string display_name = {});

}  // namespace vx::platform
