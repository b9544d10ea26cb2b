// Private files are made where they are named and nowhere else: a name already taken, by a link
// planted to another file above all, is refused or passed over, and the file it points to stays
// as it was.
#include "platform/private_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace vx::platform {
namespace {

namespace fs = std::filesystem;

class PrivateFileTest : public test::TempFolderTest {
 protected:
  // A file of somebody else's, readable by all, that a planted link points to.
  fs::path Victim() {
    const fs::path victim = root() / "victim.txt";
    Write(victim, "precious\n");
    fs::permissions(victim, fs::perms(0644));
    return victim;
  }
  static mode_t Mode(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
  }
};

TEST_F(PrivateFileTest, ANewFileIsItsOwnersAloneAndATakenNameIsRefused) {
  const int fd = CreatePrivateFile(root() / "new.tmp");
  ASSERT_GE(fd, 0);
  EXPECT_EQ(::write(fd, "x", 1), 1);
  ::close(fd);
  EXPECT_EQ(Mode(root() / "new.tmp"), 0600u);

  const fs::path victim = Victim();
  struct Case {
    const char* what;
    fs::path name;
  };
  fs::create_symlink(victim, root() / "link.tmp");
  fs::create_symlink(root() / "nowhere", root() / "dangling.tmp");
  fs::create_directory(root() / "folder.tmp");
  for (const Case& c :
       {Case{"an existing file", root() / "new.tmp"}, Case{"a link to a file", root() / "link.tmp"},
        Case{"a dangling link", root() / "dangling.tmp"},
        Case{"a folder", root() / "folder.tmp"}}) {
    errno = 0;
    EXPECT_EQ(CreatePrivateFile(c.name), -1) << c.what;
    EXPECT_EQ(errno, EEXIST) << c.what;
  }
  EXPECT_EQ(Read(victim), "precious\n");
  EXPECT_EQ(Mode(victim), 0644u);
  EXPECT_FALSE(fs::exists(root() / "nowhere")) << "a dangling link's target is never made";
  EXPECT_EQ(Read(root() / "new.tmp"), "x");
}

TEST_F(PrivateFileTest, ANamedFilePassesOverTakenNamesAndSaysWhenNoneIsFree) {
  const fs::path victim = Victim();
  fs::create_symlink(victim, root() / "f.0");
  fs::create_symlink(victim, root() / "f.1");
  const auto name_for = [&](int attempt) { return root() / ("f." + std::to_string(attempt)); };
  fs::path made;
  const int fd = CreatePrivateFileNamed(name_for, made);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_EQ(made, root() / "f.2");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(made)));
  EXPECT_EQ(Read(victim), "precious\n");

  errno = 0;
  EXPECT_EQ(CreatePrivateFileNamed([&](int) { return root() / "f.0"; }, made), -1);
  EXPECT_EQ(errno, EEXIST);
  // A folder that cannot be entered is not tried a hundred times over.
  EXPECT_EQ(CreatePrivateFileNamed([&](int) { return root() / "missing" / "f"; }, made), -1);
  EXPECT_EQ(errno, ENOENT);
}

}  // namespace
}  // namespace vx::platform
