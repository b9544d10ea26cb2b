#include "support/test_driver.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "runtime/events.h"
#include "runtime/fixed_string.h"
#include "runtime/window/list_format.h"

namespace vx {
namespace {

// Control texts compare without the hot-letter "&", surrounding blanks and a trailing colon.
std::string Plain(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&') continue;
    out += text[i];
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == ':')) out.pop_back();
  while (!out.empty() && out.front() == ' ') out.erase(out.begin());
  return out;
}

bool Takes(ControlType type, std::initializer_list<ControlType> types) {
  return std::find(types.begin(), types.end(), type) != types.end();
}

std::string KindName(Request::Kind kind) {
  switch (kind) {
    case Request::Kind::Message:
      return "message box";
    case Request::Kind::Popup:
      return "popup menu";
    case Request::Kind::FileDialog:
      return "file dialog";
    case Request::Kind::FolderDialog:
      return "folder dialog";
    case Request::Kind::Print:
      return "print request";
  }
  return "request";
}

}  // namespace

// --- TestDriver ---------------------------------------------------------------------------

TestDriver::TestDriver(std::chrono::milliseconds timeout) : timeout_(timeout) { SetFrontEnd(this); }

TestDriver::~TestDriver() {
  EndRun();
  SetFrontEnd(nullptr);
}

void TestDriver::Start(ThreadProcedure main) {
  {
    std::lock_guard l(mutex_);
    running_ = true;
    // Thread numbers start again with each run: what was seen of the last run's threads (ended,
    // idle) must not answer for this run's threads of the same number.
    ended_.clear();
    idle_tag_.clear();
  }
  run_ = std::thread([this, main = std::move(main)] {
    std::exception_ptr failure;
    try {
      RunProgram(main);
    } catch (...) {
      failure = std::current_exception();
    }
    std::lock_guard l(mutex_);
    failure_ = failure;
    running_ = false;
    changed_.notify_all();
  });
}

void TestDriver::Finish() {
  {
    std::unique_lock l(mutex_);
    WaitFor(
        l, [&] { return !running_; }, "the program to end");
  }
  if (run_.joinable()) run_.join();
  std::exception_ptr failure;
  {
    std::lock_guard l(mutex_);
    failure = std::exchange(failure_, nullptr);
  }
  if (failure) std::rethrow_exception(failure);
}

bool TestDriver::Running() const {
  std::lock_guard l(mutex_);
  return running_;
}

// Ends a run that a test left going: questions are answered with their defaults and every
// thread is told to close down until the program has returned.
void TestDriver::EndRun() {
  std::unique_lock l(mutex_);
  ending_ = true;
  for (Pending& p : pending_)
    p.request->Answer(p.request->kind == Request::Kind::Message ? p.request->default_button : 0);
  pending_.clear();
  const auto deadline = std::chrono::steady_clock::now() + timeout_;
  while (running_) {
    std::set<long> threads = {1};
    for (const auto& [id, w] : windows_) threads.insert(w.thread);
    l.unlock();
    for (long t : threads) POST(EVENT_CloseDown, 0, t);
    l.lock();
    changed_.wait_for(l, std::chrono::milliseconds(20), [&] { return !running_; });
    if (running_ && std::chrono::steady_clock::now() > deadline) {
      std::fprintf(stderr, "TestDriver: the program did not end; giving up\n");
      std::abort();
    }
  }
  l.unlock();
  if (run_.joinable()) run_.join();
}

template <class Pred>
void TestDriver::WaitFor(std::unique_lock<std::mutex>& lock, Pred pred, const std::string& what) {
  // The mirror wakes its waiters only at the points where a thread's work comes to rest (see
  // Announce); what changes in between is seen by looking again every kLookAgain.
  const auto deadline = std::chrono::steady_clock::now() + timeout_;
  while (!pred()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) throw DriverTimeout("timed out waiting for " + what);
    changed_.wait_until(lock, std::min(deadline, now + kLookAgain));
  }
}

