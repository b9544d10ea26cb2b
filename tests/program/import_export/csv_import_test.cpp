// The comma-delimited imports: the field assignment window, a file exported here and imported
// into an empty data folder giving the same tables, each line from a fresh record through the
// table's rules, and how a run ends told in its closing message.
#include "program/import_export/csv_import.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/todo_tables.h"
#include "framework/request_globals.h"
#include "program/import_export/csv_export.h"
#include "program/import_export/csv_file.h"
#include "runtime/storage/stored_name.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"
#include "tests/program/window_fixture.h"
#include "tests/support/command_run.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

// A memo that holds everything a line of its own could be broken by, filled to `size` bytes.
std::string NastyMemo(std::size_t size, char fill) {
  std::string text = "He said \"stop, now\",\r\nthen left; Grüße ʤ \"\" ,\n";
  text += std::string(size - text.size() - 1, fill);
  return text + "!";
}

class CsvImportTest : public test::WindowTest {
 protected:
  void TearDown() override {
    fs::current_path(root());
    WindowTest::TearDown();
  }

  void Write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
  }

  // Starts `procedure` with `file` answered to its file dialog and waits for its window.
  DriverWindow Open(void (*procedure)(), const fs::path& file) {
    ui_.AnswerFile(file.string());
    ui_.Start([procedure, this] {
      procedure();
      response_ = CurrentResponse();
    });
    return ui_.WaitWindow("Assign fields for Import...");
  }
  // Presses OK in the window and answers the closing message, which it returns.
  SeenRequest Import(DriverWindow& window) {
    window.Control("OK").Press();
    const SeenRequest closing = ui_.WaitMessage(BUTTON_OK);
    ui_.Finish();
    return closing;
  }
  // The whole import with the window as it opens (its own "A&uto" done).
  SeenRequest ImportAsOpened(void (*procedure)(), const fs::path& file) {
    DriverWindow window = Open(procedure, file);
    return Import(window);
  }

  CsvExportOutcome Export(const CsvTable& table, const std::vector<CsvExportEntry>& fields,
                          const fs::path& file) {
    CsvExportOutcome outcome = CsvExportOutcome::NotCreated;
    ui_.Start([&] { outcome = RunCsvExport(table, fields, true, file.string()); });
    ui_.Finish();
    return outcome;
  }

  static std::vector<TODO_RECORD> StoredToDos() {
    std::vector<TODO_RECORD> out;
    EXPECT_EQ(ACCESS_TODO->Open(), 0);
    ACCESS_TODO->Set(TDO_KEYCATEGORY);
    while (ACCESS_TODO->TryNext() == 0) out.push_back(TDO);
    ACCESS_TODO->Close();
    return out;
  }

  long response_ = 0;
};

constexpr const char* kToDoHeader =
    "\"TDO:Done\",\"TDO:Priority\",\"TDO:Category\",\"TDO:ToDo\",\"TDO:CompletionDate\","
    "\"TDO:CompletionTime\",\"TDO:Notes\",\"TDO:Resolution\"\r\n";

