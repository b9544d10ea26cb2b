// The birthday wizard on real tables: the yearly task it stores for dates still to come, today,
// past and 29 February, its texts for an exact date and for a month and day (the age worked out
// when the message is shown), its advance warning, its alarm sound, what Cancel and a locked
// system leave, and two wizards open at once. The clock stands at Friday 12 June 2026, 14:07.
#include "program/schedule/birthday_wizard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/window_manager.h"
#include "program/admin/load_settings.h"
#include "program/due_tasks/program_schedule_services.h"
#include "program/recurrence/schedule_services.h"
#include "program/script_engine/script_variables.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

constexpr std::string_view kTitle = "Birthday/Anniversary Wizard";

class BirthdayWizardTest : public test::WindowTest {
 protected:
  ProgramScheduleServices services_;
  ScopedScheduleServices scoped_services_{services_};

  // The wizard's sheet: which page it shows.
  static long Page(const DriverWindow& w) { return w.ControlNumber(1).Choice(); }
  // Fills the first page and goes on to the second.
  static void FirstPage(DriverWindow& w, std::string_view name, std::int32_t date) {
    w.Control("&Who:").Type(name);
    w.Control("&Exact birthdate or next birthday:").Type(test::Shown(date));
    w.Control("&Next").Press();
  }
  // A stand-in for Main: it starts a wizard on a thread of its own when it opens and on every
  // EVENT_User.
  void StartHost() {
    ui_.Start([] {
      Window window("Host");
      WindowManager manager(window);
      manager.On(EVENT_OpenWindow, [] { START(Wizard_NewBirthdays, 25000); });
      manager.On(EVENT_User, [] { START(Wizard_NewBirthdays, 25000); });
      manager.Run();
    });
  }
};

