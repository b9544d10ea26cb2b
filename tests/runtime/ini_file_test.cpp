#include "runtime/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

}  // namespace
}  // namespace vx
