#include "datadll/utility/grab_corner_class.h"

#include <string>

#include "runtime/ini_file.h"
#include "runtime/window/window.h"

namespace vx {

void GRABCORNERCLASS::INIT(Window& window) {
  W = &window;
  FEQ = window.SizeGrip().Number();
  Place();
}

void GRABCORNERCLASS::TAKERESIZE() {
  if (W == nullptr || FEQ == 0) return;
  Place();
  const Control& grip = (*W)[static_cast<int>(FEQ)];
  PUTINI("Position", "X", grip.Get(Prop::X), ".\\DEBUG.INI");
  PUTINI("Position", "Y", grip.Get(Prop::Y), ".\\DEBUG.INI");
}

// The grip's square at the corner of the window's inside, as the window's size now stands
// (pixels, as the front end reports a resize).
void GRABCORNERCLASS::Place() {
  Control* grip = W->Find(static_cast<int>(FEQ));
  if (grip == nullptr) return;
  grip->Set(Prop::X, W->GetNumber(Prop::Width) - kSizeGripPixels);
  grip->Set(Prop::Y, W->GetNumber(Prop::Height) - kSizeGripPixels);
  grip->Set(Prop::Width, static_cast<long>(kSizeGripPixels));
  grip->Set(Prop::Height, static_cast<long>(kSizeGripPixels));
}

}  // namespace vx
