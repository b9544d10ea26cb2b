#include "program/admin/admin_windows.h"

#include <cstdint>
#include <string>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/colour_tab_class.h"
#include "framework/relation_manager.h"
#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "program/admin/date_format_choices.h"
#include "program/admin/load_email_defaults.h"
#include "program/admin/load_settings.h"
#include "program/admin/password_validation.h"
#include "program/admin/program_arguments.h"
#include "program/admin/save_settings.h"
#include "program/admin/test_mail_settings.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/fixed_string.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr const char* kSkipInfo =
    "Tasks will be skipped if the system date is greater than the task date by the number of days "
    "set here "
    "(default is 1).  Varnodex will optionally issue a warning (determined by the \"Warn if not "
    "run on specified "
    "date\" checkbox in Update Schedule, Advanced Settings).";
constexpr const char* kTranslateInfo =
    "This applies to starting programs from within scripting.  When \"Display Message\", \"File "
    "Action\", and "
    "\"Send Email\" script actions are processed, the file names and paths are \"translated\" "
    "using the values set "
    "internally or by the \"Set Value\" script action.\r\rAn example would be to copy a file to "
    "another file named "
    "using today's date: \"File Action: Copy File /home/ann/report.txt "
    "/home/ann/Backup/[DATE].txt\". \r\rLeave this "
    "option unchecked if "
    "you need to send a literal \"[\" to the programs you are starting. ";
constexpr const char* kNoSixteenBitPrograms =
    "Linux starts every program in a process of its own and has no 16-bit programs, so this "
    "setting changes nothing here.";
constexpr const char* kDateFormatNotice =
    "Date format changes will not affect currently open windows.  You can close and re-open "
    "windows, or exit and "
    "restart Varnodex to view information using the new date format.";

class OptionsWindow final : public WindowManager {
 public:
  explicit OptionsWindow(Window& window) : WindowManager(window) {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;
  Level TakeCompleted() override;

  bool saved() const { return saved_; }

 private:
  // A number entry with the text that follows it on the same row.
  template <class T>
  void Number(Control& tab, std::string_view prompt, T& value, std::string_view picture, long low,
              long high, std::string_view after = {}, int* button = nullptr,
              std::string_view button_text = {});
  void ShowPasswordEntries();
  void ShowStayOnTop();
  bool Save();

  COLOURTABCLASS tabs_;
  String<20> date_choice_;
  std::string opened_choice_;
  String<32> password_;
  String<32> confirm_;
  std::int32_t send_interval_ = 0;
  std::int32_t send_group_ = 0;
  std::vector<RelationManager*> opened_;  // the tables this window opened, closed by Kill
  bool saved_ = false;
  int sheet_ = 0, date_list_ = 0, skip_info_ = 0, translate_info_ = 0, test_mail_ = 0;
  int locked_ = 0, password_entry_ = 0, confirm_entry_ = 0, external_cm_ = 0, cm_on_top_ = 0;
};

template <class T>
void OptionsWindow::Number(Control& tab, std::string_view prompt, T& value,
                           std::string_view picture, long low, long high, std::string_view after,
                           int* button, std::string_view button_text) {
  tab.Prompt(prompt);
  Control& row = tab.Row();
  row.Spin(value, picture, low, high);
  // As a label, the unit stays beside its number (a text in a row would spread across it).
  if (!after.empty()) row.Prompt(after);
  if (button != nullptr) *button = row.Button(button_text);
}

void OptionsWindow::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;

  Control& start_up = sheet.Tab("&Start Up");
  Control& defaults = start_up.Group("\"View Schedule\" Defaults");
  defaults.Check("Show Schedule at start up ", STARTUPSCHEDULE);
  defaults.Check("Show full schedule initially (\"All By Date\" tab) ", FULLSCHEDULE);
  defaults.Check("Only show active tasks initially ", GLO_ACTIVEONLY);
  start_up.Check("Show To Do List at start up ", STARTUPTODO);
  start_up.Check("Show Contacts at start up ", STARTUPCONTACTS);
  start_up.Check("Show Clipboard Manager at start up ", STARTUPCLIPBOARDSAVER);
  start_up.Check("Minimize at start up ", STARTUPMINIMIZED);

