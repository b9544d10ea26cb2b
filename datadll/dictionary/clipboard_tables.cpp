#include "datadll/dictionary/clipboard_tables.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"

namespace vx {

thread_local CLIPBOARD_RECORD CLI;
thread_local CLIPBOARDCATEGORIES_RECORD CLC;

using dictionary::MakeKey;
using storage::KeyKind;

const storage::TableDef& CLIPBOARD_TABLE() {
  static const storage::TableDef def = [] {
    using R = CLIPBOARD_RECORD;
    auto t = dictionary::MakeTable<R>("CLIPBOARD", "CLI", "VX97\\!Clipboard", true);
    t.fields = {VX_FIELD(R, Abbreviation), VX_FIELD(R, Category),    VX_FIELD(R, ClipDate),
                VX_FIELD(R, ClipTime),     VX_FIELD(R, ClipHashKey), VX_FIELD(R, ClipKeep),
                VX_MEMO(R, ClipContents)};
    t.keys = {
        // Newest entries first.
        MakeKey("KeyClipDate", "All by Date", KeyKind::Duplicates,
                {{"ClipDate", true}, {"ClipTime", true}}, false, true),
        MakeKey("KeyClipKeep", "Saved Clipboard Records", KeyKind::Duplicates,
                {{"ClipKeep"}, {"ClipDate"}, {"ClipTime"}}),
        MakeKey("KeyCategory", "Category", KeyKind::Duplicates,
                {{"Category"}, {"Abbreviation"}, {"ClipHashKey"}}),
        MakeKey("KeyAbbreviation", "Abbreviations", KeyKind::Duplicates,
                {{"Abbreviation"}, {"Category"}}),
        dictionary::Optional(
            MakeKey("KeyClipHash", "All by Contents", KeyKind::Primary, {{"ClipHashKey"}})),
    };
    t.buffer = [] { return static_cast<void*>(&CLI); };
    return t;
  }();
  return def;
}

const storage::TableDef& CLIPBOARDCATEGORIES_TABLE() {
  static const storage::TableDef def = [] {
    using R = CLIPBOARDCATEGORIES_RECORD;
    auto t =
        dictionary::MakeTable<R>("CLIPBOARDCATEGORIES", "CLC", "VX97\\!ClipboardCategories", true);
    t.fields = {VX_FIELD(R, Category)};
    t.keys = {MakeKey("KeyCategory", "Category", KeyKind::Primary, {{"Category"}})};
    t.buffer = [] { return static_cast<void*>(&CLC); };
    return t;
  }();
  return def;
}

}  // namespace vx
