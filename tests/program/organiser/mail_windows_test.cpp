// The bug report and single e-mail windows driven as a user would, sending to a real SMTP
// server on 127.0.0.1; and the message window's Email button that opens the latter.
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "program/admin/load_settings.h"
#include "program/common/config_store.h"
#include "program/due_tasks/show_task_message.h"
#include "program/organiser/bug_report.h"
#include "program/organiser/generate_email.h"
#include "program/script_engine/script_variables.h"
#include "program/sqlite_access.h"
#include "program/window_fixture.h"
#include "runtime/ini_file.h"
#include "support/local_mail_servers.h"

namespace vx {
namespace {

using test::LocalSmtpServer;

class MailWindowsTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    EMAIL_HOST = server_.host();
    EMAIL_SENDER = "ann@sender.test";
    EMAIL_SENDERNAME = "Ann Lee";
    EMAIL_ORGANIZATION = "";
    PRODUCTNAME = "Varnodex";
    NEWS_PASSWORD = "news-secret";
    SYSPWD = "lock-secret";
  }
  void TearDown() override {
    NEWS_PASSWORD = "";
    SYSPWD = "";
    WindowTest::TearDown();
  }

  LocalSmtpServer server_;
};

TEST_F(MailWindowsTest, TheEmailWindowSendsTheMessageOnScreenAndRemembersTheRecipient) {
  PUTINI("Recipient", "Email", "old@to.test", "VXMSG.INI");
  ui_.Start([] {
    ML = MSGLINK_RECORD{};
    ML.Title = "Call Anna";
    ML.Message = "About the budget\r\n.\r\nsee you";
    GenerateEmail();
  });
  DriverWindow w = ui_.WaitWindow("Email Message");
  EXPECT_EQ(w.Control("Recipient's E-mail address:").Value(), "old@to.test");
  EXPECT_EQ(w.Control("Subject:").Value(), "Call Anna");
  w.Control("Recipient's E-mail address:").Type("bob@to.test");
  w.Control("&OK").Press();
  const SeenRequest status = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(status.caption, "Status");
  EXPECT_EQ(status.text, "Message sent.");
  ui_.WaitClosed(w);
  ui_.Finish();

  const auto mails = server_.Mails(1);
  ASSERT_EQ(mails.size(), 1U);
  EXPECT_EQ(mails[0].recipients, std::vector<std::string>{"bob@to.test"});
  EXPECT_EQ(mails[0].Header("to"), "bob@to.test") << "an empty name takes the address";
  EXPECT_EQ(mails[0].Header("subject"), "Call Anna");
  EXPECT_EQ(mails[0].Header("from"), "Ann Lee <ann@sender.test>");
  EXPECT_NE(mails[0].raw.find("X-Mailer: Varnodex"), std::string::npos);
  EXPECT_EQ(GETINI("Recipient", "Email", "", "VXMSG.INI"), "bob@to.test");
  EXPECT_EQ(GETINI("RecipientName", "Email", "", "VXMSG.INI"), "bob@to.test");
}

TEST_F(MailWindowsTest, AFailedEmailSaysWhyAndStillKeepsTheRecipient) {
  EMAIL_HOST = test::ClosedPortHost();
  ui_.Start([] {
    ML = MSGLINK_RECORD{};
    GenerateEmail();
  });
  DriverWindow w = ui_.WaitWindow("Email Message");
  w.Control("Recipient's E-mail address:").Type("bob@to.test");
  w.Control("Recipient's Name:").Type("Bob");
  w.Control("&OK").Press();
  const SeenRequest status = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(status.text,
            "Message was not sent.\n\nError:\nFailed to connect. Mail Server not found!\n\nSender:"
            "ann@sender.test\nHost:" +
                EMAIL_HOST.str());
  ui_.WaitClosed(w);
  ui_.Finish();
  EXPECT_EQ(GETINI("RecipientName", "Email", "", "VXMSG.INI"), "Bob");
}

