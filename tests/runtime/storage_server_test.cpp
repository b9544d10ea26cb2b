// What only a database server does to the storage engine: sessions the server ends, commits it
// refuses, locks held by other clients, tables made by another definition, a server that is
// not there. Nothing a failed transaction wrote is ever stored, and each failure says why in
// the server's words.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "runtime/storage/file.h"
#include "runtime/storage/server_claims.h"
#include "runtime/storage/server_store.h"
#include "runtime/storage/sqlite_session.h"
#include "storage_backend.h"
#include "storage_fixture.h"

namespace vx::test {

using namespace vx::storage;  // the storage engine's own names, unqualified
namespace {

class StorageServer : public StorageBackendTest {
 protected:
  // Three records stored before each fault.
  void Fill(File& file) {
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);
    for (int i = 1; i <= 3; ++i) {
      SetItem(i, ("kept" + std::to_string(i)).c_str());
      ASSERT_EQ(file.Add(), 0);
    }
  }
  // Ends every session of the program on the server, as an administrator or a restart would.
  void EndSessions() {
    // This process's sessions only: other test programs may share the cluster.
    const std::string mine =
        "FROM pg_stat_activity WHERE application_name = 'VX' AND datname = '" + kDatabase + "'";
    ASSERT_EQ(cluster_->Admin("SELECT pg_terminate_backend(pid) " + mine), "");
    // The server ends them on its own time: wait until they are gone.
    for (int i = 0; i < 500 && cluster_->Scalar("SELECT count(*) " + mine, "postgres") != "0"; ++i)
      usleep(10000);
  }
  std::string Stored(const std::string& table) {
    return cluster_->Scalar("SELECT count(*) FROM \"" + table + "\"", kDatabase);
  }
};

TEST_P(StorageServer, ASessionEndedInsideALogoutStoresNoneOfItAndSaysSo) {
  const TableDef def = MakeItemTable("lost\\!items");
  File file(def);
  Fill(file);
  LOGOUT(1);
  SetItem(10, "gone");
  ASSERT_EQ(file.Add(), 0);
  EndSessions();
  SetItem(11, "gone too");
  EXPECT_EQ(file.Add(), 90);
  EXPECT_NE(FILEERROR().find("terminating connection"), std::string::npos) << FILEERROR();
  // The rest of the transaction is refused, not written on its own.
  SetItem(12, "never");
  EXPECT_EQ(file.Add(), 90);
  EXPECT_NE(COMMIT(), 0);
  EXPECT_NE(FILEERROR().find("not stored"), std::string::npos) << FILEERROR();
  EXPECT_EQ(Stored("LOST!ITEMS"), "3");
  // The next statement connects again.
  EXPECT_EQ(file.Records(), 3);
  SetItem(13, "after");
  EXPECT_EQ(file.Add(), 0);
  EXPECT_EQ(Stored("LOST!ITEMS"), "4");
}

TEST_P(StorageServer, ACommitTheServerRefusesStoresNothingAndGivesTheServersText) {
  const TableDef def = MakeItemTable("refused\\!items");
  File file(def);
  Fill(file);
  // A check the server makes only at commit.
  ASSERT_EQ(cluster_->Admin(R"(
      CREATE FUNCTION no_bad() RETURNS trigger LANGUAGE plpgsql AS $$
      BEGIN IF NEW."Name" = 'bad' THEN RAISE EXCEPTION 'bad names are refused at commit'; END IF;
      RETURN NULL; END $$;
      CREATE CONSTRAINT TRIGGER no_bad AFTER INSERT ON "REFUSED!ITEMS"
      DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION no_bad();)",
                            kDatabase),
            "");
  LOGOUT(1);
  SetItem(20, "good");
  ASSERT_EQ(file.Add(), 0);
  SetItem(21, "bad");
  ASSERT_EQ(file.Add(), 0);
  EXPECT_EQ(COMMIT(), kDriverError);
  EXPECT_NE(FILEERROR().find("bad names are refused at commit"), std::string::npos) << FILEERROR();
  EXPECT_EQ(Stored("REFUSED!ITEMS"), "3");

