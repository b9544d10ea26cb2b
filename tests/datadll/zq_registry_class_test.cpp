#include "datadll/utility/zq_registry_class.h"

#include <gtest/gtest.h>

#include "runtime/events.h"
#include "support/temp_folder.h"
#include "support/test_driver.h"

namespace vx {
namespace {

class RegistryTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    reg.INIT(1);
  }
  void ExpectError(const char* verb, const char* key, long code) {
    EXPECT_EQ(reg.ErrorVerb, verb);
    EXPECT_EQ(reg.ErrorKey, key);
    EXPECT_EQ(reg.ErrorCode, std::to_string(code));
  }
  ZQREGISTRYCLASS reg;
};

TEST_F(RegistryTest, RootNames) {
  const struct {
    const char* name;
    long root;
  } cases[] = {
      {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
      {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
      {"hkey_users", HKEY_USERS},
      {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {"machine", HKEY_LOCAL_MACHINE},
      {"anything else", HKEY_CURRENT_USER},
      {"", HKEY_CURRENT_USER},
      {"ROOT of USERS", HKEY_CLASSES_ROOT},
  };
  for (const auto& c : cases) EXPECT_EQ(reg.STRINGTOHKEY(c.name), c.root) << c.name;
}

TEST_F(RegistryTest, ValuesAreWrittenToTheEmulationFileAndReadBackWhateverTheCase) {
  reg.PUTVALUE("C:\\Data  ", "Data Path", "Software\\Vx\\Settings", HKEY_CURRENT_USER);
  reg.UPDATE(HKEY_LOCAL_MACHINE, "machine", "Data Path", "Software\\Vx\\Settings");
  EXPECT_EQ(reg.GETVALUE("data path  ", "SOFTWARE\\vx\\settings", HKEY_CURRENT_USER), "C:\\Data");
  EXPECT_EQ(reg.GETVALUE("Data Path", "Software\\Vx\\Settings", HKEY_LOCAL_MACHINE), "machine");
  EXPECT_EQ(reg.GETVALUE("fallback", "Other", "Software\\Vx\\Settings", HKEY_CURRENT_USER),
            "fallback");
  EXPECT_EQ(reg.ErrorVerb, "") << "a missing value in an existing key is no error";

  const std::string file = Read(root() / "config/varnodex/registry.ini");
  EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Vx\\Settings]\nData Path=C:\\Data\n"),
            std::string::npos)
      << file;

  // Written up to 499 characters, read up to 255.
  reg.PUTVALUE(std::string(600, 'x'), "Long", "Software\\Vx", HKEY_CURRENT_USER);
  EXPECT_NE(
      Read(root() / "config/varnodex/registry.ini").find("Long=" + std::string(499, 'x') + "\n"),
      std::string::npos);
  EXPECT_EQ(reg.GETVALUE("Long", "Software\\Vx", HKEY_CURRENT_USER), std::string(255, 'x'));
}

TEST_F(RegistryTest, FailuresAreRecordedAndTheDefaultIsReturned) {
  EXPECT_EQ(reg.FETCH(HKEY_CURRENT_USER, "def", "Value", "Software\\Nowhere"), "def");
  ExpectError("opening", "Software\\Nowhere", kRegNotFound);

  reg.PUTVALUE("1", "a=b", "Software\\Vx", HKEY_CURRENT_USER);
  ExpectError("setting", "a=b", kRegInvalidName);
  reg.PUTVALUE("1", "Name", "Software\\Vx", 0x80000009L);
  ExpectError("opening", "Software\\Vx", kRegInvalidRoot);
  EXPECT_EQ(reg.GETVALUE("Name", "Software\\Vx", HKEY_CURRENT_USER), "");
}

TEST_F(RegistryTest, AnErrorIsShownUnlessQuiet) {
  TestDriver ui;
  ui.Start([&] {
    reg.INIT(0);
    reg.GETVALUE("Value", "Software\\Nowhere", HKEY_CURRENT_USER);
  });
  const SeenRequest message = ui.WaitMessage(BUTTON_OK);
  ui.Finish();
  EXPECT_EQ(message.caption, "Error");
  EXPECT_EQ(message.text, "Error opening Software\\Nowhere:\r2");
  EXPECT_EQ(ui.Messages().size(), 1u);
}

TEST_F(RegistryTest, ValueQueuesAreFilledInNameOrder) {
  reg.PUTVALUE("3", "Zeta", "Software\\Vx", HKEY_CURRENT_USER);
  reg.PUTVALUE("1", "Alpha", "Software\\Vx", HKEY_CURRENT_USER);
  reg.PUTVALUE("d", "", "Software\\Vx", HKEY_CURRENT_USER);  // the key's unnamed value
  reg.LOADQ(HKEY_CURRENT_USER, "Software\\Vx");
  ASSERT_EQ(reg.Values.Records(), 3);
  EXPECT_EQ(reg.Values[1].Name, "");
  EXPECT_EQ(reg.Values[1].Value, "d");
  EXPECT_EQ(reg.Values[2].Name, "Alpha");
  EXPECT_EQ(reg.Values[3].Name, "Zeta");

  TREGVALUEQ mine;
  reg.LOADQ(mine, HKEY_CURRENT_USER, "Software\\Missing");
  EXPECT_EQ(mine.Records(), 0);
  ExpectError("opening", "Software\\Missing", kRegNotFound);
}

TEST_F(RegistryTest, KeysAndValuesAreRemoved) {
  reg.PUTVALUE("1", "A", "Software\\Vx\\Inner", HKEY_CURRENT_USER);
  reg.PUTVALUE("2", "B", "Software\\Vx", HKEY_CURRENT_USER);
  reg.PUTVALUE("3", "C", "Software\\Vx", HKEY_CURRENT_USER);

  reg.DELETEVALUE("b", "Software\\Vx", HKEY_CURRENT_USER);
  EXPECT_EQ(reg.GETVALUE("x", "B", "Software\\Vx", HKEY_CURRENT_USER), "x");
  reg.DELETEVALUE("B", "Software\\Vx", HKEY_CURRENT_USER);
  ExpectError("deleting", "B", kRegNotFound);

  reg.REMOVE(HKEY_CURRENT_USER, "Software\\Vx");
  ExpectError("deleting", "Software\\Vx", kRegAccessDenied);  // a key with sub-keys stays
  EXPECT_EQ(reg.GETVALUE("C", "Software\\Vx", HKEY_CURRENT_USER), "3");

  reg.ErrorVerb = "";
  reg.DELETEVALUE("Software\\Vx\\Inner", HKEY_CURRENT_USER);
  EXPECT_EQ(reg.ErrorVerb, "") << "deleting a key reports no error for the key it just deleted";
  EXPECT_EQ(reg.GETVALUE("x", "A", "Software\\Vx\\Inner", HKEY_CURRENT_USER), "x");
  ExpectError("opening", "Software\\Vx\\Inner", kRegNotFound);

  reg.REMOVE(HKEY_CURRENT_USER, "Software\\Gone\\Key");
  ExpectError("opening", "Software\\Gone\\Key", kRegNotFound);
}

TEST_F(RegistryTest, MailDefaultsComeFromTheDefaultAccount) {
  EXPECT_EQ(reg.GETEMAILROOT(), "");
  EXPECT_EQ(reg.GETEMAILSERVER(), "");
  EXPECT_EQ(reg.GETEMAILADDRESS(), "");
  EXPECT_EQ(reg.GETEMAILREPLYTOADDRESS(), "");
  EXPECT_EQ(reg.GETEMAILNAME(), "");
  EXPECT_EQ(reg.GETREGUSERNAME(), "");

  const std::string manager = "Software\\Microsoft\\Internet Account Manager";
  reg.PUTVALUE("00000002 extra", "Default Mail Account", manager, HKEY_CURRENT_USER);
  const std::string account = manager + "\\Accounts\\00000002";
  reg.PUTVALUE("smtp.example.org", "SMTP Server", account, HKEY_CURRENT_USER);
  reg.PUTVALUE("me@example.org", "SMTP Email Address", account, HKEY_CURRENT_USER);
  reg.PUTVALUE("reply@example.org", "SMTP Reply To Email Address", account, HKEY_CURRENT_USER);
  reg.PUTVALUE("Me Myself", "SMTP Display Name", account, HKEY_CURRENT_USER);
  reg.PUTVALUE("Owner Name", "RegisteredOwner", "Software\\Microsoft\\Windows\\CurrentVersion",
               HKEY_LOCAL_MACHINE);

  EXPECT_EQ(reg.GETEMAILROOT(), account);
  EXPECT_EQ(reg.GETEMAILSERVER(), "smtp.example.org");
  EXPECT_EQ(reg.GETEMAILADDRESS(), "me@example.org");
  EXPECT_EQ(reg.GETEMAILREPLYTOADDRESS(), "reply@example.org");
  EXPECT_EQ(reg.GETEMAILNAME(), "Me Myself");
  EXPECT_EQ(reg.GETREGUSERNAME(), "Owner Name");
}

}  // namespace
}  // namespace vx
