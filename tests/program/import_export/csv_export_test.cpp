// The comma-delimited file by picture, and the exports of tasks, contacts and to-do items: read
// back by Python's csv module, every line equals its row as Python's sqlite3 reads it.
#include "program/import_export/csv_export.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/todo_tables.h"
#include "program/import_export/csv_file.h"
#include "runtime/csv.h"
#include "runtime/storage/stored_name.h"
#include "runtime/text_functions.h"
#include "tests/program/window_fixture.h"
#include "tests/support/command_run.h"

namespace vx {
namespace {

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A memo that holds everything a line of its own could be broken by, filled to `size` bytes.
std::string NastyMemo(std::size_t size, char fill) {
  std::string text = "He said \"stop, now\",\r\nthen left; Grüße ʤ \"\" ,\n";
  text += std::string(size - text.size() - 1, fill);
  return text + "!";
}

class CsvExportTest : public test::WindowTest {
 protected:
  // Runs the export on a runtime thread of the driver, which keeps the boxes it shows.
  CsvExportOutcome Export(const CsvTable& table, const std::vector<CsvExportEntry>& fields,
                          const std::filesystem::path& file) {
    CsvExportOutcome outcome = CsvExportOutcome::NotCreated;
    ui_.Start([&] { outcome = RunCsvExport(table, fields, true, file.string()); });
    ui_.Finish();
    return outcome;
  }
  // Every offered field, with numeric pictures for the dates and times so that each value is
  // written as stored.
  static std::vector<CsvExportEntry> AllFieldsAsStored(const CsvTable& table) {
    std::vector<CsvExportEntry> fields = OfferedExportFields(table);
    for (CsvExportEntry& entry : fields) {
      const char type = PictureType(entry.picture);
      if (type != 'S' && type != 'N') entry.picture = "@n11";
    }
    return fields;
  }
  // Python's verdict on `file` against the table's stored rows.
  static test::CommandRun PythonCompare(const CsvTable& table, const std::filesystem::path& file,
                                        const std::vector<CsvExportEntry>& fields) {
    const storage::TableDef& def = table.access()->def();
    const storage::StoredName stored =
        storage::ParseStoredName(def.StoredName(), storage::Driver::TopSpeed);
    std::string columns;
    for (const CsvExportEntry& entry : fields)
      columns += (columns.empty() ? "" : ",") + CsvFieldDef(def, entry.name)->name;
    const std::string script =
        std::string(std::getenv("VX_SOURCE_DIR")) + "/tests/support/csv_matches_table.py";
    return test::RunCommandLine(
        "python3 " + script + " '" + file.string() + "' '" + storage::FileOnDisk(def.StoredName()) +
        "' '" + (stored.table.empty() ? "UNNAMED" : stored.table) + "' " + columns + " 2>&1");
  }
};

TEST(CsvFile, FieldsAreQuotedUnlessNumbersUnderANumericPictureAndReadBackByPicture) {
  const test::TempFolder folder("vx_csv_file");
  const std::string file = (folder / "out.csv").string();
  ASSERT_TRUE(CsvCreateExportFile(file));
  CsvBeginLine();
  CsvAddField("Name[2]", true, "@s50");
  CsvAddField("say \"hi\"   ", false, "@s20");
  CsvAddField("2027", false, "@s40");  // a text that reads as a number is still a text
  CsvAddNumberField(7, "@s3");
  CsvAddField("1,5", false, "@n6");  // text under a numeric picture is still quoted
  CsvAddField("42", false, "@n-10.2");
  CsvAddNumberField(DATE(6, 15, 2026), "@d17b");
  CsvAddField("", false, "@s20");
  ASSERT_TRUE(CsvWriteLine());
  EXPECT_FALSE(std::filesystem::exists(file)) << "written beside the target until complete";
  ASSERT_TRUE(CsvCloseExportFile());
  const std::string date = CLIP(LEFT(FORMAT(DATE(6, 15, 2026), "@d17b")));
  EXPECT_EQ(ReadWhole(file),
            "\"Name_2\",\"say \"\"hi\"\"\",\"2027\",\"7\",\"1,5\",42,\"" + date + "\",\"\"\r\n");

  ASSERT_GT(CsvOpenImportFile(file), 0);
  ASSERT_GT(CsvReadLine(), 0);
  const struct {
    int result;
    const char* text;
  } fields[] = {{1, "Name_2"}, {1, "say \"hi\""}, {1, "2027"}, {1, "7"},
                {1, "1,5"},    {2, "42"},         {1, ""},     {1, ""}};
  for (const auto& field : fields) {
    EXPECT_EQ(CsvNextField(), field.result);
    if (std::string_view(field.text).empty() && field.result == 1 && CsvFieldText() != "") {
      CsvDeformatField("@d17");  // the date field: back to its day number
      EXPECT_EQ(CsvFieldText(), std::to_string(DATE(6, 15, 2026)));
    } else {
      EXPECT_EQ(CsvFieldText(), field.text);
    }
  }
  EXPECT_EQ(CsvNextField(), 0);
  EXPECT_EQ(CsvReadLine(), 0);
  CsvCloseImportFile();
}

TEST_F(CsvExportTest, EveryFieldOfEachTableReadsBackInPythonAsItsStoredRow) {
  ASSERT_EQ(ACCESS_CONTACT->Open(), 0);
  for (int i = 0; i < 3; ++i) {
    ACCESS_CONTACT->PrimeRecord();
    C_.LastName = i == 0 ? "O'Neil, \"Jr\"" : "Smith";
    C_.FirstName = "Ann";
    C_.Email = "ann@example.org";
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
    TDO.CompletionDate = DATE(6, 1, 2026);
    TDO.CompletionTime = MakeTime(9, 30);
    TDO.Notes = NastyMemo(4096, 'n');
    TDO.Resolution = NastyMemo(1000, 'r');
    ASSERT_EQ(ACCESS_TODO->Insert(), 0);
  }
  ACCESS_TODO->Close();
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  for (int i = 0; i < 2; ++i) {
    ACCESS_SCHEDULE->PrimeRecord();
    SCH.TaskType = "Message";
    SCH.Description = "Call, \"now\"";
    SCH.Command = "/usr/bin/printf \"%s\\n\" a,b";
    SCH.Date = DATE(7, 1, 2026) + i;
    SCH.Time = MakeTime(8, 15);
    SCH.Offset = -3;
    SCH.Message = NastyMemo(4096, 'm');
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  }
  ACCESS_SCHEDULE->Close();

  for (const CsvTable* table : {&ContactCsvTable(), &ToDoCsvTable(), &ScheduleCsvTable()}) {
    SCOPED_TRACE(table->label);
    const std::filesystem::path file = root() / (std::string(table->label) + ".csv");
    const std::vector<CsvExportEntry> fields = AllFieldsAsStored(*table);
    ASSERT_EQ(Export(*table, fields, file), CsvExportOutcome::Written);
    const test::CommandRun python = PythonCompare(*table, file, fields);
    EXPECT_EQ(python.status, 0) << python.output;
  }
  EXPECT_TRUE(ui_.Messages().empty());
}

// "Choose Fields for Export...": fields taken out, moved and added again, the header line left
// out; the file holds the chosen fields in the chosen order.
TEST_F(CsvExportTest, TheChooserWritesTheChosenFieldsInTheirOrder) {
  ASSERT_EQ(ACCESS_CONTACT->Open(), 0);
  ACCESS_CONTACT->PrimeRecord();
  C_.LastName = "Smith";
  C_.FirstName = "Ann";
  C_.Notes = "a, \"note\"";
  ASSERT_EQ(ACCESS_CONTACT->Insert(), 0);
  ACCESS_CONTACT->Close();
  const std::filesystem::path file = root() / "chosen.csv";
  ui_.AnswerFile(file.string());
  ui_.Start(ExportContacts);
  DriverWindow window = ui_.WaitWindow("Choose Fields for Export...");
  DriverControl all = NthList(window, 1);
  DriverControl chosen = NthList(window, 2);
  ASSERT_EQ(chosen.Rows(), 14u) << "every field at first";
  EXPECT_EQ(window.Control("Field's picture").Value(), "Alpha-numeric");
  while (chosen.Rows() > 2) {  // down to C_:Notes, C_:LastName
    chosen.ChooseRow(3);
    window.Control("Remove").Press();
  }
  chosen.ChooseRow(1);
  window.Control("Remove").Press();  // C_:LastName alone
  all.ChooseRow(3);                  // C_:FirstName
  window.Control("Add ->").Press();
  all.ChooseRow(1);  // C_:Notes
  window.Control("Add ->").Press();
  all.ChooseRow(3);  // there already: only shown
  window.Control("Add ->").Press();
  EXPECT_EQ(chosen.Choice(), 2);
  window.Control("Shift Up").Press();
  ASSERT_EQ(chosen.Rows(), 3u);
  EXPECT_EQ(chosen.Cell(1, 1), "C_:FirstName");
  EXPECT_EQ(chosen.Cell(2, 1), "C_:LastName");
  EXPECT_EQ(chosen.Cell(3, 1), "C_:Notes");
  window.Control("Include header record with field names").Tick(false);
  window.Control("OK").Press();
  ui_.Finish();
  EXPECT_EQ(ReadWhole(file), "\"Ann\",\"Smith\",\"a, \"\"note\"\"\"\r\n");
  EXPECT_TRUE(ui_.Messages().empty());
}

// A failed export leaves the earlier file whole, and says so.
TEST_F(CsvExportTest, AFailedExportLeavesTheEarlierFileWholeAndSaysSo) {
  ASSERT_EQ(ACCESS_CONTACT->Open(), 0);
  for (int i = 0; i < 60; ++i) {
    ACCESS_CONTACT->PrimeRecord();
    C_.LastName = "Smith";
    C_.Notes = NastyMemo(1024, 'x');
    ASSERT_EQ(ACCESS_CONTACT->Insert(), 0);
  }
  ACCESS_CONTACT->Close();
  const std::filesystem::path file = root() / "contacts.csv";
  std::ofstream(file) << "earlier export\r\n";
  // Files of this process may not grow past 40000 bytes (room for the database's shared-memory
  // file): a line of the export, about 61000 bytes, cannot be written, and Abort gives up.
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_signal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 40000;
  setrlimit(RLIMIT_FSIZE, &small);
  ui_.AnswerMessage(BUTTON_ABORT);
  ui_.AnswerMessage(BUTTON_OK);
  const CsvExportOutcome outcome =
      Export(ContactCsvTable(), OfferedExportFields(ContactCsvTable()), file);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_signal);
  EXPECT_EQ(outcome, CsvExportOutcome::Failed);
  EXPECT_EQ(ReadWhole(file), "earlier export\r\n");
  ASSERT_EQ(ui_.Messages().size(), 2u);
  EXPECT_EQ(ui_.Messages()[0].caption, "Cannot ADD to " + file.string());
  EXPECT_EQ(ui_.Messages()[1].text,
            "The export was abandoned.\n\n" + file.string() + " was not changed.");

  // A folder stands where the file goes: the complete export cannot take its place.
  const std::filesystem::path folder = root() / "taken.csv";
  std::filesystem::create_directory(folder);
  std::filesystem::create_directory(folder / "inside");
  ui_.AnswerMessage(BUTTON_OK);
  EXPECT_EQ(Export(ContactCsvTable(), OfferedExportFields(ContactCsvTable()), folder),
            CsvExportOutcome::Failed);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "inside"));
  ASSERT_EQ(ui_.Messages().size(), 3u);
  EXPECT_EQ(ui_.Messages().back().caption, "Cannot CLOSE " + folder.string());
  int left = 0;
  for (const auto& entry : std::filesystem::directory_iterator(root()))
    left += entry.path().extension() == ".part";
  EXPECT_EQ(left, 0) << "no temporary file is left behind";
}

}  // namespace
}  // namespace vx
