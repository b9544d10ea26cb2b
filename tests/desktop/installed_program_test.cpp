// `cmake --install` of this build into a temporary prefix: the program, its helpers and its key
// list land together below lib/varnodex with a link in bin, the menu entry passes
// desktop-file-validate and names the installed program and icon, the icons are real pictures of
// their sizes, the installed VX starts its installed helper (the external message window), and
// the menu entry's launcher starts VX on the default data folder without asking for one.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/temp_folder.h"
#include "tests/desktop/due_message_task.h"
#include "tests/desktop/x_windows.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kTitle = "Installed reminder 8830";

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a command line through the shell with its output in `log`; answers its exit status.
int RunLogged(const std::string& command, const fs::path& log) {
  const int status = std::system((command + " >'" + log.string() + "' 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// A PNG's width and height from its header; {0, 0} for anything else.
std::array<unsigned, 2> PngSize(const fs::path& file) {
  const std::string bytes = ReadAll(file);
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
      bytes.compare(12, 4, "IHDR") != 0)
    return {0, 0};
  const auto number = [&](std::size_t at) {
    unsigned value = 0;
    for (std::size_t i = 0; i < 4; ++i)
      value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
  };
  return {number(16), number(20)};
}

class InstalledProgramTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    build_ = fs::read_symlink("/proc/self/exe").parent_path().parent_path();
    if (!fs::exists(build_ / "cmake_install.cmake") || !fs::exists(build_ / "bin" / "VX"))
      GTEST_SKIP() << "not run from a build folder holding VX";
    // The default component holds every file; naming it keeps the build folder's own
    // install_manifest.txt (of the user's real installation) as it is.
    ASSERT_EQ(RunLogged("cmake --install " + Quoted(build_) + " --prefix " +
                            Quoted(prefix_.path()) + " --component Unspecified",
                        root() / "install.log"),
              0)
        << ReadAll(root() / "install.log");
  }

  fs::path build_;
  test::TempFolder prefix_{"vx_install_prefix"};
};

TEST_F(InstalledProgramTest, ProgramHelpersIconsAndMenuEntryAreInPlace) {
  const fs::path folder = prefix_.path() / "lib" / "varnodex";
  const fs::path link = prefix_.path() / "bin" / "VX";
  ASSERT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::canonical(link), fs::canonical(folder / "VX"));
  // Every helper the build made stands beside the installed program, as does the key list.
  for (const auto& entry : fs::directory_iterator(build_ / "bin")) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("vx-")) {
      EXPECT_TRUE(fs::exists(folder / name)) << name;
    }
  }
  EXPECT_TRUE(fs::exists(folder / "KEYCODES.TXT"));

  for (unsigned size : {16u, 22u, 32u}) {
    const std::string pixels = std::to_string(size) + "x" + std::to_string(size);
    const fs::path icon =
        prefix_.path() / "share" / "icons" / "hicolor" / pixels / "apps" / "varnodex.png";
    EXPECT_EQ(PngSize(icon), (std::array<unsigned, 2>{size, size})) << icon;
  }

  const fs::path entry = prefix_.path() / "share" / "applications" / "varnodex.desktop";
  ASSERT_TRUE(fs::exists(entry));
  EXPECT_EQ(RunLogged("desktop-file-validate " + Quoted(entry), root() / "validate.log"), 0);
  EXPECT_EQ(ReadAll(root() / "validate.log"), "") << "no warnings either";
  const std::string text = ReadAll(entry);
  const fs::path launcher = prefix_.path() / "bin" / "varnodex";
  EXPECT_NE(text.find("\nExec=" + launcher.string() + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nIcon=varnodex\n"), std::string::npos) << text;

  const std::string manifest = ReadAll(build_ / "install_manifest_Unspecified.txt") + "\n";
  for (const fs::path& file : {link, launcher, entry, folder / "vx-msg"})
    EXPECT_NE(manifest.find(file.string() + "\n"), std::string::npos) << file;
}

TEST_F(InstalledProgramTest, TheInstalledProgramStartsItsInstalledHelper) {
  if (!test::XDisplayAvailable()) GTEST_SKIP() << "no X display";
  // A message due now, shown by the external message program.
  test::AddDueMessageTask(kTitle, "Shown by the installed helper", true);
  const pid_t vx = test::StartWithoutSessionBus((prefix_.path() / "bin" / "VX").string());
  ASSERT_NE(vx, 0);

  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  pid_t owner = 0;
  test::WaitUntil(
      [&] {
        const ::Window w = test::FindWindowTitled(display, DefaultRootWindow(display), kTitle);
        owner = w ? test::WindowProcess(display, w) : 0;
        return owner != 0;
      },
      60s);
  XCloseDisplay(display);
  std::error_code ec;
  const fs::path shown_by =
      owner ? fs::read_symlink("/proc/" + std::to_string(owner) + "/exe", ec) : fs::path();
  int status = 0;
  EXPECT_TRUE(test::EndWithin(vx, 30s, status)) << "VX ends on SIGTERM";
  test::EndProcessesIn(root());

  ASSERT_NE(owner, 0) << "the message window appears";
  EXPECT_EQ(shown_by, fs::canonical(prefix_.path() / "lib" / "varnodex" / "vx-msg"));
}

// The menu entry's launcher names the default data folder, so a first start from the menu makes
// the folder and runs without the folder question.
TEST_F(InstalledProgramTest, TheMenuEntryStartsOnTheDefaultDataFolderWithoutAsking) {
  if (!test::XDisplayAvailable()) GTEST_SKIP() << "no X display";
  const fs::path data_home = root() / "data home";
  setenv("XDG_DATA_HOME", data_home.c_str(), 1);
  unsetenv("VX_DATA_FOLDER");
  const pid_t vx = test::StartWithoutSessionBus((prefix_.path() / "bin" / "varnodex").string());
  unsetenv("XDG_DATA_HOME");
  ASSERT_NE(vx, 0);

  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const bool started = test::WaitUntil(
      [&] { return test::Shown(display, "Varnodex 2000") && test::Shown(display, "Data Folder"); },
      60s);
  const bool asked = test::Shown(display, "Select data directory");
  XCloseDisplay(display);
  int status = 0;
  EXPECT_TRUE(test::EndWithin(vx, 30s, status)) << "VX ends on SIGTERM";
  test::EndProcessesIn(root());

  EXPECT_TRUE(started) << "the frame and the note of where the data lives appear";
  EXPECT_FALSE(asked);
  EXPECT_TRUE(fs::exists(data_home / "varnodex" / "VX97.TPS"));
}

}  // namespace
}  // namespace vx
