// A headless front end for tests: it mirrors the window model from its messages, acts like a
// user (type, choose, tick, press, pick, close) by posting input events, and answers message
// boxes, popups and dialogs, either from answers queued beforehand or when the test says.
//
// Every action waits until the window's thread has taken the input and is waiting again (or is
// asking a question, or has ended); a thread looking at a progress window's events midway
// through work it started (Window::Working) is not waiting again yet. Every wait gives up after the
// driver's timeout by throwing DriverTimeout, so a broken test fails instead of hanging.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "runtime/threads.h"
#include "runtime/window/binding.h"
#include "runtime/window/front_end.h"

namespace vx {

class TestDriver;
class DriverWindow;

struct DriverTimeout : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A question the program asked, as the driver saw it.
struct SeenRequest {
  Request::Kind kind = Request::Kind::Message;
  long thread = 0;
  std::string text, caption, filter;
  MessageIcon icon = MessageIcon::None;
  unsigned buttons = 0, default_button = 0;
  std::string button_texts;
  long x = -1, y = -1;  // popups: where the program opened it (dialog units), -1 at the mouse
  int control = 0;      //   from the top left of this control (0 the window)
  long answer = 0;
  std::string answer_text;
  // Print: the pages as they were handed over, with their copies and collation; `text` holds
  // the PDF file asked for (empty: the printer).
  std::shared_ptr<const report::PageImageQueue> pages;
};

// A tray icon as the driver mirrors it.
struct DriverTray {
  int id = 0;
  long thread = 0;
  bool shown = false;
  std::string icon, tip;
  int events[4] = {0, 0, 0, 0};  // left click, right click, left double, right double
  int published = 0;             // how often the program has handed the icon's state over
};
enum class TrayClick { Left = 0, Right = 1, LeftDouble = 2, RightDouble = 3 };

class DriverControl {
 public:
  DriverControl(TestDriver& driver, int window, long thread, int control)
      : driver_(&driver), window_(window), thread_(thread), control_(control) {}

  int Number() const { return control_; }
  ControlType Kind() const;

  // Input.
  void Type(std::string_view text);  // types and leaves the field: the program takes the text
  // Types into the field and stays in it, as keystrokes do: the field shows the text, and the
  // program takes it only when the field is left, which any other action on the window does
  // first (a press, a hot letter, a shortcut, Enter), as in the Qt renderer; Esc leaves it
  // untaken.
  void TypeKeys(std::string_view text);
  // Types into an immediate entry one key at a time, each key an EVENT_NewSelection with the
  // text shown after it, the caret and the key's code, as the Qt renderer sends them: a key
  // replaces the selected text (or goes in at the caret), "" is Backspace.
  void TypeKeystrokes(std::string_view keys);
  // One keystroke of an immediate entry as a front end reports it: the text after the key, the
  // caret (from 1) and the key's code (arrows and keys with Ctrl or Alt included).
  void Keystroke(std::string text, long caret, int keycode);
  void Press();                           // button, menu item
  void Tick(bool on = true);              // check box
  void Choose(std::string_view text);     // radio of an option, drop-list item, tab of a sheet
  void ChooseRow(long row);               // list row (from 1): a new selection
  void ChooseCell(long row, int column);  // ... in column selection, moving to that column
  void Expand(long row);                  // a tree list's row opened or closed by the user
  void Contract(long row);
  // A drag of this control with the mouse at (x, y), dialog units from the window's inside: its
  // start, moves while the button is held, and its end over control `over` (0 none).
  void BeginDrag(long x, long y);
  void MoveMouse(long x, long y);
  void EndDrag(long x, long y, int over = 0);
  void DragOnto(const DriverControl& target);  // the whole drag, ending over `target`
  void ActivateRow(long row);                  // double click on a list row
  void ActivateCell(long row, int column);     // double click on a list row's column (from 1)
  void ActivateMarker(long row);               // double click on a tree row's open/close marker
  void RightClick();                           // the right mouse button on a list (its popup menu)
  void RightClickCell(long row, int column);   // ... on that row and column (from 1)
  void RightClickAt(long x, long y);  // ... on another control, the mouse at (x, y) dialog units
  // Opens a drop list's or combo's list: the program takes EVENT_DroppingDown (and may refill
  // the list) before the action returns.
  void DropDown();
  void PressKey(int keycode);   // a key pressed while the control has the focus
  void ClickRuler(long twips);  // a ruler clicked that many twips from its left end
  // A free area sized by its window (EVENT_Sized with its new inside, in dialog units).
  void SizeArea(long width, long height);
  // A list's column header (column from 1) under the mouse: a click (press and release), a drag
  // dropped on another column's header, a right click, a double click on the column's right
  // border, and the border dragged to a new width (dialog units).
  void ClickHeader(int column);
  void PressHeader(int column);  // the two halves of a click
  void ReleaseHeader(int column);
  void DragHeader(int column, int to_column);
  void RightClickHeader(int column);
  void DoubleClickBorder(int column);
  void ResizeColumn(int column, int width);
  // A list scrolled or sized so that `rows` rows from row `first` (from 1) are in view.
  void ShowRows(long first, long rows);