void TestDriver::Announce(const ModelMessage& m) {
  std::lock_guard l(mutex_);
  using Kind = ModelMessage::Kind;
  // Waking a waiting test costs the announcing thread a wake-up of another processor, which a
  // window's opening would pay for each of its hundreds of messages, and a front end's thread
  // does not: the messages that only build or change a window wake no one (waiters look again
  // every kLookAgain), the thread's coming to rest does, when it settles something new.
  bool wake = true;
  switch (m.kind) {
    case Kind::WindowOpened: {
      MirrorWindow& w = windows_[m.window];
      w.id = m.window;
      w.thread = m.thread;
      w.open = true;
      if (m.snapshot) w.props = m.snapshot->props;
      wake = false;
      break;
    }
    case Kind::WindowShown:
      windows_[m.window].shown = true;
      wake = false;
      break;
    case Kind::WindowClosed: {
      windows_[m.window].open = false;
      // A closed window keeps its title and flags for the test to look at, and the last few
      // closed keep their controls too; older ones let theirs go, as a front end lets a window
      // go when it closes. A run that opens windows again and again would otherwise hold every
      // list it ever showed, and each opening would take fresh memory for its own.
      closed_.push_back(m.window);
      if (closed_.size() > kKeptClosed) {
        const auto it = windows_.find(closed_.front());
        if (it != windows_.end() && !it->second.open) it->second.controls.clear();
        closed_.pop_front();
      }
      break;
    }
    case Kind::ControlAdded:
      if (m.snapshot) windows_[m.window].controls[m.control].snapshot = *m.snapshot;
      wake = false;
      break;
    case Kind::PropertyChanged:
      ++windows_[m.window].changes;
      if (m.control == 0) {
        windows_[m.window].props[m.prop] = m.value;
      } else {
        windows_[m.window].controls[m.control].snapshot.props[m.prop] = m.value;
      }
      wake = false;
      break;
    case Kind::ListRows:
      if (m.rows) windows_[m.window].controls[m.control].rows = m.rows;
      wake = false;
      break;
    case Kind::ThreadIdle: {
      // A thread in the middle of work has not finished what the input started: the actions
      // waiting for it go on waiting, though its windows are set up.
      long& idle = idle_tag_[m.thread];
      wake = !m.working && m.tag > idle;
      if (!m.working) idle = std::max(idle, m.tag);
      for (auto& [id, w] : windows_) {
        if (w.thread == m.thread && w.shown) wake = Settle(w) || wake;
      }
      break;
    }
    case Kind::ThreadEnded:
      ended_.insert(m.thread);
      break;
    case Kind::ClipboardWritten:
      clipboard_write_ = m.value;
      clipboard_rtf_write_ = m.rich;
      break;
    case Kind::BroughtToFront:
      ++windows_[m.window].brought_to_front;
      break;
    case Kind::PictureCopied:
      ++windows_[m.window].pictures_copied;
      break;
    case Kind::TrayChanged: {
      DriverTray& t = trays_[m.control];
      t.id = m.control;
      t.thread = m.thread;
      ++t.published;
      if (m.snapshot) {
        t.icon = m.snapshot->props.at(Prop::Icon);
        t.tip = m.snapshot->props.at(Prop::Tip);
        t.shown = m.snapshot->props.at(Prop::Hide) != "1";
      }
      std::sscanf(m.value.c_str(), "%d %d %d %d", &t.events[0], &t.events[1], &t.events[2],
                  &t.events[3]);
      break;
    }
  }
  if (wake) changed_.notify_all();
}

void TestDriver::Ask(std::shared_ptr<Request> request) {
  std::lock_guard l(mutex_);
  SeenRequest seen;
  seen.kind = request->kind;
  seen.thread = request->thread;
  seen.text = request->text;
  seen.caption = request->caption;
  seen.icon = request->icon;
  seen.filter = request->filter;
  seen.buttons = request->buttons;
  seen.default_button = request->default_button;
  seen.button_texts = request->button_texts;
  seen.x = request->x;
  seen.y = request->y;
  seen.control = request->control;
  seen.pages = request->pages;
  // File and folder dialogs share one line of answers.
  auto& queue = queued_[request->kind == Request::Kind::FolderDialog ? Request::Kind::FileDialog
                                                                     : request->kind];
  if (ending_) {
    seen.answer = request->kind == Request::Kind::Message ? request->default_button : 0;
    request->Answer(seen.answer);
  } else if (request->kind == Request::Kind::Print && queue.empty()) {
    seen.answer = 1;  // printed: the pages are kept in what was seen
    request->Answer(seen.answer);
  } else if (!queue.empty()) {
    seen.answer = queue.front().first;
    seen.answer_text = queue.front().second;
    queue.pop_front();
    request->Answer(seen.answer, seen.answer_text);
  } else {
    pending_.push_back(Pending{request, seen_.size()});
    for (auto& [id, w] : windows_) {
      if (w.thread == request->thread && w.shown) Settle(w);
    }
  }
  seen_.push_back(std::move(seen));
  changed_.notify_all();
}

void TestDriver::AnswerMessage(unsigned button) {
  std::lock_guard l(mutex_);
  queued_[Request::Kind::Message].emplace_back(button, std::string());
}

void TestDriver::AnswerPopup(long item) {
  std::lock_guard l(mutex_);
  queued_[Request::Kind::Popup].emplace_back(item, std::string());
}

void TestDriver::AnswerFile(std::string file) {
  std::lock_guard l(mutex_);
  const long chosen = file.empty() ? 0 : 1;
  queued_[Request::Kind::FileDialog].emplace_back(chosen, std::move(file));
}

void TestDriver::AnswerPrint(long answer, std::string why) {
  std::lock_guard l(mutex_);
  queued_[Request::Kind::Print].emplace_back(answer, std::move(why));
}

