// The users list and form and the form of one user's copy of a task, on real tables: the
// captions by request, the required fields, and deleting a user with the user's task rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "program/admin/admin_windows.h"
#include "runtime/dates.h"
#include "runtime/locale_formats.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

using test::Shown;

class UserWindowsTest : public test::WindowTest {
 protected:
  ScopedLocaleFormats layouts_{LocaleFormats{}};  // times as %H:%M

  // The notes text (its prompt shares its words with its tab).
  static DriverControl NotesOf(const DriverWindow& form) {
    for (int n = 1;; ++n) {
      if (form.ControlNumber(n).Kind() == ControlType::Text) return form.ControlNumber(n);
    }
  }
  static void AddUser(std::string_view name) {
    ASSERT_EQ(ACCESS_USERS->Open(), 0);
    U_ = USERS_RECORD{};
    U_.USER = name;
    ASSERT_EQ(ACCESS_USERS->Insert(), 0);
    ACCESS_USERS->Close();
  }
  static void AddUserTask(std::string_view user, std::int32_t id) {
    ASSERT_EQ(ACCESS_VXUSD->Open(), 0);
    US = VXUSD_RECORD{};
    US.USER = user;
    US.ID = id;
    US.DATE = DATE(7, 1, 2026);
    US.TIME = MakeTime(9, 0);
    ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);
    ACCESS_VXUSD->Close();
  }
  static std::vector<USERS_RECORD> Users() {
    std::vector<USERS_RECORD> out;
    EXPECT_EQ(ACCESS_USERS->Open(), 0);
    ACCESS_USERS->Set(U__KEYUSER);
    while (ACCESS_USERS->TryNext() == 0) out.push_back(U_);
    ACCESS_USERS->Close();
    return out;
  }
  static std::vector<std::string> UserTaskRows() {
    std::vector<std::string> out;
    EXPECT_EQ(ACCESS_VXUSD->Open(), 0);
    ACCESS_VXUSD->Set(US_KEYID);
    while (ACCESS_VXUSD->TryNext() == 0) out.push_back(US.USER.str() + " " + std::to_string(US.ID));
    ACCESS_VXUSD->Close();
    return out;
  }
};

TEST_F(UserWindowsTest, UsersAreAddedChangedAndDeletedWithTheirTaskRows) {
  AddUser("zoe");
  AddUser("amy");
  AddUserTask("amy", 1);
  AddUserTask("zoe", 1);
  AddUserTask("zoe", 2);
  ui_.Start([] { BrowseUsers(); });
  DriverWindow w = ui_.WaitWindow("Users");
  EXPECT_TRUE(w.Control("Select").Hidden()) << "only a picker selects";
  DriverControl list = w.ControlNumber(3);
  ASSERT_EQ(list.Rows(), 2u);
  EXPECT_EQ(list.Cell(1, 1), "amy");
  EXPECT_EQ(list.Cell(2, 1), "zoe");

  w.Control("New").Press();
  DriverWindow form = ui_.WaitWindow("Add Users");
  form.Control("OK").Press();  // no name: said, and the form stays
  const SeenRequest missing = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(missing.caption, "Missing Information");
  EXPECT_EQ(missing.text, "\"User\" must be entered.");
  EXPECT_TRUE(form.Open());
  form.Control("User").Type("bob");
  EXPECT_EQ(form.Control("Password").Get(Prop::Password), "1");
  form.Control("Password").Type("pw1");
  form.Control("Confirm Password").Type("other");  // kept as typed: nothing compares them
  form.Control("Use Password").Tick();
  form.Control("Access to Information").Choose("All Users");
  form.Control("Source Path").Type("/home/bob");
  form.Control("Notes").Press();  // the tab
  NotesOf(form).Type("Night shift");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  ASSERT_EQ(list.Rows(), 3u);
  EXPECT_EQ(list.Cell(2, 1), "bob");

  list.ChooseRow(2);
  w.Control("Edit").Press();
  form = ui_.WaitWindow("Change Users");
  EXPECT_EQ(form.Control("Source Path").Value(), "/home/bob");
  form.Control("Source Path").Type("/srv/bob");
  form.Control("OK").Press();
  ui_.WaitClosed(form);

  // Deleting zoe deletes zoe's rows of the tasks too.
  list.ChooseRow(3);
  w.Control("Delete").Press();
  form = ui_.WaitWindow("Delete Users");
  form.Control("OK").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(list.Rows(), 2u);
  w.Close();
  ui_.WaitClosed(w);
  ui_.Finish();

  const std::vector<USERS_RECORD> users = Users();
  ASSERT_EQ(users.size(), 2u);
  EXPECT_EQ(users[1].USER, "bob");
  EXPECT_EQ(users[1].PASSWORD, "pw1");
  EXPECT_EQ(users[1].CONFIRMPASSWORD, "other");
  EXPECT_EQ(users[1].USEPASSWORD, 1);
  EXPECT_EQ(users[1].SECURITY, "All Users");
  EXPECT_EQ(users[1].SOURCEPATH, "/srv/bob");
  EXPECT_EQ(users[1].NOTES, "Night shift");
  EXPECT_EQ(UserTaskRows(), std::vector<std::string>{"amy 1"});
}

