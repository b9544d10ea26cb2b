// The texts of a report run's dialogs, read from the section "DISPLAY STRINGS 2.0" of the
// reports' INI file ("CPCSRPTS.INI" in the per-user settings folder), so a user can word them
// differently. A missing file or key gives the built-in text; every run reads the file again,
// so an edit takes effect with the next report. A vertical bar in a text is a line break.
//
// Some keys (the record count text, the printer dialog's title, the no-printer warning, the
// nothing-to-preview note, the text-file output and the label errors) belong to the section's
// layout though no report shows them; they are read with the rest, so a file written for one
// report reads the same for all.
#pragma once

#include <string>
#include <string_view>

namespace vx {

struct ReportDisplayStrings {
  std::string ProgWinTitlePrvw, ProgWinTitlePrnt, ProgWinPctText, ProgWinRecText, ProgWinUsrText;
  std::string PrinterDlgTitle, AskPrvwDialogTitle, AskPrvwDialogText;
  std::string CancelAreYouSureTitle, CancelAreYouSureText;
  std::string CancelPrvwPartialTitle, CancelPrvwPartialText;
  std::string NoDfltPrtrTitle, NoDfltPrtrText, NothingToPrvwTitle, NothingToPrvwText;
  std::string NothingToPrntTitle, NothingToPrntText, AsciiOutTitle, AsciiOutMasks;
  std::string DynLblErrTitle, DynLblErrText1, DynLblErrText2;
};

inline constexpr std::string_view kReportIniFile = "CPCSRPTS.INI";

// The texts from `ini_file` ("WIN.INI" when empty); `question`, `title` and `user_text` are the
// defaults of the preview question and of the progress window's user line. Each text is cut to
// its length (63 bytes, the partial-preview text 127, the no-printer text 254).
ReportDisplayStrings LoadReportDisplayStrings(std::string_view question, std::string_view title,
                                              std::string_view user_text,
                                              std::string_view ini_file);

// The texts every report of the program runs with.
ReportDisplayStrings LoadReportDisplayStrings();

// A text with its vertical bars as line breaks, as a message box shows it.
std::string ReportBoxText(std::string_view text);

}  // namespace vx
