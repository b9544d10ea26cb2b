// FAVORITES, ACTIONS and COMMANDS: tables the data library declares, relates and registers but
// the program neither reads nor writes (favourites by type, and two reference lists).
#pragma once

#include <cstdint>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct FAVORITES_RECORD {
  String<8> FAVTYPE;
  String<40> FAVDESC;
  String<1024> DATA;
};

struct ACTIONS_RECORD {
  String<27> ACTION;
  String<4096> ACTIONDESCRIPTION;
  std::int32_t SEQ = 0;
};

struct COMMANDS_RECORD {
  String<39> TITLE;
  String<112> COMMAND;
};

extern thread_local FAVORITES_RECORD FAV;
extern thread_local ACTIONS_RECORD ACT;
extern thread_local COMMANDS_RECORD CMD;

const storage::TableDef& FAVORITES_TABLE();
const storage::TableDef& ACTIONS_TABLE();
const storage::TableDef& COMMANDS_TABLE();

}  // namespace vx
