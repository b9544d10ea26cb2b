// What only a database server does to the storage engine: sessions the server ends, commits it
// refuses, locks held by other clients, tables made by another definition, a server that is
// not there. Nothing a failed transaction wrote is ever stored, and each failure says why in
// the server's words.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <string>

#include "runtime/storage/file.h"
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
    ASSERT_EQ(cluster_->Admin("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                              "application_name = 'VX' AND pid <> pg_backend_pid()"),
              "");
    // The server ends them on its own time: wait until they are gone.
    for (int i = 0; i < 500 && cluster_->Scalar("SELECT count(*) FROM pg_stat_activity WHERE "
                                                "application_name = 'VX'",
                                                "postgres") != "0";
         ++i)
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

INSTANTIATE_TEST_SUITE_P(Server, StorageServer, ::testing::Values(StorageBackend::Server),
                         StorageBackendName);

}  // namespace
}  // namespace vx::test
