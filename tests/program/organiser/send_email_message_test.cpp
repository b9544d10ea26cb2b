// Sending stored messages on the real tables to servers on 127.0.0.1: a plain mail from a
// script step and from the form, a refused one, the settings checks, news and mass mailings.
#include "program/organiser/send_email_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "program/organiser/send_mail_class.h"
#include "program/script_engine/script_variables.h"
#include "program/shell_fixture.h"
#include "support/local_mail_servers.h"
#include "support/test_driver.h"

namespace vx {
namespace {

using test::LocalSmtpServer;

std::string Variable(std::string_view name) {
  for (const VARQ_RECORD& e : VARQ) {
    if (e.NAME == name) return e.STRINGVALUE.str();
  }
  return "<none>";
}

class SendEmailMessageTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    VARQ.Free();
    EMAIL_HOST = "";
    EMAIL_SENDER = "ann@sender.test";
    EMAIL_SENDERNAME = "Ann Lee";
    EMAIL_ORGANIZATION = "";
    NEWS_HOST = "";
    NEWS_SENDER = "ann@sender.test";
    NEWS_SENDERNAME = "Ann Lee";
    NEWS_USER = "";
    NEWS_PASSWORD = "";
    PRODUCTNAME = "Varnodex";
  }
  void TearDown() override {
    VARQ.Free();
    ShellTest::TearDown();
  }

  // Stores a message (id 1 unless set) on this thread.
  static void Store(MESSAGES_RECORD message) {
    ASSERT_EQ(ACCESS_MESSAGES->Open(), 0);
    if (message.EmailID == 0) message.EmailID = 1;
    M_ = message;
    ASSERT_EQ(ACCESS_MESSAGES->Insert(), 0);
    ACCESS_MESSAGES->Close();
  }
  static MESSAGES_RECORD Stored(std::int32_t id = 1) {
    ACCESS_MESSAGES->Open();
    M_ = MESSAGES_RECORD{};
    M_.EmailID = id;
    EXPECT_EQ(ACCESS_MESSAGES->Fetch(M__KEYEMAILID), 0);
    ACCESS_MESSAGES->Close();
    return M_;
  }
  // SendEmailMessage on a runtime thread, as the script runner calls it, answering its boxes.
  std::int32_t Send(std::int32_t id, std::uint8_t in_buffer, std::uint8_t reload,
                    const MESSAGES_RECORD* buffer = nullptr) {
    std::int32_t result = -1;
    TestDriver ui;
    ui.AnswerMessage(BUTTON_OK);
    ui.Start([&] {
      if (buffer != nullptr) M_ = *buffer;
      result = SendEmailMessage(id, in_buffer, reload);
    });
    ui.Finish();
    boxes_.clear();
    for (const SeenRequest& r : ui.Messages()) boxes_.push_back(r.caption + ": " + r.text);
    return result;
  }
  const std::vector<std::string>& Boxes() const { return boxes_; }
  std::vector<std::string> boxes_;
};

MESSAGES_RECORD Mail(const char* to, const char* subject = "Hello") {
  MESSAGES_RECORD m;
  m.MailType = "Email";
  m.EmailTo = to;
  m.Subject = subject;
  m.Message = "Body";
  return m;
}

TEST_F(SendEmailMessageTest, AScriptStepSendsTheStoredMessageWithItsVariablesAndStampsTheDate) {
  LocalSmtpServer server;
  EMAIL_HOST = server.host();
  std::ofstream("notes.txt") << "attached notes";
  SetScriptVariable("Q4", "Who");
  MESSAGES_RECORD m = Mail("bob@to.test; carl@to.test", "Report for [WHO] [[draft]");
  m.EmailToName = "";
  m.CC = "cc@cc.test";
  m.BCC = "hidden@bcc.test, hidden2@bcc.test";
  m.Attachment = "notes.txt";
  m.Message = "Total for [WHO]:\r\n.\r\nend";
  Store(m);

  EXPECT_EQ(Send(1, 0, 1), 0);
  const auto mails = server.Mails(1);
  ASSERT_EQ(mails.size(), 1U);
  auto to = mails[0].recipients;
  std::sort(to.begin(), to.end());
  EXPECT_EQ(to, (std::vector<std::string>{"bob@to.test", "carl@to.test", "cc@cc.test",
                                          "hidden2@bcc.test", "hidden@bcc.test"}));
  EXPECT_EQ(mails[0].sender, "ann@sender.test");
  EXPECT_EQ(mails[0].Header("from"), "Ann Lee <ann@sender.test>");
  EXPECT_EQ(mails[0].Header("subject"), "Report for Q4 [draft]");
  std::string body = mails[0].Body();
  body.erase(std::remove(body.begin(), body.end(), '\r'), body.end());
  while (!body.empty() && body.back() == '\n') body.pop_back();
  EXPECT_EQ(body, "Total for Q4:\n.\nend");
  ASSERT_EQ(mails[0].AttachmentCount(), 1);
  EXPECT_EQ(mails[0].AttachmentData(0), "attached notes");

  EXPECT_EQ(Stored().LastDateSent, TODAY());
  EXPECT_EQ(Variable("MAIL"), "Sent");
  EXPECT_EQ(Variable("MAILERROR"), "None");
  EXPECT_EQ(Variable("EMAILHOST"), server.host());
  EXPECT_EQ(Variable("EMAILSENDERNAME"), "Ann Lee");
  EXPECT_EQ(Variable("EMAILRETURNPATH"), "ann@sender.test");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SendEmailMessageTest, FromTheFormTheBufferIsSentAndTheDateIsNotWritten) {
  LocalSmtpServer server;
  EMAIL_HOST = server.host();
  Store(Mail("bob@to.test"));
  MESSAGES_RECORD on_screen = Mail("carl@to.test", "Edited on screen");
  on_screen.EmailID = 1;
  EXPECT_EQ(Send(0, 1, 0, &on_screen), 0);
  const auto mails = server.Mails(1);
  ASSERT_EQ(mails.size(), 1U);
  EXPECT_EQ(mails[0].recipients, std::vector<std::string>{"carl@to.test"});
  EXPECT_EQ(Stored().LastDateSent, 0);
}