// The task the wizard stores, case by case: the day it falls on, its texts and its warning.
TEST_F(BirthdayWizardTest, StoresAYearlyReminderOnTheNextDayWithItsTextsAndWarning) {
  const std::string long_name(35, 'L');
  struct Case {
    const char* what;
    std::int32_t today;  // the clock's day (at 14:07)
    std::string name;
    const char* when;  // the radio chosen on the first page
    std::int32_t typed;
    const char* occasion;
    int warn_days;  // -1: no warning asked for
    std::int32_t task_date;
    std::string description;
    std::string message;
    std::int32_t warn_date;
    std::string shown;  // the message as shown on the task's day
  } cases[] = {
      {"still to come, exact, warned 7 days ahead", DATE(6, 12, 2026), "Ann",
       "I know the e&xact birthdate", DATE(8, 20, 1970), "Birthday", 7, DATE(8, 20, 2026),
       "Birthday: Ann", "It's Ann's birthday today!\r\n\r\nAge: [= AGE(DATE(8,20,1970),TODAY())]",
       DATE(8, 13, 2026), "It's Ann's birthday today!\r\n\r\nAge: 56 YRS"},
      {"today, month and day only, warned 0 days ahead", DATE(6, 12, 2026), "Bob",
       "I only know the &month and day", DATE(6, 12, 2026), "Birthday", 0, DATE(6, 12, 2027),
       "Birthday: Bob", "It's Bob's birthday today!\r\n\r\n", 0,
       "It's Bob's birthday today!\r\n\r\n"},
      {"past, an anniversary of a long name", DATE(6, 12, 2026), long_name,
       "I know the e&xact birthdate", DATE(3, 14, 1999), "Anniversary", -1, DATE(3, 14, 2027),
       ("Anniversary: " + long_name).substr(0, 40),
       "It's " + long_name + "'s anniversary today!\r\n\r\n[= AGE(DATE(3,14,1999),TODAY())]", 0,
       "It's " + long_name + "'s anniversary today!\r\n\r\n28 YRS"},
      {"29 February in a year without it", DATE(6, 12, 2026), "Leap", "I know the e&xact birthdate",
       DATE(2, 29, 2000), "Other", -1, DATE(3, 1, 2027), "Event: Leap",
       "Leap is today!\r\n\r\n[= AGE(DATE(2,29,2000),TODAY())]", 0, "Leap is today!\r\n\r\n27 YRS"},
      {"29 February in a leap year", DATE(1, 10, 2028), "Leap", "I only know the &month and day",
       DATE(2, 29, 2024), "Birthday", 7, DATE(2, 29, 2028), "Birthday: Leap",
       "It's Leap's birthday today!\r\n\r\n", DATE(2, 22, 2028),
       "It's Leap's birthday today!\r\n\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    clock_.Set(c.today, MakeTime(14, 7, 9));
    ui_.Start([] { Wizard_NewBirthdays(); });
    DriverWindow w = ui_.WaitWindow(kTitle);
    w.Control("When").Choose(c.when);
    if (c.warn_days >= 0) {
      w.Control("I need an &advanced warning").Tick();
      w.Control("- number of days in advance:").Type(std::to_string(c.warn_days));
    }
    FirstPage(w, c.name, c.typed);
    ASSERT_EQ(Page(w), 2);
    if (std::string_view(c.occasion) != "Birthday") {
      // Another occasion builds the texts again over what was typed.
      w.Control("&Description:").Type("typed by hand");
      w.Control("&Message:").Type("typed by hand");
      w.Control("Occasion").Choose(c.occasion);
    }
    EXPECT_EQ(w.Control("&Description:").Value(), c.description);
    w.Control("&Next").Press();
    EXPECT_EQ(Page(w), 3);
    w.Control("&OK").Press();
    ui_.WaitClosed(w);
    ui_.Finish();

    const std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
    ASSERT_EQ(tasks.size(), 1u);
    const SCHEDULE_RECORD& t = tasks[0];
    EXPECT_EQ(t.Date, c.task_date);
    EXPECT_EQ(t.Time, MakeTime(6, 0));
    EXPECT_EQ(t.Description.str(), c.description);
    EXPECT_EQ(std::string(t.Message.clipped()), CLIP(c.message));
    EXPECT_EQ(t.AdvanceWarnDate, c.warn_date);
    EXPECT_EQ(t.AdvanceWarnTime, c.warn_date == 0 ? 0 : MakeTime(6, 0));
    EXPECT_EQ(t.TaskType.str(), "Display Message");
    EXPECT_EQ(t.ScheduleType.str(), "Yearly");
    EXPECT_EQ(t.Category.str(), "Reminders");
    EXPECT_EQ(t.Disabled, 0);
    EXPECT_EQ(t.Alarm, 0);
    // On the day the message is shown, its expression gives the age.
    clock_.Set(t.Date, t.Time);
    EXPECT_EQ(ExpandVariables(t.Message.clipped()), CLIP(c.shown));

    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    SCH.ID = t.ID;
    ASSERT_EQ(ACCESS_SCHEDULE->Fetch(SCH_KEYID), 0);
    ASSERT_EQ(ACCESS_SCHEDULE->Delete(), 0);
    ACCESS_SCHEDULE->Close();
  }
  EXPECT_EQ(WIZARDTHREADCOUNT, 0);
}

TEST_F(BirthdayWizardTest, CancelLeavesNoTaskAndFinishingRefreshesTheTaskLists) {
  ui_.Start([] { Wizard_NewBirthdays(); });
  DriverWindow w = ui_.WaitWindow(kTitle);
  std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 1u) << "the task is reserved at once";
  EXPECT_EQ(tasks[0].Disabled, 1) << "and disabled, so that it never runs half made";
  EXPECT_EQ(WIZARDTHREADCOUNT, 1);
  FirstPage(w, "Ann", DATE(8, 20, 1970));
  w.Control("Cancel").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  EXPECT_TRUE(StoredTasks().empty());
  EXPECT_EQ(WIZARDTHREADCOUNT, 0);
  ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
  CAT.Category = "Reminders";
  EXPECT_EQ(ACCESS_CATEGORIES->TryFetch(CAT_KEYCATEGORY), 0) << "the category is added once";
  ACCESS_CATEGORIES->Close();

  // A finished task is announced to every open task list.
  ui_.Start([] {
    Window window("Task list");
    WindowManager manager(window);
    manager.On(EVENT_OpenWindow, [] {
      BROWSESCHEDULETHREADQUEUE.buffer.BROWSESCHEDULETHREAD = static_cast<std::int32_t>(THREAD());
      BROWSESCHEDULETHREADQUEUE.Add();
      START(Wizard_NewBirthdays, 25000);
    });
    manager.On(EVENT_RefreshSchedule, [&] { window.Title("Task list refreshed"); });
    manager.Run();
    BROWSESCHEDULETHREADQUEUE.Free();
  });
  DriverWindow list = ui_.WaitWindow("Task list");
  w = ui_.WaitWindow(kTitle);
  FirstPage(w, "Ann", DATE(8, 20, 1970));
  EXPECT_EQ(list.Title(), "Task list") << "nothing is announced before the task is stored";
  w.Control("&OK").Press();
  ui_.WaitClosed(w);
  ui_.WaitUntil([&] { return list.Title() == "Task list refreshed"; }, "the refresh");
  list.Close();
  ui_.Finish();
  EXPECT_EQ(StoredTasks().size(), 1u);
}

