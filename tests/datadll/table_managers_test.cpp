// The managers of every table: made at load in their fixed order and killed at unload, the
// settings they are made with, and the defaults, numbering and checks they apply to records.
#include "datadll/dictionary/table_managers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/reference_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/error_class.h"
#include "runtime/dates.h"
#include "test_support.h"
#include "tests/support/fixed_clock.h"

namespace vx {
namespace {

FileManager** const kAccess[] = {&ACCESS_SCHEDULE,
                                 &ACCESS_SYNCSCHEDULE,
                                 &ACCESS_CLIPBOARDCATEGORIES,
                                 &ACCESS_SCHEDULEWORKFILE,
                                 &ACCESS_CATEGORIES,
                                 &ACCESS_TODO,
                                 &ACCESS_SCRIPTING,
                                 &ACCESS_SCRIPTTEMPLATEDETAILS,
                                 &ACCESS_SCRIPTTEMPLATES,
                                 &ACCESS_SYNCSCRIPTING,
                                 &ACCESS_SYNCTODO,
                                 &ACCESS_EXPORT,
                                 &ACCESS_CONTACT,
                                 &ACCESS_CONTACTCATEGORIES,
                                 &ACCESS_USERS,
                                 &ACCESS_CLIPBOARD,
                                 &ACCESS_VXUSD,
                                 &ACCESS_HOLIDAYS,
                                 &ACCESS_VX_LOG,
                                 &ACCESS_FAVORITES,
                                 &ACCESS_MESSAGES,
                                 &ACCESS_VXSCD,
                                 &ACCESS_CONFIGURATION,
                                 &ACCESS_ACTIONS,
                                 &ACCESS_COMMANDS,
                                 &ACCESS_SYSHOTKEYS,
                                 &ACCESS_MSGLINK};
RelationManager** const kRelate[] = {&RELATE_SCHEDULE,
                                     &RELATE_SYNCSCHEDULE,
                                     &RELATE_CLIPBOARDCATEGORIES,
                                     &RELATE_SCHEDULEWORKFILE,
                                     &RELATE_CATEGORIES,
                                     &RELATE_TODO,
                                     &RELATE_SCRIPTING,
                                     &RELATE_SCRIPTTEMPLATEDETAILS,
                                     &RELATE_SCRIPTTEMPLATES,
                                     &RELATE_SYNCSCRIPTING,
                                     &RELATE_SYNCTODO,
                                     &RELATE_EXPORT,
                                     &RELATE_CONTACT,
                                     &RELATE_CONTACTCATEGORIES,
                                     &RELATE_USERS,
                                     &RELATE_CLIPBOARD,
                                     &RELATE_VXUSD,
                                     &RELATE_HOLIDAYS,
                                     &RELATE_VX_LOG,
                                     &RELATE_FAVORITES,
                                     &RELATE_MESSAGES,
                                     &RELATE_VXSCD,
                                     &RELATE_CONFIGURATION,
                                     &RELATE_ACTIONS,
                                     &RELATE_COMMANDS,
                                     &RELATE_SYSHOTKEYS,
                                     &RELATE_MSGLINK};

TEST(TableManagers, MadeAtLoadInGroupOrderAndKilledInTheSameOrder) {
  for (FileManager** access : kAccess) EXPECT_EQ(*access, nullptr);
  VX_Files_Load();
  std::vector<std::string> made, killed;
  for (const storage::TableDef* t : DictionaryTables()) {
    made.push_back("file " + t->label);
    made.push_back("relate " + t->label);
    killed.push_back("kill file " + t->label);
    killed.push_back("kill relate " + t->label);
  }
  EXPECT_EQ(TableManagerSteps(), made);
  for (std::size_t i = 0; i < std::size(kAccess); ++i) {
    FileManager* access = *kAccess[i];
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(&access->def(), DictionaryTables()[i]);
    EXPECT_TRUE(access->Create);
    EXPECT_EQ(access->OpenMode, 0x42);
    EXPECT_EQ(access->LockRecover, 5);
    ASSERT_NE(*kRelate[i], nullptr);
    EXPECT_EQ(&(*kRelate[i])->Me(), access);
  }
  VX_FILES_KILL();
  EXPECT_NE(ACCESS_SCHEDULE, nullptr);
  VX_Files_Unload();
  EXPECT_EQ(TableManagerSteps(), killed);
  for (FileManager** access : kAccess) EXPECT_EQ(*access, nullptr);
  for (RelationManager** relate : kRelate) EXPECT_EQ(*relate, nullptr);
}

class ManagersInFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    SetClockSource(&clock_);
    VX_Files_Load();
    program_errors_.SetReporter(&reporter_);
  }
  void TearDown() override {
    VX_Files_Unload();
    SetClockSource(nullptr);
  }
  test::InFreshFolder folder_;
  test::FixedClock clock_{80000, 360001};
  test::CapturingReporter reporter_;
  ErrorClass program_errors_;
};

