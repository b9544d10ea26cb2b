// A part of a rich document as a document of its own: what a copy of a selection puts on the
// clipboard, so that a paste elsewhere keeps its character formats and, for every paragraph
// break it holds, the settings of the paragraph that break ended.
#pragma once

#include "runtime/window/rich_document.h"

namespace vx {

// The characters from `start` to `end` (clamped into the document, either order) with their
// formats, in the paragraphs they stand in: the first paragraph of the part has the settings of
// the one `start` lies in, the last those of the one `end` lies in.
RichDocument RichDocumentRange(const RichDocument& doc, long start, long end);

}  // namespace vx
