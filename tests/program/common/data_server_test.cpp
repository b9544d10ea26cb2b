// Which database server a data folder names, and why a choice that could leak a password is
// refused rather than used.
#include "program/common/data_server.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "platform/shared_library.h"
#include "runtime/storage/table_backend.h"
#include "support/temp_folder.h"

namespace vx::test {
namespace {

class DataServer : public TempFolderTest {
 protected:
  void Write(const std::string& name, const std::string& text, mode_t mode) {
    std::ofstream(name) << text;
    ASSERT_EQ(::chmod(name.c_str(), mode), 0);
  }
};

TEST_F(DataServer, TheConnectionFileOrPathsIniNamesTheServer) {
  EXPECT_FALSE(DataServerOf(".").settings);
  EXPECT_FALSE(NamesDataServer("."));

  Write("PATHS.INI", "[PATH]\nSERVER=host=db.team port=6543 dbname=vx user=ann\n", 0644);
  DataServerChoice choice = DataServerOf(".");
  ASSERT_TRUE(choice.settings) << choice.problem;
  EXPECT_EQ(choice.settings->host, "db.team");
  EXPECT_EQ(choice.settings->port, "6543");
  EXPECT_EQ(choice.settings->dbname, "vx");
  EXPECT_EQ(choice.settings->user, "ann");
  EXPECT_EQ(choice.settings->password, "");

  // The connection file wins, and carries the password.
  Write(kServerFile,
        "[Server]\nHost=10.0.0.9\nPort=5432\nDatabase=team\nUser=bob\nPassword=s3cret\n", 0600);
  choice = DataServerOf(".");
  ASSERT_TRUE(choice.settings) << choice.problem;
  EXPECT_EQ(choice.settings->host, "10.0.0.9");
  EXPECT_EQ(choice.settings->user, "bob");
  EXPECT_EQ(choice.settings->password, "s3cret");
}

TEST_F(DataServer, AChoiceThatWouldShowThePasswordToOthersIsRefusedWithTheWayOut) {
  struct Case {
    const char* file;
    const char* text;
    mode_t mode;
    const char* says;
  };
  const Case cases[] = {
      {kServerFile, "[Server]\nHost=h\nPassword=s3cret\n", 0644, "chmod 600"},
      {kServerFile, "[Server]\nHost=h\nPassword=s3cret\n", 0640, "chmod 600"},
      {"PATHS.INI", "[PATH]\nSERVER=host=h password=s3cret\n", 0644, "~/.pgpass"},
      {"PATHS.INI", "[PATH]\nSERVER=host='unclosed\n", 0644, "cannot be read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::remove(kServerFile);
    std::remove("PATHS.INI");
    Write(c.file, c.text, c.mode);
    const DataServerChoice choice = DataServerOf(".");
    EXPECT_FALSE(choice.settings);
    EXPECT_TRUE(NamesDataServer("."));
    EXPECT_NE(choice.problem.find(c.says), std::string::npos) << choice.problem;
    EXPECT_EQ(choice.problem.find("s3cret"), std::string::npos) << choice.problem;
  }
}

TEST_F(DataServer, WithoutLibpqTheServerEntryIsRefusedNamingIt) {
  Write("PATHS.INI", "[PATH]\nSERVER=host=db.team dbname=vx\n", 0644);
  const platform::ScopedLibraryFiles missing("libpq", {"libvx-no-such-library.so.9"});
  const DataServerChoice choice = DataServerOf(".");
  EXPECT_FALSE(choice.settings);
  EXPECT_NE(choice.problem.find("cannot be read: libpq cannot be loaded"), std::string::npos)
      << choice.problem;
}

TEST_F(DataServer, AFolderThatNamesAServerPutsItsStoreInPlace) {
  EXPECT_TRUE(UseDataServer());
  EXPECT_EQ(storage::InstalledTableStore(), nullptr);
  Write("PATHS.INI", "[PATH]\nSERVER=host=127.0.0.1 port=1 dbname=vx\n", 0644);
  EXPECT_TRUE(UseDataServer());
  EXPECT_NE(storage::InstalledTableStore(), nullptr);
  storage::InstallTableStore(nullptr);
}

}  // namespace
}  // namespace vx::test
