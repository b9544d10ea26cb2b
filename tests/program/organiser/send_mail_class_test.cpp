// SENDMAILCLASS against a real SMTP server on 127.0.0.1: what arrives (envelope, headers,
// body, attachment, encoded words), the result codes of refusals, dead and silent servers,
// header injection, log-in and its debug file, and cancelling.
#include "program/organiser/send_mail_class.h"
#include "program/common/program_services.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <optional>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "fakes/fake_mail_transport.h"
#include "program/organiser/mail_message.h"
#include "runtime/threads.h"
#include "support/local_mail_servers.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using std::chrono::milliseconds;
using test::LocalSmtpServer;

// A mail object as the senders fill it, aimed at `host`, with short waits.
void Prepare(SENDMAILCLASS& mail, const std::string& host) {
  mail.INIT();
  mail.SETSERVERMODE(1);
  mail.SETMAILHOST(host);
  mail.SETFROM("\"Ann Lee\" <ann@sender.test>");
  mail.SETRETURNPATH("ann@sender.test");
  mail.SETMAILER("Varnodex");
  mail.CONNECTTIMEOUT = milliseconds(1500);
  mail.TOTALTIMEOUT = milliseconds(3000);
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

TEST(SendMailClassTest, AMailArrivesWithItsEnvelopeHeadersBodyAndAttachment) {
  LocalSmtpServer server;
  ASSERT_NE(server.port(), 0);
  test::TempFolder folder("vx mail");
  const std::string attached("\x00\x01\xff\r\n.\r\nbinary\x80", 16);
  std::ofstream(folder / "report.bin", std::ios::binary) << attached;

  SENDMAILCLASS mail;
  Prepare(mail, server.host());
  mail.SETORGANIZATION("Lee & Partners");
  mail.SETSUBJECT(
      "Grüße aus Köln – Bericht für die Woche mit einem langen Betreff, der umbrochen wird");
  mail.ADDTO("bob@to.test; Carl Dee <carl@to.test>", "");
  mail.ADDCC("cc1@cc.test, cc2@cc.test",
             "cc1@cc.test, cc2@cc.test");  // as the message senders pass it
  mail.ADDBCC("hidden@bcc.test");
  mail.ADDATTACHMENT((folder / "report.bin").string(), 8);
  mail.SETMESSAGETEXT("Line one\r\n.\r\n..two dots\nUnicode: naïve café\r\nlast", 6);
  ASSERT_EQ(mail.SEND(), 0) << mail.ERRORTEXT(0);

  const auto mails = server.Mails(1);
  ASSERT_EQ(mails.size(), 1U);
  const auto& got = mails[0];
  EXPECT_EQ(got.sender, "ann@sender.test");
  EXPECT_EQ(Sorted(got.recipients), Sorted({"bob@to.test", "carl@to.test", "cc1@cc.test",
                                            "cc2@cc.test", "hidden@bcc.test"}));
  EXPECT_EQ(got.Header("subject"),
            "Grüße aus Köln – Bericht für die Woche mit einem langen Betreff, der umbrochen wird");
  EXPECT_EQ(got.Header("from"), "Ann Lee <ann@sender.test>");
  EXPECT_EQ(got.Header("to"), "bob@to.test, Carl Dee <carl@to.test>");
  EXPECT_EQ(got.Header("cc"), "cc1@cc.test, cc2@cc.test");
  EXPECT_EQ(got.Header("bcc"), std::nullopt);
  EXPECT_EQ(got.raw.find("hidden@bcc.test"), std::string::npos)
      << "a Bcc address is only in the envelope";
  EXPECT_NE(got.raw.find("Organization: Lee & Partners\r\n"), std::string::npos);
  EXPECT_NE(got.raw.find("X-Mailer: Varnodex\r\n"), std::string::npos);
  EXPECT_EQ(got.raw.rfind("Date: ", 0), 0U);
  // A line holding only "." arrives as it was written: stuffed once on the wire, unstuffed once.
  std::string body = got.Body();
  body.erase(std::remove(body.begin(), body.end(), '\r'), body.end());
  while (!body.empty() && body.back() == '\n') body.pop_back();
  EXPECT_EQ(body, "Line one\n.\n..two dots\nUnicode: naïve café\nlast");
  ASSERT_EQ(got.AttachmentCount(), 1);
  EXPECT_EQ(got.AttachmentName(0), "report.bin");
  EXPECT_EQ(got.AttachmentData(0), attached);
  EXPECT_EQ(mail.BYTESPROCESSED, 0U);
  EXPECT_EQ(mail.BYTESTOTAL, 0U);
  mail.KILL();
}

TEST(SendMailClassTest, CarriageReturnsAndLineFeedsNeverStartAHeaderOrACommand) {
  LocalSmtpServer server;
  SENDMAILCLASS mail;
  Prepare(mail, server.host());
  mail.SETFROM("\"Ann\r\nBcc: spy@evil.test\" <ann@sender.test>");
  mail.SETORGANIZATION("Org\nX-Injected: yes");
  mail.SETSUBJECT("Hello\r\nBcc: spy@evil.test\r\n\r\nfake body");
  mail.ADDTO("bob@to.test", "Bob\r\nCc: spy@evil.test");
  mail.SETMESSAGETEXT("body", 6);
  ASSERT_EQ(mail.SEND(), 0);
  const auto got = server.Mails(1).at(0);
  EXPECT_EQ(got.recipients, std::vector<std::string>{"bob@to.test"});
  EXPECT_EQ(got.Header("bcc"), std::nullopt);
  EXPECT_EQ(got.Header("cc"), std::nullopt);
  EXPECT_EQ(got.raw.find("\r\nX-Injected"), std::string::npos);
  EXPECT_EQ(got.Header("subject"), "Hello  Bcc: spy@evil.test    fake body");

  // An address that would smuggle a command into the conversation is refused whole.
  SENDMAILCLASS smuggler;
  Prepare(smuggler, server.host());
  smuggler.ADDTO("bob@to.test\r\nRCPT TO:<spy@evil.test>", "");
  EXPECT_EQ(smuggler.SEND(), 1);
  EXPECT_EQ(smuggler.ERRORTEXT(1), "Bad arguments from form");
  EXPECT_EQ(server.Count(), 1U);
}

TEST(SendMailClassTest, WithoutAToAddressNothingIsSent) {
  // The host is a closed port: a result of 15 rather than 6 shows no connection was tried.
  SENDMAILCLASS mail;
  Prepare(mail, test::ClosedPortHost());
  mail.ADDTO("   ", "Nobody");
  mail.ADDCC("cc@cc.test", "");
  mail.ADDBCC("bcc@bcc.test");
  EXPECT_TRUE(mail.TOADR.empty()) << "a blank address is not added";
  ASSERT_EQ(mail.BCCADR.size(), 1U);
  EXPECT_EQ(mail.BCCADR[0].NAME, "");
  EXPECT_EQ(mail.SEND(), 15);
  EXPECT_EQ(mail.ERRORTEXT(15), "No recipiens specified");
  mail.ADDTO(" , ;", "");  // only separators: still nobody to send to
  EXPECT_EQ(mail.SEND(), 15);
}

TEST(SendMailClassTest, AFullAddressFieldReachesEveryAddressWhole) {
  // 250 characters of addresses: the last one lies past the 200 a header text holds.
  LocalSmtpServer server;
  std::string field;
  std::vector<std::string> expected;
  for (int i = 0; field.size() < 230; ++i) {
    const std::string address = "person" + std::to_string(i) + "@example-domain.test";
    field += (field.empty() ? "" : ", ") + address;
    expected.push_back(address);
  }
  SENDMAILCLASS mail;
  Prepare(mail, server.host());
  mail.ADDTO(field, "");
  ASSERT_EQ(mail.SEND(), 0);
  EXPECT_EQ(Sorted(server.Mails(1).at(0).recipients), Sorted(expected));
}

TEST(SendMailClassTest, ARefusedRecipientGivesTheServersReply) {
  LocalSmtpServer server;
  SENDMAILCLASS mail;
  Prepare(mail, server.host());
  mail.ADDTO("bob@to.test, reject-me@to.test", "");
  mail.SETMESSAGETEXT("body", 6);
  ASSERT_EQ(mail.SEND(), 9);
  EXPECT_EQ(mail.SERVERERRORMESSAGE, "550 5.1.1 No such mailbox here");
  EXPECT_EQ(mail.ERRORTEXT(9), "Mail Server Error:\r550 5.1.1 No such mailbox here");
  EXPECT_EQ(server.Count(), 0U) << "nobody gets a mail that could not reach everyone";
}

TEST(SendMailClassTest, DeadAndSilentServersGiveTheirCodesWithinTheTimeouts) {
  test::SilentServer silent;
  struct Case {
    const char* what;
    std::string host;
    std::int32_t code;
  } cases[] = {
      {"closed port", test::ClosedPortHost(), 6},
      {"silent server", silent.host(), 8},
  };
  for (const Case& c : cases) {
    SENDMAILCLASS mail;
    Prepare(mail, c.host);
    mail.TOTALTIMEOUT = milliseconds(1200);
    mail.ADDTO("bob@to.test", "");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(mail.SEND(), c.code) << c.what;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4)) << c.what;
  }
}