  // What the control shows (Value and Cell without trailing blanks, as the eye sees them).
  std::string Text() const;   // caption, prompt or tab text; image file
  std::string Value() const;  // shown contents: entry text, check "1"/"0" ...
  std::string Get(Prop prop) const;
  long Choice() const;
  bool Hidden() const;  // itself or through a container
  bool Disabled() const;
  std::size_t Rows() const;
  std::string Cell(long row, int column) const;  // from 1
  ListCell CellDetail(long row, int column) const;
  std::string Header(int column) const;  // a list column's header text as shown (from 1)
  bool HeaderUnderlined(int column) const;
  std::size_t Columns() const;  // a list's columns as shown

  // Where the control sits: the container holding it (0: the window itself), that container's
  // layout ("form", "row", "grid 7", ...) and the control's row and column in it (from 1).
  int Container() const;
  std::string ContainerLayout() const;
  int Row() const;
  int Column() const;

 private:
  void Send(int event, std::string text, long choice, int keycode = 0) const;
  TestDriver* driver_;
  int window_;
  long thread_;
  int control_;
};

class DriverWindow {
 public:
  DriverWindow(TestDriver& driver, int id, long thread)
      : driver_(&driver), id_(id), thread_(thread) {}

  int Id() const { return id_; }
  long Thread() const { return thread_; }
  std::string Title() const;
  std::string Get(Prop prop) const;
  bool Open() const;
  // How often the program has asked for the window to come to the front.
  int TimesBroughtToFront() const;
  // How often the program has put a picture of the window (or a control) on the clipboard.
  int PicturesCopied() const;
  // How many property changes the model has announced for the window and its controls: each
  // is something a renderer draws again.
  int Changes() const;
  // When its thread first waited for events (or asked a question) with the window shown, by
  // the steady clock of that thread's own announcement; benchmarks time a window's opening to
  // it without the hand-off to the driver's thread.
  std::chrono::steady_clock::time_point SettledAt() const;

  // A control by its text (with or without the "&" of its hot letter, and without a trailing
  // colon; a prompt's text finds the field after it) or by its use-variable. Throws when there
  // is none.
  DriverControl Control(std::string_view text) const;
  template <class T>
  DriverControl ControlOf(const T& variable) const {
    return ControlByUse(reinterpret_cast<std::uintptr_t>(&variable));
  }
  DriverControl ControlNumber(int control) const;
  std::string Status(int zone) const;
  DriverControl StatusZone(int zone) const;  // the zone's control (from 1); throws when none

  // Picks a menu item by its path of texts, as {"&File", "E&xit"}.
  void Pick(std::vector<std::string_view> path);
  // A key pressed with the focus where the user left it (the field typed into last, else the
  // control the program selected): Enter and Esc act as the window model says.
  void PressKey(int keycode);
  // Alt with a hot letter: presses the button, check or menu item whose text has "&" before
  // that letter.
  void PressHotLetter(char letter);
  // An accelerator ("Ctrl+S", "F10"): presses the menu item or button that has it as its key.
  void PressShortcut(std::string_view key);
  // Asks the window to close, as its close box does.
  void Close();
  // Moves or sizes the window as the user does (EVENT_Moved with the new place).
  void Move(long x, long y, long width, long height);
  void Iconize();
  void Restore();
  // Posts any event to the window as a front end would.
  void Post(int event, int control = 0);

