#include "runtime/window/window.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <stdexcept>

#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/drag_and_drop.h"

namespace vx {
namespace {

std::atomic<int> g_last_window_id{0};

// Per runtime thread: its open windows (newest last), events put aside for a window that is
// not on top, the event taken last and the newest front-end tag taken.
struct ThreadWindows {
  std::vector<Window*> open;
  std::deque<Event> deferred;
  Event current;
  long last_tag = 0;
};
thread_local ThreadWindows t_windows;

bool IsWindowOpenHere(int id) {
  return std::any_of(t_windows.open.begin(), t_windows.open.end(),
                     [&](Window* w) { return w->Id() == id; });
}

constexpr auto kForever = std::chrono::hours(24 * 365);

bool AlertsKey(const Control& control, int keycode) {
  return ("|" + control.Get(Prop::Alert) + "|").find("|" + std::to_string(keycode) + "|") !=
         std::string::npos;
}

bool Usable(const Control* control) { return control && control->Visible() && control->Enabled(); }

// Controls that take the keys when a window opens: fields to type in or choose from, check
// boxes and radios (buttons only act).
bool TakesKeysFirst(ControlType type) {
  switch (type) {
    case ControlType::Entry:
    case ControlType::Text:
    case ControlType::Spin:
    case ControlType::Combo:
    case ControlType::DropList:
    case ControlType::List:
    case ControlType::Check:
    case ControlType::Radio:
      return true;
    default:
      return false;
  }
}

// A button's caption as the user reads it: without the hot letter's "&", in capitals.
std::string Caption(const Control& control) {
  std::string out;
  for (char ch : control.Get(Prop::Text)) {
    if (ch != '&') out += static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch);
  }
  return out;
}

}  // namespace

Window::Window(std::string_view title) : id_(++g_last_window_id) {
  props_.Change(Prop::Text, title);
}

Window::~Window() {
  if (open_) Close();
}

void Window::Open() {
  if (open_) return;
  thread_ = THREAD();
  open_ = true;
  closing_ = closing_down_ = cycled_ = focus_placed_ = false;
  // The event the window under this one is taking (the press that opened this one, say) is
  // given back when this one closes, so that window's loop goes on reading its own event.
  outer_event_ = t_windows.current;
  t_windows.open.push_back(this);

  ModelMessage m;
  m.kind = ModelMessage::Kind::WindowOpened;
  m.thread = thread_;
  m.window = id_;
  auto snapshot = std::make_shared<ControlSnapshot>();
  snapshot->props = props_.All();
  m.snapshot = std::move(snapshot);
  Announce(m);
  for (const auto& c : controls_) {
    AnnounceControl(*c);
    if (c->Type() == ControlType::DropList || c->Type() == ControlType::Combo) c->Render();
  }
  Display();
  ModelMessage shown;
  shown.kind = ModelMessage::Kind::WindowShown;
  shown.thread = thread_;
  shown.window = id_;
  Announce(shown);
  ScheduleTimer();
  Post(EVENT_OpenWindow);
}

void Window::Close() {
  if (!open_) return;
  open_ = false;
  auto& open = t_windows.open;
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
  t_windows.current = std::move(outer_event_);
  auto& deferred = t_windows.deferred;
  deferred.erase(std::remove_if(deferred.begin(), deferred.end(),
                                [&](const Event& e) { return e.window == id_; }),
                 deferred.end());
  ModelMessage m;
  m.kind = ModelMessage::Kind::WindowClosed;
  m.thread = thread_;
  m.window = id_;
  Announce(m);
}

void Window::ToFront() {
  if (!open_) return;
  ModelMessage m;
  m.kind = ModelMessage::Kind::BroughtToFront;
  m.thread = thread_;
  m.window = id_;
  Announce(m);
}

void Window::CopyPicture(int control) {
  if (!open_) return;
  ModelMessage m;
  m.kind = ModelMessage::Kind::PictureCopied;
  m.thread = thread_;
  m.window = id_;
  m.control = control;
  Announce(m);
}

