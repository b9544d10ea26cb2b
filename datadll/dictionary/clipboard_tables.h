// CLIPBOARD: captured clipboard texts with their category, capture moment and keep switch;
// CLIPBOARDCATEGORIES: their categories.
#pragma once

#include <cstdint>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct CLIPBOARD_RECORD {
  String<20> Abbreviation;
  String<20> Category;
  std::int32_t ClipDate = 0;
  std::int32_t ClipTime = 0;
  String<120> ClipHashKey;
  std::uint8_t ClipKeep = 0;
  String<8192> ClipContents;  // memo
};

struct CLIPBOARDCATEGORIES_RECORD {
  String<20> Category;
};

extern thread_local CLIPBOARD_RECORD CLI;
extern thread_local CLIPBOARDCATEGORIES_RECORD CLC;

const storage::TableDef& CLIPBOARD_TABLE();
const storage::TableDef& CLIPBOARDCATEGORIES_TABLE();

}  // namespace vx
