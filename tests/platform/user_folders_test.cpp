// The per-user settings folder may hold passwords: it is made its owner's alone, and one an
// earlier version left open to others is closed.
#include "platform/user_folders.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace vx::platform {
namespace {

namespace fs = std::filesystem;

using UserConfigFolderTest = test::TempFolderTest;

mode_t Mode(const fs::path& p) {
  struct stat st {};
  EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
  return st.st_mode & 07777;
}

TEST_F(UserConfigFolderTest, IsMadeForItsOwnerAloneAndAnOpenOneIsClosed) {
  const fs::path folder = UserConfigFolder();
  EXPECT_EQ(folder, root() / "config" / "varnodex");
  ASSERT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(Mode(folder), 0700u);

  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  EXPECT_EQ(UserConfigFolder(), folder);
  EXPECT_EQ(Mode(folder), 0700u);
}

TEST_F(UserConfigFolderTest, ALinkInItsPlaceIsNotFollowedToChangeAnotherFoldersMode) {
  const fs::path shared = root() / "shared";
  fs::create_directories(shared);
  ASSERT_EQ(::chmod(shared.c_str(), 0755), 0);
  fs::create_directories(root() / "config");
  fs::create_directory_symlink(shared, root() / "config" / "varnodex");
  UserConfigFolder();
  EXPECT_EQ(Mode(shared), 0755u);
}

}  // namespace
}  // namespace vx::platform