void Window::Post(int event, int control) {
  Event e;
  e.number = event;
  e.control = control;
  e.window = id_;
  PostEvent(thread_ ? thread_ : THREAD(), std::move(e));
}

void Window::ScheduleTimer() {
  const long timer = GetNumber(Prop::Timer);
  next_timer_ = timer > 0 ? std::chrono::steady_clock::now() + std::chrono::milliseconds(timer * 10)
                          : std::chrono::steady_clock::time_point::max();
}

bool Window::Accept() {
  if (!open_) Open();
  if (closing_) {
    if (!cycled_ || closing_down_) {
      Close();
      return false;
    }
    closing_ = false;
  }
  cycled_ = false;
  EventQueue* queue = CurrentEventQueue();
  if (!queue) throw std::logic_error("Window::Accept outside a runtime thread");

  for (;;) {
    std::optional<Event> next;
    auto& deferred = t_windows.deferred;
    if (!closing_down_ && SessionEndsUnder()) {
      // The desktop session is ending and a window under this one must hear of it: this window
      // closes down as if cancelled, so the event reaches it (through every window between).
      closing_ = closing_down_ = true;
      t_windows.current = Event{EVENT_CloseDown, 0, id_};
      return true;
    }
    auto mine = std::find_if(deferred.begin(), deferred.end(),
                             [&](const Event& e) { return e.window == id_; });
    if (mine != deferred.end()) {
      next = std::move(*mine);
      deferred.erase(mine);
    } else {
      next = queue->TryPop();
    }
    if (!next) {
      const long timer = GetNumber(Prop::Timer);
      const auto now = std::chrono::steady_clock::now();
      if (timer > 0 && now >= next_timer_) {
        // Ticks missed while busy merge into this one.
        next_timer_ = now + std::chrono::milliseconds(timer * 10);
        next = Event{EVENT_Timer, 0, id_};
      } else {
        if (!focus_placed_) {
          // Set up now: the keys go to the first field unless the program chose another.
          focus_placed_ = true;
          if (GetNumber(Prop::Focus) == 0) {
            if (const int first = FirstField()) Select(first);
          }
        }
        ModelMessage idle;
        idle.kind = ModelMessage::Kind::ThreadIdle;
        idle.thread = thread_;
        idle.window = id_;
        idle.tag = t_windows.last_tag;
        idle.working = working_;
        Announce(idle);
        const auto deadline = timer > 0 ? next_timer_ : now + kForever;
        next = queue->Wait(deadline);
        if (!next) continue;
      }
    }
    Event& e = *next;
    if (e.tag) t_windows.last_tag = std::max(t_windows.last_tag, e.tag);
    if (e.window != 0 && e.window != id_) {
      // For a window of this thread under the top one: program events wait until it is on top
      // again; user input for it is dropped (a front end shows it disabled).
      if (!e.from_user && IsWindowOpenHere(e.window)) deferred.push_back(std::move(e));
      continue;
    }
    if (e.from_user && e.number == EVENT_AlertKey && !TakeDialogKey(e)) continue;
    if (e.from_user && !ApplyInput(e)) continue;
    if (e.from_user) PressDefaultAfterDoubleClick(e);
    if (e.number == EVENT_CloseWindow || e.number == EVENT_CloseDown) {
      closing_ = true;
      if (e.number == EVENT_CloseDown) closing_down_ = true;
    }
    e.window = id_;
    t_windows.current = std::move(e);
    return true;
  }
}

// An end-of-session event put aside for a window of this thread under this one.
bool Window::SessionEndsUnder() const {
  const auto& open = t_windows.open;
  if (open.empty() || open.back() != this) return false;
  return std::any_of(t_windows.deferred.begin(), t_windows.deferred.end(), [&](const Event& e) {
    return e.number == EVENT_EndSession && e.window != id_ && IsWindowOpenHere(e.window);
  });
}

