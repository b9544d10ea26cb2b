// The FTP client class against a real FTP server on 127.0.0.1 (pyftpdlib), driven from a window
// on its own runtime thread: folders, renames and deletes, listings, whole and block-wise
// transfers with their progress, and the server's refusals reaching the caller.
#include "datadll/utility/cs_ftp_class.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/window/window.h"
#include "support/local_transfer_servers.h"
#include "support/temp_folder.h"
#include "support/test_driver.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUser = "planner";
constexpr const char* kPassword = "s3cret-Pw!";

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

// A text of `size` bytes that differs from block to block.
std::string Sample(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + (i * 7 + i / 1024) % 26);
  return text;
}

// What the FTP window saw, read by the test's thread while the window's thread runs.
struct FtpRun {
  // Runs on the window's thread once the client is set up; the window then waits for events.
  std::function<void(CSFTPCLASS&)> script;
  std::function<void(CSFTPCLASS&, int)> on_event;  // on each event of the client, if set
  std::mutex mutex;
  std::vector<int> events;            // the client's events, in order
  std::vector<std::string> statuses;  // the status text after each event and at the end
  std::set<long> progress;            // every progress value the bar showed
  std::atomic<bool> script_done{false};
  std::function<std::string()> shown;  // the status control's text now (window's thread only)

  bool Saw(int event) {
    std::lock_guard lock(mutex);
    return std::find(events.begin(), events.end(), event) != events.end();
  }
  std::vector<int> Events() {
    std::lock_guard lock(mutex);
    return events;
  }
};

FtpRun* g_run = nullptr;

void FtpWindow() {
  FtpRun& run = *g_run;
  Window window("FTP");
  Control& status = window.String("");
  Control& progress = window.Progress();
  const int close = window.Button("Close");
  window.Open();
  CSFTPCLASS ftp;
  ftp.INIT(window, 0, status, progress);
  const auto note = [&] {
    std::lock_guard lock(run.mutex);
    run.statuses.push_back(status.Get(Prop::Text));
    run.progress.insert(progress.GetNumber(Prop::Value));
  };
  run.shown = [&] { return status.Get(Prop::Text); };
  run.script(ftp);
  note();
  run.script_done = true;
  while (window.Accept()) {
    ftp.TakeEvent();
    progress.GetNumber(Prop::Value);
    {
      std::lock_guard lock(run.mutex);
      run.progress.insert(progress.GetNumber(Prop::Value));
    }
    if (EVENT() >= EVENT_FtpConnected && EVENT() <= EVENT_FtpError) {
      {
        std::lock_guard lock(run.mutex);
        run.events.push_back(EVENT());
      }
      note();
      if (run.on_event) run.on_event(ftp, EVENT());
    }
    if (ACCEPTED() == close) break;
  }
  ftp.KILL();
}

class CsFtpClassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    served_ = folder_.path() / "served";
    local_ = folder_.path() / "local";
    fs::create_directories(served_);
    fs::create_directories(local_);
    server_ = std::make_unique<test::LocalFtpServer>(served_, kUser, kPassword);
    if (!server_->Up()) GTEST_SKIP() << "no FTP server (python3-pyftpdlib)";
    const std::string host = server_->Host();
    port_ = std::stol(host.substr(host.find(':') + 1));
  }

  // Connects and logs in with the password given; answers LOGIN's result.
  long LogIn(CSFTPCLASS& ftp, const char* password = kPassword) {
    ftp.SETPORT(port_);
    if (ftp.CONNECT("127.0.0.1") == -1) return -2;
    return ftp.LOGIN(kUser, password);
  }

  // Runs the window until `done` holds, then closes it.
  void Run(const std::function<void(CSFTPCLASS&)>& script, const std::function<bool()>& done,
           const std::string& what) {
    run_.script = script;
    g_run = &run_;
    TestDriver ui;
    ui.Start(FtpWindow);
    DriverWindow window = ui.WaitWindow("FTP");
    ui.WaitUntil([&] { return run_.script_done.load(); }, "the script");
    ui.WaitUntil(done, what);
    window.Control("Close").Press();
    ui.Finish();
  }

  test::TempFolder folder_;
  fs::path served_, local_;
  std::unique_ptr<test::LocalFtpServer> server_;
  long port_ = 0;
  FtpRun run_;
};

