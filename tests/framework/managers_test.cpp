// File and relation managers over a small dictionary: categories, tasks, steps and notes.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "../runtime/storage_fixture.h"
#include "framework/file_manager.h"
#include "framework/relation_manager.h"
#include "runtime/storage/file.h"
#include "runtime/storage/sqlite_session.h"

namespace vx {
namespace {

using storage::FieldType;
using storage::KeyKind;
using storage::TableDef;
using test::ItemField;
using test::ItemKey;

struct Cat {
  String<20> Category;
};
struct Task {
  std::int32_t Id;
  String<20> Category;
  String<20> Name;
};
struct Step {
  std::int32_t Id;
  std::int32_t Seq;
  String<20> Text;
};
struct Note {
  String<20> Ref;
  String<20> Note;
};

Cat& CAT() {
  thread_local Cat r{};
  return r;
}
Task& TSK() {
  thread_local Task r{};
  return r;
}
Step& STP() {
  thread_local Step r{};
  return r;
}
Note& NOT() {
  thread_local Note r{};
  return r;
}

TableDef CatTable() {
  TableDef d;
  d.label = "CATS";
  d.stored_name = "dict\\!cats";
  d.record_size = sizeof(Cat);
  d.fields = {ItemField("Category", FieldType::String, offsetof(Cat, Category), 20)};
  d.keys = {ItemKey("KeyCategory", KeyKind::Unique, false, {{"Category", false}})};
  d.buffer = [] { return static_cast<void*>(&CAT()); };
  return d;
}
TableDef TaskTable() {
  TableDef d;
  d.label = "TASKS";
  d.stored_name = "dict\\!tasks";
  d.record_size = sizeof(Task);
  d.fields = {ItemField("Id", FieldType::Long, offsetof(Task, Id), 4),
              ItemField("Category", FieldType::String, offsetof(Task, Category), 20),
              ItemField("Name", FieldType::String, offsetof(Task, Name), 20)};
  d.keys = {
      ItemKey("KeyId", KeyKind::Primary, false, {{"Id", false}}),
      ItemKey("KeyCategory", KeyKind::Duplicates, false, {{"Category", false}, {"Name", false}})};
  d.keys[0].auto_number = true;
  d.keys[0].description = "By System ID";
  d.buffer = [] { return static_cast<void*>(&TSK()); };
  return d;
}
TableDef StepTable() {
  TableDef d;
  d.label = "STEPS";
  d.stored_name = "dict\\!steps";
  d.record_size = sizeof(Step);
  d.fields = {ItemField("Id", FieldType::Long, offsetof(Step, Id), 4),
              ItemField("Seq", FieldType::Long, offsetof(Step, Seq), 4),
              ItemField("Text", FieldType::String, offsetof(Step, Text), 20)};
  d.keys = {ItemKey("KeyId", KeyKind::Primary, false, {{"Id", false}, {"Seq", false}})};
  d.keys[0].auto_number = true;
  d.keys[0].description = "Sequence";
  d.buffer = [] { return static_cast<void*>(&STP()); };
  return d;
}
TableDef NoteTable() {
  TableDef d;
  d.label = "NOTES";
  d.stored_name = "notes.tps";
  d.record_size = sizeof(Note);
  d.fields = {ItemField("Ref", FieldType::String, offsetof(Note, Ref), 20),
              ItemField("Note", FieldType::String, offsetof(Note, Note), 20)};
  d.keys = {ItemKey("KeyRef", KeyKind::Duplicates, false, {{"Ref", false}})};
  d.buffer = [] { return static_cast<void*>(&NOT()); };
  return d;
}

class RecordingSink : public FileErrorSink {
 public:
  int TakeFileProblem(const FileProblem& p) override {
    problems.push_back(p);
    return answer;
  }
  std::vector<FileProblem> problems;
  int answer = 1;
};

// A table whose Name must not be blank: its own field check.
class TaskManager : public FileManager {
 public:
  int ValidateField(int field) override {
    if (field == 3 && TSK().Name.blank()) return 1;
    return FileManager::ValidateField(field);
  }
  void PrimeFields() override {
    TSK().Category = "General";
    FileManager::PrimeFields();
  }
};

class Managers : public test::ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    cat_access.Init(cat_def, &sink);
    task_access.Init(task_def, &sink);
    step_access.Init(step_def, &sink);
    note_access.Init(note_def, &sink);
    cat_relate.Init(cat_access);
    task_relate.Init(task_access);
    step_relate.Init(step_access);
    note_relate.Init(note_access);
    cat_relate.AddRelation(task_relate, RelationMode::Restrict, RelationMode::Restrict,
                           task_def.keys[1]);
    cat_relate.AddRelationLink("Category", "Category");
    task_relate.AddRelation(step_relate, RelationMode::Cascade, RelationMode::Cascade,
                            step_def.keys[0]);
    task_relate.AddRelationLink("Id", "Id");
    task_relate.AddRelation(cat_relate);
    step_relate.AddRelation(note_relate, RelationMode::None, RelationMode::Restrict,
                            note_def.keys[0]);
    step_relate.AddRelationLink("Text", "Ref");
    ASSERT_EQ(cat_relate.Open(), 0);
  }
  void TearDown() override {
    cat_relate.Close();
    ScratchDir::TearDown();
  }

