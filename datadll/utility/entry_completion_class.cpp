#include "datadll/utility/entry_completion_class.h"

#include <fnmatch.h>

#include <algorithm>
#include <cctype>

#include "runtime/events.h"
#include "runtime/fixed_string.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

// The text for which a completion was sought last, shared by every object, so that a key that
// leaves the text before the caret as it was (a Shift alone) searches nothing.
std::string& LastPrefix() {
  static std::string prefix;
  return prefix;
}

constexpr int kShift = 256, kCtrl = 512, kAlt = 1024;
constexpr int kBackspace = 8;

bool Matches(std::string_view value, const std::string& prefix) {
  const std::string_view clipped = ClipView(value);
  if (clipped.size() >= prefix.size() &&
      std::equal(prefix.begin(), prefix.end(), clipped.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
      })) {
    return true;
  }
  return fnmatch(prefix.c_str(), std::string(clipped).c_str(), FNM_CASEFOLD) == 0;
}

// Blanks a text field and zeroes a number in the calling thread's record buffer.
void ClearField(const storage::TableDef& table, const storage::FieldDef& field) {
  char* at = static_cast<char*>(table.buffer()) + field.offset;
  switch (field.type) {
    case storage::FieldType::String:
      std::fill(at, at + field.size, ' ');
      break;
    case storage::FieldType::CString:
      std::fill(at, at + field.size, '\0');
      break;
    case storage::FieldType::Long:
    case storage::FieldType::ULong:
      std::fill(at, at + 4, '\0');
      break;
    case storage::FieldType::Short:
      std::fill(at, at + 2, '\0');
      break;
    case storage::FieldType::Byte:
      *at = '\0';
      break;
    default:
      break;
  }
}

}  // namespace

void ENTRYCOMPLETIONCLASS::INIT(Window& window, Binding use, long entry, Binding from,
                                std::uint8_t must_validate, FileManager& file,
                                const storage::KeyDef& key) {
  window_ = &window;
  USEFIELD = use;
  ENTRYFIELD = entry;
  FROMFIELD = from;
  MUSTVALIDATE = must_validate;
  FILEMGR = &file;
  FILEKEY = &key;
  MODE = 1;
  ECON = 0;
}

void ENTRYCOMPLETIONCLASS::INIT(Window& window, Binding use, long entry, const ListSource& rows,
                                std::uint8_t must_validate) {
  window_ = &window;
  USEFIELD = use;
  ENTRYFIELD = entry;
  Q = &rows;
  MUSTVALIDATE = must_validate;
  MODE = 0;
  ECON = 0;
}

void ENTRYCOMPLETIONCLASS::TAKEEVENT() {
  if (window_ == nullptr) return;
  switch (EVENT()) {
    case EVENT_OpenWindow:
      if (Control* entry = window_->Find(static_cast<int>(ENTRYFIELD)))
        entry->Set(Prop::Immediate, 1L);
      break;
    case EVENT_Selected:
      ECON = FIELD() == ENTRYFIELD ? 1 : 0;
      TAKENEWSELECTION();
      break;
    case EVENT_NewSelection:
      TAKENEWSELECTION();
      break;
    case EVENT_Accepted:
      if (FIELD() == ENTRYFIELD) TAKEACCEPTED();
      break;
    default:
      break;
  }
}

void ENTRYCOMPLETIONCLASS::TAKEACCEPTED() {
  if (window_ == nullptr || MUSTVALIDATE == 0 || FIELD() != ENTRYFIELD) return;
  Control* entry = window_->Find(static_cast<int>(ENTRYFIELD));
  if (entry == nullptr) return;
  const std::string shown(ClipView(entry->Get(Prop::Value)));
  USEFIELD.Set(shown);
  if (shown.empty() || GETQUEUEMATCH(shown) == 0) {
    USEFIELD.Set("");
    entry->Display();
    window_->Select(static_cast<int>(ENTRYFIELD));
  }
}

void ENTRYCOMPLETIONCLASS::TAKENEWSELECTION() { TAKENEWSELECTION(FIELD()); }

void ENTRYCOMPLETIONCLASS::TAKENEWSELECTION(long control) {
  if (control != ENTRYFIELD) {
    ECON = 0;
    return;
  }
  if (EVENT() != EVENT_NewSelection || window_ == nullptr) return;
  Control* entry = window_->Find(static_cast<int>(ENTRYFIELD));
  if (entry == nullptr) return;
  const std::string shown = entry->Get(Prop::Value);
  const long caret = entry->GetNumber(Prop::SelStart);
  const std::string before = shown.substr(
      0, static_cast<std::size_t>(std::clamp<long>(caret - 1, 0, static_cast<long>(shown.size()))));
  if ((KEYCODE() & 0xFF) == kBackspace) {
    LastPrefix() = before;  // retyping the letter just taken back completes again
    return;
  }
  if (!KEYVALID()) return;
  ECON = 1;
  const std::string prefix(ClipView(before));
  if (prefix == LastPrefix() || prefix.empty()) return;
  LastPrefix() = prefix;
  if (GETQUEUEMATCH(prefix) == 0) {
    ECON = 0;
    return;
  }
  USEFIELD.Set(matched_);
  entry->Display();
  entry->Set(Prop::SelStart, static_cast<long>(prefix.size()) + 1);
  entry->Set(Prop::SelEnd, static_cast<long>(ClipView(matched_).size()));
}

bool ENTRYCOMPLETIONCLASS::KEYVALID() {
  const int key = KEYCODE();
  if ((key & (kCtrl | kAlt)) != 0) return false;
  if (key == 37 || key == 39 || key == 37 + kShift || key == 39 + kShift) return false;
  const int code = key & 0xFF;
  // Keys that type a character: space, digits, letters, the number pad's digits and signs, and
  // the punctuation keys.
  return code == 32 || (code >= 48 && code <= 57) || (code >= 65 && code <= 90) ||
         (code >= 96 && code <= 111) || (code >= 186 && code <= 223) ||
         (key > 0 && key < 256 && std::ispunct(key) != 0);
}

long ENTRYCOMPLETIONCLASS::GETQUEUEMATCH(const std::string& prefix) {
  matched_.clear();
  if (MODE == 1) {
    if (FILEMGR == nullptr || FILEKEY == nullptr) return 0;
    // The key's fields cleared, the compared one set to the text: the first row at or after it.
    const storage::TableDef& table = FILEMGR->def();
    for (const storage::KeyComponent& component : FILEKEY->components) {
      const int at = table.FieldIndex(component.field);
      if (at >= 0) ClearField(table, table.fields[static_cast<std::size_t>(at)]);
    }
    FROMFIELD.Set(prefix);
    if (FILEMGR->SetFromBuffer(*FILEKEY) != 0 || FILEMGR->TryNext() != 0) return 0;
    const std::string value = FROMFIELD.Get();
    if (!Matches(value, prefix)) return 0;
    matched_ = value;
    return 1;
  }
  if (Q == nullptr) return 0;
  for (std::size_t row = 0; row < Q->Records(); ++row) {
    const std::vector<std::string> fields = Q->Fields(row);
    if (!fields.empty() && Matches(fields.front(), prefix)) {
      matched_ = std::string(ClipView(fields.front()));
      return static_cast<long>(row) + 1;
    }
  }
  return 0;
}

}  // namespace vx
