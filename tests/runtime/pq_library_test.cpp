// libpq, opened at the first connection to a database server: it loads on this machine, and a
// missing or wrong library fails the table's open with an error that names it.
#include "runtime/storage/pq_library.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/shared_library.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/file.h"
#include "runtime/storage/server_store.h"
#include "storage_fixture.h"

namespace vx::test {
namespace {

using namespace vx::storage;

TEST(PqLibrary, AMissingOrWrongLibraryIsNamedAtTheFirstConnection) {
  std::string error = "stale";
  const PqLibrary* kept = LoadPqLibrary(&error);
  ASSERT_NE(kept, nullptr) << error;
  EXPECT_EQ(error, "");
  const struct {
    std::vector<std::string> files;
    const char* says;
  } cases[] = {
      {{"libvx-no-such-library.so.9"}, "libpq cannot be loaded: libvx-no-such-library.so.9"},
      {{"libz.so.1"}, "libpq (libz.so.1) is too old or not the library expected: it has no PQ"},
  };
  ServerSettings nowhere;
  nowhere.host = "127.0.0.1";
  nowhere.port = "1";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    const platform::ScopedLibraryFiles replaced("libpq", c.files);
    EXPECT_EQ(LoadPqLibrary(&error), nullptr);
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    // A fresh store's connection is the thread's first to it, so it loads the library.
    InstallTableStore(MakeServerStore(nowhere));
    const TableDef def = MakeItemTable("nolib\\!items");
    File file(def);
    EXPECT_EQ(file.Open(), kDriverError);
    EXPECT_EQ(FILEERRORCODE(), kServerUnreachable);
    EXPECT_NE(FILEERROR().find(c.says), std::string::npos) << FILEERROR();
    InstallTableStore(nullptr);
  }
  EXPECT_EQ(LoadPqLibrary(&error), kept);
}

}  // namespace
}  // namespace vx::test
