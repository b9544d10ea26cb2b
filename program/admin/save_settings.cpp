#include "program/admin/save_settings.h"

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "program/admin/load_settings.h"
#include "program/common/config_store.h"

namespace vx {
namespace {

std::string N(long value) { return std::to_string(value); }
std::string Inverted(std::uint8_t flag) { return N(1 - static_cast<long>(flag)); }
long Number(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

struct Saved {
  std::string_view key;
  std::function<std::string()> value;
};

template <class T>
std::function<std::string()> Num(const T& global) {
  return [&global] { return N(static_cast<long>(global)); };
}
template <std::size_t Width>
std::function<std::string()> Text(const String<Width>& global) {
  return [&global] { return std::string(global.clipped()); };
}

// The settings, in the order they are written.
const std::vector<Saved>& SettingKeys() {
  static const std::vector<Saved> keys = {
      {"SysLock", Num(SYSLOCK)},
      {"SysPwd", Text(SYSPWD)},
      {"NewProc16", Num(NEWPROC16)},
      {"LogExitCodes", Num(GLO_LOGEXITCODES)},
      {"SkipIfDaysPassed", Num(SKIPIFDAYSPASSED)},
      {"HistoryExpires", Num(HISTORYEXPIRES)},
      {"RemoveUncompleted", Num(REMOVEUNCOMPLETED)},
      {"StartUpSchedule", [] { return Inverted(STARTUPSCHEDULE); }},
      {"StartUpToDo", Num(STARTUPTODO)},
      {"StartUpClipboardSaver", Num(STARTUPCLIPBOARDSAVER)},
      {"StartUpContacts", Num(STARTUPCONTACTS)},
      {"StartUpActive", [] { return Inverted(STARTUPACTIVE); }},
      {"StartUpMinimized", Num(STARTUPMINIMIZED)},
      {"MinimizeOnCloseRequest", Num(MINIMIZEONCLOSEREQUEST)},
      {"FullSchedule", Num(FULLSCHEDULE)},
      {"HideToolbar", Num(HIDETOOLBAR)},
      {"RIFO", Num(REPORTINCLUDEFUTUREOCCURANCES)},
      {"NoTray", Num(NOTRAY)},
      {"SaveScripts", Num(SAVESCRIPTS)},
      {"TranslateFilenames", Num(TRANSLATEFILENAMES)},
      {"MaximizeOnRun", Num(MAXIMIZEONRUN)},
      {"UseExternalMessage", Num(USEEXTERNALMESSAGE)},
      {"UseVXMsg", Num(USEEXTERNALMESSAGE)},
      {"MultiUser", Num(MULTIUSER)},
      {"UserID", Text(USERID)},
      {"LogEvents", Num(GLO_USELOG)},
      {"MonitorClipboard", Num(MONITORCLIPBOARD)},
      {"UseModalMessage", Num(USEMODALMESSAGE)},
      {"MaxClipboardEntries", Num(MAXCLIPBOARDENTRIES)},
      {"ActiveOnly", Num(GLO_ACTIVEONLY)},
      {"ExclHidden", Num(GLO_EXCLUDEHIDDENWINDOWS)},
      {"Sender", Text(EMAIL_SENDER)},
      {"SenderName", Text(EMAIL_SENDERNAME)},
      {"Host", Text(EMAIL_HOST)},
      {"Org", Text(EMAIL_ORGANIZATION)},
      {"NSender", Text(NEWS_SENDER)},
      {"NSenderName", Text(NEWS_SENDERNAME)},
      {"NHost", Text(NEWS_HOST)},
      {"NOrg", Text(NEWS_ORGANIZATION)},
      {"RepeatAlarmInterval", Num(REPEATALARMINTERVAL)},
      {"MaxAlarmTime", Num(MAXALARMTIME)},
      {"SnoozeInterval", Num(SNOOZEINTERVAL)},
  };
  return keys;
}

const std::vector<Saved>& DisplayKeys() {
  static const std::vector<Saved> keys = {
      {"DateFormat", Text(GLO_DATEFORMAT)}, {"CM:Mode", Text(GLO_AUTOCLIPBOARDMODE)},
      {"CM:OnTop", Num(GLO_CMONTOP)},       {"CM:UseEx", Num(GLO_USEEXTERNALCLIPBOARDMANAGER)},
      {"MaxLogSize", Num(GLO_MAXLOGSIZE)},
  };
  return keys;
}

// Writes through one batch of the store: the window's keys are one write, not one each.
void InOneBatch(const std::function<void()>& writes) {
  const bool opened = ACCESS_CONFIGURATION->TryOpen() == 0;
  if (opened) ACCESS_CONFIGURATION->file().Stream();
  writes();
  if (opened) {
    ACCESS_CONFIGURATION->file().Flush();
    ACCESS_CONFIGURATION->Close();
  }
}

}  // namespace

std::vector<std::string_view> SavedSettingKeys() {
  std::vector<std::string_view> out;
  for (const Saved& s : SettingKeys()) out.push_back(s.key);
  out.insert(out.end(), {"ScriptingDelay", "BurstSize"});
  for (const Saved& s : DisplayKeys()) out.push_back(s.key);
  return out;
}

void SaveSettings(std::int32_t send_interval, std::int32_t send_group) {
  // Repeating an alarm more often than every 5 seconds would leave no time to answer it.
  if (REPEATALARMINTERVAL != 0 && REPEATALARMINTERVAL < 5) REPEATALARMINTERVAL = 5;
  InOneBatch([&] {
    for (const Saved& s : SettingKeys()) SetConfigValue(s.key, s.value());
    SetConfigValue("ScriptingDelay", N(send_interval));
    SetConfigValue("BurstSize", N(send_group));
  });
  // The store keeps what was typed; the running program uses the floors.
  GLOBALDELAY = static_cast<std::int32_t>(Number(GetConfigValue("ScriptingDelay")));
  if (GLOBALDELAY < 25) GLOBALDELAY = 25;
  BURSTSIZE = static_cast<std::uint8_t>(Number(GetConfigValue("BurstSize")));
  if (BURSTSIZE == 0) BURSTSIZE = 7;
}

void SaveDisplaySettings() {
  InOneBatch([] {
    for (const Saved& s : DisplayKeys()) SetConfigValue(s.key, s.value());
  });
}

}  // namespace vx
