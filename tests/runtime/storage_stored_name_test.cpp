// A name spelled in another letter case than its file is found by listing the folder; the
// listing is kept for later names while the folder stays the same, so every answer must be the
// one a fresh listing would give: files renamed, made, removed or replaced, the folder swapped
// for another or changed again within the same tick of the file system's clock.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "runtime/file_stamp.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/file.h"
#include "runtime/storage/stored_name.h"
#include "storage_fixture.h"

namespace vx::test {

using namespace vx::storage;  // the storage engine's own names, unqualified
namespace {

class StoredNameOnDisk : public ScratchDir {};

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

timespec At(std::int64_t seconds, long nanoseconds) {
  timespec t{};
  t.tv_sec = static_cast<time_t>(seconds);
  t.tv_nsec = nanoseconds;
  return t;
}

TEST(StoredNameListing, IsKeptOnlyWhenTheFolderChangedWellBeforeIt) {
  struct Case {
    const char* what;
    timespec modified, changed;  // the folder's times at the listing
    timespec listed_at;
    bool kept;
  };
  const std::int64_t s = 1'700'000'000;
  const Case cases[] = {
      {"changed a millisecond before", At(s, 5'000'123), At(s, 5'000'123), At(s, 6'000'123), false},
      {"changed a fifth of a second before", At(s, 5'000'123), At(s, 5'000'123), At(s, 205'000'123),
       true},
      {"modified long ago, its entry changed just now", At(s - 100, 1), At(s, 5'000'123),
       At(s, 6'000'123), false},
      {"changed after the listing began", At(s, 9'000'123), At(s, 9'000'123), At(s, 5'000'123),
       false},
      {"stamps in hundredths, changed 15 ms before", At(s, 10'000'000), At(s, 10'000'000),
       At(s, 25'000'000), false},
      {"stamps in hundredths, changed a fifth of a second before", At(s, 10'000'000),
       At(s, 10'000'000), At(s, 210'000'000), true},
      {"whole-second stamps, changed 1.5 s before", At(s, 0), At(s, 0), At(s + 1, 500'000'000),
       false},
      {"whole-second stamps, changed 3 s before", At(s, 0), At(s, 0), At(s + 3, 0), true},
  };
  for (const Case& c : cases) {
    struct stat folder {};
    folder.st_mtim = c.modified;
    folder.st_ctim = c.changed;
    EXPECT_EQ(StampSettled(folder, c.listed_at), c.kept) << c.what;
  }
}

// Each change is made to a folder whose listing was kept (it had settled when it was listed),
// then the names are looked up at once, as the next open would.
TEST_F(StoredNameOnDisk, AnotherSpellingIsFoundAsTheFolderHoldsItNow) {
  std::filesystem::create_directory("data");
  Touch("data/Abc.TPS");
  struct Case {
    const char* what;
    std::function<void()> change;
    const char* in_folder;  // what "data/abc.TPS" resolves to
    const char* here;       // and "abc.TPS" in the current folder
  };
  const Case cases[] = {
      {"as made", [] {}, "data/Abc.TPS", "abc.TPS"},
      {"renamed to another letter case",
       [] { std::filesystem::rename("data/Abc.TPS", "data/aBC.TPS"); }, "data/aBC.TPS", "abc.TPS"},
      {"a second spelling made beside it, which sorts first", [] { Touch("data/ABC.TPS"); },
       "data/ABC.TPS", "abc.TPS"},
      {"that spelling removed again", [] { std::filesystem::remove("data/ABC.TPS"); },
       "data/aBC.TPS", "abc.TPS"},
      {"removed", [] { std::filesystem::remove("data/aBC.TPS"); }, "data/abc.TPS", "abc.TPS"},
      {"made again in another spelling", [] { Touch("data/ABc.TPS"); }, "data/ABc.TPS", "abc.TPS"},
      {"renamed, then the folder's modification time set back as a copy keeping times does",
       [] {
         struct stat before {};
         ASSERT_EQ(stat("data", &before), 0);
         std::filesystem::rename("data/ABc.TPS", "data/AbC.TPS");
         const timespec times[2] = {before.st_atim, before.st_mtim};
         ASSERT_EQ(utimensat(AT_FDCWD, "data", times, 0), 0);
       },
       "data/AbC.TPS", "abc.TPS"},
      {"the folder replaced by another holding another spelling",
       [] {
         std::filesystem::rename("data", "old");
         std::filesystem::create_directory("data");
         Touch("data/abC.TPS");
       },
       "data/abC.TPS", "abc.TPS"},
      {"the current folder left for the one holding it",
       [] { std::filesystem::current_path("data"); }, "data/abc.TPS", "abC.TPS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LetTheFolderSettle();
    ResolveOnDisk("data/abc.TPS");  // lists both folders while they stand
    ResolveOnDisk("abc.TPS");
    c.change();
    EXPECT_EQ(ResolveOnDisk("data/abc.TPS"), c.in_folder);
    EXPECT_EQ(ResolveOnDisk("abc.TPS"), c.here);
    EXPECT_EQ(ResolveOnDisk("./abc.TPS"), std::string("./") + c.here);
  }
}

// A folder changed again at once, so within the tick of the clock that stamps its times: its
// listing cannot tell the change, and the next lookup must list the folder again.
TEST_F(StoredNameOnDisk, AFolderChangedWithinTheSameTickIsListedAgain) {
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    Touch("Quick.TPS");
    EXPECT_EQ(ResolveOnDisk("quick.TPS"), "Quick.TPS");
    std::filesystem::rename("Quick.TPS", "QUICK.TPS");
    EXPECT_EQ(ResolveOnDisk("quick.TPS"), "QUICK.TPS");
    Touch("QUick.TPS");
    EXPECT_EQ(ResolveOnDisk("quick.TPS"), "QUICK.TPS");
    std::filesystem::remove("QUICK.TPS");
    EXPECT_EQ(ResolveOnDisk("quick.TPS"), "QUick.TPS");
    std::filesystem::remove("QUick.TPS");
    EXPECT_EQ(ResolveOnDisk("quick.TPS"), "quick.TPS");
  }
}

// Tables named in other letter cases than their file open the file as it is at each open; an
// entry that only looks like the file (a link to nothing) is not found.
TEST_F(StoredNameOnDisk, TablesInAnotherSpellingOpenTheFileAsItIsNow) {
  const TableDef made_def = MakeItemTable("Kept\\!items");
  File made(made_def);
  ASSERT_EQ(made.Create(), 0);
  ASSERT_EQ(made.Open(), 0);
  SetItem(1, "one");
  ASSERT_EQ(made.Add(), 0);
  made.Close();

  const TableDef spelled_def = MakeItemTable("KEPT\\!items");
  File spelled(spelled_def);
  LetTheFolderSettle();
  ASSERT_EQ(spelled.Open(), 0);
  EXPECT_EQ(spelled.Records(), 1);
  spelled.Close();

  std::filesystem::rename("Kept.TPS", "kept.TPS");
  ASSERT_EQ(spelled.Open(), 0);
  EXPECT_EQ(spelled.Records(), 1);
  spelled.Close();

  std::filesystem::remove("kept.TPS");
  EXPECT_EQ(spelled.Open(), kFileNotFound);
  LetTheFolderSettle();
  EXPECT_EQ(spelled.Open(), kFileNotFound);

  std::filesystem::create_symlink("nowhere.TPS", "Kept.TPS");
  EXPECT_EQ(spelled.Open(), kFileNotFound);
  EXPECT_EQ(made.Open(), kFileNotFound);
}

}  // namespace
}  // namespace vx::test
