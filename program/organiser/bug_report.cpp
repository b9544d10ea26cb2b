#include "program/organiser/bug_report.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "datadll/dictionary/configuration_table.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/user_tables.h"
#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "program/common/config_store.h"
#include "program/common/write_log.h"
#include "program/organiser/send_email_message.h"
#include "program/organiser/send_mail_class.h"
#include "program/script_engine/script_variables.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/dates.h"
#include "runtime/fixed_string.h"
#include "runtime/pictures.h"
#include "runtime/storage/data_file_copy.h"
#include "runtime/storage/stored_name.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr std::size_t kDumpLine = 80;
constexpr std::size_t kBodyText = 9999;
constexpr const char* kDatabase = "VX97.TPS";
constexpr const char* kEventLog = "VX98EVNT.LOG";
constexpr const char* kVariableNotSent = "=(value not sent)";
constexpr const char* kSeparator = "\r\n--------------Internal Information------------\r\n";

template <std::size_t N>
std::function<std::string()> Text(const String<N>& value) {
  return [&value] { return value.str(); };
}
template <std::size_t N>
std::function<std::string()> Text(const CString<N>& value) {
  return [&value] { return value.str(); };
}
std::function<std::string()> Text(const std::string& value) {
  return [&value] { return value; };
}
template <typename T>
std::function<std::string()> Number(const T& value) {
  return [&value] { return std::to_string(static_cast<long long>(value)); };
}