  int AddTask(const char* category, const char* name) {
    task_access.PrimeRecord();
    TSK().Category = category;
    TSK().Name = name;
    EXPECT_EQ(task_access.Insert(), 0);
    return TSK().Id;
  }
  void AddStep(std::int32_t task, const char* text) {
    step_access.PrimeRecord();
    STP().Id = task;
    STP().Seq = 0;
    STP().Text = text;
    ASSERT_EQ(step_access.Insert(), 0);
  }
  std::vector<std::string> Steps() {
    std::vector<std::string> out;
    step_access.file().Set(step_def.keys[0]);
    while (step_access.TryNext() == 0)
      out.push_back(std::to_string(STP().Id) + "/" + std::to_string(STP().Seq) + " " +
                    STP().Text.str());
    return out;
  }

  RecordingSink sink;
  const TableDef cat_def = CatTable();
  const TableDef task_def = TaskTable();
  const TableDef step_def = StepTable();
  const TableDef note_def = NoteTable();
  FileManager cat_access, step_access, note_access;
  TaskManager task_access;
  RelationManager cat_relate, task_relate, step_relate, note_relate;
};

TEST_F(Managers, OpenCreatesMissingFilesAndCountsOpens) {
  // The relation manager opened every related table; all were created on the way.
  EXPECT_EQ(task_access.Opened(), 1);
  EXPECT_EQ(note_access.Opened(), 1);
  EXPECT_TRUE(std::filesystem::exists("dict.TPS"));
  EXPECT_TRUE(std::filesystem::exists("notes.tps"));
  ASSERT_EQ(task_access.Open(), 0);
  EXPECT_EQ(task_access.Opened(), 2);
  ASSERT_EQ(task_access.Close(), 0);
  EXPECT_TRUE(task_access.file().IsOpen());
  EXPECT_TRUE(sink.problems.empty());

  FileManager no_create;
  TableDef missing = NoteTable();
  missing.stored_name = "absent.tps";
  no_create.Init(missing, &sink);
  no_create.Create = false;
  EXPECT_EQ(no_create.Open(), 2);
  ASSERT_EQ(sink.problems.size(), 1u);
  EXPECT_EQ(sink.problems[0].caption, "File Access Error");
  EXPECT_EQ(sink.problems[0].text, "File (" +
                                       (std::filesystem::current_path() / "absent.tps").string() +
                                       ") could not be opened.  Error: File Not Found (2).");
}

// The file is named as the user finds it on disk, not by the table's stored name.
TEST_F(Managers, AnInsertThatFailsNamesTheFile) {
  FileManager read_only;
  TableDef def = NoteTable();
  def.stored_name = "ro_notes\\!notes";
  read_only.Init(def, &sink);
  read_only.OpenMode = 0x40;  // read only: every write gives 5
  ASSERT_EQ(read_only.Open(), 0);
  read_only.PrimeRecord();
  EXPECT_EQ(read_only.Insert(), 5);
  ASSERT_EQ(sink.problems.size(), 1u);
  EXPECT_EQ(sink.problems[0].caption, "Record Insert Error");
  EXPECT_EQ(
      sink.problems[0].text,
      "An error was experienced during the update of record.  Error: Access Denied (5).  File: " +
          (std::filesystem::current_path() / "ro_notes.TPS").string());
  read_only.Close();
}