// Without the settings a mail needs, OK names what is missing and where it is set, and keeps
// the form as typed; once the settings are made, OK again sends it.
TEST_F(MailWindowsTest, TheEmailWindowWithoutMailSettingsSaysWhereToSetThemAndKeepsTheForm) {
  const std::string host = EMAIL_HOST.str();
  struct Case {
    const char* host;
    const char* sender;
    const char* missing;
  };
  for (const Case& c : {Case{"", "ann@sender.test", "the SMTP mail host is not set up"},
                        Case{host.c_str(), "", "the e-mail reply-to address is not set up"},
                        Case{"", "",
                             "the SMTP mail host and the e-mail reply-to address are not "
                             "set up"}}) {
    SCOPED_TRACE(c.missing);
    EMAIL_HOST = c.host;
    EMAIL_SENDER = c.sender;
    ui_.Start([] {
      ML = MSGLINK_RECORD{};
      ML.Title = "Call Anna";
      GenerateEmail();
    });
    DriverWindow w = ui_.WaitWindow("Email Message");
    w.Control("Recipient's E-mail address:").Type("bob@to.test");
    w.Control("Recipient's Name:").Type("Bob");
    w.Control("Subject:").Type("Budget call");
    w.Control("&OK").Press();
    const SeenRequest box = ui_.WaitMessage(BUTTON_OK);
    EXPECT_EQ(box.caption, "Email Not Set Up");
    EXPECT_NE(box.text.find(c.missing), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("File > Options, on the Email tab"), std::string::npos) << box.text;
    ASSERT_TRUE(ui_.HasWindow("Email Message")) << "the form stays open";
    EXPECT_EQ(w.Control("Recipient's E-mail address:").Value(), "bob@to.test");
    EXPECT_EQ(w.Control("Recipient's Name:").Value(), "Bob");
    EXPECT_EQ(w.Control("Subject:").Value(), "Budget call");

    // The settings made meanwhile (Options changes them at once), OK sends what was typed.
    EMAIL_HOST = host;
    EMAIL_SENDER = "ann@sender.test";
    w.Control("&OK").Press();
    EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text, "Message sent.");
    ui_.WaitClosed(w);
    ui_.Finish();
  }
  const auto mails = server_.Mails(3);
  ASSERT_EQ(mails.size(), 3U) << "one mail per case, none while the settings were missing";
  EXPECT_EQ(mails[2].Header("subject"), "Budget call");
  EXPECT_EQ(mails[2].Header("to"), "Bob <bob@to.test>");

  // Without a recipient there is nothing to send to: the form asks for one.
  ui_.Start([] {
    ML = MSGLINK_RECORD{};
    GenerateEmail();
  });
  DriverWindow w = ui_.WaitWindow("Email Message");
  w.Control("Recipient's E-mail address:").Type("");
  w.Control("&OK").Press();
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text, "Enter the recipient's e-mail address.");
  EXPECT_TRUE(ui_.HasWindow("Email Message"));
  w.Control("Cancel").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
}

