#include "program/admin/ensure_current_user.h"

#include <filesystem>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "runtime/storage/errors.h"

namespace vx {

void EnsureCurrentUser() {
  if (RELATE_USERS->Open() != storage::kNoError) return;
  U_.USER = GLO_USER.view();
  if (ACCESS_USERS->TryFetch(U__KEYUSER) == storage::kRecordNotFound) {
    U_ = USERS_RECORD{};
    U_.USER = GLO_USER.view();
    std::error_code ec;
    U_.SOURCEPATH = std::filesystem::current_path(ec).string();
    ACCESS_USERS->TryInsert();
  }
  RELATE_USERS->Close();
}

}  // namespace vx
