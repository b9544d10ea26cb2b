// A rich-text document as the rich edit control holds it: paragraphs, each with its alignment,
// indents, tab stops and bullet, made of runs of text that share one character format.
//
// Measures are twips (1/20 point, 1/1440 inch). Text is UTF-8; positions count characters
// (code points), a paragraph break counting as one character, so that position n is the same
// place in the document's plain text (paragraphs joined by "\n") as in an editor showing it.
//
//   RichDocument doc = RichDocument::FromText("Dear <<NAME>>,\nThank you.");
//   doc.ApplyCharFormat(0, 4, [](RichCharFormat& f) { f.bold = true; });
//   doc.Paragraphs()[1].alignment = RichAlign::Center;
//
// The document is always at least one (possibly empty) paragraph; runs of a paragraph are never
// empty unless the paragraph is (an empty paragraph keeps one empty run for its format).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

inline constexpr int kRichMaxTabStops = 32;

struct RichCharFormat {
  std::string font = "Arial";
  int size = 200;  // twips (10 points)
  bool bold = false, italic = false, underline = false, strikeout = false;
  long color = 0;  // 0xBBGGRR
  int offset = 0;  // vertical offset in twips: above 0 superscript, below 0 subscript
  bool operator==(const RichCharFormat&) const = default;
};

enum class RichAlign { Left = 1, Center = 2, Right = 3 };

struct RichRun {
  std::string text;
  RichCharFormat format;
  bool operator==(const RichRun&) const = default;
};

struct RichParagraph {
  std::vector<RichRun> runs;
  RichAlign alignment = RichAlign::Left;
  int start_indent = 0;   // twips from the left margin to the first line
  int right_indent = 0;   // twips from the right margin
  int offset = 0;         // twips of the following lines beyond the first (a hanging indent)
  std::vector<int> tabs;  // tab stops in twips, ascending, at most kRichMaxTabStops
  bool bullet = false;
  std::string Text() const;
  bool operator==(const RichParagraph&) const = default;
};

class RichDocument {
 public:
  RichDocument();
  // Plain text, "\n" between paragraphs, every character in `format`.
  static RichDocument FromText(std::string_view text, const RichCharFormat& format = {});

  std::vector<RichParagraph>& Paragraphs() { return paragraphs_; }
  const std::vector<RichParagraph>& Paragraphs() const { return paragraphs_; }
  std::string PlainText() const;
  long Length() const;  // characters, paragraph breaks included
  bool Empty() const { return Length() == 0; }

  // The paragraph holding position `pos` (clamped into the document), and its first position.
  int ParagraphIndexAt(long pos) const;
  long ParagraphStart(int index) const;
  // Format of the character at `pos` (of the one before it at a run's end; the paragraph's
  // first run's in an empty paragraph).
  RichCharFormat FormatAt(long pos) const;

  // Changes the format of the characters from `start` to `end` (runs split as needed).
  void ApplyCharFormat(long start, long end, const std::function<void(RichCharFormat&)>& change);
  // Changes every paragraph that has a character in [start, end] (the caret's paragraph when
  // start == end).
  void ApplyParagraph(long start, long end, const std::function<void(RichParagraph&)>& change);
  // Replaces the characters from `start` to `end` by plain text ("\n" breaks paragraphs), which
  // takes the format of the character it follows. Answers the position after the new text.
  long Replace(long start, long end, std::string_view text);
  // Replaces the characters from `start` to `end` by `piece`, formats and all. As a paragraph's
  // settings go with the break that ends it, each paragraph that ends with one of the piece's
  // breaks takes the settings of the piece's paragraph before that break; the text after the
  // piece's last break stays in a paragraph with the settings of the one it went into.
  // Answers the position after the piece.
  long Insert(long start, long end, const RichDocument& piece);
  // The plain text from `start` to `end`.
  std::string TextRange(long start, long end) const;
  // The first occurrence of `what` at or after `from`; -1 when there is none.
  long Find(std::string_view what, long from, bool whole_word, bool match_case) const;

  // Runs of equal format merged, empty runs dropped: the form a reader gives back.
  void Normalise();
  bool operator==(const RichDocument&) const = default;

 private:
  std::vector<RichParagraph> paragraphs_;
};

// Toggles a tab stop at `twips` (snapped down to a multiple of 150; none at 0) in `tabs`: an equal
// stop is removed, another is inserted in order unless there are kRichMaxTabStops already. Answers
// whether the list changed.
bool ToggleTabStop(std::vector<int>& tabs, int twips);

// Code points of UTF-8 text; and the byte offset of the code point `index` (size when past).
long Utf8Length(std::string_view text);
std::size_t Utf8Offset(std::string_view text, long index);

}  // namespace vx
