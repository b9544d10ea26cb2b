#include "runtime/report/print_pages.h"

#include <memory>

#include "runtime/window/dialogs.h"

namespace vx::report {
namespace {

void TellFailure(std::string_view what, const std::string& why) {
  MESSAGE(std::string(what) + (why.empty() ? "" : "\n\n" + why), "Print", MessageIcon::Exclamation);
}

}  // namespace

bool WritePdfFile(const PageImageQueue& pages, const std::string& file) {
  if (pages.empty()) return false;
  auto shared = std::make_shared<PageImageQueue>(pages);
  shared->copies = 1;
  std::string why;
  const auto answer = static_cast<PrintAnswer>(PRINTREQUEST(shared, file, &why));
  if (answer == PrintAnswer::Failed) TellFailure("The PDF file could not be written.", why);
  return answer == PrintAnswer::Printed;
}

bool PrintPages(const PageImageQueue& pages) {
  if (pages.empty()) return false;
  std::string why;
  const auto answer =
      static_cast<PrintAnswer>(PRINTREQUEST(std::make_shared<PageImageQueue>(pages), {}, &why));
  switch (answer) {
    case PrintAnswer::Printed:
      return true;
    case PrintAnswer::Cancelled:
      return false;
    case PrintAnswer::Failed:
      TellFailure("The report could not be printed.", why);
      return false;
    case PrintAnswer::NoPrinter:
      break;
  }
  if (MESSAGE(kNoPrinterText, kNoPrinterTitle, MessageIcon::Exclamation, BUTTON_YES | BUTTON_NO,
              BUTTON_YES) != BUTTON_YES)
    return false;
  std::string file = (pages.title.empty() ? std::string("Report") : pages.title) + ".pdf";
  if (!FILEDIALOG("Save the Report as PDF", file, "PDF Files|*.pdf|All Files|*.*", FILE_Save))
    return false;
  return WritePdfFile(pages, file);
}

}  // namespace vx::report
