// The settings loader: every default on an empty store, the adjustments made while loading,
// the INI fallbacks, the mail defaults and the current user.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "datadll/dictionary/configuration_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "program/admin/get_network_user_id.h"
#include "program/admin/load_email_defaults.h"
#include "program/admin/load_settings.h"
#include "program/admin/program_arguments.h"
#include "program/common/config_store.h"
#include "program/common/program_registry.h"
#include "program/shell_fixture.h"
#include "runtime/ini_file.h"

namespace vx {
namespace {

class LoadSettingsTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ProgramRegistry().INIT(1);  // the test's own (empty) registry file
    ININAME = "vx98.INI";
    SetProgramArguments({});
    MakeEveryGlobalStale();
  }
  void TearDown() override {
    SetProgramArguments({});
    ProgramRegistry().KILL();
    ShellTest::TearDown();
  }

  // Values no load leaves behind, so that every global is seen to be set.
  static void MakeEveryGlobalStale() {
    for (std::uint8_t* flag : Flags()) *flag = 99;
    for (std::int32_t* number : Numbers()) *number = 9999;
    SYSPWD = "stale";
    GLO_DATEFORMAT = "stale";
    GLO_AUTOCLIPBOARDMODE = "stale";
    USERID = "stale";
    USERNAME = "stale";
    EMAIL_HOST = "";
    EMAIL_SENDER = "";
    EMAIL_SENDERNAME = "";
    NEWS_SENDER = "";
  }
  static std::vector<std::uint8_t*> Flags() {
    return {&SYSLOCK,
            &GLO_LOGEXITCODES,
            &REMOVEUNCOMPLETED,
            &STARTUPSCHEDULE,
            &STARTUPTODO,
            &STARTUPCLIPBOARDSAVER,
            &STARTUPCONTACTS,
            &STARTUPACTIVE,
            &NEWPROC16,
            &GLO_ACTIVEONLY,
            &MINIMIZEONCLOSEREQUEST,
            &STARTUPMINIMIZED,
            &FULLSCHEDULE,
            &HIDETOOLBAR,
            &NOTRAY,
            &REPORTINCLUDEFUTUREOCCURANCES,
            &MONITORCLIPBOARD,
            &USEEXTERNALMESSAGE,
            &USEMODALMESSAGE,
            &GLO_USELOG,
            &GLO_EXCLUDEHIDDENWINDOWS,
            &SAVESCRIPTS,
            &TRANSLATEFILENAMES,
            &MAXIMIZEONRUN,
            &DEBUGMODE,
            &BURSTSIZE,
            &USEWINMESSAGE,
            &GLO_CMONTOP,
            &GLO_USEEXTERNALCLIPBOARDMANAGER,
            &MULTIUSER};
  }
  static std::vector<std::int32_t*> Numbers() {
    return {&SKIPIFDAYSPASSED, &HISTORYEXPIRES, &REPEATALARMINTERVAL, &SNOOZEINTERVAL,
            &MAXALARMTIME,     &GLOBALDELAY,    &GLO_MAXLOGSIZE,      &MAXCLIPBOARDENTRIES};
  }

  // Every stored setting, key and value, in key order.
  static std::vector<std::pair<std::string, std::string>> Store() {
    std::vector<std::pair<std::string, std::string>> out;
    ACCESS_CONFIGURATION->Set(CF_KEYDATATYPE);
    while (ACCESS_CONFIGURATION->TryNext() == 0)
      out.emplace_back(CF.DataType.str(), CF.DataValue.str());
    return out;
  }
  static std::vector<std::string> Users() {
    std::vector<std::string> out;
    ACCESS_USERS->Set(U__KEYUSER);
    while (ACCESS_USERS->TryNext() == 0) out.push_back(U_.USER.str());
    return out;
  }
};

