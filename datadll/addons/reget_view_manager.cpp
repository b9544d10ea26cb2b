#include "datadll/addons/reget_view_manager.h"

namespace vx::MH {

void VIEWMANAGER::OPEN(int order) {
  if (BLOCKOPEN) return;
  BLOCKOPEN = true;
  view_.Reset(order);
}

int VIEWMANAGER::NEXT(bool reget) {
  if (!view_.Next()) return 33;
  if (!reget || view_.Fetch(view_.Position())) return 0;
  if (clear_) clear_();
  return 5;
}

bool VIEWMANAGER::Next() {
  for (;;) {
    const int code = NEXT(true);
    if (code != 5) return code == 0;
  }
}

}  // namespace vx::MH
