// Two users, ann and bob, of one installation in multi-user mode, with the tables in the data
// folder or on a database server (the test program's local cluster: one database for the
// program, a fresh schema for each test). A fixture derived from TwoUsersTest runs each of its
// TEST_P on both; its file instantiates it with VX_FOR_BOTH_TABLE_PLACES(Fixture).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "framework/file_manager.h"
#include "runtime/storage/table_backend.h"
#include "support/local_pg_cluster.h"
#include "tests/program/window_fixture.h"

namespace vx::test {

enum class TablesIn { Folder, Server };

class TwoUsersTest : public WindowTest, public ::testing::WithParamInterface<TablesIn> {
 protected:
  static inline const std::string kDatabase = LocalPgCluster::Name("vx_two_users");

  void SetUp() override {
    if (GetParam() == TablesIn::Server) {
      LocalPgCluster* cluster = LocalPgCluster::Get();
      ASSERT_NE(cluster, nullptr);
      ASSERT_EQ(cluster->InstallFreshSchema(kDatabase), "");
    }
    WindowTest::SetUp();
    MULTIUSER = 1;
    GLO_USER = "ann";
  }
  void TearDown() override {
    WindowTest::TearDown();
    storage::InstallTableStore(nullptr);
    MULTIUSER = 0;
    GLO_USER.clear();
  }
  static void TearDownTestSuite() {
    if (LocalPgCluster* cluster = LocalPgCluster::IfStarted()) cluster->DropDatabase(kDatabase);
  }

  // Stores `task` under the next task number and answers it.
  static std::int32_t AddTask(const SCHEDULE_RECORD& task) {
    EXPECT_EQ(ACCESS_SCHEDULE->Open(), 0);
    ACCESS_SCHEDULE->PrimeRecord();
    const std::int32_t id = SCH.ID;
    SCH = task;
    SCH.ID = id;
    EXPECT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    ACCESS_SCHEDULE->Close();
    return id;
  }
  // A user's row of task `id`, to be changed and stored with AddRow.
  static VXUSD_RECORD Row(const char* user, std::int32_t id, std::int32_t date, std::int32_t time) {
    VXUSD_RECORD row;
    row.USER = user;
    row.ID = id;
    row.DATE = date;
    row.TIME = time;
    return row;
  }
  static void AddRow(const VXUSD_RECORD& row) {
    EXPECT_EQ(ACCESS_VXUSD->Open(), 0);
    US = row;
    EXPECT_EQ(ACCESS_VXUSD->Insert(), 0);
    ACCESS_VXUSD->Close();
  }
  static VXUSD_RECORD StoredRow(const char* user, std::int32_t id) {
    EXPECT_EQ(ACCESS_VXUSD->Open(), 0);
    US = VXUSD_RECORD{};
    US.USER = user;
    US.ID = id;
    EXPECT_EQ(ACCESS_VXUSD->TryFetch(US_KEYID), 0) << user << " " << id;
    const VXUSD_RECORD row = US;
    ACCESS_VXUSD->Close();
    return row;
  }
  static SCHEDULE_RECORD StoredTaskOf(std::int32_t id) {
    EXPECT_EQ(ACCESS_SCHEDULE->Open(), 0);
    const SCHEDULE_RECORD task = StoredTask(id);
    ACCESS_SCHEDULE->Close();
    return task;
  }
};

inline std::string TablesInName(const ::testing::TestParamInfo<TablesIn>& info) {
  return info.param == TablesIn::Folder ? "Folder" : "Server";
}

}  // namespace vx::test

#define VX_FOR_BOTH_TABLE_PLACES(fixture)                                            \
  INSTANTIATE_TEST_SUITE_P(                                                          \
      Tables, fixture,                                                               \
      ::testing::Values(::vx::test::TablesIn::Folder, ::vx::test::TablesIn::Server), \
      ::vx::test::TablesInName)
