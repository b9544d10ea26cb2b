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

namespace {

// A reservation is an advisory lock of the session on the pair (kReserveSpace, hash of the
// name); the two-key locks are apart from the one-key locks that creating and numbering take.
constexpr const char* kReserveSpace = "1448363852";  // "VXRL"

}  // namespace

ClaimResult ReserveOnce(const std::string& name) {
  ServerConnection* conn = InstalledServerConnection();
  if (!conn) return ClaimResult::Ours;
  const std::string file = "vx_claims";
  if (conn->BeforeUse(file) != kNoError) return ClaimResult::Failed;
  // One round trip: the lock, and whether the occurrence is stored as claimed already. A lock
  // got for a claimed name is given back at once.
  const ServerResult r = conn->Run(
      std::string("SELECT CASE WHEN NOT pg_try_advisory_lock(") + kReserveSpace +
          ", hashtext($1)) THEN 0 WHEN EXISTS (SELECT 1 FROM vx_claims WHERE name = $1) AND "
          "pg_advisory_unlock(" +
          kReserveSpace + ", hashtext($1)) THEN 0 ELSE 1 END",
      {name}, file);
  if (!r.ok() || r.rows() != 1) return ClaimResult::Failed;
  ClearError();
  return r.value(0, 0)[0] == '1' ? ClaimResult::Ours : ClaimResult::Taken;
}

void ReleaseOnce(const std::string& name) {
  ServerConnection* conn = InstalledServerConnection();
  if (!conn || !conn->live()) return;
  // A lost session has let go of it already; a failure here changes nothing the caller reads.
  const int code = ERRORCODE();
  const std::string file = ERRORFILE();
  const int driver_code = FILEERRORCODE();
  const std::string driver_text = FILEERROR();
  conn->Run(std::string("SELECT pg_advisory_unlock(") + kReserveSpace + ", hashtext($1))", {name},
            "vx_claims");
  SetError(code, file, driver_code, driver_text);
}

}  // namespace vx::storage
