// A rich document laid out on printed pages for the page engine (runtime/report/page_image.h):
// paragraphs wrapped at blanks within the margins, each run in its font, aligned, indented,
// tabs at their stops (every half inch past the last), bullets hanging before the text.
// Letter paper within the given margins (an inch each unless set); a paragraph goes on to the
// next page where it must.
#pragma once

#include <vector>

#include "runtime/report/page_image.h"
#include "runtime/window/rich_document.h"

namespace vx {

// Page margins in thousandths of an inch.
struct RichPageMargins {
  long left = 1000, top = 1000, right = 1000, bottom = 1000;
  bool operator==(const RichPageMargins&) const = default;
};

std::vector<report::PageImage> RichDocumentPages(const RichDocument& doc,
                                                 const RichPageMargins& margins = {});

}  // namespace vx
