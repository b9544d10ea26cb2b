// Printing a report's pages: on paper through the desktop's print system, or as a PDF file.
//
// The pages go to the front end as a print request (Request::Kind::Print), which the Qt front
// end answers with its print dialog and printer (or a PDF writer) and the test driver by
// keeping the pages. Nothing counts as printed that was not: with no printer the user is told
// so and offered a PDF file instead, and a print that cannot start is reported; either way the
// answer is false unless the pages went out.
#pragma once

#include <string>

#include "runtime/report/page_image.h"

namespace vx::report {

// The front end's answer to a print request.
enum class PrintAnswer : long {
  Cancelled = 0,  // the user cancelled the print dialog (or there is no front end)
  Printed = 1,
  NoPrinter = 2,  // the desktop has no printer to print on
  Failed = 3,     // the printer or the file could not be written; the answer's text says why
};

// Texts of the no-printer question.
inline constexpr std::string_view kNoPrinterTitle = "WARNING!";
inline constexpr std::string_view kNoPrinterText =
    "Warning:  No DEFAULT Printer Driver Found!\n\nSave the report as a PDF file instead?";

// Sends the pages (as many copies, collated or not, as the queue says; the print dialog may
// change both) to the printer. Answers whether they were printed, or written as the PDF file
// the user chose instead when there is no printer. An empty queue prints nothing and answers
// false.
bool PrintPages(const PageImageQueue& pages);
// Writes the pages as a PDF file (one copy); a failure is reported. Answers whether it was.
bool WritePdfFile(const PageImageQueue& pages, const std::string& file);

}  // namespace vx::report
