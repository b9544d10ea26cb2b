// The Options window driven as a user would: every tab's settings changed, OK writes every key
// and a reload reads them back; Cancel throws edits away; the system lock and its password;
// the date format; the test mail through a real SMTP server on 127.0.0.1.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "datadll/dictionary/configuration_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "program/admin/admin_windows.h"
#include "program/admin/load_settings.h"
#include "program/admin/password_validation.h"
#include "program/admin/program_arguments.h"
#include "program/admin/save_settings.h"
#include "program/common/config_store.h"
#include "program/common/program_registry.h"
#include "program/common/write_log.h"
#include "program/organiser/bug_report.h"
#include "support/local_mail_servers.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

class SetupWindowTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ProgramRegistry().INIT(1);  // the test's own (empty) registry: no mail defaults
    ININAME = "vx98.INI";
    SetProgramArguments({});
    SystemUnlocked = 0;
    LoadSettings();
  }
  void TearDown() override {
    SYSLOCK = 0;
    SYSPWD = "";
    SystemUnlocked = 0;
    GLO_USELOG = 0;
    SetProgramArguments({});
    ProgramRegistry().KILL();
    WindowTest::TearDown();
  }

  DriverWindow Open() {
    ui_.Start([] { vx::Setup(); });
    return ui_.WaitWindow("Options");
  }
  void Finish(const DriverWindow& w) {
    ui_.WaitClosed(w);
    ui_.Finish();
  }

  // Every stored setting, key and value.
  static std::map<std::string, std::string> Store() {
    std::map<std::string, std::string> out;
    EXPECT_EQ(ACCESS_CONFIGURATION->Open(), 0);
    ACCESS_CONFIGURATION->Set(CF_KEYDATATYPE);
    while (ACCESS_CONFIGURATION->TryNext() == 0) out[CF.DataType.str()] = CF.DataValue.str();
    ACCESS_CONFIGURATION->Close();
    return out;
  }
};

// The check boxes of every tab with their globals and keys (inverted: stored as 1 minus the
// global; greyed: shown but not to be changed, its value written as loaded).
struct CheckCase {
  std::uint8_t* global;
  const char* key;
  bool inverted;
  bool greyed = false;
};
std::vector<CheckCase> Checks() {
  return {
      {&STARTUPSCHEDULE, "StartUpSchedule", true},
      {&FULLSCHEDULE, "FullSchedule", false},
      {&GLO_ACTIVEONLY, "ActiveOnly", false},
      {&STARTUPTODO, "StartUpToDo", false},
      {&STARTUPCONTACTS, "StartUpContacts", false},
      {&STARTUPCLIPBOARDSAVER, "StartUpClipboardSaver", false},
      {&STARTUPMINIMIZED, "StartUpMinimized", false},
      {&NOTRAY, "NoTray", false},
      {&MAXIMIZEONRUN, "MaximizeOnRun", false},
      {&MINIMIZEONCLOSEREQUEST, "MinimizeOnCloseRequest", false},
      {&USEEXTERNALMESSAGE, "UseVXMsg", false},
      {&USEMODALMESSAGE, "UseModalMessage", false},
      {&REMOVEUNCOMPLETED, "RemoveUncompleted", false},
      {&GLO_USELOG, "LogEvents", false},
      {&GLO_LOGEXITCODES, "LogExitCodes", false},
      {&SAVESCRIPTS, "SaveScripts", false},
      {&TRANSLATEFILENAMES, "TranslateFilenames", false},
      {&GLO_EXCLUDEHIDDENWINDOWS, "ExclHidden", false},
      {&NEWPROC16, "NewProc16", false, true},
      {&MONITORCLIPBOARD, "MonitorClipboard", false},
      {&GLO_USEEXTERNALCLIPBOARDMANAGER, "CM:UseEx", false},
      {&GLO_CMONTOP, "CM:OnTop", false},
      {&STARTUPACTIVE, "StartUpActive", true},
  };
}

const char* TabOf(const std::uint8_t* global) {
  if (global == &STARTUPSCHEDULE || global == &FULLSCHEDULE || global == &GLO_ACTIVEONLY ||
      global == &STARTUPTODO || global == &STARTUPCONTACTS || global == &STARTUPCLIPBOARDSAVER ||
      global == &STARTUPMINIMIZED)
    return "Start Up";
  if (global == &NOTRAY || global == &MAXIMIZEONRUN || global == &MINIMIZEONCLOSEREQUEST)
    return "General";
  if (global == &USEEXTERNALMESSAGE || global == &USEMODALMESSAGE) return "Messages";
  if (global == &REMOVEUNCOMPLETED || global == &GLO_USELOG || global == &GLO_LOGEXITCODES)
    return "History";
  if (global == &MONITORCLIPBOARD || global == &GLO_USEEXTERNALCLIPBOARDMANAGER ||
      global == &GLO_CMONTOP)
    return "Clipboard";
  if (global == &STARTUPACTIVE) return nullptr;  // below the sheet
  return "Scripting";
}

