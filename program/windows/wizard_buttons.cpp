#include "program/windows/wizard_buttons.h"

#include "runtime/window/window.h"

namespace vx {

WizardButtons AddWizardButtons(Window& window) {
  Control& row = window.Row();
  WizardButtons buttons;
  buttons.back = row.Button("&Back");
  buttons.next = row.Button("&Next").Default();
  buttons.ok = row.Button("&OK");
  buttons.cancel = row.Button("Cancel");
  window.SetCancelButton(buttons.cancel);
  return buttons;
}

}  // namespace vx
