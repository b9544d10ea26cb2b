#include "platform/shell_open.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fakes/fake_process_launcher.h"
#include "support/temp_folder.h"

namespace vx::platform {
namespace {

namespace fs = std::filesystem;
using test::FakeProcessLauncher;

class XdgShellOpenerTest : public ::testing::Test {
 protected:
  XdgShellOpenerTest() {
    std::ofstream(folder_ / "letter.txt") << "text";
    std::ofstream(folder_ / "-dash.txt") << "text";
  }

  int Open(std::string target, std::string verb = "open", fs::path folder = {}) {
    return opener_.Open({std::move(target), std::move(verb), std::move(folder)});
  }

  test::TempFolder temp_{"vx_shell"};
  const fs::path folder_ = temp_.path();
  FakeProcessLauncher launcher_;
  XdgShellOpener opener_{launcher_};
};

TEST_F(XdgShellOpenerTest, HandsTargetsToXdgOpenAsOneArgument) {
  struct Row {
    std::string target;
    fs::path folder;
    std::string handed;  // the argument xdg-open receives
  };
  const Row rows[] = {
      {"https://example.com/a b?c=1", {}, "https://example.com/a b?c=1"},
      {"mailto:someone@example.com", {}, "mailto:someone@example.com"},
      {"  www.example.com  ", {}, "http://www.example.com"},
      {(folder_ / "letter.txt").string(), {}, (folder_ / "letter.txt").string()},
      {folder_.string(), {}, folder_.string()},                    // a folder
      {"letter.txt", folder_, (folder_ / "letter.txt").string()},  // relative to the folder
      {"-dash.txt", folder_, (folder_ / "-dash.txt").string()},    // never read as an option
      {"; rm -rf ~ $(x)", {}, ""},                                 // no such file: not started
  };
  for (const Row& row : rows) {
    launcher_.requests.clear();
    const int result = Open(row.target, "open", row.folder);
    if (row.handed.empty()) {
      EXPECT_EQ(result, SHELL_FILE_NOT_FOUND) << row.target;
      EXPECT_TRUE(launcher_.requests.empty()) << row.target;
      continue;
    }
    EXPECT_EQ(result, SHELL_OPENED) << row.target;
    ASSERT_EQ(launcher_.requests.size(), 1u) << row.target;
    EXPECT_EQ(launcher_.requests[0].argv, (std::vector<std::string>{"xdg-open", row.handed}));
    EXPECT_EQ(launcher_.requests[0].folder, row.folder);
  }
  // Every xdg-open was released, to be reaped.
  EXPECT_EQ(launcher_.released.size(), 7u);
}

TEST_F(XdgShellOpenerTest, MapsXdgOpenOutcomesToShellResults) {
  struct Row {
    FakeProcessLauncher::Outcome outcome;
    int result;
  };
  const Row rows[] = {
      {{0, 0}, SHELL_OPENED},
      {{0, 1}, SHELL_NO_ASSOCIATION},  // argument error
      {{0, 2}, SHELL_FILE_NOT_FOUND},
      {{0, 3}, SHELL_NO_ASSOCIATION},  // a tool it needs is missing
      {{0, 4}, SHELL_NO_ASSOCIATION},  // the action failed
      {{0, 128 + 9}, SHELL_NO_ASSOCIATION},
      {{0, 0, true}, SHELL_OPENED},      // runs the application itself: opened
      {{ENOENT}, SHELL_NO_ASSOCIATION},  // no xdg-open on this system
      {{EACCES}, SHELL_ACCESS_DENIED},
      {{EAGAIN}, SHELL_OUT_OF_MEMORY},
  };
  for (const Row& row : rows) {
    launcher_.SetOutcome("xdg-open", row.outcome);
    EXPECT_EQ(Open("https://example.com"), row.result)
        << row.outcome.start_error << " " << row.outcome.exit_code;
  }
}

TEST_F(XdgShellOpenerTest, ChecksFilesFoldersAndVerbsBeforeStarting) {
  EXPECT_EQ(Open(""), SHELL_FILE_NOT_FOUND);
  EXPECT_EQ(Open((folder_ / "missing.txt").string()), SHELL_FILE_NOT_FOUND);
  EXPECT_EQ(Open((folder_ / "no" / "missing.txt").string()), SHELL_PATH_NOT_FOUND);
  EXPECT_EQ(Open("https://example.com", "open", folder_ / "no"), SHELL_PATH_NOT_FOUND);
  EXPECT_EQ(Open("https://example.com", "print"), SHELL_NO_ASSOCIATION);
  if (geteuid() != 0) {
    const fs::path locked = folder_ / "locked.txt";
    std::ofstream(locked) << "x";
    chmod(locked.c_str(), 0);
    EXPECT_EQ(Open(locked.string()), SHELL_ACCESS_DENIED);
  }
  EXPECT_TRUE(launcher_.requests.empty());

  // Blank, "open" and "explore" (cut to four letters, any case) all open.
  for (const char* verb : {"", "open", "OPEN", "explore"}) {
    EXPECT_EQ(Open("https://example.com", verb), SHELL_OPENED) << verb;
  }
}

TEST_F(XdgShellOpenerTest, WorksWithRealChildren) {
  // Stand-ins for xdg-open: one that fails as for a missing file, one that keeps the document
  // open in its own process.
  const auto script = [this](const char* name, const char* body) {
    const fs::path path = folder_ / name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(path, fs::perms::owner_all);
    return path.string();
  };
  ProcessLauncher& launcher = SystemProcesses();
  using namespace std::chrono_literals;
  EXPECT_EQ(XdgShellOpener(launcher, 5s, script("fails", "exit 2")).Open({"https://x"}),
            SHELL_FILE_NOT_FOUND);
  EXPECT_EQ(XdgShellOpener(launcher, 100ms, script("stays", "exec sleep 1")).Open({"https://x"}),
            SHELL_OPENED);
  EXPECT_EQ(XdgShellOpener(launcher, 5s, (folder_ / "absent").string()).Open({"https://x"}),
            SHELL_NO_ASSOCIATION);
}

TEST(IsLink, TellsLinksFromPaths) {
  EXPECT_TRUE(IsLink("http://x"));
  EXPECT_TRUE(IsLink("mailto:a@b"));
  EXPECT_TRUE(IsLink("svn+ssh://host"));
  EXPECT_FALSE(IsLink("C:\\file.txt"));
  EXPECT_FALSE(IsLink("/home/a:b"));
  EXPECT_FALSE(IsLink("notes.txt"));
  EXPECT_FALSE(IsLink("1abc:x"));
}

}  // namespace
}  // namespace vx::platform
