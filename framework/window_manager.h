// The framework's window manager: the life of one window procedure (Init, Ask, Kill) and the
// dispatch of every event to Take... methods that a procedure overrides, or to actions it
// registers for one event of one control:
//
//   WindowManager manager(window);
//   manager.OkControl = ok;
//   manager.CancelControl = cancel;
//   manager.OnAccepted(tips, [] { MESSAGE("...", "Offset Tips"); });
//   manager.On(EVENT_Timer, [&] { window.Status(2, "..."); });
//   manager.Run();
#pragma once

#include <functional>
#include <type_traits>
#include <vector>

#include "framework/levels.h"
#include "framework/request_globals.h"
#include "framework/window_component.h"
#include "runtime/window/window.h"

namespace vx {

// Saves a form's record when OK is pressed (insert, change or delete by the request); answers
// Level_Benign when saved, anything else keeps the form open.
class RecordSaver {
 public:
  virtual ~RecordSaver() = default;
  virtual Level Save(long request) = 0;
};

class WindowManager {
 public:
  explicit WindowManager(Window& window) : window_(window) {}
  virtual ~WindowManager() = default;
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  long Request = 0;  // the thread's request (GLOBALREQUEST) at Init
  long OriginalRequest = 0;
  long Response = 0;      // RequestCompleted or RequestCancelled once decided
  int OkControl = 0;      // completes the form (TakeCompleted)
  int CancelControl = 0;  // cancels and closes
  bool Opened = false;
  bool Dead = false;  // set to leave without running the loop
  RecordSaver* Primary = nullptr;

  Window& window() { return window_; }

  // Init, the event loop, Kill; answers the response and leaves it as the thread's response
  // (GLOBALRESPONSE).
  virtual long Run();
  // Runs a form or list procedure on this thread with a request (GLOBALREQUEST); answers the
  // response it leaves (GLOBALRESPONSE; RequestCancelled when it leaves none).
  static long RunUpdate(const std::function<void()>& procedure, long request);

  virtual Level Init();
  virtual Level Kill();
  virtual void Ask();  // opens the window when Init has not, then takes events until closed
  void Open();         // opens the window and sets the components' alerts

  virtual Level TakeEvent();        // window or field events, then the components
  virtual Level TakeWindowEvent();  // events without a control
  virtual Level TakeFieldEvent();   // any control event, after the specific ones below
  virtual Level TakeAccepted();
  virtual Level TakeSelected();
  virtual Level TakeNewSelection();
  virtual Level TakeCloseEvent();
  virtual Level TakeCompleted();  // OK: store the screen, save, close with RequestCompleted

  virtual void Reset(bool force = false);  // components re-read, window shows the variables
  virtual void Update();                   // screen into variables, components likewise
  virtual void SetAlerts();

  void AddItem(WindowComponent& component) { components_.push_back(&component); }

  // Actions for one event (of one control; 0: a window event), run before the Take... methods
  // in the order registered. An action may answer a Level: Level_Notify ends the handling of
  // the event (on a close event: refuses the close), Level_Fatal ends the loop.
  template <class Action>
  WindowManager& On(int event, int control, Action action) {
    if constexpr (std::is_void_v<std::invoke_result_t<Action&>>) {
      actions_.push_back({event, control, [a = std::move(action)]() mutable {
                            a();
                            return Level_Benign;
                          }});
    } else {
      actions_.push_back({event, control, std::move(action)});
    }
    return *this;
  }
  template <class Action>
  WindowManager& On(int event, Action action) {
    return On(event, 0, std::move(action));
  }
  template <class Action>
  WindowManager& OnAccepted(int control, Action action) {
    return On(EVENT_Accepted, control, std::move(action));
  }
  // Closes the window from inside the loop, as the Close button does.
  void PostClose() { window_.Post(EVENT_CloseWindow); }

 private:
  struct EventAction {
    int event;
    int control;
    std::function<Level()> action;
  };
  Window& window_;
  std::vector<WindowComponent*> components_;
  std::vector<EventAction> actions_;
};

}  // namespace vx
