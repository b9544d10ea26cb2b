// The numbered warnings whose wording or buttons depend on their texts or on the error.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "program/common/numbered_warnings.h"
#include "program/shell_fixture.h"
#include "runtime/storage/errors.h"

namespace vx {
namespace {

using NumberedWarnings = test::ShellTest;

// The expected text with "{file}" standing for the data file as the user finds it on disk.
std::string WithFile(std::string text) {
  const std::string path = (std::filesystem::current_path() / "VX97.TPS").string();
  if (const auto at = text.find("{file}"); at != std::string::npos) text.replace(at, 6, path);
  return text;
}

TEST_F(NumberedWarnings, CaptionTextButtonsAndEndOfEachKind) {
  struct Case {
    int number;
    const char* text1;
    const char* text2;
    const char* caption;
    const char* text;
    unsigned buttons;
    unsigned default_button;
    const char* halt;  // "" = goes on
  };
  const Case cases[] = {
      {1, "Todo", "", "Invalid File",
       "Error: (Record Not Found (35)) accessing Todo.  Press OK to end this application.",
       BUTTON_OK, BUTTON_OK, "Invalid File!"},
      {10, "Priority", "1 and 10", "Range Error", "The value of Priority must be between 1 and 10.",
       BUTTON_OK, BUTTON_OK, ""},
      {20, "", "", "Invalid Request",
       "This procedure was called to change a record, however changes are not allowed for this "
       "procedure.  "
       "Press OK to return to the calling procedure",
       BUTTON_OK, BUTTON_OK, ""},
      {21, "", "", "Invalid Request",
       "This procedure was called to delete a record, however deletions are not allowed for this "
       "procedure.  "
       "Press OK to return to the calling procedure",
       BUTTON_OK, BUTTON_OK, ""},
      {25, "", "", "Auto Increment Error",
       "Attempts to automatically number this record have failed.  Error: Record Not Found (35).  "
       "File: {file}",
       BUTTON_RETRY | BUTTON_CANCEL, BUTTON_CANCEL, ""},
      {29, "", "Down", "End of File Error",
       "The end of the viewed file was encountered.  Do you want to start again from the "
       "beginning?",
       BUTTON_YES | BUTTON_NO, BUTTON_YES, ""},
      {29, "", "Up", "Beginning of File Error",
       "The beginning of the viewed file was encountered.  Do you want to start again from the end "
       "of the "
       "file?",
       BUTTON_YES | BUTTON_NO, BUTTON_YES, ""},
      {31, "Contacts", "Put", "Process PUT Error",
       "An error was experienced when making changes to the Contacts file.  Error: Record Not "
       "Found (35)",
       BUTTON_OK, BUTTON_OK, ""},
      {31, "Contacts", "Delete", "Process DELETE Error",
       "An error was experienced when deleting a record from the Contacts file.  Error: Record Not "
       "Found (35)",
       BUTTON_OK, BUTTON_OK, ""},
      {33, "", "", "Update Cancelled", "Do you want to save the changes to this record?",
       BUTTON_YES | BUTTON_NO | BUTTON_CANCEL, BUTTON_NO, ""},
      {34, "Schedule", "Update", "Transaction Framing Error",
       "Error: (Record Not Found (35)) attempting to frame the update transaction on Schedule.  "
       "Update "
       "transaction cancelled.",
       BUTTON_OK, BUTTON_OK, ""},
  };
  for (const Case& c : cases) {
    reporter_.shown.clear();
    halts_.clear();
    storage::SetError(storage::kRecordNotFound, "VX97\\!ToDo");
    ShowNumberedWarning(c.number, c.text1, c.text2);
    ASSERT_EQ(reporter_.shown.size(), 1u) << c.number;
    const MessageBoxRequest& box = reporter_.shown[0];
    EXPECT_EQ(box.caption, c.caption) << c.number;
    EXPECT_EQ(box.text, WithFile(c.text)) << c.number;
    EXPECT_EQ(box.buttons, c.buttons) << c.number;
    EXPECT_EQ(box.default_button, c.default_button) << c.number;
    EXPECT_EQ(halts_, *c.halt ? std::vector<std::string>{c.halt} : std::vector<std::string>{})
        << c.number;
  }
}

TEST_F(NumberedWarnings, AnUpdateRefusedWithError89SaysAnotherStationChangedIt) {
  SetPendingError("Record Changed By Another Station", 89);
  ShowNumberedWarning(15, "Locked record");
  storage::SetError(storage::kAccessDenied, "VX97\\!ToDo");
  ShowNumberedWarning(15, "Locked record");
  ASSERT_EQ(reporter_.shown.size(), 2u);
  EXPECT_EQ(reporter_.shown[0].text, "This record was changed by another station.");
  EXPECT_EQ(reporter_.shown[1].text,
            WithFile("An error (Access Denied (5)) was experienced when attempting to update a "
                     "record from the "
                     "file.  Probable Cause: Locked record.  File: {file}"));
}

TEST_F(NumberedWarnings, RecordErrorsNameTheFileAfterTheirText) {
  struct Case {
    int number;
    const char* text1;
    const char* text;
  };
  const Case cases[] = {
      // The file of the error, when the caller names none: the file on disk, not the table's
      // stored name.
      {14, "",
       "An error was experienced during the update of record.  Error: Access Denied (5).  File: "
       "{file}"},
      {7, "",
       "Unable to read keyed record.  Error: Access Denied (5).  Insert Aborted  File: {file}"},
      {36, "",
       "Error: (Access Denied (5)) attempting to open the current VIEW. Filter and Range Limits "
       "ignored."
       "  File: {file}"},
      // The caller's name wins: the event log passes its path.
      {14, "/data/VX98Evnt.LOG",
       "An error was experienced during the update of record.  Error: Access Denied (5).  File: "
       "/data/VX98Evnt.LOG"},
      // Warning 15's text is the probable cause; the file still comes from the error.
      {15, "Disk full",
       "An error (Access Denied (5)) was experienced when attempting to update a record from the "
       "file.  "
       "Probable Cause: Disk full.  File: {file}"},
      // A warning that names its file already is left as it is.
      {30, "Todo", "File (Todo) could not be opened.  Error: Access Denied (5)."},
  };
  for (const Case& c : cases) {
    reporter_.shown.clear();
    storage::SetError(storage::kAccessDenied, "VX97\\!s");
    ShowNumberedWarning(c.number, c.text1);
    ASSERT_EQ(reporter_.shown.size(), 1u) << c.number;
    EXPECT_EQ(reporter_.shown[0].text, WithFile(c.text)) << c.number;
  }
  // A pending error concerns no known file: nothing is added.
  reporter_.shown.clear();
  SetPendingError("Custom failure", 77);
  ShowPlainWarning(14);
  ASSERT_EQ(reporter_.shown.size(), 1u);
  EXPECT_EQ(reporter_.shown[0].text,
            "An error was experienced during the update of record.  Error: Custom failure (77).");
}

TEST_F(NumberedWarnings, APendingErrorIsShownOnceThenTheFileErrorAgain) {
  storage::SetError(storage::kRecordNotFound, "Todo");
  SetPendingError("Custom failure   ", 77);
  EXPECT_EQ(WarningErrorText(), "Custom failure (77)");
  EXPECT_EQ(WarningErrorText(), "Record Not Found (35)");
}

TEST_F(NumberedWarnings, TheDriverErrorStandsForCode90) {
  storage::SetError(storage::kDriverError, "VX97.TPS", 11, "database disk image is malformed");
  EXPECT_EQ(WarningErrorText(), "database disk image is malformed (11)");
}

TEST_F(NumberedWarnings, InvalidKeyEndsOnlyWhenTheUserSaysNo) {
  reporter_.answers = {BUTTON_YES, BUTTON_NO};
  EXPECT_EQ(ShowNamedWarning(2, "Todo"), BUTTON_YES);
  EXPECT_TRUE(halts_.empty());
  EXPECT_EQ(ShowNamedWarning(2, "Todo"), BUTTON_NO);
  EXPECT_EQ(halts_, std::vector<std::string>{"Invalid Key!"});
}

}  // namespace
}  // namespace vx
