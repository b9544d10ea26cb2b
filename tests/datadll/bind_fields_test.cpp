// Every table's fields and memos are known to expressions through its file manager, so a filter
// or report can name "SCH:Message" or "TDO:Notes" and read the record the caller has in hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/memo_bindings.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/browse_class.h"
#include "framework/error_class.h"
#include "framework/table_view.h"
#include "framework/window_manager.h"
#include "runtime/expression/evaluate.h"
#include "runtime/window/window.h"
#include "test_support.h"

namespace vx {
namespace {

using BindFields = test::DataLibraryTest;

// The file manager of a table of the dictionary.
FileManager* ManagerOf(const storage::TableDef& table) {
  for (FileManager* access : {ACCESS_SCHEDULE,
                              ACCESS_SYNCSCHEDULE,
                              ACCESS_CLIPBOARDCATEGORIES,
                              ACCESS_SCHEDULEWORKFILE,
                              ACCESS_CATEGORIES,
                              ACCESS_TODO,
                              ACCESS_SCRIPTING,
                              ACCESS_SCRIPTTEMPLATEDETAILS,
                              ACCESS_SCRIPTTEMPLATES,
                              ACCESS_SYNCSCRIPTING,
                              ACCESS_SYNCTODO,
                              ACCESS_EXPORT,
                              ACCESS_CONTACT,
                              ACCESS_CONTACTCATEGORIES,
                              ACCESS_USERS,
                              ACCESS_CLIPBOARD,
                              ACCESS_VXUSD,
                              ACCESS_HOLIDAYS,
                              ACCESS_VX_LOG,
                              ACCESS_FAVORITES,
                              ACCESS_MESSAGES,
                              ACCESS_VXSCD,
                              ACCESS_CONFIGURATION,
                              ACCESS_ACTIONS,
                              ACCESS_COMMANDS,
                              ACCESS_SYSHOTKEYS,
                              ACCESS_MSGLINK}) {
    if (&access->def() == &table) return access;
  }
  return nullptr;
}

TEST_F(BindFields, EveryMemoIsReadUnderItsOwnNameFromTheCurrentBuffer) {
  for (const MemoBinding& memo : MemoBindings()) {
    SCOPED_TRACE(memo.name);
    FileManager* access = ManagerOf(*memo.table);
    ASSERT_NE(access, nullptr);
    ExpressionBindings bindings;
    access->BindFields(bindings);
    test::SetFieldText(*memo.table, memo.field->name, "memo of " + memo.name);
    EXPECT_EQ(EvaluateExpression(memo.name, bindings).text(), "memo of " + memo.name);
    test::SetFieldText(*memo.table, memo.field->name, "changed");
    EXPECT_EQ(EvaluateExpression("UPPER(" + memo.name + ")", bindings).text(), "CHANGED")
        << "a name reads the buffer when evaluated, not when bound";
  }
}

TEST_F(BindFields, EveryRecordFieldOfEveryTableIsBoundByPrefixAndName) {
  for (const storage::TableDef* table : DictionaryTables()) {
    FileManager* access = ManagerOf(*table);
    ASSERT_NE(access, nullptr) << table->label;
    ExpressionBindings bindings;
    access->BindFields(bindings);
    test::FillRecord(*table, 4);
    for (const storage::FieldDef& field : table->fields) {
      const std::string name = table->prefix + ":" + field.name;
      SCOPED_TRACE(name);
      ASSERT_GE(bindings.Find(name), 0);
      if (field.type == storage::FieldType::Decimal) continue;
      EXPECT_EQ(std::string(ClipView(EvaluateExpression(name, bindings).text())),
                test::FieldText(*table, field.name));
    }
  }
}

TEST_F(BindFields, NumbersCompareAsNumbersAndTextsWithoutTheirPadding) {
  ExpressionBindings bindings;
  ACCESS_TODO->BindFields(bindings);
  TDO.Priority = 7;
  TDO.Notes = "Ring the garage";
  EXPECT_TRUE(EvaluateExpression("TDO:Priority > 5 AND TDO:Priority + 1 = 8", bindings).IsTrue());
  EXPECT_TRUE(EvaluateExpression("TDO:Notes = 'Ring the garage'", bindings).IsTrue());
  EXPECT_EQ(EvaluateExpression("INSTRING('garage', TDO:Notes, 1, 1)", bindings).text(), "10");
}

// A task browse over SCHEDULE keeps the tasks whose message mentions the tape, as a filter
// typed by the user would.
TEST_F(BindFields, ABrowseFilterOverScheduleNamesTheTaskMessage) {
  test::InFreshFolder folder;
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  const struct {
    const char* description;
    const char* message;
    int disabled;
  } tasks[] = {
      {"Backup", "Take the tape out", 0}, {"Call", "Ring Ann", 0}, {"Old backup", "tape 2", 1}};
  for (const auto& task : tasks) {
    ACCESS_SCHEDULE->PrimeRecord();
    SCH.Description = task.description;
    SCH.Message = task.message;
    SCH.Disabled = static_cast<std::uint8_t>(task.disabled);
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  }

  Window window("Tasks");
  Control& list = window.List("80L~Description~@s40@");
  WindowManager manager(window);
  struct Browse final : BrowseClass {
    void SetQueueRecord() override { Q = {SCH.Description.str()}; }
  } browse;
  TableView view(ACCESS_SCHEDULE->file(), {&SCH_KEYID});
  browse.Init(list, view, manager);
  browse.AddSortOrder();
  ACCESS_SCHEDULE->BindFields(browse.Bindings);

  ASSERT_TRUE(
      browse.SetFilterExpression("INSTRING('TAPE', UPPER(SCH:Message), 1, 1) > 0", "query"));
  browse.ResetFromView();
  ASSERT_EQ(browse.Records(), 2u);
  EXPECT_EQ(browse.Fields(0)[0], "Backup");
  EXPECT_EQ(browse.Fields(1)[0], "Old backup");

  ASSERT_TRUE(browse.SetFilterExpression("(SCH:Disabled=0)"));
  browse.ResetFromView();
  ASSERT_EQ(browse.Records(), 1u) << "every named filter applies";
  EXPECT_EQ(browse.Fields(0)[0], "Backup");

  browse.ClearFilter("query");
  EXPECT_FALSE(browse.SetFilterExpression("SCH:NoSuchField = 1", "query"));
  EXPECT_FALSE(browse.FilterError().empty());
  browse.ResetFromView();
  EXPECT_EQ(browse.Records(), 0u) << "a filter that cannot be read lets nothing through";
  ACCESS_SCHEDULE->Close();
}

}  // namespace
}  // namespace vx
