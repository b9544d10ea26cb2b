// Whether a display is there to draw on, found without starting Qt (which ends the process
// when its display cannot be opened).
#pragma once

namespace vx::qt {

bool DisplayAvailable();

}  // namespace vx::qt
