// SYSHOTKEYS: system-wide hot keys: the key combination as text, whether it is in use, and its
// action (type a text, or run the task whose SCH.ID is in ID).
#pragma once

#include <cstdint>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct SYSHOTKEYS_RECORD {
  std::int32_t ID = 0;
  String<20> HotKey;
  std::uint8_t Active = 0;
  String<40> Description;
  String<40> QuickText;
  String<4> Action;
  String<30> TextType;
  String<10000> Text;  // memo
};

extern thread_local SYSHOTKEYS_RECORD HOT;

const storage::TableDef& SYSHOTKEYS_TABLE();

}  // namespace vx
