// The message list and form driven as a user would on the real tables: a message queued from
// the list and sent by Main's tick to a server on 127.0.0.1, the form's layout by mail type and
// the recipients it fills, "Send Now", a message written to a contact, and the list started to
// select for the step editor.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/request_globals.h"
#include "program/common/config_store.h"
#include "program/common/main_procedures.h"
#include "program/common/program_registry.h"
#include "program/common/program_services.h"
#include "program/organiser/message_windows.h"
#include "program/organiser/new_message_to.h"
#include "program/organiser/send_email_message.h"
#include "program/script_engine/script_queue.h"
#include "program/shell/main_frame.h"
#include "program/shell/register_program_windows.h"
#include "program/windows/list_window.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "support/local_mail_servers.h"
#include "tests/datadll/fake_hot_key_grabber.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

using test::LocalSmtpServer;

// The window's list (it has one).
DriverControl ListOf(const DriverWindow& w) {
  for (int n = 1; n < 100; ++n) {
    DriverControl c = w.ControlNumber(n);
    if (c.Kind() == ControlType::List) return c;
  }
  throw std::logic_error("no list");
}

MESSAGES_RECORD Mail(std::int32_t id, const char* to, const char* subject) {
  MESSAGES_RECORD m;
  m.EmailID = id;
  m.MailType = "Email";
  m.EmailTo = to;
  m.Subject = subject;
  m.Message = "Body of " + std::string(subject);
  return m;
}

class MessageWindowsTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    EMAIL_HOST = server_.host();
    EMAIL_SENDER = "ann@sender.test";
    EMAIL_SENDERNAME = "Ann Lee";
    PRODUCTNAME = "Varnodex";
    ScriptQueue.Free();
    MAILPROGRESSTEXT = "";
  }
  void TearDown() override {
    ScriptQueue.Free();
    for (const char* name : {"BrowseContacts", "SelectContactCategories", "UpdateMessages"}) {
      RegisterMainProcedure(name, {});
    }
    WindowTest::TearDown();
  }

  static void Store(const MESSAGES_RECORD& message) {
    ASSERT_EQ(ACCESS_MESSAGES->Open(), 0);
    M_ = message;
    ASSERT_EQ(ACCESS_MESSAGES->Insert(), 0);
    ACCESS_MESSAGES->Close();
  }
  static std::vector<MESSAGES_RECORD> StoredMessages() {
    std::vector<MESSAGES_RECORD> out;
    EXPECT_EQ(ACCESS_MESSAGES->Open(), 0);
    ACCESS_MESSAGES->file().Set(M__KEYEMAILID);
    while (ACCESS_MESSAGES->file().Next() == 0) out.push_back(M_);
    ACCESS_MESSAGES->Close();
    return out;
  }
  static void StoreContact(std::int32_t id, const char* first, const char* last,
                           const char* email) {
    ASSERT_EQ(ACCESS_CONTACT->Open(), 0);
    C_ = CONTACT_RECORD{};
    C_.ClientID = id;
    C_.FirstName = first;
    C_.LastName = last;
    C_.Email = email;
    ASSERT_EQ(ACCESS_CONTACT->Insert(), 0);
    ACCESS_CONTACT->Close();
  }

  // The form started as the list's New starts it, on a thread of its own.
  DriverWindow NewMessage() {
    ui_.Start([] {
      ACCESS_MESSAGES->Open();
      ACCESS_MESSAGES->PrimeRecord();
      SetCurrentRequest(InsertRecord);
      UpdateMessages();
      ACCESS_MESSAGES->Close();
    });
    return ui_.WaitWindow("New E-mail Message");
  }

  LocalSmtpServer server_;
};