TEST(SendMailClassTest, OtherRuntimeThreadsGoOnWhileAMailWaitsForTheServer) {
  test::SilentServer silent;
  std::atomic<bool> sent{false};
  bool ran_meanwhile = false;
  RunProgram([&] {
    START([&] {
      SENDMAILCLASS mail;
      Prepare(mail, silent.host());
      mail.TOTALTIMEOUT = milliseconds(1000);
      mail.ADDTO("bob@to.test", "");
      mail.SEND();
      sent = true;
    });
    YIELD();  // the sender runs until it gives the runtime lock up
    ran_meanwhile = !sent;
  });
  EXPECT_TRUE(ran_meanwhile) << "SEND kept the runtime lock while it waited";
}

TEST(SendMailClassTest, CancelFromAnotherThreadEndsTheWait) {
  test::SilentServer silent;
  SENDMAILCLASS mail;
  Prepare(mail, silent.host());
  mail.TOTALTIMEOUT = milliseconds(20000);
  mail.ADDTO("bob@to.test", "");
  std::thread canceller([&] {
    std::this_thread::sleep_for(milliseconds(300));
    mail.USERCANCEL = 1;
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(mail.SEND(), 14);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  canceller.join();
  EXPECT_EQ(mail.USERCANCEL, 0) << "SEND leaves the flag cleared";
  EXPECT_EQ(mail.ERRORTEXT(14), "User Cancel");
}

TEST(SendMailClassTest, LogInIsUsedAndNeverWrittenToTheDebugFile) {
  LocalSmtpServer server("mailer:s3cret-pw");
  test::TempFolder folder("vx mail log");
  const std::string log = (folder / "inmail.log").string();
  SENDMAILCLASS mail;
  Prepare(mail, server.host());
  mail.SETDEBUGFILE(log);
  mail.USERNAME = "mailer";
  mail.USERPASSWORD = "s3cret-pw";
  mail.ADDTO("bob@to.test", "");
  mail.SETMESSAGETEXT("body", 6);
  ASSERT_EQ(mail.SEND(), 0);
  EXPECT_EQ(server.Count(), 1U);

  SENDMAILCLASS wrong;
  Prepare(wrong, server.host());
  wrong.SETDEBUGFILE(log);
  wrong.USERNAME = "mailer";
  wrong.USERPASSWORD = "guess";
  wrong.ADDTO("bob@to.test", "");
  EXPECT_EQ(wrong.SEND(), 9);
  EXPECT_EQ(wrong.SERVERERRORMESSAGE.substr(0, 3), "535");

  const std::string text = test::ReadWholeFile(log);
  EXPECT_NE(text.find("MAIL FROM:<ann@sender.test>"), std::string::npos) << text;
  EXPECT_EQ(text.find("> AUTH"), std::string::npos) << text;
  EXPECT_NE(text.find("< 235 "), std::string::npos) << "the server's answer to the log-in is kept";
  for (const std::string& secret :
       std::vector<std::string>{"s3cret-pw", "guess", Base64("s3cret-pw"),
                                Base64(std::string("\0mailer\0s3cret-pw", 17))}) {
    EXPECT_EQ(text.find(secret), std::string::npos) << secret;
  }
  struct stat info {};
  ASSERT_EQ(::stat(log.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600);
}

TEST(SendMailClassTest, OfferedStartTlsIsUsedAndAnUnverifiedServerGetsNoMail) {
  // The server takes mail only over TLS: a refusal (9) would show the client went on in the
  // clear; its self-signed certificate must then fail the check, so nothing is sent (7).
  LocalSmtpServer server({}, true);
  ASSERT_NE(server.port(), 0);
  test::TempFolder folder("vx mail tls");
  const std::string log = (folder / "inmail.log").string();
  SENDMAILCLASS mail;
  Prepare(mail, server.host());
  mail.SETDEBUGFILE(log);
  mail.ADDTO("bob@to.test", "");
  mail.SETMESSAGETEXT("private", 6);
  EXPECT_EQ(mail.SEND(), 7);
  EXPECT_NE(test::ReadWholeFile(log).find("> STARTTLS"), std::string::npos);
  EXPECT_EQ(server.Count(), 0U);
}

TEST(SendMailClassTest, AFromThatIsABareNameIsShownWithTheSendersAddress) {
  struct Case {
    const char* from;
    const char* return_path;
    const char* envelope;
    const char* header;
  } cases[] = {
      {"Ann Lee", "ann@sender.test", "ann@sender.test", "Ann Lee <ann@sender.test>"},
      {"\"Lee, Ann\" <ann@sender.test>", "", "ann@sender.test", "\"Lee, Ann\" <ann@sender.test>"},
      {"ann@sender.test", "", "ann@sender.test", "ann@sender.test"},
      {"", "ann@sender.test", "ann@sender.test", "ann@sender.test"},
      {"Ann Lee", "", "", ""},
  };
  for (const Case& c : cases) {
    const SenderParts parts = MailSender(c.from, c.return_path);
    EXPECT_EQ(parts.envelope, c.envelope) << c.from;
    EXPECT_EQ(parts.header, c.header) << c.from;
  }
}

TEST(SendMailClassTest, EveryTransportFailureBecomesACodeOfTheTableWithItsText) {
  using platform::TransferFailure;
  test::FakeMailTransport transport;
  std::optional<ScopedProgramServices> installed(std::in_place, &ProgramServices::mail_transport,
                                                 &transport);
  struct Case {
    TransferFailure failure;
    std::int32_t code;
    const char* text;
  } cases[] = {
      {TransferFailure::None, 0, nullptr},
      {TransferFailure::BadArguments, 1, "Bad arguments from form"},
      {TransferFailure::StartFailed, 3, "Failed to start sockets"},
      {TransferFailure::ResolveFailed, 4, "Failed to resolve host"},
      {TransferFailure::ConnectFailed, 6, "Failed to connect. Mail Server not found!"},
      {TransferFailure::SendFailed, 7, "Failed to send"},
      {TransferFailure::ReceiveFailed, 8, "Failed to receive"},
      {TransferFailure::ServerRefused, 9, "Mail Server Error:\r452 4.3.1 Out of room"},
      {TransferFailure::OutOfMemory, 11, "Out of memory"},
      {TransferFailure::Cancelled, 14, "User Cancel"},
      {TransferFailure::Unknown, 13, "Unknown error"},
  };
  for (const Case& c : cases) {
    transport.outcome = {
        c.failure, c.failure == TransferFailure::ServerRefused ? 452 : 0,
        c.failure == TransferFailure::ServerRefused ? "452 4.3.1 Out of room" : ""};
    SENDMAILCLASS mail;
    Prepare(mail, "mail.example.test");
    mail.ADDTO("bob@to.test, BOB@to.test", "");
    mail.ADDCC("bob@to.test", "");
    const std::int32_t code = mail.SEND();
    EXPECT_EQ(code, c.code) << static_cast<int>(c.failure);
    if (c.text != nullptr) {
      EXPECT_EQ(mail.ERRORTEXT(code), c.text);
    }
  }
  installed.reset();
  EXPECT_EQ(SENDMAILCLASS().ERRORTEXT(1001), "Unknown error");
  // The envelope holds each address once, however often the fields name it.
  ASSERT_FALSE(transport.envelopes.empty());
  EXPECT_EQ(transport.envelopes.back().recipients, std::vector<std::string>{"bob@to.test"});
}

TEST(SendMailClassTest, AnAttachmentThatCannotBeReadStopsTheMail) {
  test::FakeMailTransport transport;
  const ScopedProgramServices installed(&ProgramServices::mail_transport, &transport);
  SENDMAILCLASS mail;
  Prepare(mail, "mail.example.test");
  mail.ADDTO("bob@to.test", "");
  mail.ADDATTACHMENT("/no/such/folder/report.pdf", 8);
  EXPECT_EQ(mail.SEND(), 2);
  EXPECT_EQ(mail.ERRORTEXT(2), "Unable to open temporary mailfile for read");
  EXPECT_TRUE(transport.messages.empty()) << "nothing goes without the file the user attached";
}

TEST(MailMessageTest, AddressFieldsSplitOnCommasAndSemicolonsOutsideQuotesAndBrackets) {
  struct Case {
    const char* field;
    std::vector<std::string> emails;
    std::vector<std::string> names;
  } cases[] = {
      {"a@x.test", {"a@x.test"}, {""}},
      {"a@x.test, b@x.test;c@x.test", {"a@x.test", "b@x.test", "c@x.test"}, {"", "", ""}},
      {"\"Lee, Ann\" <ann@x.test>; Bob <bob@x.test>",
       {"ann@x.test", "bob@x.test"},
       {"Lee, Ann", "Bob"}},
      {" ; a@x.test ;; ", {"a@x.test"}, {""}},
      {"", {}, {}},
  };
  for (const Case& c : cases) {
    const auto got = SplitAddressList(c.field);
    std::vector<std::string> emails, names;
    for (const auto& a : got) {
      emails.push_back(a.email);
      names.push_back(a.name);
    }
    EXPECT_EQ(emails, c.emails) << c.field;
    EXPECT_EQ(names, c.names) << c.field;
  }
}

}  // namespace
}  // namespace vx