// The window as it opens on a file with a header line, its buttons, and the header line left out.
TEST_F(CsvImportTest, TheAssignWindowMatchesAHeaderLineAndIsWorkedByItsButtons) {
  const fs::path file = root() / "todo.csv";
  Write(file, std::string(kToDoHeader) +
                  "0,3,\"Home\",\"Paint the door\",\"\",\"\",\"Blue, \"\"sky\"\" blue\",\"\"\r\n"
                  "1,7,\"Work\",\"File taxes\",\"\",\"\",\"\",\"Done\"\r\n");
  DriverWindow window = Open(ImportToDo, file);
  DriverControl columns = NthList(window, 1);
  DriverControl targets = NthList(window, 2);
  ASSERT_EQ(columns.Rows(), 8u);
  ASSERT_EQ(targets.Rows(), 8u);
  // The columns show the first line; the second line's unquoted fields make numeric columns.
  EXPECT_EQ(columns.Cell(1, 1), "Field_1");
  EXPECT_EQ(columns.Cell(1, 2), "Numeric");
  EXPECT_EQ(columns.Cell(3, 2), "Alpha-numeric");
  EXPECT_EQ(columns.Cell(2, 3), "TDO:Priority");
  // "A&uto" ran as the window opened: every field to its column, the header to be stripped.
  for (long t = 1; t <= 8; ++t) {
    EXPECT_EQ(targets.Cell(t, 2), "=") << t;
    EXPECT_EQ(targets.Cell(t, 3), "Field_" + std::to_string(t)) << t;
  }
  EXPECT_EQ(window.Control("Strip header record (field names)").Value(), "1");
  // The dates and times take the field's own picture.
  EXPECT_EQ(columns.Cell(5, 2), "@d17b");
  EXPECT_EQ(columns.Cell(6, 2), "@t7b");

  // "&Next" shows the next line; "A&uto" has nothing more to match.
  window.Control("Next").Press();
  EXPECT_EQ(columns.Cell(3, 3), "Home");
  EXPECT_EQ(columns.Cell(7, 3), "Blue, \"sky\" blue");
  EXPECT_EQ(window.Control("Rec#").Value(), "2");
  EXPECT_TRUE(window.Control("Auto").Disabled());
  window.Control("Next").Press();
  window.Control("Next").Press();
  EXPECT_TRUE(window.Control("Next").Disabled()) << "the end of the file";
  EXPECT_EQ(columns.Cell(4, 3), "File taxes") << "the last line stays on show";

  // Choosing a column shows its field; "&Unassign" and "&Assign" move one.
  columns.ChooseRow(4);
  EXPECT_EQ(targets.Choice(), 4);
  window.Control("Unassign").Press();
  EXPECT_EQ(targets.Cell(4, 2), "");
  EXPECT_EQ(targets.Cell(4, 3), "");
  columns.ChooseRow(3);
  targets.ChooseRow(4);
  window.Control("Assign").Press();
  EXPECT_EQ(targets.Cell(4, 3), "Field_3") << "a column may fill two fields";

  // "&Picture" edits the column's picture through "Enter Picture...".
  columns.ChooseRow(2);
  window.Control("Picture").Press();
  DriverWindow picture = ui_.WaitWindow("Enter Picture...");
  picture.Control("Picture").Type("@s2");
  picture.Control("OK").Press();
  ui_.WaitClosed(picture);
  EXPECT_EQ(columns.Cell(2, 2), "Alpha-numeric");

  const SeenRequest closing = Import(window);
  EXPECT_EQ(closing.caption, "Import Completed");
  EXPECT_EQ(closing.text, "2 records were added to Todo from " + file.string() + ".");
  EXPECT_EQ(response_, RequestCompleted);
  const std::vector<TODO_RECORD> stored = StoredToDos();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0].ToDo.str(), "Home") << "the category's column fills the description too";
  EXPECT_EQ(stored[0].Notes.str(), "Blue, \"sky\" blue");
  EXPECT_EQ(stored[1].Priority, 7);
  EXPECT_EQ(stored[1].Resolution.str(), "Done");
}

