// What a front end sees of the window model and how it answers: every model change arrives as
// a message (window and control ids, property, new value), and requests that block a runtime
// thread (message boxes, popups, file and folder dialogs) arrive as Request objects to answer
// from any thread. User input goes back as events posted to the window's thread (PostEvent).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/message_box.h"
#include "runtime/window/control_type.h"
#include "runtime/window/properties.h"

namespace vx {

struct ListCell {
  std::string text;
  std::string icon;  // file name from the list's icon list; empty for none
  long fg = -1, bg = -1, selected_fg = -1, selected_bg = -1;  // -1: default colour
  long swatch = -1;  // drop lists: a sample of this colour shown beside the text; -1 none
  long level = 0;    // tree columns: the row's depth from 1, negative while contracted; 0 none
};
using ListRow = std::vector<ListCell>;

// Everything about one control when it first appears.
struct ControlSnapshot {
  int control = 0;
  ControlType type = ControlType::Window;
  int parent = 0;  // control number of the sheet, tab, option, menu ... holding it; 0 the window
  std::uintptr_t use = 0;  // address of the use-variable, 0 none; identifies it, never read
  std::map<Prop, std::string> props;
};

struct ModelMessage {
  enum class Kind {
    WindowOpened,  // props: the window's own; the controls follow as ControlAdded
    WindowShown,   // every control and its contents have been announced
    WindowClosed,
    ControlAdded,     // snapshot
    PropertyChanged,  // control (0: the window), prop, value
    ListRows,         // rows of a list, drop list or combo
    ThreadIdle,       // the thread waits for events, having taken every event up to `tag`
    ThreadEnded,
    ClipboardWritten,  // value: the text the program put on the clipboard; rich: it as RTF
    TrayChanged,       // control: tray id; props in snapshot (Icon, Tip, Hide)
    BroughtToFront,    // the window is to come to the front, unless it is there already
    PictureCopied,     // control: the control whose picture goes on the clipboard (0: the window)
  };
  Kind kind = Kind::PropertyChanged;
  long thread = 0;
  int window = 0;
  int control = 0;
  Prop prop = Prop::Text;
  std::string value;
  std::string rich;  // ClipboardWritten: the same text formatted, as RTF (empty: text alone)
  long tag = 0;
  // ThreadIdle: the thread only looks at its events between steps of work it is doing (a
  // progress window); the events up to `tag` are taken but the work they started goes on.
  bool working = false;
  std::shared_ptr<const ControlSnapshot> snapshot;
  std::shared_ptr<const std::vector<ListRow>> rows;
};

namespace report {
struct PageImageQueue;
}

// A question that blocks the asking runtime thread until a front end answers it.
class Request {
 public:
  // Print: the pages go to the printer (`text` empty) or to the PDF file `text`; the answer is a
  // report::PrintAnswer (runtime/report/print_pages.h), its text why a print failed.
  enum class Kind { Message, Popup, FileDialog, FolderDialog, Print };
  Kind kind = Kind::Message;
  long thread = 0;
  int window = 0;
  std::string text;     // message text, popup menu text ("a|b|-|c"), dialog start file or folder
  std::string caption;  // message caption, dialog title
  MessageIcon icon = MessageIcon::None;
  unsigned buttons = 0;  // message buttons (sum of BUTTON_ values)
  unsigned default_button = 0;
  std::string button_texts;  // message buttons of their own wording ("&Yes|&No"); answer 1, 2, ...
  std::string filter;        // file dialog: "WAV Files|*.WAV|All|*.*"
  int flags = 0;             // file dialog: FILE_Save and friends
  std::shared_ptr<const report::PageImageQueue> pages;  // print: the pages, copies and collation
  // Popup: where it opens, in dialog units from the top left of `control` (0: the window's
  // inside); y -1 just below the control; x and y -1 at the mouse.
  long x = -1, y = -1;
  int control = 0;

  // Answers once; later answers are ignored. `number` is the button, popup item (0 none) or
  // 1 for a chosen file or folder (0 cancelled); `text` the chosen file or folder.
  void Answer(long number, std::string text = {});
  bool Answered() const;
  // Waits for the answer; the caller has given up the runtime lock.
  long Wait(std::string* text);

 private:
  mutable std::mutex mutex_;
  std::condition_variable done_;
  bool answered_ = false;
  long number_ = 0;
  std::string answer_text_;
};

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // Called on runtime threads with the runtime lock held: copy what is needed and return.
  virtual void Announce(const ModelMessage& message) = 0;
  // Called on runtime threads without the runtime lock; answer now or later, from any thread.
  virtual void Ask(std::shared_ptr<Request> request) = 0;
};

// The front end in use; nullptr leaves the model unwatched, message boxes answer their default
// button, popups and dialogs answer "nothing chosen".
void SetFrontEnd(FrontEnd* front_end);
FrontEnd* CurrentFrontEnd();
void Announce(const ModelMessage& message);

}  // namespace vx
