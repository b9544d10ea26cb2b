// The built VX runs a task whose script moves files through the transfer helpers when it falls
// due: an FTP upload and an FTP download against an FTP server, and an HTTP download from an
// HTTP server, both started by the test on 127.0.0.1. The local names are written as a user
// writes them: one relative to the data folder, one absolute with a blank in it, one a folder.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "runtime/dates.h"
#include "support/local_transfer_servers.h"
#include "support/temp_folder.h"
#include "tests/desktop/due_message_task.h"
#include "tests/desktop/x_windows.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class ScriptTransferTaskTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    if (!test::XDisplayAvailable()) GTEST_SKIP() << "no X display";
    program_ = test::BuiltProgram();
    if (!fs::exists(program_) || !fs::exists(program_.parent_path() / "vx-ftp")) {
      GTEST_SKIP() << "VX and its helpers are not built beside the tests";
    }
  }

  // One "File Actions" step of task 1 with a transfer verb.
  static void AddTransferStep(std::int32_t sequence, const char* verb,
                              const std::function<void(SCRIPTING_RECORD&)>& fill) {
    SCR = SCRIPTING_RECORD{};
    SCR.ID = 1;
    SCR.Sequence = sequence;
    SCR.Action = "File Actions";
    SCR.DDEType = verb;
    fill(SCR);
    ASSERT_EQ(ACCESS_SCRIPTING->Insert(), 0);
  }

  test::TempFolder served_{"vx_transfer_served"};
  fs::path program_;
};

TEST_F(ScriptTransferTaskTest, TransferStepsMoveFilesToAndFromLocalServers) {
  test::LocalFtpServer ftp(served_.path(), "anna", "s3cret");
  test::LocalHttpServer http(served_.path());
  if (!ftp.Up() || !http.Up()) GTEST_SKIP() << "no local FTP or HTTP server (python3-pyftpdlib)";

  Write("outbox.txt", "sent by a script\n");
  Write(served_ / "pub" / "report.txt", "fetched by FTP\n");
  Write(served_ / "page.html", "<p>fetched by HTTP</p>\n");
  fs::create_directories("saved files");
  const fs::path saved_report = root() / "saved files" / "report copy.txt";

  VX_Files_Load();
  test::AddDueProgramTask("Transfers", "N/A");
  ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
  const std::string login = std::string("anna") + std::string(124, ' ') + "s3cret";
  AddTransferStep(1, "FTP Upload", [&](auto& s) {
    s.Command = "outbox.txt";  // relative: the data folder
    s.Path = "incoming/outbox.txt";
    s.DDEApplicationName = ftp.Host();
    s.DDEApplicationTopic = login;
  });
  AddTransferStep(2, "FTP Download", [&](auto& s) {
    s.Command = "pub/report.txt";
    s.Path = saved_report.string();
    s.DDEApplicationName = ftp.Host();
    s.DDEApplicationTopic = login;
  });
  AddTransferStep(3, "HTTP Download", [&](auto& s) {
    s.Command = http.Url("page.html");
    s.Path = (root() / "saved files").string();  // a folder: the page keeps its name
  });
  ACCESS_SCRIPTING->Close();
  VX_Files_Unload();
  if (!fs::exists("VX97.TPS")) std::ofstream("VX97.TPS").close();

  const pid_t vx_pid = test::StartWithoutSessionBus(program_.string());
  ASSERT_NE(vx_pid, 0);
  const fs::path uploaded = served_ / "incoming" / "outbox.txt";
  const fs::path page = root() / "saved files" / "page.html";
  test::WaitUntil([&] { return Exists(uploaded) && Exists(saved_report) && Exists(page); }, 90s);
  int status = 0;
  EXPECT_TRUE(test::EndWithin(vx_pid, 30s, status)) << "VX ends on SIGTERM";
  test::EndProcessesIn(root());  // a helper still running after a failed wait

  EXPECT_EQ(Read(uploaded), "sent by a script\n") << "the FTP upload reached the server";
  EXPECT_EQ(Read(saved_report), "fetched by FTP\n")
      << "the FTP download landed where the step says";
  EXPECT_EQ(Read(page), "<p>fetched by HTTP</p>\n")
      << "the HTTP download landed in the folder the step names";
}

}  // namespace
}  // namespace vx