  Control& general = sheet.Tab("&General");
  general.Prompt("Display date in format:");
  date_list_ = general.DropList(date_choice_);
  general.Check("Do not place in tray when minimized ", NOTRAY);
  general.Check("Restore for \"Run Program\" tasks ", MAXIMIZEONRUN);
  general.Check("Minimize to system tray instead of exiting ", MINIMIZEONCLOSEREQUEST)
      .Tip(
          "Closing the main window leaves Varnodex running in the tray, so that tasks still "
          "run; File, Exit asks, then ends it");
  Number(general, "Skip tasks if overdue by", SKIPIFDAYSPASSED, "@n4", 0, 9999, "day(s)",
         &skip_info_, "Info");

  Control& messages = sheet.Tab("&Messages");
  messages.Check("Use external message program (\"start in new process\") ", USEEXTERNALMESSAGE);
  messages.Check("Use \"Stay on top\" attribute for message windows", USEMODALMESSAGE);
  Number(messages, "Repeat alarms every # seconds:", REPEATALARMINTERVAL, "@n5", 0, 86400,
         "(0=do not repeat)");
  Number(messages, "Maximum alarm time (minutes):", MAXALARMTIME, "@n5", 0, 99999, "(0=infinite)");
  Number(messages, "Snooze interval (minutes):", SNOOZEINTERVAL, "@n5", 0, 99999, "(0=default)");

  Control& history = sheet.Tab("&History");
  Number(history, "Remove completed tasks after", HISTORYEXPIRES, "@n-5", -1, 99999, "days");
  history.String("0 = never remove completed tasks.");
  history.String("-1 = remove completed tasks immediately");
  history.Check("Also remove uncompleted tasks ", REMOVEUNCOMPLETED);
  history.Check("Log events to ASCII &text file ", GLO_USELOG);
  history.Check("Log exit codes", GLO_LOGEXITCODES);

  Control& scripting = sheet.Tab("Scr&ipting");
  Number(scripting, "Send Interval (1/100ths of a second):", send_interval_, "@n5", 0, 99999);
  scripting.Check("Save script information on completed tasks ", SAVESCRIPTS);
  Control& translate_row = scripting.Row();
  translate_row.Check("Translate \"values\" when starting a program ", TRANSLATEFILENAMES);
  translate_info_ = translate_row.Button("Info");
  scripting.Check("Exclude hidden windows in comparisons and lists", GLO_EXCLUDEHIDDENWINDOWS);
  // The setting is kept for data folders shared with older installations, but Linux starts
  // every program in a process of its own and runs no 16-bit programs: it can change nothing.
  scripting.Check("Start each 16-bit application in a new process", NEWPROC16)
      .Disable()
      .Tip(kNoSixteenBitPrograms);
  Number(scripting, "Maximum number of characters per send group:", send_group_, "@n3", 0, 255);

  Control& clipboard = sheet.Tab("&Clipboard");
  clipboard.Check("Monitor clipboard ", MONITORCLIPBOARD);
  Number(clipboard, "Maximum number of entries to retain:", MAXCLIPBOARDENTRIES, "@n5", 0, 99999);
  external_cm_ = clipboard.Check("Use external Clipboard Manager", GLO_USEEXTERNALCLIPBOARDMANAGER);
  cm_on_top_ = clipboard.Check("Stay on top (external Clipboard manager only)", GLO_CMONTOP);

  Control& email = sheet.Tab("&Email");
  email.Prompt("Your name (Ann Lee):");
  email.Entry(EMAIL_SENDERNAME, "@s255");
  email.Prompt("E-mail reply-to address (ann@example.com):");
  email.Entry(EMAIL_SENDER, "@s255");
  email.Prompt("SMTP mail host (mail.example.com):");
  email.Entry(EMAIL_HOST, "@s255");
  email.Prompt("News reply-to address (ann@example.com):");
  email.Entry(NEWS_SENDER, "@s255");
  email.Prompt("News host (news.example.com):");
  email.Entry(NEWS_HOST, "@s255");
  test_mail_ = email.Button("&Test Settings");

  Control& security = sheet.Tab("Secu&rity");
  security.String("If the system is locked, you will need to enter a password");
  security.String("before you will be allowed to add, change, or delete tasks.");
  locked_ = security.Check("System Locked", SYSLOCK);
  security.Prompt("Password to lock/unlock system:");
  password_entry_ = security.Entry(password_, "@s32").Password();
  security.Prompt("Confirm password:");
  confirm_entry_ = security.Entry(confirm_, "@s32").Password();

  w.Check("Scheduler &active ", STARTUPACTIVE);
  OkControl = w.Button("OK").Default();
  CancelControl = w.Button("Cancel");
  w.SetCancelButton(CancelControl);
}

