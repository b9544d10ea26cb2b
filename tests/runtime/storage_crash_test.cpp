// A writer killed at random moments loses nothing it reported written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>
#include <string>
#include <thread>

#include "runtime/storage/file.h"
#include "storage_fixture.h"

namespace vx::storage::testing {
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
  for (int id : reported) ASSERT_TRUE(stored.count(id)) << "record " << id << " was reported written";
  ASSERT_EQ(file.Close(), 0);
}

TEST_F(StorageCrash, KilledWritersLoseNoReportedRecord) {
  const TableDef def = MakeItemTable("crash\\!items");
  {
    File file(def);
    ASSERT_EQ(file.Create(), 0);
  }
  std::mt19937 random(12345);
  std::set<int> reported;
  int next_id = 1;
  for (int round = 0; round < 8; ++round) {
    const bool stream = round % 2 == 1;
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(fds[0]);
      Writer(def, fds[1], next_id, stream);
    }
    close(fds[1]);
    // Kill the writer at a random moment after its first report (a slow start under load
    // would otherwise leave nothing to check).
    int id = 0;
    ASSERT_EQ(read(fds[0], &id, sizeof id), static_cast<ssize_t>(sizeof id)) << "round " << round;
    reported.insert(id);
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 150));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "writer stopped on its own with " << WEXITSTATUS(status);
    while (read(fds[0], &id, sizeof id) == static_cast<ssize_t>(sizeof id)) reported.insert(id);
    close(fds[0]);
    CheckFile(def, reported);
    // The next writer starts above anything that might have been written.
    next_id += 1000000;
  }
}

}  // namespace
}  // namespace vx::storage::testing
