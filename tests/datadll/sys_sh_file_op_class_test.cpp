#include "datadll/utility/sys_sh_file_op_class.h"

#include <gtest/gtest.h>

#include "runtime/ini_file.h"
#include "runtime/threads.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using namespace std::string_literals;

class ShFileOpTest : public test::TempFolderTest {
 protected:
  static std::string Trace(const char* key) {
    return IniFile(".\\DEBUG.INI").Get("ShFileOp", key, "(none)");
  }
  SYSSHFILEOPCLASS op;
};

TEST_F(ShFileOpTest, NameListsSplitAtSemicolonsAndBars) {
  Write("here.txt", "");
  const struct {
    std::string in, out;
  } cases[] = {
      {"a.txt;b.txt", "a.txt\0b.txt"s},
      {"a.txt; b.txt", "a.txt\0b.txt"s},
      {"a.txt;  b.txt", "a.txt\0 b.txt"s},  // one blank goes with the separator
      {"a|b| c", "a\0b\0c"s},
      {"a\0b"s, "a\0b"s},
      {"missing.txt", "missing.txt"},
      {"*.txt", "*.txt"},
      {"sub\\here.txt", "sub\\here.txt"},
      {"here.txt", (root() / "here.txt").string()},  // a bare name that exists gets its full path
  };
  for (const auto& c : cases) {
    std::string names = c.in;
    op.CONVERTMULTI(names);
    EXPECT_EQ(names, c.out) << c.in;
  }
}

TEST_F(ShFileOpTest, InitSetsTheDefaults) {
  op.INIT(0);
  EXPECT_EQ(op.initialised, 1);
  EXPECT_EQ(op.FileOp.operation, 2u);
  EXPECT_EQ(op.FileOp.flags, 0x6D0u);
  EXPECT_EQ(op.SourceList, "*.*\0\0"s);
  op.INIT(1);
  EXPECT_EQ(op.FileOp.flags, 0x6D8u);
  op.ASSIGN("a.txt; b.txt  ", "out");
  EXPECT_EQ(op.SourceList, "a.txt\0b.txt\0\0"s);
  EXPECT_EQ(op.TargetList, "out\0\0"s);
}

TEST_F(ShFileOpTest, CopiesTwoNamesAndLeavesATrace) {
  Write("a.txt", "A");
  Write("b.txt", "B");
  for (const char* list : {"a.txt;b.txt", "a.txt; b.txt"}) {
    std::filesystem::remove_all("out");
    EXPECT_EQ(op.COPY(list, "out"), 0) << list;
    EXPECT_EQ(Read("out/a.txt"), "A");
    EXPECT_EQ(Read("out/b.txt"), "B");
  }
  EXPECT_EQ(Trace("Exec"), "2");
  EXPECT_EQ(Trace("Source"), "a.txt");
  EXPECT_EQ(Trace("Target"), "out");

  EXPECT_EQ(op.MOVE("out\\a.txt", "moved.txt"), 0);
  EXPECT_EQ(Read("moved.txt"), "A");
  EXPECT_EQ(Trace("Exec"), "1");
  EXPECT_EQ(Trace("Source"), "out\\a.txt");

  EXPECT_EQ(op.RENAME("moved.txt", "renamed.txt"), 0);
  EXPECT_EQ(Read("renamed.txt"), "A");
  EXPECT_EQ(Trace("Exec"), "4");
  EXPECT_EQ(Trace("Source"), (root() / "moved.txt").string());
}

TEST_F(ShFileOpTest, DeleteForGoodOrIntoTheTrash) {
  Write("a.txt", "A");
  Write("b.txt", "B");
  EXPECT_EQ(op.DELETE("a.txt", 0), 0);
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_FALSE(Exists(root() / "data/Trash/files/a.txt")) << "no undo: not in the trash";
  EXPECT_EQ(Trace("Exec"), "3");
  EXPECT_EQ(Trace("Target"), Trace("Source"));

  EXPECT_EQ(op.RECYCLE("b.txt"), 0);
  EXPECT_FALSE(Exists("b.txt"));
  EXPECT_EQ(Read(root() / "data/Trash/files/b.txt"), "B");
  EXPECT_TRUE(Exists(root() / "data/Trash/info/b.txt.trashinfo"));
  EXPECT_EQ(op.FileOp.flags & 0x40u, 0x40u);
}

TEST_F(ShFileOpTest, FailuresGiveNonZeroResults) {
  Write("keep/x.txt", "X");
  EXPECT_NE(op.DELETE("", 0), 0);
  EXPECT_NE(op.DELETE("/", 1), 0);
  EXPECT_NE(op.DELETE("keep", 0), 0) << "a folder is never deleted for good";
  EXPECT_NE(op.COPY("nothere.txt", "out"), 0);
  EXPECT_TRUE(Exists("keep/x.txt"));

  // A list too long for its buffer is refused, not cut down to names that may mean other files.
  const std::string longest(5000, 'k');
  EXPECT_NE(op.DELETE("keep/x.txt;" + longest, 0), 0);
  EXPECT_TRUE(Exists("keep/x.txt"));
}

TEST_F(ShFileOpTest, OtherRuntimeThreadsRunWhileAnOperationWorks) {
  // Thread 2 waits for the runtime lock; the copy on thread 1 gives it up, so thread 2 has run
  // by the time the copy returns, though thread 1 never waited or yielded itself.
  Write("a.txt", "A");
  bool other_ran = false, ran_before_copy_returned = false;
  RunProgram([&] {
    START([&] { other_ran = true; });
    EXPECT_EQ(op.COPY("a.txt", "b.txt"), 0);
    ran_before_copy_returned = other_ran;
  });
  EXPECT_TRUE(ran_before_copy_returned);
  EXPECT_TRUE(Exists("b.txt"));
}

}  // namespace
}  // namespace vx