TEST_F(SetupWindowTest, EveryTabsSettingsAreWrittenByOkAndReadBackByTheNextLoad) {
  // Opened values, each flipped on screen below; external manager first so its
  // stay-on-top box is enabled when ticked.
  std::map<const std::uint8_t*, int> opened;
  for (const CheckCase& c : Checks()) opened[c.global] = *c.global;

  DriverWindow w = Open();
  EXPECT_TRUE(w.Control("Password to lock/unlock system:").Disabled()) << "only while locked";
  EXPECT_EQ(w.Control("Display date in format:").Value(), "OCT 31,1959");
  EXPECT_EQ(std::stol(w.Control("Send Interval (1/100ths of a second):").Value()), 10);
  EXPECT_EQ(std::stol(w.Control("Maximum number of characters per send group:").Value()), 7);

  w.Control("Clipboard").Press();
  w.ControlOf(GLO_USEEXTERNALCLIPBOARDMANAGER).Tick(opened[&GLO_USEEXTERNALCLIPBOARDMANAGER] == 0);
  for (const CheckCase& c : Checks()) {
    if (c.global == &GLO_USEEXTERNALCLIPBOARDMANAGER) continue;
    if (const char* tab = TabOf(c.global)) w.Control(tab).Press();
    if (!c.greyed) w.ControlOf(*c.global).Tick(opened[c.global] == 0);
  }
  w.Control("General").Press();
  w.Control("Display date in format:").Choose("31/10/1959");
  w.ControlOf(SKIPIFDAYSPASSED).Type("3");
  w.Control("Messages").Press();
  w.ControlOf(REPEATALARMINTERVAL).Type("30");
  w.ControlOf(MAXALARMTIME).Type("4");
  w.ControlOf(SNOOZEINTERVAL).Type("9");
  w.Control("History").Press();
  w.ControlOf(HISTORYEXPIRES).Type("-1");
  w.Control("Scripting").Press();
  w.Control("Send Interval (1/100ths of a second):").Type("40");
  w.Control("Maximum number of characters per send group:").Type("12");
  w.Control("Clipboard").Press();
  w.ControlOf(MAXCLIPBOARDENTRIES).Type("75");
  w.Control("Email").Press();
  w.ControlOf(EMAIL_SENDERNAME).Type("Ann Lee");
  w.ControlOf(EMAIL_SENDER).Type("ann@sender.test");
  w.ControlOf(EMAIL_HOST).Type("mail.sender.test");
  w.ControlOf(NEWS_SENDER).Type("ann@news.test");
  w.ControlOf(NEWS_HOST).Type("news.sender.test");
  w.Control("Security").Press();
  w.Control("System Locked").Tick();
  EXPECT_FALSE(w.Control("Password to lock/unlock system:").Disabled());
  w.Control("Password to lock/unlock system:").Type("Open Sesame");
  w.Control("Confirm password:").Type("Open Sesame");
  w.Control("OK").Press();
  const SeenRequest notice = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(notice.caption, "Information") << "the date format changed";
  Finish(w);

  std::map<std::string, std::string> expected = {
      {"SysLock", "1"},
      {"SysPwd", "Open Sesame"},
      {"SkipIfDaysPassed", "3"},
      {"HistoryExpires", "-1"},
      {"RepeatAlarmInterval", "30"},
      {"MaxAlarmTime", "4"},
      {"SnoozeInterval", "9"},
      {"ScriptingDelay", "40"},
      {"BurstSize", "12"},
      {"MaxClipboardEntries", "75"},
      {"Sender", "ann@sender.test"},
      {"SenderName", "Ann Lee"},
      {"Host", "mail.sender.test"},
      {"NSender", "ann@news.test"},
      {"NHost", "news.sender.test"},
      {"DateFormat", "d6"},
      {"HideToolbar", "0"},
      {"RIFO", "0"},
      {"MultiUser", "0"},
      {"CM:Mode", "Normal"},
      {"MaxLogSize", "0"},
  };
  for (const CheckCase& c : Checks()) {
    const int now = c.greyed ? opened[c.global] : opened[c.global] == 0 ? 1 : 0;
    expected[c.key] = std::to_string(c.inverted ? 1 - now : now);
  }
  expected["UseExternalMessage"] = expected["UseVXMsg"];
  const std::map<std::string, std::string> stored = Store();
  for (std::string_view key : SavedSettingKeys()) {
    EXPECT_TRUE(stored.count(std::string(key))) << "written: " << key;
  }
  for (const auto& [key, value] : expected) {
    EXPECT_EQ(stored.count(key) ? stored.at(key) : "<none>", value) << key;
  }

  // The next start reads every one of them back.
  for (const CheckCase& c : Checks()) *c.global = 99;
  SYSPWD = "";
  EMAIL_HOST = "";
  LoadSettings();
  for (const CheckCase& c : Checks()) {
    EXPECT_EQ(*c.global, c.greyed ? opened[c.global] : opened[c.global] == 0 ? 1 : 0) << c.key;
  }
  EXPECT_EQ(SYSLOCK, 1);
  EXPECT_EQ(SYSPWD, "Open Sesame");
  EXPECT_EQ(SKIPIFDAYSPASSED, 3);
  EXPECT_EQ(HISTORYEXPIRES, -1);
  EXPECT_EQ(REPEATALARMINTERVAL, 30);
  EXPECT_EQ(MAXALARMTIME, 4);
  EXPECT_EQ(SNOOZEINTERVAL, 9);
  EXPECT_EQ(GLOBALDELAY, 40);
  EXPECT_EQ(BURSTSIZE, 12);
  EXPECT_EQ(MAXCLIPBOARDENTRIES, 75);
  EXPECT_EQ(EMAIL_HOST, "mail.sender.test");
  EXPECT_EQ(NEWS_HOST, "news.sender.test");
  EXPECT_EQ(GLO_DATEFORMAT, "d6");
}

