#include "runtime/ini_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace vx {
namespace {

namespace fs = std::filesystem;

// Each test gets a fresh folder holding a current folder and a per-user settings folder.
class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vx_ini_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    fs::create_directories(root_ / "cwd");
    old_cwd_ = fs::current_path();
    fs::current_path(root_ / "cwd");
    if (const char* v = std::getenv("XDG_CONFIG_HOME")) old_xdg_ = v;
    ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
  }
  void TearDown() override {
    fs::current_path(old_cwd_);
    if (old_xdg_.empty()) {
      ::unsetenv("XDG_CONFIG_HOME");
    } else {
      ::setenv("XDG_CONFIG_HOME", old_xdg_.c_str(), 1);
    }
    fs::remove_all(root_);
  }

  fs::path Cwd(const std::string& name) const { return root_ / "cwd" / name; }
  fs::path UserFolder(const std::string& name) const {
    return root_ / "config" / "varnodex" / name;
  }

  static void WriteFile(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }
  static std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Waits until the file's times lie far enough in the past that a read of it may be kept and
  // answer later reads: the reads after a change then show whether a kept read is trusted too
  // long. Times without a fraction may come from a file system of whole seconds.
  static void Age(const fs::path& p) {
    for (;;) {
      struct stat st {};
      ASSERT_EQ(::stat(p.c_str(), &st), 0) << p;
      timespec now{};
      ::clock_gettime(CLOCK_REALTIME, &now);
      const auto ns = [](const timespec& t) {
        return static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
      };
      const long long newest = std::max(ns(st.st_mtim), ns(st.st_ctim));
      const bool whole = st.st_mtim.tv_nsec == 0 || st.st_ctim.tv_nsec == 0;
      if (ns(now) - newest > (whole ? 3'200'000'000LL : 120'000'000LL)) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  // Sets the file's access and modification times to those of `st`, as a copy that keeps them
  // does.
  static void PutTimesBack(const fs::path& p, const struct stat& st) {
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0) << p;
  }
  static struct stat StatOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st;
  }

  fs::path root_, old_cwd_;
  std::string old_xdg_;
};

TEST_F(IniFileTest, NamesResolveToCurrentUserOrGivenFolder) {
  EXPECT_EQ(ResolveIniPath(".\\POSITION.INI"), Cwd("POSITION.INI"));
  EXPECT_EQ(ResolveIniPath("./POSITION.INI"), Cwd("POSITION.INI"));
  EXPECT_EQ(ResolveIniPath("vx98.INI"), UserFolder("vx98.INI"));
  EXPECT_EQ(ResolveIniPath(""), UserFolder("win.ini"));
  EXPECT_EQ(ResolveIniPath((root_ / "x").string() + "\\sub\\a.ini"), root_ / "x" / "sub" / "a.ini");
  EXPECT_EQ(ResolveIniPath("..\\a.ini"), fs::path("../a.ini"));
  // A name in the current folder is spelt as the folder joined with the rest would be, also in
  // the root folder and for a rest that is empty, nested or absolute.
  for (const fs::path& folder : {fs::current_path(), fs::path("/")}) {
    fs::current_path(folder);
    for (const std::string rest : {"POSITION.INI", "sub/a.ini", "", "/abs.ini", "./x.ini"}) {
      EXPECT_EQ(ResolveIniPath(".\\" + rest).string(), (folder / rest).string()) << rest;
    }
  }
  fs::current_path(root_ / "cwd");

  // An existing file spelled in another case is found.
  WriteFile(Cwd("Paths.ini"), "[PATH]\nDATA=/d\n");
  EXPECT_EQ(ResolveIniPath(".\\PATHS.INI"), Cwd("Paths.ini"));
  EXPECT_EQ(GETINI("path", "data", "", ".\\PATHS.INI"), "/d");
}

TEST_F(IniFileTest, ReadsIgnoringCaseAndFallsBackToDefault) {
  WriteFile(Cwd("a.ini"),
            "; leading comment\n"
            "stray=before any section\n"
            "[Settings]\n"
            "LastWAVFile = C:\\alarm.wav  \n"
            "Quoted=\"  padded  \"\n"
            "Empty=\n"
            "this line is malformed\n"
            "[broken\n"
            "=no key\n"
            "After=still read\n"
            "[Other]\n"
            "LastWAVFile=other\n"
            "[settings]\n"
            "After=a second copy\n"
            "Late=in the second section\n");
  IniFile ini(".\\a.ini");
  struct Case {
    const char* section;
    const char* key;
    std::string expected;
  };
  const Case cases[] = {
      {"SETTINGS", "lastwavfile", "C:\\alarm.wav"},
      {"settings", "QUOTED", "  padded  "},
      {"Settings", "Empty", ""},
      {"Settings", "After", "still read"},            // malformed lines in between are skipped
      {"SETTINGS", "Late", "in the second section"},  // sections of one name are one section
      {"Other", "LastWAVFile", "other"},
      {"Settings", "Missing", "dflt"},
      {"Nowhere", "LastWAVFile", "dflt"},
      {"", "stray", "dflt"},  // keys before any section belong to none
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ini.Get(c.section, c.key, "dflt"), c.expected) << c.section << "/" << c.key;
    // A section read once answers as the file does.
    EXPECT_EQ(ini.Section(c.section).Get(c.key, "dflt"), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(ini.Section(c.section).Has(c.key), c.expected != "dflt") << c.section << "/" << c.key;
  }
  EXPECT_FALSE(ini.Has("Settings", "Missing"));
  EXPECT_TRUE(ini.Has("settings", "empty"));
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Settings", "Other"}));
  EXPECT_EQ(GETINI("x", "y", "d", ".\\missing.ini"), "d");
}

TEST_F(IniFileTest, WritesKeepTheRestOfTheFile) {
  const std::string original =
      "; settings of the program\n"
      "[Settings]\n"
      "LastWAVFile=old.wav   ; not a comment, part of the value\n"
      "Debug=0\n"
      "garbage line\n"
      "\n"
      "[Defaults]\n"
      "# another comment\n"
      "WAVPath=/sounds\n";
  WriteFile(Cwd("vx.ini"), original);
  IniFile ini(".\\vx.ini");

  ASSERT_TRUE(ini.Put("SETTINGS", "lastwavfile", "new.wav"));  // keeps the file's spelling
  ASSERT_TRUE(ini.Put("settings", "Added", "1"));              // after the section's last line
  ASSERT_TRUE(ini.Put("Warning", "Active", "Y"));              // new section at the end
  EXPECT_EQ(ReadFile(Cwd("vx.ini")),
            "; settings of the program\n"
            "[Settings]\n"
            "LastWAVFile=new.wav\n"
            "Debug=0\n"
            "garbage line\n"
            "Added=1\n"
            "\n"
            "[Defaults]\n"
            "# another comment\n"
            "WAVPath=/sounds\n"
            "\n"
            "[Warning]\n"
            "Active=Y\n");

  ASSERT_TRUE(ini.DeleteKey("settings", "DEBUG"));
  ASSERT_TRUE(ini.DeleteSection("DEFAULTS"));
  ASSERT_TRUE(ini.DeleteKey("Nowhere", "x"));  // nothing to delete is no error
  EXPECT_EQ(ReadFile(Cwd("vx.ini")),
            "; settings of the program\n"
            "[Settings]\n"
            "LastWAVFile=new.wav\n"
            "garbage line\n"
            "Added=1\n"
            "\n"
            "[Warning]\n"
            "Active=Y\n");
  EXPECT_EQ(ini.Get("Defaults", "WAVPath", "gone"), "gone");
}

TEST_F(IniFileTest, CreatesFileAndFolderForBareNames) {
  EXPECT_FALSE(fs::exists(UserFolder("VXMSG.INI")));
  ASSERT_TRUE(PUTINI("Mail", "LastTo", "a@b.c", "VXMSG.INI"));
  EXPECT_EQ(ReadFile(UserFolder("VXMSG.INI")), "[Mail]\nLastTo=a@b.c\n");
  EXPECT_EQ(GETINI("MAIL", "lastto", "", "VXMSG.INI"), "a@b.c");

  const fs::path nested = root_ / "deep" / "er" / "x.ini";
  ASSERT_TRUE(PUTINI("S", "K", "V", nested.string()));
  EXPECT_EQ(GETINI("S", "K", "", nested.string()), "V");
  // No temporary files are left beside the file.
  EXPECT_EQ(std::distance(fs::directory_iterator(nested.parent_path()), fs::directory_iterator()),
            1);
}

TEST_F(IniFileTest, KeepsCrlfAndByteOrderMark) {
  WriteFile(Cwd("w.ini"), "\xEF\xBB\xBF[A]\r\nx=1\r\n");
  IniFile ini(".\\w.ini");
  EXPECT_EQ(ini.Get("a", "X"), "1");
  ASSERT_TRUE(ini.Put("A", "y", "2"));
  EXPECT_EQ(ReadFile(Cwd("w.ini")), "\xEF\xBB\xBF[A]\r\nx=1\r\ny=2\r\n");
}

// A section read whole sees the same keys as one read per key, whatever the file's line ends,
// byte-order mark, last line or length.
TEST_F(IniFileTest, ASectionReadsAsItsKeysDoOneByOne) {
  std::string long_file = "[Other]\n";
  for (int i = 0; i < 400; ++i)
    long_file += "Filler" + std::to_string(i) + "=" + std::string(20, 'f') + "\n";
  long_file += "[S]\nFar=away\nQuoted=\"  q  \"\n";
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"\xEF\xBB\xBF[S]\r\nA=1\r\nb = two \r\n", {"A", "b"}},
      {"[s]\nA=1\n[T]\nA=9\n[S]\nC=3", {"A", "C"}},
      {"x=0\n[S]\n;A=no\nbroken line\nA=\n", {"A"}},
      {long_file, {"Far", "Quoted", "Filler7"}},
      {"", {"A"}},
  };
  for (const auto& [text, keys] : cases) {
    WriteFile(Cwd("s.ini"), text);
    IniFile ini(".\\s.ini");
    const IniSection section = ini.Section("S");
    for (const std::string& key : keys) {
      EXPECT_EQ(section.Has(key), ini.Has("S", key)) << key;
      EXPECT_EQ(section.Get(key, "-"), ini.Get("S", key, "-")) << key;
    }
    std::vector<std::string> names;
    for (const auto& [name, value] : ini.Entries("S")) names.push_back(name + "=" + value);
    if (text == long_file) {
      EXPECT_EQ(names, (std::vector<std::string>{"Far=away", "Quoted=  q  "}));
      EXPECT_EQ(ini.Get("Other", "Filler399"), std::string(20, 'f'));
    }
  }
  EXPECT_EQ(IniFile(".\\s.ini").Get("S", "b", "-"), "-");
  WriteFile(Cwd("s.ini"), "\xEF\xBB\xBF[S]\r\nA=1\r\nb = two \r\n");
  EXPECT_EQ(IniFile(".\\s.ini").Section("S").Get("b"), "two");
  EXPECT_FALSE(IniFile(".\\missing.ini").Section("S").Has("A"));
}