// Email shows To with its contact button, Name, CC and BCC; News asks for the newsgroup and
// offers the last one saved, which stays when the type goes back to Email; a mass mailing shows
// the category, and a category with no address writes "N/A" into To, which lets OK save it.
TEST_F(MessageWindowsTest, TheFormShowsTheRowsOfItsMailTypeAndOffersTheLastRecipients) {
  SetConfigValue("LastNewsgroup", "comp.test");
  SetConfigValue("LastMassMailing", "Friends");
  DriverWindow w = NewMessage();
  DriverControl to = w.Control("*To:");
  const DriverControl to_button = w.ControlNumber(to.Number() + 1);
  EXPECT_EQ(w.Control("Mail Type:").Value(), "Email");
  EXPECT_FALSE(to.Hidden());
  EXPECT_FALSE(to_button.Hidden());
  EXPECT_TRUE(w.Control("Cate&gory:").Hidden());
  for (const char* row : {"Name:", "CC:", "BCC:"}) EXPECT_FALSE(w.Control(row).Hidden()) << row;

  w.Control("Mail Type:").Choose("News");
  EXPECT_EQ(w.ControlNumber(to.Number() - 2).Text(), "*Newsgroup:");
  EXPECT_FALSE(to.Hidden());
  EXPECT_TRUE(to_button.Hidden());
  EXPECT_EQ(to.Value(), "comp.test");
  for (const char* row : {"Name:", "CC:", "BCC:", "Cate&gory:"})
    EXPECT_TRUE(w.Control(row).Hidden()) << row;

  w.Control("Mail Type:").Choose("Email");
  EXPECT_EQ(w.ControlNumber(to.Number() - 2).Text(), "*To:");
  EXPECT_EQ(to.Value(), "comp.test") << "the newsgroup stays";
  to.Type("");

  w.Control("Mail Type:").Choose("Mass Mailing");
  EXPECT_TRUE(to.Hidden());
  DriverControl group = w.Control("Cate&gory:");
  EXPECT_FALSE(group.Hidden());
  EXPECT_EQ(group.Value(), "Friends");
  group.Type("Family");
  w.Control("*Subject:").Type("Party");
  w.Control("&OK").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  const auto stored = StoredMessages();
  ASSERT_EQ(stored.size(), 1U);
  EXPECT_EQ(stored[0].MailType.str(), "Mass Mailing");
  EXPECT_EQ(stored[0].EmailTo.str(), "N/A");
  EXPECT_EQ(stored[0].EmailToGroup.str(), "Family");
  EXPECT_EQ(GetConfigValue("LastMassMailing"), "Family");
}

// OK asks for the address and the subject first; a typed address of a contact names the
// message when no name is given yet, an attachment gives an empty subject its file name, and
// the address is kept as the last one.
TEST_F(MessageWindowsTest, TheFormRequiresToAndSubjectAndFillsTheNameAndSubjectItKnows) {
  StoreContact(5, "Bob", "Dee", "bob@to.test");
  StoreContact(6, "Carl", "Eck", "carl@to.test");
  DriverWindow w = NewMessage();
  w.Control("&OK").Press();
  SeenRequest missing = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(missing.caption, "Missing Information");
  EXPECT_EQ(missing.text, "\"To (Email Address)\" must be entered.");

  w.Control("*To:").Type("bob@to.test");
  EXPECT_EQ(w.Control("Name:").Value(), "Bob Dee");
  w.Control("*To:").Type("carl@to.test");
  EXPECT_EQ(w.Control("Name:").Value(), "Bob Dee") << "a name once given stays";
  w.Control("Attachment:").Type("/tmp/reports/week 12.pdf");
  EXPECT_EQ(w.Control("*Subject:").Value(), "week 12.pdf");
  w.Control("Attachment:").Type("/tmp/other.txt");
  EXPECT_EQ(w.Control("*Subject:").Value(), "week 12.pdf") << "a subject once given stays";
  w.Control("&OK").Press();
  ui_.WaitClosed(w);
  ui_.Finish();

  const auto stored = StoredMessages();
  ASSERT_EQ(stored.size(), 1U);
  EXPECT_EQ(stored[0].EmailTo.str(), "carl@to.test");
  EXPECT_EQ(stored[0].EmailToName.str(), "Bob Dee");
  EXPECT_EQ(stored[0].ContactID, 5);
  EXPECT_EQ(GetConfigValue("LastEmail"), "carl@to.test");
}