Level OptionsWindow::Init() {
  WindowManager::Init();
  password_ = SYSPWD.view();
  confirm_ = SYSPWD.view();
  SetCurrentRequest(0);
  SetCurrentResponse(0);
  for (RelationManager* table : {RELATE_CONFIGURATION, RELATE_SCHEDULE, RELATE_TODO}) {
    if (table->Open() == 0) opened_.push_back(table);
  }
  send_interval_ = GLOBALDELAY;
  send_group_ = BURSTSIZE;
  // Empty mail settings show what the desktop's mail account says.
  LoadEmailDefaults();

  // The stored date picture shows under its name, also one the list no longer offers.
  std::string items;
  for (std::string_view choice : OfferedDateFormats())
    items += (items.empty() ? "" : "|") + std::string(choice);
  opened_choice_ = DateFormatChoice(GLO_DATEFORMAT.clipped());
  bool offered = false;
  for (std::string_view choice : OfferedDateFormats())
    offered = offered || choice == opened_choice_;
  if (!opened_choice_.empty() && !offered) items += "|" + opened_choice_;
  window()[date_list_].From(items);
  date_choice_ = opened_choice_;

  Open();
  ShowPasswordEntries();
  ShowStayOnTop();
  tabs_.INIT(window(), -1, -1, 0, 0, 1, -1, kOtherTabColour);
  tabs_.COLOURTABS();
  return Level_Benign;
}

Level OptionsWindow::Kill() {
  tabs_.KILL();
  WindowManager::Kill();
  for (RelationManager* table : opened_) table->Close();
  return Level_Benign;
}

void OptionsWindow::ShowPasswordEntries() {
  window()[password_entry_].Enable(SYSLOCK != 0);
  window()[confirm_entry_].Enable(SYSLOCK != 0);
}

void OptionsWindow::ShowStayOnTop() {
  window()[cm_on_top_].Enable(GLO_USEEXTERNALCLIPBOARDMANAGER != 0);
}

bool OptionsWindow::Save() {
  Update();
  if (SYSLOCK != 0) {
    // A lock whose password is empty would let anybody in with an empty answer.
    if (password_.blank()) {
      MESSAGE("Enter a password to lock the system.", "Error", MessageIcon::Exclamation);
      window()[sheet_].Choose(8);
      window().Select(password_entry_);
      return false;
    }
    if (password_.view() != confirm_.view()) {
      MESSAGE("The system lock passwords do not match.", "Error", MessageIcon::Exclamation);
      window()[sheet_].Choose(8);
      window().Select(password_entry_);
      return false;
    }
    SYSPWD = password_.view();
  }
  SaveSettings(send_interval_, send_group_);
  const std::string choice(date_choice_.clipped());
  if (choice != opened_choice_) MESSAGE(kDateFormatNotice, "Information", MessageIcon::Information);
  if (const auto picture = DateFormatPicture(choice)) GLO_DATEFORMAT = *picture;
  SaveDisplaySettings();
  return true;
}

Level OptionsWindow::TakeAccepted() {
  const int control = ACCEPTED();
  if (control == locked_) {
    ShowPasswordEntries();
  } else if (control == external_cm_) {
    ShowStayOnTop();
  } else if (control == skip_info_) {
    MESSAGE(kSkipInfo, "Note", MessageIcon::Information);
  } else if (control == translate_info_) {
    MESSAGE(kTranslateInfo, "Info", MessageIcon::Information);
  } else if (control == test_mail_) {
    Update();
    TestMailSettings();
  }
  return WindowManager::TakeAccepted();
}

// Not the base's: it would store the screen again over the floors Save applied.
Level OptionsWindow::TakeCompleted() {
  if (!Save()) return Level_Notify;
  saved_ = true;
  Response = RequestCompleted;
  PostClose();
  return Level_Notify;
}

Level OptionsWindow::TakeNewSelection() {
  if (FIELD() == sheet_) tabs_.COLOURTABS();
  return WindowManager::TakeNewSelection();
}

}  // namespace

void Setup() {
  if (fPasswordValidation() == 0) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  if (HasCommandSwitch("/I") && !HasCommandSwitch("/CONFIG")) {
    MESSAGE("The task scheduler has been \"inactivated\" using the /I command line parameter.",
            "Warning", MessageIcon::Exclamation);
  }
  Window window("Options");
  OptionsWindow manager(window);
  manager.Build();
  const WindowProcedureScope scope("Setup", manager);
  manager.Run();
  // Anything but OK throws the edits of the live settings away.
  if (!manager.saved()) LoadSettings();
}

}  // namespace vx