SeenRequest TestDriver::AnswerPending(Request::Kind kind, long number, std::string text) {
  std::unique_lock l(mutex_);
  auto find = [&] {
    return std::find_if(pending_.begin(), pending_.end(),
                        [&](const Pending& p) { return p.request->kind == kind; });
  };
  WaitFor(
      l, [&] { return find() != pending_.end(); }, "a " + KindName(kind));
  auto it = find();
  SeenRequest& seen = seen_[it->seen_index];
  seen.answer = number;
  seen.answer_text = text;
  it->request->Answer(number, std::move(text));
  pending_.erase(it);
  return seen;
}

SeenRequest TestDriver::WaitMessage(unsigned button) {
  return AnswerPending(Request::Kind::Message, button, {});
}
SeenRequest TestDriver::WaitPopup(long item) {
  return AnswerPending(Request::Kind::Popup, item, {});
}

std::vector<SeenRequest> TestDriver::Requests() const {
  std::lock_guard l(mutex_);
  return seen_;
}

std::vector<SeenRequest> TestDriver::Messages() const {
  std::vector<SeenRequest> out;
  for (SeenRequest& r : Requests()) {
    if (r.kind == Request::Kind::Message) out.push_back(std::move(r));
  }
  return out;
}

std::vector<SeenRequest> TestDriver::Prints() const {
  std::vector<SeenRequest> out;
  for (SeenRequest& r : Requests()) {
    if (r.kind == Request::Kind::Print) out.push_back(std::move(r));
  }
  return out;
}

std::string TestDriver::LastClipboardWrite() const {
  std::lock_guard l(mutex_);
  return clipboard_write_;
}

std::string TestDriver::LastClipboardRtfWrite() const {
  std::lock_guard l(mutex_);
  return clipboard_rtf_write_;
}

DriverTray TestDriver::WaitTray() {
  std::unique_lock l(mutex_);
  const DriverTray* found = nullptr;
  WaitFor(
      l,
      [&] {
        found = nullptr;
        for (const auto& [id, t] : trays_) {
          if (t.shown) found = &t;
        }
        return found != nullptr;
      },
      "a tray icon");
  return *found;
}

void TestDriver::ClickTray(TrayClick click) {
  const DriverTray tray = WaitTray();
  const int event = tray.events[static_cast<int>(click)];
  if (!event) return;
  Event e;
  e.number = event;
  SendInput(tray.thread, std::move(e));
}

DriverWindow TestDriver::WaitWindow(std::string_view title) {
  std::unique_lock l(mutex_);
  const MirrorWindow* found = nullptr;
  WaitFor(
      l,
      [&] {
        found = nullptr;
        for (const auto& [id, w] : windows_) {
          auto it = w.props.find(Prop::Text);
          if (w.open && w.settled && it != w.props.end() && it->second.starts_with(title))
            found = &w;
        }
        return found != nullptr;
      },
      "a window \"" + std::string(title) + "\"");
  return DriverWindow(*this, found->id, found->thread);
}

bool TestDriver::HasWindow(std::string_view title) const {
  std::lock_guard l(mutex_);
  return std::any_of(windows_.begin(), windows_.end(), [&](const auto& entry) {
    auto it = entry.second.props.find(Prop::Text);
    return entry.second.open && it != entry.second.props.end() && it->second.starts_with(title);
  });
}

void TestDriver::WaitClosed(const DriverWindow& window) {
  std::unique_lock l(mutex_);
  WaitFor(
      l, [&] { return !windows_[window.Id()].open; },
      "window " + std::to_string(window.Id()) + " to close");
}

void TestDriver::WaitThreadEnded(long thread) {
  std::unique_lock l(mutex_);
  WaitFor(
      l, [&] { return ended_.count(thread) > 0; }, "thread " + std::to_string(thread) + " to end");
}

void TestDriver::WaitUntil(const std::function<bool()>& condition, const std::string& what) {
  const auto deadline = std::chrono::steady_clock::now() + timeout_;
  for (;;) {
    if (condition()) return;
    if (std::chrono::steady_clock::now() > deadline)
      throw DriverTimeout("timed out waiting for " + what);
    // The condition reads the mirror under its own lock, so a change can slip in between the
    // check and the wait: the wait is kept short.
    std::unique_lock l(mutex_);
    changed_.wait_for(l, std::chrono::milliseconds(5));
  }
}

std::vector<std::string> TestDriver::OpenTitles() const {
  std::lock_guard l(mutex_);
  std::vector<std::string> out;
  for (const auto& [id, w] : windows_) {
    if (w.open) out.push_back(w.props.count(Prop::Text) ? w.props.at(Prop::Text) : std::string());
  }
  return out;
}

