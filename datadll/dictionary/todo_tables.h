// TODO: the to-do list (done switch, priority 1 to 10, category, text, completion moment, notes
// and resolution memos). SYNCTODO is its synchronisation copy in a file of its own.
#pragma once

#include <cstdint>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct TODO_RECORD {
  std::uint8_t Done = 0;
  std::uint8_t Priority = 0;
  String<20> Category;
  String<80> ToDo;
  std::int32_t CompletionDate = 0;
  std::int32_t CompletionTime = 0;
  String<30> NetworkUser;
  std::int32_t LastChangeDate = 0;
  std::int32_t LastChangeTime = 0;
  std::int32_t OriginalID = 0;
  String<4096> Notes;       // memo
  String<1000> Resolution;  // memo
};

using SYNCTODO_RECORD = TODO_RECORD;

extern thread_local TODO_RECORD TDO;
extern thread_local SYNCTODO_RECORD STDO;

const storage::TableDef& TODO_TABLE();
const storage::TableDef& SYNCTODO_TABLE();

}  // namespace vx
