// A window of a runtime thread: its controls, properties, timer and the event loop (Accept).
//
// A window belongs to the thread that opens it and is modal to that thread: while a second
// window is open on the same thread, only the newest one takes events. Every change is
// announced to the front end; user input arrives as events on the thread's queue. A front end
// sends Enter and Esc as EVENT_AlertKey with KEYCODE EnterKey or EscKey on the focused control
// (0: none); unless that control alerts the key, the window turns them into a press of its
// default or cancel button, or a close (see TakeDialogKey).
#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/event_queue.h"
#include "runtime/events.h"
#include "runtime/window/control.h"

namespace vx {

class Window : public ControlMaker {
 public:
  explicit Window(std::string_view title);
  ~Window() override;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  int Id() const { return id_; }
  long Thread() const { return thread_; }

  void Open();
  void Close();
  bool IsOpen() const { return open_; }

  // The event loop: waits for the next event of this window and answers true, or answers false
  // once a close (EVENT_CloseWindow or EVENT_CloseDown) has been taken and not cycled; the
  // window is then closed. A close event is cycled by calling Cycle() while handling it.
  // EVENT_EndSession for a window of the thread under this one makes this one take
  // EVENT_CloseDown (it closes as if cancelled), so the end of the session reaches that window.
  bool Accept();
  void Cycle() { cycled_ = true; }
  // A window that shows work under way (a progress window): its thread looks at its events
  // between steps of the work, so a wait in Accept is not the thread being idle, and a front
  // end waiting for the thread to finish what an input started keeps waiting.
  void Working(bool working) { working_ = working; }
  // Posts an event to this window (control 0: a window event).
  void Post(int event, int control = 0);

  // Window properties (title is Prop::Text), announced on change.
  std::string Get(Prop prop) const { return props_.Get(prop); }
  long GetNumber(Prop prop) const { return props_.GetNumber(prop); }
  Window& Set(Prop prop, std::string_view value);
  Window& Set(Prop prop, long value) { return Set(prop, std::string_view(std::to_string(value))); }
  Window& Set(Prop prop, bool value) { return Set(prop, value ? 1L : 0L); }
  Window& Set(Prop prop, const char* value) { return Set(prop, std::string_view(value)); }
  std::string Title() const { return Get(Prop::Text); }
  Window& Title(std::string_view title) { return Set(Prop::Text, title); }
  Window& Timer(long hundredths) { return Set(Prop::Timer, hundredths); }
  Window& Icon(std::string_view icon) { return Set(Prop::Icon, icon); }
  // How the window arranges the controls made directly in it (form rows unless told, see
  // layout.h); set it before making them.
  Window& Arrange(Arrangement arrangement, int columns = 0) {
    return Set(Prop::Layout, Layout{arrangement, columns}.Text());
  }

  // Controls by number; a number the window does not have is a programming error.
  Control& operator[](int number);
  const Control& operator[](int number) const;
  Control* Find(int number);
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

  // Asks the front end to bring the window to the front (restored from the taskbar), unless
  // it is the active window already.
  void ToFront();
  // Asks the front end to put the picture of a control (0: the whole window) on the clipboard.
  void CopyPicture(int control = 0);
  // Numbered properties the model has no name for (set by desktop-service classes): kept with
  // the window for whoever asks; 0 when never set.
  void SetNumberedProperty(int number, long value) { numbered_[number] = value; }
  long NumberedProperty(int number) const {
    auto it = numbered_.find(number);
    return it == numbered_.end() ? 0 : it->second;
  }

  // Shows every use-variable / stores every shown value into its variable.
  void Display();
  void Update();
  // Gives a control the focus. The choice is announced even when the model's focus already
  // names it: the user may have moved the keys elsewhere since.
  void Select(int control);
  // The field that takes the keys when the window opens and the program chose none: the first
  // entry, text, spin, combo, drop list, list, check box or chosen radio that is shown, not
  // greyed and on its sheet's current page; 0 when there is none. The window selects it before its
  // first wait for events, so every front end opens it with the keys in the same field.
  int FirstField() const;

  // The frame's bars, made on first use.
  Control& Menubar();
  Control& Toolbar();
  Control& Status(int zone);  // zone from 1
  Window& Status(int zone, std::string_view text);

  int DefaultButton() const;
  int CancelButton() const { return cancel_button_; }
  void SetCancelButton(int control) { cancel_button_ = control; }
  // The button Esc presses: the cancel button when one is set, else a button captioned
  // "Cancel" or "Close"; 0 when there is none.
  int DialogCancelButton() const;

 protected:
  Window& MakerWindow() override { return *this; }
  int MakerParent() const override { return 0; }

 private:
  friend class Control;
  friend class ControlMaker;
  Control& AddControl(ControlType type, int parent, Binding use);
  // Places a new control in its container (its Row and Column), or every control of a
  // container again after the container's layout changed.
  void PlaceInContainer(Control& control);
  void Relayout(int container);
  void AnnounceControl(Control& control);
  void AnnounceProp(int control, Prop prop, const std::string& value);
  void AnnounceRows(const Control& control);
  bool ApplyInput(Event& event);
  void TakeDragInput(Event& event);  // drag_and_drop.cpp
  bool SessionEndsUnder() const;
  bool TakeDialogKey(Event& event);
  void PressDefaultAfterDoubleClick(const Event& event);
  void ScheduleTimer();
  void SetDefaultButton(int control);

  int id_;
  long thread_ = 0;
  bool open_ = false;
  bool closing_ = false;
  bool closing_down_ = false;
  bool cycled_ = false;
  bool working_ = false;
  bool focus_placed_ = false;  // the focus was given when the window was first set up
  Event outer_event_;  // the thread's event when this window opened, given back at its close
  int cancel_button_ = 0;
  PropertyBag props_;
  std::map<int, long> numbered_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::map<int, LayoutCursor> cursors_;  // by container (0: the window itself)
  int menubar_ = 0, toolbar_ = 0, statusbar_ = 0;
  std::chrono::steady_clock::time_point next_timer_{};
};

// The event the calling thread's window loop took last.
int EVENT();
int FIELD();     // its control (0 for window events)
int ACCEPTED();  // its control when the event is EVENT_Accepted, else 0
int SELECTED();  // its control when the event is EVENT_Selected, else 0
int KEYCODE();
void SETKEYCODE(int keycode);
// The calling thread's newest open window; nullptr when it has none.
Window* CurrentWindow();

}  // namespace vx
