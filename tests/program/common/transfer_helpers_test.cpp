// The transfer and closing helpers run for real from the build's program folder: files moved to
// and from an FTP server and fetched from an HTTP server, both started by the test on
// 127.0.0.1, and a named program of this user ended.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/process.h"
#include "platform/program_folder.h"
#include "support/command_run.h"
#include "support/local_transfer_servers.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

using HelperRun = test::CommandRun;

// Runs a helper with its standard error gathered too; env is put in front.
HelperRun RunHelper(const std::string& helper, const std::string& args,
                    const std::string& env = "") {
  const fs::path program = platform::RunningProgramFolder() / helper;
  return test::RunCommandLine(env + " '" + program.string() + "' " + args + " 2>&1 </dev/null");
}

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Write(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

using test::LocalFtpServer;
using test::LocalHttpServer;

class TransferHelpersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(platform::RunningProgramFolder() / "vx-ftp"))
      GTEST_SKIP() << "helpers not built";
  }
  test::TempFolder local_{"vx_transfer_local"};
  test::TempFolder served_{"vx_transfer_served"};
};

TEST_F(TransferHelpersTest, FtpMovesFilesBothWaysWithThePasswordFromTheEnvironment) {
  LocalFtpServer ftp(served_.path(), "anna", "s3cret");
  if (!ftp.Up()) GTEST_SKIP() << "no FTP server (python3-pyftpdlib)";

  Write(local_ / "report one.txt", "figures\n");
  HelperRun up = RunHelper(
      "vx-ftp",
      "U '" + (local_ / "report one.txt").string() + "' 'in/report.txt' " + ftp.Host() + " anna",
      "VXFTP_PASSWORD=s3cret");
  EXPECT_EQ(up.status, 0) << up.output;
  EXPECT_EQ(Read(served_ / "in" / "report.txt"), "figures\n");  // the folder was made

  Write(served_ / "back.txt", "returned\n");
  HelperRun down = RunHelper(
      "vx-ftp", "D back.txt '" + (local_ / "back.txt").string() + "' " + ftp.Host() + " anna",
      "VXFTP_PASSWORD=s3cret");
  EXPECT_EQ(down.status, 0) << down.output;
  EXPECT_EQ(Read(local_ / "back.txt"), "returned\n");

  // A folder as the target keeps the other side's file name.
  HelperRun to_folder = RunHelper(
      "vx-ftp", "U '" + (local_ / "report one.txt").string() + "' drop/ " + ftp.Host() + " anna",
      "VXFTP_PASSWORD=s3cret");
  EXPECT_EQ(to_folder.status, 0) << to_folder.output;
  EXPECT_EQ(Read(served_ / "drop" / "report one.txt"), "figures\n");
  fs::create_directory(local_ / "inbox");
  HelperRun into_folder = RunHelper(
      "vx-ftp", "D in/report.txt '" + (local_ / "inbox").string() + "' " + ftp.Host() + " anna",
      "VXFTP_PASSWORD=s3cret");
  EXPECT_EQ(into_folder.status, 0) << into_folder.output;
  EXPECT_EQ(Read(local_ / "inbox" / "report.txt"), "figures\n");

  // A refused login: a one-line reason, and the local file stays as it was.
  Write(local_ / "kept.txt", "old\n");
  HelperRun refused = RunHelper(
      "vx-ftp", "D back.txt '" + (local_ / "kept.txt").string() + "' " + ftp.Host() + " anna",
      "VXFTP_PASSWORD=wrong");
  EXPECT_NE(refused.status, 0);
  EXPECT_EQ(std::count(refused.output.begin(), refused.output.end(), '\n'), 1) << refused.output;
  EXPECT_TRUE(refused.output.starts_with("vx-ftp: download from")) << refused.output;
  EXPECT_EQ(Read(local_ / "kept.txt"), "old\n");
  EXPECT_FALSE(fs::exists(local_ / ".kept.txt.part"));

  // A missing file to send.
  HelperRun missing =
      RunHelper("vx-ftp", "U /nonexistent/x in/x " + ftp.Host() + " anna", "VXFTP_PASSWORD=s3cret");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.output, "vx-ftp: cannot read /nonexistent/x\n");
}

