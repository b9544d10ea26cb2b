// A part of a rich document: its text and formats, and the paragraph settings each end of it
// comes from.
#include "runtime/window/rich_document_range.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(RichDocumentRange, APartKeepsItsFormatsAndTheSettingsOfItsParagraphs) {
  RichDocument doc = RichDocument::FromText("first\nsecond one\nthird");
  doc.Paragraphs()[0].alignment = RichAlign::Right;
  doc.Paragraphs()[1].alignment = RichAlign::Center;
  doc.Paragraphs()[1].tabs = {720};
  doc.Paragraphs()[2].bullet = true;
  doc.ApplyCharFormat(7, 10, [](RichCharFormat& f) { f.italic = true; });  // "eco"
  const struct {
    long start, end;
    const char* text;
    RichAlign first;  // the first paragraph's alignment
    bool last_bullet;
  } cases[] = {
      {6, 12, "second", RichAlign::Center, false},  // inside one paragraph
      {12, 6, "second", RichAlign::Center, false},  // either order
      {8, 19, "cond one\nth", RichAlign::Center, true},
      {3, 8, "st\nse", RichAlign::Right, false},                      // from the first paragraph
      {-5, 100, "first\nsecond one\nthird", RichAlign::Right, true},  // clamped
      {9, 9, "", RichAlign::Center, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const RichDocument part = RichDocumentRange(doc, c.start, c.end);
    EXPECT_EQ(part.PlainText(), c.text);
    EXPECT_EQ(part.Paragraphs().front().alignment, c.first);
    EXPECT_EQ(part.Paragraphs().back().bullet, c.last_bullet);
  }
  const RichDocument part = RichDocumentRange(doc, 8, 19);
  EXPECT_TRUE(part.FormatAt(0).italic) << "the \"co\" of \"second\"";
  EXPECT_FALSE(part.FormatAt(2).italic);
  EXPECT_EQ(part.Paragraphs().front().tabs, std::vector<int>{720});
}

}  // namespace
}  // namespace vx
