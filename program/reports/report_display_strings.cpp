#include "program/reports/report_display_strings.h"

#include <algorithm>
#include <initializer_list>

#include "runtime/ini_file.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

constexpr std::string_view kSection = "DISPLAY STRINGS 2.0";
constexpr std::size_t kShort = 63;  // the texts' C strings hold 64 bytes with the terminator

// A text cut to `most` bytes without splitting a character.
std::string Cut(std::string text, std::size_t most) {
  if (text.size() <= most) return text;
  std::size_t end = most;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

}  // namespace

ReportDisplayStrings LoadReportDisplayStrings(std::string_view question, std::string_view title,
                                              std::string_view user_text,
                                              std::string_view ini_file) {
  const std::string name = CLIP(ini_file);
  const IniFile ini(name.empty() ? std::string_view("WIN.INI") : std::string_view(name));
  ReportDisplayStrings s;
  struct Entry {
    std::string ReportDisplayStrings::*field;
    std::string_view key;
    std::string_view fallback;
    std::size_t most = kShort;
  };
  using S = ReportDisplayStrings;
  const std::initializer_list<Entry> entries = {
      {&S::ProgWinTitlePrvw, "ProgWinTitlePrvw", "Generating Report"},
      {&S::ProgWinTitlePrnt, "ProgWinTitlePrnt", "Printing Report"},
      {&S::ProgWinPctText, "ProgWinPctText", "% Completed"},
      {&S::ProgWinRecText, "ProgWinRecText", "Records Read"},
      {&S::ProgWinUsrText, "ProgWinUsrText", user_text},
      {&S::PrinterDlgTitle, "PrinterDlgTitle", "Report Destination"},
      {&S::AskPrvwDialogTitle, "AskPrvwDialogTitle", title},
      {&S::AskPrvwDialogText, "AskPrvwDialogText", question},
      {&S::CancelAreYouSureTitle, "CancelAreYouSureTitle", "Question"},
      {&S::CancelAreYouSureText, "CancelAreYouSureText",
       "Are you sure you want to CANCEL this Report?"},
      {&S::CancelPrvwPartialTitle, "CancelPrvwPartialTitle", "Question"},
      {&S::CancelPrvwPartialText, "CancelPrvwPartialText",
       "Report Cancellation Requested!||Preview Report generated so far?", 127},
      {&S::NoDfltPrtrTitle, "NoDfltPrtrTitle", "WARNING!"},
      {&S::NoDfltPrtrText, "NoDfltPrtrText",
       "Warning:  No DEFAULT Printer Driver Found!||Printing may not occur correctly (or at "
       "all)|without a Default printer assigned.||Use CONTROL PANEL (PRINTERS) to set a|printer "
       "as your Default.||Continue with report anyway?",
       254},
      {&S::NothingToPrvwTitle, "NothingToPrvwTitle", "NOTE..."},
      {&S::NothingToPrvwText, "NothingToPrvwText", "Nothing to Preview."},
      {&S::NothingToPrntTitle, "NothingToPrntTitle", "NOTE..."},
      {&S::NothingToPrntText, "NothingToPrntText", "Nothing to Print."},
      {&S::AsciiOutTitle, "AsciiOutTitle", "Save to what Filename?"},
      {&S::AsciiOutMasks, "AsciiOutMasks", "Text|*.TXT|All Files|*.*"},
      {&S::DynLblErrTitle, "DynLblErrTitle", "Problem!"},
      {&S::DynLblErrText1, "DynLblErrText1", "Sorry!||"},
      {&S::DynLblErrText2, "DynLblErrText2", "||Does not support paper type:"},
  };
  for (const Entry& e : entries) s.*e.field = Cut(ini.Get(kSection, e.key, e.fallback), e.most);
  return s;
}

ReportDisplayStrings LoadReportDisplayStrings() {
  return LoadReportDisplayStrings("Do you wish to PREVIEW this Report?", "Preview", "",
                                  kReportIniFile);
}

std::string ReportBoxText(std::string_view text) {
  std::string out(text);
  std::replace(out.begin(), out.end(), '|', '\n');
  return out;
}

}  // namespace vx
