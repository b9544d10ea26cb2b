// The settings store: the stored value first, then the INI file's [Settings] entry, then the
// default; what the fallback finds is moved into the store.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "datadll/dictionary/configuration_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "program/common/config_store.h"
#include "program/shell_fixture.h"
#include "program/sqlite_access.h"
#include "runtime/ini_file.h"
#include "runtime/storage/data_file_check.h"

namespace vx {
namespace {

class ConfigStore : public test::ShellTest {
 protected:
  // The stored value of a key, or nothing when it has no record.
  std::optional<std::string> Stored(const std::string& key) {
    CF.DataType = key;
    if (ACCESS_CONFIGURATION->TryFetch(CF_KEYDATATYPE) != 0) return std::nullopt;
    return CF.DataValue.str();
  }
  // Resolved only once the fixture has pointed the settings folder at the test's own.
  static IniFile ProgramIni() { return IniFile("vx98.INI"); }
};

TEST_F(ConfigStore, FallbackOrderStoreThenIniThenDefault) {
  ProgramIni().Put("Settings", "InIni", "from ini");
  ProgramIni().Put("Settings", "Stored", "ini loses");
  SetConfigValue("Stored", "from store");

  struct Case {
    const char* key;
    std::optional<std::string_view> default_value;
    const char* expected;
    std::optional<std::string> stored_after;
  };
  const Case cases[] = {
      {"Stored", "default loses", "from store", "from store"},
      {"InIni", "default loses", "from ini", "from ini"},
      {"Neither", "the default", "the default", "the default"},
      {"Nothing", std::nullopt, "", std::nullopt},  // blank: no record is added
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetConfigValue(c.key, c.default_value, "vx98.INI"), c.expected) << c.key;
    EXPECT_EQ(Stored(c.key), c.stored_after) << c.key;
  }
  EXPECT_TRUE(reporter_.shown.empty());
}

TEST_F(ConfigStore, AKeyMovedIntoTheStoreNoLongerFollowsTheIniFile) {
  ProgramIni().Put("Settings", "Host", "mail.one.test");
  EXPECT_EQ(GetConfigValue("Host", std::nullopt, "vx98.INI"), "mail.one.test");
  ProgramIni().Put("Settings", "Host", "mail.two.test");
  EXPECT_EQ(GetConfigValue("Host", std::nullopt, "vx98.INI"), "mail.one.test");
}

TEST_F(ConfigStore, WithoutAnIniFileTheDefaultIniFileIsRead) {
  IniFile("").Put("Settings", "Colour", "blue");
  EXPECT_EQ(GetConfigValue("Colour"), "blue");
  EXPECT_EQ(GetConfigValue("Shape", "round"), "round");
}

TEST_F(ConfigStore, SetAddsThenChangesTheRecordAndCutsKeyAndValue) {
  SetConfigValue("DateFormat", "d3");
  SetConfigValue("DateFormat", "d17", "ignored.ini");
  EXPECT_EQ(GetConfigValue("DateFormat"), "d17");

  const std::string long_key(50, 'K');
  SetConfigValue(long_key, std::string(300, 'v'));
  EXPECT_EQ(GetConfigValue(long_key.substr(0, 40)), std::string(255, 'v'));
  EXPECT_EQ(ACCESS_CONFIGURATION->file().Records(), 2);
  EXPECT_TRUE(reporter_.shown.empty());
}

// A store that cannot be read: the reader reports and gives the default, never the value of
// whatever record the buffer held before; the writer reports and writes nothing.
TEST_F(ConfigStore, AStoreOfAnotherStructureStopsTheProgramAndIsKept) {
  {
    test::SqliteDb db("VX97.TPS");
    db.Exec(
        "PRAGMA application_id=" + std::to_string(storage::kDataFileApplicationId) +  // one of ours
        "; CREATE TABLE CF(DataType TEXT, Other TEXT); INSERT INTO CF VALUES('Host', 'kept');");
  }
  CF.DataValue = "value of an earlier read";
  EXPECT_EQ(GetConfigValue("Host", "the default"), "the default");
  EXPECT_EQ(GetConfigValue("Port"), "");
  SetConfigValue("Host", "changed");

  // Each call meets the upgrade notice and the halt; the test's halt returns where the real one
  // ends the program, so the store's own message follows each time.
  EXPECT_EQ(halts_, std::vector<std::string>(3, "Cannot proceed."));
  ASSERT_EQ(reporter_.shown.size(), 9u);
  EXPECT_EQ(reporter_.shown[0].caption, "Upgrade Error");
  EXPECT_EQ(reporter_.shown[1].caption, "Assistant");
  EXPECT_EQ(reporter_.shown[2].caption, "Error!");
  EXPECT_EQ(reporter_.shown[2].text, "Error retrieving configuration information code Host" +
                                         std::string(36, ' ') + " - Invalid Record Declaration");
  EXPECT_EQ(reporter_.shown[8].text, "Error writing configuration information.  Code Host" +
                                         std::string(36, ' ') + " - Invalid Record Declaration");
  EXPECT_EQ(test::SqliteDb("VX97.TPS").Text("SELECT Other FROM CF WHERE DataType = 'Host'"),
            "kept");
}

}  // namespace
}  // namespace vx
