#include "runtime/window/rich_document.h"

#include <algorithm>
#include <cctype>

namespace vx {
namespace {

bool Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The document as one row of characters, a "\n" cell between paragraphs, beside each paragraph's
// own settings (its runs hold one empty run: the format an empty paragraph keeps).
struct Cell {
  std::string ch;
  RichCharFormat format;
};
struct Flat {
  std::vector<Cell> cells;
  std::vector<RichParagraph> paras;
};

Flat Flatten(const std::vector<RichParagraph>& paragraphs) {
  Flat flat;
  for (std::size_t p = 0; p < paragraphs.size(); ++p) {
    const RichParagraph& para = paragraphs[p];
    RichParagraph settings = para;
    settings.runs = {RichRun{"", para.runs.empty() ? RichCharFormat{} : para.runs.front().format}};
    flat.paras.push_back(std::move(settings));
    if (p > 0) flat.cells.push_back({"\n", {}});
    for (const RichRun& run : para.runs) {
      for (std::size_t i = 0; i < run.text.size();) {
        std::size_t n = 1;
        while (i + n < run.text.size() && Continuation(static_cast<unsigned char>(run.text[i + n])))
          ++n;
        flat.cells.push_back({run.text.substr(i, n), run.format});
        i += n;
      }
    }
  }
  return flat;
}

std::vector<RichParagraph> Rebuild(const Flat& flat) {
  std::vector<RichParagraph> out;
  std::size_t p = 0;
  RichParagraph current = flat.paras.at(0);
  current.runs.clear();
  auto finish = [&] {
    if (current.runs.empty()) current.runs = flat.paras[p].runs;
    out.push_back(std::move(current));
  };
  for (const Cell& cell : flat.cells) {
    if (cell.ch == "\n") {
      finish();
      current = flat.paras.at(++p);
      current.runs.clear();
      continue;
    }
    if (!current.runs.empty() && current.runs.back().format == cell.format) {
      current.runs.back().text += cell.ch;
    } else {
      current.runs.push_back({cell.ch, cell.format});
    }
  }
  finish();
  return out;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool WordCharacter(const std::string& ch) {
  return ch.size() > 1 || std::isalnum(static_cast<unsigned char>(ch[0])) || ch[0] == '_';
}

}  // namespace

long Utf8Length(std::string_view text) {
  long n = 0;
  for (char c : text) n += !Continuation(static_cast<unsigned char>(c));
  return n;
}

std::size_t Utf8Offset(std::string_view text, long index) {
  long n = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (Continuation(static_cast<unsigned char>(text[i]))) continue;
    if (n++ == index) return i;
  }
  return text.size();
}

std::string RichParagraph::Text() const {
  std::string text;
  for (const RichRun& run : runs) text += run.text;
  return text;
}

RichDocument::RichDocument() { paragraphs_.push_back({{RichRun{}}}); }

RichDocument RichDocument::FromText(std::string_view text, const RichCharFormat& format) {
  RichDocument doc;
  doc.paragraphs_.front().runs.front().format = format;
  doc.Replace(0, 0, text);
  return doc;
}

std::string RichDocument::PlainText() const {
  std::string text;
  for (std::size_t p = 0; p < paragraphs_.size(); ++p) {
    if (p) text += '\n';
    text += paragraphs_[p].Text();
  }
  return text;
}

long RichDocument::Length() const {
  long n = static_cast<long>(paragraphs_.size()) - 1;
  for (const RichParagraph& p : paragraphs_) n += Utf8Length(p.Text());
  return n;
}

int RichDocument::ParagraphIndexAt(long pos) const {
  long start = 0;
  for (std::size_t p = 0; p < paragraphs_.size(); ++p) {
    const long end = start + Utf8Length(paragraphs_[p].Text());
    if (pos <= end) return static_cast<int>(p);
    start = end + 1;
  }
  return static_cast<int>(paragraphs_.size()) - 1;
}

long RichDocument::ParagraphStart(int index) const {
  long start = 0;
  for (int p = 0; p < index && p < static_cast<int>(paragraphs_.size()); ++p)
    start += Utf8Length(paragraphs_[static_cast<std::size_t>(p)].Text()) + 1;
  return start;
}

RichCharFormat RichDocument::FormatAt(long pos) const {
  const int index = ParagraphIndexAt(pos);
  const RichParagraph& para = paragraphs_[static_cast<std::size_t>(index)];
  long at = pos - ParagraphStart(index);
  for (const RichRun& run : para.runs) {
    const long n = Utf8Length(run.text);
    if (at < n || (at == n && &run == &para.runs.back())) return run.format;
    at -= n;
  }
  return para.runs.empty() ? RichCharFormat{} : para.runs.front().format;
}

void RichDocument::ApplyCharFormat(long start, long end,
                                   const std::function<void(RichCharFormat&)>& change) {
  if (start > end) std::swap(start, end);
  Flat flat = Flatten(paragraphs_);
  const long size = static_cast<long>(flat.cells.size());
  for (long i = std::max(0L, start); i < std::min(end, size); ++i) {
    if (flat.cells[static_cast<std::size_t>(i)].ch != "\n")
      change(flat.cells[static_cast<std::size_t>(i)].format);
  }
  // An empty paragraph in the range keeps the new format for what is typed into it.
  for (int p = ParagraphIndexAt(start); p <= ParagraphIndexAt(end); ++p) {
    if (paragraphs_[static_cast<std::size_t>(p)].Text().empty())
      change(flat.paras[static_cast<std::size_t>(p)].runs.front().format);
  }
  paragraphs_ = Rebuild(flat);
}

void RichDocument::ApplyParagraph(long start, long end,
                                  const std::function<void(RichParagraph&)>& change) {
  if (start > end) std::swap(start, end);
  for (int p = ParagraphIndexAt(start); p <= ParagraphIndexAt(end); ++p)
    change(paragraphs_[static_cast<std::size_t>(p)]);
}

long RichDocument::Replace(long start, long end, std::string_view text) {
  if (start > end) std::swap(start, end);
  Flat flat = Flatten(paragraphs_);
  const long size = static_cast<long>(flat.cells.size());
  start = std::clamp(start, 0L, size);
  end = std::clamp(end, 0L, size);
  // The new text takes the format of the character before it (the first one's at the start).
  const RichCharFormat format = FormatAt(start > 0 ? start - 1 : 0);
  int para = ParagraphIndexAt(start);
  // Removing a paragraph break joins the next paragraph to this one, which keeps its settings.
  for (long i = start; i < end; ++i) {
    if (flat.cells[static_cast<std::size_t>(i)].ch == "\n")
      flat.paras.erase(flat.paras.begin() + para + 1);
  }
  flat.cells.erase(flat.cells.begin() + start, flat.cells.begin() + end);
  std::vector<Cell> added;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = 1;
    while (i + n < text.size() && Continuation(static_cast<unsigned char>(text[i + n]))) ++n;
    std::string ch(text.substr(i, n));
    i += n;
    if (ch == "\r") continue;
    if (ch == "\n") {
      // A new paragraph has the settings of the one it was split from.
      RichParagraph split = flat.paras[static_cast<std::size_t>(para)];
      split.runs = {RichRun{"", format}};
      flat.paras.insert(flat.paras.begin() + para + 1, std::move(split));
      ++para;
      added.push_back({ch, {}});
    } else {
      added.push_back({ch, format});
    }
  }
  flat.cells.insert(flat.cells.begin() + start, added.begin(), added.end());
  paragraphs_ = Rebuild(flat);
  return start + static_cast<long>(added.size());
}

