#include "program/schedule/update_schedule.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <unordered_map>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "datadll/utility/colour_tab_class.h"
#include "datadll/utility/form_wizard_class.h"
#include "framework/file_error_sink.h"
#include "framework/request_globals.h"
#include "program/admin/password_validation.h"
#include "program/common/calendar.h"
#include "program/common/config_store.h"
#include "program/common/main_procedures.h"
#include "program/due_tasks/due_task.h"
#include "program/recurrence/recurrence.h"
#include "program/schedule/exceptions_window.h"
#include "program/schedule/program_pickers.h"
#include "program/schedule/task_defaults.h"
#include "program/schedule/task_form_rules.h"
#include "program/script_engine/describe_script_step.h"
#include "program/script_engine/script_tables.h"
#include "program/windows/format_date.h"
#include "program/windows/record_form.h"
#include "runtime/ini_file.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/text_rows.h"

namespace vx {
namespace {

constexpr const char* kUnits = "minute(s)|hour(s)|day(s)|week(s)|month(s)|year(s)";
constexpr const char* kRepeats = "Once|Twice - 1st, 15th|Twice - 15th, Last";
constexpr const char* kOffsetTips =
    "The offset moves the days of a task that runs twice a month.\r\r"
    "An offset of 3 on \"Twice - 1st, 15th\" runs the task on the 4th and the 18th of every "
    "month.\r\r"
    "An offset of -1 on \"Twice - 15th, Last\" runs it on the 14th and on the second-last day of "
    "every month.";

// How the form was started.
struct TaskFormMode {
  bool special = false;  // a special event made from the task in the buffer
  bool wizard = false;   // a new task of a given type, paged
  bool copy = false;     // a new task primed as a copy of another
  bool insert = false;
  SCHEDULE_RECORD source;  // the task a special event was made from
  SCHEDULE_RECORD opened;  // the task as its form opened, once the form has laid it out
};

class TaskForm final : public RecordForm {
 public:
  TaskForm(Window& window, TaskFormMode& mode)
      : RecordForm(window, "UpdateSchedule", *RELATE_SCHEDULE, "Task"), mode_(mode) {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;
  Level TakeCompleted() override;
  bool StoreTask();

 private:
  void BuildSpecialEvent(Control& sheet);
  void BuildBasics(Control& sheet);
  void BuildProgram(Control& sheet);
  void BuildMessage(Control& sheet);
  void BuildScheduling(Control& sheet);
  void BuildUsers(Control& sheet);
  void BuildOptions(Control& sheet);

  void BuildReactions();

  void ShowTabs();
  void ShowScheduleControls();
  void ShowMonthEnd();
  void ShowAlarm();
  void ShowTitle();
  void ReloadSteps();
  void ReloadUsers();
  void PickDate(std::int32_t& date, std::string_view mode, std::string_view title, int field);
  void StartDateAccepted();
  void EndAccepted();
  void WarningAccepted();
  void AlarmAccepted();
  void PlayWav();
  void RunScripting();
  void EditTaskUser();
  bool Editing() const { return Request == InsertRecord || Request == ChangeRecord; }
  std::string SelectedRow(const Control& list, const TextRows& rows) const;

  TaskFormMode& mode_;
  std::unordered_map<int, std::function<void()>> reactions_;  // by control number
  FORMWIZARDCLASS wizard_;
  COLOURTABCLASS tabs_;
  TextRows steps_, users_, task_users_;
  ShownWarning shown_warning_;
  bool paged_ = false;  // the pager knows the sheet

  int sheet_ = 0, back_ = 0, next_ = 0;
  int special_tab_ = 0, basics_tab_ = 0, program_tab_ = 0, message_tab_ = 0, scheduling_tab_ = 0;
  int users_tab_ = 0, options_tab_ = 0;
  // Special Event tab.
  int special_date_ = 0, special_time_ = 0, special_calendar_ = 0, special_warn_date_ = 0,
      special_warn_time_ = 0, special_warn_calendar_ = 0;
  // Task Basics and the two work tabs.
  int type_ = 0, description_ = 0, basics_message_prompt_ = 0, basics_message_ = 0;
  int command_ = 0, command_button_ = 0, folder_button_ = 0, message_ = 0;
  // Scheduling tab.
  int perform_ = 0, weeks_prompt_ = 0, weeks_ = 0, month_end_ = 0, days_prompt_ = 0, days_ = 0;
  std::vector<int> week_checks_, day_checks_;
  int every_prompt_ = 0, every_row_ = 0, every_ = 0, unit_ = 0;
  int repeat_prompt_ = 0, repeat_row_ = 0, repeat_ = 0, offset_prompt_ = 0, offset_ = 0, tips_ = 0;
  int except_ = 0, start_date_ = 0, start_time_prompt_ = 0, start_time_ = 0, start_calendar_ = 0;
  int end_date_ = 0, end_time_ = 0, end_calendar_ = 0;
  int last_prompt_ = 0, last_row_ = 0;
  int warn_date_ = 0, warn_time_ = 0, warn_calendar_ = 0;
  // The script list and the Users tab.
  int steps_list_ = 0, scripting_ = 0;
  int users_list_ = 0, task_users_list_ = 0, add_all_ = 0, add_one_ = 0, remove_one_ = 0,
      remove_all_ = 0, user_details_ = 0;
  // Options tab.
  int alarm_ = 0, wav_ = 0, wav_browse_ = 0, wav_play_ = 0;
};

// A date with its time and a calendar button beside it, after a prompt.
struct DateRow {
  int date, time_prompt, time, calendar;
};

DateRow MakeDateRow(Control& tab, std::string_view prompt, std::int32_t& date, std::int32_t& time,
                    std::string_view time_prompt, std::string_view tip) {
  tab.Prompt(prompt);
  Control& row = tab.Row();
  DateRow out{};
  out.date = row.Entry(date, DatePicture() + "b");
  out.time_prompt = row.Prompt(time_prompt);
  out.time = row.Entry(time, "@t7b");
  out.calendar = row.Button("...").Icon("~calendar.ico").Tip(tip);
  return out;
}

void TaskForm::BuildSpecialEvent(Control& sheet) {
  Control& tab = sheet.Tab("Special Event");
  special_tab_ = tab;
  tab.String("Rescheduling").Set(Prop::FontStyle, 700L);
  const DateRow next =
      MakeDateRow(tab, "N&ext occurrence:", SCH.Date, SCH.Time, "&Time:", "Reschedule for...");
  special_date_ = next.date;
  special_time_ = next.time;
  special_calendar_ = next.calendar;
  tab.Check("&Skip next regular occurrence of this task", SCH.SkipNextTime);
  const DateRow warn = MakeDateRow(tab, "&Advance warning:", SCH.AdvanceWarnDate,
                                   SCH.AdvanceWarnTime, "Time:", "Reschedule for...");
  special_warn_date_ = warn.date;
  special_warn_time_ = warn.time;
  special_warn_calendar_ = warn.calendar;
  window()[special_date_].Required();
  window()[special_time_].Required();
}

// Hot letters are unique on each page, the Back, Next and OK buttons included, so that Alt with
// a letter always acts at once.
void TaskForm::BuildBasics(Control& sheet) {
  Control& tab = sheet.Tab("Task Basics");
  basics_tab_ = tab;
  Control& type = tab.Option("Task Type", SCH.TaskType);
  type.Arrange(Arrangement::Row);
  type.Radio("&Start Program", kRunProgram).Tip("Run a program or open a document");
  type.Radio("Displa&y Message", kDisplayMessage).Tip("Show a message");
  type.Radio("Bot&h", kBoth).Tip("Run a program and show a message");
  type.Radio("Non&e", kReminder).Tip("A reminder for the day, without a time");
  type_ = type;
  tab.Prompt("&Category:");
  std::string categories;
  for (const std::string& name : CategoryNames())
    categories += (categories.empty() ? "" : "|") + name;
  // Without any category a task goes to "General", as saving would put it.
  if (categories.empty() && SCH.Category.blank()) SCH.Category = "General";
  // A task stored in a category that no longer exists still shows it.
  if (!SCH.Category.blank() &&
      ("|" + categories + "|").find("|" + SCH.Category.str() + "|") == std::string::npos) {
    categories += (categories.empty() ? "" : "|") + SCH.Category.str();
  }
  tab.DropList(SCH.Category, categories).Tip("The category the task is listed under");
  tab.Prompt("&Description:");
  description_ = tab.Entry(SCH.Description, "@s40").Tip("How the task is named in the lists");
  basics_message_prompt_ = tab.Prompt("&Message:");
  basics_message_ =
      tab.Text(SCH.Message).Required().Tip("The message to show when the task falls due");
}

void TaskForm::BuildProgram(Control& sheet) {
  Control& tab = sheet.Tab("Start Program");
  program_tab_ = tab;
  // Each long prompt stands over its field, as one block of the tab's rows.
  Control& command_block = tab.Stacked();
  command_block.Prompt(
      "&Program or document to start (include command-line parameters if necessary):");
  Control& command_row = command_block.Row();
  command_ = command_row.Entry(SCH.Command, "@s255");
  command_button_ = command_row.Button("...").Icon("~open.ico").Tip("Choose a Program to Start");
  Control& folder_block = tab.Stacked();
  folder_block.Prompt("Folder to start program or document &in:");
  Control& folder_row = folder_block.Row();
  folder_row.Entry(SCH.Path, "@s255");
  folder_button_ = folder_row.Button("...").Icon("~open.ico").Tip("Select Folder");
  tab.String("TIP:  If you just want to use scripting, enter \"N/A\" as the command above.");
  // The task's script: what it does after its program has started.
  tab.Prompt("Script steps:");
  steps_list_ =
      tab.List("30R(2)|M~Step~@n6@100L(2)|M~Action~@s27@160L(2)~Description~@s128@").From(&steps_);
  window()[steps_list_].Tip("The script steps of this task");
  scripting_ = tab.Button("&Scripting").Tip("Add, change and reorder the script steps");
}

void TaskForm::BuildMessage(Control& sheet) {
  Control& tab = sheet.Tab("Display Message");
  message_tab_ = tab;
  tab.Prompt("&Message:");
  message_ = tab.Text(SCH.Message).Required().Tip("The message to show when the task falls due");
}

void TaskForm::BuildScheduling(Control& sheet) {
  Control& tab = sheet.Tab("Scheduling");
  scheduling_tab_ = tab;
  Control& perform = tab.Option("&Perform", SCH.ScheduleType);
  perform.Arrange(Arrangement::Row);
  for (const char* kind : {"Once", "Day of Week", "Day of Month", "Monthly", "Yearly"})
    perform.Radio(kind);
  perform.Radio("Every...", "Custom");
  perform_ = perform;

  weeks_prompt_ = tab.Prompt("Weeks:");
  Control& weeks = tab.Row();
  weeks_ = weeks;
  week_checks_ = {weeks.Check("1st", SCH.Every1st), weeks.Check("2nd", SCH.Every2nd),
                  weeks.Check("3rd", SCH.Every3rd), weeks.Check("4th", SCH.Every4th),
                  weeks.Check("Last", SCH.EveryLast)};
  month_end_ = weeks.Check("Month End", SCH.LastDayOfMonth).Tip("The last day of every month");
  days_prompt_ = tab.Prompt("Days:");
  Control& days = tab.Row();
  days_ = days;
  day_checks_ = {days.Check("Sunday", SCH.Sunday),     days.Check("Monday", SCH.Monday),
                 days.Check("Tuesday", SCH.Tuesday),   days.Check("Wednesday", SCH.Wednesday),
                 days.Check("Thursday", SCH.Thursday), days.Check("Friday", SCH.Friday),
                 days.Check("Saturday", SCH.Saturday)};
  every_prompt_ = tab.Prompt("Ever&y...");
  Control& every = tab.Row();
  every_row_ = every;
  every_ = every.Entry(SCH.Every, "@n6").Required().Tip("How many units between two runs");
  unit_ = every.DropList(SCH.EveryType, kUnits);
  repeat_prompt_ = tab.Prompt("&Repeat (Per Month)");
  Control& repeat = tab.Row();
  repeat_row_ = repeat;
  repeat_ = repeat.DropList(SCH.MonthRepeat, kRepeats);
  offset_prompt_ = repeat.Prompt("Days to Offset:");
  offset_ = repeat.Entry(SCH.Offset, "@n-4");
  tips_ = repeat.Button("T&ips").Tip("Offset Tips");
  except_ = tab.Button("E&xcept").Tip("Days and times on which the task must not run");

  const DateRow start =
      MakeDateRow(tab, "&Start:", SCH.Date, SCH.Time, "&Time:", "Select Starting Date");
  start_date_ = start.date;
  start_time_prompt_ = start.time_prompt;
  start_time_ = start.time;
  start_calendar_ = start.calendar;
  window()[start_date_].Required();
  window()[start_time_].Required();
  const DateRow end = MakeDateRow(tab, "&End (blank=never):", SCH.ExpiryDate, SCH.ExpiryTime,
                                  "Time:", "Select Expiry Date");
  end_date_ = end.date;
  end_time_ = end.time;
  end_calendar_ = end.calendar;
  last_prompt_ = tab.Prompt("Last performed:");
  Control& last = tab.Row();
  last_row_ = last;
  last.String(SCH.LastRunDate, DatePicture() + "b");
  last.String(SCH.LastRunTime, "@t7b");
  tab.Check("S&kip next regular occurrence", SCH.SkipNextTime);
  const DateRow warn = MakeDateRow(tab, "&Advance warning:", SCH.AdvanceWarnDate,
                                   SCH.AdvanceWarnTime, "Time:", "Select Advanced Warning Date");
  warn_date_ = warn.date;
  warn_time_ = warn.time;
  warn_calendar_ = warn.calendar;
}

void TaskForm::BuildUsers(Control& sheet) {
  Control& tab = sheet.Tab("Users");
  users_tab_ = tab;
  tab.Arrange(Arrangement::Beside);
  Control& left = tab.Stacked();
  left.String("All Users");
  users_list_ = left.List("160L(2)~User~@s40@").From(&users_);
  Control& middle = tab.Stacked();
  add_all_ = middle.Button("Add All >>").Tip("Give every user this task");
  add_one_ = middle.Button("Add >").Tip("Give the highlighted user this task");
  remove_one_ = middle.Button("< Remove").Tip("Take this task from the highlighted user");
  remove_all_ = middle.Button("<< Remove All").Tip("Take this task from every user");
  Control& right = tab.Stacked();
  right.String("Users for this Task");
  task_users_list_ = right.List("160L(2)~User~@s40@").From(&task_users_);
  user_details_ = right.Button("&Details...").Tip("The highlighted user's own next run and flags");
}

void TaskForm::BuildOptions(Control& sheet) {
  Control& tab = sheet.Tab("Options");
  options_tab_ = tab;
  Control& alarm = tab.Group("Alarm");
  alarm_ = alarm.Check("Play a WAV file as an a&larm", SCH.Alarm);
  alarm.Prompt("WAV File to Play:");
  Control& wav_row = alarm.Row();
  wav_ = wav_row.Entry(SCH.AlarmFile, "@s255").Required();
  wav_browse_ = wav_row.Button("Browse").Tip("Select WAV File for Alarm");
  wav_play_ = wav_row.Button("&Play").Tip("Play the WAV file now");
  tab.Check("&Warn if not run on specified date", SCH.Warn);
  tab.Check("S&kip if not run at specified time (+/- 10 minutes)", SCH.SkipIfMissed);
  tab.Check("Be&fore performing task, give option to skip", SCH.UserSkip);
  tab.Check("Skip if a script is &running", SCH.SkipIfScriptActive);
  tab.Check("No &History", SCH.NoHistory).Tip("Keep no history of the task's runs");
  tab.Check("&Disable", SCH.Disabled).Tip("Do not perform this task");
}

void TaskForm::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  BuildSpecialEvent(sheet);
  BuildBasics(sheet);
  BuildProgram(sheet);
  BuildMessage(sheet);
  BuildScheduling(sheet);
  BuildUsers(sheet);
  BuildOptions(sheet);
  Control& buttons = w.Row();
  back_ = buttons.Button("&Back");
  next_ = buttons.Button("&Next");
  OkControl = buttons.Button("&OK").Default();
  CancelControl = buttons.Button("Cancel");
  w.SetCancelButton(CancelControl);
  BuildReactions();
}

std::string TaskForm::SelectedRow(const Control& list, const TextRows& rows) const {
  const long row = list.Choice();
  if (row < 1 || row > static_cast<long>(rows.rows.size())) return {};
  return rows.rows[static_cast<std::size_t>(row - 1)].front();
}

void TaskForm::ReloadSteps() {
  steps_.rows.clear();
  {
    ScriptingTableSteps table;
    table.ForEachStep(SCH.ID, [&](const SCRIPTING_RECORD& step) {
      steps_.rows.push_back(
          {std::to_string(step.Sequence), step.Action.str(), DescribeScriptStep(step)});
      return true;
    });
  }
  window()[steps_list_].Display();
}

void TaskForm::ReloadUsers() {
  users_.rows.clear();
  task_users_.rows.clear();
  for (const std::string& name : UserNames()) users_.rows.push_back({name});
  for (const std::string& name : TaskUserNames(SCH.ID)) task_users_.rows.push_back({name});
  window()[users_list_].Display();
  window()[task_users_list_].Display();
}

void TaskForm::ShowTitle() {
  std::string title = FormTitle(Request, "Task");
  const std::string description = DescribeSchedule();
  if (!description.empty()) title += "  (" + description + ")";
  window().Title(title);
}

// The tabs that apply to the task's type and the form's mode.
void TaskForm::ShowTabs() {
  Window& w = window();
  const bool program = SCH.TaskType == kRunProgram || SCH.TaskType == kBoth;
  const bool message =
      SCH.TaskType == kDisplayMessage || SCH.TaskType == kBoth || SCH.TaskType == kReminder;
  // A message wizard asks for the message on its first page.
  const bool message_on_basics = mode_.wizard && SCH.TaskType == kDisplayMessage;
  w[special_tab_].Hide(!mode_.special);
  w[scheduling_tab_].Hide(mode_.special);
  w[program_tab_].Hide(!program);
  w[message_tab_].Hide(!message || message_on_basics);
  w[basics_message_prompt_].Hide(!message_on_basics);
  w[basics_message_].Hide(!message_on_basics);
  // A reminder falls due at the end of its day: it has no time of its own.
  const bool reminder = SCH.TaskType == kReminder;
  if (reminder) SCH.Time = kReminderTime;
  w[start_time_prompt_].Hide(reminder);
  w[start_time_].Hide(reminder);
  w[last_prompt_].Hide(mode_.insert);
  w[last_row_].Hide(mode_.insert);
  if (!paged_) return;
  wizard_.RESETRANGE();
  tabs_.COLOURTABS();
}

void TaskForm::ShowScheduleControls() {
  Window& w = window();
  const std::string kind(SCH.ScheduleType.clipped());
  const bool monthly = kind == "Monthly";
  const bool day_of_month = kind == "Day of Month";
  const bool weekdays = kind == "Day of Week" || day_of_month;
  const bool custom = kind == "Custom";
  for (int control : {weeks_prompt_, weeks_}) w[control].Hide(!day_of_month);
  for (int control : {days_prompt_, days_}) w[control].Hide(!weekdays);
  for (int control : {every_prompt_, every_row_}) w[control].Hide(!custom);
  for (int control : {repeat_prompt_, repeat_row_}) w[control].Hide(!monthly);
  w[except_].Hide(!(monthly || day_of_month || custom || kind == "Yearly"));
  if (monthly) {
    if (SCH.MonthRepeat.view().substr(0, 1) != "T") SCH.MonthRepeat = "Once";
    const bool twice = SCH.MonthRepeat.view().substr(0, 1) == "T";
    w[offset_prompt_].Enable(twice);
    w[offset_].Enable(twice && Editing());
    w[tips_].Enable(twice);
  }
  ShowMonthEnd();
  ShowTitle();
  w.Display();
}

// "Month End" stands alone: while it is set the week and day checks are greyed.
void TaskForm::ShowMonthEnd() {
  if (!Editing()) return;
  for (int control : week_checks_) window()[control].Enable(WeekChecksFree(SCH));
  for (int control : day_checks_) window()[control].Enable(DayChecksFree(SCH));
}

void TaskForm::ShowAlarm() {
  const bool on = SCH.Alarm != 0 && Editing();
  for (int control : {wav_, wav_browse_}) window()[control].Enable(on);
  window()[wav_play_].Enable(SCH.Alarm != 0);
}

void TaskForm::PickDate(std::int32_t& date, std::string_view mode, std::string_view title,
                        int field) {
  date = Calendar(date, mode, title);
  window()[field].Display();
  window().Post(EVENT_Accepted, field);
}

void TaskForm::StartDateAccepted() {
  // A special event is a one-off: its date fits no schedule.
  if (!mode_.special) WarnIfDateMisfits();
  if (ApplyDefaultWarning()) shown_warning_.Take();
}

void TaskForm::EndAccepted() {
  if (!EndBeforeStart(SCH)) return;
  SCH.ExpiryDate = 0;
  SCH.ExpiryTime = 0;
  window().Display();
  MESSAGE("End date and time must be after the start date and time.", "Warning",
          MessageIcon::Exclamation);
}

void TaskForm::WarningAccepted() { AcceptWarning(shown_warning_, !mode_.special); }

void TaskForm::AlarmAccepted() {
  AlarmFileFromIni();
  ShowAlarm();
}

void TaskForm::PlayWav() {
  if (SCH.AlarmFile.blank()) {
    window().Post(EVENT_Accepted, wav_browse_);
    return;
  }
  if (!PlayAlarmFile()) window().Select(wav_browse_);
}

// The step list of the task is its own window; the task being edited stays in the buffer.
void TaskForm::RunScripting() {
  const auto browse = MainProcedure("BrowseScripting");
  if (!browse) return;
  Update();
  const SCHEDULE_RECORD task = SCH;
  browse();
  SCH = task;
  ReloadSteps();
}

void TaskForm::EditTaskUser() {
  const auto form = MainProcedure("UpdateVXUSD");
  const std::string user = SelectedRow(window()[task_users_list_], task_users_);
  if (!form || user.empty()) return;
  Update();
  const SCHEDULE_RECORD task = SCH;
  if (ACCESS_VXUSD->Open() == 0) {
    US = VXUSD_RECORD{};
    US.ID = SCH.ID;
    US.USER = user;
    if (ACCESS_VXUSD->TryFetch(US_KEYID) == 0)
      WindowManager::RunUpdate(form, Editing() ? ChangeRecord : ViewRecord);
    ACCESS_VXUSD->Close();
  }
  SCH = task;
  ReloadUsers();
}

Level TaskForm::Init() {
  RecordForm::Init();
  Window& w = window();
  if (Request == ViewRecord || Request == DeleteRecord) {
    // The list buttons stay usable: they change nothing.
    w[steps_list_].Enable();
    w[users_list_].Enable();
    w[task_users_list_].Enable();
  }
  Required.ADDFIELD(special_date_, "SCH:Date", "", "", "Next Date to Perform Task", true);
  Required.ADDFIELD(special_time_, "SCH:Time", "", "", "Next Time to Perform Task", true);
  Required.ADDFIELD(basics_message_, "SCH:Message", "", "", "Message to display", true);
  Required.ADDFIELD(message_, "SCH:Message", "", "", "Message to display", true);
  Required.ADDFIELD(every_, "SCH:Every", "", "", "Repeat Task Every...", true);
  Required.ADDFIELD(start_date_, "SCH:Date", "", "", "Next Date to Perform Task", true);
  Required.ADDFIELD(start_time_, "SCH:Time", "", "", "Next Time to Perform Task", true);
  Required.ADDFIELD(wav_, "SCH:AlarmFile", "", "", "WAV file to play as an alarm", true);
  // The pager starts on the first tab shown.
  ShowTabs();
  tabs_.INIT(w, -1, -1, 0, 0, 1, -1, kOtherTabColour);
  // Special events and new tasks of a given type page through their tabs.
  wizard_.INIT(w, sheet_, back_, next_, mode_.wizard || mode_.special ? 1 : 0, 0, false, true,
               false, OkControl);
  paged_ = true;
  if (Request == ViewRecord) w[OkControl].Hide();

  // Procedures of other windows: their buttons are greyed until they are there.
  if (!MainProcedure("BrowseScripting")) w[scripting_].Disable();
  if (!MainProcedure("UpdateVXUSD")) w[user_details_].Disable();
  const bool users = !UserNames().empty();
  for (int control : {add_all_, add_one_, remove_one_, remove_all_})
    w[control].Enable(users && Editing());

  shown_warning_.Take();
  ShowTabs();
  ShowScheduleControls();
  ShowAlarm();
  ReloadSteps();
  ReloadUsers();
  wizard_.TAKENEWSELECTION();
  tabs_.COLOURTABS();
  mode_.opened = SCH;
  // The task is named first, in the wizards too: the message follows below it.
  w.Select(description_);
  return Level_Benign;
}

Level TaskForm::Kill() {
  // A new task left unsaved goes with everything made for it: its script and per-user rows.
  if (mode_.insert && Response != RequestCompleted && ACCESS_SCHEDULE->HasPlaceholder()) {
    ACCESS_SCHEDULE->CancelAutoInc(RELATE_SCHEDULE);
  }
  wizard_.KILL();
  tabs_.KILL();
  return RecordForm::Kill();
}

Level TaskForm::TakeNewSelection() {
  if (FIELD() == sheet_) {
    wizard_.TAKEACCEPTED();
    tabs_.COLOURTABS();
  }
  return RecordForm::TakeNewSelection();
}

// What each control of the form does when it is accepted, tab by tab. Every control is built
// whatever the mode, so each number names one control.
void TaskForm::BuildReactions() {
  const auto on = [this](std::initializer_list<int> controls,
                         const std::function<void()>& reaction) {
    for (int control : controls) reactions_.try_emplace(control, reaction);
  };
  // Task Basics and the two work tabs.
  on({type_}, [this] { ShowTabs(); });
  on({basics_message_, message_}, [] {
    if (SCH.Description.blank())
      SCH.Description = std::string(CutUtf8(SCH.Message.clipped(), SCH.Description.size()));
  });
  on({command_}, [] {
    if (SCH.Description.blank()) {
      SCH.Description =
          std::string(CutUtf8("Program: " + SCH.Command.str(), SCH.Description.size()));
    }
  });
  on({command_button_}, [] { SelectTaskProgram(); });
  on({folder_button_}, [] {
    std::string folder(SCH.Path.clipped());
    if (FILEDIALOG("Select Folder", folder, {}, FILE_Directory)) SCH.Path = folder;
  });
  on({scripting_}, [this] { RunScripting(); });

  // Scheduling and Special Event tabs.
  on({perform_}, [this] { ShowScheduleControls(); });
  on({month_end_}, [this] { ShowMonthEnd(); });
  on({every_, unit_}, [] {
    const std::string unit(SCH.EveryType.clipped());
    if (SCH.Every > 0 && (unit == "seconds(s)" || unit == "minute(s)" || unit == "hour(s)"))
      SCH.NoHistory = 1;
  });
  on({repeat_}, [this] {
    if (SCH.MonthRepeat.blank()) SCH.MonthRepeat = "Once";
    ShowScheduleControls();
  });
  on({tips_}, [] { MESSAGE(kOffsetTips, "Offset Tips", MessageIcon::Information); });
  on({except_}, [this] {
    Update();
    UpdateSchedule_ExceptionsWindow();
    ShowTitle();
  });
  on({start_date_, special_date_}, [this] { StartDateAccepted(); });
  on({end_date_, end_time_}, [this] { EndAccepted(); });
  on({warn_date_, warn_time_, special_warn_date_, special_warn_time_},
     [this] { WarningAccepted(); });
  on({start_calendar_}, [this] { PickDate(SCH.Date, "", "Select Starting Date", start_date_); });
  on({special_calendar_}, [this] { PickDate(SCH.Date, "", "Reschedule for...", special_date_); });
  on({end_calendar_}, [this] { PickDate(SCH.ExpiryDate, "", "Select Expiry Date", end_date_); });
  on({warn_calendar_},
     [this] { PickDate(SCH.AdvanceWarnDate, "None", "Select Advanced Warning Date", warn_date_); });
  on({special_warn_calendar_},
     [this] { PickDate(SCH.AdvanceWarnDate, "None", "Reschedule for...", special_warn_date_); });

  // Options tab.
  on({alarm_}, [this] { AlarmAccepted(); });
  on({wav_}, [] { RememberAlarmFile(); });
  on({wav_browse_}, [] { BrowseAlarmFile(); });
  on({wav_play_}, [this] { PlayWav(); });

  // Users tab.
  on({add_all_}, [this] {
    for (const std::string& user : UserNames()) AddTaskUser(user);
    ReloadUsers();
  });
  on({add_one_}, [this] {
    if (const std::string user = SelectedRow(window()[users_list_], users_); !user.empty())
      AddTaskUser(user);
    ReloadUsers();
  });
  on({remove_one_}, [this] {
    if (const std::string user = SelectedRow(window()[task_users_list_], task_users_);
        !user.empty()) {
      RemoveTaskUser(SCH.ID, user);
    }
    ReloadUsers();
  });
  on({remove_all_}, [this] {
    RemoveTaskUsers(SCH.ID);
    ReloadUsers();
  });
  on({user_details_}, [this] { EditTaskUser(); });
}

Level TaskForm::TakeAccepted() {
  const int control = ACCEPTED();
  if (control == back_ || control == next_) {
    wizard_.TAKEACCEPTED();
    tabs_.COLOURTABS();
    return Level_Notify;
  }
  if (const auto reaction = reactions_.find(control); reaction != reactions_.end()) {
    reaction->second();
  } else {
    const Level handled = RecordForm::TakeAccepted();
    if (handled != Level_Benign) return handled;
  }
  // Some fields show on two tabs: every one shows the buffer as it is now.
  ShowTitle();
  window().Display();
  return Level_Benign;
}

// Sees whether a table reported a failure while it was watched, and passes every report on.
class FailureWatch final : public FileErrorSink {
 public:
  explicit FailureWatch(FileManager& table) : table_(table), sink_(table.errors()) {
    table_.SetErrors(this);
  }
  ~FailureWatch() override { table_.SetErrors(sink_); }
  FailureWatch(const FailureWatch&) = delete;
  FailureWatch& operator=(const FailureWatch&) = delete;
  int TakeFileProblem(const FileProblem& problem) override {
    failed_ = true;
    return sink_ ? sink_->TakeFileProblem(problem) : 0;
  }
  bool failed() const { return failed_; }