void TestDriver::LeaveTypedField(int window) {
  Typing typed;
  {
    std::lock_guard l(mutex_);
    auto it = typing_.find(window);
    if (it == typing_.end()) return;
    typed = std::move(it->second);
    typing_.erase(it);
  }
  Event e;
  e.number = EVENT_Accepted;
  e.control = typed.control;
  e.window = window;
  e.text = std::move(typed.text);
  SendInput(typed.thread, std::move(e));
}

void TestDriver::SendInput(long thread, Event event) {
  long tag = 0;
  {
    std::lock_guard l(mutex_);
    tag = ++next_tag_;
  }
  event.tag = tag;
  event.from_user = true;
  if (!PostEvent(thread, std::move(event)))
    throw std::logic_error("thread " + std::to_string(thread) + " has ended");
  std::unique_lock l(mutex_);
  WaitFor(
      l,
      [&] {
        const bool asking = std::any_of(pending_.begin(), pending_.end(), [&](const Pending& p) {
          return p.request->thread == thread;
        });
        return idle_tag_[thread] >= tag || asking || ended_.count(thread) > 0;
      },
      "thread " + std::to_string(thread) + " to take the input");
}

const TestDriver::MirrorWindow& TestDriver::WindowLocked(int id) const {
  auto it = windows_.find(id);
  if (it == windows_.end()) throw std::logic_error("no window " + std::to_string(id));
  return it->second;
}

const TestDriver::MirrorControl& TestDriver::ControlLocked(int window, int control) const {
  const MirrorWindow& w = WindowLocked(window);
  auto it = w.controls.find(control);
  if (it == w.controls.end()) throw std::logic_error("no control " + std::to_string(control));
  return it->second;
}

// Whether the control or one of its containers has the flag set.
bool TestDriver::FlagOnPathLocked(const MirrorWindow& w, int control, Prop flag) const {
  for (int c = control; c != 0;) {
    auto it = w.controls.find(c);
    if (it == w.controls.end()) return false;
    auto set = it->second.snapshot.props.find(flag);
    if (set != it->second.snapshot.props.end() && set->second == "1") return true;
    c = it->second.snapshot.parent;
  }
  return false;
}

bool TestDriver::ControlHiddenLocked(const MirrorWindow& w, int control) const {
  return FlagOnPathLocked(w, control, Prop::Hide);
}

bool TestDriver::ControlDisabledLocked(const MirrorWindow& w, int control) const {
  return FlagOnPathLocked(w, control, Prop::Disable);
}

// --- DriverWindow -------------------------------------------------------------------------

std::string DriverWindow::Title() const { return Get(Prop::Text); }

std::string DriverWindow::Get(Prop prop) const {
  std::lock_guard l(driver_->mutex_);
  const auto& props = driver_->WindowLocked(id_).props;
  auto it = props.find(prop);
  return it == props.end() ? std::string() : it->second;
}

int DriverWindow::PicturesCopied() const {
  std::lock_guard l(driver_->mutex_);
  return driver_->WindowLocked(id_).pictures_copied;
}

int DriverWindow::Changes() const {
  std::lock_guard l(driver_->mutex_);
  return driver_->WindowLocked(id_).changes;
}

int DriverWindow::TimesBroughtToFront() const {
  std::lock_guard l(driver_->mutex_);
  return driver_->WindowLocked(id_).brought_to_front;
}

bool TestDriver::Settle(MirrorWindow& w) {
  if (w.settled) return false;
  w.settled_at = std::chrono::steady_clock::now();
  w.settled = true;
  return true;
}

std::chrono::steady_clock::time_point DriverWindow::SettledAt() const {
  std::lock_guard l(driver_->mutex_);
  return driver_->WindowLocked(id_).settled_at;
}

bool DriverWindow::Open() const {
  std::lock_guard l(driver_->mutex_);
  return driver_->WindowLocked(id_).open;
}

DriverControl DriverWindow::Control(std::string_view text) const {
  std::lock_guard l(driver_->mutex_);
  const std::string wanted = Plain(text);
  const auto& controls = driver_->WindowLocked(id_).controls;
  for (const auto& [number, c] : controls) {
    auto it = c.snapshot.props.find(Prop::Text);
    if (it == c.snapshot.props.end() || Plain(it->second) != wanted) continue;
    // A prompt names the field after it, or the first field of the row or block beside it.
    if (c.snapshot.type == ControlType::Prompt) {
      auto next = controls.find(number + 1);
      while (next != controls.end() && next->second.snapshot.type == ControlType::Region &&
             next->second.snapshot.props.count(Prop::Layout)) {
        ++next;
      }
      if (next != controls.end() &&
          Takes(next->second.snapshot.type,
                {ControlType::Entry, ControlType::Text, ControlType::Spin, ControlType::Combo,
                 ControlType::DropList, ControlType::List, ControlType::String})) {
        return DriverControl(*driver_, id_, thread_, next->first);
      }
    }
    return DriverControl(*driver_, id_, thread_, number);
  }
  throw std::logic_error("window " + std::to_string(id_) + " has no control \"" +
                         std::string(text) + "\"");
}

