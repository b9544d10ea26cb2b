#include "framework/window_manager.h"

#include "runtime/events.h"

namespace vx {

long WindowManager::Run() {
  if (Init() == Level_Benign && !Dead) Ask();
  Kill();
  if (Response == 0) Response = RequestCancelled;
  SetCurrentResponse(Response);
  return Response;
}

long WindowManager::RunUpdate(const std::function<void()>& procedure, long request) {
  SetCurrentRequest(request);
  SetCurrentResponse(0);
  if (procedure) procedure();
  const long response = CurrentResponse() ? CurrentResponse() : RequestCancelled;
  SetCurrentRequest(0);
  return response;
}

Level WindowManager::Init() {
  Request = CurrentRequest();
  OriginalRequest = Request;
  Response = 0;
  return Level_Benign;
}

Level WindowManager::Kill() {
  for (WindowComponent* c : components_) c->Kill();
  window_.Close();
  Opened = false;
  return Level_Benign;
}

void WindowManager::Open() {
  if (Opened) return;
  window_.Open();
  Opened = true;
  SetAlerts();
  Reset(true);
}

void WindowManager::Ask() {
  if (Dead) return;
  Open();
  while (window_.Accept()) {
    const Level rv = TakeEvent();
    if (rv == Level_Fatal) break;
    if (rv == Level_Notify && (EVENT() == EVENT_CloseWindow)) window_.Cycle();
  }
}

Level WindowManager::TakeEvent() {
  Level rv = Level_Benign;
  for (std::size_t i = 0; i < actions_.size(); ++i) {  // an action may add actions
    if (actions_[i].event != EVENT() || actions_[i].control != FIELD()) continue;
    rv = actions_[i].action();
    if (rv != Level_Benign) return rv;
  }
  if (FIELD() == 0) {
    rv = TakeWindowEvent();
  } else {
    switch (EVENT()) {
      case EVENT_Accepted:
        rv = TakeAccepted();
        break;
      case EVENT_Selected:
        rv = TakeSelected();
        break;
      case EVENT_NewSelection:
        rv = TakeNewSelection();
        break;
      default:
        break;
    }
    if (rv == Level_Benign) rv = TakeFieldEvent();
  }
  if (rv != Level_Benign) return rv;
  for (WindowComponent* c : components_) {
    rv = c->TakeEvent();
    if (rv != Level_Benign) return rv;
  }
  return Level_Benign;
}

Level WindowManager::TakeWindowEvent() {
  switch (EVENT()) {
    case EVENT_CloseWindow:
      return TakeCloseEvent();
    case EVENT_GainFocus:
      Reset(false);
      break;
    default:
      break;
  }
  return Level_Benign;
}

Level WindowManager::TakeFieldEvent() { return Level_Benign; }

Level WindowManager::TakeAccepted() {
  const int control = ACCEPTED();
  if (control != 0 && control == OkControl) return TakeCompleted();
  if (control != 0 && control == CancelControl) {
    Response = RequestCancelled;
    PostClose();
    return Level_Notify;
  }
  return Level_Benign;
}

Level WindowManager::TakeSelected() { return Level_Benign; }
Level WindowManager::TakeNewSelection() { return Level_Benign; }

Level WindowManager::TakeCloseEvent() {
  if (Response == 0) Response = RequestCancelled;
  return Level_Benign;
}

Level WindowManager::TakeCompleted() {
  Update();
  if (Primary && Primary->Save(Request) != Level_Benign) return Level_Notify;
  Response = RequestCompleted;
  PostClose();
  return Level_Notify;
}

void WindowManager::Reset(bool force) {
  for (WindowComponent* c : components_) c->Reset(force);
  window_.Display();
}

void WindowManager::Update() {
  window_.Update();
  for (WindowComponent* c : components_) c->Update();
}

void WindowManager::SetAlerts() {
  for (WindowComponent* c : components_) c->SetAlerts();
}

}  // namespace vx