TEST_F(CsFtpClassTest, FoldersRenamesDeletesAndListings) {
  WriteAll(served_ / "b-notes.txt", "bbb");
  WriteAll(served_ / "a-plan.TXT", "aaaa");
  fs::create_directories(served_ / "zeta");
  std::vector<std::string> listed, masked, bare, empty;
  long results[6] = {};
  Run(
      [&](CSFTPCLASS& ftp) {
        ASSERT_EQ(LogIn(ftp), 0);
        EXPECT_EQ(ftp.REMOTEPATH.str(), "/");
        results[0] = ftp.MKDIR("archive");
        results[1] = ftp.RENAME("b-notes.txt", "archive/notes.txt");
        results[2] = ftp.REMOVE("a-plan.TXT");
        results[3] = ftp.MKDIR("empty");
        const auto names = [](const FTPDIRQ& q) {
          std::vector<std::string> out;
          for (const FTPDIRQ_RECORD& row : q)
            out.push_back((row.ISDIRECTORY ? "d " : "f ") + row.FILENAME.str());
          return out;
        };
        FTPDIRQ q;
        WriteAll(served_ / "c.log", "c");
        WriteAll(served_ / "d.txt", "dd");
        EXPECT_EQ(ftp.GETDIRECTORY(q, "/", "*.*", 0), 6);
        listed = names(q);
        ftp.GETDIRECTORY(q, "/", "*.TXT", 0);  // a mask in any case
        masked = names(q);
        ftp.GETDIRECTORY(q, "/", "", 1);
        bare = names(q);
        ftp.SETPATH("empty");
        EXPECT_EQ(ftp.REMOTEPATH.str(), "/empty");
        ftp.GETDIRECTORY(q, ftp.REMOTEPATH.view(), "*.*", 0);
        empty = names(q);
        ftp.SETPATH("..");
        results[4] = ftp.RMDIR("empty");
        FTPDIRQ archive;
        ftp.GETDIRECTORY(archive, "archive", "", 0);
        results[5] = archive.Records();
        ASSERT_EQ(archive.Get(2), 0);
        EXPECT_EQ(archive.buffer.SIZE, 3);
        EXPECT_GT(archive.buffer.DATE, 0);
      },
      [] { return true; }, "nothing");
  EXPECT_EQ((std::vector<long>(results, results + 5)), (std::vector<long>{0, 0, 0, 0, 0}));
  EXPECT_EQ(results[5], 2);  // ".." and notes.txt
  EXPECT_EQ(listed, (std::vector<std::string>{"d ..", "d archive", "d empty", "d zeta", "f c.log",
                                              "f d.txt"}));
  EXPECT_EQ(masked,
            (std::vector<std::string>{"d ..", "d archive", "d empty", "d zeta", "f d.txt"}));
  EXPECT_EQ(bare, (std::vector<std::string>{"d ..", "f c.log", "f d.txt"}));
  EXPECT_EQ(empty, (std::vector<std::string>{"d .."}));
  EXPECT_TRUE(fs::exists(served_ / "archive" / "notes.txt"));
  EXPECT_FALSE(fs::exists(served_ / "a-plan.TXT"));
  EXPECT_FALSE(fs::exists(served_ / "empty"));
  EXPECT_TRUE(run_.Saw(EVENT_FtpConnected));
  EXPECT_TRUE(run_.Saw(EVENT_FtpLoggedIn));
  EXPECT_FALSE(run_.Saw(EVENT_FtpError));
}

