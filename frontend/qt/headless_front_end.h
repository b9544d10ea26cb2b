// The front end of a run without a display: nothing is drawn, message boxes take their default
// button and are reported, popups and dialogs choose nothing.
#pragma once

#include <memory>

#include "frontend/qt/run_with_qt.h"
#include "runtime/window/front_end.h"

namespace vx::qt {

class HeadlessFrontEnd final : public FrontEnd {
 public:
  explicit HeadlessFrontEnd(HeadlessNote note) : note_(std::move(note)) {}
  void Announce(const ModelMessage&) override {}
  void Ask(std::shared_ptr<Request> request) override;

 private:
  HeadlessNote note_;
};

}  // namespace vx::qt