// The cross-hair shows while the mail is on its way, and the normal pointer again before the
// verdict. The server takes the connection and says nothing until it goes away.
TEST_F(MailWindowsTest, TheEmailWindowShowsTheCrossHairWhileItSends) {
  std::optional<test::SilentServer> silent(std::in_place);
  EMAIL_HOST = silent->host();
  ui_.Start([] {
    ML = MSGLINK_RECORD{};
    GenerateEmail();
  });
  DriverWindow w = ui_.WaitWindow("Email Message");
  EXPECT_EQ(w.Get(Prop::Cursor), "");
  w.Control("Recipient's E-mail address:").Type("bob@to.test");
  // The press returns only once the window's thread is free again, so the pointer is watched
  // beside it; the waiting connection is then refused and the send gives up.
  std::atomic<bool> saw_cross{false};
  std::thread watcher([&] {
    for (int i = 0; i < 1000 && !saw_cross; ++i) {
      saw_cross = w.Get(Prop::Cursor) == "Cross";
      if (!saw_cross) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    silent.reset();
  });
  w.Control("&OK").Press();
  watcher.join();
  EXPECT_TRUE(saw_cross) << "the cross-hair while sending";
  ui_.WaitUntil([&] { return !ui_.Messages().empty(); }, "the verdict");
  EXPECT_EQ(w.Get(Prop::Cursor), "");
  const SeenRequest status = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(status.text.rfind("Message was not sent.", 0), 0u) << status.text;
  ui_.WaitClosed(w);
  ui_.Finish();
}

TEST_F(MailWindowsTest, TheMessageWindowsEmailButtonOpensTheEmailWindowOnTheMessage) {
  ui_.Start([] { ShowMessageWindow({"Budget", "Numbers are in", ""}, true); });
  DriverWindow message = ui_.WaitWindow("Budget");
  EXPECT_EQ(message.Control("&Email").Get(Prop::Tip), "Send this as an email message");
  message.Control("&Email").Press();
  DriverWindow mail = ui_.WaitWindow("Email Message");
  EXPECT_EQ(mail.Control("Subject:").Value(), "Budget");
  EXPECT_EQ(message.Get(Prop::Topmost), "0")
      << "the on-top message makes way for the e-mail window";
  mail.Control("Cancel").Press();
  ui_.WaitClosed(mail);
  EXPECT_TRUE(message.Open()) << "the message stays on screen";
  EXPECT_EQ(message.Get(Prop::Topmost), "1");
  message.Control("Cl&ose").Press();
  ui_.Finish();
  EXPECT_EQ(server_.Count(), 0U);
}

// A database with a user's password, the lock password, a message's news password and an FTP
// step's log-in; and a script variable that holds a secret.
void StorePasswords() {
  ASSERT_EQ(ACCESS_USERS->Open(), 0);
  U_ = USERS_RECORD{};
  U_.USER = "ann";
  U_.PASSWORD = "user-secret";
  U_.CONFIRMPASSWORD = "user-secret";
  ASSERT_EQ(ACCESS_USERS->Insert(), 0);
  ACCESS_USERS->Close();
  SetConfigValue("SysPwd", "lock-secret");
  ASSERT_EQ(ACCESS_MESSAGES->Open(), 0);
  M_ = MESSAGES_RECORD{};
  M_.EmailID = 1;
  M_.Subject = "kept";
  M_.NEWS_PASSWORD = "msg-secret";
  ASSERT_EQ(ACCESS_MESSAGES->Insert(), 0);
  ACCESS_MESSAGES->Close();
  ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
  SCR = SCRIPTING_RECORD{};
  SCR.ID = 7;
  SCR.Sequence = 1;
  SCR.Action = "File Actions";
  SCR.DDEType = "FTP Upload";
  SCR.Command = "/home/ann/report.txt";
  SCR.Path = "in/report.txt";
  SCR.DDEApplicationName = "ftp.example.test";
  std::string login = "anna";
  login.resize(128, ' ');
  SCR.DDEApplicationTopic = login + "ftp-secret";
  ASSERT_EQ(ACCESS_SCRIPTING->Insert(), 0);
  SCR = SCRIPTING_RECORD{};
  SCR.ID = 7;
  SCR.Sequence = 2;
  SCR.Action = "Display Message";
  SCR.DDEApplicationName = "Uploaded";
  SCR.DDEApplicationTopic = "Report";
  ASSERT_EQ(ACCESS_SCRIPTING->Insert(), 0);
  ACCESS_SCRIPTING->Close();
  VARQ.Free();
  SetScriptVariable("var-secret", "Token");
}

TEST_F(MailWindowsTest, ABugReportGoesToTheSupportAddressWithNoPasswordAnywhere) {
  StorePasswords();
  SetConfigValue("SupportAddress", "help@support.test");
  std::ofstream("VX98EVNT.LOG") << "12/06/2026 14:07 Mail   Sent\n";
  ui_.Start(BugReport);
  DriverWindow w = ui_.WaitWindow("Bug Reporting");
  EXPECT_EQ(w.Control("Sent to:").Value(), "help@support.test");
  DriverControl dump = w.Control("This information will be sent:");
  ASSERT_GT(dump.Rows(), 50U);
  EXPECT_EQ(dump.Cell(1, 1), "ASCIIFileName=");
  for (std::size_t row = 1; row <= dump.Rows(); ++row) {
    EXPECT_EQ(dump.Cell(static_cast<long>(row), 1).find("secret"), std::string::npos)
        << dump.Cell(static_cast<long>(row), 1);
  }
  EXPECT_EQ(dump.Cell(static_cast<long>(dump.Rows()), 1), "TOKEN=(value not sent)")
      << "the variable is named, not shown";
  w.Control("Enter your bug report or comments here:").Type("The tray icon vanished.");
  ui_.AnswerMessage(BUTTON_YES);
  w.Control("Include Full Database").Tick();
  const auto warnings = ui_.Messages();
  ASSERT_EQ(warnings.size(), 1U);
  EXPECT_NE(warnings[0].text.find("passwords"), std::string::npos);
  w.Control("Include Log File").Tick();
  w.Control("&Send").Press();
  ui_.WaitClosed(w);
  ui_.Finish();

  const auto mails = server_.Mails(1);
  ASSERT_EQ(mails.size(), 1U);
  const auto& mail = mails[0];
  EXPECT_EQ(mail.recipients, std::vector<std::string>{"help@support.test"});
  EXPECT_EQ(mail.Header("from"), "Ann Lee <ann@sender.test>");
  EXPECT_EQ(mail.Header("subject"), "Varnodex:  Support for Ann Lee");
  const std::string body = mail.Body();
  EXPECT_EQ(body.rfind(
                "The tray icon vanished.\r\n--------------Internal Information------------\r\n", 0),
            0U)
      << body.substr(0, 120);
  EXPECT_NE(body.find("Email:Host=" + server_.host() + "\r\n"), std::string::npos);
  EXPECT_NE(body.find("VX98EVNT.LOG "), std::string::npos) << "the data folder is listed";
  EXPECT_EQ(body.find("secret"), std::string::npos);
  EXPECT_EQ(body.find("News:Password"), std::string::npos);

  ASSERT_EQ(mail.AttachmentCount(), 2);
  EXPECT_EQ(mail.AttachmentName(0), "VX97.TPS");
  EXPECT_EQ(mail.AttachmentName(1), "VX98EVNT.LOG");
  EXPECT_EQ(mail.AttachmentData(0).find("secret"), std::string::npos)
      << "no password in any page of the copy";
  const std::string copy = (root() / "sent.tps").string();
  std::ofstream(copy, std::ios::binary) << mail.AttachmentData(0);
  test::SqliteDb sent(copy);
  EXPECT_EQ(sent.Text("SELECT USER FROM Users"), "ann");
  EXPECT_EQ(sent.Text("SELECT Subject FROM Messages"), "kept");
  EXPECT_EQ(sent.Text("SELECT DataValue FROM CF WHERE DataType = 'SupportAddress'"),
            "help@support.test");
  // The FTP step keeps what it does, without its log-in; other steps keep their texts.
  EXPECT_EQ(sent.Text("SELECT DDEApplicationName FROM Script WHERE Sequence = 1"),
            "ftp.example.test");
  EXPECT_EQ(sent.Text("SELECT DDEApplicationTopic FROM Script WHERE Sequence = 1"), "");
  EXPECT_EQ(sent.Text("SELECT DDEApplicationTopic FROM Script WHERE Sequence = 2"), "Report");
  // The user's own database keeps every password.
  test::SqliteDb own((root() / "VX97.TPS").string());
  EXPECT_EQ(own.Text("SELECT PASSWORD FROM Users"), "user-secret");
  EXPECT_EQ(own.Text("SELECT DataValue FROM CF WHERE DataType = 'SysPwd'"), "lock-secret");
  EXPECT_NE(
      own.Text("SELECT DDEApplicationTopic FROM Script WHERE Sequence = 1").find("ftp-secret"),
      std::string::npos);
  VARQ.Free();
}

// The copy waits for the mail in a new folder of its own in the temporary folder, which every
// user may write to: links planted at names the program could choose lead nowhere.
TEST_F(MailWindowsTest, TheDatabaseCopyNeverGoesThroughALinkPlantedInTheTemporaryFolder) {
  const std::filesystem::path temp = root() / "shared-tmp";
  const std::filesystem::path victim = root() / "victim";
  std::filesystem::create_directories(temp);
  std::filesystem::create_directories(victim);
  std::filesystem::permissions(victim, std::filesystem::perms(0755));
  for (int thread = 1; thread <= 32; ++thread) {
    std::filesystem::create_directory_symlink(
        victim, temp / ("vx-report-" + std::to_string(::getpid()) + "-" + std::to_string(thread)));
  }
  const char* old_tmpdir = std::getenv("TMPDIR");
  const std::string saved = old_tmpdir != nullptr ? old_tmpdir : "";
  ::setenv("TMPDIR", temp.c_str(), 1);
  ui_.Start(BugReport);
  DriverWindow w = ui_.WaitWindow("Bug Reporting");
  ui_.AnswerMessage(BUTTON_YES);
  w.Control("Include Full Database").Tick();
  w.Control("&Send").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  if (old_tmpdir != nullptr) {
    ::setenv("TMPDIR", saved.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }

  const auto mails = server_.Mails(1);
  ASSERT_EQ(mails.size(), 1U);
  EXPECT_EQ(mails[0].AttachmentName(0), "VX97.TPS");
  EXPECT_TRUE(std::filesystem::is_empty(victim));
  EXPECT_EQ(std::filesystem::status(victim).permissions(), std::filesystem::perms(0755));
  std::size_t left = 0;
  for (const auto& entry : std::filesystem::directory_iterator(temp))
    left += entry.is_symlink() ? 0 : 1;
  EXPECT_EQ(left, 0U) << "the copy's folder is removed once the mail is sent";
}

// Without a mail host the report says what is missing and where it is set, in the Options
// window that File > Options opens, and keeps the report as typed until Send works.
TEST_F(MailWindowsTest, ABugReportWithoutAMailHostSaysWhereToSetItAndStaysAsTyped) {
  const std::string host = EMAIL_HOST.str();
  EMAIL_HOST = "";
  ui_.Start(BugReport);
  DriverWindow w = ui_.WaitWindow("Bug Reporting");
  w.Control("Enter your bug report or comments here:").Type("It crashed.");
  w.Control("&Send").Press();
  const SeenRequest box = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.caption, "Email Not Set Up");
  EXPECT_EQ(box.text,
            "The bug report cannot be sent: the SMTP mail host is not set up.\n\nEnter it in "
            "File > Options, on the Email tab, then press Send here again.");
  ASSERT_TRUE(w.Open());
  EXPECT_EQ(w.Control("Enter your bug report or comments here:").Value(), "It crashed.");
  EMAIL_HOST = host;
  w.Control("&Send").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  EXPECT_EQ(server_.Mails(1).size(), 1U);
}

TEST_F(MailWindowsTest, AFailedBugReportStaysOpenWithTheCommentAndSaysWhy) {
  EMAIL_HOST = test::ClosedPortHost();
  ui_.Start(BugReport);
  DriverWindow w = ui_.WaitWindow("Bug Reporting");
  EXPECT_EQ(w.Control("Sent to:").Value(), kDefaultSupportAddress);
  ui_.AnswerMessage(BUTTON_NO);
  w.Control("Include Full Database").Tick();
  EXPECT_EQ(w.Control("Include Full Database").Value(), "0") << "declined at the warning";
  w.Control("Include Log File").Tick();  // there is none: the report says so and goes without
  w.Control("Enter your bug report or comments here:").Type("It crashed.");
  w.Control("&Send").Press();
  const SeenRequest box = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.text, "The bug report was not sent.\n\nFailed to connect. Mail Server not found!");
  EXPECT_TRUE(w.Open());
  EXPECT_EQ(w.Control("Enter your bug report or comments here:").Value(), "It crashed.");
  w.Control("Cl&ose").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
}

}  // namespace
}  // namespace vx
