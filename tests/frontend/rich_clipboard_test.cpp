// What a paste into the rich-text editor receives from the desktop's clipboard: RTF another
// program put there when our reader takes it, else the HTML beside it as RTF, else nothing.
#include "frontend/qt/rich_clipboard.h"

#include <gtest/gtest.h>

#include <QMimeData>
#include <optional>

#include "runtime/window/rich_text_rtf.h"
#include "tests/frontend/qt_test_support.h"

namespace vx {
namespace {

TEST(RichClipboard, RtfOrHtmlOnTheClipboardArrivesAsRtfWithItsFormats) {
  test::OffscreenApplication app;
  const std::string rtf =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 plain \\b bold\\b0\\par}";

  QMimeData as_rtf;
  as_rtf.setData("text/rtf", QByteArray::fromStdString(rtf));
  as_rtf.setHtml("<i>ignored</i>");
  EXPECT_EQ(qt::ClipboardRtf(&as_rtf), rtf) << "RTF as given, before the HTML";

  QMimeData as_html;
  as_html.setHtml(
      "<p align=\"center\"><b>Bold</b> and <span style=\"color:#ff0000\">red</span></p>"
      "<p>second</p>");
  as_html.setText("Bold and red\nsecond");
  const std::optional<RichDocument> doc = ReadRtf(qt::ClipboardRtf(&as_html));
  ASSERT_TRUE(doc.has_value());
  EXPECT_EQ(doc->PlainText(), "Bold and red\nsecond");
  EXPECT_TRUE(doc->FormatAt(0).bold);
  EXPECT_FALSE(doc->FormatAt(5).bold);
  EXPECT_EQ(doc->FormatAt(9).color, 0x0000FF) << "colours are 0xBBGGRR";
  EXPECT_EQ(doc->Paragraphs()[0].alignment, RichAlign::Center);
  EXPECT_EQ(doc->Paragraphs()[1].alignment, RichAlign::Left);

  // RTF our reader does not take falls back to the HTML; plain text alone gives nothing.
  QMimeData bad_rtf;
  bad_rtf.setData("application/rtf", "not rtf");
  bad_rtf.setHtml("<b>x</b>");
  const std::optional<RichDocument> fallback = ReadRtf(qt::ClipboardRtf(&bad_rtf));
  ASSERT_TRUE(fallback.has_value());
  EXPECT_TRUE(fallback->FormatAt(0).bold);
  QMimeData plain;
  plain.setText("just text");
  EXPECT_EQ(qt::ClipboardRtf(&plain), "");
  EXPECT_EQ(qt::ClipboardRtf(nullptr), "");
}

}  // namespace
}  // namespace vx
