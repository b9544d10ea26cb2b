#include "runtime/window/front_end.h"

#include <atomic>

namespace vx {
namespace {
std::atomic<FrontEnd*> g_front_end{nullptr};
}  // namespace

void Request::Answer(long number, std::string text) {
  {
    std::lock_guard l(mutex_);
    if (answered_) return;
    answered_ = true;
    number_ = number;
    answer_text_ = std::move(text);
  }
  done_.notify_all();
}

bool Request::Answered() const {
  std::lock_guard l(mutex_);
  return answered_;
}

long Request::Wait(std::string* text) {
  std::unique_lock l(mutex_);
  done_.wait(l, [&] { return answered_; });
  if (text) *text = answer_text_;
  return number_;
}

void SetFrontEnd(FrontEnd* front_end) { g_front_end = front_end; }
FrontEnd* CurrentFrontEnd() { return g_front_end; }

void Announce(const ModelMessage& message) {
  if (FrontEnd* f = g_front_end) f->Announce(message);
}

}  // namespace vx
