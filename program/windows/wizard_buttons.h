// The buttons a wizard ends with: "&Back", "&Next", "&OK" and "Cancel" in a row of their own
// below the pages, which the front end puts at the right, so that they stand in the same place
// on every page and in every wizard.
#pragma once

namespace vx {

class Window;

struct WizardButtons {
  int back = 0, next = 0, ok = 0, cancel = 0;
};

// Adds the row to `window`: "&Next" is the default button and "Cancel" the one Esc presses.
WizardButtons AddWizardButtons(Window& window);

}  // namespace vx