  // A session ended between the last write and the commit stores nothing either.
  LOGOUT(1);
  SetItem(22, "good");
  ASSERT_EQ(file.Add(), 0);
  EndSessions();
  EXPECT_EQ(COMMIT(), kDriverError);
  EXPECT_NE(FILEERROR().find("not stored"), std::string::npos) << FILEERROR();
  EXPECT_EQ(Stored("REFUSED!ITEMS"), "3");
  EXPECT_EQ(file.Records(), 3);
}

TEST_P(StorageServer, ASessionEndedBetweenTransactionsIsMadeAgainBeforeTheNextStatement) {
  const TableDef def = MakeItemTable("again\\!items");
  File file(def);
  Fill(file);
  EndSessions();
  SetItem(2, "");
  EXPECT_EQ(file.Get(def.keys[0]), 0);
  EXPECT_EQ(ItemBuffer().Name.str(), "kept2");
  EndSessions();
  SetItem(4, "four");
  EXPECT_EQ(file.Add(), 0);
  EXPECT_EQ(Stored("AGAIN!ITEMS"), "4");
}

TEST_P(StorageServer, ARowLockedByAnotherClientWaitsTheRecoveryTimeThenGives32) {
  const TableDef def = MakeItemTable("locked\\!items");
  File file(def);
  Fill(file);
  file.SetLockWaitSeconds(1);
  const ServerSettings s = cluster_->Settings(kDatabase);
  const std::string info = "host=" + s.host + " port=" + s.port + " dbname=" + s.dbname +
                           " user=" + s.user + " password=" + s.password;
  PGconn* other = PQconnectdb(info.c_str());
  ASSERT_EQ(PQstatus(other), CONNECTION_OK);
  PQclear(PQexec(other, "BEGIN; UPDATE \"LOCKED!ITEMS\" SET \"Small\" = 1"));
  SetItem(1, "");
  ASSERT_EQ(file.Get(def.keys[0]), 0);
  ItemBuffer().Notes = "mine";
  EXPECT_EQ(file.Put(), 32);
  PQclear(PQexec(other, "ROLLBACK"));
  PQfinish(other);
  EXPECT_EQ(file.Put(), 0);
}

TEST_P(StorageServer, ATableOfAnotherDefinitionIs47AndChangedKeysAre46UntilBuilt) {
  const TableDef def = MakeItemTable("shape\\!items");
  {
    File file(def);
    Fill(file);
    file.Close();
  }
  TableDef fewer_keys = def;
  fewer_keys.keys.pop_back();
  File keys(fewer_keys);
  EXPECT_EQ(keys.Open(), 46);
  EXPECT_EQ(keys.Build(), 0);
  EXPECT_EQ(keys.Open(), 0);
  EXPECT_EQ(keys.Records(), 3);
  keys.Close();
  TableDef other_fields = def;
  other_fields.fields[1].size = 12;
  File fields(other_fields);
  EXPECT_EQ(fields.Open(), 47);
  TableDef missing = MakeItemTable("nothere\\!items");
  File none(missing);
  EXPECT_EQ(none.Open(), 2);
}

TEST_P(StorageServer, AServerThatIsNotThereIsAClearErrorAtOpen) {
  ServerSettings nowhere = cluster_->Settings(kDatabase);
  nowhere.port = "1";
  InstallTableStore(MakeServerStore(nowhere));
  const TableDef def = MakeItemTable("nowhere\\!items");
  File file(def);
  EXPECT_EQ(file.Open(), 90);
  EXPECT_NE(FILEERROR().find("cannot connect to the database server"), std::string::npos)
      << FILEERROR();
  EXPECT_EQ(FILEERROR().find(nowhere.password), std::string::npos);
}

