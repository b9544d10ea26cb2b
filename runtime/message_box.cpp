#include "runtime/message_box.h"

#include <cstdio>

namespace vx {

unsigned ConsoleMessageReporter::Show(const MessageBoxRequest& box) {
  std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
  return ValidAnswer(box, box.default_button);
}

unsigned ValidAnswer(const MessageBoxRequest& box, unsigned answer) {
  const auto single = [](unsigned b) { return b != 0 && (b & (b - 1)) == 0; };
  if (single(answer) && (answer & box.buttons)) return answer;
  if (single(box.default_button) && (box.default_button & box.buttons)) return box.default_button;
  // No usable default: the lowest button offered (OK before Yes before No ...).
  return box.buttons & (~box.buttons + 1);
}

}  // namespace vx