// Texts made of the pieces an INI file is made of, mixed at random and cut anywhere (another
// program's or a damaged file): the section read ends and agrees with the reads one key at a time.
TEST_F(IniFileTest, ASectionReadOfRandomTextAgreesWithReadsOneByOne) {
  const std::vector<std::string> pieces = {"[S]",
                                           "[s ]",
                                           "[T]",
                                           "[",
                                           "]",
                                           "A",
                                           "b",
                                           "=",
                                           " ",
                                           "\"",
                                           ";",
                                           "\r",
                                           "\n",
                                           "\r\n",
                                           "\xEF\xBB\xBF",
                                           std::string(1, '\0'),
                                           "\xFF",
                                           "A=1",
                                           "b = 2 "};
  std::mt19937 random(38);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
    WriteFile(Cwd("r.ini"), text);
    IniFile ini(".\\r.ini");
    const IniSection section = ini.Section("S");
    for (const char* key : {"A", "b", "B", ""}) {
      EXPECT_EQ(section.Has(key), ini.Has("S", key)) << round << " " << key;
      EXPECT_EQ(section.Get(key, "-"), ini.Get("S", key, "-")) << round << " " << key;
    }
  }
}

TEST_F(IniFileTest, ValuesCannotInjectLinesAndRoundTrip) {
  IniFile ini(".\\v.ini");
  ASSERT_TRUE(ini.Put("S", "Text", "one\r\n[Evil]\nk=v"));
  EXPECT_EQ(ini.Get("S", "Text"), "one  [Evil] k=v");
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"S"}));

  for (const char* v : {"  lead", "trail  ", "\"quoted\"", "a=b=c", "", "caf\xC3\xA9"}) {
    ASSERT_TRUE(ini.Put("S", "K", v));
    EXPECT_EQ(ini.Get("S", "K", "dflt"), v);
  }

  EXPECT_FALSE(ini.Put("S", "a=b", "v"));
  EXPECT_FALSE(ini.Put("S", "", "v"));
  EXPECT_FALSE(ini.Put("S", "[k", "v"));
  EXPECT_FALSE(ini.Put("Se]ct", "k", "v"));
  EXPECT_FALSE(ini.Put("Se\nct", "k", "v"));
  EXPECT_EQ(ini.Entries("s").size(), 2u);
}