TEST_F(BirthdayWizardTest, TwoOpenWizardsEachKeepTheirOwnPage) {
  StartHost();
  DriverWindow host = ui_.WaitWindow("Host");
  DriverWindow first = ui_.WaitWindow(kTitle);
  host.Post(EVENT_User);
  DriverWindow second = first;
  ui_.WaitUntil(
      [&] {
        second = ui_.WaitWindow(kTitle);  // the newest that has opened
        return second.Thread() != first.Thread();
      },
      "the second wizard");
  ASSERT_NE(first.Thread(), second.Thread());

  FirstPage(first, "Ann", DATE(8, 20, 1970));
  EXPECT_EQ(Page(first), 2);
  EXPECT_EQ(Page(second), 1);
  FirstPage(second, "Bob", DATE(9, 1, 1980));
  EXPECT_EQ(Page(second), 2) << "the second wizard goes from its own first page";
  EXPECT_EQ(second.Control("&Description:").Value(), "Birthday: Bob");
  second.Control("&Next").Press();
  EXPECT_EQ(Page(second), 3);
  first.Control("&Back").Press();
  EXPECT_EQ(Page(first), 1) << "the first wizard goes back from its own second page";
  EXPECT_EQ(Page(second), 3);
  second.Control("&OK").Press();
  ui_.WaitClosed(second);
  first.Control("Cancel").Press();
  ui_.WaitClosed(first);
  host.Close();
  ui_.Finish();
  const std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0].Description.str(), "Birthday: Bob");
}

