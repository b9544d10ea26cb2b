// Severity levels that the framework's Take... methods and Init answer.
#pragma once

namespace vx {

// Level_Benign: go on. Level_Notify: handled, stop looking further (on a close event: refuse
// the close). Level_Fatal: end the window's event loop. Init answering anything but
// Level_Benign means the window does not run.
enum Level : int {
  Level_Benign = 0,
  Level_User = 1,
  Level_Program = 2,
  Level_Fatal = 3,
  Level_Cancel = 4,
  Level_Notify = 5,
};

}  // namespace vx
