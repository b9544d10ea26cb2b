#include "program/schedule/birthday_wizard.h"

#include <cstdint>
#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/colour_tab_class.h"
#include "datadll/utility/req_fld_class.h"
#include "framework/file_manager.h"
#include "framework/relation_manager.h"
#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "program/admin/password_validation.h"
#include "program/common/calendar.h"
#include "program/due_tasks/due_task.h"
#include "program/schedule/birthday_task.h"
#include "program/schedule/task_defaults.h"
#include "program/schedule/task_form_rules.h"
#include "program/windows/format_date.h"
#include "program/windows/window_procedure_scope.h"
#include "program/windows/wizard_buttons.h"
#include "runtime/events.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

enum Page { kBirthdate = 1, kDetails = 2, kAlarm = 3 };

class BirthdayWizard final : public WindowManager {
 public:
  explicit BirthdayWizard(Window& window)
      : WindowManager(window), scope_("Wizard:NewBirthdays", *this) {
    scope_.KeepPlaceWhenMoved();
  }

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;
  Level TakeSelected() override;
  Level TakeCompleted() override;

 private:
  void BuildBirthdatePage(Control& sheet);
  void BuildDetailsPage(Control& sheet);
  void BuildAlarmPage(Control& sheet);
  YearlyEvent Event() const;
  void BuildTexts();
  bool BuildTask();
  void ShowPage(int page);
  void Next();
  void Back();
  void WarningControls();
  void AlarmControls();
  void RememberAlarm();
  int PageOf(int control);

  WindowProcedureScope scope_;
  COLOURTABCLASS tabs_;
  REQFLDCLASS required_;
  bool counted_ = false;
  // The page shown: each wizard keeps its own, so two open wizards page apart.
  int page_ = kBirthdate;

  // What the first two pages ask; the texts and the alarm are fields of the task itself.
  String<40> name_;
  String<40> when_ = "Exact";
  std::int32_t date_ = 0;
  std::uint8_t warn_ = 0;
  std::int32_t days_ = 1;
  String<20> occasion_ = "Birthday";

  int sheet_ = 0, back_ = 0, next_ = 0;
  int name_entry_ = 0, date_entry_ = 0, date_pick_ = 0, warn_check_ = 0, days_prompt_ = 0,
      days_entry_ = 0;
  int occasion_option_ = 0, description_ = 0, message_ = 0;
  int alarm_ = 0, alarm_prompt_ = 0, alarm_file_ = 0, browse_ = 0, play_ = 0;
};

void BirthdayWizard::Build() {
  Window& w = window();
  w.Set(Prop::Icon, "MSG.ICO");
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  sheet.Set(Prop::Wizard, true);
  BuildBirthdatePage(sheet);
  BuildDetailsPage(sheet);
  BuildAlarmPage(sheet);

  const WizardButtons buttons = AddWizardButtons(w);
  back_ = buttons.back;
  next_ = buttons.next;
  OkControl = buttons.ok;
  CancelControl = buttons.cancel;
}

void BirthdayWizard::BuildBirthdatePage(Control& sheet) {
  Control& page = sheet.Tab("Birthdate");
  page.String("Birthday...").Set(Prop::FontStyle, 700L);
  page.Prompt("&Who:");
  name_entry_ = page.Entry(name_, "@s40").Tip("Birthday celebrant's name").Required();
  Control& when = page.Option("When", when_);
  when.Tip("Type of birthday");
  when.Radio("I know the e&xact birthdate", "Exact");
  when.Radio("I only know the &month and day", "Birthday");
  page.Prompt("&Exact birthdate or next birthday:");
  Control& date = page.Row();
  date_entry_ = date.Entry(date_, DatePicture() + "b");
  date_pick_ = date.Button("...").Icon("~calendar.ico").Tip("Select Date");
  warn_check_ = page.Check("I need an &advanced warning", warn_).Tip("Need an advanced warning");
  days_prompt_ = page.Prompt("- number of days in advance:");
  days_entry_ = page.Entry(days_, "@n2");
}

void BirthdayWizard::BuildDetailsPage(Control& sheet) {
  Control& page = sheet.Tab("Details");
  page.String("Details...").Set(Prop::FontStyle, 700L);
  Control& occasion = page.Option("Occasion", occasion_);
  occasion.Arrange(Arrangement::Row);
  for (const char* kind : {"Birthday", "Anniversary", "Other"}) occasion.Radio(kind, kind);
  occasion_option_ = occasion;
  page.Prompt("&Description:");
  description_ = page.Entry(SCH.Description, "@s40").Tip("Description or Title of Task").Required();
  page.Prompt("&Message:");
  message_ = page.Text(SCH.Message).Tip("Message to display").Required();
}