// A team: the database belongs to a role each person is granted, and each connects as
// themselves; tables one of them makes are the others' too.
TEST_P(StorageServer, EachPersonConnectsAsThemselvesToTheTeamsTables) {
  const std::string team = LocalPgCluster::Name("team"), ann = LocalPgCluster::Name("ann"),
                    bob = LocalPgCluster::Name("bob"), db = LocalPgCluster::Name("vx_team");
  ASSERT_EQ(cluster_->Admin("DROP DATABASE IF EXISTS " + db + " WITH (FORCE)"), "");
  for (const std::string& role : {ann, bob, team})
    ASSERT_EQ(cluster_->Admin("DROP ROLE IF EXISTS " + role), "");
  ASSERT_EQ(cluster_->Admin("CREATE ROLE " + team + "; CREATE ROLE " + ann +
                            " LOGIN PASSWORD 'ann-pw' IN ROLE " + team + "; CREATE ROLE " + bob +
                            " LOGIN PASSWORD 'bob-pw' IN ROLE " + team),
            "");
  ASSERT_EQ(cluster_->Admin("CREATE DATABASE " + db + " OWNER " + team), "");
  const TableDef def = MakeItemTable("VX97\\!s");
  {
    InstallTableStore(MakeServerStore(cluster_->Settings(db, ann, "ann-pw")));
    File file(def);
    ASSERT_EQ(file.Create(), 0) << FILEERROR();
    ASSERT_EQ(file.Open(), 0);
    SetItem(1, "ann's");
    ASSERT_EQ(file.Add(), 0);
    file.Close();
  }
  {
    InstallTableStore(MakeServerStore(cluster_->Settings(db, bob, "bob-pw")));
    File file(def);
    ASSERT_EQ(file.Open(), 0) << FILEERROR();
    SetItem(2, "bob's");
    ASSERT_EQ(file.Add(), 0) << FILEERROR();
    EXPECT_EQ(file.Records(), 2);
    file.Close();
  }
  EXPECT_EQ(cluster_->Scalar("SELECT tableowner FROM pg_tables WHERE tablename = 'VX97!S'", db),
            team);
  InstallTableStore(nullptr);
  EXPECT_EQ(cluster_->Admin("DROP DATABASE " + db + " WITH (FORCE)"), "");
  for (const std::string& role : {ann, bob, team})
    EXPECT_EQ(cluster_->Admin("DROP ROLE " + role), "");
}

// Two threads (two connections) claim the same forty names in opposite orders, each in a
// transaction with a write: every name is claimed once, by one of them; a claim undone with its
// transaction is free again.
TEST_P(StorageServer, EachNameIsClaimedOnceAcrossConnectionsAndAnUndoneClaimIsFree) {
  const TableDef def = MakeItemTable("claims\\!items");
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  std::vector<int> owner(40, 0);
  const auto claimer = [&](int me, bool backwards) {
    ASSERT_EQ(file.Open(), 0);
    for (int n = 0; n < 40; ++n) {
      const int i = backwards ? 39 - n : n;
      LOGOUT(1);
      const ClaimResult claim = ClaimOnce("occurrence " + std::to_string(i));
      ASSERT_NE(claim, ClaimResult::Failed) << FILEERROR();
      if (claim == ClaimResult::Ours) {
        SetItem(i, "run");
        ASSERT_EQ(file.Add(), 0);
        ASSERT_EQ(owner[static_cast<std::size_t>(i)], 0) << i;
        owner[static_cast<std::size_t>(i)] = me;
      }
      ASSERT_EQ(COMMIT(), 0) << FILEERROR();
    }
    file.Close();
  };
  std::thread first(claimer, 1, false), second(claimer, 2, true);
  first.join();
  second.join();
  EXPECT_EQ(std::count(owner.begin(), owner.end(), 0), 0);
  EXPECT_EQ(Stored("CLAIMS!ITEMS"), "40");

  LOGOUT(1);
  EXPECT_EQ(ClaimOnce("undone"), ClaimResult::Ours);
  ROLLBACK();
  EXPECT_EQ(ClaimOnce("undone"), ClaimResult::Ours);
  EXPECT_EQ(ClaimOnce("undone"), ClaimResult::Taken);

  InstallTableStore(nullptr);  // the data folder's files: one program, nobody to share with
  EXPECT_EQ(ClaimOnce("undone"), ClaimResult::Ours);
}

