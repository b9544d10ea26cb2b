// USERS: the accounts of a multi-user installation, keyed by user name. VXUSD: one record per
// task and user with the per-user copy of the task's run state (next run, last run, advance
// warning, disabled/completed/skipped), which SCHEDULE holds for a single user.
#pragma once

#include <cstdint>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct USERS_RECORD {
  String<40> USER;
  String<40> PASSWORD;
  String<40> CONFIRMPASSWORD;
  std::uint8_t USEPASSWORD = 0;
  String<20> SECURITY;
  String<255> SOURCEPATH;
  String<1000> NOTES;  // memo
};

struct VXUSD_RECORD {
  String<40> USER;
  std::int32_t ID = 0;
  std::int32_t DATE = 0;
  std::int32_t TIME = 0;
  std::int32_t LASTRUNDATE = 0;
  std::int32_t LASTRUNTIME = 0;
  std::uint8_t SKIPNEXTTIME = 0;
  std::int32_t ADVANCEWARNDATE = 0;
  std::int32_t ADVANCEWARNTIME = 0;
  std::uint8_t ADVANCEWARNED = 0;
  std::uint8_t DISABLED = 0;
  std::uint8_t COMPLETED = 0;
  std::uint8_t SKIPPED = 0;
};

extern thread_local USERS_RECORD U_;
extern thread_local VXUSD_RECORD US;

const storage::TableDef& USERS_TABLE();
const storage::TableDef& VXUSD_TABLE();

}  // namespace vx
