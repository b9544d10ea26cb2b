#include "frontend/qt/headless_front_end.h"

#include <cstdio>

#include "frontend/qt/qt_front_end.h"

namespace vx::qt {

void HeadlessFrontEnd::Ask(std::shared_ptr<Request> request) {
  const long answer = DefaultAnswer(*request);
  if (request->kind == Request::Kind::Message) {
    std::fprintf(stderr, "VX (no display): message \"%s: %s\" answered with its default button\n",
                 request->caption.c_str(), request->text.c_str());
    if (note_) note_(request->caption, request->text);
  }
  request->Answer(answer);
}

}  // namespace vx::qt