TEST_F(IniFileTest, ConcurrentWritersLoseNothing) {
  constexpr int kThreads = 4, kKeys = 25;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      IniFile ini(".\\shared.ini");
      for (int k = 0; k < kKeys; ++k) {
        ini.Put("T" + std::to_string(t), "K" + std::to_string(k), std::to_string(t * 100 + k));
      }
    });
  }
  for (auto& th : threads) th.join();
  IniFile ini(".\\shared.ini");
  for (int t = 0; t < kThreads; ++t) {
    for (int k = 0; k < kKeys; ++k) {
      EXPECT_EQ(ini.Get("T" + std::to_string(t), "K" + std::to_string(k)),
                std::to_string(t * 100 + k));
    }
  }
}

TEST_F(IniFileTest, AValueThatIsAlreadyStoredIsNotWrittenAgain) {
  const fs::path file = Cwd("layout.ini");
  WriteFile(file, "[List]\nWidth=120\nName=\"  padded  \"\n");
  // Every write puts a new file in place of the old one, while the old one still holds its
  // inode: an unchanged inode after a put means nothing was written.
  const auto inode = [&] {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
  };
  const ino_t before = inode();
  EXPECT_TRUE(PUTINI("list", "width", "120", ".\\layout.ini"));
  EXPECT_EQ(inode(), before);
  EXPECT_TRUE(PUTINI("List", "Name", "  padded  ", ".\\layout.ini"));
  EXPECT_EQ(inode(), before);
  EXPECT_TRUE(PUTINI("List", "Width", "121", ".\\layout.ini"));
  EXPECT_NE(inode(), before);
  EXPECT_EQ(ReadFile(file), "[List]\nWidth=121\nName=\"  padded  \"\n");
}

