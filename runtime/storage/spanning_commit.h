// The commit of a thread's transaction (COMMIT), all or nothing across its data files, crash or
// not.
//
// SQLite commits one file at a time (a multi-file commit of its own needs a rollback journal,
// and the engine keeps its files in WAL so that readers never wait), so a transaction that
// changed more than one file first writes what undoes each file's part (commit_intent.h)
// beside every one of them, then commits the files one after the other, then clears the
// record. When a file's commit fails, the files committed before are undone at once; when the
// process dies in between, or the undo cannot be written, the record stays and the next
// connection to any of the files, or the next write to one, settles it first: every row the
// transaction changed that still holds the values it left is put back as it was. A transaction
// that changed one file commits as SQLite commits it, with no record.
//
// A transaction's changes to the schema (a table made inside it) are not undone.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "runtime/storage/sqlite_session.h"

namespace vx::storage {

// Commits every connection of the transaction, or none of them. A SQLite result code: the
// first failure, after which nothing of the transaction stays.
int CommitMembers(const std::vector<std::shared_ptr<Connection>>& members);

// Settles an unfinished transaction that `data_file` (absolute) took part in, if its intent
// record lies beside it: undoes every file's part and removes the records. Waits up to
// `busy_ms` for a transaction still committing. A SQLite result code (SQLITE_BUSY: another
// holds the record still); SQLITE_OK when there was nothing to settle.
int SettleIntentBeside(const std::string& data_file, int busy_ms);

}  // namespace vx::storage
