#include "platform/shell_file_operation.h"

#include <gtest/gtest.h>

#include <cctype>

#include "platform/trash.h"
#include "support/temp_folder.h"

namespace vx::platform {
namespace {

class FileOperationTest : public test::TempFolderTest {
 protected:
  int Run(unsigned operation, std::vector<std::string> sources, std::vector<std::string> targets,
          unsigned flags = FOF_FILESONLY | FOF_ALLOWUNDO) {
    return RunFileOperation(
        FileOperation{operation, std::move(sources), std::move(targets), flags});
  }
};

TEST_F(FileOperationTest, CopiesListsAndWildcardsIntoAFolder) {
  Write("a.txt", "A");
  Write("b.TXT", "B");
  Write("c.log", "C");
  Write("noext", "N");
  std::filesystem::create_directory("sub.txt");  // a folder that the wildcard must pass over

  EXPECT_EQ(Run(FO_COPY, {"a.txt", "c.log"}, {"two"}), 0);
  EXPECT_EQ(Read("two/a.txt"), "A");
  EXPECT_EQ(Read("two/c.log"), "C");

  EXPECT_EQ(Run(FO_COPY, {"*.txt"}, {"texts"}), 0);
  EXPECT_TRUE(Exists("texts/a.txt"));
  EXPECT_TRUE(Exists("texts/b.TXT")) << "wildcards ignore letter case";
  EXPECT_FALSE(Exists("texts/c.log"));
  EXPECT_FALSE(Exists("texts/sub.txt")) << "only files match a wildcard";

  EXPECT_EQ(Run(FO_COPY, {"*.*"}, {"all"}), 0);
  EXPECT_TRUE(Exists("all/noext")) << "*.* matches names without a dot too";

  EXPECT_EQ(Run(FO_COPY, {"a.txt"}, {"renamed.txt"}), 0) << "one file to a new name";
  EXPECT_EQ(Read("renamed.txt"), "A");
  EXPECT_EQ(Run(FO_COPY, {"none*.txt"}, {"empty"}), 0)
      << "a wildcard matching nothing is no failure";
}

TEST_F(FileOperationTest, BackslashesSeparateFolders) {
  Write("in/x.txt", "X");
  EXPECT_EQ(Run(FO_COPY, {"in\\x.txt"}, {"out\\"}), 0);
  EXPECT_EQ(Read("out/x.txt"), "X");
}

TEST_F(FileOperationTest, CollisionsOverwriteOrTakeANewName) {
  Write("a.txt", "new");
  Write("dest/a.txt", "old");
  EXPECT_EQ(Run(FO_COPY, {"a.txt"}, {"dest"}, FOF_RENAMEONCOLLISION), 0);
  EXPECT_EQ(Read("dest/a.txt"), "old");
  EXPECT_EQ(Read("dest/a (2).txt"), "new");
  EXPECT_EQ(Run(FO_COPY, {"a.txt"}, {"dest"}), 0);
  EXPECT_EQ(Read("dest/a.txt"), "new");
  EXPECT_EQ(Run(FO_COPY, {"a.txt"}, {"a.txt"}), kFileOpSameFile);
  EXPECT_EQ(Run(FO_COPY, {"a.txt"}, {"a.txt"}, FOF_RENAMEONCOLLISION), 0);
  EXPECT_EQ(Read("a (2).txt"), "new");
}

TEST_F(FileOperationTest, MovesAndRenames) {
  Write("a.txt", "A");
  Write("tree/inner/b.txt", "B");
  EXPECT_EQ(Run(FO_MOVE, {"a.txt"}, {"moved"}), 0);
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_EQ(Read("moved"), "A") << "a single file to a new name";
  EXPECT_EQ(Run(FO_MOVE, {"tree"}, {"elsewhere/"}), 0);
  EXPECT_EQ(Read("elsewhere/tree/inner/b.txt"), "B");
  EXPECT_EQ(Run(FO_MOVE, {"elsewhere/tree"}, {"elsewhere/tree/inner"}), kFileOpDestSubtree);
  EXPECT_EQ(Run(FO_COPY, {"elsewhere/tree"}, {"elsewhere/tree/inner/"}), kFileOpDestSubtree);

  EXPECT_EQ(Run(FO_RENAME, {"elsewhere/tree/inner/b.txt"}, {"c.txt"}), 0)
      << "a bare new name stays in the folder";
  EXPECT_EQ(Read("elsewhere/tree/inner/c.txt"), "B");
  EXPECT_EQ(Run(FO_RENAME, {"elsewhere/tree/inner/*.txt"}, {"d.txt"}), kFileOpInvalidFiles)
      << "renaming takes one file";
}

TEST_F(FileOperationTest, DeletingForGoodRemovesFilesButNeverAFolder) {
  Write("a.txt", "A");
  Write("b.txt", "B");
  Write("keep/inside.txt", "K");
  EXPECT_EQ(Run(FO_DELETE, {"*.txt"}, {}, FOF_FILESONLY), 0);
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_FALSE(Exists("b.txt"));
  EXPECT_EQ(Run(FO_DELETE, {"keep"}, {}, FOF_FILESONLY), kFileOpAccessDenied);
  EXPECT_TRUE(Exists("keep/inside.txt"));
  EXPECT_EQ(Run(FO_DELETE, {"gone.txt"}, {}, FOF_FILESONLY), kFileOpNotFound);
}

TEST_F(FileOperationTest, RefusesEmptyAndRootNamesBeforeDoingAnything) {
  Write("a.txt", "A");
  const struct {
    unsigned operation;
    std::vector<std::string> sources, targets;
  } cases[] = {
      {FO_DELETE, {""}, {}},    {FO_DELETE, {"/"}, {}},         {FO_DELETE, {"//"}, {}},
      {FO_DELETE, {"\\"}, {}},  {FO_DELETE, {"."}, {}},         {FO_DELETE, {".."}, {}},
      {FO_DELETE, {"/.."}, {}}, {FO_DELETE, {"a.txt", ""}, {}}, {FO_DELETE, {"a.txt", "/"}, {}},
      {FO_DELETE, {}, {}},      {FO_COPY, {"a.txt"}, {""}},     {FO_MOVE, {"a.txt"}, {"/"}},
      {FO_COPY, {"a.txt"}, {}}, {FO_DELETE, {"*/a.txt"}, {}},
  };
  for (const auto& c : cases) {
    for (unsigned flags : {0u, FOF_ALLOWUNDO}) {
      EXPECT_EQ(Run(c.operation, c.sources, c.targets, flags), kFileOpInvalidFiles)
          << c.operation << " " << (c.sources.empty() ? "(none)" : c.sources.back());
    }
  }
  EXPECT_TRUE(Exists("a.txt")) << "a refused list touches none of its names";
}

TEST_F(FileOperationTest, RecycledItemsLandInTheTrashWithTheirOrigin) {
  Write("my file%.txt", "1");
  Write("folder/x.txt", "X");
  EXPECT_EQ(Run(FO_DELETE, {"my file%.txt", "folder"}, {}), 0);
  EXPECT_FALSE(Exists("my file%.txt"));
  EXPECT_FALSE(Exists("folder"));

  const auto trash = root() / "data/Trash";
  EXPECT_EQ(HomeTrashFolder(), trash);
  EXPECT_EQ(Read(trash / "files/my file%.txt"), "1");
  EXPECT_EQ(Read(trash / "files/folder/x.txt"), "X") << "a folder goes into the trash whole";

  const std::string info = Read(trash / "info/my file%.txt.trashinfo");
  const std::string path = PercentEncodePath((root() / "my file%.txt").string());
  EXPECT_NE(path.find("my%20file%25.txt"), std::string::npos);
  const std::string head = "[Trash Info]\nPath=" + path + "\nDeletionDate=";
  ASSERT_EQ(info.substr(0, head.size()), head) << info;
  const std::string date = info.substr(head.size());
  const std::string shape = "dddd-dd-ddTdd:dd:dd\n";  // local time, to the second
  ASSERT_EQ(date.size(), shape.size()) << date;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == 'd')
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(date[i]))) << date;
    else
      EXPECT_EQ(date[i], shape[i]) << date;
  }
  EXPECT_TRUE(Exists(trash / "info/folder.trashinfo"));

  // A second item of the same name takes a free name; the first stays as it was.
  Write("my file%.txt", "2");
  EXPECT_EQ(Run(FO_DELETE, {"my file%.txt"}, {}), 0);
  EXPECT_EQ(Read(trash / "files/my file%.txt"), "1");
  EXPECT_EQ(Read(trash / "files/my file%.2.txt"), "2");
  EXPECT_TRUE(Exists(trash / "info/my file%.2.txt.trashinfo"));
}

TEST(TrashPaths, PercentEncoding) {
  EXPECT_EQ(PercentEncodePath("/home/a b/ü~x-_.y"), "/home/a%20b/%C3%BC~x-_.y");
  EXPECT_EQ(PercentEncodePath("/x/%#?"), "/x/%25%23%3F");
}

}  // namespace
}  // namespace vx::platform