TEST_F(IniFileTest, UnsavableFileReportsFailure) {
  // A folder where the file should be: the rename over it fails, whatever the user's rights.
  fs::create_directories(Cwd("x.ini"));
  EXPECT_FALSE(PUTINI("S", "K", "V", ".\\x.ini"));
  EXPECT_EQ(GETINI("S", "K", "d", ".\\x.ini"), "d");
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "cwd"), fs::directory_iterator()),
            1);  // no temp left
}

TEST_F(IniFileTest, WritesKeepTheModeAndNewFilesAreOwnerOnly) {
  const fs::path shared = Cwd("shared.ini");
  WriteFile(shared, "[S]\nK=1\n");
  fs::permissions(shared, fs::perms(0640));
  ASSERT_TRUE(PUTINI("S", "K", "2", ".\\shared.ini"));
  EXPECT_EQ(fs::status(shared).permissions(), fs::perms(0640));

  ASSERT_TRUE(PUTINI("S", "Password", "secret", ".\\new.ini"));
  EXPECT_EQ(fs::status(Cwd("new.ini")).permissions(), fs::perms(0600));
}

TEST_F(IniFileTest, NeverWritesThroughALinkAtTheTemporaryName) {
  // Links planted at the temporary names this process would use first, all pointing at a file
  // the writer must never touch.
  const fs::path victim = root_ / "victim";
  WriteFile(victim, "untouched");
  const std::string stem = Cwd("x.ini").string() + ".tmp" + std::to_string(::getpid()) + "_";
  for (int i = 0; i < 64; ++i) fs::create_symlink(victim, stem + std::to_string(i));

  ASSERT_TRUE(PUTINI("S", "K", "V", ".\\x.ini"));
  EXPECT_EQ(ReadFile(victim), "untouched");
  EXPECT_FALSE(fs::is_symlink(Cwd("x.ini")));
  EXPECT_EQ(GETINI("S", "K", "d", ".\\x.ini"), "V");
  for (int i = 0; i < 64; ++i) EXPECT_TRUE(fs::is_symlink(stem + std::to_string(i)));
}

