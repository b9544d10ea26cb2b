#include "program/admin/load_settings.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "datadll/dictionary/globals.h"
#include "program/admin/ensure_current_user.h"
#include "program/admin/get_network_user_id.h"
#include "program/admin/load_email_defaults.h"
#include "program/admin/program_arguments.h"
#include "program/common/config_store.h"
#include "program/common/read_only_database.h"
#include "runtime/ini_file.h"

namespace vx {

std::uint8_t SYSLOCK = 0;
String<32> SYSPWD;

namespace {

// A stored text as a number: its leading whole number, 0 when it has none (empty text too).
long Number(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

using Apply = std::function<void(const std::string&)>;

Apply Byte(std::uint8_t& global) {
  return [&global](const std::string& v) { global = static_cast<std::uint8_t>(Number(v)); };
}
Apply Long(std::int32_t& global) {
  return [&global](const std::string& v) { global = static_cast<std::int32_t>(Number(v)); };
}
template <std::size_t N>
Apply Text(String<N>& global) {
  return [&global](const std::string& v) { global = v; };
}
// Keys stored as 1 minus the global, so that a missing key means "on".
Apply Inverted(std::uint8_t& global) {
  return [&global](const std::string& v) { global = static_cast<std::uint8_t>(1 - Number(v)); };
}

enum class Ini { None, Program };

struct Key {
  const char* key;
  std::optional<const char*> default_value;
  Ini ini;
  Apply apply;
};

std::string Read(const Key& k) {
  const std::optional<std::string_view> def =
      k.default_value ? std::optional<std::string_view>(*k.default_value) : std::nullopt;
  if (k.ini == Ini::Program) return GetConfigValue(k.key, def, ININAME.clipped());
  return GetConfigValue(k.key, def);
}

// The keys in the order they are read; the adjustments follow each read.
std::vector<Key> Keys() {
  constexpr std::nullopt_t none = std::nullopt;
  return {
      {"SysLock", "0", Ini::None, Byte(SYSLOCK)},
      {"SysPwd", none, Ini::None, Text(SYSPWD)},
      {"LogExitCodes", "0", Ini::None, Byte(GLO_LOGEXITCODES)},
      {"SkipIfDaysPassed", none, Ini::Program, Long(SKIPIFDAYSPASSED)},
      {"HistoryExpires", none, Ini::Program, Long(HISTORYEXPIRES)},
      {"RemoveUncompleted", none, Ini::Program, Byte(REMOVEUNCOMPLETED)},
      {"StartUpSchedule", none, Ini::Program, Inverted(STARTUPSCHEDULE)},
      {"StartUpToDo", none, Ini::Program, Byte(STARTUPTODO)},
      {"StartUpClipboardSaver", none, Ini::Program, Byte(STARTUPCLIPBOARDSAVER)},
      {"StartUpContacts", none, Ini::Program, Byte(STARTUPCONTACTS)},
      {"StartUpActive", none, Ini::Program,
       [](const std::string& v) {
         STARTUPACTIVE = static_cast<std::uint8_t>(1 - Number(v));
         if (HasCommandSwitch("/I")) STARTUPACTIVE = 0;    // started with the scheduler inactive
         if (ScheduleCannotBeStored()) STARTUPACTIVE = 0;  // no next run could be stored
       }},
      {"NewProc16", none, Ini::Program, Byte(NEWPROC16)},
      {"ActiveOnly", none, Ini::Program, Byte(GLO_ACTIVEONLY)},
      {"MinimizeOnCloseRequest", none, Ini::Program, Byte(MINIMIZEONCLOSEREQUEST)},
      {"StartUpMinimized", none, Ini::Program, Byte(STARTUPMINIMIZED)},
      {"FullSchedule", none, Ini::Program, Byte(FULLSCHEDULE)},
      {"HideToolbar", none, Ini::Program, Byte(HIDETOOLBAR)},
      {"NoTray", none, Ini::Program, Byte(NOTRAY)},
      {"RIFO", none, Ini::Program, Byte(REPORTINCLUDEFUTUREOCCURANCES)},
      {"MonitorClipboard", "", Ini::Program, Byte(MONITORCLIPBOARD)},
      {"UseVXMsg", "1", Ini::Program, Byte(USEEXTERNALMESSAGE)},
      {"UseModalMessage", "", Ini::Program, Byte(USEMODALMESSAGE)},
      {"RepeatAlarmInterval", none, Ini::Program, Long(REPEATALARMINTERVAL)},
      {"SnoozeInterval", none, Ini::Program, Long(SNOOZEINTERVAL)},
      {"MaxAlarmTime", none, Ini::Program, Long(MAXALARMTIME)},
      {"LogEvents", "", Ini::Program, Byte(GLO_USELOG)},
      {"ExclHidden", "", Ini::Program, Byte(GLO_EXCLUDEHIDDENWINDOWS)},
      {"SaveScripts", none, Ini::Program, Byte(SAVESCRIPTS)},
      {"TranslateFilenames", none, Ini::Program, Byte(TRANSLATEFILENAMES)},
      {"MaximizeOnRun", none, Ini::Program, Byte(MAXIMIZEONRUN)},
      {"ScriptingDelay", none, Ini::Program,
       [](const std::string& v) {
         GLOBALDELAY = static_cast<std::int32_t>(Number(v));
         if (GLOBALDELAY < 10) GLOBALDELAY = 10;
       }},
      {"BurstSize", none, Ini::Program,
       [](const std::string& v) {
         BURSTSIZE = static_cast<std::uint8_t>(Number(v));
         if (BURSTSIZE == 0) BURSTSIZE = 7;
       }},
      {"DateFormat", "d3", Ini::None, Text(GLO_DATEFORMAT)},
      {"UseWinMessage", none, Ini::Program, Byte(USEWINMESSAGE)},
      {"Sender", none, Ini::Program, Text(EMAIL_SENDER)},
      {"SenderName", none, Ini::Program, Text(EMAIL_SENDERNAME)},
      {"Host", none, Ini::Program, Text(EMAIL_HOST)},
      {"Org", none, Ini::Program, Text(EMAIL_ORGANIZATION)},
      {"NSender", none, Ini::Program, Text(NEWS_SENDER)},
      {"NSenderName", none, Ini::Program, Text(NEWS_SENDERNAME)},
      {"NHost", none, Ini::Program, Text(NEWS_HOST)},
      {"NOrg", none, Ini::Program, Text(NEWS_ORGANIZATION)},
      {"CM:Mode", "Normal", Ini::None, Text(GLO_AUTOCLIPBOARDMODE)},
      {"CM:OnTop", "1", Ini::None, Byte(GLO_CMONTOP)},
      {"CM:UseEx", "0", Ini::None, Byte(GLO_USEEXTERNALCLIPBOARDMANAGER)},
      {"MaxLogSize", "0", Ini::None, Long(GLO_MAXLOGSIZE)},
      // The Options window stores how many clipboard entries to keep; read it back, keeping the
      // initial 50 while nothing is stored.
      {"MaxClipboardEntries", none, Ini::Program,
       [](const std::string& v) {
         MAXCLIPBOARDENTRIES = v.empty() ? 50 : static_cast<std::int32_t>(Number(v));
       }},
  };
}

// Key 31 of the list, between "MaximizeOnRun" and "ScriptingDelay": read from the INI file
// itself, not through the store.
constexpr const char* kDebugBefore = "ScriptingDelay";

}  // namespace

void LoadMessageWindowSettings() {
  constexpr std::string_view kNeeded[] = {"RepeatAlarmInterval", "MaxAlarmTime", "SnoozeInterval"};
  for (const Key& k : Keys()) {
    if (std::find(std::begin(kNeeded), std::end(kNeeded), k.key) != std::end(kNeeded))
      k.apply(Read(k));
  }
}

void LoadSettings() {
  for (const Key& k : Keys()) {
    if (std::string_view(k.key) == kDebugBefore) {
      DEBUGMODE =
          static_cast<std::uint8_t>(Number(GETINI("Debug", "Debug", "", ININAME.clipped())));
    }
    k.apply(Read(k));
  }
  LoadEmailDefaults();
  MULTIUSER = static_cast<std::uint8_t>(
      Number(GetConfigValue("MultiUser", std::nullopt, ININAME.clipped())));

  if (MULTIUSER != 0) {
    GetNetworkUserID();
    USERNAME = USERID.view();
  } else {
    USERID = GetConfigValue("UserID", std::nullopt, ININAME.clipped());
    USERNAME = "";
  }
  if (const auto name = NetworkUserName()) GLO_USER = *name;
  const std::string user = CommandParameter("User");
  if (!user.empty()) GLO_USER = user;
  EnsureCurrentUser();
}

}  // namespace vx
