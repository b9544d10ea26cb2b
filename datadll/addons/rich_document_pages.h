// A rich document laid out on printed pages for the page engine (runtime/report/page_image.h):
// paragraphs wrapped at blanks within the margins, each run in its font, aligned, indented,
// tabs at their stops (every half inch past the last), bullets hanging before the text.
// Letter paper with one-inch margins; a paragraph goes on to the next page where it must.
#pragma once

#include <vector>

#include "runtime/report/page_image.h"
#include "runtime/window/rich_document.h"

namespace vx {

std::vector<report::PageImage> RichDocumentPages(const RichDocument& doc);

}  // namespace vx
