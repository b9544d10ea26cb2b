// The rich document and its RTF: what the writer gives, the reader takes back unchanged, and
// the reader takes the usual RTF of other programs.
#include "runtime/window/rich_text_rtf.h"

#include <gtest/gtest.h>

#include <functional>

namespace vx {
namespace {

RichDocument Doc(std::string_view text, const std::function<void(RichDocument&)>& shape = {}) {
  RichDocument doc = RichDocument::FromText(text);
  if (shape) shape(doc);
  doc.Normalise();
  return doc;
}

struct RoundTrip {
  const char* name;
  RichDocument doc;
};

TEST(RichTextRtf, EveryFormatComesBackAsItWasWritten) {
  auto chars = [](long from, long to, std::function<void(RichCharFormat&)> f) {
    return [=](RichDocument& d) { d.ApplyCharFormat(from, to, f); };
  };
  auto para = [](std::function<void(RichParagraph&)> f) {
    return [=](RichDocument& d) { d.ApplyParagraph(0, d.Length(), f); };
  };
  std::vector<int> thirty_two;
  for (int i = 1; i <= 32; ++i) thirty_two.push_back(i * 300);
  const RoundTrip cases[] = {
      {"plain", Doc("Hello world")},
      {"bold", Doc("Hello world", chars(0, 5, [](auto& f) { f.bold = true; }))},
      {"italic", Doc("Hello world", chars(6, 11, [](auto& f) { f.italic = true; }))},
      {"underline", Doc("Hello world", chars(2, 8, [](auto& f) { f.underline = true; }))},
      {"strikeout", Doc("Hello world", chars(0, 11, [](auto& f) { f.strikeout = true; }))},
      {"every style at once",
       Doc("Hello",
           chars(0, 5, [](auto& f) { f.bold = f.italic = f.underline = f.strikeout = true; }))},
      {"font", Doc("Hello world", chars(0, 5, [](auto& f) { f.font = "Courier New"; }))},
      {"two fonts and back", Doc("a b c",
                                 [](RichDocument& d) {
                                   d.ApplyCharFormat(0, 1,
                                                     [](auto& f) { f.font = "Times New Roman"; });
                                   d.ApplyCharFormat(2, 3, [](auto& f) { f.font = "Courier New"; });
                                 })},
      {"a font named beyond ASCII",
       Doc("Hello", chars(0, 5, [](auto& f) { f.font = "Soci\u00e9t\u00e9 \u203a"; }))},
      {"size", Doc("Big small", chars(0, 3, [](auto& f) { f.size = 480; }))},
      {"colour", Doc("Red and blue",
                     [](RichDocument& d) {
                       d.ApplyCharFormat(0, 3, [](auto& f) { f.color = 0x0000FF; });
                       d.ApplyCharFormat(8, 12, [](auto& f) { f.color = 0xFF0000; });
                     })},
      {"centred", Doc("Title", para([](auto& p) { p.alignment = RichAlign::Center; }))},
      {"right", Doc("Signed", para([](auto& p) { p.alignment = RichAlign::Right; }))},
      {"indents", Doc("Quoted text", para([](auto& p) {
                        p.start_indent = 720;
                        p.right_indent = 360;
                      }))},
      {"hanging offset", Doc("Item", para([](auto& p) {
                               p.start_indent = 100;
                               p.offset = 300;
                             }))},
      {"negative offset", Doc("Item", para([](auto& p) {
                                p.start_indent = 600;
                                p.offset = -300;
                              }))},
      {"tab stops", Doc("a\tb\tc", para([](auto& p) {
                          p.tabs = {750, 1500, 4350};
                        }))},
      {"thirty-two tab stops", Doc("a\tb", para([&](auto& p) { p.tabs = thirty_two; }))},
      {"bullets", Doc("one\ntwo\nplain",
                      [](RichDocument& d) {
                        d.ApplyParagraph(0, 7, [](auto& p) {
                          p.bullet = true;
                          p.offset = 300;
                        });
                      })},
      {"superscript", Doc("E=mc2", chars(4, 5, [](auto& f) { f.offset = 40; }))},
      {"subscript", Doc("H2O", chars(1, 2, [](auto& f) { f.offset = -40; }))},
      {"RTF's own characters", Doc("a {b} c\\d \\par")},
      {"beyond ASCII", Doc("Grüße, € 5 — naïve 😀")},
      {"paragraphs, the middle one empty and bold",
       Doc("first\n\nthird", chars(6, 6, [](auto& f) { f.bold = true; }))},
      {"empty document", RichDocument{}},
      {"paragraphs of their own settings", Doc("left\ncentre\nright",
                                               [](RichDocument& d) {
                                                 d.Paragraphs()[1].alignment = RichAlign::Center;
                                                 d.Paragraphs()[2].alignment = RichAlign::Right;
                                                 d.Paragraphs()[2].tabs = {1440};
                                               })},
  };
  for (const RoundTrip& c : cases) {
    const std::string rtf = WriteRtf(c.doc);
    for (char ch : rtf)
      ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << c.name << ": the RTF is 7-bit\n" << rtf;
    const std::optional<RichDocument> back = ReadRtf(rtf);
    ASSERT_TRUE(back.has_value()) << c.name << "\n" << rtf;
    EXPECT_EQ(*back, c.doc) << c.name << "\n" << rtf;
    EXPECT_EQ(back->PlainText(), c.doc.PlainText()) << c.name;
  }
  // The empty middle paragraph kept its bold for what is typed into it.
  for (const RoundTrip& c : cases) {
    if (std::string_view(c.name).starts_with("paragraphs, the middle one empty")) {
      const auto back = ReadRtf(WriteRtf(c.doc));
      ASSERT_EQ(back->Paragraphs().size(), 3u);
      EXPECT_TRUE(back->Paragraphs()[1].runs.front().format.bold);
    }
  }
}

TEST(RichTextRtf, TheReaderTakesOtherProgramsRtf) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
      "{\\f1\\froman Times New Roman;}}\r\n"
      "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
      "{\\*\\generator Some Writer 5.1;}\\viewkind4\\uc1\\pard\\qc\\f0\\fs24 Caf\\'e9 "
      "{\\b\\cf1 bold}\\b0  \\u8364? and \\ul under\\ulnone\\par\r\n"
      "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
      "\\fi-360\\li720\\tx720 item\\par\r\n"
      "\\pard\\plain\\f1\\super 2\\nosupersub  \\{x\\}\\line next\\par\r\n}";
  const std::optional<RichDocument> doc = ReadRtf(rtf);
  ASSERT_TRUE(doc.has_value());
  EXPECT_EQ(doc->PlainText(), "Caf\u00e9 bold \u20ac and under\nitem\n2 {x}\nnext\n");
  const auto& p = doc->Paragraphs();
  EXPECT_EQ(p[0].alignment, RichAlign::Center);
  EXPECT_EQ(p[0].runs.front().format.size, 240);
  const RichCharFormat bold = doc->FormatAt(7);
  EXPECT_TRUE(bold.bold);
  EXPECT_EQ(bold.color, 0x0000FF);
  EXPECT_TRUE(doc->FormatAt(18).underline);
  EXPECT_TRUE(p[1].bullet);
  EXPECT_EQ(p[1].start_indent, 360);
  EXPECT_EQ(p[1].offset, 360);
  EXPECT_EQ(p[1].tabs, std::vector<int>{720});
  EXPECT_FALSE(p[2].bullet) << "\\pard ends the bullet";
  EXPECT_EQ(p[2].runs.front().format.font, "Times New Roman");
  EXPECT_GT(p[2].runs.front().format.offset, 0);
}

TEST(RichTextRtf, ControlCharactersAndLoneSurrogatesNeverReachTheText) {
  const auto doc =
      ReadRtf("{\\rtf1{\\fonttbl{\\f0 Ar\\'09ial;}}\\f0 a\\'01b\\'0ac\\u-9216?d\\tab e}");
  ASSERT_TRUE(doc.has_value());
  EXPECT_EQ(doc->PlainText(), "abc\ufffdd\te");
  EXPECT_EQ(doc->FormatAt(0).font, "Arial");
  EXPECT_EQ(ReadRtf(WriteRtf(*doc)), doc);
}

TEST(RichTextRtf, TextThatIsNotWholeRtfIsRefused) {
  for (const char* text : {"", "plain text", "{\\rtf1 unclosed", "{\\rtf1 a}}", "{\\rtf1 {a}"})
    EXPECT_FALSE(ReadRtf(text).has_value()) << text;
  EXPECT_TRUE(ReadRtf("  {\\rtf1 a}").has_value());
}

TEST(RichTextRtf, EscapedTextLeavesTheDocumentValid) {
  EXPECT_EQ(RtfEscape("{a}\\b"), "\\{a\\}\\\\b");
  EXPECT_EQ(RtfEscape("\u00e9"), "\\u233?");
  EXPECT_EQ(RtfEscape("\u20ac"), "\\u8364?");
  EXPECT_EQ(RtfEscape("\U0001F600"), "\\u-10179?\\u-8704?");
}

TEST(RichDocumentModel, ATabStopTogglesAndTheThirtyThirdIsNotAdded) {
  std::vector<int> tabs;
  EXPECT_TRUE(ToggleTabStop(tabs, 1000));
  EXPECT_EQ(tabs, std::vector<int>{900}) << "snapped down to 150 twips";
  EXPECT_TRUE(ToggleTabStop(tabs, 1049)) << "the same spot again";
  EXPECT_TRUE(tabs.empty());
  EXPECT_FALSE(ToggleTabStop(tabs, 100)) << "no stop at the margin";
  for (int i = 32; i >= 1; --i) ASSERT_TRUE(ToggleTabStop(tabs, i * 300));
  EXPECT_EQ(tabs.front(), 300);
  EXPECT_EQ(tabs.back(), 9600);
  EXPECT_FALSE(ToggleTabStop(tabs, 150)) << "a 33rd stop";
  EXPECT_EQ(tabs.size(), 32u);
  EXPECT_TRUE(ToggleTabStop(tabs, 600)) << "a full list still loses a stop";
  EXPECT_EQ(tabs.size(), 31u);
}

// A formatted piece put in: its characters keep their formats, and each paragraph ending
// with one of its breaks takes the settings of the piece's paragraph before the break.
TEST(RichDocumentModel, AFormattedPieceGoesInWithItsFormatsAndParagraphSettings) {
  RichDocument target = RichDocument::FromText("abc\nxyz");
  target.Paragraphs()[0].alignment = RichAlign::Right;
  target.Paragraphs()[0].tabs = {720};
  RichDocument one_line = RichDocument::FromText("BOLD");
  one_line.ApplyCharFormat(0, 4, [](RichCharFormat& f) { f.bold = true; });
  one_line.Paragraphs()[0].alignment = RichAlign::Center;
  RichDocument two_lines = RichDocument::FromText("P1\nP2");
  two_lines.Paragraphs()[0].alignment = RichAlign::Center;
  two_lines.Paragraphs()[0].start_indent = 360;
  two_lines.Paragraphs()[1].bullet = true;
  two_lines.ApplyCharFormat(3, 5, [](RichCharFormat& f) { f.italic = true; });
  const struct {
    const char* name;
    const RichDocument& piece;
    long start, end;
    const char* text;
    long caret;
    std::vector<RichAlign> alignments;
  } cases[] = {
      {"one paragraph keeps the target's settings",
       one_line,
       1,
       1,
       "aBOLDbc\nxyz",
       5,
       {RichAlign::Right, RichAlign::Left}},
      {"over a selection across a break", one_line, 2, 5, "abBOLDyz", 6, {RichAlign::Right}},
      {"two paragraphs split the target",
       two_lines,
       1,
       1,
       "aP1\nP2bc\nxyz",
       6,
       {RichAlign::Center, RichAlign::Right, RichAlign::Left}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RichDocument doc = target;
    EXPECT_EQ(doc.Insert(c.start, c.end, c.piece), c.caret);
    EXPECT_EQ(doc.PlainText(), c.text);
    std::vector<RichAlign> alignments;
    for (const RichParagraph& p : doc.Paragraphs()) alignments.push_back(p.alignment);
    EXPECT_EQ(alignments, c.alignments);
  }
  RichDocument doc = target;
  doc.Insert(1, 1, two_lines);
  // "aP1" has the piece's first paragraph settings; "P2bc" the target's, and its P2 italic.
  EXPECT_EQ(doc.Paragraphs()[0].start_indent, 360);
  EXPECT_TRUE(doc.Paragraphs()[0].tabs.empty());
  EXPECT_EQ(doc.Paragraphs()[1].tabs, std::vector<int>{720});
  EXPECT_FALSE(doc.Paragraphs()[1].bullet);
  EXPECT_TRUE(doc.FormatAt(4).italic);
  EXPECT_FALSE(doc.FormatAt(6).italic) << "the target's own text stays as it was";
  EXPECT_FALSE(doc.FormatAt(1).italic);
}

TEST(RichDocumentModel, EditsKeepFormatsAndParagraphSettings) {
  RichDocument doc = RichDocument::FromText("Dear Sir\nYours");
  doc.ApplyCharFormat(0, 4, [](RichCharFormat& f) { f.bold = true; });
  doc.Paragraphs()[1].alignment = RichAlign::Right;
  // Typing after a bold word is bold; a break splits a paragraph into two of its settings.
  long end = doc.Replace(4, 4, "est");
  EXPECT_EQ(end, 7);
  EXPECT_TRUE(doc.FormatAt(6).bold);
  end = doc.Replace(doc.Length(), doc.Length(), "\nfaithfully");
  ASSERT_EQ(doc.Paragraphs().size(), 3u);
  EXPECT_EQ(doc.Paragraphs()[2].alignment, RichAlign::Right);
  // Removing a break joins the next paragraph to this one, which keeps its own settings.
  doc.Replace(11, 12, " ");
  EXPECT_EQ(doc.PlainText(), "Dearest Sir Yours\nfaithfully");
  EXPECT_EQ(doc.Paragraphs()[0].alignment, RichAlign::Left);
  EXPECT_EQ(doc.Find("yours", 0, false, false), 12);
  EXPECT_EQ(doc.Find("yours", 0, false, true), -1);
  EXPECT_EQ(doc.Find("Sir", 0, true, true), 8);
  EXPECT_EQ(doc.Find("ear", 0, true, true), -1) << "inside a word";
  EXPECT_EQ(doc.TextRange(8, 11), "Sir");
}

}  // namespace
}  // namespace vx
