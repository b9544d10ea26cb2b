// The message boxes of the script routines: a caption, a text and an OK button.
#pragma once

#include <string>

#include "runtime/message_box.h"

namespace vx {

inline void ShowScriptMessage(MessageReporter& messages, std::string caption, std::string text) {
  MessageBoxRequest box;
  box.caption = std::move(caption);
  box.text = std::move(text);
  box.icon = MessageIcon::Exclamation;
  messages.Show(box);
}

}  // namespace vx