TEST_F(CsFtpClassTest, WholeFilesGoBothWays) {
  const std::string text = Sample(5000);
  WriteAll(local_ / "up.bin", text);
  WriteAll(served_ / "down.bin", text + "tail");
  Run(
      [&](CSFTPCLASS& ftp) {
        ASSERT_EQ(LogIn(ftp), 0);
        ftp.PUTFILE((local_ / "up.bin").string(), "", platform::kFtpBinary);  // the bare name
        ftp.GETFILE((local_ / "down.bin").string(), "down.bin", platform::kFtpBinary);
      },
      [&] { return run_.Events().size() >= 4; }, "two transfers");
  EXPECT_EQ(ReadAll(served_ / "up.bin"), text);
  EXPECT_EQ(ReadAll(local_ / "down.bin"), text + "tail");
  EXPECT_EQ(run_.Events(),
            (std::vector<int>{EVENT_FtpConnected, EVENT_FtpLoggedIn, EVENT_FtpTransferComplete,
                              EVENT_FtpTransferComplete}));
}

// The block-wise calls return before a byte has moved; the blocks then come with the window's
// events, and the bar climbs to the file's size.
TEST_F(CsFtpClassTest, BlockWiseTransfersMoveWithTheWindowsEventsAndShowProgress) {
  const std::string text = Sample(300 * 1024 + 17);
  WriteAll(served_ / "big.bin", text);
  WriteAll(local_ / "send.bin", text);
  WriteAll(served_ / "empty.txt", "");
  std::int64_t copied_when_download_returned = -1;
  std::int64_t copied_when_upload_returned = -1;
  int completed = 0;
  // The upload starts once the empty file and the download are complete.
  run_.on_event = [&](CSFTPCLASS& ftp, int event) {
    if (event == EVENT_FtpTransferComplete && ++completed == 2) {
      EXPECT_EQ(ftp.BYTESCOPIED, static_cast<std::int64_t>(text.size()));
      ftp.UPLOAD((local_ / "send.bin").string(), "sent.bin", platform::kFtpBinary);
      copied_when_upload_returned = ftp.BYTESCOPIED;
    }
  };
  Run(
      [&](CSFTPCLASS& ftp) {
        ASSERT_EQ(LogIn(ftp), 0);
        // A remote file of no bytes: an empty local file at once.
        ftp.DOWNLOAD((local_ / "empty.txt").string(), "empty.txt", platform::kFtpBinary);
        ftp.DOWNLOAD((local_ / "big.bin").string(), "big.bin", platform::kFtpBinary);
        copied_when_download_returned = ftp.BYTESCOPIED;
      },
      [&] {
        const std::vector<int> events = run_.Events();
        return std::count(events.begin(), events.end(), EVENT_FtpTransferComplete) >= 3 ||
               run_.Saw(EVENT_FtpError);
      },
      "three transfers");
  EXPECT_FALSE(run_.Saw(EVENT_FtpError)) << testing::PrintToString(run_.statuses);
  EXPECT_EQ(copied_when_download_returned, 0);
  EXPECT_EQ(copied_when_upload_returned, 0);
  EXPECT_TRUE(fs::exists(local_ / "empty.txt"));
  EXPECT_EQ(fs::file_size(local_ / "empty.txt"), 0u);
  EXPECT_EQ(ReadAll(local_ / "big.bin"), text);
  EXPECT_EQ(ReadAll(served_ / "sent.bin"), text);
  // Block by block: the bar showed many values between none and the whole file.
  std::lock_guard lock(run_.mutex);
  EXPECT_GT(run_.progress.size(), 3u);
  EXPECT_EQ(run_.statuses.back(), "Transfer complete");
}

