// The storage engine's tests that hold for either place a table lives: the data folder's
// files, or a database server (the test program's local cluster, one fresh schema per test).
// A fixture derived from StorageBackendTest runs each of its TEST_P on both; its test file
// instantiates it with VX_ON_EVERY_STORAGE_BACKEND(Fixture).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "runtime/storage/table_backend.h"
#include "storage_fixture.h"
#include "support/local_pg_cluster.h"

namespace vx::test {

enum class StorageBackend { Files, Server };

inline std::string StorageBackendName(const ::testing::TestParamInfo<StorageBackend>& info) {
  return info.param == StorageBackend::Files ? "Files" : "Server";
}

class StorageBackendTest : public ScratchDir, public ::testing::WithParamInterface<StorageBackend> {
 protected:
  // The process's own database: tests of other programs may share the cluster meanwhile.
  static inline const std::string kDatabase = LocalPgCluster::Name("vx_storage");

  void SetUp() override {
    ScratchDir::SetUp();
    if (GetParam() != StorageBackend::Server) return;
    cluster_ = LocalPgCluster::Get();
    ASSERT_NE(cluster_, nullptr);
    ASSERT_EQ(cluster_->InstallFreshSchema(kDatabase), "");
  }
  void TearDown() override {
    storage::InstallTableStore(nullptr);
    ScratchDir::TearDown();
  }
  // The process's database goes with its suite, so that a shared cluster does not fill up.
  static void TearDownTestSuite() {
    if (LocalPgCluster* cluster = LocalPgCluster::IfStarted()) cluster->DropDatabase(kDatabase);
  }

  bool OnServer() const { return GetParam() == StorageBackend::Server; }

  LocalPgCluster* cluster_ = nullptr;
};

}  // namespace vx::test

#define VX_ON_EVERY_STORAGE_BACKEND(fixture)                                                    \
  INSTANTIATE_TEST_SUITE_P(                                                                     \
      Backends, fixture,                                                                        \
      ::testing::Values(::vx::test::StorageBackend::Files, ::vx::test::StorageBackend::Server), \
      ::vx::test::StorageBackendName)
