#include "datadll/addons/rich_document_pages.h"

#include <algorithm>

#include "runtime/report/text_measure.h"

namespace vx {
namespace {

constexpr long kDefaultTab = 500;

long Units(int twips) { return twips * report::kUnitsPerInch / 1440; }

report::ReportFont FontOf(const RichCharFormat& f) {
  report::ReportFont font;
  font.face = f.font;
  font.size = f.size / 20.0;
  font.bold = f.bold;
  font.italic = f.italic;
  font.underline = f.underline;
  return font;
}

// A piece of a line: a word with the blanks after it, or a tab.
struct Piece {
  std::string text;
  RichCharFormat format;
  bool tab = false;
};

std::vector<Piece> Pieces(const RichParagraph& p) {
  std::vector<Piece> out;
  for (const RichRun& run : p.runs) {
    std::string word;
    auto flush = [&] {
      if (!word.empty()) out.push_back({word, run.format});
      word.clear();
    };
    for (std::size_t i = 0; i < run.text.size(); ++i) {
      const char c = run.text[i];
      if (c == '\t') {
        flush();
        out.push_back({"", run.format, true});
        continue;
      }
      if (c != ' ' && !word.empty() && word.back() == ' ') flush();
      word += c;
    }
    flush();
  }
  return out;
}

class Layout {
 public:
  explicit Layout(const RichPageMargins& margins) : m_(margins), y_(margins.top) {}

  std::vector<report::PageImage> pages;

  void Paragraph(const RichParagraph& p) {
    const report::TextMeasure& measure = report::CurrentTextMeasure();
    const long left = m_.left + Units(p.start_indent);
    const long next_left = left + Units(p.offset);
    const long right = page_.width - m_.right - std::max(0L, Units(p.right_indent));
    std::vector<report::PageItem> line;
    long x = left, height = measure.LineHeight(FontOf(p.runs.front().format));
    bool first = true;
    auto end_line = [&] {
      const long line_left = first ? left : next_left;
      const long used = line.empty() ? line_left : line.back().x + line.back().width;
      const long shift = p.alignment == RichAlign::Center  ? (right - used) / 2
                         : p.alignment == RichAlign::Right ? right - used
                                                           : 0;
      if (y_ + height > page_.height - m_.bottom) NewPage();
      for (report::PageItem& item : line) {
        item.x += std::max(0L, shift);
        item.y = y_ + item.height;  // a text's height holds its raise until the line is placed
        item.height = 0;
        page_.items.push_back(std::move(item));
      }
      y_ += height;
      line.clear();
      first = false;
      x = next_left;
      height = measure.LineHeight(FontOf(p.runs.front().format));
    };
    if (p.bullet) {
      report::PageItem bullet;
      bullet.text = "\u2022";
      bullet.font = FontOf(p.runs.front().format);
      bullet.x = left;
      bullet.width = measure.Width(bullet.font, bullet.text);
      line.push_back(bullet);
      x = std::max(next_left, left + bullet.width + 60);
    }
    for (const Piece& piece : Pieces(p)) {
      const report::ReportFont font = FontOf(piece.format);
      if (piece.tab) {
        long stop = 0;
        for (int t : p.tabs) {
          if (m_.left + Units(t) > x) {
            stop = m_.left + Units(t);
            break;
          }
        }
        if (!stop) stop = m_.left + ((x - m_.left) / kDefaultTab + 1) * kDefaultTab;
        x = stop;
        continue;
      }
      long width = measure.Width(font, piece.text);
      std::string text = piece.text;
      if (x + width > right && !line.empty()) end_line();
      // A word longer than the line is cut where the line ends.
      while (x + width > right && text.size() > 1) {
        const auto cut = report::WrapText(text, right - x, font, measure);
        if (cut.empty()) break;
        Add(line, cut.front(), font, piece.format, x, height, measure);
        text = text.substr(std::min(text.size(), cut.front().size()));
        while (!text.empty() && text.front() == ' ') text.erase(0, 1);
        end_line();
        width = measure.Width(font, text);
      }
      if (!text.empty()) Add(line, text, font, piece.format, x, height, measure);
    }
    end_line();
  }

  std::vector<report::PageImage> Finish() {
    pages.push_back(std::move(page_));
    return std::move(pages);
  }

 private:
  void Add(std::vector<report::PageItem>& line, const std::string& text,
           const report::ReportFont& font, const RichCharFormat& f, long& x, long& height,
           const report::TextMeasure& measure) {
    report::PageItem item;
    item.text = text;
    // The blanks after a word move the next one on; the page shows the word alone.
    while (!item.text.empty() && item.text.back() == ' ') item.text.pop_back();
    item.font = font;
    item.x = x;
    item.width = measure.Width(font, item.text);
    item.height = -Units(f.offset);
    if (!item.text.empty()) line.push_back(item);
    x += measure.Width(font, text);
    height = std::max(height, measure.LineHeight(font));
  }

  void NewPage() {
    pages.push_back(std::move(page_));
    page_ = report::PageImage{};
    y_ = m_.top;
  }

  RichPageMargins m_;
  report::PageImage page_;
  long y_;
};

}  // namespace

std::vector<report::PageImage> RichDocumentPages(const RichDocument& doc,
                                                 const RichPageMargins& margins) {
  Layout layout(margins);
  for (const RichParagraph& p : doc.Paragraphs()) layout.Paragraph(p);
  return layout.Finish();
}

}  // namespace vx