// Linux has no 16-bit programs: the option is greyed, its tip says why, and the value stored
// (by a data folder shared with another installation) is shown and written back unchanged.
TEST_F(SetupWindowTest, TheSixteenBitProgramOptionIsGreyedWithWhyAndKeepsItsValue) {
  SetConfigValue("NewProc16", "1");
  LoadSettings();
  DriverWindow w = Open();
  w.Control("Scripting").Press();
  DriverControl option = w.ControlOf(NEWPROC16);
  EXPECT_EQ(option.Text(), "Start each 16-bit application in a new process");
  EXPECT_TRUE(option.Disabled());
  EXPECT_EQ(option.Get(Prop::Tip),
            "Linux starts every program in a process of its own and has no 16-bit programs, so "
            "this setting changes nothing here.");
  EXPECT_EQ(option.Value(), "1");
  EXPECT_THROW(option.Tick(false), std::logic_error);
  w.Control("OK").Press();
  Finish(w);
  EXPECT_EQ(Store()["NewProc16"], "1");
}

TEST_F(SetupWindowTest, CancelAndTheCloseBoxThrowEveryEditAway) {
  SetConfigValue("Host", "kept.host.test");
  LoadSettings();
  const std::map<std::string, std::string> before = Store();
  // Two windows one after the other; after each the settings are as stored.
  std::vector<std::string> after_each;
  ui_.Start([&] {
    for (int i = 0; i < 2; ++i) {
      vx::Setup();
      after_each.push_back(std::to_string(STARTUPTODO) + std::to_string(GLO_USELOG) +
                           std::string(EMAIL_HOST.clipped()));
    }
  });
  for (const bool close_box : {false, true}) {
    DriverWindow w = ui_.WaitWindow("Options");
    w.ControlOf(STARTUPTODO).Tick();
    w.Control("History").Press();
    w.ControlOf(GLO_USELOG).Tick();
    w.Control("Email").Press();
    w.ControlOf(EMAIL_HOST).Type("typed.host.test");
    EXPECT_EQ(w.ControlOf(STARTUPTODO).Value(), "1");
    if (close_box) {
      w.Close();
    } else {
      w.Control("Cancel").Press();
    }
    ui_.WaitClosed(w);
  }
  ui_.Finish();
  EXPECT_EQ(after_each, (std::vector<std::string>{"00kept.host.test", "00kept.host.test"}));
  EXPECT_EQ(Store(), before);
}