bool Window::ApplyInput(Event& e) {
  if (e.control == 0) {
    switch (e.number) {
      case EVENT_Iconized:
        Set(Prop::Iconize, true);
        break;
      case EVENT_Maximized:
        Set(Prop::Maximize, true);
        break;
      case EVENT_Restored:
        Set(Prop::Iconize, false).Set(Prop::Maximize, false);
        break;
      case EVENT_Moved:
      case EVENT_Sized: {
        // text: "x y width height"
        long v[4] = {0, 0, 0, 0};
        const char* p = e.text.data();
        const char* end = p + e.text.size();
        for (long& n : v) {
          while (p < end && *p == ' ') ++p;
          p = std::from_chars(p, end, n).ptr;
        }
        Set(Prop::X, v[0]).Set(Prop::Y, v[1]).Set(Prop::Width, v[2]).Set(Prop::Height, v[3]);
        break;
      }
      default:
        break;
    }
    return true;
  }
  Control* c = Find(e.control);
  if (!c || !c->Visible() || !c->Enabled()) return false;
  if (e.number == EVENT_Accepted || e.number == EVENT_NewSelection || e.number == EVENT_Expanded ||
      e.number == EVENT_Contracted)
    c->ApplyInput(e);
  TakeDragInput(e);
  if (e.number == EVENT_Sized) {
    // A container whose controls stand free: the front end tells its inside size ("x y width
    // height", dialog units), which its controls are placed against.
    long v[4] = {0, 0, 0, 0};
    const char* p = e.text.data();
    const char* end = p + e.text.size();
    for (long& n : v) {
      while (p < end && *p == ' ') ++p;
      p = std::from_chars(p, end, n).ptr;
    }
    c->Place(v[0], v[1], v[2], v[3]);
  }
  if (c->Type() == ControlType::List) c->ApplyMouse(e);
  return true;
}

// Enter and Esc as dialogs have them, unless the focused control takes the key itself (it alerts
// it, or it is a text, where Enter starts a new line): Enter presses the default button; Esc
// presses the cancel button, or closes a window that has none (never the application frame).
// Answers false when the key does nothing.
bool Window::TakeDialogKey(Event& e) {
  if (e.keycode != EnterKey && e.keycode != EscKey) return true;
  if (const Control* focused = e.control ? Find(e.control) : nullptr) {
    if (AlertsKey(*focused, e.keycode)) return true;
    if (e.keycode == EnterKey && focused->Type() == ControlType::Text) return false;
  }
  const int button = e.keycode == EnterKey ? DefaultButton() : DialogCancelButton();
  if (button != 0) {
    if (!Usable(Find(button))) return false;
    e.number = EVENT_Accepted;
    e.control = button;
    return true;
  }
  if (e.keycode == EnterKey || GetNumber(Prop::Frame) != 0) return false;
  e.number = EVENT_CloseWindow;
  e.control = 0;
  return true;
}

// A double click on a row of a list that does not take Enter itself (a browse does, and handles
// its double clicks too) presses the default button once the list has taken the click.
void Window::PressDefaultAfterDoubleClick(const Event& e) {
  if (e.number != EVENT_Accepted || e.keycode != MouseLeft2 || e.control == 0) return;
  const Control* list = Find(e.control);
  if (!list || list->Type() != ControlType::List || AlertsKey(*list, EnterKey)) return;
  const int button = DefaultButton();
  if (!Usable(Find(button))) return;
  Event press;
  press.number = EVENT_Accepted;
  press.control = button;
  press.window = id_;
  t_windows.deferred.push_front(std::move(press));
}

int Window::DialogCancelButton() const {
  if (cancel_button_ != 0) return cancel_button_;
  for (const auto& c : controls_) {
    if (c->Type() != ControlType::Button) continue;
    const std::string caption = Caption(*c);
    if (caption == "CANCEL" || caption == "CLOSE") return c->Number();
  }
  return 0;
}