// "Send Now" sends what the form shows and says so, keeps the form open and stamps nothing;
// a refused mail says it could not be sent.
TEST_F(MessageWindowsTest, SendNowSendsTheMessageOnScreenAndKeepsTheForm) {
  Store(Mail(1, "bob@to.test", "Stored"));
  ui_.Start([] {
    ACCESS_MESSAGES->Open();
    M_.EmailID = 1;
    ACCESS_MESSAGES->Fetch(M__KEYEMAILID);
    SetCurrentRequest(ChangeRecord);
    UpdateMessages();
    ACCESS_MESSAGES->Close();
  });
  DriverWindow w = ui_.WaitWindow("Edit E-mail Message");
  w.Control("*Subject:").Type("Edited on screen");
  w.Control("&Send Now").Press();
  SeenRequest sent = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(sent.caption, "Mail");
  EXPECT_EQ(sent.text, "Mail sent:  bob@to.test");
  const auto mails = server_.Mails(1);
  ASSERT_EQ(mails.size(), 1U);
  EXPECT_EQ(mails[0].Header("subject"), "Edited on screen");

  w.Control("*To:").Type("reject@to.test");
  w.Control("&Send Now").Press();
  SeenRequest refused = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(refused.caption, "Mail Error");
  EXPECT_EQ(refused.text, "Could not send:  reject@to.test");
  EXPECT_TRUE(w.Open());
  w.Control("Cancel").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  EXPECT_EQ(StoredMessages()[0].LastDateSent, 0);
  EXPECT_EQ(StoredMessages()[0].Subject.str(), "Stored");
}

// The contacts' "Email..." opens a new message addressed to the contact, whatever message the
// thread's buffer held; the contact button picks another contact from the contacts list started
// to select, the category button a category from the category picker.
TEST_F(MessageWindowsTest, AMessageToAContactIsAddressedAndThePickersAreAskedToSelect) {
  Store(Mail(1, "old@to.test", "Old"));
  StoreContact(5, "Bob", "Dee", "bob@to.test");
  std::vector<long> requests;
  RegisterMainProcedure("UpdateMessages", [] { UpdateMessages(); });
  RegisterMainProcedure("BrowseContacts", [&] {
    requests.push_back(CurrentRequest());
    C_ = CONTACT_RECORD{};
    C_.ClientID = 9;
    C_.FirstName = "Dora";
    C_.LastName = "Fox";
    C_.Email = "dora@to.test";
    SetCurrentResponse(RequestCompleted);
  });
  RegisterMainProcedure("SelectContactCategories", [&] {
    requests.push_back(CurrentRequest());
    CC.ContactCategory = "Family";
    SetCurrentResponse(RequestCompleted);
  });
  long response = 0;
  ui_.Start([&] {
    ACCESS_MESSAGES->Open();
    M_.EmailID = 1;
    ACCESS_MESSAGES->Fetch(M__KEYEMAILID);  // a message the thread read before
    ACCESS_MESSAGES->Close();
    response = NewMessageTo(5);
  });
  DriverWindow w = ui_.WaitWindow("New E-mail Message");
  EXPECT_EQ(w.Control("*To:").Value(), "bob@to.test");
  EXPECT_EQ(w.Control("Name:").Value(), "Bob Dee");
  EXPECT_EQ(w.Control("*Subject:").Value(), "");
  w.ControlNumber(w.Control("*To:").Number() + 1).Press();
  EXPECT_EQ(w.Control("*To:").Value(), "dora@to.test");
  EXPECT_EQ(w.Control("Name:").Value(), "Dora Fox");
  w.Control("Mail Type:").Choose("Mass Mailing");
  w.Control("Cate&gory:").Type("");
  w.ControlNumber(w.Control("Cate&gory:").Number() + 1).Press();
  EXPECT_EQ(w.Control("Cate&gory:").Value(), "Family");
  EXPECT_EQ(requests, (std::vector<long>{SelectRecord, SelectRecord}));
  w.Control("*Subject:").Type("Hello");
  w.Control("&OK").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  EXPECT_EQ(response, RequestCompleted);
  const auto stored = StoredMessages();
  ASSERT_EQ(stored.size(), 2U);
  EXPECT_EQ(stored[0].Subject.str(), "Old") << "the message read before is left alone";
  EXPECT_EQ(stored[1].ContactID, 9);
  EXPECT_EQ(stored[1].EmailTo.str(), "dora@to.test");
  EXPECT_EQ(stored[1].EmailToGroup.str(), "Family");
}