void BirthdayWizard::BuildAlarmPage(Control& sheet) {
  Control& page = sheet.Tab("Advanced");
  page.String("Alarm...").Set(Prop::FontStyle, 700L);
  Control& alarm = page.Group("Alarm");
  alarm_ = alarm.Check("Play a WAV file as an a&larm", SCH.Alarm);
  alarm_prompt_ = alarm.Prompt("WAV File to Play:");
  Control& wav = alarm.Row();
  alarm_file_ = wav.Entry(SCH.AlarmFile, "@s255").Tip("WAV file to play as an alarm").Required();
  browse_ = wav.Button("&Browse").Icon("open.ico").Tip("Select a WAV file to play as an alarm.");
  play_ = wav.Button("&Play").Icon("speaker2.ico").Tip("Let's hear it!");
}

Level BirthdayWizard::Init() {
  WindowManager::Init();
  // Whatever the caller asked, the wizard makes a new task.
  if (fPasswordValidation() == 0) return Level_Notify;
  ++WIZARDTHREADCOUNT;
  counted_ = true;
  Request = InsertRecord;
  SetCurrentRequest(InsertRecord);
  SetCurrentResponse(0);
  RELATE_CATEGORIES->Open();
  ACCESS_SCHEDULE->UseFile();
  PrimeYearlyEventTask();
  // OK writes the finished task over the placeholder, Cancel withdraws it.
  ReserveNewTask();
  Window& w = window();
  Open();
  tabs_.INIT(w, -1, -1, 0, 0, 1, -1, kOtherTabColour);
  required_.INIT(w, "Missing Information", "@PROMPT must be entered.");
  required_.ADDFIELD(name_entry_, "BName", "", "", "Birthday celebrant's name", true);
  required_.ADDFIELD(description_, "SCH:Description", "", "", "Description", true);
  required_.ADDFIELD(message_, "SCH:Message", "", "", "Message", true);
  // Demanded only while the alarm is on: the entry is greyed otherwise.
  required_.ADDFIELD(alarm_file_, "SCH:AlarmFile", "", "", "Alarm File", true);
  WarningControls();
  AlarmControls();
  ShowPage(kBirthdate);
  w.Select(name_entry_);
  return Level_Benign;
}

Level BirthdayWizard::Kill() {
  if (counted_ && Response != RequestCompleted && ACCESS_SCHEDULE->HasPlaceholder()) {
    ACCESS_SCHEDULE->CancelAutoInc();
  }
  if (Response == RequestCompleted) RefreshTaskLists();
  tabs_.KILL();
  required_.KILL();
  WindowManager::Kill();
  if (counted_) {
    RELATE_CATEGORIES->Close();
    --WIZARDTHREADCOUNT;
  }
  return Level_Benign;
}

YearlyEvent BirthdayWizard::Event() const {
  return {std::string(name_.clipped()), when_.clipped() == "Exact", date_,
          std::string(occasion_.clipped())};
}

// The description and message for the occasion, over whatever was typed in them.
void BirthdayWizard::BuildTexts() {
  const YearlyEvent event = Event();
  SCH.Description = YearlyEventDescription(event);
  SCH.Message = YearlyEventMessage(event);
}

// The texts, the next run and the advance warning from the first page; false (with the date's
// message) while no date is given.
bool BirthdayWizard::BuildTask() {
  if (date_ == 0) {
    ShowPage(kBirthdate);
    window().Select(date_entry_);
    MESSAGE("Exact birthdate or next birthday must be entered.", "Missing Information",
            MessageIcon::Exclamation);
    return false;
  }
  BuildTexts();
  DateYearlyEventTask(date_, warn_ != 0 ? days_ : 0);
  window().Display();
  return true;
}

void BirthdayWizard::ShowPage(int page) {
  page_ = page;
  Window& w = window();
  w[sheet_].Choose(page);
  w[back_].Enable(page > kBirthdate);
  w[next_].Enable(page < kAlarm);
  // Once the texts are built, the rest is optional: Enter finishes.
  if (page == kBirthdate) {
    w[next_].Default();
  } else {
    w[OkControl].Default();
  }
  tabs_.COLOURTABS();
}

