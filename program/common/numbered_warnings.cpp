#include "program/common/numbered_warnings.h"

#include <optional>

#include "program/windows/program_errors.h"
#include "runtime/fixed_string.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/stored_name.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

struct Slot {
  std::string text;
  long code = 0;
  std::string file;  // the file the error concerned; empty when not known
};

// The pending errors belong to the thread that set them, as the last file error does.
thread_local std::optional<Slot> tPending;
thread_local std::optional<Slot> tPendingDriver;

struct Warning {
  int number;
  const char* caption;
  // {name} = text1, {value} = text2, {op} = text2 in lower case, {error} = the error text.
  const char* text;
  unsigned buttons;
  unsigned default_button;
  const char* halt;  // the program ends with this text after the message; nullptr: it goes on
};

constexpr unsigned kOk = BUTTON_OK;
constexpr unsigned kYesNo = BUTTON_YES | BUTTON_NO;
constexpr unsigned kYesNoCancel = BUTTON_YES | BUTTON_NO | BUTTON_CANCEL;
constexpr unsigned kOkCancel = BUTTON_OK | BUTTON_CANCEL;
constexpr unsigned kRetryCancel = BUTTON_RETRY | BUTTON_CANCEL;

const char* const kNotAllowed =
    "This procedure was called to {what}, however {plural} are not allowed for this procedure.  "
    "Press OK to return to the calling procedure";

const Warning kWarnings[] = {
    {1, "Invalid File", "Error: ({error}) accessing {name}.  Press OK to end this application.",
     kOk, kOk, "Invalid File!"},
    {2, "Invalid Key", "{name} key file is invalid.  Do you want to rebuild the key?", kYesNo,
     BUTTON_YES, nullptr},
    {3, "Key Rebuild Error",
     "Error: ({error}) repairing key for {name}.  Press OK to end this application.", kOk, kOk,
     "Error Rebuilding Key!"},
    {4, "File Creation Error",
     "Error: ({error}) creating {name}.  Press OK to end this application.", kOk, kOk,
     "File Creation Error!"},
    {5, "File Creation Error",
     "Error: ({error}) opening created file:{name}.  Press OK to end this application.", kOk, kOk,
     "File Creation Error!"},
    {6, "Procedure not defined", "The Procedure {name} has not been defined.", kOk, kOk, nullptr},
    {7, "", "Unable to read keyed record.  Error: {error}.  Insert Aborted", kOk, kOk, nullptr},
    {8, "Range Error", "The value of {name} must be lower than {value}.", kOk, kOk, nullptr},
    {9, "Range Error", "The value of {name} must be higher than {value}.", kOk, kOk, nullptr},
    {10, "Range Error", "The value of {name} must be between {value}.", kOk, kOk, nullptr},
    {11, "Field Contents Error", "The value for {name} must be found in the {value} file.", kOk,
     kOk, nullptr},
    {12, "Referential Integrity Update Error",
     "This record is referenced from the file {name}.  Linking field(s) have been restricted from "
     "change "
     "and have been reset to original values.",
     kOk, kOk, nullptr},
    {13, "Referential Integrity Delete Error",
     "This record is referenced from the file {name}.  This record cannot be deleted while these "
     "references exist.",
     kOk, kOk, nullptr},
    {14, "Record Insert Error",
     "An error was experienced during the update of record.  Error: {error}.", kOk, kOk, nullptr},
    {15, "Update Operation Error",
     "An error ({error}) was experienced when attempting to update a record from the file.  "
     "Probable "
     "Cause: {name}.",
     kOk, kOk, nullptr},
    {16, "Record Update Error",
     "An error was experienced changing this record.  Do you want to try to save again?",
     kYesNoCancel, BUTTON_CANCEL, nullptr},
    {17, "Delete Operation Error",
     "An error ({error}) was experienced when attempting to delete a record from the file {name}.",
     kOk, kOk, nullptr},
    {18, "Record Update Error",
     "An error was experienced deleting this record.  Do you want to try to save again?",
     kYesNoCancel, BUTTON_CANCEL, nullptr},
    {19, "Invalid Request", nullptr, kOk, kOk, nullptr},
    {20, "Invalid Request", nullptr, kOk, kOk, nullptr},
    {21, "Invalid Request", nullptr, kOk, kOk, nullptr},
    {22, "File Creation Not Allowed",
     "The File {name} was not found, and creation of the file is not allowed.  Press OK to end "
     "this "
     "application.",
     kOk, kOk, "File Creation Error!"},
    {23, "Update Cancelled", "Are you sure you want to cancel?", kYesNo, BUTTON_NO, nullptr},
    {24, "Duplicate Key Error", "Adding this record creates a duplicate entry for the key:{name}",
     kOk, kOk, nullptr},
    {25, "Auto Increment Error",
     "Attempts to automatically number this record have failed.  Error: {error}.", kRetryCancel,
     BUTTON_CANCEL, nullptr},
    {26, "File Load Error", "{name} File Load Error.  Error: {error}.", kOk, kOk, nullptr},
    {27, "Cancel Request", "Are you certain you want to stop loading {name}?", kOkCancel,
     BUTTON_CANCEL, nullptr},
    {28, "File Load Error", "{name} File Load Error.  The file you've requested contains no text.",
     kOk, kOk, nullptr},
    {29, nullptr, nullptr, kYesNo, BUTTON_YES, nullptr},
    {30, "File Access Error", "File ({name}) could not be opened.  Error: {error}.", kOk, kOk,
     nullptr},
    {31, nullptr, nullptr, kOk, kOk, nullptr},
    {32, "Confirm Delete",
     "You've selected to delete the highlighted record.  Press OK to confirm deletion of this "
     "record.",
     kOkCancel, BUTTON_CANCEL, nullptr},
    {33, "Update Cancelled", "Do you want to save the changes to this record?", kYesNoCancel,
     BUTTON_NO, nullptr},
    {34, "Transaction Framing Error",
     "Error: ({error}) attempting to frame the {op} transaction on {name}.  {value} transaction "
     "cancelled.",
     kOk, kOk, nullptr},
    {35, "Record Retrieval Error",
     "Error: ({error}) attempting to access a record from the {name} file.  Returning to previous "
     "window.",
     kOk, kOk, nullptr},
    {36, "View Open Error",
     "Error: ({error}) attempting to open the current VIEW. Filter and Range Limits ignored.", kOk,
     kOk, nullptr},
    {37, "Record Added",
     "This record has been added to the file. Do you want to add another record?", kYesNo,
     BUTTON_YES, nullptr},
    {38, "Record Was Not Updated",
     "This record was changed by another station. Those changes will now be displayed. Use the "
     "Ditto Button "
     "or Ctrl+' to recall your changes.",
     kOk, kOk, nullptr},
};

