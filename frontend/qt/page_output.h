// A print request's pages on paper (QPrinter, after the print dialog) or in a PDF file
// (QPdfWriter). Copies and collation are laid out here, sheet by sheet
// (report::SheetOrder), so every printer gets them alike whatever its driver supports.
#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <utility>

#include "runtime/report/page_image.h"
#include "runtime/report/print_pages.h"

namespace vx::qt {

using PrintOutcome = std::pair<report::PrintAnswer, std::string>;  // the answer and why

PrintOutcome WritePdf(const report::PageImageQueue& pages, const QString& file);
// The print dialog over the default printer with the queue's copies and collation (which the
// user may change); no printer answers NoPrinter, a printer that cannot start Failed.
PrintOutcome PrintOnPaper(const report::PageImageQueue& pages, QWidget* parent);

}  // namespace vx::qt