DriverControl DriverWindow::ControlByUse(std::uintptr_t use) const {
  std::lock_guard l(driver_->mutex_);
  for (const auto& [number, c] : driver_->WindowLocked(id_).controls) {
    if (c.snapshot.use == use) return DriverControl(*driver_, id_, thread_, number);
  }
  throw std::logic_error("no control uses that variable");
}

DriverControl DriverWindow::ControlNumber(int control) const {
  return DriverControl(*driver_, id_, thread_, control);
}

std::string DriverWindow::Status(int zone) const {
  std::lock_guard l(driver_->mutex_);
  const auto& controls = driver_->WindowLocked(id_).controls;
  int seen = 0;
  for (const auto& [number, c] : controls) {
    if (c.snapshot.type != ControlType::StatusZone) continue;
    if (++seen == zone) {
      auto it = c.snapshot.props.find(Prop::Text);
      return it == c.snapshot.props.end() ? std::string() : it->second;
    }
  }
  return {};
}

DriverControl DriverWindow::StatusZone(int zone) const {
  std::lock_guard l(driver_->mutex_);
  int seen = 0;
  for (const auto& [number, c] : driver_->WindowLocked(id_).controls) {
    if (c.snapshot.type == ControlType::StatusZone && ++seen == zone)
      return DriverControl(*driver_, id_, thread_, number);
  }
  throw std::logic_error("no status zone " + std::to_string(zone));
}

void DriverWindow::Pick(std::vector<std::string_view> path) {
  int parent = 0;
  int found = 0;
  {
    std::lock_guard l(driver_->mutex_);
    const auto& controls = driver_->WindowLocked(id_).controls;
    for (const auto& c : controls) {
      if (c.second.snapshot.type == ControlType::Menubar) parent = c.first;
    }
    for (std::string_view step : path) {
      found = 0;
      for (const auto& [number, c] : controls) {
        auto it = c.snapshot.props.find(Prop::Text);
        if (c.snapshot.parent == parent && it != c.snapshot.props.end() &&
            Plain(it->second) == Plain(step)) {
          found = number;
          break;
        }
      }
      if (!found) throw std::logic_error("no menu entry \"" + std::string(step) + "\"");
      parent = found;
    }
  }
  DriverControl(*driver_, id_, thread_, found).Press();
}

void DriverWindow::PressKey(int keycode) {
  int focused = 0;
  {
    std::lock_guard l(driver_->mutex_);
    auto typing = driver_->typing_.find(id_);
    if (typing != driver_->typing_.end()) {
      focused = typing->second.control;
    } else {
      const auto& props = driver_->WindowLocked(id_).props;
      auto it = props.find(Prop::Focus);
      if (it != props.end()) focused = std::atoi(it->second.c_str());
    }
  }
  if (focused != 0) {
    DriverControl(*driver_, id_, thread_, focused).PressKey(keycode);
    return;
  }
  Event e;
  e.number = EVENT_AlertKey;
  e.window = id_;
  e.keycode = keycode;
  driver_->SendInput(thread_, std::move(e));
}

DriverControl DriverWindow::ControlWithKey(
    const std::function<bool(const std::string& text, const std::string& key)>& matches,
    const std::string& what) const {
  std::lock_guard l(driver_->mutex_);
  const TestDriver::MirrorWindow& w = driver_->WindowLocked(id_);
  for (const auto& [number, c] : w.controls) {
    if (!Takes(c.snapshot.type, {ControlType::Button, ControlType::Check, ControlType::Item}))
      continue;
    if (driver_->ControlHiddenLocked(w, number) || driver_->ControlDisabledLocked(w, number))
      continue;
    auto text = c.snapshot.props.find(Prop::Text);
    auto key = c.snapshot.props.find(Prop::Key);
    if (matches(text == c.snapshot.props.end() ? std::string() : text->second,
                key == c.snapshot.props.end() ? std::string() : key->second)) {
      return DriverControl(*driver_, id_, thread_, number);
    }
  }
  throw std::logic_error("window " + std::to_string(id_) + " has nothing pressed by " + what);
}

void DriverWindow::PressHotLetter(char letter) {
  const auto upper = [](char ch) {
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
  };
  DriverControl target = ControlWithKey(
      [&](const std::string& text, const std::string&) {
        const std::size_t at = text.find('&');
        return at != std::string::npos && at + 1 < text.size() &&
               upper(text[at + 1]) == upper(letter);
      },
      std::string("Alt+") + letter);
  if (target.Kind() == ControlType::Check) {
    target.Tick(target.Value() != "1");
  } else {
    target.Press();
  }
}

void DriverWindow::PressShortcut(std::string_view key) {
  ControlWithKey([&](const std::string&,
                     const std::string& k) { return !k.empty() && Plain(k) == Plain(key); },
                 std::string(key))
      .Press();
}

