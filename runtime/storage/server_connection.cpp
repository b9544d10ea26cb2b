#include "runtime/storage/server_connection.h"

#include <poll.h>

#include <cstring>

#include "runtime/storage/errors.h"
#include "runtime/storage/sqlite_session.h"

namespace vx::storage {

namespace {

std::string Trimmed(const char* text) {
  std::string out = text ? text : "";
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

// The text of a failure: the server's message and, where it sent one, its SQLSTATE.
std::string ServerText(const PqLibrary& pq, const ServerResult& result, PGconn* conn) {
  std::string text;
  if (result.get()) text = Trimmed(pq.result_error_field(result.get(), PG_DIAG_MESSAGE_PRIMARY));
  if (text.empty() && result.get()) text = Trimmed(pq.result_error_message(result.get()));
  if (text.empty() && conn) text = Trimmed(pq.error_message(conn));
  if (conn && pq.status(conn) == CONNECTION_BAD)
    text = "the connection to the database server was lost: " + text;
  const std::string state = result.state();
  if (!state.empty()) text += " (SQLSTATE " + state + ")";
  return text.empty() ? std::string("the database server gave no answer") : text;
}

// SQLSTATE classes as a number for FILEERRORCODE(): the five characters in base 36.
int StateNumber(const std::string& state) {
  int n = 0;
  for (char c : state) n = n * 36 + (c >= 'A' ? c - 'A' + 10 : c - '0');
  return n;
}

}  // namespace

std::string ServerResult::state() const {
  const char* s = result_ ? pq_->result_error_field(result_, PG_DIAG_SQLSTATE) : nullptr;
  return s ? s : "";
}

bool ServerResult::NoRowChanged() const {
  return result_ && std::strcmp(pq_->cmd_tuples(result_), "0") == 0;
}

int ServerFail(const PqLibrary& pq, const ServerResult& result, PGconn* conn,
               const std::string& name) {
  const std::string state = result.state();
  int code = kDriverError;
  if (state == "23505") {
    code = kDuplicateKey;
  } else if (state == "55P03" || state == "40P01" || state == "40001") {
    code = kIsLocked;
  } else if (state == "42501" || state == "25006" || state == "28000" || state == "28P01") {
    code = kAccessDenied;
  } else if (state == "42P01") {
    code = kFileNotFound;
  }
  const bool lost = conn && pq.status(conn) == CONNECTION_BAD;
  SetError(code, name, lost ? kServerUnreachable : StateNumber(state),
           ServerText(pq, result, conn));
  return code;
}

ServerConnection::ServerConnection(const ServerSettings& settings, std::uint64_t store_id)
    : settings_(settings), store_id_(store_id) {}

// A thread that ends in a stream keeps what it wrote, as a close would; a LOGOUT left open
// stores nothing.
ServerConnection::~ServerConnection() {
  if (conn_ && in_txn_ && !logout_txn_ && !txn_failed_) Exec("COMMIT");
  Drop();
}

ServerResult ServerConnection::Exec(const char* sql) { return {pq_, pq_->exec(conn_, sql)}; }

void ServerConnection::Drop() {
  if (conn_) pq_->finish(conn_);
  conn_ = nullptr;
  checked_ = false;
  prepared_.clear();
  lock_ms_ = -1;
}

int ServerConnection::Lost(const std::string& name) {
  // The server rolled the transaction back with the session; what is left is its end.
  txn_failed_ = true;
  if (txn_error_.empty()) txn_error_ = "the connection to the database server was lost";
  SetError(kDriverError, name, kServerUnreachable, txn_error_);
  return kDriverError;
}

int ServerConnection::Ready(const std::string& name) {
  if (conn_) {
    // A server that ended the session has said so on the socket by now: read it while the
    // thread is between statements, so that the next statement finds the connection gone.
    // The notice comes first and the end of the stream after it: read until neither is left.
    pollfd fd{pq_->socket(conn_), POLLIN, 0};
    for (int reads = 0; reads < 4 && fd.fd >= 0 && pq_->status(conn_) == CONNECTION_OK &&
                        ::poll(&fd, 1, reads == 0 ? 0 : 5) > 0;
         ++reads) {
      pq_->consume_input(conn_);
      pq_->is_busy(conn_);  // parses what came, the server's notice of the end among it
    }
    if (pq_->status(conn_) == CONNECTION_OK) {
      checked_ = true;
      return kNoError;
    }
    if (in_txn_) {
      txn_error_ = "the connection to the database server was lost: " +
                   (server_notice_.empty() ? Trimmed(pq_->error_message(conn_)) : server_notice_);
      Drop();
      return Lost(name);
    }
    Drop();
  }
  if (in_txn_) return Lost(name);
  if (!pq_) {
    std::string error;
    pq_ = LoadPqLibrary(&error);
    if (!pq_) {
      SetError(kDriverError, name, kServerUnreachable,
               "cannot connect to the database server: " + error);
      return kDriverError;
    }
  }
  const std::string timeout = std::to_string(settings_.connect_timeout_seconds);
  std::vector<const char*> keys, values;
  const auto add = [&](const char* key, const std::string& value) {
    if (value.empty()) return;
    keys.push_back(key);
    values.push_back(value.c_str());
  };
  add("host", settings_.host);
  add("port", settings_.port);
  add("dbname", settings_.dbname);
  add("user", settings_.user);
  add("password", settings_.password);
  add("connect_timeout", timeout);
  static const std::string kApplication = "VX";
  add("application_name", kApplication);
  keys.push_back(nullptr);
  values.push_back(nullptr);
  conn_ = pq_->connectdb_params(keys.data(), values.data(), 0);
  if (!conn_ || pq_->status(conn_) != CONNECTION_OK) {
    const std::string text = "cannot connect to the database server: " +
                             Trimmed(conn_ ? pq_->error_message(conn_) : "out of memory");
    Drop();
    SetError(kDriverError, name, kServerUnreachable, text);
    return kDriverError;
  }
  // Notices (an index name cut to the server's length, ...) are not errors of ours; but a
  // server that ends the session between statements says why in one, which is kept.
  server_notice_.clear();
  pq_->set_notice_receiver(
      conn_,
      [](void* self, const PGresult* notice) {
        auto* connection = static_cast<ServerConnection*>(self);
        const PqLibrary& pq = *connection->pq_;
        const char* severity = pq.result_error_field(notice, PG_DIAG_SEVERITY_NONLOCALIZED);
        const char* text = pq.result_error_field(notice, PG_DIAG_MESSAGE_PRIMARY);
        if (severity && text &&
            (std::strcmp(severity, "FATAL") == 0 || std::strcmp(severity, "PANIC") == 0))
          connection->server_notice_ = text;
      },
      this);
  ServerResult setup = Exec("SET client_encoding = 'UTF8'");
  if (!setup.ok()) {
    const int code = ServerFail(*pq_, setup, conn_, name);
    Drop();
    return code;
  }
  ++session_;
  checked_ = true;
  return kNoError;
}

ServerResult ServerConnection::Run(const std::string& sql, const std::vector<std::string>& params,
                                   const std::string& name, bool guarded, PreparedSlot* slot) {
  if (txn_failed_) {
    Lost(name);
    return ServerResult{};
  }
  if (!checked_ && Ready(name) != kNoError) return ServerResult{};
  checked_ = false;
  const std::string* statement_name = slot && slot->session == session_ ? &slot->name : nullptr;
  auto it = prepared_.end();
  if (!statement_name) it = prepared_.find(sql);
  if (!statement_name && it == prepared_.end()) {
    const std::string statement = "vx" + std::to_string(prepared_.size() + 1);
    ServerResult prepared(pq_, pq_->prepare(conn_, statement.c_str(), sql.c_str(), 0, nullptr));
    if (!prepared.ok()) {
      ServerFail(*pq_, prepared, conn_, name);
      if (in_txn_) {
        txn_failed_ = true;
        txn_error_ = FILEERROR();
      }
      return prepared;
    }
    it = prepared_.emplace(sql, statement).first;
  }
  if (!statement_name) {
    statement_name = &it->second;
    if (slot) *slot = PreparedSlot{session_, it->second};
  }
  std::vector<const char*> values;
  values.reserve(params.size());
  for (const std::string& p : params) values.push_back(p.c_str());
  guarded = guarded && in_txn_;
  if (guarded) {
    ServerResult savepoint = Exec("SAVEPOINT vx_guard");
    if (!savepoint.ok()) guarded = false;
  }
  ServerResult result(
      pq_, pq_->exec_prepared(conn_, statement_name->c_str(), static_cast<int>(values.size()),
                              values.data(), nullptr, nullptr, 0));
  if (guarded) {
    const bool undo = !result.ok() && result.state() == "23505";
    ServerResult end = Exec(undo ? "ROLLBACK TO SAVEPOINT vx_guard" : "RELEASE SAVEPOINT vx_guard");
    if (undo && end.ok()) {
      ServerFail(*pq_, result, conn_, name);
      return result;
    }
  }
  if (!result.ok()) {
    ServerFail(*pq_, result, conn_, name);
    if (in_txn_) {
      txn_failed_ = true;
      txn_error_ = FILEERROR();
    }
    if (pq_->status(conn_) == CONNECTION_BAD && !in_txn_) Drop();
  }
  return result;
}

int ServerConnection::RunCommand(const char* sql, const std::string& name) {
  if (const int code = Ready(name); code != kNoError) return code;
  ServerResult result = Exec(sql);
  if (result.ok()) return kNoError;
  return ServerFail(*pq_, result, conn_, name);
}

void ServerConnection::LockWait(int ms) {
  if (!conn_ || ms == lock_ms_) return;
  const std::string sql = "SET lock_timeout = " + std::to_string(ms);
  ServerResult result = Exec(sql.c_str());
  if (result.ok()) lock_ms_ = ms;
}

int ServerConnection::BeforeUse(const std::string& name) {
  if (txn_failed_) return Lost(name);
  if (const int code = Ready(name); code != kNoError) return code;
  if (!in_txn_ && InLogout()) {
    if (const int code = RunCommand("BEGIN", name); code != kNoError) return code;
    in_txn_ = true;
    logout_txn_ = true;
  }
  return kNoError;
}

int ServerConnection::BeforeWrite(bool streaming, const std::string& name) {
  if (const int code = BeforeUse(name); code != kNoError) return code;
  if (!in_txn_ && streaming && streamers_ > 0) {
    if (const int code = RunCommand("BEGIN", name); code != kNoError) return code;
    in_txn_ = true;
    logout_txn_ = false;
  }
  return kNoError;
}

int ServerConnection::RemoveStreamer(const std::string& name) {
  if (streamers_ > 0) --streamers_;
  if (streamers_ == 0 && in_txn_ && !logout_txn_) return Commit(name);
  return kNoError;
}

int ServerConnection::Commit(const std::string& name) {
  if (!in_txn_) return kNoError;
  in_txn_ = false;
  logout_txn_ = false;
  if (txn_failed_) {
    txn_failed_ = false;
    const std::string text = txn_error_;
    txn_error_.clear();
    if (conn_ && pq_->status(conn_) == CONNECTION_OK) Exec("ROLLBACK");
    SetError(kDriverError, name, 0, "the transaction was not stored: " + text);
    return kDriverError;
  }
  if (!conn_ || pq_->status(conn_) != CONNECTION_OK) {
    Drop();
    SetError(kDriverError, name, kServerUnreachable,
             "the transaction was not stored: the connection to the database server was lost");
    return kDriverError;
  }
  ServerResult result = Exec("COMMIT");
  // A COMMIT the server answers with ROLLBACK (a deferred check failed) stored nothing.
  const char* tag = result.get() ? pq_->cmd_status(result.get()) : "";
  if (!result.ok() || std::strcmp(tag, "ROLLBACK") == 0) {
    const int code = result.ok() ? kDriverError : ServerFail(*pq_, result, conn_, name);
    const std::string text =
        result.ok() ? std::string("the server rolled the transaction back") : FILEERROR();
    SetError(code == kDuplicateKey ? code : kDriverError, name, 0,
             "the transaction was not stored: " + text);
    if (pq_->status(conn_) == CONNECTION_BAD) Drop();
    return code == kDuplicateKey ? code : kDriverError;
  }
  return kNoError;
}

void ServerConnection::Rollback() {
  if (!in_txn_) return;
  in_txn_ = false;
  logout_txn_ = false;
  txn_failed_ = false;
  txn_error_.clear();
  if (conn_ && pq_->status(conn_) == CONNECTION_OK) {
    Exec("ROLLBACK");
    if (pq_->status(conn_) == CONNECTION_BAD) Drop();
  } else {
    Drop();
  }
}

namespace {

std::unordered_map<std::uint64_t, std::unique_ptr<ServerConnection>>& ThreadConnections() {
  thread_local std::unordered_map<std::uint64_t, std::unique_ptr<ServerConnection>> connections;
  return connections;
}

}  // namespace

ServerConnection& ThreadServerConnection(const ServerSettings& settings, std::uint64_t store_id) {
  auto& slot = ThreadConnections()[store_id];
  if (!slot) slot = std::make_unique<ServerConnection>(settings, store_id);
  return *slot;
}

void ForgetThreadServerConnection(std::uint64_t store_id) { ThreadConnections().erase(store_id); }

}  // namespace vx::storage