TEST_F(UserWindowsTest, TheListExtensionSortsTheUsersByTheirHeader) {
  for (const char* name : {"bob", "Amy", "zoe"}) AddUser(name);
  ui_.Start([] { BrowseUsers(); });
  DriverWindow w = ui_.WaitWindow("Users");
  DriverControl list = w.ControlNumber(3);
  EXPECT_EQ(list.Cell(1, 1), "Amy");
  list.ClickHeader(1);
  list.ClickHeader(1);  // the second click reverses
  EXPECT_TRUE(list.HeaderUnderlined(1));
  EXPECT_EQ(list.Cell(1, 1), "zoe");
  EXPECT_EQ(list.Cell(3, 1), "Amy");
  w.Close();
  ui_.WaitClosed(w);
  ui_.Finish();
}

TEST_F(UserWindowsTest, TheUsersCopyOfATaskIsEditedByItsForm) {
  AddUserTask("kim", 7);
  ui_.Start([] {
    US = VXUSD_RECORD{};
    US.USER = "kim";
    US.ID = 7;
    ACCESS_VXUSD->Open();
    ACCESS_VXUSD->Fetch(US_KEYID);
    WindowManager::RunUpdate(UpdateVXUSD, ChangeRecord);
    ACCESS_VXUSD->Fetch(US_KEYID);
    WindowManager::RunUpdate(UpdateVXUSD, ViewRecord);
    ACCESS_VXUSD->Close();
  });
  DriverWindow form = ui_.WaitWindow("Edit User Schedule Details");
  EXPECT_EQ(form.Control("Start").Value(), Shown(DATE(7, 1, 2026)));
  EXPECT_EQ(form.Control("Advance warning").Value(), "") << "no date shows as none";
  EXPECT_EQ(form.Control("Last performed").Value(), "");
  form.Control("Start").Type("");
  form.Control("OK").Press();  // the date is required
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text, "\"Next Date to Perform Task\" must be entered.");
  EXPECT_TRUE(form.Open());
  form.Control("Start").Type(Shown(DATE(7, 9, 2026)));
  form.Control("Time").Type("18:30");
  form.Control("Disabled").Tick();
  form.Control("Skip Next Time").Tick();
  form.Control("OK").Press();
  ui_.WaitClosed(form);

  // Viewing: every field greyed, OK hidden.
  form = ui_.WaitWindow("View User Schedule Details");
  EXPECT_EQ(form.Control("Time").Value(), "18:30");
  EXPECT_TRUE(form.Control("Start").Disabled());
  EXPECT_TRUE(form.Control("OK").Hidden());
  form.Control("Close").Press();
  ui_.WaitClosed(form);
  ui_.Finish();

  EXPECT_EQ(UserTaskRows(), std::vector<std::string>{"kim 7"});
  ASSERT_EQ(ACCESS_VXUSD->Open(), 0);
  US.USER = "kim";
  US.ID = 7;
  ASSERT_EQ(ACCESS_VXUSD->Fetch(US_KEYID), 0);
  EXPECT_EQ(US.DATE, DATE(7, 9, 2026));
  EXPECT_EQ(US.TIME, MakeTime(18, 30));
  EXPECT_EQ(US.DISABLED, 1);
  EXPECT_EQ(US.SKIPNEXTTIME, 1);
  ACCESS_VXUSD->Close();
}

}  // namespace
}  // namespace vx