Window& Window::Set(Prop prop, std::string_view value) {
  if (!props_.Change(prop, value)) return *this;
  if (prop == Prop::Timer && open_) ScheduleTimer();
  if (open_) AnnounceProp(0, prop, props_.View(prop));
  if (prop == Prop::Layout) Relayout(0);
  return *this;
}

Control& Window::operator[](int number) {
  Control* c = Find(number);
  if (!c) throw std::out_of_range("window has no control " + std::to_string(number));
  return *c;
}

const Control& Window::operator[](int number) const { return const_cast<Window&>(*this)[number]; }

Control* Window::Find(int number) {
  return number >= 1 && number <= static_cast<int>(controls_.size()) ? controls_[number - 1].get()
                                                                     : nullptr;
}

Control& Window::AddControl(ControlType type, int parent, Binding use) {
  const int number = static_cast<int>(controls_.size()) + 1;
  controls_.push_back(std::make_unique<Control>(*this, number, type, parent, use));
  PlaceInContainer(*controls_.back());
  return *controls_.back();
}

void Window::PlaceInContainer(Control& control) {
  if (!TakesCell(control.Type())) return;
  const int parent = control.Parent();
  const Control* container = parent ? Find(parent) : nullptr;
  if (parent && (!container || !ArrangesChildren(container->Type()))) return;
  auto it = cursors_.find(parent);
  if (it == cursors_.end()) {
    const std::string layout = parent ? container->Get(Prop::Layout) : Get(Prop::Layout);
    it = cursors_.emplace(parent, LayoutCursor(Layout::Parse(layout))).first;
  }
  const LayoutCell cell = it->second.Place(control.Type());
  // Kept quietly: a new control's snapshot carries its cell; Relayout announces changes.
  control.props_.Change(Prop::Row, std::to_string(cell.row));
  control.props_.Change(Prop::Column, std::to_string(cell.column));
}

void Window::Relayout(int container) {
  cursors_.erase(container);
  for (const auto& c : controls_) {
    if (c->Parent() != container) continue;
    const std::string row = c->Get(Prop::Row), column = c->Get(Prop::Column);
    PlaceInContainer(*c);
    if (c->Get(Prop::Row) != row) AnnounceProp(c->Number(), Prop::Row, c->Get(Prop::Row));
    if (c->Get(Prop::Column) != column)
      AnnounceProp(c->Number(), Prop::Column, c->Get(Prop::Column));
  }
}

void Window::Display() {
  for (const auto& c : controls_) c->Display();
}

void Window::Update() {
  for (const auto& c : controls_) c->Update();
}

void Window::Select(int control) {
  props_.Change(Prop::Focus, std::to_string(control));
  AnnounceProp(0, Prop::Focus, props_.View(Prop::Focus));
}

int Window::FirstField() const {
  // A control on a page of a sheet other than the one shown cannot take the keys.
  const auto find = [this](int number) -> const Control* {
    return number >= 1 && number <= static_cast<int>(controls_.size()) ? controls_[number - 1].get()
                                                                       : nullptr;
  };
  const auto on_shown_page = [&](const Control& control) {
    for (const Control* c = &control; c && c->Parent(); c = find(c->Parent())) {
      if (c->Type() != ControlType::Tab) continue;
      const Control* sheet = find(c->Parent());
      if (!sheet) continue;
      long page = 0;
      for (const Control* tab : sheet->Children()) {
        ++page;
        if (tab == c) break;
      }
      if (page != std::max(sheet->Choice(), 1L)) return false;
    }
    return true;
  };
  // Of a group of radios, the chosen one takes the keys (the first while none is chosen).
  const auto chosen_radio = [&](const Control& radio) {
    const Control* group = find(radio.Parent());
    if (!group) return true;
    long index = 0;
    for (const Control* c : group->Children()) {
      ++index;
      if (c == &radio) return index == std::max(group->Choice(), 1L);
    }
    return true;
  };
  for (const auto& c : controls_) {
    if (!TakesKeysFirst(c->Type()) || !Usable(c.get()) || !on_shown_page(*c)) continue;
    if (c->Type() == ControlType::Radio && !chosen_radio(*c)) continue;
    return c->Number();
  }
  return 0;
}