// Each read of an old file is made twice (the second may be answered from the first), then the
// file is changed the way another program could change it, at once (within the same second and
// the same clock tick), and every kind of read must show the file as it is now.
TEST_F(IniFileTest, ReadsSeeEveryChangeOfAFileReadBefore) {
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> change;
    const char* now;  // Key's value afterwards; nullptr: no key
  };
  const std::string before = "[S]\nKey=old\n";
  const std::string after = "[S]\nKey=new\n";  // the same size
  const Case cases[] = {
      {"rewritten in place", [&](const fs::path& p) { WriteFile(p, after); }, "new"},
      {"rewritten in place, times put back",
       [&](const fs::path& p) {
         const struct stat st = StatOf(p);
         WriteFile(p, after);
         PutTimesBack(p, st);
       },
       "new"},
      {"replaced by rename, times put back",
       [&](const fs::path& p) {
         const struct stat st = StatOf(p);
         const fs::path temp = p.string() + ".new";
         WriteFile(temp, after);
         PutTimesBack(temp, st);
         fs::rename(temp, p);
       },
       "new"},
      {"replaced by a link to another file",
       [&](const fs::path& p) {
         WriteFile(p.string() + ".target", after);
         fs::remove(p);
         fs::create_symlink(p.filename().string() + ".target", p);
       },
       "new"},
      {"removed", [](const fs::path& p) { fs::remove(p); }, nullptr},
      {"replaced by a folder",
       [](const fs::path& p) {
         fs::remove(p);
         fs::create_directory(p);
       },
       nullptr},
      {"made read-only", [](const fs::path& p) { fs::permissions(p, fs::perms(0444)); }, "old"},
      {"made unreadable", [](const fs::path& p) { fs::permissions(p, fs::perms::none); },
       ::geteuid() == 0 ? "old" : nullptr},  // the superuser reads it still
  };
  std::vector<fs::path> files;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    files.push_back(Cwd("case" + std::to_string(i) + ".ini"));
    WriteFile(files.back(), before);
  }
  for (const fs::path& file : files) Age(file);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const std::string name = ".\\" + files[i].filename().string();
    const IniFile held(name);
    for (int pass = 0; pass < 2; ++pass) {
      ASSERT_EQ(held.Get("S", "Key"), "old") << c.what;
      ASSERT_EQ(GETINI("S", "Key", "", name), "old") << c.what;
      ASSERT_EQ(IniFile::ReadSection(name, "S").Get("Key"), "old") << c.what;
      ASSERT_EQ(held.Sections().size(), 1u) << c.what;
    }
    c.change(files[i]);
    const std::string want = c.now ? c.now : "none";
    EXPECT_EQ(held.Get("S", "Key", "none"), want) << c.what;
    EXPECT_EQ(held.Has("S", "Key"), c.now != nullptr) << c.what;
    EXPECT_EQ(GETINI("S", "Key", "none", name), want) << c.what;
    EXPECT_EQ(IniFile::ReadSection(name, "S").Get("Key", "none"), want) << c.what;
    EXPECT_EQ(held.Entries("S").size(), c.now ? 1u : 0u) << c.what;
    EXPECT_EQ(held.Sections().size(), c.now ? 1u : 0u) << c.what;
  }
}