// The settings of the dump in the order support reads them. The news password and the lock
// password are left out: the report travels as plain mail.
const std::vector<std::pair<const char*, std::function<std::string()>>>& DumpTable() {
  static const std::vector<std::pair<const char*, std::function<std::string()>>> table = {
      {"ASCIIFileName", Text(ASCIIFILENAME)},
      {"BrowseThreadNo", Number(BROWSETHREADNO)},
      {"BurstSize", Number(BURSTSIZE)},
      {"CheckedClipboard", Number(CHECKEDCLIPBOARD)},
      {"CheckedHistory", Number(CHECKEDHISTORY)},
      {"DebugMode", Number(DEBUGMODE)},
      {"Email:Host", Text(EMAIL_HOST)},
      {"Email:Organization", Text(EMAIL_ORGANIZATION)},
      {"Email:Sender", Text(EMAIL_SENDER)},
      {"Email:SenderName", Text(EMAIL_SENDERNAME)},
      {"FrameHandle", Number(FRAMEHANDLE)},
      {"FullSchedule", Number(FULLSCHEDULE)},
      {"GlobalActiveOnly", Number(GLO_ACTIVEONLY)},
      {"GlobalAlarmFile", Text(GLO_ALARMFILE)},
      {"GlobalCategory", Text(GLO_CATEGORY)},
      {"GlobalCopyMode", Number(GLO_COPYMODE)},
      {"GlobalDateFormat", Text(GLO_DATEFORMAT)},
      {"GlobalDateFrom", Number(GLO_DATEFROM)},
      {"GlobalDateTo", Number(GLO_DATETO)},
      {"GlobalDateToUse", Text(GLO_DATETOUSE)},
      {"GlobalDescription", Text(GLO_DESCRIPTION)},
      {"GlobalExportName", Text(GLO_EXPORTNAME)},
      {"GlobalMessage", Text(GLO_MESSAGE)},
      {"GlobalReplyPath", Text(GLO_REPLYPATH)},
      {"GlobalScriptWizardMode", Number(GLO_SCRIPTWIZARDMODE)},
      {"GlobalVXFilename", Text(GLO_VXFILENAME)},
      {"GlobalSyncScheduleFilename", Text(GLO_SYNCSCHEDULEFILENAME)},
      {"GlobalSyncScriptingFilename", Text(GLO_SYNCSCRIPTINGFILENAME)},
      {"GlobalSyncTodoFilename", Text(GLO_SYNCTODOFILENAME)},
      {"GlobalUseLog", Number(GLO_USELOG)},
      {"GlobalDelay", Number(GLOBALDELAY)},
      {"GlobalFilter", Text(GLOBALFILTER)},
      {"GlobalOrder", Text(GLOBALORDER)},
      {"GlobalRequest", [] { return std::to_string(GLOBALREQUEST); }},
      {"GlobalResponse", [] { return std::to_string(GLOBALRESPONSE); }},
      {"HideToolbar", Number(HIDETOOLBAR)},
      {"HistoryExpires", Number(HISTORYEXPIRES)},
      {"ININame", Text(ININAME)},
      {"lpDirectory", Text(LPDIRECTORY)},
      {"lpFile", Text(LPFILE)},
      {"lpOperation", Text(LPOPERATION)},
      {"lpParameters", Text(LPPARAMETERS)},
      {"MailProgressText", Text(MAILPROGRESSTEXT)},
      {"MaxAlarmTime", Number(MAXALARMTIME)},
      {"MaxClipboardEntries", Number(MAXCLIPBOARDENTRIES)},
      {"MaximizeOnRun", Number(MAXIMIZEONRUN)},
      {"MinimizeOnCloseRequest", Number(MINIMIZEONCLOSEREQUEST)},
      {"MonitorClipboard", Number(MONITORCLIPBOARD)},
      {"MultiUser", Number(MULTIUSER)},
      {"News:Host", Text(NEWS_HOST)},
      {"News:Organization", Text(NEWS_ORGANIZATION)},
      {"News:Sender", Text(NEWS_SENDER)},
      {"News:SenderName", Text(NEWS_SENDERNAME)},
      {"News:User", Text(NEWS_USER)},
      {"NoTray", Number(NOTRAY)},
      {"nShowCmd", Number(NSHOWCMD)},
      {"NTService", Number(NTSERVICE)},
      {"OriginalPath", Text(ORIGINALPATH)},
      {"ParentHandle", Number(PARENTHANDLE)},
      {"ProductName", Text(PRODUCTNAME)},
      {"RemoveUncompleted", Number(REMOVEUNCOMPLETED)},
      {"RepeatAlarmInterval", Number(REPEATALARMINTERVAL)},
      {"ReportIncludeFutureOccurances", Number(REPORTINCLUDEFUTUREOCCURANCES)},
      {"ReportPredict", Number(REPORTPREDICT)},
      {"SavePath", Text(SAVEPATH)},
      {"SaveScripts", Number(SAVESCRIPTS)},
      {"ScheduleWorkfileName", Text(GLO_SCHEDULEWORKFILENAME)},
      {"SnoozeInterval", Number(SNOOZEINTERVAL)},
      {"StartUpActive", Number(STARTUPACTIVE)},
      {"StartupClipboardSaver", Number(STARTUPCLIPBOARDSAVER)},
      {"StartupContacts", Number(STARTUPCONTACTS)},
      {"StartUpMinimized", Number(STARTUPMINIMIZED)},
      {"StartUpSchedule", Number(STARTUPSCHEDULE)},
      {"StartUpTodo", Number(STARTUPTODO)},
      {"TempScriptingActive", Number(TEMPSCRIPTINGACTIVE)},
      {"ThreadCount", Number(THREADCOUNT)},
      {"TempCategorySelect", Text(TMP_CATEGORYSELECT)},
      {"TempCategorySelected", Text(TMP_CATEGORYSELECTED)},
      {"TempDateFrom", Number(TMP_DATEFROM)},
      {"TempDateSelect", Text(TMP_DATESELECT)},
      {"TempDateTo", Number(TMP_DATETO)},
      {"TempOrderSelect", Text(TMP_ORDERSELECT)},
      {"TranslateFilenames", Number(TRANSLATEFILENAMES)},
      {"UseExternalMessage", Number(USEEXTERNALMESSAGE)},
      {"UseModalMessage", Number(USEMODALMESSAGE)},
      {"UserID", Text(USERID)},
      {"UserName", Text(USERNAME)},
      {"UseWinMessage", Number(USEWINMESSAGE)},
      {"VCRRequest", [] { return std::to_string(VCRREQUEST); }},
      {"VersionNumber", Text(VERSIONNUMBER)},
      {"WizardThreadCount", Number(WIZARDTHREADCOUNT)},
      {"WizardThreadNo", Number(WIZARDTHREADNO)},
  };
  return table;
}

std::string Cut(std::string_view text, std::size_t size) {
  return std::string(CutUtf8(text, size));
}