// A file the task export wrote offers its text columns as text and its numbers as numbers, even
// when the first task's texts read as numbers.
TEST_F(CsvImportTest, AnExportedFileOffersTextsThatReadAsNumbersAsTextColumns) {
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  ACCESS_SCHEDULE->PrimeRecord();
  SCH.TaskType = "Display Message";
  SCH.Category = "2026";
  SCH.Description = "2027";
  SCH.ScheduleType = "Once";
  SCH.Date = DATE(7, 1, 2026);
  SCH.Time = MakeTime(8, 15);
  ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  ACCESS_SCHEDULE->Close();
  const fs::path file = root() / "tasks.csv";
  ASSERT_EQ(Export(ScheduleCsvTable(), OfferedExportFields(ScheduleCsvTable()), file),
            CsvExportOutcome::Written);

  DriverWindow window = Open(ImportSchedule, file);
  DriverControl columns = NthList(window, 1);
  const struct {
    long column;
    const char* value;
    const char* kind;
  } cases[] = {{2, "SCH:Category", "Alpha-numeric"},
               {3, "SCH:Description", "Alpha-numeric"},
               {7, "SCH:Sunday", "Numeric"},
               {16, "SCH:Every", "Numeric"}};
  for (const auto& c : cases) {
    EXPECT_EQ(columns.Cell(c.column, 3), c.value);
    EXPECT_EQ(columns.Cell(c.column, 2), c.kind) << c.value;
  }
  window.Control("Cancel").Press();
  ui_.Finish();
}

// A file without a header line: nothing matched, nothing stripped; OK refuses until a field is
// assigned; Cancel imports nothing.
TEST_F(CsvImportTest, AFileWithoutAHeaderIsImportedWholeOnceAFieldIsAssigned) {
  const fs::path file = root() / "names.csv";
  Write(file, "\"Smith\",\"Ann\"\r\n\"Jones\",\"Bob\"\r\n");
  DriverWindow window = Open(ImportContacts, file);
  EXPECT_EQ(window.Control("Strip header record (field names)").Value(), "0");
  window.Control("OK").Press();
  const SeenRequest refused = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(refused.caption, "No Fields Selected for Import!");
  EXPECT_EQ(refused.text, "You must select one or more fields to import.");
  DriverControl columns = NthList(window, 1);
  DriverControl targets = NthList(window, 2);
  columns.ChooseRow(1);
  targets.ChooseRow(2);  // C_:LastName
  window.Control("Assign").Press();
  columns.ChooseRow(2);
  targets.ChooseRow(3);  // C_:FirstName
  window.Control("Assign").Press();
  const SeenRequest closing = Import(window);
  EXPECT_EQ(closing.text, "2 records were added to Contact from " + file.string() + ".");
  ASSERT_EQ(ACCESS_CONTACT->Open(), 0);
  ACCESS_CONTACT->Set(C__KEYCLIENTID);
  std::vector<std::string> names;
  while (ACCESS_CONTACT->TryNext() == 0)
    names.push_back(std::to_string(C_.ClientID) + " " + C_.FirstName.str() + " " +
                    C_.LastName.str());
  ACCESS_CONTACT->Close();
  EXPECT_EQ(names, (std::vector<std::string>{"1 Ann Smith", "2 Bob Jones"}));

  DriverWindow again = Open(ImportContacts, file);
  again.Control("Cancel").Press();
  ui_.Finish();
  EXPECT_EQ(response_, RequestCancelled);
  EXPECT_EQ(ui_.Messages().size(), 2u) << "no closing message for an import not run";
}

