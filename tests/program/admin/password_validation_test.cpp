// The system password prompt: no prompt while unlocked, case-blind comparison, Enter for OK,
// one try, and the stay-unlocked choice.
#include "program/admin/password_validation.h"

#include <gtest/gtest.h>

#include "program/admin/load_settings.h"
#include "runtime/events.h"
#include "support/test_driver.h"

namespace vx {
namespace {

class PasswordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SYSLOCK = 1;
    SYSPWD = "Secret";
    SystemUnlocked = 0;
  }
  void TearDown() override {
    SYSLOCK = 0;
    SYSPWD = "";
    SystemUnlocked = 0;
  }
  // Runs the prompt on a runtime thread; `answer` plays the user.
  long Ask(const std::function<void(DriverWindow&)>& answer) {
    long result = -1;
    ui_.Start([&] { result = fPasswordValidation(); });
    DriverWindow prompt = ui_.WaitWindow("Password Required");
    answer(prompt);
    ui_.Finish();
    return result;
  }
  TestDriver ui_;
};

TEST_F(PasswordTest, NoPromptWhileTheSystemIsNotLockedOrUnlockedForTheSession) {
  for (const auto& [lock, unlocked] : {std::pair{0, 0}, std::pair{1, 1}}) {
    SYSLOCK = static_cast<std::uint8_t>(lock);
    SystemUnlocked = static_cast<std::uint8_t>(unlocked);
    long result = -1;
    ui_.Start([&] { result = fPasswordValidation(); });
    ui_.Finish();
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(ui_.OpenTitles().empty());
  }
}

TEST_F(PasswordTest, ThePasswordIsComparedWithoutCaseAndMayUnlockTheSession) {
  EXPECT_EQ(Ask([](DriverWindow& w) {
              EXPECT_EQ(w.Control("Enter the system password:").Get(Prop::Password),
                        "1");  // shown as bullets
              w.Control("Enter the system password:").Type("sECRET");
              w.Control("OK").Press();
            }),
            1);
  EXPECT_EQ(SystemUnlocked, 0);
  EXPECT_EQ(Ask([](DriverWindow& w) {
              w.Control("Enter the system password:").Type("secret");
              w.Control("Unlock system for session").Tick();
              w.Control("OK").Press();
            }),
            1);
  EXPECT_EQ(SystemUnlocked, 1);
}

// Typed and Enter, as a keyboard user answers it: Enter presses OK with what was typed.
TEST_F(PasswordTest, EnterInThePasswordFieldPressesOk) {
  EXPECT_EQ(Ask([](DriverWindow& w) {
              w.Control("Enter the system password:").TypeKeys("secret");
              w.PressKey(EnterKey);
            }),
            1);
}

TEST_F(PasswordTest, AWrongPasswordIsRefusedOnceAndCancelRefusesToo) {
  ui_.AnswerMessage(BUTTON_OK);
  EXPECT_EQ(Ask([](DriverWindow& w) {
              w.Control("Enter the system password:").Type("guess");
              w.Control("Unlock system for session").Tick();
              w.Control("OK").Press();
            }),
            0);
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].text, "The password you have entered is incorrect.");
  EXPECT_EQ(ui_.Messages()[0].caption, "Access Denied");
  EXPECT_EQ(SystemUnlocked, 0);
  EXPECT_EQ(Ask([](DriverWindow& w) { w.Control("Cancel").Press(); }), 0);
}

}  // namespace
}  // namespace vx