 private:
  FileManager& table_;
  FileErrorSink* sink_;
  bool failed_ = false;
};

Level TaskForm::TakeCompleted() {
  Update();
  if (SCH.TaskType == kReminder) SCH.Time = kReminderTime;  // the time entry shows minutes only
  if (Editing()) {
    if (SCH.Command.blank()) SCH.Command = "N/A";
    if (Required.INCOMPLETE() != 0) return Level_Notify;
  }
  // A new task, or a task whose schedule was changed, must not run at once for a moment that
  // has passed; a mere edit keeps the stored next run.
  const SCHEDULE_RECORD typed = SCH;
  if (Editing() && (mode_.insert || !SameSchedule(SCH, mode_.opened)) &&
      !SettlePastStart(mode_.special)) {
    return Level_Notify;
  }
  if (!StoreTask()) {
    SCH = typed;
    window().Display();
    return Level_Notify;
  }
  if (Editing()) RememberCategory();
  Response = RequestCompleted;
  RefreshTaskLists();
  PostClose();
  return Level_Notify;
}

// Stores the task with everything its save writes (the task's defaults and exception copies, a
// special event's script and the skip on its task) in one transaction: a failure anywhere keeps
// none of it, and the form keeps the task as it was typed. The boxes of the failures show once
// the transaction has ended, so that none keeps the write lock while it waits for the user.
bool TaskForm::StoreTask() {
  // A delete asks first, and its relation removes the task with its rows in one transaction.
  if (!Editing()) return Primary->Save(Request) == Level_Benign;
  const SCHEDULE_RECORD typed = SCH;
  const std::int64_t placeholder = ACCESS_SCHEDULE->PlaceholderPosition();
  const storage::FileState position = ACCESS_SCHEDULE->SaveFile();
  HeldMessages held;
  bool stored = true;
  {
    FailureWatch watch(*ACCESS_SCHEDULE);
    storage::LOGOUT(ACCESS_SCHEDULE->LockRecover);
    FillTaskDefaults();
    if (mode_.special) SCH.ScheduleType = "Once";
    const bool skip_source = mode_.special && SCH.SkipNextTime != 0;
    if (skip_source) SCH.SkipNextTime = 0;  // the skip belongs to the regular task
    stored = !watch.failed() && Primary->Save(Request) == Level_Benign;
    if (stored && mode_.special) {
      stored = CopyTaskScript(mode_.source.ID, SCH.ID) &&
               (!skip_source || SkipSourceTask(mode_.source.ID));
    }
    stored = stored && !watch.failed();
    if (!stored) {
      storage::ROLLBACK();
    } else if (storage::COMMIT() != 0) {
      stored = false;  // the commit has rolled the whole of it back
      MESSAGE("The task could not be stored; nothing of it was saved.", "Error",
              MessageIcon::Exclamation);
    }
  }
  if (!stored) {
    SCH = typed;
    ACCESS_SCHEDULE->RestorePlaceholder(placeholder);
    ACCESS_SCHEDULE->RestoreFile(position);
  }
  held.ShowHeld();
  return stored;
}

// Primes a new task before its window is built and reserves its record.
void PrimeInsert(TaskFormMode& mode) {
  const std::string prime(GLO_PRIMETASKTYPE.clipped());
  GLO_PRIMETASKTYPE.clear();
  mode.special = prime == "Reschedule";
  if (mode.special) {
    mode.source = SCH;
  } else if (!SCH.ScheduleType.blank()) {
    mode.copy = true;
  } else {
    mode.wizard = !prime.empty();
    const SCHEDULE_RECORD primed = SCH;
    SCH = SCHEDULE_RECORD{};
    PrimeNewTask(prime);
    // A caller that asks for a wizard may have filled in the task already (a to-do item made a
    // message task): what it gave stands over the defaults.
    if (mode.wizard) {
      if (!primed.Message.blank()) SCH.Message = primed.Message;
      if (!primed.Description.blank()) SCH.Description = primed.Description;
      if (!primed.Category.blank()) SCH.Category = primed.Category;
      if (primed.Date != 0) {
        SCH.Date = primed.Date;
        SCH.Time = primed.Time;
      }
    }
    SCH.User = GLO_USER.clipped();
  }
  SCH.Completed = 0;
  SCH.AdvanceWarned = 0;
  if (mode.special) {
    SCH.LastRunDate = 0;
    SCH.LastRunTime = 0;
  }
  // The new task is reserved at once, disabled, so that its script steps and per-user rows can
  // refer to it; Cancel removes it again with them.
  if (!ACCESS_SCHEDULE->HasPlaceholder()) {
    SCH.ID = 0;
    SCH.Disabled = 1;
    if (ACCESS_SCHEDULE->PrimeAutoInc() != 0) SCH.ID = 0;
  }
  SCH.Disabled = 0;
}

// What the form tells before it opens: a copy that cannot get its script, a record without an
// id. A copy gets its script at once, so that its step list shows it.
void OpenedMessages(const TaskFormMode& mode) {
  if (mode.copy) {
    const std::string problem = CopyIdsMessage(GLO_SCH_ID, SCH.ID);
    if (!problem.empty()) {
      MESSAGE(problem, "Internal Error", MessageIcon::Hand);
    } else {
      CopyTaskScript(GLO_SCH_ID, SCH.ID);
    }
  }
  if (SCH.ID == 0) {
    MESSAGE("Auto-increment error.  Could not set unique schedule ID.", "Internal Error",
            MessageIcon::Hand);
  }
}

}  // namespace

void UpdateSchedule() {
  if (fPasswordValidation() == 0) {
    GLO_PRIMETASKTYPE.clear();  // the mode asked for is spent with the refusal
    SetCurrentResponse(RequestCancelled);
    return;
  }
  // Main's menu starts the form without a request: a new task.
  if (CurrentRequest() == 0) SetCurrentRequest(InsertRecord);
  ++WIZARDTHREADCOUNT;
  RELATE_SCHEDULE->Open();
  TaskFormMode mode;
  mode.insert = CurrentRequest() == InsertRecord;
  if (mode.insert) {
    PrimeInsert(mode);
  } else {
    GLO_PRIMETASKTYPE.clear();
  }
  OpenedMessages(mode);
  {
    Window window("Update Task");
    TaskForm form(window, mode);
    form.Build();
    form.Run();
  }
  RELATE_SCHEDULE->Close();
  --WIZARDTHREADCOUNT;
}

}  // namespace vx