// Every field of each table exported here and imported into an empty data folder: the tables
// there, read by Python's sqlite3, hold the rows of the tables here.
TEST_F(CsvImportTest, ExportThenImportIntoAnEmptyFolderGivesIdenticalTables) {
  ASSERT_EQ(ACCESS_CONTACT->Open(), 0);
  for (int i = 0; i < 3; ++i) {
    ACCESS_CONTACT->PrimeRecord();
    C_.LastName = i == 0 ? "O'Neil, \"Jr\"" : "Smith";
    C_.FirstName = "Ann";
    C_.Email = "ann@example.org";
    C_.ContactCategory = "Friends";
    C_.Notes = NastyMemo(1024, static_cast<char>('a' + i));
    ASSERT_EQ(ACCESS_CONTACT->Insert(), 0);
  }
  ACCESS_CONTACT->Close();
  ASSERT_EQ(ACCESS_TODO->Open(), 0);
  for (int i = 0; i < 2; ++i) {
    ACCESS_TODO->PrimeRecord();
    TDO.Priority = static_cast<std::uint8_t>(3 + i);
    TDO.Category = "Home";
    TDO.ToDo = "Fix \"the\" door, soon";
    TDO.CompletionDate = DATE(6, 1, 2026) + i;
    TDO.CompletionTime = MakeTime(9, 30);
    TDO.Notes = NastyMemo(4096, 'n');
    TDO.Resolution = NastyMemo(1000, 'r');
    ASSERT_EQ(ACCESS_TODO->Insert(), 0);
  }
  ACCESS_TODO->Close();
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  for (int i = 0; i < 2; ++i) {
    ACCESS_SCHEDULE->PrimeRecord();
    SCH.TaskType = "Display Message";
    SCH.Category = "General";
    SCH.Description = "Call, \"now\"";
    SCH.Command = "/usr/bin/printf \"%s\\n\" a,b";
    SCH.ScheduleType = "Daily";
    SCH.Date = DATE(7, 1, 2026) + i;
    SCH.Time = MakeTime(8, 15);
    SCH.AdvanceWarnDate = DATE(6, 30, 2026);
    SCH.AdvanceWarnTime = MakeTime(8, 0);
    SCH.ExceptTimeBegin = i == 0 ? MakeTime(22, 0) : 0;
    SCH.ExceptTimeEnd = i == 0 ? MakeTime(6, 30) : 0;
    SCH.ExpiryDate = i == 0 ? DATE(12, 31, 2027) : 0;
    SCH.Offset = -3;
    SCH.Disabled = static_cast<std::uint8_t>(i);
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  }
  ACCESS_SCHEDULE->Close();

  const fs::path here = root();
  const fs::path there = root() / "empty";
  fs::create_directory(there);
  struct Case {
    const CsvTable* table;
    void (*import)();
    int records;
  };
  for (const Case& c :
       {Case{&ContactCsvTable(), ImportContacts, 3}, Case{&ToDoCsvTable(), ImportToDo, 2},
        Case{&ScheduleCsvTable(), ImportSchedule, 2}}) {
    SCOPED_TRACE(c.table->label);
    // Out under the fields' own pictures (dates and times as the user reads them) ...
    const fs::path file = here / (std::string(c.table->label) + ".csv");
    fs::current_path(here);
    ASSERT_EQ(Export(*c.table, OfferedExportFields(*c.table), file), CsvExportOutcome::Written);
    const storage::TableDef& def = c.table->access()->def();
    const std::string source = storage::FileOnDisk(def.StoredName());
    // ... and in, in the other folder, with the window as it opens.
    fs::current_path(there);
    const SeenRequest closing = ImportAsOpened(c.import, file);
    EXPECT_EQ(closing.text, std::to_string(c.records) + " records were added to " + c.table->label +
                                " from " + file.string() + ".");
    // Written as stored there, read back against the rows here.
    std::vector<CsvExportEntry> fields = OfferedExportFields(*c.table);
    for (CsvExportEntry& entry : fields) {
      const char type = PictureType(entry.picture);
      if (type != 'S' && type != 'N') entry.picture = "@n11";
    }
    const fs::path stored = there / (std::string(c.table->label) + "-stored.csv");
    ASSERT_EQ(Export(*c.table, fields, stored), CsvExportOutcome::Written);
    const storage::StoredName name =
        storage::ParseStoredName(def.StoredName(), storage::Driver::TopSpeed);
    std::string columns;
    for (const CsvExportEntry& entry : fields)
      columns += (columns.empty() ? "" : ",") + CsvFieldDef(def, entry.name)->name;
    const std::string script =
        std::string(std::getenv("VX_SOURCE_DIR")) + "/tests/support/csv_matches_table.py";
    const test::CommandRun python = test::RunCommandLine(
        "python3 " + script + " '" + stored.string() + "' '" + source + "' '" +
        (name.table.empty() ? "UNNAMED" : name.table) + "' " + columns + " 2>&1");
    EXPECT_EQ(python.status, 0) << python.output;
  }
}