// The data folder's entries: name, date (mm-dd-yy) and time (hh:mm) of each, CR LF after each.
std::string FolderListing() {
  std::string out;
  std::error_code ec;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::current_path(ec), ec)) {
    struct stat info {};
    if (::stat(entry.path().c_str(), &info) != 0) continue;
    const std::time_t t = info.st_mtime;
    std::tm local{};
    localtime_r(&t, &local);
    const std::int64_t date = DATE(local.tm_mon + 1, local.tm_mday, local.tm_year + 1900);
    const std::int64_t time = MakeTime(local.tm_hour, local.tm_min, local.tm_sec);
    out += entry.path().filename().string() + " " + FORMAT(date, "@D1-") + " " +
           FORMAT(time, "@T1") + "\r\n";
  }
  return out;
}

class DumpList final : public ListSource {
 public:
  explicit DumpList(const std::vector<std::string>& lines) : lines_(lines) {}
  std::size_t Records() const override { return lines_.size(); }
  std::vector<std::string> Fields(std::size_t row) const override { return {lines_[row]}; }

 private:
  const std::vector<std::string>& lines_;
};

// A copy of the database for support, with every stored secret emptied: the users' passwords,
// the messages' news passwords, the system lock password, and the log-in (user name and
// password, 128 characters each) that an FTP step keeps in its DDE topic; a file action's
// DDE command is emptied too, as a transfer step made ready to start keeps its password there.
// The path of the copy, or empty when it could not be made.
std::filesystem::path DatabaseCopy(const std::filesystem::path& folder) {
  const std::filesystem::path copy = folder / kDatabase;
  const std::vector<storage::BlankedFields> blanked = {
      {&USERS_TABLE(), {"PASSWORD", "CONFIRMPASSWORD"}},
      {&MESSAGES_TABLE(), {"NEWS_PASSWORD"}},
      {&CONFIGURATION_TABLE(), {"DATAVALUE"}, "DATATYPE", "SysPwd"},
      {&SCRIPTING_TABLE(), {"DDEApplicationTopic", "DDECommand"}, "Action", "File Actions"},
  };
  if (!storage::CopyDataFileBlanking(USERS_TABLE(), copy, blanked)) return {};
  return copy;
}

}  // namespace

std::string SupportAddress() {
  std::string address = GetConfigValue("SupportAddress", kDefaultSupportAddress);
  return ClipView(address).empty() ? kDefaultSupportAddress : std::string(ClipView(address));
}

std::vector<std::string> BugReportDump() {
  std::vector<std::string> lines;
  for (const auto& [name, value] : DumpTable())
    lines.push_back(Cut(std::string(name) + "=" + value(), kDumpLine));
  // A script variable may hold anything a script read or was given, a password among them:
  // support sees which variables there are, not what they hold.
  for (const VARQ_RECORD& v : VARQ)
    lines.push_back(Cut(std::string(v.NAME.clipped()) + kVariableNotSent, kDumpLine));
  return lines;
}