void DriverWindow::Close() { Post(EVENT_CloseWindow); }

void DriverWindow::Move(long x, long y, long width, long height) {
  Event e;
  e.number = EVENT_Moved;
  e.window = id_;
  e.text = std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(width) + " " +
           std::to_string(height);
  driver_->SendInput(thread_, std::move(e));
}

void DriverWindow::Iconize() { Post(EVENT_Iconized); }
void DriverWindow::Restore() { Post(EVENT_Restored); }

void DriverWindow::Post(int event, int control) {
  Event e;
  e.number = event;
  e.control = control;
  e.window = id_;
  driver_->SendInput(thread_, std::move(e));
}

// --- DriverControl ------------------------------------------------------------------------

ControlType DriverControl::Kind() const {
  std::lock_guard l(driver_->mutex_);
  return driver_->ControlLocked(window_, control_).snapshot.type;
}

std::string DriverControl::Get(Prop prop) const {
  std::lock_guard l(driver_->mutex_);
  const auto& props = driver_->ControlLocked(window_, control_).snapshot.props;
  auto it = props.find(prop);
  return it == props.end() ? std::string() : it->second;
}

std::string DriverControl::Text() const { return Get(Prop::Text); }
std::string DriverControl::Value() const {
  {
    std::lock_guard l(driver_->mutex_);
    auto typing = driver_->typing_.find(window_);
    if (typing != driver_->typing_.end() && typing->second.control == control_) {
      return std::string(ClipView(typing->second.text));
    }
  }
  return std::string(ClipView(Get(Prop::Value)));
}

int DriverControl::Container() const {
  std::lock_guard l(driver_->mutex_);
  return driver_->ControlLocked(window_, control_).snapshot.parent;
}

std::string DriverControl::ContainerLayout() const {
  const int container = Container();
  std::string layout = container
                           ? DriverControl(*driver_, window_, thread_, container).Get(Prop::Layout)
                           : DriverWindow(*driver_, window_, thread_).Get(Prop::Layout);
  return layout.empty() ? "form" : layout;
}

int DriverControl::Row() const { return std::atoi(Get(Prop::Row).c_str()); }
int DriverControl::Column() const { return std::atoi(Get(Prop::Column).c_str()); }
long DriverControl::Choice() const { return std::atol(Get(Prop::Selected).c_str()); }

bool DriverControl::Hidden() const {
  std::lock_guard l(driver_->mutex_);
  return driver_->ControlHiddenLocked(driver_->WindowLocked(window_), control_);
}

bool DriverControl::Disabled() const {
  std::lock_guard l(driver_->mutex_);
  return driver_->ControlDisabledLocked(driver_->WindowLocked(window_), control_);
}

std::size_t DriverControl::Rows() const {
  std::lock_guard l(driver_->mutex_);
  return driver_->ControlLocked(window_, control_).rows->size();
}

ListCell DriverControl::CellDetail(long row, int column) const {
  std::lock_guard l(driver_->mutex_);
  const auto& rows = *driver_->ControlLocked(window_, control_).rows;
  if (row < 1 || row > static_cast<long>(rows.size()))
    throw std::out_of_range("no row " + std::to_string(row));
  const ListRow& r = rows[row - 1];
  if (column < 1 || column > static_cast<int>(r.size()))
    throw std::out_of_range("no column " + std::to_string(column));
  return r[column - 1];
}

std::string DriverControl::Cell(long row, int column) const {
  return std::string(ClipView(CellDetail(row, column).text));
}

void DriverControl::Send(int event, std::string text, long choice, int keycode) const {
  // Any other action leaves the field typed into first, so the program takes its text first;
  // Esc leaves it untaken, as a cancelled dialog does.
  if (!(event == EVENT_AlertKey && keycode == EscKey)) driver_->LeaveTypedField(window_);
  {
    std::lock_guard l(driver_->mutex_);
    const auto& w = driver_->WindowLocked(window_);
    if (driver_->ControlHiddenLocked(w, control_) || driver_->ControlDisabledLocked(w, control_)) {
      throw std::logic_error("control " + std::to_string(control_) + " is hidden or disabled");
    }
  }
  Event e;
  e.number = event;
  e.control = control_;
  e.window = window_;
  e.text = std::move(text);
  e.choice = choice;
  e.keycode = keycode;
  driver_->SendInput(thread_, std::move(e));
}

void DriverControl::Type(std::string_view text) {
  const ControlType type = Kind();
  // A rich edit takes the text its front end sends (runtime/window/rich_edit_input.h).
  if (!Takes(type, {ControlType::Entry, ControlType::Text, ControlType::Spin, ControlType::Combo,
                    ControlType::RichEdit})) {
    throw std::logic_error("control " + std::to_string(control_) + " takes no typing");
  }
  {
    std::lock_guard l(driver_->mutex_);
    auto typing = driver_->typing_.find(window_);
    if (typing != driver_->typing_.end() && typing->second.control == control_)
      driver_->typing_.erase(typing);
  }
  Send(EVENT_Accepted, std::string(text), 0);
}