// Each line starts from a fresh record: what a short line does not give is empty, not the value
// the line before left in the buffer.
TEST_F(CsvImportTest, AShortLineInheritsNothingFromTheLineBefore) {
  const fs::path file = root() / "todo.csv";
  Write(file, std::string(kToDoHeader) +
                  "1,3,\"Home\",\"Paint\",\"6/1/2026\",\"9:30AM\",\"notes\",\"resolved\"\r\n"
                  "0,4,\"Shop\"\r\n");
  const SeenRequest closing = ImportAsOpened(ImportToDo, file);
  EXPECT_EQ(closing.text, "2 records were added to Todo from " + file.string() + ".");
  const std::vector<TODO_RECORD> stored = StoredToDos();
  ASSERT_EQ(stored.size(), 2u);
  const TODO_RECORD& shop = stored[1];
  EXPECT_EQ(shop.Category.str(), "Shop");
  EXPECT_EQ(shop.Done, 0);
  EXPECT_EQ(shop.ToDo.str(), "");
  EXPECT_EQ(shop.CompletionDate, 0);
  EXPECT_EQ(shop.CompletionTime, 0);
  EXPECT_EQ(shop.Notes.str(), "");
  EXPECT_EQ(shop.Resolution.str(), "");
  EXPECT_EQ(stored[0].CompletionDate, DATE(6, 1, 2026));
}

// A line the table's rules refuse, or with a value that is not what its field holds, is skipped
// and named with its line and why; the lines around it are imported and counted.
TEST_F(CsvImportTest, BadLinesAreSkippedWithTheirLineAndReasonAndTheRestImported) {
  const fs::path file = root() / "todo.csv";
  Write(file, std::string(kToDoHeader) +
                  "0,11,\"Home\",\"too high\",\"\",\"\",\"\",\"\"\r\n"                   // line 2
                  "0,2,\"Home\",\"fine\",\"\",\"\",\"a memo\r\nof two lines\",\"\"\r\n"  // 3-4
                  "0,\"abc\",\"Home\",\"not a number\",\"\",\"\",\"\",\"\"\r\n"          // line 5
                  "0,300,\"Home\",\"past a byte\",\"\",\"\",\"\",\"\"\r\n"               // line 6
                  "0,5,\"Home\",\"bad date\",\"31/31/2026\",\"\",\"\",\"\"\r\n"          // line 7
                  "0,5,\"Home\",\"bad time\",\"\",\"25:99XM\",\"\",\"\"\r\n"             // line 8
                  "0,0,\"Home\",\"too low\",\"\",\"\",\"\",\"\"\r\n"                     // line 9
                  "0,10,\"Home\",\"also fine\",\"\",\"\",\"\",\"\"\r\n");
  const SeenRequest closing = ImportAsOpened(ImportToDo, file);
  EXPECT_EQ(closing.caption, "Import Completed");
  const std::string range = "The value of Priority must be between 1 and 10.";
  EXPECT_EQ(closing.text, "2 records were added to Todo from " + file.string() +
                              ".\n\n6 lines were skipped:"
                              "\nLine 2: TDO:Priority \"11\": " +
                              range +
                              "\nLine 5: TDO:Priority \"abc\" is not a whole number"
                              "\nLine 6: TDO:Priority \"300\" is out of range (0 to 255)"
                              "\nLine 7: TDO:CompletionDate \"31/31/2026\" is not a date like \"" +
                              CLIP(LEFT(FORMAT(DATE(6, 12, 2026), "@d17b"))) +
                              "\""
                              "\nLine 8: TDO:CompletionTime \"25:99XM\" is not a time like \"" +
                              CLIP(LEFT(FORMAT(MakeTime(14, 7, 9), "@t7b"))) +
                              "\""
                              "\nLine 9: TDO:Priority \"0\": " +
                              range);
  const std::vector<TODO_RECORD> stored = StoredToDos();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0].ToDo.str(), "fine");
  EXPECT_EQ(stored[0].Notes.str(), "a memo\r\nof two lines");
  EXPECT_EQ(stored[1].ToDo.str(), "also fine");
  EXPECT_TRUE(reporter_.shown.empty()) << "no box of the rules' own for each line";
}

