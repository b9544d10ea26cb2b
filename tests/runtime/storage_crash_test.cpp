// A writer killed at random moments loses nothing it reported written, and a transaction over
// two data files is found whole in both or in neither when they are opened again.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "faulty_vfs.h"
#include "runtime/storage/file.h"
#include "runtime/storage/sqlite_session.h"
#include "storage_fixture.h"

namespace vx::test {

using namespace vx::storage;  // the storage engine's own names, unqualified
namespace {

class StorageCrash : public ScratchDir {};

// The child: adds records with rising ids and reports on the pipe each id that is safe (each
// added one, or in stream mode each one up to the last FLUSH).
[[noreturn]] void Writer(const TableDef& def, int fd, int first_id, bool stream) {
  std::thread worker([&] {
    File file(def);
    if (file.Open() != 0) _exit(3);
    if (stream) file.Stream();
    for (int id = first_id;; ++id) {
      SetItem(id, "crash");
      ItemBuffer().Notes = std::string(90, 'x');
      if (file.Add() != 0) _exit(4);
      if (!stream || id % 7 == 0) {
        if (stream && file.Flush() != 0) _exit(5);
        if (stream) file.Stream();
        if (write(fd, &id, sizeof id) != static_cast<ssize_t>(sizeof id)) _exit(6);
      }
    }
  });
  worker.join();
  _exit(0);
}

void CreateFiles(std::initializer_list<const TableDef*> defs) {
  for (const TableDef* def : defs) {
    File file(*def);
    ASSERT_EQ(file.Create(), 0) << def->stored_name;
  }
}

// Starts `writer` in a child process with the write end of a pipe, on which it reports the ids
// it has stored; kills it with SIGKILL `after` its first report (a slow start under load would
// otherwise leave nothing to check), and adds every id it reported to `reported`.
void KillWriter(const std::function<void(int fd)>& writer, std::chrono::microseconds after,
                std::set<int>* reported) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    writer(fds[1]);
    _exit(0);
  }
  close(fds[1]);
  int id = 0;
  ASSERT_EQ(read(fds[0], &id, sizeof id), static_cast<ssize_t>(sizeof id)) << "no first report";
  reported->insert(id);
  std::this_thread::sleep_for(after);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "writer stopped on its own with " << WEXITSTATUS(status);
  while (read(fds[0], &id, sizeof id) == static_cast<ssize_t>(sizeof id)) reported->insert(id);
  close(fds[0]);
}

void CheckFile(const TableDef& def, const std::set<int>& reported) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open("crash.TPS", &db), SQLITE_OK);
  sqlite3_stmt* stmt = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "ok");
  sqlite3_finalize(stmt);
  sqlite3_close(db);

  File file(def);
  ASSERT_EQ(file.Open(), 0);
  std::set<int> stored;
  file.Set(def.keys[0]);
  while (file.Next() == 0) stored.insert(ItemBuffer().Id);
  for (int id : reported)
    ASSERT_TRUE(stored.count(id)) << "record " << id << " was reported written";
  ASSERT_EQ(file.Close(), 0);
}

TEST_F(StorageCrash, KilledWritersLoseNoReportedRecord) {
  const TableDef def = MakeItemTable("crash\\!items");
  ASSERT_NO_FATAL_FAILURE(CreateFiles({&def}));
  std::mt19937 random(12345);
  std::set<int> reported;
  int next_id = 1;
  for (int round = 0; round < 8; ++round) {
    const bool stream = round % 2 == 1;
    ASSERT_NO_FATAL_FAILURE(KillWriter([&](int fd) { Writer(def, fd, next_id, stream); },
                                       std::chrono::microseconds(random() % 150000), &reported))
        << "round " << round;
    CheckFile(def, reported);
    // The next writer starts above anything that might have been written.
    next_id += 1000000;
  }
}

// The child: in each transaction adds the record of one id to both files, and reports the id
// on the pipe once COMMIT has returned.
[[noreturn]] void PairWriter(const TableDef& first, const TableDef& second, int fd, int first_id) {
  std::thread worker([&] {
    File a(first);
    File b(second);
    if (a.Open() != 0 || b.Open() != 0) _exit(3);
    for (int id = first_id;; ++id) {
      LOGOUT(1);
      SetItem(id, "pair");
      ItemBuffer().Notes = std::string(90, 'x');
      if (a.Add() != 0 || b.Add() != 0) _exit(4);
      if (COMMIT() != 0) _exit(5);
      if (write(fd, &id, sizeof id) != static_cast<ssize_t>(sizeof id)) _exit(6);
    }
  });
  worker.join();
  _exit(0);
}