TEST_F(ManagersInFolder, EveryTableOpensThroughItsManagerInAnEmptyFolder) {
  VX_FILES_INIT(&program_errors_, nullptr);
  for (FileManager** access : kAccess) {
    SCOPED_TRACE((*access)->def().label);
    EXPECT_EQ((*access)->Open(), 0);
  }
  for (FileManager** access : kAccess) EXPECT_EQ((*access)->Close(), 0);
  EXPECT_TRUE(reporter_.shown.empty());
  for (const char* name :
       {"VX97.TPS", "VXTpl.TPS", "vxWrkFil.TPS", "SyncSch.TPS", "SyncScr.TPS", "SyncTodo.TPS",
        "Export.txt", "VX98Evnt.LOG", "MSGLINK.TPS", "ACTIONS.TPS", "COMMANDS.TPS"}) {
    EXPECT_TRUE(std::filesystem::exists(name)) << name;
  }
}

TEST_F(ManagersInFolder, ANewTaskIsNumberedAndPrimed) {
  GLO_USER = "erin";
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  ACCESS_SCHEDULE->PrimeRecord();
  EXPECT_EQ(SCH.ID, 1);
  EXPECT_EQ(SCH.User.str(), "erin");
  EXPECT_EQ(SCH.Disabled, 1);
  EXPECT_EQ(SCH.LastChangeDate, 80000);
  EXPECT_EQ(SCH.LastChangeTime, 360001);
  SCH.Description = "Backup";
  ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  ACCESS_SCHEDULE->PrimeRecord();
  EXPECT_EQ(SCH.ID, 2);
  ACCESS_SCHEDULE->Close();
}

TEST_F(ManagersInFolder, ScriptStepsAreNumberedWithinTheirTask) {
  ASSERT_EQ(RELATE_SCRIPTING->Open(), 0);
  for (const std::int32_t task : {7, 7, 7, 7, 9}) {
    SCH.ID = task;
    ACCESS_SCRIPTING->PrimeRecord();
    ASSERT_EQ(ACCESS_SCRIPTING->Insert(), 0);
  }
  SCH.ID = 7;
  ACCESS_SCRIPTING->PrimeRecord();
  EXPECT_EQ(SCR.ID, 7);
  EXPECT_EQ(SCR.Sequence, 5);
  SCH.ID = 9;
  ACCESS_SCRIPTING->PrimeRecord();
  EXPECT_EQ(SCR.Sequence, 2);
  SCH.ID = 11;
  ACCESS_SCRIPTING->PrimeRecord();
  EXPECT_EQ(SCR.Sequence, 1);
  RELATE_SCRIPTING->Close();
}

TEST_F(ManagersInFolder, TextHotKeysOfNoTaskDoNotCollideOnTheTaskLink) {
  ASSERT_EQ(ACCESS_SYSHOTKEYS->Open(), 0);
  for (const char* key : {"Ctrl+Shift+A", "Ctrl+Shift+B"}) {
    SCH.ID = 3;  // a task read earlier on this thread is not taken over
    ACCESS_SYSHOTKEYS->PrimeRecord();
    HOT.HotKey = key;
    EXPECT_EQ(ACCESS_SYSHOTKEYS->Insert(), 0) << key;
  }
  // Two hot keys running the same task are still refused.
  for (const char* key : {"Ctrl+Shift+C", "Ctrl+Shift+D"}) {
    ACCESS_SYSHOTKEYS->PrimeRecord();
    HOT.HotKey = key;
    HOT.ID = 12;
    HOT.Action = "Task";
    ACCESS_SYSHOTKEYS->TryInsert();
  }
  EXPECT_EQ(ACCESS_SYSHOTKEYS->file().Records(), 3);
  ACCESS_SYSHOTKEYS->Close();
}

