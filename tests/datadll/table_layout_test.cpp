// Every table's description against the figures of the data dictionary: stored record bytes,
// field count (groups counted as the dictionary counts them), keys, memos, and sample offsets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/configuration_table.h"
#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/event_log_table.h"
#include "datadll/dictionary/export_table.h"
#include "datadll/dictionary/field_def_builder.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/memo_bindings.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/reference_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/dictionary/user_tables.h"

namespace vx {
namespace {

using storage::FieldType;
using storage::TableDef;

struct Expected {
  const TableDef& (*def)();
  std::size_t record_bytes;
  std::size_t fields;  // as the dictionary counts them: group headers included, memos not
  std::size_t groups;
  std::size_t keys;
  std::size_t memos;
};

const Expected kTables[] = {
    {SCHEDULE_TABLE, 1113, 69, 8, 11, 1},
    {SCHEDULEWORKFILE_TABLE, 1113, 69, 8, 13, 1},
    {SYNCSCHEDULE_TABLE, 1074, 69, 8, 5, 1},
    {SCRIPTING_TABLE, 2528, 24, 0, 2, 0},
    {SYNCSCRIPTING_TABLE, 2528, 24, 0, 1, 0},
    {SCRIPTTEMPLATEDETAILS_TABLE, 2528, 24, 0, 1, 0},
    {SCRIPTTEMPLATES_TABLE, 319, 3, 0, 3, 0},
    {EXPORT_TABLE, 1550, 7, 0, 0, 0},
    {CATEGORIES_TABLE, 20, 1, 0, 1, 0},
    {HOLIDAYS_TABLE, 54, 3, 0, 1, 0},
    {USERS_TABLE, 396, 6, 0, 1, 1},
    {VXUSD_TABLE, 73, 15, 2, 3, 0},
    {CONTACT_TABLE, 394, 15, 0, 9, 1},
    {CONTACTCATEGORIES_TABLE, 20, 1, 0, 1, 0},
    {VXSCD_TABLE, 12, 3, 0, 2, 0},
    {MESSAGES_TABLE, 2214, 16, 0, 4, 1},
    {MSGLINK_TABLE, 4435, 5, 0, 1, 0},
    {TODO_TABLE, 152, 10, 0, 4, 2},
    {SYNCTODO_TABLE, 152, 10, 0, 4, 2},
    {CLIPBOARD_TABLE, 169, 6, 0, 5, 1},
    {CLIPBOARDCATEGORIES_TABLE, 20, 1, 0, 1, 0},
    {SYSHOTKEYS_TABLE, 139, 7, 0, 4, 1},
    {CONFIGURATION_TABLE, 295, 2, 0, 1, 0},
    {VX_LOG_TABLE, 182, 4, 0, 0, 0},
    {FAVORITES_TABLE, 1072, 3, 0, 1, 0},
    {ACTIONS_TABLE, 4127, 3, 0, 2, 0},
    {COMMANDS_TABLE, 151, 2, 0, 1, 0},
};

TEST(TableLayout, TheDictionaryListsEveryTableOnceInManagerOrder) {
  std::vector<std::string> labels;
  for (const TableDef* t : DictionaryTables()) labels.push_back(t->label);
  const std::vector<std::string> expected = {"SCHEDULE",
                                             "SYNCSCHEDULE",
                                             "CLIPBOARDCATEGORIES",
                                             "SCHEDULEWORKFILE",
                                             "CATEGORIES",
                                             "TODO",
                                             "SCRIPTING",
                                             "SCRIPTTEMPLATEDETAILS",
                                             "SCRIPTTEMPLATES",
                                             "SYNCSCRIPTING",
                                             "SYNCTODO",
                                             "EXPORT",
                                             "CONTACT",
                                             "CONTACTCATEGORIES",
                                             "USERS",
                                             "CLIPBOARD",
                                             "VXUSD",
                                             "HOLIDAYS",
                                             "VX_LOG",
                                             "FAVORITES",
                                             "MESSAGES",
                                             "VXSCD",
                                             "CONFIGURATION",
                                             "ACTIONS",
                                             "COMMANDS",
                                             "SYSHOTKEYS",
                                             "MSGLINK"};
  EXPECT_EQ(labels, expected);
  EXPECT_EQ(labels[kFirstGroupTableCount - 1], "VX_LOG");
  EXPECT_EQ(std::size(kTables), DictionaryTables().size());
}

std::size_t StoredOffset(const TableDef& t, const std::string& field) {
  std::size_t offset = 0;
  for (const auto& f : t.fields) {
    if (f.name == field) return offset;
    offset += dictionary::StoredBytes(f);
  }
  ADD_FAILURE() << t.label << " has no field " << field;
  return 0;
}

TEST(TableLayout, FiguresMatchTheDictionary) {
  for (const Expected& e : kTables) {
    const TableDef& t = e.def();
    SCOPED_TRACE(t.label);
    std::size_t bytes = 0, memos = 0;
    for (const auto& f : t.fields) {
      bytes += dictionary::StoredBytes(f);
      if (f.type == FieldType::Memo) ++memos;
    }
    EXPECT_EQ(bytes, e.record_bytes);
    EXPECT_EQ(memos, e.memos);
    EXPECT_EQ(t.fields.size() - memos + e.groups, e.fields);
    EXPECT_EQ(t.keys.size(), e.keys);
    EXPECT_GE(t.record_size, bytes);
    EXPECT_NE(t.buffer, nullptr);
    EXPECT_FALSE(t.StoredName().empty());
  }
}

TEST(TableLayout, EveryKeyComponentIsAFieldAndEveryOffsetFitsTheBuffer) {
  for (const Expected& e : kTables) {
    const TableDef& t = e.def();
    SCOPED_TRACE(t.label);
    for (const auto& f : t.fields) {
      EXPECT_LE(f.offset + f.size, t.record_size) << f.name;
    }
    for (const auto& k : t.keys) {
      EXPECT_FALSE(k.components.empty()) << k.name;
      for (const auto& c : k.components) {
        const bool found = std::any_of(t.fields.begin(), t.fields.end(),
                                       [&](const auto& f) { return f.name == c.field; });
        EXPECT_TRUE(found) << k.name << " names " << c.field;
      }
    }
  }
}

TEST(TableLayout, SampleOffsetsMatchTheStoredRecord) {
  struct Case {
    const TableDef& (*def)();
    const char* field;
    std::size_t offset;
  };
  const Case cases[] = {
      {SCHEDULE_TABLE, "Date", 708},
      {SCHEDULE_TABLE, "AlarmFile", 726},
      {SCHEDULE_TABLE, "ExceptionLink", 1067},
      {SCHEDULE_TABLE, "OriginalID", 1109},
      {SYNCSCHEDULE_TABLE, "TaskType", 4},
      {SYNCSCHEDULE_TABLE, "Bimonthly", 648},
      {SYNCSCHEDULE_TABLE, "EveryType", 649},
      {SYNCSCHEDULE_TABLE, "OriginalID", 1070},
      {SCRIPTING_TABLE, "EmailID", 1149},
      {SCRIPTING_TABLE, "DDECommand", 2273},
      {SCRIPTTEMPLATEDETAILS_TABLE, "Sequence", 4},
      {SCRIPTTEMPLATES_TABLE, "DOSFilename", 64},
      {EXPORT_TABLE, "FIELD6", 1295},
      {HOLIDAYS_TABLE, "HolidayType", 34},
      {USERS_TABLE, "SOURCEPATH", 141},
      {VXUSD_TABLE, "ADVANCEWARNED", 69},
      {VXUSD_TABLE, "SKIPPED", 72},
      {CONTACT_TABLE, "ContactCategory", 374},
      {VXSCD_TABLE, "CLIENTID", 8},
      {MESSAGES_TABLE, "NEWS_PASSWORD", 2086},
      {MSGLINK_TABLE, "AlarmFile", 4180},
      {TODO_TABLE, "OriginalID", 148},
      {CLIPBOARD_TABLE, "ClipKeep", 168},
      {SYSHOTKEYS_TABLE, "TextType", 109},
      {CONFIGURATION_TABLE, "DataValue", 40},
      {VX_LOG_TABLE, "LogData", 54},
      {FAVORITES_TABLE, "DATA", 48},
      {ACTIONS_TABLE, "SEQ", 4123},
      {COMMANDS_TABLE, "COMMAND", 39},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StoredOffset(c.def(), c.field), c.offset) << c.def().label << "." << c.field;
  }
}

TEST(TableLayout, AlarmFileIsACStringAndMessageAMemo) {
  const TableDef& t = SCHEDULE_TABLE();
  const auto alarm = std::find_if(t.fields.begin(), t.fields.end(),
                                  [](const auto& f) { return f.name == "AlarmFile"; });
  ASSERT_NE(alarm, t.fields.end());
  EXPECT_EQ(alarm->type, FieldType::CString);
  EXPECT_EQ(alarm->size, 255u);
  EXPECT_EQ(t.fields.back().name, "Message");
  EXPECT_EQ(t.fields.back().type, FieldType::Memo);
  EXPECT_EQ(t.fields.back().size, 4096u);
}

const storage::KeyDef* FindKey(const TableDef& t, const std::string& name) {
  for (const auto& k : t.keys) {
    if (k.name == name) return &k;
  }
  ADD_FAILURE() << t.label << " has no key " << name;
  return nullptr;
}

// Keys whose kind, numbering, letter case, order or optional switch differ from the common
// case-insensitive ascending key, and the texts shown for them.
TEST(TableLayout, DistinctiveKeysKeepTheirSettings) {
  using storage::KeyKind;
  struct Case {
    const TableDef& (*def)();
    const char* key;
    const char* description;
    KeyKind kind;
    bool auto_number, case_sensitive, optional;
  };
  const Case cases[] = {
      {SCHEDULE_TABLE, "KeyID", "By System ID", KeyKind::Primary, true, false, false},
      {SCHEDULE_TABLE, "KeyDateEnabled", "Only used to determine if task is waitin",
       KeyKind::Duplicates, false, false, false},
      {SCRIPTING_TABLE, "KeyID", "Sequence", KeyKind::Primary, true, false, false},
      {VXSCD_TABLE, "KEYID", "Schedule ID", KeyKind::Primary, true, false, false},
      {VXUSD_TABLE, "KEYID", "Schedule ID", KeyKind::Primary, false, false, false},
      {HOLIDAYS_TABLE, "KeyHolidayDate", "HOL:KeyHolidayDate", KeyKind::Unique, false, false,
       false},
      {CONTACTCATEGORIES_TABLE, "KeyContactCategories", "Contact Categories", KeyKind::Unique,
       false, false, false},
      {TODO_TABLE, "KeyToDo", "To Do", KeyKind::Duplicates, false, true, false},
      {TODO_TABLE, "KeyCategory", "Category", KeyKind::Duplicates, false, false, false},
      {SYNCTODO_TABLE, "KeyDone", "Done", KeyKind::Duplicates, false, true, false},
      {CLIPBOARD_TABLE, "KeyClipDate", "All by Date", KeyKind::Duplicates, false, true, false},
      {CLIPBOARD_TABLE, "KeyClipHash", "All by Contents", KeyKind::Primary, false, false, true},
      {SYSHOTKEYS_TABLE, "K_HOTKEY", "Hot Keys", KeyKind::Primary, false, false, false},
      {SYSHOTKEYS_TABLE, "K_ID", "Link to Schedule", KeyKind::Unique, false, false, true},
      {SCRIPTTEMPLATES_TABLE, "K_DESCRIPTION", "Description", KeyKind::Unique, false, false, true},
      {ACTIONS_TABLE, "KEYACTION", "Action", KeyKind::Unique, false, false, true},
      {ACTIONS_TABLE, "KEYSEQ", "Sequence", KeyKind::Primary, true, false, false},
      {MSGLINK_TABLE, "K_ID", "Unique Sys ID", KeyKind::Primary, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.def().label + "." + c.key);
    const storage::KeyDef* k = FindKey(c.def(), c.key);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->description, c.description);
    EXPECT_EQ(k->kind, c.kind);
    EXPECT_EQ(k->auto_number, c.auto_number);
    EXPECT_EQ(k->case_sensitive, c.case_sensitive);
    EXPECT_EQ(k->optional, c.optional);
  }
  const storage::KeyDef* newest_first = FindKey(CLIPBOARD_TABLE(), "KeyClipDate");
  ASSERT_NE(newest_first, nullptr);
  for (const auto& component : newest_first->components) EXPECT_TRUE(component.descending);
}

