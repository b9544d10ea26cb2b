#include "program/organiser/contact_view.h"

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"

namespace vx {

void ContactView::Reset(int order) {
  storage::File& file = ACCESS_CONTACT->file();
  if (order == category_order_) {
    C_.ContactCategory = category;
    walking_ = has_category &&
               file.SetEqual(C__KEYCATEGORY, {CONTACT_TABLE().FieldIndex("ContactCategory")}) == 0;
    return;
  }
  const storage::KeyDef* key =
      order >= 1 && order <= static_cast<int>(orders_.size()) ? orders_[order - 1] : nullptr;
  if (key) {
    file.Set(*key);
  } else {
    file.Set();
  }
  walking_ = true;
}

bool ContactView::Next() {
  if (!walking_) return false;
  walking_ = ACCESS_CONTACT->file().Next() == 0;
  return walking_;
}

long ContactView::Position() const { return static_cast<long>(ACCESS_CONTACT->file().Position()); }

bool ContactView::Fetch(long position) {
  return position != 0 && ACCESS_CONTACT->file().GetPosition(position) == 0;
}

}  // namespace vx