long RichDocument::Insert(long start, long end, const RichDocument& piece) {
  const long at = Replace(start, end, "");
  const int para = ParagraphIndexAt(at);
  Flat flat = Flatten(paragraphs_);
  const Flat add = Flatten(piece.paragraphs_);
  flat.cells.insert(flat.cells.begin() + at, add.cells.begin(), add.cells.end());
  flat.paras.insert(flat.paras.begin() + para, add.paras.begin(), add.paras.end() - 1);
  paragraphs_ = Rebuild(flat);
  return at + static_cast<long>(add.cells.size());
}

std::string RichDocument::TextRange(long start, long end) const {
  if (start > end) std::swap(start, end);
  const std::string text = PlainText();
  const std::size_t from = Utf8Offset(text, start);
  return text.substr(from, Utf8Offset(text, end) - from);
}

long RichDocument::Find(std::string_view what, long from, bool whole_word, bool match_case) const {
  if (what.empty()) return -1;
  const Flat flat = Flatten(paragraphs_);
  std::vector<std::string> wanted;
  for (const Cell& c : Flatten({RichParagraph{{RichRun{std::string(what), {}}}}}).cells)
    wanted.push_back(match_case ? c.ch : Lower(c.ch));
  const long size = static_cast<long>(flat.cells.size());
  const long n = static_cast<long>(wanted.size());
  auto at = [&](long i) -> const std::string& {
    return flat.cells[static_cast<std::size_t>(i)].ch;
  };
  for (long i = std::max(0L, from); i + n <= size; ++i) {
    bool hit = true;
    for (long k = 0; k < n && hit; ++k)
      hit = (match_case ? at(i + k) : Lower(at(i + k))) == wanted[static_cast<std::size_t>(k)];
    if (!hit) continue;
    if (whole_word &&
        ((i > 0 && WordCharacter(at(i - 1))) || (i + n < size && WordCharacter(at(i + n)))))
      continue;
    return i;
  }
  return -1;
}

void RichDocument::Normalise() { paragraphs_ = Rebuild(Flatten(paragraphs_)); }

bool ToggleTabStop(std::vector<int>& tabs, int twips) {
  const int stop = twips / 150 * 150;
  if (stop <= 0) return false;  // a stop at the margin is no stop (an empty slot reads as 0)
  auto it = std::lower_bound(tabs.begin(), tabs.end(), stop);
  if (it != tabs.end() && *it == stop) {
    tabs.erase(it);
    return true;
  }
  if (static_cast<int>(tabs.size()) >= kRichMaxTabStops) return false;
  tabs.insert(it, stop);
  return true;
}

}  // namespace vx
