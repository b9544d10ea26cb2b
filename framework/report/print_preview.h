// The page-image previewer: a report's pages shown one at a time, with the answer whether the
// user wants them printed.
//
// PRINTPREVIEW opens "Print Preview" on the calling thread over the queue's pages: a row of
// First, Previous, "Page N of M", Next, Last, the zoom (the whole page, or a percent of the
// paper's size), Print and Close, and below it the page, which the front end draws from its
// display list (a PageImage control). It answers 1 exactly when the user pressed Print; Close,
// Esc and the close box answer 0, and so does an empty queue, which opens no window. The
// caller prints the pages (report::PrintPages) when it answers 1. The window keeps its place
// in ".\POSITION.INI" under "PrintPreview".
//
// HANDLECOPIES sets the copies the queue prints as; SUPPORTED answers whether the printer
// takes a copy count itself: always, since the print request hands copies and collation to the
// print system with the pages (PROPPRINT_Copies).
#pragma once

#include <cstdint>

#include "runtime/report/page_image.h"

namespace vx {

inline constexpr long PROPPRINT_Copies = 0x7A01;

// `zoom`: 0 the whole page fits the window, else a percent of the paper's real size.
std::uint8_t PRINTPREVIEW(const report::PageImageQueue& queue, short zoom = 0);
void HANDLECOPIES(report::PageImageQueue& queue, long copies);
long SUPPORTED(long property);

}  // namespace vx
