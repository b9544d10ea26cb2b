#include "runtime/window/rich_document_range.h"

#include <algorithm>
#include <utility>

namespace vx {

RichDocument RichDocumentRange(const RichDocument& doc, long start, long end) {
  if (start > end) std::swap(start, end);
  RichDocument part = doc;
  const long length = part.Length();
  start = std::clamp(start, 0L, length);
  end = std::clamp(end, 0L, length);
  // The tail goes first: a removed break joins what follows to the paragraph `end` lies in,
  // which keeps its settings.
  part.Replace(end, length, "");
  // The paragraphs before the one `start` lies in go whole, so that the part's first paragraph
  // keeps that one's settings rather than the document's first paragraph's.
  const int first = part.ParagraphIndexAt(start);
  const long first_start = part.ParagraphStart(first);
  auto& paragraphs = part.Paragraphs();
  paragraphs.erase(paragraphs.begin(), paragraphs.begin() + first);
  part.Replace(0, start - first_start, "");
  part.Normalise();
  return part;
}

}  // namespace vx