// The sender's name goes into FROM in double quotes before the address, and the mail's From
// line keeps them; a name without an address stands alone, an address without a name bare.
TEST_F(SendEmailMessageTest, TheSendersNameIsQuotedBeforeTheAddress) {
  struct Case {
    const char* name;
    const char* sender;
    const char* from;
  };
  for (const Case& c :
       {Case{"Ann Lee", "ann@sender.test", "\"Ann Lee\" <ann@sender.test>"},
        Case{"Lee, Ann", "ann@sender.test", "\"Lee, Ann\" <ann@sender.test>"},
        Case{"Ann", "ann@sender.test", "\"Ann\" <ann@sender.test>"},
        Case{"", "ann@sender.test", "ann@sender.test"}, Case{"Ann Lee", "", "Ann Lee"}}) {
    EMAIL_SENDERNAME = c.name;
    EMAIL_SENDER = c.sender;
    SENDMAILCLASS mail;
    FillMailSender(mail, "Varnodex", false);
    EXPECT_EQ(mail.FROM, c.from) << c.name << " / " << c.sender;
  }

  LocalSmtpServer server;
  EMAIL_HOST = server.host();
  EMAIL_SENDERNAME = "Ann";
  EMAIL_SENDER = "ann@sender.test";
  Store(Mail("bob@to.test"));
  EXPECT_EQ(Send(1, 0, 1), 0);
  const auto mails = server.Mails(1);
  ASSERT_EQ(mails.size(), 1U);
  EXPECT_NE(mails[0].raw.find("\r\nFrom: \"Ann\" <ann@sender.test>\r\n"), std::string::npos)
      << mails[0].raw;
}

TEST_F(SendEmailMessageTest, ARefusedMailIsReportedInTheVariablesAndNotStamped) {
  LocalSmtpServer server;
  EMAIL_HOST = server.host();
  Store(Mail("reject@to.test"));
  EXPECT_EQ(Send(1, 0, 1), 9);
  EXPECT_EQ(Variable("MAIL"), "Error");
  EXPECT_EQ(Variable("MAILERROR"), "Mail Server Error:\r550 5.1.1 No such mailbox here");
  EXPECT_EQ(Stored().LastDateSent, 0);
  EXPECT_TRUE(Boxes().empty()) << "the caller decides what to show";
}

