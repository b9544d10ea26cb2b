#include "framework/table_view.h"

namespace vx {

void TableView::Reset(int order) {
  const storage::KeyDef* key =
      order >= 1 && order <= static_cast<int>(orders_.size()) ? orders_[order - 1] : nullptr;
  if (key) {
    file_.Set(*key);
  } else {
    file_.Set();
  }
}

}  // namespace vx
