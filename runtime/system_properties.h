// Numbered settings of the runtime as a whole (not of one window) that a class may switch on
// for every window of the process, such as the colouring of sheet tabs.
#pragma once

namespace vx {

// The property that lets sheet tabs carry colours of their own.
inline constexpr int kColouredTabsProperty = 31932;

// 0 for a property never set. Safe from any thread.
long SystemProperty(int property);
void SetSystemProperty(int property, long value);

}  // namespace vx