TEST_F(Managers, InsertNumbersTheLastComponentWithinTheLeadingOnes) {
  EXPECT_EQ(AddTask("Work", "a"), 1);
  EXPECT_EQ(AddTask("Work", "b"), 2);
  for (const char* text : {"s1", "s2", "s3", "s4"}) AddStep(7, text);
  AddStep(8, "first");
  AddStep(7, "fifth");
  EXPECT_EQ(Steps(), (std::vector<std::string>{"7/1 s1", "7/2 s2", "7/3 s3", "7/4 s4", "7/5 fifth",
                                               "8/1 first"}));

  // A number set by hand is kept; a clash with it is a duplicate, reported with the key's text.
  step_access.PrimeRecord();
  STP().Id = 9;
  STP().Seq = 20;
  ASSERT_EQ(step_access.Insert(), 0);
  EXPECT_EQ(STP().Seq, 20);
  STP().Text = "again";
  EXPECT_EQ(step_access.Insert(), 40);
  ASSERT_EQ(sink.problems.size(), 1u);
  EXPECT_EQ(sink.problems[0].caption, "Duplicate Key Error");
  EXPECT_EQ(sink.problems[0].text,
            "Adding this record creates a duplicate entry for the key:Sequence");
  EXPECT_EQ(step_access.file().Records(), 7);

  // Inside a caller's transaction a refused insert spoils nothing the caller did before.
  storage::LOGOUT(1);
  AddStep(9, "in transaction");
  step_access.PrimeRecord();
  STP().Id = 9;
  STP().Seq = 20;
  EXPECT_EQ(step_access.TryInsert(), 40);
  ASSERT_EQ(storage::COMMIT(), 0);
  EXPECT_EQ(step_access.file().Records(), 8);
}

TEST_F(Managers, PrimingFillsDefaultsAndAPlaceholderIsWrittenOverOrWithdrawn) {
  AddTask("Work", "a");
  task_access.PrimeRecord();
  EXPECT_EQ(TSK().Category.str(), "General");
  EXPECT_EQ(TSK().Id, 2);  // drawn, not yet reserved

  ASSERT_EQ(task_access.PrimeAutoInc(), 0);
  const std::int32_t reserved = TSK().Id;
  EXPECT_EQ(reserved, 2);
  EXPECT_EQ(task_access.file().Records(), 2);
  // While the form is open, another insert takes the next number.
  {
    const Task form = TSK();
    EXPECT_EQ(AddTask("Work", "other"), 3);
    TSK() = form;
  }
  TSK().Name = "filled in";
  ASSERT_EQ(task_access.Insert(), 0);
  EXPECT_EQ(task_access.file().Records(), 3);
  TSK().Id = reserved;
  ASSERT_EQ(task_access.Fetch(task_def.keys[0]), 0);
  EXPECT_EQ(TSK().Name.str(), "filled in");

  // A cancelled form withdraws its placeholder, and through the relation manager its steps.
  task_access.PrimeRecord();
  ASSERT_EQ(task_access.PrimeAutoInc(), 0);
  const std::int32_t cancelled = TSK().Id;
  AddStep(cancelled, "orphan?");
  ASSERT_EQ(task_access.CancelAutoInc(&task_relate), 0);
  TSK().Id = cancelled;
  EXPECT_EQ(task_access.TryFetch(task_def.keys[0]), 35);
  EXPECT_TRUE(Steps().empty());
}

TEST_F(Managers, DeletingATaskCascadesIntoItsStepsAndChangingItsNumberMovesThem) {
  const std::int32_t a = AddTask("Work", "a");
  const std::int32_t b = AddTask("Work", "b");
  AddStep(a, "a1");
  AddStep(a, "a2");
  AddStep(b, "b1");

  TSK().Id = a;
  ASSERT_EQ(task_access.Fetch(task_def.keys[0]), 0);
  TSK().Id = 50;
  ASSERT_EQ(task_relate.Update(), 0);
  EXPECT_EQ(Steps(), (std::vector<std::string>{"2/1 b1", "50/1 a1", "50/2 a2"}));

  sink.answer = 0;  // the user declines
  EXPECT_EQ(task_relate.Delete(), RelationManager::kCancelled);
  EXPECT_EQ(sink.problems.back().caption, "Confirm Delete");
  sink.answer = 1;
  ASSERT_EQ(task_relate.Delete(), 0);
  EXPECT_EQ(Steps(), (std::vector<std::string>{"2/1 b1"}));
  EXPECT_EQ(task_access.file().Records(), 1);
}

