// The printer list on the desktop's print system: no print system is a normal answer (no
// printer, the default reads ",,,"), and where a CUPS set-up runs the list and its default are
// those lpstat names. The debug-file class writes the state of a table at a point of a
// procedure into its INI file.
#include "datadll/utility/api_printer_class.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/debug_files_class.h"
#include "runtime/ini_file.h"
#include "support/command_run.h"
#include "test_support.h"

namespace vx {
namespace {

TEST(ApiPrinterClass, NoPrintSystemMeansNoPrinterAndTheEmptyDefault) {
  // The print library reads its server on a thread's first call; a new thread reads it anew.
  const char* before = std::getenv("CUPS_SERVER");
  const std::string kept = before != nullptr ? before : "";
  setenv("CUPS_SERVER", "/nonexistent/vx-no-cups.sock", 1);
  std::string default_name;
  long row = 0;
  PRINTERQUEUE rows;
  rows.buffer.PRINTERNAME = "kept";
  rows.Add();  // what the queue held stays
  APIPRINTERCLASS printers;
  std::thread([&] {
    default_name = GETDEFAULTPRINTER();
    row = GETPRINTERLIST(rows);
    printers.INIT();
  }).join();
  if (before != nullptr) {
    setenv("CUPS_SERVER", kept.c_str(), 1);
  } else {
    unsetenv("CUPS_SERVER");
  }
  EXPECT_EQ(default_name, ",,,");
  EXPECT_EQ(row, 1);
  EXPECT_EQ(rows.Records(), 1);
  ASSERT_NE(printers.PRINTERQ, nullptr);
  EXPECT_EQ(printers.PRINTERQ->Records(), 0);
  EXPECT_EQ(printers.GETDEFAULTPRINTER(), ",,,");
  printers.KILL();
  EXPECT_EQ(printers.PRINTERQ, nullptr);
}

TEST(ApiPrinterClass, ListsThePrintersOfTheLocalCupsSetUp) {
  const test::CommandRun listed = test::RunCommandLine("lpstat -e 2>/dev/null");
  if (listed.status != 0 || listed.output.empty()) GTEST_SKIP() << "no CUPS set-up runs here";
  std::set<std::string> expected;
  std::istringstream lines(listed.output);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.find('/') == std::string::npos) expected.insert(line);
  }
  const test::CommandRun chosen = test::RunCommandLine("lpstat -d 2>/dev/null");
  const std::string marker = "system default destination: ";
  const std::size_t at = chosen.output.find(marker);
  std::string default_name = ",,,";
  if (at != std::string::npos) {
    default_name = chosen.output.substr(at + marker.size());
    default_name.erase(default_name.find_last_not_of("\r\n") + 1);
  }

  APIPRINTERCLASS printers;
  printers.INIT();
  std::set<std::string> names;
  for (const PRINTERQ_RECORD& row : *printers.PRINTERQ) {
    names.insert(row.PRINTERNAME.str());
    EXPECT_TRUE(row.SHOWNAME.str().starts_with(row.PRINTERNAME.str() + " on "))
        << row.SHOWNAME.str();
  }
  EXPECT_EQ(names, expected);
  EXPECT_EQ(printers.GETDEFAULTPRINTER(), default_name);
  // A second reset lists every printer again.
  printers.RESET();
  EXPECT_EQ(printers.PRINTERQ->Records(), static_cast<long>(2 * expected.size()));
  printers.KILL();
}

class DebugFilesTest : public test::DataLibraryTest {
 protected:
  test::InFreshFolder folder_;
};

TEST_F(DebugFilesTest, WritesWhetherATableIsOpenAtEachPoint) {
  DEBUGFILESCLASS debug;
  debug.INIT(".\\DEBUGFILES.INI", "UpdateCategories");
  EXPECT_EQ(debug.SECT.str(), "Init");
  storage::File& file = ACCESS_CATEGORIES->file();
  debug.CHECKFILESTATE(file);  // not open yet
  ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
  for (const char* name : {"Bills", "Work"}) {
    CAT.Category = name;
    ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
  }
  ASSERT_EQ(ACCESS_CATEGORIES->Set(), 0);
  ASSERT_EQ(ACCESS_CATEGORIES->Next(), 0);
  debug.SETSECTION("Walking");
  debug.CHECKFILESTATE(file);
  // The check left the walk where it was: the next record follows the first.
  ASSERT_EQ(ACCESS_CATEGORIES->Next(), 0);
  EXPECT_EQ(CAT.Category, "Work");
  ACCESS_CATEGORIES->Close();
  debug.SETSECTION("Closed again");
  debug.CHECKFILESTATE(file);

  const auto state = [](const char* entry) {
    return GETINI("UpdateCategories", entry, "?", ".\\DEBUGFILES.INI");
  };
  EXPECT_EQ(state("CATEGORIES - Init"), "Closed");
  EXPECT_EQ(state("CATEGORIES - Walking"), "Open");
  EXPECT_EQ(state("CATEGORIES - Closed again"), "Closed");
}

}  // namespace
}  // namespace vx
