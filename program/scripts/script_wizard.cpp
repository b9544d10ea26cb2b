#include "program/scripts/script_wizard.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/colour_tab_class.h"
#include "datadll/utility/req_fld_class.h"
#include "framework/file_manager.h"
#include "framework/relation_manager.h"
#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "program/admin/password_validation.h"
#include "program/common/calendar.h"
#include "program/common/config_store.h"
#include "program/common/main_procedures.h"
#include "program/due_tasks/due_task.h"
#include "program/recurrence/moments.h"
#include "program/schedule/exceptions_window.h"
#include "program/schedule/task_defaults.h"
#include "program/schedule/task_form_rules.h"
#include "program/script_engine/describe_script_step.h"
#include "program/script_engine/move_script_step.h"
#include "program/script_engine/script_tables.h"
#include "program/scripts/edit_script_as_text.h"
#include "program/scripts/script_procedures.h"
#include "program/scripts/template_windows.h"
#include "program/windows/format_date.h"
#include "program/windows/window_procedure_scope.h"
#include "program/windows/wizard_buttons.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/text_rows.h"

namespace vx {
namespace {

enum Page { kCommand = 1, kWhen = 2, kCategory = 3, kAdvanced = 4 };

constexpr std::string_view kOffsetTips =
    "\"Days to Offset\" allows you to shift the semi-monthly dates.  For example, if you have "
    "selected \"Twice - "
    "1st, 15th\", an offset of \"3\" will make Varnodex run your task on the 4th and 18th of every "
    "month. If you "
    "have selected \"Twice - 15th, Last\", an offset of \"-1\" will make Varnodex run your task on "
    "the 14th and 2nd "
    "last day of every month.";

// The steps of task `id` in step order.
std::vector<SCRIPTING_RECORD> TaskSteps(std::int32_t id) {
  std::vector<SCRIPTING_RECORD> steps;
  ScriptingTableSteps table;
  table.ForEachStep(id, [&](const SCRIPTING_RECORD& step) {
    steps.push_back(step);
    return true;
  });
  return steps;
}

// Rows of a list that the wizard fills itself.
struct Rows final : TextRows {
  std::vector<std::int32_t> keys;  // per row: the template's id or the step's sequence
};

class ScriptWizard final : public WindowManager {
 public:
  explicit ScriptWizard(Window& window) : WindowManager(window), scope_("Wizard:Script", *this) {
    scope_.KeepPlaceWhenMoved();
  }

  void TakeRequest();
  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;
  Level TakeFieldEvent() override;
  Level TakeCompleted() override;
  void Reset(bool force = false) override;

 private:
  // The four pages of the sheet.
  void BuildCommandPage(Control& sheet);
  void BuildWhenPage(Control& sheet);
  void BuildCategoryPage(Control& sheet);
  void BuildAdvancedPage(Control& sheet);
  void ListPopup();
  void PrimeNewTask();
  void FillCategories();
  void ShowPage(int page);
  void Back();
  void Next();
  void LayOutSchedule();
  void MonthEndRule();
  void RepeatRule();
  void AlarmControls();
  void DateAccepted();
  void WarningAccepted();
  void ClearHotKeyFields();
  void LockControls();
  void LoadSteps();
  void LoadTemplates();
  bool HighlightedStep();
  void RunStepEditor(long request);
  void AddTemplate();
  void Move(StepMove move);

  WindowProcedureScope scope_;
  COLOURTABCLASS tabs_;
  REQFLDCLASS required_;
  Rows steps_, templates_;
  bool hot_key_ = false, view_ = false, delete_ = false, copying_ = false, counted_ = false;
  bool relations_open_ = false;
  int page_ = kCommand;
  std::int32_t anchor_ = 0, deleted_ = 0;
  ShownWarning shown_warning_;
  // A new task's first run as primed; while the user leaves it alone, it is primed again each
  // time the When page opens, so that building the script takes none of its lead.
  struct {
    std::int32_t date = 0, time = 0;
  } primed_;