TEST_F(Managers, RestrictRefusesWhileTasksUseTheCategory) {
  CAT().Category = "Work";
  ASSERT_EQ(cat_access.Insert(), 0);
  CAT().Category = "Idle";
  ASSERT_EQ(cat_access.Insert(), 0);
  AddTask("work", "uses it");  // categories match without regard to case

  CAT().Category = "Work";
  ASSERT_EQ(cat_access.Fetch(cat_def.keys[0]), 0);
  EXPECT_EQ(cat_relate.Delete(false), RelationManager::kRestricted);
  ASSERT_FALSE(sink.problems.empty());
  EXPECT_EQ(sink.problems.back().caption, "Referential Integrity Delete Error");
  EXPECT_EQ(sink.problems.back().text,
            "This record is referenced from the file TASKS. This record cannot be deleted while "
            "these references exist.");

  CAT().Category = "Renamed";
  EXPECT_EQ(cat_relate.Update(), RelationManager::kRestricted);
  EXPECT_EQ(sink.problems.back().caption, "Referential Integrity Update Error");
  EXPECT_EQ(CAT().Category.str(), "Work");  // the linking field is back to its stored value
  EXPECT_EQ(cat_access.file().Records(), 2);

  CAT().Category = "Idle";
  ASSERT_EQ(cat_access.Fetch(cat_def.keys[0]), 0);
  EXPECT_EQ(cat_relate.Delete(false), 0);
  EXPECT_EQ(cat_access.file().Records(), 1);
}

TEST_F(Managers, ACascadeThatFailsHalfWayLeavesEverythingAsItWas) {
  const std::int32_t a = AddTask("Work", "a");
  AddStep(a, "one");
  AddStep(a, "two");
  AddStep(a, "three");
  NOT().Ref = "three";  // the third step is referenced and may not be deleted
  NOT().Note = "keep";
  ASSERT_EQ(note_access.Insert(), 0);

  TSK().Id = a;
  ASSERT_EQ(task_access.Fetch(task_def.keys[0]), 0);
  EXPECT_EQ(task_relate.Delete(false), RelationManager::kRestricted);
  EXPECT_EQ(sink.problems.back().text,
            "This record is referenced from the file NOTES. This record cannot be deleted while "
            "these references exist.");
  EXPECT_EQ(Steps(), (std::vector<std::string>{"1/1 one", "1/2 two", "1/3 three"}));
  TSK().Id = a;
  EXPECT_EQ(task_access.TryFetch(task_def.keys[0]), 0);

  // Without the reference the same delete goes through.
  NOT().Ref = "three";
  ASSERT_EQ(note_access.Fetch(note_def.keys[0]), 0);
  ASSERT_EQ(note_access.Delete(), 0);
  TSK().Id = a;
  ASSERT_EQ(task_access.Fetch(task_def.keys[0]), 0);
  EXPECT_EQ(task_relate.Delete(false), 0);
  EXPECT_TRUE(Steps().empty());
}

TEST_F(Managers, ThreadsInsertingAtOnceNeverShareANumber) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 25; ++i) {
        task_access.PrimeRecord();  // draws a number another thread may take first
        TSK().Name = "t" + std::to_string(t);
        if (task_access.Insert() != 0) ++failures[static_cast<std::size_t>(t)];
      }
      task_access.Close();
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
  std::set<std::int32_t> ids;
  task_access.Set(task_def.keys[0]);
  while (task_access.TryNext() == 0) ids.insert(TSK().Id);
  EXPECT_EQ(ids.size(), 100u);
  EXPECT_EQ(*ids.rbegin(), 100);
  EXPECT_TRUE(sink.problems.empty());
}

TEST_F(Managers, ValidateRecordNamesTheFirstFieldThatFails) {
  task_access.PrimeRecord();
  int failed = 0;
  EXPECT_NE(task_access.ValidateRecord(&failed), 0);
  EXPECT_EQ(failed, 3);
  TSK().Name = "named";
  EXPECT_EQ(task_access.ValidateRecord(&failed), 0);
}

}  // namespace
}  // namespace vx