void BugReport() {
  std::string comment;
  std::vector<std::string> dump;
  DumpList dump_rows(dump);
  std::uint8_t full_database = 0;
  std::uint8_t log_file = 0;
  std::int32_t clock = CLOCK();
  std::string support = SupportAddress();

  Window window("Bug Reporting");
  window.Prompt("Before proceeding, make sure that your return email address is correct:");
  window.Entry(EMAIL_SENDER, "@s255");
  window.Prompt("Enter your bug report or comments here:");
  window.Text(comment);
  window.Prompt("This information will be sent:");
  Control& list = window.List("108L(1)|@s80@").From(&dump_rows);
  list.SetText("Configuration");
  window.Prompt("Sent to:");
  window.Entry(support, "@s255").ReadOnly();
  Control& group = window.Group("Email Internal Information to Kestrova");
  const int database = group.Check("Include Full Database", full_database);
  group.Check("Include Log File", log_file);
  const int send = window.Button("&Send").Default();
  const int reset = window.Button("&Reset");
  const int close = window.Button("Cl&ose");
  Control& clock_field = window.String(clock, "@T6");
  window.Timer(100);

  // Only the clock and the list are shown again: text being typed elsewhere stays as it is.
  const auto refresh = [&] {
    clock = CLOCK();
    clock_field.Display();
    if (dump.empty()) {
      dump = BugReportDump();
      list.Display();
    }
  };

  WindowManager manager(window);
  const WindowProcedureScope scope("BugReport", manager);
  scope.KeepPlaceWhenMoved();
  manager.CancelControl = close;
  manager.On(EVENT_OpenWindow, refresh);
  manager.On(EVENT_Timer, refresh);
  manager.OnAccepted(reset, [&] {
    dump.clear();
    list.Display();
  });
  manager.OnAccepted(database, [&] {
    window.Update();
    if (full_database == 0) return;
    if (MESSAGE(
            "The database holds your tasks, scripts, contacts and messages as they are. The "
            "passwords it "
            "keeps (the users', the system lock's, the news servers' and the FTP log-ins of script "
            "steps) are emptied in the copy that is sent.\n\nInclude the database?",
            "Include Full Database", MessageIcon::Question, BUTTON_YES | BUTTON_NO,
            BUTTON_NO) != BUTTON_YES) {
      full_database = 0;
      window.Display();
    }
  });
  manager.OnAccepted(close, [&] { manager.PostClose(); });
  manager.OnAccepted(send, [&] {
    window.Update();
    // The report and what was typed stay on screen while the settings are made in Options.
    if (const std::string not_set_up = MailNotSetUpText("The bug report", "Send");
        !not_set_up.empty()) {
      MESSAGE(not_set_up, "Email Not Set Up", MessageIcon::Exclamation);
      return;
    }
    if (dump.empty()) dump = BugReportDump();
    SENDMAILCLASS mail;
    FillMailSender(mail, PRODUCTNAME.clipped(), true);
    mail.SETSUBJECT("Varnodex:  Support for " + std::string(EMAIL_SENDERNAME.clipped()));
    mail.ADDTO(support, M_.EmailToName.clipped());
    std::string body = std::string(ClipView(comment)) + kSeparator;
    for (const std::string& line : dump) body += std::string(ClipView(line)) + "\r\n";
    body += FolderListing();
    mail.SETMESSAGETEXT(CutUtf8(body, kBodyText), 6);

    std::error_code ec;
    // A new folder of this user's alone (mkdtemp: 0700, never a name planted in the shared
    // temporary folder) holds the copy until it is sent.
    std::string scratch_name =
        (std::filesystem::temp_directory_path(ec) / "vx-report-XXXXXX").string();
    const std::filesystem::path scratch =
        ::mkdtemp(scratch_name.data()) != nullptr ? scratch_name : "";
    std::int32_t result = 0;
    std::string error;
    if (full_database != 0) {
      const std::filesystem::path copy = scratch.empty() ? scratch : DatabaseCopy(scratch);
      if (copy.empty()) {
        result = MAIL_NOMAILFILE;
        error = "The database could not be copied.";
      } else {
        mail.ADDATTACHMENT(copy.string(), 8);
      }
    }
    if (log_file != 0) {
      // The log exists only once logging has been on; its name on disk may differ in case.
      const std::string log = storage::ResolveOnDisk(kEventLog);
      if (std::filesystem::exists(log, ec)) {
        mail.ADDATTACHMENT(log, 8);
      } else {
        mail.SETMESSAGETEXT(CutUtf8(body + "(no event log)\r\n", kBodyText), 6);
      }
    }
    if (result == 0) {
      MAILPROGRESSTEXT = "Sending Email...";
      result = mail.SEND();
      MAILPROGRESSTEXT = "";
      error = mail.ERRORTEXT(result);
    }
    if (!scratch.empty()) std::filesystem::remove_all(scratch, ec);
    mail.KILL();
    if (result != 0) {
      WriteLog("Error:  " + error, "Mail Error");
      WriteLog("Could not send to Kestrova", "Mail Error");
      SetScriptVariable("Error", "Mail");
      SetScriptVariable(error, "MailError");
      MESSAGE("The bug report was not sent.\n\n" + error, "Bug Reporting",
              MessageIcon::Exclamation);
      return;
    }
    WriteLog("Sent to Kestrova", "Mail");
    SetScriptVariable("Sent", "Mail");
    SetScriptVariable("None", "MailError");
    manager.PostClose();
  });
  manager.Run();
}

}  // namespace vx