TEST_F(SendEmailMessageTest, IncompleteSettingsAndMissingRecipientsAreRefused) {
  LocalSmtpServer server;
  const std::string closed = test::ClosedPortHost();
  const std::string mail_box =
      "Error!: Email not setup.  Select File > Options, Email tab, and fill in the required "
      "information.";
  const std::string news_box =
      "Error!: Email (News) not setup. Select File > Options, Email tab, and fill in the required "
      "information.";
  struct Case {
    const char* what;
    const char* type;
    const char* to;
    std::string email_host, email_sender, news_host;
    std::int32_t id;
    std::int32_t result;
    std::string box;  // empty: none
  } cases[] = {
      {"no mail server", "Email", "bob@to.test", "", "ann@sender.test", server.host(), 1, 1,
       mail_box},
      {"no mail sender", "Email", "bob@to.test", server.host(), "", server.host(), 1, 1, mail_box},
      {"no news server", "News", "alt.test", server.host(), "ann@sender.test", "", 1, 1, news_box},
      {"news without a mail server", "News", "alt.test", "", "", closed, 1, 6, ""},
      {"mail without a news server", "Email", "bob@to.test", server.host(), "ann@sender.test", "",
       1, 0, ""},
      {"To is n/a", "Email", "N/a", server.host(), "ann@sender.test", "", 1, 15, ""},
      {"no To", "Email", "", server.host(), "ann@sender.test", "", 1, 15, ""},
      {"no such message", "Email", "bob@to.test", server.host(), "ann@sender.test", "", 2, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ACCESS_MESSAGES->Open();
    M_.EmailID = 1;
    if (ACCESS_MESSAGES->TryFetch(M__KEYEMAILID) == 0) ACCESS_MESSAGES->Delete();
    ACCESS_MESSAGES->Close();
    MESSAGES_RECORD m = Mail(c.to);
    m.MailType = c.type;
    Store(m);
    EMAIL_HOST = c.email_host;
    EMAIL_SENDER = c.email_sender;
    NEWS_HOST = c.news_host;
    EXPECT_EQ(Send(c.id, 0, 1), c.result);
    const auto boxes = Boxes();
    if (c.box.empty()) {
      EXPECT_TRUE(boxes.empty()) << boxes.front();
    } else {
      EXPECT_EQ(boxes, std::vector<std::string>{c.box});
    }
  }
}

TEST_F(SendEmailMessageTest, ANewsMessageIsPostedToItsGroupsWithDotsStuffed) {
  test::NewsResponder responder("240 article posted ok", "reader:pw");
  NEWS_HOST = responder.host();
  NEWS_USER = "reader";
  NEWS_PASSWORD = "pw";
  MESSAGES_RECORD m = Mail("alt.test, comp.misc", "News of [[the] day");
  m.MailType = "News";
  m.Message = "first\r\n.\r\n.hidden\r\nlast";
  Store(m);
  EXPECT_EQ(Send(1, 0, 1), 0);
  const auto lines = responder.Lines();
  const auto has = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_TRUE(has("AUTHINFO USER reader"));
  EXPECT_TRUE(has("POST"));
  EXPECT_TRUE(has("Newsgroups: alt.test,comp.misc"));
  EXPECT_TRUE(has("Subject: News of [the] day"));
  EXPECT_TRUE(has("From: Ann Lee <ann@sender.test>"));
  EXPECT_TRUE(has(".."));
  EXPECT_TRUE(has("..hidden"));
  EXPECT_TRUE(has("QUIT"));
  EXPECT_EQ(Stored().LastDateSent, TODAY());
  EXPECT_EQ(Variable("MAIL"), "Sent");
}

TEST_F(SendEmailMessageTest, ARefusedPostGivesTheServersReply) {
  test::NewsResponder responder("441 posting failed");
  NEWS_HOST = responder.host();
  MESSAGES_RECORD m = Mail("alt.test");
  m.MailType = "News";
  Store(m);
  EXPECT_EQ(Send(1, 0, 1), 9);
  EXPECT_EQ(Variable("MAILERROR"), "Mail Server Error:\r441 posting failed");
}

TEST_F(SendEmailMessageTest, AMassMailingSendsOneMailPerContactOfTheCategory) {
  LocalSmtpServer server;
  EMAIL_HOST = server.host();
  ASSERT_EQ(ACCESS_CONTACT->Open(), 0);
  struct Person {
    const char* first;
    const char* last;
    const char* email;
    const char* category;
  } people[] = {{"Dora", "Fox", "dora@f.test", "Friends"},
                {"Eli", "Gray", "eli@g.test", "Friends"},
                {"No", "Address", "", "Friends"},
                {"Wes", "Work", "wes@w.test", "Work"}};
  std::int32_t id = 0;
  for (const Person& p : people) {
    C_ = CONTACT_RECORD{};
    C_.ClientID = ++id;
    C_.FirstName = p.first;
    C_.LastName = p.last;
    C_.Email = p.email;
    C_.ContactCategory = p.category;
    ASSERT_EQ(ACCESS_CONTACT->Insert(), 0);
  }
  ACCESS_CONTACT->Close();
  MESSAGES_RECORD m = Mail("");
  m.MailType = "Mass Mailing";
  m.EmailToGroup = "Friends";
  Store(m);

  EXPECT_EQ(Send(1, 0, 1), 0);
  const auto mails = server.Mails(2);
  ASSERT_EQ(mails.size(), 2U);
  std::vector<std::string> to;
  for (const auto& mail : mails) {
    ASSERT_EQ(mail.recipients.size(), 1U) << "nobody sees the others";
    to.push_back(*mail.Header("to"));
  }
  std::sort(to.begin(), to.end());
  EXPECT_EQ(to, (std::vector<std::string>{"Dora Fox <dora@f.test>", "Eli Gray <eli@g.test>"}));
  EXPECT_EQ(Stored().LastDateSent, TODAY());

  Store([] {
    MESSAGES_RECORD empty = Mail("");
    empty.EmailID = 2;
    empty.MailType = "Mass Mailing";
    empty.EmailToGroup = "Nobody";
    return empty;
  }());
  EXPECT_EQ(Send(2, 0, 1), 15);
}

}  // namespace
}  // namespace vx