Control& Window::Menubar() {
  if (!menubar_) menubar_ = Make(ControlType::Menubar, {}, {}).Number();
  return (*this)[menubar_];
}

Control& Window::Toolbar() {
  if (!toolbar_) toolbar_ = Make(ControlType::Toolbar, {}, {}).Number();
  return (*this)[toolbar_];
}

Control& Window::Status(int zone) {
  if (!statusbar_) statusbar_ = Make(ControlType::StatusBar, {}, {}).Number();
  Control& bar = (*this)[statusbar_];
  auto zones = bar.Children();
  while (static_cast<int>(zones.size()) < zone) {
    bar.Make(ControlType::StatusZone, {}, {});
    zones = bar.Children();
  }
  return *zones[zone - 1];
}

Window& Window::Status(int zone, std::string_view text) {
  Status(zone).SetText(text);
  return *this;
}

int Window::DefaultButton() const {
  for (const auto& c : controls_) {
    if (c->Is(Prop::Default)) return c->Number();
  }
  return 0;
}

void Window::SetDefaultButton(int control) {
  for (const auto& c : controls_) {
    if (c->Number() != control && c->Is(Prop::Default)) c->Set(Prop::Default, false);
  }
  if (Control* c = Find(control)) c->Set(Prop::Default, true);
}

void Window::AnnounceControl(Control& control) {
  ModelMessage m;
  m.kind = ModelMessage::Kind::ControlAdded;
  m.thread = thread_;
  m.window = id_;
  m.control = control.Number();
  std::shared_ptr<ControlSnapshot> snapshot = control.LendSnapshot();
  m.snapshot = snapshot;
  // The properties come back however the front end returns.
  struct Back {
    Control& control;
    std::shared_ptr<ControlSnapshot>& snapshot;
    ModelMessage& m;
    ~Back() {
      m.snapshot.reset();
      control.TakeBack(std::move(snapshot));
    }
  } back{control, snapshot, m};
  Announce(m);
}

void Window::AnnounceProp(int control, Prop prop, const std::string& value) {
  if (!open_) return;
  ModelMessage m;
  m.kind = ModelMessage::Kind::PropertyChanged;
  m.thread = thread_;
  m.window = id_;
  m.control = control;
  m.prop = prop;
  m.value = value;
  Announce(m);
}

void Window::AnnounceRows(const Control& control) {
  if (!open_) return;
  ModelMessage m;
  m.kind = ModelMessage::Kind::ListRows;
  m.thread = thread_;
  m.window = id_;
  m.control = control.Number();
  m.rows = control.SharedRows();
  Announce(m);
}

int EVENT() { return t_windows.current.number; }
int FIELD() { return t_windows.current.control; }
int ACCEPTED() {
  return t_windows.current.number == EVENT_Accepted ? t_windows.current.control : 0;
}
int SELECTED() {
  return t_windows.current.number == EVENT_Selected ? t_windows.current.control : 0;
}
int KEYCODE() { return t_windows.current.keycode; }
void SETKEYCODE(int keycode) { t_windows.current.keycode = keycode; }
std::string DRAGID() {
  const Event& e = t_windows.current;
  return e.number == EVENT_Drag || e.number == EVENT_Drop ? e.text : std::string();
}
int DROPPEDON() {
  const Event& e = t_windows.current;
  return e.number == EVENT_Drag || e.number == EVENT_Drop ? static_cast<int>(e.choice) : 0;
}
Window* CurrentWindow() { return t_windows.open.empty() ? nullptr : t_windows.open.back(); }

}  // namespace vx
