// Loading and unloading the data library: what load clears and sets up, the hand-over of the
// program's objects, and the file-conversion registration (in order, once per process).
#include "datadll/dictionary/vx_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/file_conversion.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "framework/error_class.h"
#include "runtime/ini_file.h"

namespace vx {
namespace {

class VxFilesTest : public ::testing::Test {
 protected:
  void TearDown() override { VX_Files_Unload(); }
};

TEST_F(VxFilesTest, LoadClearsTextGlobalsBuffersAndRequests) {
  GLO_USER = "dave";
  USERNAME = "Windows Default";
  SCH.Description = "left over";
  SCH.ID = 3;
  GLOBALREQUEST = 2;
  VCRREQUEST = 5;
  VX_Files_Load();
  EXPECT_TRUE(VX_Files_Loaded());
  EXPECT_TRUE(GLO_USER.blank());
  EXPECT_TRUE(USERNAME.blank());
  EXPECT_TRUE(SCH.Description.blank());
  EXPECT_EQ(SCH.ID, 0);
  EXPECT_EQ(GLOBALREQUEST, 0);
  EXPECT_EQ(VCRREQUEST, 0);
  EXPECT_EQ(TMP_DATESELECT.str(), "'All'");
}

TEST_F(VxFilesTest, InitReplacesOnlyTheObjectsGiven) {
  EXPECT_EQ(ErrorsInUse(), nullptr);
  VX_Files_Load();
  ErrorClass* own_errors = ErrorsInUse();
  IniFile* own_ini = IniInUse();
  ASSERT_NE(own_errors, nullptr);
  ASSERT_NE(own_ini, nullptr);
  EXPECT_EQ(own_ini->path().filename(), "VX_Files.INI");

  IniFile program_ini = IniFile::AtPath("POSITION.INI");
  VX_FILES_INIT(nullptr, &program_ini);
  EXPECT_EQ(ErrorsInUse(), own_errors);
  EXPECT_EQ(IniInUse(), &program_ini);

  ErrorClass program_errors;
  VX_FILES_INIT(&program_errors, nullptr);
  EXPECT_EQ(ErrorsInUse(), &program_errors);
  EXPECT_EQ(IniInUse(), &program_ini);

  VX_FILES_KILL();
  EXPECT_EQ(ErrorsInUse(), &program_errors);
  VX_Files_Unload();
  EXPECT_EQ(ErrorsInUse(), nullptr);
  EXPECT_EQ(IniInUse(), nullptr);
}

TEST_F(VxFilesTest, UnloadFreesTheQueues) {
  VX_Files_Load();
  VAR.NAME = "X";
  VARQ.Add();
  ACTIVEQUEUE.Add();
  VX_Files_Unload();
  EXPECT_EQ(VARQ.Records(), 0);
  EXPECT_EQ(ACTIVEQUEUE.Records(), 0);
}

TEST_F(VxFilesTest, TablesAreRegisteredInOrderOncePerProcess) {
  VX_Files_Load();
  const std::vector<std::string> first = FileConversionCalls();
  const std::vector<std::string> expected = {
      "ds_AddDriver Tps TOPSPEED",
      "ds_IgnoreDriver AllFiles 1",
      "ds_UsingFile ACT Actions ACTIONS 1",
      "ds_UsingFile CAT Categories CATEGORIES 4",
      "ds_UsingFile CLI Clipboard CLIPBOARD 8",
      "ds_UsingFile CLC ClipboardCategories CLIPBOARDCATEGORIES 3",
      "ds_UsingFile CMD Commands COMMANDS 0",
      "ds_UsingFile CF Configuration CONFIGURATION 2",
      "ds_UsingFile C_ Contact CONTACT 2",
      "ds_UsingFile CC ContactCategories CONTACTCATEGORIES 3",
      "ds_UsingFile FAV Favorites FAVORITES 0",
      "ds_UsingFile HOL Holidays HOLIDAYS 4",
      "ds_UsingFile M_ Messages MESSAGES 3",
      "ds_UsingFile ML MsgLink MSGLINK 2",
      "ds_UsingFile SCD VXSCD VXSCD 1",
      "ds_UsingFile US VXUSD VXUSD 1",
      "ds_UsingFile SCH Schedule SCHEDULE 14",
      "ds_UsingFile SCW ScheduleWorkfile SCHEDULEWORKFILE 5",
      "ds_UsingFile VXD ScriptTemplateDetails SCRIPTTEMPLATEDETAILS 3",
      "ds_UsingFile VXT ScriptTemplates SCRIPTTEMPLATES 2",
      "ds_AlternateFieldName VXT:DOSFilename VXT:Filename",
      "ds_UsingFile SCR Scripting SCRIPTING 8",
      "ds_UsingFile SSch SyncSchedule SYNCSCHEDULE 9",
      "ds_UsingFile SScr SyncScripting SYNCSCRIPTING 5",
      "ds_UsingFile STdo SyncTodo SYNCTODO 1",
      "ds_UsingFile HOT SysHotKeys SYSHOTKEYS 2",
      "ds_UsingFile TDO Todo TODO 4",
      "ds_UsingFile U_ Users USERS 5",
  };
  EXPECT_EQ(first, expected);
  VX_Files_Unload();
  VX_Files_Load();
  EXPECT_EQ(FileConversionCalls(), first);
}

}  // namespace
}  // namespace vx
