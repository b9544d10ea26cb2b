#include "program/schedule/form_request.h"

#include "framework/request_globals.h"
#include "runtime/window/window.h"

namespace vx {

std::string FormTitle(long request, std::string_view noun) {
  switch (request) {
    case InsertRecord: return "New " + std::string(noun);
    case DeleteRecord: return "Delete " + std::string(noun);
    case ViewRecord: return "View " + std::string(noun);
    default: return "Edit " + std::string(noun);
  }
}

void ApplyFormRequest(Window& window, long request, std::string_view noun, int ok, int cancel) {
  window.Title(FormTitle(request, noun));
  if (request != ViewRecord && request != DeleteRecord) return;
  for (const auto& control : window.Controls()) {
    switch (control->Type()) {
      case ControlType::Entry:
      case ControlType::Text:
      case ControlType::Spin:
      case ControlType::Check:
      case ControlType::Option:
      case ControlType::Radio:
      case ControlType::Combo:
      case ControlType::DropList:
        control->Disable();
        break;
      case ControlType::Button:
        // Pickers beside the fields change them too.
        if (control->Number() != ok && control->Number() != cancel) control->Disable();
        break;
      default:
        break;
    }
  }
  if (request == ViewRecord) window[ok].Hide();
  window[cancel].SetText("Cl&ose").Icon("~close.ico");
}

}  // namespace vx
