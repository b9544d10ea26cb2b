// What a message box shows and the interface that shows it.
//
// The window runtime implements MessageReporter with a real dialog; until a window runtime is
// present, and in tests, other implementations stand in (ConsoleMessageReporter writes to
// standard error and answers with the default button).
#pragma once

#include <string>

namespace vx {

// Buttons of a message box; a box offers any combination, an answer is exactly one.
inline constexpr unsigned BUTTON_OK = 1;
inline constexpr unsigned BUTTON_YES = 2;
inline constexpr unsigned BUTTON_NO = 4;
inline constexpr unsigned BUTTON_ABORT = 8;
inline constexpr unsigned BUTTON_RETRY = 16;
inline constexpr unsigned BUTTON_IGNORE = 32;
inline constexpr unsigned BUTTON_CANCEL = 64;
inline constexpr unsigned BUTTON_HELP = 128;

enum class MessageIcon { None, Information, Exclamation, Question, Hand };

struct MessageBoxRequest {
  std::string caption;
  std::string text;
  MessageIcon icon = MessageIcon::None;
  unsigned buttons = BUTTON_OK;
  unsigned default_button = BUTTON_OK;
  // Buttons of the box's own wording ("&Yes|&No", "|" between them) in place of `buttons`; the
  // answer is then the number of the button pressed, from 1 (default_button counts the same way).
  std::string button_texts;
};

// How many buttons of its own wording a box offers (0 when it has none).
unsigned ButtonTextCount(const MessageBoxRequest& box);

class MessageReporter {
 public:
  virtual ~MessageReporter() = default;
  // Shows the box and returns the button pressed (one of box.buttons).
  virtual unsigned Show(const MessageBoxRequest& box) = 0;
};

// Writes "caption: text" to standard error and answers with the default button.
class ConsoleMessageReporter : public MessageReporter {
 public:
  unsigned Show(const MessageBoxRequest& box) override;
};

// The answer a reporter gave, or the default button when that answer was not offered.
unsigned ValidAnswer(const MessageBoxRequest& box, unsigned answer);

}  // namespace vx