// Started to select, the list hides "Send E-mail" and its Select leaves the message in the
// step's buffer (and the template step's while the template tools are open).
TEST_F(MessageWindowsTest, PickingAMessageFillsTheStepsMessageAndTitle) {
  Store(Mail(3, "bob@to.test", "Weekly report"));
  Store(Mail(4, "carl@to.test", "Invoice"));
  for (const std::int32_t wizard : {0, 1}) {
    SCOPED_TRACE(wizard);
    SCRIPTING_RECORD step;
    SCRIPTTEMPLATEDETAILS_RECORD template_step;
    bool picked = false;
    TestDriver ui;
    ui.Start([&] {
      GLO_SCRIPTWIZARDMODE = wizard;
      SCR = SCRIPTING_RECORD{};
      VXD = SCRIPTTEMPLATEDETAILS_RECORD{};
      picked = ListWindow::Pick(BrowseMessages);
      step = SCR;
      template_step = VXD;
      GLO_SCRIPTWIZARDMODE = 0;
    });
    DriverWindow w = ui.WaitWindow("E-mail Messages");
    EXPECT_TRUE(w.Control("Send E-&mail").Hidden());
    DriverControl list = ListOf(w);
    ASSERT_EQ(list.Rows(), 2U);
    list.ChooseRow(2);
    w.Control("&Select").Press();
    ui.WaitClosed(w);
    ui.Finish();
    EXPECT_TRUE(picked);
    EXPECT_EQ(step.EmailID, 4);
    EXPECT_EQ(step.WindowTitleToCheckFor.str(), "Invoice - carl@to.test");
    EXPECT_EQ(template_step.EmailID, wizard == 1 ? 4 : 0);
    EXPECT_EQ(template_step.WindowTitleToCheckFor.str(),
              wizard == 1 ? "Invoice - carl@to.test" : "");
  }
}

// Main with its own script step: the list opens from the Lists menu and comes forward on a
// second start; "Send E-mail" queues the highlighted message (nothing on an empty list), and
// Main's next tick sends it and stamps its sent date.
class MessagesOnMainsTickTest : public MessageWindowsTest {
 protected:
  void SetUp() override {
    MessageWindowsTest::SetUp();
    services_.manual_timer = true;
    services_.hot_keys = [this] { return std::make_unique<test::FakeHotKeyGrabber>(grabs_); };
    services_.steps.capture_clipboard = [] {};
    services_.steps.advance_warnings = [] {};
    services_.steps.remove_history = [] { return false; };
    services_.steps.check_next_task = [] {};
    services_.steps.check_clock = [] {};
    ProgramServices services = CurrentProgramServices();
    services.main = &services_;
    services.script_mail = SendEmailMessage;
    installed_.emplace(services);
    ProgramRegistry().INIT(1);
    RegisterProgramWindows();
  }
  void TearDown() override {
    if (ui_.Running()) {
      RunWithRuntimeLock([] { MINIMIZEONCLOSEREQUEST = 0; });
      ui_.WaitWindow(kFrame).Pick({"&File", "E&xit"});
      ui_.Finish();
    }
    installed_.reset();
    ProgramRegistry().KILL();
    RegisterMainProcedure("BrowseMessages", {});
    RegisterMainProcedure("UpdateMessages", {});
    MessageWindowsTest::TearDown();
  }

