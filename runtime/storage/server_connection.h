// The calling thread's connection to a PostgreSQL server, its transactions and its errors.
//
// Each runtime thread that uses the server's tables has a connection of its own, made at its
// first statement and closed when the thread ends. Outside a transaction every statement
// commits on its own. The thread's LOGOUT opens one server transaction at the first statement
// after it and ends it at the outermost COMMIT or at ROLLBACK; a stream (STREAM ... FLUSH)
// outside a LOGOUT does the same from its first write to its flush. A statement that fails
// inside a transaction undoes the whole of it on the server: every later statement of that
// transaction answers 90 until it ends, and its COMMIT fails, so no part of it is ever stored.
//
// A connection the server dropped (restarted, or its session ended) is noticed before the next
// statement when the thread is between transactions, and made again; one lost inside a
// transaction fails that transaction. Errors carry the server's own text; the password is in
// no message, since libpq never puts it there and nothing here adds it.
//
// libpq is loaded at the first connection (pq_library.h); a machine without it fails that
// connection with a message naming the library.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/storage/pq_library.h"

namespace vx::storage {

// Where the server is and who connects; every value empty means libpq's default.
struct ServerSettings {
  std::string host;
  std::string port;
  std::string dbname;
  std::string user;
  std::string password;
  int connect_timeout_seconds = 10;
};

// A statement's result, cleared with the object; `pq` is the library that made it.
class ServerResult {
 public:
  ServerResult() = default;
  ServerResult(const PqLibrary* pq, PGresult* result) : pq_(pq), result_(result) {}
  ~ServerResult() {
    if (result_) pq_->clear(result_);
  }
  ServerResult(ServerResult&& other) noexcept : pq_(other.pq_), result_(other.result_) {
    other.result_ = nullptr;
  }
  ServerResult& operator=(ServerResult&& other) noexcept {
    std::swap(pq_, other.pq_);
    std::swap(result_, other.result_);
    return *this;
  }
  PGresult* get() const { return result_; }
  bool ok() const {
    const ExecStatusType s = result_ ? pq_->result_status(result_) : PGRES_FATAL_ERROR;
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
  }
  int rows() const { return result_ ? pq_->ntuples(result_) : 0; }
  const char* value(int row, int column) const { return pq_->getvalue(result_, row, column); }
  int length(int row, int column) const { return pq_->getlength(result_, row, column); }
  bool null(int row, int column) const { return pq_->getisnull(result_, row, column) != 0; }
  // Whether the command (an UPDATE or DELETE) changed no row.
  bool NoRowChanged() const;
  // The five-character SQLSTATE of a failure ("" when the server sent none).
  std::string state() const;

 private:
  const PqLibrary* pq_ = nullptr;
  PGresult* result_ = nullptr;
};

// Where a caller keeps the server's name of a statement it runs often, so that a run needs no
// look-up by the statement's text; good for the connection it was filled on only.
struct PreparedSlot {
  std::uint64_t session = 0;
  std::string name;
};

class ServerConnection {
 public:
  ServerConnection(const ServerSettings& settings, std::uint64_t store_id);
  ~ServerConnection();
  ServerConnection(const ServerConnection&) = delete;
  ServerConnection& operator=(const ServerConnection&) = delete;

  // Connects when there is no live connection and no transaction depends on the lost one;
  // answers 0 or the runtime code of the failure, with the thread's error set.
  int Ready(const std::string& name);
  // Runs `sql` (prepared once per connection) with text parameters. A failure sets the
  // thread's error for `name` and gives a result whose ok() is false. `guarded`: inside a
  // transaction, a unique key's refusal undoes this statement alone (a savepoint around it)
  // rather than the whole transaction.
  ServerResult Run(const std::string& sql, const std::vector<std::string>& params,
                   const std::string& name, bool guarded = false, PreparedSlot* slot = nullptr);
  int RunCommand(const char* sql, const std::string& name);  // 0 or the runtime code

  // Sets the server's lock wait to the table's lock recovery time before a write.
  void LockWait(int ms);

  // Transactions: joins the thread's LOGOUT (or a stream) before a statement.
  int BeforeUse(const std::string& name);
  int BeforeWrite(bool streaming, const std::string& name);
  void AddStreamer() { ++streamers_; }
  int RemoveStreamer(const std::string& name);  // ends the stream's transaction with the last
  bool in_transaction() const { return in_txn_; }
  // Whether the connection is made and the server still answers it (no statement is sent).
  bool live() const { return conn_ && pq_->status(conn_) == CONNECTION_OK; }
  PGconn* raw() const { return conn_; }  // for the tests, which speak to the server directly
  int Commit(const std::string& name);
  void Rollback();

 private:
  // Runs a statement without parameters; the connection is live.
  ServerResult Exec(const char* sql);
  void Drop();
  // The connection ended while a transaction depended on it.
  int Lost(const std::string& name);

  ServerSettings settings_;
  std::uint64_t store_id_;
  const PqLibrary* pq_ = nullptr;  // loaded at the first connection
  PGconn* conn_ = nullptr;
  std::uint64_t session_ = 0;  // counts the connections made, so that slots of a lost one go
  bool checked_ = false;       // Ready() looked since the last statement
  std::unordered_map<std::string, std::string> prepared_;  // SQL text -> statement name
  int lock_ms_ = -1;
  bool in_txn_ = false;
  bool logout_txn_ = false;  // the open transaction is the thread's LOGOUT
  bool txn_failed_ = false;  // a statement failed in it: only its end is left
  std::string txn_error_;
  std::string server_notice_;  // the server's last word on ending the session
  int streamers_ = 0;
};

// FILEERRORCODE() of a failure because the server cannot be reached or the connection to it
// was lost (SQLSTATE 08006 read as a number in base 36, as other server errors are).
inline constexpr int kServerUnreachable = 8 * 36 * 36 * 36 + 6;

// Sets the thread's error from a failed result (or the connection's state when there is
// none) and returns the runtime code: 40 a unique key, 32 a lock wait run out or a deadlock,
// 5 a refusal, 2 a missing table, 90 anything else with the server's text.
int ServerFail(const PqLibrary& pq, const ServerResult& result, PGconn* conn,
               const std::string& name);

// The calling thread's connection for a store (made on first use).
ServerConnection& ThreadServerConnection(const ServerSettings& settings, std::uint64_t store_id);
// Closes the calling thread's connection for a store, if it has one.
void ForgetThreadServerConnection(std::uint64_t store_id);

}  // namespace vx::storage