// A reservation is held against every other connection at once (no wait) until it is released
// or its session ends; a name claimed and stored cannot be reserved any more.
TEST_P(StorageServer, AReservationIsTakenForOthersUntilReleasedAndAStoredClaimForEveryone) {
  const TableDef def = MakeItemTable("reserved\\!items");
  File file(def);
  ASSERT_EQ(file.Create(), 0);  // the claims table with it
  const auto other = [](const std::string& name, bool release) {
    ClaimResult result = ClaimResult::Failed;
    std::thread([&] {
      result = ReserveOnce(name);
      if (release) ReleaseOnce(name);
    }).join();
    return result;
  };
  ASSERT_EQ(ReserveOnce("run 1"), ClaimResult::Ours) << FILEERROR();
  EXPECT_EQ(other("run 1", true), ClaimResult::Taken);
  EXPECT_EQ(other("run 2", true), ClaimResult::Ours);
  ReleaseOnce("run 1");
  EXPECT_EQ(other("run 1", true), ClaimResult::Ours);

  // A program that ends (or loses its session) with a reservation frees it.
  ASSERT_EQ(ReserveOnce("run 3"), ClaimResult::Ours);
  EndSessions();
  EXPECT_EQ(other("run 3", true), ClaimResult::Ours);

  ASSERT_EQ(ClaimOnce("run 4"), ClaimResult::Ours);
  EXPECT_EQ(ReserveOnce("run 4"), ClaimResult::Taken);
  EXPECT_EQ(other("run 4", true), ClaimResult::Taken);
}

// Statements run again and again keep one plan on the server: none is planned anew at each run
// (the server plans a statement again while a parameter it cannot see makes its kept plan look
// dearer, as a LIMIT passed as a parameter does).
TEST_P(StorageServer, StatementsRunAgainAndAgainKeepTheirPlanOnTheServer) {
  const TableDef def = MakeItemTable("planned\\!items");
  File file(def);
  Fill(file);
  // Enough records that a plan for an unknown LIMIT (a tenth of them) costs more than one for
  // a known one.
  LOGOUT(1);
  for (int i = 4; i <= 3000; ++i) {
    SetItem(i, "more");
    ASSERT_EQ(file.Add(), 0);
  }
  ASSERT_EQ(COMMIT(), 0);
  ASSERT_EQ(cluster_->Admin("ANALYZE \"PLANNED!ITEMS\"", kDatabase), "");
  for (int i = 0; i < 12; ++i) {
    SetItem(2, "");
    ASSERT_EQ(file.SetFromBuffer(def.keys[0]), 0);
    ASSERT_EQ(file.Next(), 0);
    ASSERT_EQ(file.Next(), 0);  // a second batch
    ASSERT_EQ(file.Get(def.keys[0]), 0);
  }
  ServerConnection* conn = InstalledServerConnection();
  ASSERT_NE(conn, nullptr);
  PGresult* r = PQexec(conn->raw(),
                       "SELECT string_agg(statement, ' | ') FROM pg_prepared_statements WHERE "
                       "custom_plans > 5");
  ASSERT_EQ(PQresultStatus(r), PGRES_TUPLES_OK);
  EXPECT_TRUE(PQgetisnull(r, 0, 0)) << PQgetvalue(r, 0, 0);
  PQclear(r);
}