TEST_F(LoadSettingsTest, AnEmptyStoreGivesEveryDefault) {
  LoadSettings();

  const std::vector<std::pair<const char*, int>> flags = {
      {"SYSLOCK", SYSLOCK},
      {"GLO_LOGEXITCODES", GLO_LOGEXITCODES},
      {"REMOVEUNCOMPLETED", REMOVEUNCOMPLETED},
      {"STARTUPSCHEDULE", STARTUPSCHEDULE},
      {"STARTUPTODO", STARTUPTODO},
      {"STARTUPCLIPBOARDSAVER", STARTUPCLIPBOARDSAVER},
      {"STARTUPCONTACTS", STARTUPCONTACTS},
      {"STARTUPACTIVE", STARTUPACTIVE},
      {"NEWPROC16", NEWPROC16},
      {"GLO_ACTIVEONLY", GLO_ACTIVEONLY},
      {"MINIMIZEONCLOSEREQUEST", MINIMIZEONCLOSEREQUEST},
      {"STARTUPMINIMIZED", STARTUPMINIMIZED},
      {"FULLSCHEDULE", FULLSCHEDULE},
      {"HIDETOOLBAR", HIDETOOLBAR},
      {"NOTRAY", NOTRAY},
      {"REPORTINCLUDEFUTUREOCCURANCES", REPORTINCLUDEFUTUREOCCURANCES},
      {"MONITORCLIPBOARD", MONITORCLIPBOARD},
      {"USEEXTERNALMESSAGE", USEEXTERNALMESSAGE},
      {"USEMODALMESSAGE", USEMODALMESSAGE},
      {"GLO_USELOG", GLO_USELOG},
      {"GLO_EXCLUDEHIDDENWINDOWS", GLO_EXCLUDEHIDDENWINDOWS},
      {"SAVESCRIPTS", SAVESCRIPTS},
      {"TRANSLATEFILENAMES", TRANSLATEFILENAMES},
      {"MAXIMIZEONRUN", MAXIMIZEONRUN},
      {"DEBUGMODE", DEBUGMODE},
      {"BURSTSIZE", BURSTSIZE},
      {"USEWINMESSAGE", USEWINMESSAGE},
      {"GLO_CMONTOP", GLO_CMONTOP},
      {"GLO_USEEXTERNALCLIPBOARDMANAGER", GLO_USEEXTERNALCLIPBOARDMANAGER},
      {"MULTIUSER", MULTIUSER},
      {"SKIPIFDAYSPASSED", SKIPIFDAYSPASSED},
      {"HISTORYEXPIRES", HISTORYEXPIRES},
      {"REPEATALARMINTERVAL", REPEATALARMINTERVAL},
      {"SNOOZEINTERVAL", SNOOZEINTERVAL},
      {"MAXALARMTIME", MAXALARMTIME},
      {"GLOBALDELAY", GLOBALDELAY},
      {"GLO_MAXLOGSIZE", GLO_MAXLOGSIZE},
      {"MAXCLIPBOARDENTRIES", MAXCLIPBOARDENTRIES},
  };
  const std::vector<std::pair<std::string, int>> on = {
      {"STARTUPSCHEDULE", 1}, {"STARTUPACTIVE", 1}, {"USEEXTERNALMESSAGE", 1},  {"BURSTSIZE", 7},
      {"GLO_CMONTOP", 1},     {"GLOBALDELAY", 10},  {"MAXCLIPBOARDENTRIES", 50}};
  for (const auto& [name, value] : flags) {
    int expected = 0;
    for (const auto& [n, v] : on) {
      if (n == name) expected = v;
    }
    EXPECT_EQ(value, expected) << name;
  }
  EXPECT_EQ(SYSPWD, "");
  EXPECT_EQ(GLO_DATEFORMAT, "d3");
  EXPECT_EQ(GLO_AUTOCLIPBOARDMODE, "Normal");
  EXPECT_EQ(USERID, "");
  EXPECT_EQ(USERNAME, "");
  EXPECT_EQ(EMAIL_HOST, "");
  EXPECT_EQ(EMAIL_SENDER, "");
  EXPECT_EQ(GLO_USER, NetworkUserName().value_or(""));

  // Only the keys whose value came out non-empty were stored.
  const std::vector<std::pair<std::string, std::string>> stored = {
      {"CM:Mode", "Normal"}, {"CM:OnTop", "1"},   {"CM:UseEx", "0"}, {"DateFormat", "d3"},
      {"LogExitCodes", "0"}, {"MaxLogSize", "0"}, {"SysLock", "0"},  {"UseVXMsg", "1"}};
  EXPECT_EQ(Store(), stored);
  EXPECT_EQ(Users(), std::vector<std::string>{GLO_USER.str()});
  EXPECT_EQ(U_.SOURCEPATH, std::filesystem::current_path().string());
  EXPECT_TRUE(reporter_.shown.empty());
}