 private:
  DriverControl ControlByUse(std::uintptr_t use) const;
  // The control with a key, as `matches` says of its text and key; throws when there is none.
  DriverControl ControlWithKey(
      const std::function<bool(const std::string& text, const std::string& key)>& matches,
      const std::string& what) const;
  TestDriver* driver_;
  int id_;
  long thread_;
};

class TestDriver final : public FrontEnd {
 public:
  explicit TestDriver(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  ~TestDriver() override;
  TestDriver(const TestDriver&) = delete;
  TestDriver& operator=(const TestDriver&) = delete;

  // Runs the program (`main` as runtime thread 1) on a thread of the driver's.
  void Start(ThreadProcedure main);
  // Waits for the run to end; rethrows what the program threw.
  void Finish();
  bool Running() const;

  // The newest open window whose title starts with `title`, waiting for it to open and for its
  // thread to finish opening it (to wait for events or to ask a question).
  DriverWindow WaitWindow(std::string_view title);
  bool HasWindow(std::string_view title) const;
  void WaitClosed(const DriverWindow& window);
  // Waits until the thread has ended.
  void WaitThreadEnded(long thread);
  std::vector<std::string> OpenTitles() const;
  // Waits until `condition` holds (it is checked each time the model changes).
  void WaitUntil(const std::function<bool()>& condition, const std::string& what);

  // Answers given before the question comes, used in order, one per question of that kind.
  void AnswerMessage(unsigned button);
  void AnswerPopup(long item);
  void AnswerFile(std::string file);  // also folders; an empty name cancels
  // A print request is answered report::PrintAnswer::Printed at once (its pages are kept, see
  // Prints) unless another answer was queued (an answer of report::PrintAnswer, and for
  // Failed why).
  void AnswerPrint(long answer, std::string why = {});

  // Waits for an unanswered question of this kind, answers it and answers what was asked.
  SeenRequest WaitMessage(unsigned button);
  SeenRequest WaitPopup(long item);
  // Every question asked so far, answered ones included.
  std::vector<SeenRequest> Requests() const;
  std::vector<SeenRequest> Messages() const;
  std::vector<SeenRequest> Prints() const;
  std::string LastClipboardWrite() const;
  std::string LastClipboardRtfWrite() const;  // the formatted text put beside it, as RTF

  // The newest tray icon (waiting for one to be shown), and a click on it.
  DriverTray WaitTray();
  void ClickTray(TrayClick click);

  // FrontEnd
  void Announce(const ModelMessage& message) override;
  void Ask(std::shared_ptr<Request> request) override;

 private:
  friend class DriverWindow;
  friend class DriverControl;

  struct MirrorControl {
    ControlSnapshot snapshot;
    std::shared_ptr<const std::vector<ListRow>> rows =
        std::make_shared<const std::vector<ListRow>>();
  };
  struct MirrorWindow {
    int id = 0;
    long thread = 0;
    bool open = true;
    bool shown = false;
    bool settled = false;  // its thread has waited for events (or asked a question) since
    std::chrono::steady_clock::time_point settled_at;  // when it first settled
    int brought_to_front = 0;
    int pictures_copied = 0;
    int changes = 0;  // property changes announced
    std::map<Prop, std::string> props;
    std::map<int, MirrorControl> controls;
  };
  struct Pending {
    std::shared_ptr<Request> request;
    std::size_t seen_index;
  };

  template <class Pred>
  void WaitFor(std::unique_lock<std::mutex>& lock, Pred pred, const std::string& what);
  // Posts a user event and waits until its thread has taken it.
  void SendInput(long thread, Event event);
  const MirrorWindow& WindowLocked(int id) const;
  // Marks a window settled, noting when it first was; true when it was not settled before.
  static bool Settle(MirrorWindow& w);
  const MirrorControl& ControlLocked(int window, int control) const;
  bool FlagOnPathLocked(const MirrorWindow& w, int control, Prop flag) const;
  bool ControlHiddenLocked(const MirrorWindow& w, int control) const;
  bool ControlDisabledLocked(const MirrorWindow& w, int control) const;
  SeenRequest AnswerPending(Request::Kind kind, long number, std::string text);
  // Text typed into a field of the window and not yet taken by the program, which takes it
  // now (the field is left).
  void LeaveTypedField(int window);
  void EndRun();

  std::chrono::milliseconds timeout_;
  // How often a waiter looks at the mirror again between wake-ups.
  static constexpr std::chrono::milliseconds kLookAgain{2};
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::map<int, MirrorWindow> windows_;
  // The windows closed lately, oldest first: these keep their controls' mirrors.
  static constexpr std::size_t kKeptClosed = 4;
  std::deque<int> closed_;
  std::map<long, long> idle_tag_;  // thread -> newest tag taken when it last waited
  std::set<long> ended_;
  std::vector<SeenRequest> seen_;
  std::vector<Pending> pending_;
  std::map<Request::Kind, std::deque<std::pair<long, std::string>>> queued_;
  std::string clipboard_write_;
  std::string clipboard_rtf_write_;
  std::map<int, DriverTray> trays_;
  struct Typing {
    long thread = 0;
    int control = 0;
    std::string text;
  };
  std::map<int, Typing> typing_;  // window -> the field typed into and not left
  long next_tag_ = 0;
  bool ending_ = false;

  std::thread run_;
  bool running_ = false;
  std::exception_ptr failure_;
};

}  // namespace vx
