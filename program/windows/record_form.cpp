#include "program/windows/record_form.h"

#include "framework/request_globals.h"

namespace vx {

std::string FormTitle(long request, std::string_view noun) {
  switch (request) {
    case InsertRecord:
      return "New " + std::string(noun);
    case DeleteRecord:
      return "Delete " + std::string(noun);
    case ViewRecord:
      return "View " + std::string(noun);
    default:
      return "Edit " + std::string(noun);
  }
}

void RecordForm::ApplyRequest() {
  Window& w = window();
  w.Title(FormTitle(Request, noun_));
  if (Request != ViewRecord && Request != DeleteRecord) return;
  for (const auto& control : w.Controls()) {
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
        if (control->Number() != OkControl && control->Number() != CancelControl)
          control->Disable();
        break;
      default:
        break;
    }
  }
  if (Request == ViewRecord) w[OkControl].Hide();
  w[CancelControl].SetText("Cl&ose").Icon("~close.ico");
}

Level RecordForm::Init() {
  WindowManager::Init();
  relation_.Open();
  Open();
  ApplyRequest();
  Required.INIT(window(), "Missing Information", "@PROMPT must be entered.");
  return Level_Benign;
}

void RecordForm::ColourTabs() {
  tabs_.INIT(window(), -1, -1, 0, 0, 1, -1, kOtherTabColour);
  tabs_.COLOURTABS();
}

bool RecordForm::RecolourTabs(int sheet) {
  if (FIELD() != sheet) return false;
  tabs_.COLOURTABS();
  return true;
}

Level RecordForm::Kill() {
  tabs_.KILL();
  Required.KILL();
  WindowManager::Kill();
  relation_.Close();
  return Level_Benign;
}

Level RecordForm::TakeCompleted() {
  Update();
  if ((Request == InsertRecord || Request == ChangeRecord) && Required.INCOMPLETE() != 0)
    return Level_Notify;
  return WindowManager::TakeCompleted();
}

}  // namespace vx