TEST_F(ManagersInFolder, PlaceholdersOfNewRecordsDoNotCollideOnBlankUniqueKeys) {
  // Two forms adding a template (or an action) at once each hold a numbered placeholder with a
  // blank title until they are saved.
  for (FileManager* access : {ACCESS_SCRIPTTEMPLATES, ACCESS_ACTIONS}) {
    SCOPED_TRACE(access->def().label);
    int codes[2] = {-1, -1};
    std::int64_t held = 0;
    for (int& code : codes) {
      std::thread([&] {
        access->Open();
        access->PrimeRecord();
        code = access->PrimeAutoInc();
        held = access->file().Records();
        access->Close();
      }).join();
    }
    EXPECT_EQ(codes[0], 0);
    EXPECT_EQ(codes[1], 0);
    EXPECT_EQ(held, 2);
  }
}

TEST_F(ManagersInFolder, ToDoPriorityCheckReportsThroughTheErrorObjectInUse) {
  ASSERT_EQ(ACCESS_TODO->Open(), 0);
  ACCESS_TODO->PrimeRecord();
  TDO.Priority = 11;
  EXPECT_NE(ACCESS_TODO->ValidateField(2), 0);
  EXPECT_TRUE(reporter_.shown.empty());  // the library's own error object had it
  VX_FILES_INIT(&program_errors_, nullptr);
  TDO.Priority = 0;
  EXPECT_NE(ACCESS_TODO->ValidateField(2), 0);
  ASSERT_EQ(reporter_.shown.size(), 1u);
  EXPECT_EQ(reporter_.shown[0].text, "The value of Priority must be between 1 and 10.");
  TDO.Priority = 10;
  EXPECT_EQ(ACCESS_TODO->ValidateField(2), 0);
  EXPECT_EQ(ACCESS_TODO->ValidateField(1), 0);
  STDO.Priority = 0;
  EXPECT_NE(ACCESS_SYNCTODO->ValidateField(2), 0);
  EXPECT_EQ(reporter_.shown.back().text, "The value of STdo:Priority must be between 1 and 10.");
  ACCESS_TODO->Close();
}

TEST_F(ManagersInFolder, FileProblemsAfterTheHandOverReachTheProgramsErrorObject) {
  VX_FILES_INIT(&program_errors_, nullptr);
  ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
  ACCESS_CATEGORIES->PrimeRecord();
  CAT.Category = "Work";
  ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
  ACCESS_CATEGORIES->PrimeRecord();
  CAT.Category = "WORK";
  EXPECT_EQ(ACCESS_CATEGORIES->Insert(), 40);
  ASSERT_EQ(reporter_.shown.size(), 1u);
  EXPECT_EQ(reporter_.shown[0].caption, "Duplicate Key Error");
  ACCESS_CATEGORIES->Close();
}

TEST_F(ManagersInFolder, FilesOfTheirOwnAreShownByTheirOwnNamesInMessages) {
  VX_FILES_INIT(&program_errors_, nullptr);
  struct Case {
    FileManager* access;
    const char* shown;
  };
  const Case cases[] = {
      {ACCESS_MSGLINK, "MsgLink"}, {ACCESS_ACTIONS, "Actions"}, {ACCESS_COMMANDS, "Commands"}};
  for (const Case& c : cases) {
    reporter_.shown.clear();
    ASSERT_EQ(c.access->Open(), 0);
    EXPECT_NE(c.access->Delete(), 0);  // no current record to delete
    ASSERT_EQ(reporter_.shown.size(), 1u) << c.shown;
    EXPECT_NE(reporter_.shown[0].text.find(std::string("file ") + c.shown + "."), std::string::npos)
        << reporter_.shown[0].text;
    c.access->Close();
  }
}

}  // namespace
}  // namespace vx
