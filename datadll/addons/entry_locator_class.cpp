#include "datadll/addons/entry_locator_class.h"

#include "runtime/events.h"
#include "runtime/text_functions.h"
#include "runtime/window/window.h"

namespace vx::MH {

void ENTRYLOCATORCLASS::INIT(Control& entry, Control& list, int column, bool no_case) {
  entry_ = &entry;
  list_ = &list;
  column_ = column;
  NOCASE = no_case;
  entry.Alert(EnterKey);
}

long ENTRYLOCATORCLASS::ROWFOR(const std::string& text) const {
  if (!list_) return 0;
  const std::string wanted = NOCASE ? UPPER(CLIP(text)) : CLIP(text);
  if (wanted.empty()) return 0;
  const auto& columns = list_->Columns();
  if (column_ < 1 || column_ > static_cast<int>(columns.size())) return 0;
  const int field = columns[static_cast<std::size_t>(column_ - 1)].field;
  for (long row = 1; row <= static_cast<long>(list_->Rows()); ++row) {
    const std::vector<std::string> fields = list_->RowFields(row);
    if (field < 1 || field > static_cast<int>(fields.size())) continue;
    const std::string& value = fields[static_cast<std::size_t>(field - 1)];
    const std::string seen = NOCASE ? UPPER(value) : value;
    if (seen.compare(0, wanted.size(), wanted) == 0) return row;
  }
  return 0;
}

int ENTRYLOCATORCLASS::TAKEEVENT() {
  if (!entry_ || FIELD() != entry_->Number()) return 0;
  Window& window = entry_->OwnerWindow();
  if (EVENT() == EVENT_AlertKey && KEYCODE() == EnterKey) {
    window.Post(EVENT_Accepted, entry_->Number());
  } else if (EVENT() == EVENT_Accepted) {
    if (const long row = ROWFOR(entry_->Get(Prop::Value))) {
      list_->Choose(row);
      window.Post(EVENT_NewSelection, list_->Number());
    }
  }
  return 0;
}

}  // namespace vx::MH