std::set<int> StoredIds(const TableDef& def) {
  File file(def);
  std::set<int> ids;
  EXPECT_EQ(file.Open(), 0) << def.stored_name;
  file.Set(def.keys[0]);
  while (file.Next() == 0) ids.insert(ItemBuffer().Id);
  file.Close();
  return ids;
}

// Ids stored in one of the files and not in the other.
std::set<int> Torn(const std::set<int>& a, const std::set<int>& b) {
  std::set<int> torn;
  for (int id : a)
    if (!b.count(id)) torn.insert(id);
  for (int id : b)
    if (!a.count(id)) torn.insert(id);
  return torn;
}

TEST_F(StorageCrash, KilledTwoFileTransactionsAreWholeInBothFilesOrInNeither) {
  const TableDef first = MakeItemTable("pairA\\!items");
  const TableDef second = MakeItemTable("pairB\\!items");
  ASSERT_NO_FATAL_FAILURE(CreateFiles({&first, &second}));
  std::mt19937 random(54321);
  std::set<int> reported;
  int next_id = 1;
  std::set<int> torn;  // ids of transactions found in one file only
  const int rounds = 16;
  for (int round = 0; round < rounds; ++round) {
    ASSERT_NO_FATAL_FAILURE(KillWriter([&](int fd) { PairWriter(first, second, fd, next_id); },
                                       std::chrono::microseconds(random() % 60000), &reported))
        << "round " << round;

    // Opening the files again settles a transaction the kill cut short.
    const std::set<int> in_first = StoredIds(first);
    const std::set<int> in_second = StoredIds(second);
    for (int one_only : Torn(in_first, in_second)) torn.insert(one_only);
    for (int done : reported) {
      ASSERT_TRUE(in_first.count(done) && in_second.count(done))
          << "record " << done << " was reported written";
    }
    next_id += 1000000;
  }
  EXPECT_TRUE(torn.empty()) << torn.size() << " of " << rounds
                            << " killed transactions are in one file only";
}

// The child: one transaction adding the record `id` to both files, killed at the nth write or
// sync of SQLite's files from its COMMIT on. Ends with 0 when the commit finished first.
[[noreturn]] void CrashingPairWriter(const TableDef& first, const TableDef& second, int id,
                                     int nth) {
  std::thread worker([&] {
    FaultyVfs vfs;
    File a(first);
    File b(second);
    if (a.Open() != 0 || b.Open() != 0) _exit(3);
    LOGOUT(1);
    SetItem(id, "pair");
    if (a.Add() != 0 || b.Add() != 0) _exit(4);
    vfs.Arm(Fault::Crash, nth);
    _exit(COMMIT() == 0 ? 0 : 5);
  });
  worker.join();
  _exit(0);
}

// Every moment of a two-file commit at which SQLite writes or syncs, in turn, is a crash that
// leaves the transaction in both files or in neither.
TEST_F(StorageCrash, ACrashAtEachWriteOrSyncOfATwoFileCommitLeavesItInBothFilesOrNeither) {
  const TableDef first = MakeItemTable("stepA\\!items");
  const TableDef second = MakeItemTable("stepB\\!items");
  ASSERT_NO_FATAL_FAILURE(CreateFiles({&first, &second}));
  int crashes = 0;
  bool finished = false;
  for (int nth = 1; nth <= 100 && !finished; ++nth) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) CrashingPairWriter(first, second, nth, nth);
    int status = 0;
    waitpid(child, &status, 0);
    finished = WIFEXITED(status);
    if (finished) {
      ASSERT_EQ(WEXITSTATUS(status), 0) << "the commit failed with no crash";
    } else {
      ASSERT_TRUE(WIFSIGNALED(status));
      ++crashes;
    }
    const bool in_first = StoredIds(first).count(nth) == 1;
    const bool in_second = StoredIds(second).count(nth) == 1;
    EXPECT_EQ(in_first, in_second) << "crash at write or sync " << nth;
    if (finished) {
      EXPECT_TRUE(in_first && in_second) << "the commit finished";
    }
  }
  EXPECT_TRUE(finished);
  EXPECT_GE(crashes, 4);  // both files' log writes and syncs
}

}  // namespace
}  // namespace vx::test