  DriverWindow StartMain() {
    ui_.Start([] { Main(); });
    DriverWindow frame = ui_.WaitWindow(kFrame);
    const std::string host = server_.host();
    RunWithRuntimeLock([&] {
      STARTUPACTIVE = 1;
      MINIMIZEONCLOSEREQUEST = 0;
      EMAIL_HOST = host;
      EMAIL_SENDER = "ann@sender.test";
    });
    return frame;
  }
  static std::size_t Queued() {
    std::size_t n = 0;
    RunWithRuntimeLock([&] { n = ScriptQueue.Records(); });
    return n;
  }

  static constexpr std::string_view kFrame = "Varnodex 2000";
  MainServices services_;
  std::optional<ScopedProgramServices> installed_;
  test::GrabLog grabs_;
};

TEST_F(MessagesOnMainsTickTest, AMessageQueuedFromTheListIsSentOnMainsTickAndStamped) {
  DriverWindow frame = StartMain();
  EXPECT_FALSE(frame.Control("&E-mail Messages").Disabled());
  frame.PressShortcut("Ctrl+E");
  DriverWindow list = ui_.WaitWindow("E-mail Messages");
  EXPECT_NE(list.Thread(), frame.Thread());
  list.Control("Send E-&mail").Press();
  EXPECT_EQ(Queued(), 0U) << "an empty list queues nothing";
  list.Close();
  ui_.WaitThreadEnded(list.Thread());

  RunWithRuntimeLock([] {
    Store(Mail(1, "bob@to.test", "First"));
    Store(Mail(2, "carl@to.test", "Second"));
  });
  frame.Control("Email Messages").Press();  // the toolbar's button
  list = ui_.WaitWindow("E-mail Messages");
  frame.PressShortcut("Ctrl+E");
  ui_.WaitUntil([&] { return list.TimesBroughtToFront() >= 1; }, "the open list came forward");
  EXPECT_EQ(ListOf(list).Cell(2, 5), "") << "a message never sent shows no date";
  ListOf(list).ChooseRow(2);
  list.Control("Send E-&mail").Press();
  ASSERT_EQ(Queued(), 1U);
  std::string progress;
  RunWithRuntimeLock([&] {
    progress = MAILPROGRESSTEXT.clipped();
    EXPECT_EQ(ScriptQueue.buffer.SCR.Action.str(), "Send Email");
    EXPECT_EQ(ScriptQueue.buffer.SCR.EmailID, 2);
  });
  EXPECT_EQ(progress, "Sending Email...");
  EXPECT_EQ(server_.Count(), 0U) << "the list only queues";

  clock_.Set(TODAY(), CLOCK() + 100);  // the next second's tick
  frame.Post(EVENT_Timer);
  const auto mails = server_.Mails(1);
  ASSERT_EQ(mails.size(), 1U);
  EXPECT_EQ(mails[0].recipients, std::vector<std::string>{"carl@to.test"});
  EXPECT_EQ(mails[0].Header("subject"), "Second");
  ui_.WaitUntil([&] { return Queued() == 0; }, "the step to leave the queue");
  list.Close();
  ui_.WaitThreadEnded(list.Thread());
  std::vector<MESSAGES_RECORD> stored;
  RunWithRuntimeLock([&] { stored = StoredMessages(); });
  ASSERT_EQ(stored.size(), 2U);
  EXPECT_EQ(stored[0].LastDateSent, 0);
  EXPECT_EQ(stored[1].LastDateSent, TODAY());
}

}  // namespace
}  // namespace vx