  // Controls.
  int sheet_ = 0, command_tab_ = 0, when_tab_ = 0, category_tab_ = 0, advanced_tab_ = 0;
  int back_ = 0, next_ = 0;
  int template_list_ = 0, add_template_ = 0, step_list_ = 0, add_ = 0, copy_ = 0, edit_ = 0,
      delete_step_ = 0;
  int import_ = 0, export_ = 0, clear_ = 0, up_ = 0, top_ = 0, down_ = 0, bottom_ = 0, as_text_ = 0;
  int type_ = 0, every_group_ = 0, ordinals_ = 0, month_end_ = 0, days_ = 0, every_prompt_ = 0,
      every_ = 0;
  int every_type_ = 0, repeat_ = 0, offset_prompt_ = 0, offset_ = 0, tips_ = 0, except_ = 0;
  int date_ = 0, date_pick_ = 0, time_ = 0, warn_date_ = 0, warn_pick_ = 0, warn_time_ = 0;
  int category_ = 0, alarm_ = 0, alarm_file_ = 0, browse_wav_ = 0, play_ = 0;
  std::vector<int> ordinal_checks_, day_checks_;
};

void ScriptWizard::TakeRequest() {
  // Main starts the wizard without a request; the hot-key editor hands it one.
  long request = CurrentRequest();
  hot_key_ = request != 0;
  if (request == 0) request = InsertRecord;
  if (request == ViewRecord) {
    view_ = true;
    request = ChangeRecord;
  }
  delete_ = request == DeleteRecord;
  SetCurrentRequest(request);
}

void ScriptWizard::Build() {
  Window& w = window();
  w.Set(Prop::Icon, "scrwiz16.ico");
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  sheet.Set(Prop::Wizard, true);
  BuildCommandPage(sheet);
  BuildWhenPage(sheet);
  BuildCategoryPage(sheet);
  BuildAdvancedPage(sheet);

  const WizardButtons buttons = AddWizardButtons(w);
  back_ = buttons.back;
  next_ = buttons.next;
  OkControl = buttons.ok;
  CancelControl = buttons.cancel;
}

// Page 1: the steps, one at a time or en masse from templates.
void ScriptWizard::BuildCommandPage(Control& sheet) {
  Control& command = sheet.Tab("Command");
  command_tab_ = command;
  command.String("Create a script...").Set(Prop::FontStyle, 700L);
  command.String(
      "A script consists of one or several actions, which can be added one at a time or en masse "
      "through "
      "templates.");
  Control& panes = command.Beside();
  template_list_ = panes.List("150L(2)M~Script Templates~@s60@").From(&templates_);
  step_list_ = panes.List("90L(2)M~Action~@s27@200L(2)M~Details~@s60@").From(&steps_);
  Control& step_buttons = command.Row();
  add_template_ = step_buttons.Button("&Add template to script");
  add_ = step_buttons.Button("Add").Icon("insert.ico");
  copy_ = step_buttons.Button("Cop&y");
  edit_ = step_buttons.Button("&Edit").Icon("open.ico");
  delete_step_ = step_buttons.Button("&Delete").Icon("cut.ico");
  Control& file_buttons = command.Row();
  import_ = file_buttons.Button("Import");
  export_ = file_buttons.Button("E&xport");
  clear_ = file_buttons.Button("Delete All");
  as_text_ = file_buttons.Button("Edit as &Text");
  up_ = file_buttons.Button("").Icon("moveup.ico").Tip("Move record up one");
  top_ = file_buttons.Button("Top").Tip("Move record to the top");
  down_ = file_buttons.Button("").Icon("movedown.ico").Tip("Move record down one");
  bottom_ = file_buttons.Button("Bottom").Tip("Move record to the bottom");
}

// Page 2: when and how often.
void ScriptWizard::BuildWhenPage(Control& sheet) {
  Control& when = sheet.Tab("When");
  when_tab_ = when;
  when.String("When to start it...").Set(Prop::FontStyle, 700L);
  when.String("These options determine");
  when.String("when and how often this");
  when.String("task will be performed.");
  Control& type = when.Option("Schedule &Type", SCH.ScheduleType);
  type.Arrange(Arrangement::Row);
  for (const char* kind : {"Once", "Day of Week", "Day of Month", "Monthly", "Yearly"})
    type.Radio(kind, kind);
  type.Radio("Every...", "Custom");
  type_ = type;
  Control& every = when.Group("&Every...");
  every_group_ = every;
  Control& ordinals = every.Row();
  ordinals_ = ordinals;
  ordinal_checks_ = {ordinals.Check("1st", SCH.Every1st), ordinals.Check("2nd", SCH.Every2nd),
                     ordinals.Check("3rd", SCH.Every3rd), ordinals.Check("4th", SCH.Every4th),
                     ordinals.Check("Last", SCH.EveryLast)};
  month_end_ = ordinals.Check("Month End", SCH.LastDayOfMonth);
  Control& days = every.Row();
  days_ = days;
  day_checks_ = {days.Check("Sunday", SCH.Sunday),     days.Check("Monday", SCH.Monday),
                 days.Check("Tuesday", SCH.Tuesday),   days.Check("Wednesday", SCH.Wednesday),
                 days.Check("Thursday", SCH.Thursday), days.Check("Friday", SCH.Friday),
                 days.Check("Saturday", SCH.Saturday)};
  every_prompt_ = every.Prompt("Every:");
  Control& count = every.Row();
  every_ = count.Entry(SCH.Every, "@n6b").Required();  // 0 shows empty: the count is missing
  every_type_ = count.DropList(SCH.EveryType, "minute(s)|hour(s)|day(s)|week(s)|month(s)|year(s)");
  Control& repeat = every.Option("Repeat", SCH.MonthRepeat);
  repeat.Arrange(Arrangement::Row);
  for (const char* kind : {"Once", "Twice - 1st, 15th", "Twice - 15th, Last"})
    repeat.Radio(kind, kind);
  repeat_ = repeat;
  offset_prompt_ = every.Prompt("Days to Offset:");
  Control& offset = every.Row();
  offset_ = offset.Entry(SCH.Offset, "@n-2b");
  tips_ = offset.Button("&Tips");
  except_ = every.Button("E&xcept");
  // "&Next" is the button's key on this page, so the date takes its "D".
  when.Prompt("Next &Date to Perform Task:");
  Control& date = when.Row();
  date_ = date.Entry(SCH.Date, DatePicture() + "b").Required();
  date_pick_ = date.Button("...").Icon("~calendar.ico").Tip("Select Date");
  when.Prompt("&Time:");
  time_ = when.Entry(SCH.Time, "@T7b").Required();
  when.Check("&Skip First Time", SCH.SkipNextTime);
  when.Prompt("&Advance Warning Date:");
  Control& warn = when.Row();
  warn_date_ = warn.Entry(SCH.AdvanceWarnDate, DatePicture() + "b");
  warn_pick_ = warn.Button("...").Icon("~calendar.ico").Tip("Select Date");
  when.Prompt("Time:");
  warn_time_ = when.Entry(SCH.AdvanceWarnTime, "@T7b");
}

// Page 3: category and title.
// The page captions are not shown; this one is not named after the "&Category:" field.
void ScriptWizard::BuildCategoryPage(Control& sheet) {
  Control& describe = sheet.Tab("Describing");
  category_tab_ = describe;
  describe.String("Describing it...").Set(Prop::FontStyle, 700L);
  describe.String(
      "Next, select the category and optionally enter a brief description or \"title\".");
  describe.Prompt("&Category:");
  category_ = describe.DropList(SCH.Category);
  describe.Prompt("&Description:");
  describe.Entry(SCH.Description, "@s40");
  // The wizard's picture closes the last two pages (the first two need the room).
  describe.Image("scrwiz16.ico");
}

// Page 4: alarm and run options.
void ScriptWizard::BuildAdvancedPage(Control& sheet) {
  Control& advanced = sheet.Tab("Advanced");
  advanced_tab_ = advanced;
  advanced.String("Alarm and advanced options...").Set(Prop::FontStyle, 700L);
  advanced.String("Finally, here are some advanced features you may wish to use...");
  alarm_ = advanced.Check("Alarm", SCH.Alarm);
  advanced.Prompt("WAV File to Play:");
  Control& wav = advanced.Row();
  alarm_file_ = wav.Entry(SCH.AlarmFile, "@s255").Required();
  browse_wav_ = wav.Button("&Browse");
  play_ = wav.Button("&Play").Icon("speaker2.ico");
  advanced.Check("&Warn if not run on specified date", SCH.Warn);
  advanced.Check("&Skip if not run at specified time (+/- 10 minutes)", SCH.SkipIfMissed);
  advanced.Check("&Before performing task, give option to skip", SCH.UserSkip);
  advanced.Check("Skip if a script is running", SCH.SkipIfScriptActive);
  advanced.Check("No &History", SCH.NoHistory);
  advanced.Check("&Disable", SCH.Disabled);
  advanced.Image("scrwiz16.ico");
}

// A new task's fields, before the window opens.
void ScriptWizard::PrimeNewTask() {
  ACCESS_SCHEDULE->PrimeRecord();
  SCH.TaskType = "Run Program";
  SCH.Command = "N/A";
  if (hot_key_) {
    SCH.Category = "Hot Key";
    SCH.Description = "Hot Key " + HOT.HotKey.str();
    return;
  }
  PrimeStartMoment();
  primed_ = {SCH.Date, SCH.Time};
  SCH.ScheduleType = "Day of Week";
  SCH.Sunday = SCH.Monday = SCH.Tuesday = SCH.Wednesday = SCH.Thursday = SCH.Friday = SCH.Saturday =
      1;
  SCH.EveryLast = 1;
  SCH.Warn = 1;
  SCH.Every = 1;
  SCH.EveryType = "hour(s)";
  SCH.Category = "General";
  SCH.Completed = 0;
  EnsureCategory("General");
}

void ScriptWizard::FillCategories() {
  std::vector<std::string> names;
  if (ACCESS_CATEGORIES->Set(CAT_KEYCATEGORY) == 0) {
    while (ACCESS_CATEGORIES->TryNext() == 0) names.push_back(CAT.Category.str());
  }
  const std::string current(SCH.Category.clipped());
  if (!current.empty() && std::find(names.begin(), names.end(), current) == names.end())
    names.push_back(current);
  std::string items;
  for (const std::string& name : names) items += (items.empty() ? "" : "|") + name;
  window()[category_].From(items);
}

Level ScriptWizard::Init() {
  WindowManager::Init();
  if (fPasswordValidation() == 0) return Level_Notify;
  ++WIZARDTHREADCOUNT;
  counted_ = true;
  SetCurrentRequest(0);
  SetCurrentResponse(0);
  RELATE_CATEGORIES->Open();
  RELATE_SCRIPTTEMPLATES->Open();
  relations_open_ = true;
  ACCESS_SCHEDULE->UseFile();
  ACCESS_SCRIPTING->UseFile();
  if (Request == InsertRecord) PrimeNewTask();
  Window& w = window();
  FillCategories();
  w[template_list_].Alert(MouseRight);
  w[step_list_].Alert(MouseRight);
  Open();
  tabs_.INIT(w, -1, -1, 0, 0, 1, -1, kOtherTabColour);
  tabs_.COLOURTABS();
  required_.INIT(w, "Missing Information", "@PROMPT must be entered.");
  required_.ADDFIELD(every_, "SCH:Every", "", "", "Every", true);
  required_.ADDFIELD(date_, "SCH:Date", "", "", "Next Date to Perform Task", true);
  required_.ADDFIELD(time_, "SCH:Time", "", "", "Next Time to Perform Task", true);
  required_.ADDFIELD(alarm_file_, "SCH:AlarmFile", "", "", "Alarm File", true);
  TOKENQUEUE.Free();  // every template question is asked afresh

  if (Request == InsertRecord) {
    // The task is stored at once (disabled, so that it never runs half made): its steps need its
    // number while the wizard is open.
    ReserveNewTask();
  }
  if (hot_key_) {
    // A hot key's task has no schedule and no run options: its steps and its category are all
    // there is to it, so the wizard pages between the steps and the category only.
    ClearHotKeyFields();
    w[when_tab_].Hide();
    w[advanced_tab_].Hide();
    w[back_].Disable();
    w[OkControl].Enable();
    w[OkControl].Default();
    w.Title("Hot Key Script Wizard");
  } else {
    w.Title(Request == InsertRecord ? "New Script Task Wizard" : "Edit Script Task Wizard");
    w[back_].Disable();
    w[OkControl].Disable();
  }
  if (view_) {
    const std::string title = w.Title();
    const std::size_t blank = title.find(' ');
    w.Title("View" + (blank == std::string::npos ? std::string() : title.substr(blank)));
  }
  if (view_ || delete_) {
    LockControls();
    if (view_) {
      w[OkControl].Hide();
      w[OkControl].Disable();
      w[CancelControl].SetText("Cl&ose").Icon("~close.ico");
    }
    w.Select(CancelControl);
  }
  shown_warning_.Take();
  LayOutSchedule();
  ShowPage(page_);
  Reset(true);
  return Level_Benign;
}

Level ScriptWizard::Kill() {
  if (counted_ && Response != RequestCompleted && Request == InsertRecord) {
    // A cancelled new task leaves nothing behind: its steps and the stored placeholder go.
    DeleteScript();
    ACCESS_SCHEDULE->CancelAutoInc();
  }
  if (Response == RequestCompleted && !hot_key_) RefreshTaskLists();
  tabs_.KILL();
  required_.KILL();
  WindowManager::Kill();
  if (relations_open_) {
    RELATE_SCRIPTTEMPLATES->Close();
    RELATE_CATEGORIES->Close();
  }
  if (counted_) --WIZARDTHREADCOUNT;
  return Level_Benign;
}

void ScriptWizard::ClearHotKeyFields() {
  SCH.TaskType = "Hot Key";
  SCH.Sunday = SCH.Monday = SCH.Tuesday = SCH.Wednesday = SCH.Thursday = SCH.Friday = SCH.Saturday =
      0;
  SCH.Date = 0;
  SCH.Time = 0;
  SCH.ExceptWeekends = SCH.ExceptWeekdays = SCH.ExceptHolidays = SCH.ExceptTime = 0;
  SCH.ExceptTimeBegin = SCH.ExceptTimeEnd = 0;
  SCH.ExceptOther = "";
  SCH.ShiftType = "";
}

void ScriptWizard::LockControls() {
  for (const auto& control : window().Controls()) {
    const int number = control->Number();
    if (number == CancelControl || number == back_ || number == next_) continue;
    switch (control->Type()) {
      case ControlType::Entry:
      case ControlType::Text:
      case ControlType::Check:
      case ControlType::Option:
      case ControlType::Radio:
      case ControlType::DropList:
      case ControlType::Combo:
      case ControlType::Button:
        if (number != OkControl || view_) control->Disable();
        break;
      default:
        break;
    }
  }
}

void ScriptWizard::Reset(bool force) {
  LoadTemplates();
  LoadSteps();
  WindowManager::Reset(force);
  const bool rows = !steps_.rows.empty();
  const bool editor = static_cast<bool>(MainProcedure("UpdateScripting"));
  Window& w = window();
  w[copy_].Enable(rows && editor);
  w[add_].Enable(editor);
  w[edit_].Enable(rows && editor);
  w[delete_step_].Enable(rows && editor);
  w[add_template_].Enable(!templates_.rows.empty());
  if (Opened && (view_ || delete_)) LockControls();
}

void ScriptWizard::LoadTemplates() {
  templates_.rows.clear();
  templates_.keys.clear();
  if (ACCESS_SCRIPTTEMPLATES->Set(VXT_K_DESCRIPTION) == 0) {
    while (ACCESS_SCRIPTTEMPLATES->TryNext() == 0) {
      templates_.rows.push_back({VXT.Description.str()});
      templates_.keys.push_back(VXT.WIZ_ID);
    }
  }
}

void ScriptWizard::LoadSteps() {
  steps_.rows.clear();
  steps_.keys.clear();
  for (const SCRIPTING_RECORD& step : TaskSteps(SCH.ID)) {
    steps_.rows.push_back({step.Action.str(), DescribeScriptStep(step).substr(0, 60)});
    steps_.keys.push_back(step.Sequence);
  }
}

// The highlighted step into SCR; false when the list has none.
bool ScriptWizard::HighlightedStep() {
  const long row = window()[step_list_].Choice();
  if (row < 1 || row > static_cast<long>(steps_.keys.size())) return false;
  SCR = SCRIPTING_RECORD{};
  SCR.ID = SCH.ID;
  SCR.Sequence = steps_.keys[static_cast<std::size_t>(row) - 1];
  return ACCESS_SCRIPTING->TryFetch(SCR_KEYID) == 0;
}

void ScriptWizard::RunStepEditor(long request) {
  const auto editor = MainProcedure("UpdateScripting");
  if (!editor) return;
  const bool have = HighlightedStep();
  if (request != InsertRecord && !have) return;
  anchor_ = 0;
  deleted_ = 0;
  if (request == InsertRecord) {
    anchor_ = have ? SCR.Sequence : 0;
    if (!copying_) {
      SCR = SCRIPTING_RECORD{};
    }
    GLO_SAVEID = copying_ ? SCR.ID : 0;
    SCR.ID = SCH.ID;
    copying_ = false;
  } else if (request == DeleteRecord) {
    deleted_ = SCR.Sequence;
  }
  const long response = WindowManager::RunUpdate(editor, request);
  GLO_SAVEID = 0;
  if (anchor_ != 0 && response == RequestCompleted && SCR.ID == SCH.ID &&
      SCR.Sequence != anchor_ + 1) {
    ScriptingTableSteps steps;
    WindowMessageReporter messages;
    MoveScriptStep(StepMove::IntoPlace, SCH.ID, SCR.Sequence, anchor_, steps, messages);
  }
  anchor_ = 0;
  if (deleted_ > 0 && response == RequestCompleted) {
    ScriptingTableSteps steps;
    WindowMessageReporter messages;
    RenumberScriptSteps(SCH.ID, deleted_, steps, messages);
  }
  deleted_ = 0;
  Reset(true);
}

void ScriptWizard::AddTemplate() {
  const long row = window()[template_list_].Choice();
  if (row < 1 || row > static_cast<long>(templates_.keys.size())) return;
  VXT = SCRIPTTEMPLATES_RECORD{};
  VXT.WIZ_ID = templates_.keys[static_cast<std::size_t>(row) - 1];
  if (ACCESS_SCRIPTTEMPLATES->TryFetch(VXT_K_WIZ_ID) != 0) return;
  CopyScriptTemplateToScript();
  Reset(true);
}

void ScriptWizard::Move(StepMove move) {
  if (!HighlightedStep()) return;
  ScriptingTableSteps steps;
  WindowMessageReporter messages;
  const std::int32_t moved = MoveScriptStep(move, SCH.ID, SCR.Sequence, 0, steps, messages);
  Reset(true);
  const auto at = std::find(steps_.keys.begin(), steps_.keys.end(), moved);
  if (at != steps_.keys.end())
    window()[step_list_].Choose(static_cast<long>(at - steps_.keys.begin()) + 1);
  window().Select(step_list_);
}

void ScriptWizard::ShowPage(int page) {
  page_ = page;
  Window& w = window();
  w[sheet_].Choose(page);
  tabs_.COLOURTABS();
  if (view_ || delete_) w.Select(CancelControl);
}

void ScriptWizard::Next() {
  Window& w = window();
  if (hot_key_) {
    if (page_ == kCommand) {
      ShowPage(kCategory);
      w[back_].Enable();
      w[next_].Disable();
    }
    return;
  }
  switch (page_) {
    case kCommand:
      // The time entry keeps whole minutes: the primed seconds are gone once the page was read.
      if (Request == InsertRecord &&
          CompareDateTimeMinutes(SCH.Date, SCH.Time, primed_.date, primed_.time) == 0) {
        PrimeStartMoment();
        primed_ = {SCH.Date, SCH.Time};
        w.Display();
      }
      LayOutSchedule();
      ShowPage(kWhen);
      w[back_].Enable();
      break;
    case kWhen:
      ShowPage(kCategory);
      break;
    case kCategory:
      AlarmControls();
      ShowPage(kAdvanced);
      w[next_].Disable();
      if (!view_) {
        w[OkControl].Enable();
        w[OkControl].Default();
      }
      break;
    default:
      break;
  }
}

void ScriptWizard::Back() {
  Window& w = window();
  if (hot_key_) {
    if (page_ == kCategory) {
      ShowPage(kCommand);
      w[back_].Disable();
      w[next_].Enable();
    }
    return;
  }
  switch (page_) {
    case kWhen:
      ShowPage(kCommand);
      w[back_].Disable();
      break;
    case kCategory:
      ShowPage(kWhen);
      break;
    case kAdvanced:
      ShowPage(kCategory);
      w[next_].Enable();
      w[OkControl].Disable();
      w[next_].Default();
      break;
    default:
      break;
  }
}

void ScriptWizard::LayOutSchedule() {
  Window& w = window();
  w[every_group_].SetText("&Every...");
  for (int control : {ordinals_, days_, every_prompt_, every_, every_type_, repeat_, offset_prompt_,
                      offset_, tips_, except_}) {
    w[control].Hide();
  }
  const std::string type(SCH.ScheduleType.clipped());
  if (type == "Yearly") {
    w[except_].Unhide();
  } else if (type == "Monthly") {
    w[every_group_].SetText("&Repeat (Per Month)");
    for (int control : {except_, repeat_, offset_prompt_, offset_, tips_}) w[control].Unhide();
    RepeatRule();
  } else if (type == "Day of Week") {
    w[days_].Unhide();
  } else if (type == "Day of Month") {
    w[ordinals_].Unhide();
    w[days_].Unhide();
    w[except_].Unhide();
  } else if (type != "Once") {
    for (int control : {every_prompt_, every_, every_type_, except_}) w[control].Unhide();
  }
  MonthEndRule();
}

// The checks that "Month End" greys (the task form's rule).
void ScriptWizard::MonthEndRule() {
  if (view_ || delete_) return;
  for (int control : ordinal_checks_) window()[control].Enable(WeekChecksFree(SCH));
  for (int control : day_checks_) window()[control].Enable(DayChecksFree(SCH));
}

// The offset applies to the twice-monthly repeats only.
void ScriptWizard::RepeatRule() {
  if (SCH.MonthRepeat.clipped().empty() || SCH.MonthRepeat.view().front() != 'T')
    SCH.MonthRepeat = "Once";
  const bool twice = SCH.MonthRepeat.view().front() == 'T';
  Window& w = window();
  for (int control : {offset_, tips_}) w[control].Enable(twice && !view_ && !delete_);
  w[repeat_].Display();
}

// The alarm's file controls follow the check; locked in view and delete modes.
void ScriptWizard::AlarmControls() {
  const bool on = SCH.Alarm != 0 && !view_ && !delete_;
  for (int control : {alarm_file_, browse_wav_, play_}) window()[control].Enable(on);
  AlarmFileFromIni();
  window()[alarm_file_].Display();
}

void ScriptWizard::DateAccepted() {
  WarnIfDateMisfits();
  if (ApplyDefaultWarning()) shown_warning_.Take();
  window().Display();
}

void ScriptWizard::WarningAccepted() {
  AcceptWarning(shown_warning_, true);
  window().Display();
}

Level ScriptWizard::TakeAccepted() {
  const int control = ACCEPTED();
  Window& w = window();
  if (control == OkControl || control == CancelControl) return WindowManager::TakeAccepted();
  if (control != 0) w.Update();
  if (control == next_) {
    Next();
  } else if (control == back_) {
    Back();
  } else if (control == type_) {
    LayOutSchedule();
  } else if (control == month_end_) {
    MonthEndRule();
  } else if (control == repeat_) {
    RepeatRule();
  } else if (control == every_ || control == every_type_) {
    if (SCH.Every > 0 && SCH.EveryType.clipped() == "hour(s)") SCH.NoHistory = 1;
    w.Display();
  } else if (control == date_) {
    DateAccepted();
  } else if (control == date_pick_) {
    if (const std::int32_t chosen = Calendar(SCH.Date, "", "Select Date"); chosen != 0) {
      SCH.Date = chosen;
      w.Display();
      DateAccepted();
    }
  } else if (control == warn_date_ || control == warn_time_) {
    WarningAccepted();
  } else if (control == warn_pick_) {
    SCH.AdvanceWarnDate = Calendar(SCH.AdvanceWarnDate, "None", "Select Date");
    w.Display();
    WarningAccepted();
  } else if (control == tips_) {
    MESSAGE(kOffsetTips, "Offset Tips", MessageIcon::Information);
  } else if (control == except_) {
    UpdateSchedule_ExceptionsWindow();
  } else if (control == alarm_) {
    AlarmControls();
  } else if (control == alarm_file_) {
    if (RecallAlarmFile()) w[alarm_file_].Display();
  } else if (control == browse_wav_) {
    if (BrowseAlarmFile()) w.Display();
  } else if (control == play_) {
    if (SCH.AlarmFile.blank()) {
      w.Post(EVENT_Accepted, browse_wav_);
    } else if (!PlayAlarmFile()) {
      w.Select(browse_wav_);
    }
  } else if (control == add_template_) {
    AddTemplate();
  } else if (control == add_) {
    RunStepEditor(InsertRecord);
  } else if (control == copy_) {
    GLO_COPYMODE = 1;
    copying_ = true;
    RunStepEditor(InsertRecord);
    GLO_COPYMODE = 0;
  } else if (control == edit_) {
    RunStepEditor(ChangeRecord);
  } else if (control == delete_step_) {
    RunStepEditor(DeleteRecord);
  } else if (control == import_) {
    ImportScript();
    Reset(true);
  } else if (control == export_) {
    ExportScript();
  } else if (control == clear_) {
    ClearAllScriptItems([] {});
    Reset(true);
  } else if (control == as_text_) {
    WindowManager::RunUpdate([] { Script_EditAsText(); }, ChangeRecord);
    Reset(true);
  } else if (control == up_) {
    Move(StepMove::UpOne);
  } else if (control == top_) {
    Move(StepMove::ToTop);
  } else if (control == down_) {
    Move(StepMove::DownOne);
  } else if (control == bottom_) {
    Move(StepMove::ToBottom);
  } else {
    return WindowManager::TakeAccepted();
  }
  return Level_Notify;
}

Level ScriptWizard::TakeNewSelection() {
  const int control = FIELD();
  if (control == sheet_) {
    Reset(false);
    tabs_.COLOURTABS();
    if (view_ || delete_) window().Select(CancelControl);
  } else if (control == template_list_ && KEYCODE() == MouseLeft2) {
    AddTemplate();
  }
  return WindowManager::TakeNewSelection();
}

// The popup of both lists: the commands of the Command page that do not need the editor.
void ScriptWizard::ListPopup() {
  Window& w = window();
  const auto item = [&](int control, std::string_view text) {
    return std::string(w[control].Enabled() ? "" : "~") + std::string(text);
  };
  const std::string menu = item(add_template_, "&Add template to script") + "|-|" +
                           item(as_text_, "Edit as &Text") + "|-|" + item(import_, "Import") + "|" +
                           item(export_, "E&xport") + "|" + item(copy_, "Cop&y");
  const int commands[] = {add_template_, as_text_, import_, export_, copy_};
  const int chosen = POPUP(menu);
  if (chosen >= 1 && chosen <= 5) w.Post(EVENT_Accepted, commands[chosen - 1]);
}

Level ScriptWizard::TakeFieldEvent() {
  if (EVENT() == EVENT_AlertKey && KEYCODE() == MouseRight &&
      (FIELD() == step_list_ || FIELD() == template_list_)) {
    SETKEYCODE(0);
    ListPopup();
    return Level_Notify;
  }
  return WindowManager::TakeFieldEvent();
}

Level ScriptWizard::TakeCompleted() {
  Update();
  if (view_) return Level_Notify;
  if (delete_) {
    if (RELATE_SCHEDULE->Open() == 0) {
      const int code = RELATE_SCHEDULE->Delete(true);
      RELATE_SCHEDULE->Close();
      if (code != 0) return Level_Notify;
    }
    Response = RequestCompleted;
    PostClose();
    return Level_Notify;
  }
  if (required_.INCOMPLETE() != 0) return Level_Notify;
  // A hot key's task has no schedule; any other is new and must not run at once for a moment
  // that has passed.
  if (!hot_key_ && !SettlePastStart(false)) {
    window().Display();
    return Level_Notify;
  }
  FillTaskDefaults();
  if (hot_key_) ClearHotKeyFields();
  int code = 0;
  if (Request == InsertRecord) {
    code = ACCESS_SCHEDULE->Insert();
  } else {
    // The task's stored record becomes the current one, then the screen's fields are put over it.
    const SCHEDULE_RECORD edited = SCH;
    code = ACCESS_SCHEDULE->TryFetch(SCH_KEYID);
    SCH = edited;
    if (code == 0) code = ACCESS_SCHEDULE->Update();
  }
  if (code != 0) return Level_Notify;
  Response = RequestCompleted;
  PostClose();
  return Level_Notify;
}

}  // namespace

void Wizard_Script() {
  Window window("New Script Task Wizard");
  ScriptWizard wizard(window);
  wizard.TakeRequest();
  wizard.Build();
  wizard.Run();
}

}  // namespace vx