// Tasks whose next run has come are imported as they are, and the closing message counts the
// enabled ones: the tick runs them as any overdue task.
TEST_F(CsvImportTest, TheClosingMessageCountsTheImportedTasksAlreadyDue) {
  const fs::path file = root() / "tasks.csv";
  // Now is 12 June 2026, 14:07.
  Write(file,
        "\"SCH:TaskType\",\"SCH:Description\",\"SCH:Date\",\"SCH:Time\",\"SCH:Disabled\"\r\n"
        "\"Display Message\",\"yesterday\",\"6/11/2026\",\"9:00AM\",0\r\n"
        "\"Display Message\",\"an hour ago\",\"6/12/2026\",\"1:07PM\",0\r\n"
        "\"Display Message\",\"disabled\",\"6/1/2026\",\"9:00AM\",1\r\n"
        "\"Display Message\",\"tomorrow\",\"6/13/2026\",\"9:00AM\",0\r\n");
  const SeenRequest closing = ImportAsOpened(ImportSchedule, file);
  EXPECT_EQ(closing.text, "4 records were added to Schedule from " + file.string() +
                              ".\n\n2 imported tasks are already due: they run at the next "
                              "tick, as any overdue task does (their skip rules apply).");
  const std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 4u);
  EXPECT_EQ(tasks[0].ID, 1);
  EXPECT_EQ(tasks[3].ID, 4);
  EXPECT_EQ(tasks[1].Date, DATE(6, 12, 2026));
  EXPECT_EQ(tasks[1].Time, MakeTime(13, 7));
  EXPECT_EQ(tasks[2].Disabled, 1);
  EXPECT_EQ(tasks[3].Disabled, 0);
}

// Cancel in the progress window ends the run at once; the message says where, and what was
// added stays.
TEST_F(CsvImportTest, ACancelledImportSaysWhereItStoppedAndKeepsWhatWasAdded) {
  const fs::path file = root() / "many.csv";
  {
    std::ofstream out(file, std::ios::binary);
    out << "\"C_:LastName\",\"C_:FirstName\"\r\n";
    for (int i = 0; i < 200000; ++i) out << "\"Name " << i << "\",\"First\"\r\n";
  }
  // The run as the window's OK starts it (a press in the window would wait for the run).
  ui_.Start([&] {
    CsvOpenImportFile(file.string());
    std::vector<CsvImportColumn> columns = ReadImportColumns();
    CsvAssignment assignment;
    AutoAssign(ContactCsvTable(), columns, assignment);
    const CsvImportResult result = RunCsvImport(ContactCsvTable(), columns, assignment, true);
    MESSAGE(ImportClosingText(ContactCsvTable(), result));
    CsvCloseImportFile();
  });
  DriverWindow progress = ui_.WaitWindow("Importing Records");
  progress.Control("Cancel").Press();
  const SeenRequest closing = ui_.WaitMessage(BUTTON_OK);
  ui_.Finish();
  ASSERT_EQ(ACCESS_CONTACT->Open(), 0);
  const std::int64_t stored = ACCESS_CONTACT->file().Records();
  ACCESS_CONTACT->Close();
  EXPECT_LT(stored, 200000);
  const std::string added =
      std::to_string(stored) + (stored == 1 ? " record was" : " records were");
  EXPECT_EQ(closing.text, added + " added to Contact from " + file.string() +
                              ".\n\nThe import was cancelled at line " +
                              std::to_string(stored + 2) +
                              ": that line and the rest of the file were not imported; the "
                              "records added before it stay.");
}

}  // namespace
}  // namespace vx
