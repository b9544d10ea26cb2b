// The daily history pass: phase 2 of Main's tick removes completed tasks (and, when the user
// asks for it, every disabled one) once they are old enough, then keeps the holiday list current.
#pragma once

namespace vx {

// Runs at most once a day (CHECKEDHISTORY) and only while HISTORYEXPIRES is set. Removes each
// disabled task that is completed, or any when REMOVEUNCOMPLETED is set, once HISTORYEXPIRES
// days have passed since its date (at once when HISTORYEXPIRES is negative), with its script
// steps and per-user rows. Then moves past holidays on and adds the common ones once. True when
// the pass ran, so that the task lists are refreshed.
bool RemoveHistory();

}  // namespace vx