// A file written and read within one tick of the clock carries the same times as when it is
// written again with the same size right after: such a read is never kept.
TEST_F(IniFileTest, AFileChangedWithinTheSameTickIsReadAgain) {
  const fs::path file = Cwd("fresh.ini");
  const IniFile ini(".\\fresh.ini");
  for (int i = 0; i < 200; ++i) {
    const std::string value = std::to_string(i % 10);
    WriteFile(file, "[S]\nKey=" + value + "\n");
    ASSERT_EQ(ini.Get("S", "Key"), value) << i;
    ASSERT_EQ(GETINI("S", "Key", "", ".\\fresh.ini"), value) << i;
    ASSERT_EQ(ini.Section("S").Get("Key"), value) << i;
  }
}

// A file that is missing is looked for again on every read, and one created after a miss (or
// removed after a hit) is seen at once, whichever way it is read.
TEST_F(IniFileTest, AFileCreatedOrRemovedAfterAReadIsSeen) {
  const fs::path file = UserFolder("late.ini");
  const IniFile held("late.ini");
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(held.Get("S", "Key", "none"), "none");
    EXPECT_EQ(GETINI("S", "Key", "none", "late.ini"), "none");
    EXPECT_TRUE(IniFile::ReadSection("late.ini", "S").Get("Key").empty());
    WriteFile(file, "[S]\nKey=" + std::to_string(round) + "\n");
    EXPECT_EQ(held.Get("S", "Key", "none"), std::to_string(round));
    EXPECT_EQ(GETINI("S", "Key", "none", "late.ini"), std::to_string(round));
    EXPECT_EQ(IniFile::ReadSection("late.ini", "S").Get("Key"), std::to_string(round));
    if (round == 1) Age(file);  // once as a read that may be kept
    fs::remove(file);
  }
  // A name that resolved to a file of another letter case reads that file; once the exact name
  // exists, a name resolved then reads it instead.
  WriteFile(Cwd("CASE.INI"), "[S]\nKey=upper\n");
  Age(Cwd("CASE.INI"));
  EXPECT_EQ(GETINI("S", "Key", "", ".\\case.ini"), "upper");
  EXPECT_EQ(GETINI("S", "Key", "", ".\\case.ini"), "upper");
  WriteFile(Cwd("case.ini"), "[S]\nKey=lower\n");
  EXPECT_EQ(GETINI("S", "Key", "", ".\\case.ini"), "lower");
  EXPECT_EQ(IniFile::ReadSection(".\\case.ini", "S").Get("Key"), "lower");
  EXPECT_EQ(GETINI("S", "Key", "", ".\\CASE.INI"), "upper");
}

// A name in the current folder read after the current folder changed reads the file there,
// also when both files were read before and look alike (same size, both old).
TEST_F(IniFileTest, AReadAfterChangingFolderReadsTheFileThere) {
  for (const char* folder : {"a", "b"}) {
    WriteFile(root_ / folder / "pos.ini", std::string("[S]\nKey=") + folder + "\n");
  }
  for (const char* folder : {"a", "b"}) Age(root_ / folder / "pos.ini");
  for (int pass = 0; pass < 2; ++pass) {
    for (const char* folder : {"a", "b"}) {
      fs::current_path(root_ / folder);
      EXPECT_EQ(GETINI("S", "Key", "", ".\\pos.ini"), folder);
      EXPECT_EQ(IniFile::ReadSection(".\\pos.ini", "S").Get("Key"), folder);
      EXPECT_EQ(IniFile(".\\pos.ini").Get("S", "Key"), folder);
    }
  }
}

// This process's own writes are read back at once, also through another spelling of the same
// file's name, and a value of the same size written in the same millisecond as the read before.
TEST_F(IniFileTest, AReadAfterAWriteSeesTheWrite) {
  const fs::path file = Cwd("own.ini");
  WriteFile(file, "[S]\nKey=aa\nOther=1\n");
  Age(file);
  IniFile ini(".\\own.ini");
  const IniFile other = IniFile::AtPath(root_ / "cwd" / "." / "own.ini");
  ASSERT_EQ(ini.Get("S", "Key"), "aa");
  ASSERT_EQ(other.Get("S", "Key"), "aa");
  for (const char* value : {"bb", "cc", "dd", "ee"}) {
    ASSERT_TRUE(ini.Put("S", "Key", value));
    EXPECT_EQ(ini.Get("S", "Key"), value);
    EXPECT_EQ(other.Get("S", "Key"), value);
    EXPECT_EQ(GETINI("S", "Key", "", ".\\own.ini"), value);
  }
  ASSERT_TRUE(ini.DeleteKey("S", "Key"));
  EXPECT_FALSE(ini.Has("S", "Key"));
  EXPECT_FALSE(other.Has("S", "Key"));
  ASSERT_TRUE(ini.DeleteSection("S"));
  EXPECT_TRUE(other.Sections().empty());
  EXPECT_TRUE(IniFile::ReadSection(".\\own.ini", "S").Get("Other").empty());
}