TEST_F(SetupWindowTest, AlarmAndScriptingFloorsAndTheDateFormatChoice) {
  std::vector<std::string> seen;  // after each window: interval, delay, burst size, date picture
  ui_.Start([&] {
    for (int i = 0; i < 3; ++i) {
      if (i == 2) {
        // A stored picture the list no longer offers.
        SetConfigValue("DateFormat", "d16");
        LoadSettings();
      }
      vx::Setup();
      seen.push_back(std::to_string(REPEATALARMINTERVAL) + " " + std::to_string(GLOBALDELAY) + " " +
                     std::to_string(BURSTSIZE) + " " + std::string(GLO_DATEFORMAT.clipped()));
    }
  });
  DriverWindow w = ui_.WaitWindow("Options");
  w.Control("Messages").Press();
  w.ControlOf(REPEATALARMINTERVAL).Type("3");
  w.Control("Scripting").Press();
  w.Control("Send Interval (1/100ths of a second):").Type("10");
  w.Control("Maximum number of characters per send group:").Type("0");
  w.Control("General").Press();
  w.Control("Display date in format:").Choose("System Long Date");
  w.Control("OK").Press();
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text,
            "Date format changes will not affect currently open windows.  You can close and "
            "re-open windows, or "
            "exit and restart Varnodex to view information using the new date format.");
  ui_.WaitClosed(w);
  EXPECT_EQ(GetConfigValue("RepeatAlarmInterval"), "5");
  EXPECT_EQ(GetConfigValue("ScriptingDelay"), "10") << "the store keeps what was typed";
  EXPECT_EQ(GetConfigValue("BurstSize"), "0");
  EXPECT_EQ(GetConfigValue("DateFormat"), "d18");

  // Reopened: the choice shows; an unchanged choice and a repeat interval of 0 say nothing.
  w = ui_.WaitWindow("Options");
  EXPECT_EQ(w.Control("Display date in format:").Value(), "System Long Date");
  w.Control("Messages").Press();
  w.ControlOf(REPEATALARMINTERVAL).Type("0");
  w.Control("OK").Press();
  ui_.WaitClosed(w);

  w = ui_.WaitWindow("Options");
  EXPECT_EQ(w.Control("Display date in format:").Value(), "1959/10");
  w.Control("Cancel").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  EXPECT_EQ(ui_.Messages().size(), 1u) << "only the first OK told of the date format";
  // The running program waits at least 25 hundredths between sends and sends at least 7 (the
  // second window showed 25 and stored it).
  EXPECT_EQ(seen, (std::vector<std::string>{"5 25 7 d18", "0 25 7 d18", "0 25 7 d16"}));
}

TEST_F(SetupWindowTest, TheLockNeedsAPasswordThatMatchesItsConfirmation) {
  // Three starts of the window one after the other, as from Main's menu.
  ui_.Start([] {
    for (int i = 0; i < 3; ++i) vx::Setup();
  });
  DriverWindow w = ui_.WaitWindow("Options");
  w.Control("Security").Press();
  w.Control("System Locked").Tick();
  EXPECT_FALSE(w.Control("Password to lock/unlock system:").Disabled());
  // An empty password would let anybody in with an empty answer: refused.
  w.Control("OK").Press();
  SeenRequest box = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.text, "Enter a password to lock the system.");
  EXPECT_TRUE(w.Open());
  EXPECT_EQ(GetConfigValue("SysLock"), "0") << "nothing written";

  w.Control("Password to lock/unlock system:").Type("one");
  w.Control("Confirm password:").Type("One");
  w.Control("OK").Press();
  box = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.text, "The system lock passwords do not match.");
  EXPECT_TRUE(w.Open());
  EXPECT_EQ(GetConfigValue("SysLock"), "0");

  w.Control("Confirm password:").Type("one");
  w.Control("OK").Press();
  ui_.WaitClosed(w);
  EXPECT_EQ(GetConfigValue("SysLock"), "1");
  EXPECT_EQ(GetConfigValue("SysPwd"), "one");

  // Now the window asks first; a wrong answer keeps it shut.
  DriverWindow prompt = ui_.WaitWindow("Password Required");
  prompt.Control("Enter the system password:").Type("two");
  prompt.Control("OK").Press();
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).caption, "Access Denied");
  ui_.WaitClosed(prompt);

  // The right one (in other letters) opens it; unlocking keeps the old password in the store.
  prompt = ui_.WaitWindow("Password Required");
  EXPECT_FALSE(ui_.HasWindow("Options"));
  prompt.Control("Enter the system password:").Type("ONE");
  prompt.Control("OK").Press();
  w = ui_.WaitWindow("Options");
  w.Control("Security").Press();
  w.Control("System Locked").Tick(false);
  EXPECT_TRUE(w.Control("Confirm password:").Disabled());
  w.Control("OK").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  EXPECT_EQ(GetConfigValue("SysLock"), "0");
  EXPECT_EQ(GetConfigValue("SysPwd"), "one");
}