// A block-wise download cancelled before its blocks came: both ends closed, no completion,
// and the session goes on with the next command.
TEST_F(CsFtpClassTest, ACancelledDownloadEndsWithoutCompletingAndTheSessionGoesOn) {
  WriteAll(served_ / "big.bin", Sample(2 * 1024 * 1024));
  std::string cancelled;
  std::uint8_t local_closed = 0, remote_closed = 0;
  long made = -1;
  Run(
      [&](CSFTPCLASS& ftp) {
        ASSERT_EQ(LogIn(ftp), 0);
        ftp.DOWNLOAD((local_ / "big.bin").string(), "big.bin", platform::kFtpBinary);
        ftp.CANCELOPERATION();
        cancelled = ftp.STATUSMSG.str();
        local_closed = ftp.LOCALFILECLOSED;
        remote_closed = ftp.REMOTEFILECLOSED;
        made = ftp.MKDIR("after");
      },
      [] { return true; }, "nothing");
  EXPECT_EQ(cancelled, "Cancelled");
  EXPECT_EQ(local_closed, 1);
  EXPECT_EQ(remote_closed, 1);
  EXPECT_EQ(made, 0);
  EXPECT_TRUE(fs::is_directory(served_ / "after"));
  EXPECT_FALSE(run_.Saw(EVENT_FtpTransferComplete));
}

// A refused log-in and a missing file each reach the caller with the server's own reply; the
// password shows in no status the window ever gets.
TEST_F(CsFtpClassTest, RefusalsCarryTheServersReplyAndNeverThePassword) {
  std::string refused, refused_shown, missing, missing_whole, no_folder;
  std::vector<std::string> texts;  // every status and error text after each call
  long login = 0;
  Run(
      [&](CSFTPCLASS& ftp) {
        const auto keep = [&] {
          texts.push_back(ftp.STATUSMSG.str());
          texts.push_back(run_.shown());
          texts.push_back(ftp.GETERROR());
        };
        login = LogIn(ftp, "wrong-pw");
        refused = ftp.STATUSMSG.str();
        refused_shown = run_.shown();
        keep();
        EXPECT_EQ(ftp.LOGGEDIN, 0);
        ASSERT_EQ(ftp.LOGIN(kUser, kPassword), 0);
        ftp.DOWNLOAD((local_ / "none.txt").string(), "none.txt", platform::kFtpBinary);
        missing = ftp.STATUSMSG.str();
        keep();
        ftp.GETFILE((local_ / "none2.txt").string(), "none2.txt", platform::kFtpBinary);
        missing_whole = ftp.STATUSMSG.str();
        keep();
        EXPECT_EQ(ftp.MKDIR("/no/such/parent/x"), -1);
        keep();
        EXPECT_EQ(ftp.RENAME("nothing", "else"), -1);
        keep();
        ftp.SETPATH("nowhere");
        no_folder = ftp.STATUSMSG.str();
        EXPECT_EQ(ftp.REMOTEPATH.str(), "/");
        keep();
        EXPECT_NE(ftp.GETERROR(), "No error");
        ftp.LOGOFF();
        keep();
      },
      [] { return true; }, "nothing");
  EXPECT_EQ(login, -1);
  EXPECT_TRUE(refused.starts_with("Unable to log on: 530 ")) << refused;
  EXPECT_TRUE(missing.starts_with("Unable to retrieve file size: 550 ")) << missing;
  EXPECT_TRUE(missing_whole.starts_with("Download failed: 550 ")) << missing_whole;
  EXPECT_TRUE(no_folder.starts_with("Unable to change remote directory: 550 ")) << no_folder;
  EXPECT_FALSE(fs::exists(local_ / "none.txt"));
  const std::vector<int> events = run_.Events();
  EXPECT_GE(std::count(events.begin(), events.end(), EVENT_FtpError), 5);
  // The shown text carries the reply's code.
  EXPECT_TRUE(refused_shown.starts_with(refused + " (530)")) << refused_shown;
  for (const std::string& text : texts) {
    EXPECT_EQ(text.find("wrong-pw"), std::string::npos) << text;
    EXPECT_EQ(text.find(kPassword), std::string::npos) << text;
  }
}

TEST(CsFtpClass, ConnectBeforeAWorkingInitFailsQuietly) {
  CSFTPCLASS ftp;
  EXPECT_EQ(ftp.CONNECT("127.0.0.1"), -1);
  EXPECT_EQ(ftp.STATUSMSG.str(), "");
  EXPECT_EQ(ftp.LOGIN("u", "p"), -1);
  EXPECT_EQ(ftp.STATUSMSG.str(), "Not connected");
}

}  // namespace
}  // namespace vx