void DriverControl::TypeKeys(std::string_view text) {
  const ControlType type = Kind();
  if (!Takes(type,
             {ControlType::Entry, ControlType::Text, ControlType::Spin, ControlType::Combo})) {
    throw std::logic_error("control " + std::to_string(control_) + " takes no typing");
  }
  {
    std::lock_guard l(driver_->mutex_);
    auto typing = driver_->typing_.find(window_);
    if (typing != driver_->typing_.end() && typing->second.control == control_) {
      typing->second.text = std::string(text);
      return;
    }
  }
  driver_->LeaveTypedField(window_);  // typing into another field leaves this one
  std::lock_guard l(driver_->mutex_);
  driver_->typing_[window_] = TestDriver::Typing{thread_, control_, std::string(text)};
}

void DriverControl::TypeKeystrokes(std::string_view keys) {
  if (Kind() != ControlType::Entry) {
    throw std::logic_error("control " + std::to_string(control_) + " is not an entry");
  }
  for (const char key : keys) {
    std::string text(ClipView(Get(Prop::Value)));
    const auto number = [&](Prop prop, long fallback) {
      const std::string value = Get(prop);
      return value.empty() ? fallback : std::stol(value);
    };
    // The caret and selection in characters from 1; none given: the caret after the text.
    const std::size_t caret = static_cast<std::size_t>(
        std::clamp<long>(number(Prop::SelStart, static_cast<long>(text.size()) + 1), 1,
                         static_cast<long>(text.size()) + 1));
    const long last = std::min<long>(number(Prop::SelEnd, 0), static_cast<long>(text.size()));
    std::size_t from = caret - 1;
    std::size_t to = last >= static_cast<long>(caret) ? static_cast<std::size_t>(last) : from;
    int keycode = 0;
    if (key == '\b') {
      if (from == to && from > 0) --from;
      keycode = 8;
      text.erase(from, to - from);
    } else {
      text.replace(from, to - from, 1, key);
      ++from;
      const unsigned char c = static_cast<unsigned char>(key);
      keycode = std::isalpha(c) ? (std::toupper(c) | (std::isupper(c) ? 256 : 0)) : c;
    }
    Keystroke(text, static_cast<long>(from) + 1, keycode);
  }
}

void DriverControl::Keystroke(std::string text, long caret, int keycode) {
  Send(EVENT_NewSelection, std::move(text), caret, keycode);
}

void DriverControl::Press() {
  const ControlType type = Kind();
  if (type == ControlType::Radio || type == ControlType::Tab) {
    int parent = 0;
    {
      std::lock_guard l(driver_->mutex_);
      parent = driver_->ControlLocked(window_, control_).snapshot.parent;
    }
    DriverControl(*driver_, window_, thread_, parent).Choose(Text());
    return;
  }
  Send(EVENT_Accepted, {}, 0);
}

void DriverControl::Tick(bool on) { Send(EVENT_Accepted, {}, on ? 1 : 0); }

void DriverControl::Choose(std::string_view text) {
  const ControlType type = Kind();
  long choice = 0;
  {
    std::lock_guard l(driver_->mutex_);
    const auto& w = driver_->WindowLocked(window_);
    if (type == ControlType::DropList || type == ControlType::Combo) {
      const auto& rows = *driver_->ControlLocked(window_, control_).rows;
      for (std::size_t i = 0; i < rows.size() && !choice; ++i) {
        if (!rows[i].empty() && Plain(rows[i][0].text) == Plain(text))
          choice = static_cast<long>(i + 1);
      }
    } else {
      long index = 0;
      for (const auto& [number, c] : w.controls) {
        if (c.snapshot.parent != control_) continue;
        ++index;
        auto it = c.snapshot.props.find(Prop::Text);
        if (it != c.snapshot.props.end() && Plain(it->second) == Plain(text)) {
          // A hidden or greyed radio or tab cannot be chosen.
          if (!driver_->ControlHiddenLocked(w, number) &&
              !driver_->ControlDisabledLocked(w, number))
            choice = index;
          break;
        }
      }
    }
  }
  if (!choice)
    throw std::logic_error("control " + std::to_string(control_) + " offers no \"" +
                           std::string(text) + "\"");
  Send(type == ControlType::Sheet ? EVENT_NewSelection : EVENT_Accepted, {}, choice);
}

void DriverControl::ChooseRow(long row) { Send(EVENT_NewSelection, {}, row); }

void DriverControl::ChooseCell(long row, int column) {
  Send(EVENT_NewSelection, std::to_string(column), row);
}

void DriverControl::Expand(long row) { Send(EVENT_Expanded, {}, row); }
void DriverControl::Contract(long row) { Send(EVENT_Contracted, {}, row); }

