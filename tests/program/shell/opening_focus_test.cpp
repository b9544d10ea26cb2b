// Windows of several areas open with the keys in their first field, as a keyboard user expects:
// the wizards and the task form in the task's name, forms and questions in their first entry,
// Options in the first check box of its first page.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "framework/request_globals.h"
#include "program/admin/admin_windows.h"
#include "program/admin/load_settings.h"
#include "program/admin/password_validation.h"
#include "program/admin/program_arguments.h"
#include "program/common/main_procedures.h"
#include "program/common/program_registry.h"
#include "program/organiser/generate_email.h"
#include "program/schedule/category_windows.h"
#include "program/schedule/holiday_windows.h"
#include "program/schedule/update_schedule.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

class OpeningFocusTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ProgramRegistry().INIT(1);
    ININAME = "vx98.INI";
    SetProgramArguments({});
    LoadSettings();
    RegisterMainProcedure("BrowseScripting", {});
    RegisterMainProcedure("UpdateVXUSD", {});
  }
  void TearDown() override {
    SYSLOCK = 0;
    SYSPWD = "";
    SystemUnlocked = 0;
    GLO_PRIMETASKTYPE.clear();
    SetProgramArguments({});
    ProgramRegistry().KILL();
    WindowTest::TearDown();
  }
};

TEST_F(OpeningFocusTest, EachWindowOpensWithTheKeysInItsFirstField) {
  struct Case {
    const char* what;
    std::function<void()> open;
    const char* title;
    const char* first_field;
  };
  const auto task_form = [](const char* prime) {
    return [prime] {
      GLO_PRIMETASKTYPE = prime;
      SCH = SCHEDULE_RECORD{};
      SetCurrentRequest(InsertRecord);
      UpdateSchedule();
    };
  };
  const auto insert = [](void (*form)()) {
    return [form] {
      SetCurrentRequest(InsertRecord);
      form();
    };
  };
  const Case cases[] = {
      {"message wizard", task_form("Display Message"), "New Task", "&Description:"},
      {"program wizard", task_form("Run Program"), "New Task", "&Description:"},
      {"tabbed task form", task_form(""), "New Task", "&Description:"},
      {"holiday form", insert(UpdateHolidays), "New Holiday", "&Date:"},
      {"category form", insert(UpdateCategories), "New Category", "&Category:"},
      {"single e-mail",
       [] {
         ML = MSGLINK_RECORD{};
         GenerateEmail();
       },
       "Email Message", "Recipient's E-mail address:"},
      {"password prompt",
       [] {
         SYSLOCK = 1;
         SYSPWD = "secret";
         SystemUnlocked = 0;
         fPasswordValidation();
       },
       "Password Required", "Enter the system password:"},
      {"Options",
       [] {
         SYSLOCK = 0;  // no password asked first
         vx::Setup();
       },
       "Options", "Show Schedule at start up "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui_.Start(c.open);
    DriverWindow w = ui_.WaitWindow(c.title);
    EXPECT_EQ(w.Get(Prop::Focus), std::to_string(w.Control(c.first_field).Number()));
    w.Close();
    ui_.Finish();
  }
}

}  // namespace
}  // namespace vx