void BirthdayWizard::Next() {
  switch (page_) {
    case kBirthdate:
      if (BuildTask()) ShowPage(kDetails);
      break;
    case kDetails:
      AlarmControls();
      ShowPage(kAlarm);
      break;
    default:
      break;
  }
}

void BirthdayWizard::Back() {
  switch (page_) {
    case kDetails:
      ShowPage(kBirthdate);
      break;
    case kAlarm:
      ShowPage(kDetails);
      window()[next_].Default();
      break;
    default:
      break;
  }
}

// The number of days counts only with the warning asked for.
void BirthdayWizard::WarningControls() {
  Window& w = window();
  for (int control : {days_prompt_, days_entry_}) w[control].Enable(warn_ != 0);
}

// The sound's controls follow the alarm check; switching it on fills a blank file with the
// one used last.
void BirthdayWizard::AlarmControls() {
  Window& w = window();
  for (int control : {alarm_prompt_, alarm_file_, browse_, play_})
    w[control].Enable(SCH.Alarm != 0);
  RememberAlarm();
}

// The wizard remembers its sound in the program INI ([Settings] LastWAVFile).
void BirthdayWizard::RememberAlarm() {
  AlarmFileFromIni();
  window()[alarm_file_].Display();
}

// The page of the sheet that holds a control (0: none).
int BirthdayWizard::PageOf(int control) {
  Window& w = window();
  for (int number = control; number != 0;) {
    const Control& c = w[number];
    if (c.Type() == ControlType::Tab) {
      int page = 0;
      for (const Control* tab : w[sheet_].Children()) {
        ++page;
        if (tab == &c) return page;
      }
      return 0;
    }
    number = c.Parent();
  }
  return 0;
}

Level BirthdayWizard::TakeAccepted() {
  const int control = ACCEPTED();
  Window& w = window();
  if (control == OkControl || control == CancelControl) return WindowManager::TakeAccepted();
  if (control != 0) w.Update();
  if (control == next_) {
    Next();
  } else if (control == back_) {
    Back();
  } else if (control == occasion_option_) {
    BuildTexts();
    w.Display();
  } else if (control == date_pick_) {
    if (const std::int32_t chosen = Calendar(date_, "None", "Select Date"); chosen != 0) {
      date_ = chosen;
      w[date_entry_].Display();
    }
  } else if (control == warn_check_) {
    WarningControls();
  } else if (control == alarm_) {
    AlarmControls();
  } else if (control == alarm_file_) {
    RememberAlarm();
  } else if (control == browse_) {
    if (ChooseAlarmFile()) RememberAlarm();
  } else if (control == play_) {
    SCH.AlarmFile = std::string(SCH.AlarmFile.clipped());
    if (SCH.AlarmFile.blank()) {
      w.Select(browse_);
      w.Post(EVENT_Accepted, browse_);
    } else if (!PlayAlarmFile()) {
      w.Select(browse_);
    }
  } else {
    return WindowManager::TakeAccepted();
  }
  return Level_Notify;
}

Level BirthdayWizard::TakeSelected() {
  if (FIELD() == alarm_file_) RememberAlarm();
  return WindowManager::TakeSelected();
}

Level BirthdayWizard::TakeCompleted() {
  Update();
  // Finishing from the first page builds what Next would have: the texts and the day.
  if (page_ == kBirthdate && !BuildTask()) return Level_Notify;
  if (const int missing = required_.INCOMPLETE(); missing != 0) {
    if (const int page = PageOf(missing); page != 0 && page != page_) {
      ShowPage(page);
      window().Select(missing);
    }
    return Level_Notify;
  }
  // The day was worked out on "Next"; one that has passed since (the wizard left open over
  // midnight) moves on to the next year's.
  if (!SettlePastStart(false)) return Level_Notify;
  FillTaskDefaults();
  SCH.Disabled = 0;
  SCH.Completed = 0;
  if (ACCESS_SCHEDULE->Insert() != 0) return Level_Notify;
  Response = RequestCompleted;
  PostClose();
  return Level_Notify;
}

}  // namespace

void Wizard_NewBirthdays() {
  Window window("Birthday/Anniversary Wizard");
  BirthdayWizard wizard(window);
  wizard.Build();
  wizard.Run();
}

}  // namespace vx