TEST(TableLayout, StoredNamesAndDrivers) {
  using storage::Driver;
  EXPECT_EQ(SCHEDULE_TABLE().StoredName(), "VX97\\!s");
  EXPECT_EQ(SCRIPTING_TABLE().StoredName(), "VX97\\!Script");
  EXPECT_EQ(VXUSD_TABLE().StoredName(), "VX97.TPS\\!UserScheduleDetails");
  EXPECT_EQ(MSGLINK_TABLE().StoredName(), "MSGLINK");
  EXPECT_FALSE(MSGLINK_TABLE().encrypted);
  EXPECT_TRUE(SCHEDULE_TABLE().encrypted);
  EXPECT_EQ(EXPORT_TABLE().driver, Driver::Basic);
  EXPECT_EQ(VX_LOG_TABLE().driver, Driver::Ascii);
  EXPECT_EQ(VX_LOG_TABLE().StoredName(), "VX98Evnt.LOG");
  EXPECT_EQ(SCHEDULE_TABLE().driver, Driver::TopSpeed);
}

TEST(TableLayout, VariableStoredNamesFollowTheirGlobals) {
  struct Case {
    const TableDef& (*def)();
    std::string* global;
    const char* initial;
  };
  const Case cases[] = {
      {SCHEDULEWORKFILE_TABLE, &GLO_SCHEDULEWORKFILENAME, "vxWrkFil"},
      {SYNCSCHEDULE_TABLE, &GLO_SYNCSCHEDULEFILENAME, "SyncSch.TPS"},
      {SYNCSCRIPTING_TABLE, &GLO_SYNCSCRIPTINGFILENAME, "SyncScr.TPS"},
      {SYNCTODO_TABLE, &GLO_SYNCTODOFILENAME, "SyncTodo.TPS"},
      {EXPORT_TABLE, &GLO_EXPORTNAME, "Export.txt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.def().StoredName(), c.initial);
    *c.global = "Elsewhere.TPS";
    EXPECT_EQ(c.def().StoredName(), "Elsewhere.TPS");
    *c.global = c.initial;
  }
}

TEST(TableLayout, KeyLabelsNameTheKeysOfTheirTables) {
  EXPECT_EQ(&SCH_KEYID, &SCHEDULE_TABLE().keys.front());
  EXPECT_EQ(&SCH_KEYORIGINALID, &SCHEDULE_TABLE().keys.back());
  EXPECT_EQ(&SCW_KEYEXPIRYDATE, &SCHEDULEWORKFILE_TABLE().keys.back());
  EXPECT_EQ(&STDO_KEYCATEGORY, &SYNCTODO_TABLE().keys.back());
  EXPECT_EQ(&CMD_KEYTITLE, &COMMANDS_TABLE().keys.front());
  EXPECT_EQ(SCH_KEYDATEENABLED.components.front().field, "Disabled");
  EXPECT_EQ(HOT_K_ID.description, "Link to Schedule");
}

TEST(TableLayout, EveryMemoIsBoundForExpressionsAndReadFromTheCallingThread) {
  std::vector<std::string> names;
  std::size_t memos = 0;
  for (const TableDef* t : DictionaryTables()) {
    memos += static_cast<std::size_t>(
        std::count_if(t->fields.begin(), t->fields.end(),
                      [](const auto& f) { return f.type == FieldType::Memo; }));
  }
  for (const MemoBinding& b : MemoBindings()) names.push_back(b.name);
  EXPECT_EQ(names.size(), memos);
  EXPECT_EQ(names.front(), "SCH:Message");
  EXPECT_EQ(names.back(), "HOT:Text");

  const MemoBinding& schedule_message = MemoBindings().front();
  SCH.Message = "Take the tape out";
  std::string seen_elsewhere = "?";
  std::thread([&] { seen_elsewhere = MemoText(schedule_message); }).join();
  EXPECT_EQ(MemoText(schedule_message), "Take the tape out");
  EXPECT_EQ(seen_elsewhere, "");
  SCH.Message.clear();
}

TEST(TableLayout, BuffersBelongToTheCallingThread) {
  SCH.Date = 12345;
  SCR.Action = "Wait";
  void* main_sch = SCHEDULE_TABLE().buffer();
  void* other_sch = nullptr;
  std::int32_t other_date = -1;
  std::string other_action = "?";
  std::thread([&] {
    other_sch = SCHEDULE_TABLE().buffer();
    other_date = SCH.Date;
    other_action = SCR.Action.str();
    SCH.Date = 99;
  }).join();
  EXPECT_EQ(main_sch, &SCH);
  EXPECT_NE(other_sch, main_sch);
  EXPECT_EQ(other_date, 0);
  EXPECT_EQ(other_action, "");
  EXPECT_EQ(SCH.Date, 12345);
  SCH = SCHEDULE_RECORD{};
  SCR = SCRIPTING_RECORD{};
}

}  // namespace
}  // namespace vx
