// Message boxes, popup menus, file and folder dialogs and the clipboard: questions that a front
// end answers while only the asking thread waits (without the runtime lock).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/message_box.h"
#include "runtime/window/front_end.h"

namespace vx {

// Shows a message box and answers the button pressed (BUTTON_OK, BUTTON_YES ...). With no front
// end, or while the program closes down, the default button answers (the first button offered
// when none is given); an answer that is not one of the buttons counts as the default.
unsigned MESSAGE(std::string_view text, std::string_view caption = {},
                 MessageIcon icon = MessageIcon::None, unsigned buttons = BUTTON_OK,
                 unsigned default_button = 0);

// Shows a message box on a runtime thread of its own and returns at once, for a notice that
// must not hold up the asking thread's work while it waits to be read (its answer is not known).
void ShowMessageAside(const MessageBoxRequest& box);

// The desktop session is ending: every question open now is answered with its default, and
// questions asked from now until the run ends take their default at once, so that no thread
// keeps the program waiting for a person who has logged off.
void AnswerQuestionsWithDefaults();
// Every question open now is answered with its default (the run is closing down).
void AnswerOpenQuestions();

// Holds the calling thread's message boxes while it lives: each box asked for (by MESSAGE or a
// WindowMessageReporter) is kept and answered at once with its default button, and shown by
// ShowHeld or when the hold ends. For work inside a transaction, whose boxes must wait until the
// transaction has ended: a box left open would keep its write lock from every other thread.
class HeldMessages {
 public:
  HeldMessages();
  ~HeldMessages();
  HeldMessages(const HeldMessages&) = delete;
  HeldMessages& operator=(const HeldMessages&) = delete;
  // Ends the hold and shows the boxes kept, in the order they were asked for.
  void ShowHeld();
  // Ends the hold and forgets the boxes kept (their defaults have answered them): for work that
  // was undone and will ask them again when it is tried again.
  void Discard();

 private:
  friend class WindowMessageReporter;
  std::vector<MessageBoxRequest> boxes_;
  HeldMessages* outer_;
  bool holding_ = true;
};

// Shows the boxes of objects that report through a MessageReporter (the error object) as
// message boxes of the window runtime.
class WindowMessageReporter final : public MessageReporter {
 public:
  unsigned Show(const MessageBoxRequest& box) override;
};

// Shows a popup menu given as "item|item|-|item" ("-" a separator, "~" before an item greys it,
// "+" before an item ticks it, "[name]" after an item names its picture; "{title" opens a submenu
// whose items follow, each "}" after an item closes one: "a|{&List|b|c}|d") and answers the
// number of the chosen item, counting items but not separators or submenu titles, from 1, through
// every submenu; 0 when nothing was chosen.
int POPUP(std::string_view menu);
// The same, opened at (x, y) in dialog units from the top left of `control` of the asking
// thread's window (0: the window's inside); y -1 is just below the control; (-1, -1) at the mouse.
int POPUP(std::string_view menu, long x, long y, int control = 0);

// File dialog flags.
inline constexpr int FILE_Save = 1;
inline constexpr int FILE_KeepDir = 2;
inline constexpr int FILE_NoError = 4;
inline constexpr int FILE_Multi = 8;
inline constexpr int FILE_LongName = 16;
inline constexpr int FILE_Directory = 32;

// Asks for a file (filter "WAV Files|*.WAV"; FILE_Directory asks for a folder); `file` holds
// the starting name and receives the choice. Answers false when cancelled.
bool FILEDIALOG(std::string_view title, std::string& file, std::string_view filter = {},
                int flags = 0);

// Hands pages to the front end to print: on paper when `pdf_file` is empty, else as that PDF
// file. Answers the front end's report::PrintAnswer (0, cancelled, with no front end) and in
// `why` what a failed print said. Callers use report::PrintPages (runtime/report/print_pages.h).
long PRINTREQUEST(std::shared_ptr<const report::PageImageQueue> pages, std::string_view pdf_file,
                  std::string* why);

// The clipboard's text as the front end last reported it (empty with no front end), and
// setting it, which the front end is told to do.
std::string CLIPBOARD();
void SETCLIPBOARD(std::string_view text);
// Puts text and the same text formatted (RTF, runtime/window/rich_text_rtf.h) on the clipboard
// together, so a paste takes whichever it can use.
void SETCLIPBOARD(std::string_view text, std::string_view rtf);
// The clipboard's formatted text as RTF when the front end found some beside the plain text,
// else empty. SETCLIPBOARD with text alone puts plain text alone.
std::string CLIPBOARDRTF();
// For front ends: the clipboard now holds this text, and this formatted text as RTF (empty
// when it holds none).
void ClipboardChanged(std::string_view text, std::string_view rtf = {});

}  // namespace vx
