// The built VX program on a real X display runs a task whose script sends a stored message: the
// mail reaches a server on 127.0.0.1 and the message is stamped with the day it was sent.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "platform/x11_display.h"
#include "runtime/dates.h"
#include "support/local_mail_servers.h"
#include "support/temp_folder.h"
#include "tests/desktop/due_message_task.h"
#include "tests/desktop/x_windows.h"
#include "tests/support/damaged_files.h"
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/Xlib.h>

namespace vx {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class MailStepTaskTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    test::CloseDataFiles();  // a table an earlier test left open would take this folder's rows
    display_ = platform::OpenX11Display();
    if (display_ == nullptr) GTEST_SKIP() << "no X display";
    program_ = test::BuiltProgram();
    if (!fs::exists(program_)) GTEST_SKIP() << "VX is not built beside the tests";
  }
  void TearDown() override {
    if (display_ != nullptr) XCloseDisplay(display_);
    test::CloseDataFiles();
  }

  Display* display_ = nullptr;
  fs::path program_;
};

TEST_F(MailStepTaskTest, ADueTasksSendEmailStepDeliversItsMessageAndStampsIt) {
  test::LocalSmtpServer server;
  ASSERT_NE(server.port(), 0);
  const std::string host = server.host();
  test::StoreSettings({{"Host", host.c_str()},
                       {"Sender", "ann@sender.test"},
                       {"SenderName", "Ann Lee"},
                       {"UseVXMsg", "0"}});
  VX_Files_Load();
  ASSERT_EQ(ACCESS_MESSAGES->Open(), 0);
  M_ = MESSAGES_RECORD{};
  M_.EmailID = 3;
  M_.MailType = "Email";
  M_.EmailTo = "bob@to.test";
  M_.EmailToName = "Bob Dee";
  M_.Subject = "Nightly figures";
  M_.Message = "All went well.";
  ASSERT_EQ(ACCESS_MESSAGES->Insert(), 0);
  ACCESS_MESSAGES->Close();
  test::AddDueProgramTask("Mail the figures", "N/A");  // nothing to start: only the script runs
  ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
  SCR = SCRIPTING_RECORD{};
  SCR.ID = 1;
  SCR.Sequence = 1;
  SCR.Action = "Send Email";
  SCR.EmailID = 3;
  SCR.WindowTitleToCheckFor = "Nightly figures - bob@to.test";
  ASSERT_EQ(ACCESS_SCRIPTING->Insert(), 0);
  ACCESS_SCRIPTING->Close();
  VX_Files_Unload();
  if (!fs::exists("VX97.TPS")) test::MakeEmptyDatabase("VX97.TPS");

  const pid_t vx_pid = test::StartWithoutSessionBus(program_.string());
  ASSERT_NE(vx_pid, 0);
  const auto mails = server.Mails(1, 60s);
  // The stamp is written once the server has taken the mail.
  std::this_thread::sleep_for(1s);
  int status = 0;
  EXPECT_TRUE(test::EndWithin(vx_pid, 30s, status)) << "VX ends on SIGTERM";

  ASSERT_EQ(mails.size(), 1U) << test::EventLogText();
  EXPECT_EQ(mails[0].recipients, std::vector<std::string>{"bob@to.test"});
  EXPECT_EQ(mails[0].Header("subject"), "Nightly figures");
  EXPECT_EQ(mails[0].Header("to"), "Bob Dee <bob@to.test>");
  VX_Files_Load();
  ASSERT_EQ(ACCESS_MESSAGES->Open(), 0);
  M_ = MESSAGES_RECORD{};
  M_.EmailID = 3;
  ASSERT_EQ(ACCESS_MESSAGES->Fetch(M__KEYEMAILID), 0);
  EXPECT_EQ(M_.LastDateSent, TODAY());
  ACCESS_MESSAGES->Close();
  VX_Files_Unload();
}

}  // namespace
}  // namespace vx
