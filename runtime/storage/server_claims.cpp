#include "runtime/storage/server_claims.h"

#include "runtime/storage/errors.h"
#include "runtime/storage/server_store.h"

namespace vx::storage {

ClaimResult ClaimOnce(const std::string& name, int lock_wait_ms) {
  ServerConnection* conn = InstalledServerConnection();
  if (!conn) return ClaimResult::Ours;
  const std::string file = "vx_claims";
  if (conn->BeforeWrite(false, file) != kNoError) return ClaimResult::Failed;
  conn->LockWait(lock_wait_ms);
  const ServerResult r = conn->Run(
      "INSERT INTO vx_claims (name) VALUES ($1) ON CONFLICT DO NOTHING RETURNING 1", {name}, file);
  if (!r.ok()) return ClaimResult::Failed;
  ClearError();
  return r.rows() == 1 ? ClaimResult::Ours : ClaimResult::Taken;
}

}  // namespace vx::storage