namespace {
std::string MouseAt(long x, long y) { return std::to_string(x) + " " + std::to_string(y); }
}  // namespace

void DriverControl::RightClickAt(long x, long y) {
  Send(EVENT_AlertKey, MouseAt(x, y), 0, MouseRight);
}

void DriverControl::BeginDrag(long x, long y) { Send(EVENT_Dragging, MouseAt(x, y), 0); }
void DriverControl::MoveMouse(long x, long y) { Send(EVENT_MouseMove, MouseAt(x, y), 0); }
void DriverControl::EndDrag(long x, long y, int over) { Send(EVENT_Drag, MouseAt(x, y), over); }

void DriverControl::DragOnto(const DriverControl& target) {
  BeginDrag(0, 0);
  EndDrag(0, 0, target.Number());
}

void DriverControl::ActivateRow(long row) { Send(EVENT_Accepted, {}, row, MouseLeft2); }

void DriverControl::RightClick() { Send(EVENT_AlertKey, {}, 0, MouseRight); }

void DriverControl::DropDown() {
  const ControlType type = Kind();
  if (type != ControlType::DropList && type != ControlType::Combo) {
    throw std::logic_error("control " + std::to_string(control_) + " has no list to drop down");
  }
  Send(EVENT_DroppingDown, {}, 0);
}

void DriverControl::PressKey(int keycode) { Send(EVENT_AlertKey, {}, 0, keycode); }

void DriverControl::ClickRuler(long twips) {
  if (Kind() != ControlType::Ruler) throw std::logic_error("not a ruler");
  Send(EVENT_Accepted, {}, twips);
}

void DriverControl::SizeArea(long width, long height) {
  Send(EVENT_Sized, "0 0 " + std::to_string(width) + " " + std::to_string(height), 0);
}

namespace {
std::string MousePlace(int row, int column, int zone) {
  return std::to_string(row) + " " + std::to_string(column) + " " + std::to_string(zone);
}
}  // namespace

void DriverControl::ActivateCell(long row, int column) {
  Send(EVENT_Accepted, MousePlace(static_cast<int>(row), column, ListZone_Cell), row, MouseLeft2);
}

void DriverControl::ActivateMarker(long row) {
  Send(EVENT_Accepted, MousePlace(static_cast<int>(row), 1, ListZone_ExpandBox), row, MouseLeft2);
}

void DriverControl::RightClickCell(long row, int column) {
  Send(EVENT_AlertKey, std::to_string(row) + " " + std::to_string(column) + " 0", 0, MouseRight);
}

void DriverControl::ClickHeader(int column) {
  PressHeader(column);
  ReleaseHeader(column);
}

void DriverControl::PressHeader(int column) {
  Send(EVENT_ListLeftDown, MousePlace(0, column, ListZone_Cell), 0, MouseLeft);
}

void DriverControl::ReleaseHeader(int column) {
  Send(EVENT_ListLeftUp, MousePlace(0, column, ListZone_Cell), 0, MouseLeft);
}

void DriverControl::DragHeader(int column, int to_column) {
  Send(EVENT_ListLeftDown, MousePlace(0, column, ListZone_Cell), 0, MouseLeft);
  Send(EVENT_ListDragBegun, MousePlace(0, column, ListZone_Cell), 0, MouseLeft);
  Send(EVENT_ListLeftUp, MousePlace(0, to_column, ListZone_Cell), 0, MouseLeft);
}

void DriverControl::RightClickHeader(int column) {
  Send(EVENT_ListRightDown, MousePlace(0, column, ListZone_Cell), 0, MouseRight);
  Send(EVENT_ListRightUp, MousePlace(0, column, ListZone_Cell), 0, MouseRight);
}

void DriverControl::DoubleClickBorder(int column) {
  Send(EVENT_AlertKey, MousePlace(0, column, ListZone_RightBorder), 0, MouseLeft2);
}

void DriverControl::ResizeColumn(int column, int width) {
  Send(EVENT_ColumnResize, std::to_string(column) + " " + std::to_string(width), 0);
}

void DriverControl::ShowRows(long first, long rows) {
  Send(EVENT_ListScrolled, std::to_string(first) + " " + std::to_string(rows), 0);
}

std::size_t DriverControl::Columns() const { return ParseListFormat(Get(Prop::Format)).size(); }

std::string DriverControl::Header(int column) const {
  const std::vector<ListColumn> columns = ParseListFormat(Get(Prop::Format));
  return column >= 1 && column <= static_cast<int>(columns.size()) ? columns[column - 1].header
                                                                   : std::string();
}

bool DriverControl::HeaderUnderlined(int column) const {
  const std::vector<ListColumn> columns = ParseListFormat(Get(Prop::Format));
  return column >= 1 && column <= static_cast<int>(columns.size()) && columns[column - 1].underline;
}

}  // namespace vx