TEST_F(SetupWindowTest, ThePasswordNeverReachesTheEventLogOrTheSettingsDump) {
  DriverWindow w = Open();
  w.Control("History").Press();
  w.ControlOf(GLO_USELOG).Tick();
  w.Control("Security").Press();
  w.Control("System Locked").Tick();
  w.Control("Password to lock/unlock system:").Type("Zebra-Crossing-77");
  w.Control("Confirm password:").Type("Zebra-Crossing-77");
  w.Control("OK").Press();
  Finish(w);
  ASSERT_EQ(SYSPWD, "Zebra-Crossing-77");
  WriteLog("Settings saved", "Options");  // a log that exists and was written after the save
  CloseEventLog();

  bool found_log = false;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.find("Settings saved") != std::string::npos) found_log = true;
    if (entry.path().extension() == ".LOG" || entry.path().extension() == ".log") {
      EXPECT_EQ(text.find("Zebra"), std::string::npos) << entry.path();
    }
  }
  EXPECT_TRUE(found_log);
  for (const std::string& line : BugReportDump())
    EXPECT_EQ(line.find("Zebra"), std::string::npos) << line;
}

TEST_F(SetupWindowTest, StartedInactiveItSaysSoUnlessStartedToConfigure) {
  SetProgramArguments({"/I"});
  ui_.Start([] { vx::Setup(); });
  const SeenRequest warning = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(warning.caption, "Warning");
  EXPECT_EQ(warning.text,
            "The task scheduler has been \"inactivated\" using the /I command line parameter.");
  DriverWindow w = ui_.WaitWindow("Options");
  w.Control("Cancel").Press();
  ui_.WaitClosed(w);
  ui_.Finish();

  SetProgramArguments({"/i", "/config"});
  ui_.Start([] { vx::Setup(); });
  w = ui_.WaitWindow("Options");
  w.Control("Cancel").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  EXPECT_EQ(ui_.Messages().size(), 1u);
}

class SetupMailTest : public SetupWindowTest {
 protected:
  test::LocalSmtpServer server_;
};

TEST_F(SetupMailTest, TestSettingsMailsTheUserThroughTheSettingsOnScreen) {
  PRODUCTNAME = "Varnodex";
  DriverWindow w = Open();
  w.Control("Email").Press();
  w.Control("Test Settings").Press();
  SeenRequest box = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.text, "You must enter your reply to address and mail host.");

  w.ControlOf(EMAIL_SENDERNAME).Type("Ann Lee");
  w.ControlOf(EMAIL_SENDER).Type("ann@sender.test");
  w.ControlOf(EMAIL_HOST).Type(test::ClosedPortHost());
  w.Control("Test Settings").Press();
  box = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.caption, "Warning");
  EXPECT_EQ(box.text.rfind("Test message not sent.\r\n\r\nError:  ", 0), 0u) << box.text;
  EXPECT_GT(box.text.size(), std::string("Test message not sent.\r\n\r\nError:  ").size());

  w.ControlOf(EMAIL_HOST).Type(server_.host());
  EXPECT_EQ(w.Get(Prop::Cursor), "");
  w.Control("Test Settings").Press();
  // The wait pointer stays until the mail object is released, after its verdict.
  ui_.WaitUntil([&] { return ui_.Messages().size() == 3; }, "the verdict");
  EXPECT_EQ(w.Get(Prop::Cursor), "Wait");
  box = ui_.WaitMessage(BUTTON_OK);
  ui_.WaitUntil([&] { return w.Get(Prop::Cursor).empty(); }, "the normal pointer back");
  EXPECT_EQ(box.caption, "Success");
  EXPECT_EQ(box.text, "Test message sent without errors.");
  w.Control("Cancel").Press();
  Finish(w);

  const auto mails = server_.Mails(1);
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].recipients, std::vector<std::string>{"ann@sender.test"});
  EXPECT_EQ(mails[0].Header("subject"), "Test E-mail");
  EXPECT_EQ(mails[0].Header("from"), "Ann Lee <ann@sender.test>");
  EXPECT_NE(mails[0].Body().find("This is a test e-mail from Ann Lee"), std::string::npos);
  EXPECT_NE(mails[0].raw.find("X-Mailer: Varnodex"), std::string::npos);
  EXPECT_EQ(GetConfigValue("Host"), "") << "testing saves nothing";
}

}  // namespace
}  // namespace vx