// More files than are kept, each read, changed in place with its times put back, and read again.
TEST_F(IniFileTest, ManyFilesReadInTurnEachShowTheirChange) {
  constexpr int kFiles = 20;
  const auto name = [](int i) { return ".\\many" + std::to_string(i) + ".ini"; };
  const auto text = [](int i, char v) {
    return "[S]\nKey=" + std::to_string(i) + std::string(1, v) + "\n";
  };
  for (int i = 0; i < kFiles; ++i) WriteFile(Cwd(name(i).substr(2)), text(i, 'a'));
  for (int i = 0; i < kFiles; ++i) Age(Cwd(name(i).substr(2)));
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < kFiles; ++i)
      ASSERT_EQ(GETINI("S", "Key", "", name(i)), std::to_string(i) + "a");
  }
  for (int i = 0; i < kFiles; ++i) {
    const fs::path p = Cwd(name(i).substr(2));
    const struct stat st = StatOf(p);
    WriteFile(p, text(i, 'b'));
    PutTimesBack(p, st);
  }
  for (int i = kFiles - 1; i >= 0; --i) {
    EXPECT_EQ(GETINI("S", "Key", "", name(i)), std::to_string(i) + "b") << i;
  }
}

// Threads reading and writing one file: each writer reads back its own last value at once, and
// a reader never sees a value that was never written.
TEST_F(IniFileTest, ThreadsReadingAndWritingSeeEveryWrite) {
  const fs::path file = Cwd("busy.ini");
  WriteFile(file, "[W0]\nK=0\n[W1]\nK=0\n[W2]\nK=0\n");
  Age(file);
  constexpr int kWriters = 3, kWrites = 40;
  std::atomic<bool> done{false};
  std::atomic<int> bad{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kWriters; ++t) {
    threads.emplace_back([t, &bad] {
      IniFile ini(".\\busy.ini");
      const std::string section = "W" + std::to_string(t);
      for (int i = 1; i <= kWrites; ++i) {
        if (!ini.Put(section, "K", std::to_string(i))) ++bad;
        if (ini.Get(section, "K") != std::to_string(i)) ++bad;
        if (GETINI(section, "K", "", ".\\busy.ini") != std::to_string(i)) ++bad;
      }
    });
  }
  // Readers of each kind: a key at a time from a held object, a section, and the built-in.
  const std::function<std::string(const IniFile&, const std::string&)> reads[] = {
      [](const IniFile& ini, const std::string& s) { return ini.Get(s, "K", "-1"); },
      [](const IniFile& ini, const std::string& s) { return ini.Section(s).Get("K", "-1"); },
      [](const IniFile&, const std::string& s) { return GETINI(s, "K", "-1", ".\\busy.ini"); },
  };
  for (const auto& read : reads) {
    threads.emplace_back([&done, &bad, &read] {
      const IniFile ini(".\\busy.ini");
      int last[kWriters] = {};
      while (!done) {
        for (int t = 0; t < kWriters; ++t) {
          // A writer's values only grow: one read going back shows an old file.
          const int now = std::stoi(read(ini, "W" + std::to_string(t)));
          if (now < last[t] || now > kWrites) ++bad;
          last[t] = now;
        }
      }
    });
  }
  for (int t = 0; t < kWriters; ++t) threads[static_cast<std::size_t>(t)].join();
  done = true;
  for (std::size_t i = kWriters; i < threads.size(); ++i) threads[i].join();
  EXPECT_EQ(bad, 0);
  for (int t = 0; t < kWriters; ++t) {
    EXPECT_EQ(GETINI("W" + std::to_string(t), "K", "", ".\\busy.ini"), std::to_string(kWrites));
  }
}

}  // namespace
}  // namespace vx