TEST_F(TransferHelpersTest, HttpGetDownloadsAFileAndKeepsTheOldOneOnFailure) {
  LocalHttpServer http(served_.path());
  if (!http.Up()) GTEST_SKIP() << "no HTTP server";
  Write(served_ / "page.html", "<p>hello</p>\n");

  const std::string base = "http://" + http.Host() + "/";
  HelperRun got = RunHelper(
      "vx-httpget", "'" + base + "page.html' '" + (local_ / "page.html").string() + "' /AUTO");
  EXPECT_EQ(got.status, 0) << got.output;
  EXPECT_EQ(Read(local_ / "page.html"), "<p>hello</p>\n");

  // Into a folder: the address's last name, unescaped, without its query.
  Write(served_ / "two words.html", "<p>two</p>\n");
  fs::create_directory(local_ / "site");
  HelperRun into_folder = RunHelper("vx-httpget", "'" + base + "two%20words.html?x=1' '" +
                                                      (local_ / "site").string() + "' /AUTO");
  EXPECT_EQ(into_folder.status, 0) << into_folder.output;
  EXPECT_EQ(Read(local_ / "site" / "two words.html"), "<p>two</p>\n");

  HelperRun missing = RunHelper(
      "vx-httpget", "'" + base + "gone.html' '" + (local_ / "page.html").string() + "' /AUTO");
  EXPECT_EQ(missing.status, 3);
  EXPECT_TRUE(missing.output.find("404") != std::string::npos) << missing.output;
  EXPECT_EQ(Read(local_ / "page.html"), "<p>hello</p>\n");

  EXPECT_EQ(RunHelper("vx-httpget", "only-one-word").status, 1);
}

// A link planted at the download's hidden name is never written through: the download picks
// another name, the file it points to stays as it was, and the target is a file of its own.
TEST_F(TransferHelpersTest, ADownloadPassesOverALinkPlantedAtItsHiddenName) {
  LocalHttpServer http(served_.path());
  if (!http.Up()) GTEST_SKIP() << "no HTTP server";
  Write(served_ / "page.html", "<p>hello</p>\n");
  const fs::path victim = local_ / "victim.txt";
  Write(victim, "precious\n");
  fs::permissions(victim, fs::perms(0644));
  fs::create_symlink(victim, local_ / ".page.html.part");

  HelperRun got = RunHelper("vx-httpget", "'http://" + http.Host() + "/page.html' '" +
                                              (local_ / "page.html").string() + "' /AUTO");
  EXPECT_EQ(got.status, 0) << got.output;
  EXPECT_EQ(Read(local_ / "page.html"), "<p>hello</p>\n");
  EXPECT_FALSE(fs::is_symlink(local_ / "page.html"));
  EXPECT_EQ(Read(victim), "precious\n");
  EXPECT_EQ(fs::status(victim).permissions(), fs::perms(0644));
  EXPECT_TRUE(fs::is_symlink(local_ / ".page.html.part"))
      << "a name that is not the helper's is left alone";
  EXPECT_FALSE(fs::exists(local_ / ".page.html.part2"))
      << "the hidden file it made went into place";
}

TEST_F(TransferHelpersTest, KillProcEndsTheNamedProgramOfThisUser) {
  // A program of a name of its own, so nothing else of the user's is touched.
  const fs::path sleeper = local_ / "vxtestsleeper";
  fs::copy_file("/bin/sleep", sleeper);
  platform::ProcessRequest request;
  request.argv = {sleeper.string(), "300"};
  const platform::StartResult started = platform::SystemProcesses().Start(request);
  ASSERT_TRUE(started);

  HelperRun missing = RunHelper("vx-killproc", "NOSUCHPROGRAM.EXE");
  EXPECT_EQ(missing.status, 2);
  EXPECT_TRUE(platform::SystemProcesses().ExitCode(started.handle) == platform::STILL_ACTIVE);

  HelperRun killed = RunHelper("vx-killproc", "VXTESTSLEEPER.EXE");
  EXPECT_EQ(killed.status, 0) << killed.output;
  EXPECT_TRUE(platform::SystemProcesses().Wait(started.handle, std::chrono::seconds(5)));
  EXPECT_EQ(platform::SystemProcesses().ExitCode(started.handle), 128 + SIGTERM);
  platform::SystemProcesses().Release(started.handle);
}

}  // namespace
}  // namespace vx
