#include "runtime/message_box.h"

#include <cstdio>

namespace vx {

unsigned ConsoleMessageReporter::Show(const MessageBoxRequest& box) {
  std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
  return ValidAnswer(box, box.default_button);
}

unsigned ButtonTextCount(const MessageBoxRequest& box) {
  if (box.button_texts.empty()) return 0;
  unsigned count = 1;
  for (char c : box.button_texts) count += c == '|' ? 1 : 0;
  return count;
}

unsigned ValidAnswer(const MessageBoxRequest& box, unsigned answer) {
  if (const unsigned count = ButtonTextCount(box); count > 0) {
    if (answer >= 1 && answer <= count) return answer;
    return box.default_button >= 1 && box.default_button <= count ? box.default_button : 1;
  }
  const auto single = [](unsigned b) { return b != 0 && (b & (b - 1)) == 0; };
  if (single(answer) && (answer & box.buttons)) return answer;
  if (single(box.default_button) && (box.default_button & box.buttons)) return box.default_button;
  // No usable default: the lowest button offered (OK before Yes before No ...).
  return box.buttons & (~box.buttons + 1);
}

}  // namespace vx