// The alarm page: the sound follows the check and is required while it is on; the one chosen
// is remembered in the program INI for the next wizard; the file dialog lists sound files
// whatever the case of their extension.
TEST_F(BirthdayWizardTest, TheAlarmSoundIsRememberedInTheProgramIniAndListedInEitherCase) {
  ui_.Start([] { Wizard_NewBirthdays(); });
  DriverWindow w = ui_.WaitWindow(kTitle);
  FirstPage(w, "Ann", DATE(8, 20, 1970));
  w.Control("&Next").Press();
  DriverControl file = w.Control("WAV File to Play:");
  EXPECT_TRUE(file.Disabled());
  EXPECT_TRUE(w.Control("&Browse").Disabled());
  w.Control("&OK").Press();  // no alarm: no sound needed
  ui_.WaitClosed(w);
  ui_.Finish();
  EXPECT_EQ(StoredTasks().at(0).Alarm, 0);

  ui_.Start([] { Wizard_NewBirthdays(); });
  w = ui_.WaitWindow(kTitle);
  FirstPage(w, "Bob", DATE(9, 1, 1980));
  w.Control("&Next").Press();
  file = w.Control("WAV File to Play:");
  w.Control("Play a WAV file as an a&larm").Tick();
  EXPECT_FALSE(file.Disabled());
  EXPECT_EQ(file.Value(), "");
  w.Control("&OK").Press();
  const SeenRequest missing = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(missing.caption, "Missing Information");
  EXPECT_EQ(missing.text, "\"Alarm File\" must be entered.");

  const std::string chosen = (root() / "sounds" / "ring.WAV").string();
  ui_.AnswerFile(chosen);
  w.Control("&Browse").Press();
  const SeenRequest asked = ui_.Requests().back();
  EXPECT_EQ(asked.caption, "Select WAV File for Alarm");
  EXPECT_EQ(asked.filter, "WAV Files|*.wav *.WAV");
  EXPECT_EQ(file.Value(), chosen);
  EXPECT_EQ(GETINI("Settings", "LastWAVFile", "", ININAME.clipped()), chosen);
  EXPECT_EQ(GETINI("Defaults", "WAVPath", "", ININAME.clipped()), (root() / "sounds").string());
  w.Control("&OK").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  const SCHEDULE_RECORD t = StoredTasks().at(1);
  EXPECT_EQ(t.Alarm, 1);
  EXPECT_EQ(t.AlarmFile.str(), chosen);

  // The next wizard offers the same sound.
  ui_.Start([] { Wizard_NewBirthdays(); });
  w = ui_.WaitWindow(kTitle);
  FirstPage(w, "Cy", DATE(9, 2, 1980));
  w.Control("&Next").Press();
  w.Control("Play a WAV file as an a&larm").Tick();
  EXPECT_EQ(w.Control("WAV File to Play:").Value(), chosen);
  w.Control("Cancel").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
}

// What the wizard asks for before it stores anything: a date before the second page, a name and
// texts before OK (the page holding a missing field is shown), and the system password.
TEST_F(BirthdayWizardTest, MissingFieldsAndTheLockedSystemKeepTheTaskFromBeingStored) {
  ui_.Start([] { Wizard_NewBirthdays(); });
  DriverWindow w = ui_.WaitWindow(kTitle);
  w.Control("&Next").Press();
  SeenRequest missing = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(missing.text, "Exact birthdate or next birthday must be entered.");
  EXPECT_EQ(Page(w), 1);
  FirstPage(w, "", DATE(8, 20, 1970));
  EXPECT_EQ(w.Control("&Description:").Value(), "Birthday:");
  w.Control("&Message:").Type("");
  w.Control("&OK").Press();
  missing = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(missing.text, "\"Birthday celebrant's name\" must be entered.");
  ui_.WaitUntil([&] { return Page(w) == 1; }, "the name's page");
  w.Control("&Who:").Type("Ann");
  w.Control("&Next").Press();  // builds the texts again
  w.Control("&Message:").Type("");
  w.Control("&Back").Press();
  w.Control("&OK").Press();  // OK on the first page builds the texts as Next does
  ui_.WaitClosed(w);
  ui_.Finish();
  std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0].Date, DATE(8, 20, 2026));
  EXPECT_EQ(std::string(tasks[0].Message.clipped()),
            "It's Ann's birthday today!\r\n\r\nAge: [= AGE(DATE(8,20,1970),TODAY())]");

  SYSLOCK = 1;
  SYSPWD = "sesame";
  ui_.Start([] { Wizard_NewBirthdays(); });
  DriverWindow prompt = ui_.WaitWindow("Password Required");
  prompt.Control("Cancel").Press();
  ui_.WaitClosed(prompt);
  ui_.Finish();
  EXPECT_FALSE(ui_.HasWindow(kTitle));
  EXPECT_EQ(StoredTasks().size(), 1u) << "refused: nothing reserved";
  SYSLOCK = 0;
}

}  // namespace
}  // namespace vx