Slot TakeError() {
  if (tPending) {
    Slot s = *tPending;
    tPending.reset();
    return s;
  }
  if (ERRORCODE() == storage::kDriverError) {
    if (tPendingDriver) {
      Slot s = *tPendingDriver;
      tPendingDriver.reset();
      return s;
    }
    return {FILEERROR(), FILEERRORCODE(), ERRORFILE()};
  }
  return {ERROR(), ERRORCODE(), ERRORFILE()};
}

std::string Describe(const Slot& s) { return CLIP(s.text) + " (" + std::to_string(s.code) + ")"; }

// Fills the template; values are put in as they are and never read as placeholders again.
std::string Fill(std::string_view text, std::string_view name, std::string_view value,
                 const std::string& error) {
  const std::pair<std::string_view, std::string> parts[] = {
      {"{name}", std::string(ClipView(name))},
      {"{value}", std::string(ClipView(value))},
      {"{op}", LOWER(ClipView(value))},
      {"{error}", error},
  };
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    bool replaced = false;
    for (const auto& [token, part] : parts) {
      if (text.substr(i, token.size()) == token) {
        out += part;
        i += token.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

// Warnings about a record or file error whose own text does not name the file: the file is
// added after the text so that the user (and a support mail) knows which one failed.
bool AddsTheFile(int number) {
  switch (number) {
    case 7:
    case 14:
    case 15:
    case 16:
    case 18:
    case 25:
    case 36:
      return true;
    default:
      return false;
  }
}

}  // namespace

void SetPendingError(std::string_view text, long code) { tPending = Slot{std::string(text), code}; }

void SetPendingDriverError(std::string_view text, long code) {
  tPendingDriver = Slot{std::string(text), code};
}

std::string WarningErrorText() { return Describe(TakeError()); }

unsigned ShowNumberedWarning(int number, std::string_view text1, std::string_view text2) {
  const Warning* w = nullptr;
  for (const Warning& candidate : kWarnings) {
    if (candidate.number == number) w = &candidate;
  }
  if (!w) return 0;
  const Slot error = TakeError();
  const std::string error_text = Describe(error);
  const bool down = ClipView(text2) == "Down";
  const bool put = ClipView(text2) == "Put";

  std::string caption = w->caption ? w->caption : "";
  std::string text;
  if (number >= 19 && number <= 21) {
    static const char* const what[] = {"insert a record", "change a record", "delete a record"};
    static const char* const plural[] = {"inserts", "changes", "deletions"};
    text = kNotAllowed;
    const std::size_t at_what = text.find("{what}");
    text.replace(at_what, 6, what[number - 19]);
    const std::size_t at_plural = text.find("{plural}");
    text.replace(at_plural, 8, plural[number - 19]);
  } else if (number == 29) {
    caption = down ? "End of File Error" : "Beginning of File Error";
    text = down ? "The end of the viewed file was encountered.  Do you want to start again from "
                  "the beginning?"
                : "The beginning of the viewed file was encountered.  Do you want to start again "
                  "from the end of "
                  "the file?";
  } else if (number == 31) {
    caption = put ? "Process PUT Error" : "Process DELETE Error";
    text = Fill(
        put ? "An error was experienced when making changes to the {name} file.  Error: {error}"
            : "An error was experienced when deleting a record from the {name} file.  Error: "
              "{error}",
        text1, text2, error_text);
  } else if (number == 15 && error.code == 89) {
    text = "This record was changed by another station.";
  } else {
    text = Fill(w->text, text1, text2, error_text);
  }

  if (AddsTheFile(number)) {
    // Warning 15 uses its first text as the probable cause; the others take it as the file.
    const std::string_view named = number == 15 ? std::string_view{} : ClipView(text1);
    // The error's file as the user finds it on disk, not the table's stored name.
    const std::string file = named.empty() ? storage::FileOnDisk(error.file) : std::string(named);
    if (!file.empty()) text += "  File: " + file;
  }

  const bool question = (w->buttons & ~BUTTON_OK) != 0;
  ErrorClass& errors = ProgramErrors();
  const unsigned answer =
      errors.Show({caption, text, question ? MessageIcon::Question : MessageIcon::Exclamation,
                   w->buttons, w->default_button});
  if (w->halt) {
    errors.Halt(1, w->halt);
  } else if (number == 2 && answer != BUTTON_YES) {
    errors.Halt(1, "Invalid Key!");
  }
  return answer;
}

unsigned ShowNamedWarning(int number, std::string_view text) {
  return ShowNumberedWarning(number, text);
}

unsigned ShowPlainWarning(int number) { return ShowNumberedWarning(number); }

}  // namespace vx