// Programs numbering one table at once, each number taken in a transaction (as the file
// managers take them): every number is drawn once, none refused as a duplicate.
TEST_P(StorageServer, AutoNumbersDrawnInTransactionsAtOnceNeverClash) {
  TableDef def = MakeItemTable("numbered\\!items");
  def.keys[0].kind = KeyKind::Unique;
  def.keys[0].auto_number = true;
  {
    File file(def);
    ASSERT_EQ(file.Create(), 0);
  }
  std::vector<int> refused(2, 0);
  const auto numberer = [&](int me) {
    File file(def);
    ASSERT_EQ(file.Open(), 0);
    for (int i = 0; i < 40; ++i) {
      LOGOUT(1);
      SetItem(0, "numbered");
      ASSERT_EQ(file.AutoNumber(def.keys[0]), 0) << FILEERROR();
      if (file.Add() != 0) ++refused[static_cast<std::size_t>(me)];
      COMMIT();
    }
    file.Close();
  };
  std::thread first(numberer, 0), second(numberer, 1);
  first.join();
  second.join();
  EXPECT_EQ(refused, (std::vector<int>{0, 0}));
  EXPECT_EQ(Stored("NUMBERED!ITEMS"), "80");
}

// Writers killed at random moments, alone or in the middle of a stream or a transaction,
// lose nothing they reported written; what they had not committed is not there either.
TEST_P(StorageServer, KilledWritersLoseNoReportedRecord) {
  const TableDef def = MakeItemTable("killed\\!items");
  {
    File file(def);
    ASSERT_EQ(file.Create(), 0);
  }
  std::mt19937 random(4242);
  std::set<int> reported;
  for (int round = 0; round < 6; ++round) {
    const int mode = round % 3;  // 0 each write alone, 1 a stream, 2 transactions of 5
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(fds[0]);
      std::thread([&] {
        File file(def);
        if (file.Open() != 0) _exit(3);
        if (mode == 1) file.Stream();
        for (int id = round * 1000000 + 1;; ++id) {
          if (mode == 2 && id % 5 == 1) LOGOUT(1);
          SetItem(id, "killed");
          if (file.Add() != 0) _exit(4);
          const bool safe = mode == 0 || id % 5 == 0;
          if (mode == 1 && safe && (file.Flush() != 0 || file.Stream() != 0)) _exit(5);
          if (mode == 2 && safe && COMMIT() != 0) _exit(5);
          if (safe && write(fds[1], &id, sizeof id) != static_cast<ssize_t>(sizeof id)) _exit(6);
        }
      }).join();
      _exit(0);
    }
    close(fds[1]);
    int id = 0;
    ASSERT_EQ(read(fds[0], &id, sizeof id), static_cast<ssize_t>(sizeof id)) << "no first report";
    reported.insert(id);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 200000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "writer stopped on its own with " << WEXITSTATUS(status);
    while (read(fds[0], &id, sizeof id) == static_cast<ssize_t>(sizeof id)) reported.insert(id);
    close(fds[0]);
  }
  File file(def);
  ASSERT_EQ(file.Open(), 0);
  std::set<int> stored;
  file.Set(def.keys[0]);
  while (file.Next() == 0) stored.insert(ItemBuffer().Id);
  for (int reported_id : reported) EXPECT_TRUE(stored.count(reported_id)) << reported_id;
  // Only whole transactions: a transaction's records are all there or none of them.
  for (int stored_id : stored) {
    if (stored_id / 1000000 % 3 != 2) continue;
    const int first = (stored_id - 1) / 5 * 5 + 1;
    for (int k = first; k < first + 5; ++k)
      EXPECT_TRUE(stored.count(k)) << k << " of " << stored_id;
  }
}

INSTANTIATE_TEST_SUITE_P(Server, StorageServer, ::testing::Values(StorageBackend::Server),
                         StorageBackendName);

}  // namespace
}  // namespace vx::test