TEST_F(LoadSettingsTest, StoredValuesWithTheirAdjustments) {
  struct Case {
    const char* key;
    const char* stored;
    std::vector<std::string> arguments;
    const char* global;
    long expected;
  };
  const auto value_of = [](const std::string& global) -> long {
    if (global == "GLOBALDELAY") return GLOBALDELAY;
    if (global == "BURSTSIZE") return BURSTSIZE;
    if (global == "STARTUPSCHEDULE") return STARTUPSCHEDULE;
    if (global == "STARTUPACTIVE") return STARTUPACTIVE;
    if (global == "MAXCLIPBOARDENTRIES") return MAXCLIPBOARDENTRIES;
    if (global == "SYSLOCK") return SYSLOCK;
    return -1;
  };
  const Case cases[] = {
      {"ScriptingDelay", "3", {}, "GLOBALDELAY", 10},
      {"ScriptingDelay", "40", {}, "GLOBALDELAY", 40},
      {"BurstSize", "0", {}, "BURSTSIZE", 7},
      {"BurstSize", "12", {}, "BURSTSIZE", 12},
      {"StartUpSchedule", "1", {}, "STARTUPSCHEDULE", 0},
      {"StartUpActive", "0", {}, "STARTUPACTIVE", 1},
      {"StartUpActive", "1", {}, "STARTUPACTIVE", 0},
      {"StartUpActive", "0", {"/i"}, "STARTUPACTIVE", 0},
      {"MaxClipboardEntries", "200", {}, "MAXCLIPBOARDENTRIES", 200},
      {"SysLock", "1", {}, "SYSLOCK", 1},
  };
  for (const Case& c : cases) {
    SetConfigValue(c.key, c.stored);
    SetProgramArguments(c.arguments);
    LoadSettings();
    EXPECT_EQ(value_of(c.global), c.expected) << c.key << " = " << c.stored;
  }
}

TEST_F(LoadSettingsTest, TheProgramIniFileFillsKeysTheStoreLacks) {
  IniFile ini("vx98.INI");
  ini.Put("Settings", "Host", "mail.example.test");
  ini.Put("Settings", "LogEvents", "1");
  ini.Put("Settings", "DateFormat", "d17");  // read without the INI file: not taken
  ini.Put("Settings", "SysLock", "1");       // likewise
  ini.Put("Debug", "Debug", "1");
  LoadSettings();
  EXPECT_EQ(EMAIL_HOST, "mail.example.test");
  EXPECT_EQ(GLO_USELOG, 1);
  EXPECT_EQ(GLO_DATEFORMAT, "d3");
  EXPECT_EQ(SYSLOCK, 0);
  EXPECT_EQ(DEBUGMODE, 1);
  EXPECT_EQ(GetConfigValue("Host"), "mail.example.test");
}

TEST_F(LoadSettingsTest, TheUserIdentityBySingleAndMultiUserMode) {
  SetConfigValue("UserID", "kim");
  LoadSettings();
  EXPECT_EQ(USERID, "kim");
  EXPECT_EQ(USERNAME, "");

  SetConfigValue("MultiUser", "1");
  LoadSettings();
  const std::string login = NetworkUserName().value_or("");
  EXPECT_EQ(USERID, String<30>(login).str());
  EXPECT_EQ(USERNAME, USERID.str());
  EXPECT_EQ(GLO_USER, login);
  EXPECT_EQ(Users(), std::vector<std::string>{login});  // a second load adds no second row
}

TEST_F(LoadSettingsTest, AUserOnTheCommandLineIsTheCurrentUser) {
  SetProgramArguments({"/I", "user=alex"});
  LoadSettings();
  EXPECT_EQ(GLO_USER, "alex");
  EXPECT_EQ(STARTUPACTIVE, 0);
  const std::vector<std::string> users = Users();
  EXPECT_NE(std::find(users.begin(), users.end(), "alex"), users.end());
}

TEST(EmailDefaults, OnlyEmptySettingsAreFilled) {
  struct Case {
    const char* host;
    const char* sender;
    const char* name;
    const char* news;
    MailAccountDefaults account;
    const char* want_host;
    const char* want_sender;
    const char* want_name;
    const char* want_news;
  };
  const MailAccountDefaults full{"smtp.desk.test", "reply@desk.test", "me@desk.test", "Pat Owner"};
  const Case cases[] = {
      {"", "", "", "", full, "smtp.desk.test", "reply@desk.test", "Pat Owner", "reply@desk.test"},
      {"", "", "", "", {"", "", "me@desk.test", ""}, "", "me@desk.test", "", "me@desk.test"},
      // A sender address without a name leaves the name empty.
      {"", "mine@home.test", "", "", full, "smtp.desk.test", "mine@home.test", "",
       "mine@home.test"},
      {"smtp.home.test", "", "Kim", "news@home.test", full, "smtp.home.test", "reply@desk.test",
       "Kim", "news@home.test"},
  };
  for (const Case& c : cases) {
    EMAIL_HOST = c.host;
    EMAIL_SENDER = c.sender;
    EMAIL_SENDERNAME = c.name;
    NEWS_SENDER = c.news;
    ApplyEmailDefaults(c.account);
    EXPECT_EQ(EMAIL_HOST, c.want_host);
    EXPECT_EQ(EMAIL_SENDER, c.want_sender);
    EXPECT_EQ(EMAIL_SENDERNAME, c.want_name);
    EXPECT_EQ(NEWS_SENDER, c.want_news);
  }
  EMAIL_HOST = EMAIL_SENDER = EMAIL_SENDERNAME = NEWS_SENDER = "";
}

}  // namespace
}  // namespace vx
