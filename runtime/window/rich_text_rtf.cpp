#include "runtime/window/rich_text_rtf.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>

namespace vx {
namespace {

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Code points of UTF-8 text; a broken sequence reads as U+FFFD.
std::vector<std::uint32_t> CodePoints(std::string_view text) {
  std::vector<std::uint32_t> out;
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > text.size()) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    std::uint32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    out.push_back(cp);
    i += static_cast<std::size_t>(n);
  }
  return out;
}

void AppendEscaped(std::string& out, std::uint32_t cp) {
  if (cp == '\\' || cp == '{' || cp == '}') {
    out += '\\';
    out += static_cast<char>(cp);
  } else if (cp == '\t') {
    out += "\\tab ";
  } else if (cp >= 0x20 && cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x20) {
    // Other control characters have no place in the text.
  } else {
    auto unit = [&](std::uint32_t u) {
      out += "\\u" + std::to_string(static_cast<std::int16_t>(static_cast<std::uint16_t>(u))) + "?";
    };
    if (cp >= 0x10000) {
      unit(0xD800 + ((cp - 0x10000) >> 10));
      unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      unit(cp);
    }
  }
}

// Windows-1252 bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

std::uint32_t FromCp1252(unsigned char c) {
  return c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c;
}

std::string CharFormatWords(const RichCharFormat& f, int font, int colour) {
  std::string out = "\\f" + std::to_string(font) + "\\fs" + std::to_string(f.size / 10);
  if (f.bold) out += "\\b";
  if (f.italic) out += "\\i";
  if (f.underline) out += "\\ul";
  if (f.strikeout) out += "\\strike";
  out += "\\cf" + std::to_string(colour);
  if (f.offset > 0) out += "\\up" + std::to_string(f.offset / 10);
  if (f.offset < 0) out += "\\dn" + std::to_string(-f.offset / 10);
  return out;
}

}  // namespace

std::string RtfEscape(std::string_view text) {
  std::string out;
  for (std::uint32_t cp : CodePoints(text)) AppendEscaped(out, cp);
  return out;
}

std::string WriteRtf(const RichDocument& doc) {
  std::vector<std::string> fonts;
  std::vector<long> colours;
  auto index_of = [](auto& list, const auto& value) {
    auto it = std::find(list.begin(), list.end(), value);
    if (it != list.end()) return static_cast<int>(it - list.begin());
    list.push_back(value);
    return static_cast<int>(list.size()) - 1;
  };
  for (const RichParagraph& p : doc.Paragraphs()) {
    for (const RichRun& r : p.runs) {
      index_of(fonts, r.format.font);
      index_of(colours, r.format.color);
    }
  }
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
  for (std::size_t i = 0; i < fonts.size(); ++i)
    out += "{\\f" + std::to_string(i) + "\\fnil " + RtfEscape(fonts[i]) + ";}";
  out += "}{\\colortbl;";  // entry 0 is the reader's own colour; every colour used follows
  for (long c : colours) {
    out += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) +
           "\\blue" + std::to_string((c >> 16) & 0xFF) + ";";
  }
  out += "}\n";
  const auto& paragraphs = doc.Paragraphs();
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    const RichParagraph& p = paragraphs[i];
    out += "\\pard";
    if (p.bullet) out += "{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'B7}}";
    out += p.alignment == RichAlign::Center  ? "\\qc"
           : p.alignment == RichAlign::Right ? "\\qr"
                                             : "\\ql";
    // The first line starts at the start indent; the lines after it `offset` further in.
    out += "\\li" + std::to_string(p.start_indent + p.offset) + "\\ri" +
           std::to_string(p.right_indent) + "\\fi" + std::to_string(-p.offset);
    for (int tab : p.tabs) out += "\\tx" + std::to_string(tab);
    out += ' ';
    if (p.Text().empty()) {
      // An empty paragraph keeps its format for what is typed into it later.
      const RichCharFormat& f = p.runs.empty() ? RichCharFormat{} : p.runs.front().format;
      out += "\\plain" +
             CharFormatWords(f, index_of(fonts, f.font), index_of(colours, f.color) + 1) + ' ';
    }
    for (const RichRun& r : p.runs) {
      if (r.text.empty()) continue;
      out += "{\\plain" + CharFormatWords(r.format, index_of(fonts, r.format.font),
                                          index_of(colours, r.format.color) + 1);
      out += ' ' + RtfEscape(r.text) + '}';
    }
    out += i + 1 < paragraphs.size() ? "\\par\n" : "\n";
  }
  out += "}\n";
  return out;
}

namespace {

enum class Dest { Text, FontTable, ColourTable, Bullet, Skip };

struct GroupState {
  RichCharFormat format;
  Dest dest = Dest::Text;
  int uc = 1;
};

class RtfReader {
 public:
  explicit RtfReader(std::string_view rtf) : in_(rtf) {}

  std::optional<RichDocument> Read() {
    std::size_t start = 0;
    while (start < in_.size() && std::isspace(static_cast<unsigned char>(in_[start]))) ++start;
    if (in_.substr(start, 5) != "{\\rtf") return std::nullopt;
    pos_ = start;
    std::vector<GroupState> stack;
    GroupState state;
    bool closed = false;
    while (pos_ < in_.size() && !closed) {
      const char c = in_[pos_++];
      if (c == '{') {
        stack.push_back(state);
        continue;
      }
      if (c == '}') {
        if (stack.empty()) return std::nullopt;
        if (state.dest == Dest::FontTable) EndFont();
        state = stack.back();
        stack.pop_back();
        if (stack.empty()) closed = true;
        continue;
      }
      if (c == '\\') {
        ControlWord(state);
        continue;
      }
      if (c == '\r' || c == '\n') continue;
      Char(state, static_cast<unsigned char>(c), false);
    }
    if (!closed) return std::nullopt;
    // Nothing but blanks may follow the document's group.
    for (std::size_t i = pos_; i < in_.size(); ++i) {
      if (!std::isspace(static_cast<unsigned char>(in_[i])) && in_[i] != '\0') return std::nullopt;
    }
    EndParagraph(state);
    RichDocument doc;
    doc.Paragraphs() = std::move(paragraphs_);
    doc.Normalise();
    return doc;
  }

 private:
  // A byte of text (or a code point, `decoded`), in whatever destination is current.
  void Char(GroupState& state, std::uint32_t c, bool decoded) {
    if (skip_ > 0) {
      --skip_;
      return;
    }
    if (!decoded) c = FromCp1252(static_cast<unsigned char>(c));
    decoded = true;
    // Control characters other than the tab have no place in a paragraph's text, and a lone
    // surrogate is no character.
    if (c < 0x20 && c != '\t') return;
    if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
    switch (state.dest) {
      case Dest::FontTable:
        if (c == ';') {
          EndFont();
        } else if (c >= 0x20) {  // a name has no tabs
          AppendUtf8(font_name_, decoded ? c : FromCp1252(static_cast<unsigned char>(c)));
        }
        return;
      case Dest::ColourTable:
        if (c == ';') {
          colours_.push_back(colour_);
          colour_ = 0;
        }
        return;
      case Dest::Bullet:
      case Dest::Skip:
        return;
      case Dest::Text:
        break;
    }
    const std::uint32_t cp = decoded ? c : FromCp1252(static_cast<unsigned char>(c));
    if (runs_.empty() || !(runs_.back().format == state.format))
      runs_.push_back({"", state.format});
    AppendUtf8(runs_.back().text, cp);
  }

  void Text(GroupState& state, std::string_view utf8) {
    for (std::uint32_t cp : CodePoints(utf8)) Char(state, cp, true);
  }

  void EndFont() {
    std::string name = font_name_;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    if (!name.empty()) fonts_[font_number_] = name;
    font_name_.clear();
  }

  void EndParagraph(const GroupState& state) {
    RichParagraph p = para_;
    p.start_indent = li_ + fi_;
    p.offset = -fi_;
    std::sort(p.tabs.begin(), p.tabs.end());
    p.tabs.erase(std::unique(p.tabs.begin(), p.tabs.end()), p.tabs.end());
    if (p.tabs.size() > static_cast<std::size_t>(kRichMaxTabStops)) p.tabs.resize(kRichMaxTabStops);
    p.runs = std::move(runs_);
    runs_.clear();
    if (p.runs.empty()) p.runs.push_back({"", state.format});
    paragraphs_.push_back(std::move(p));
  }

  void ResetParagraph() {
    para_ = RichParagraph{};
    li_ = fi_ = 0;
  }

  void ControlWord(GroupState& state) {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      ++pos_;
      switch (c) {
        case '\'': {
          unsigned value = 0;
          if (pos_ + 2 <= in_.size() &&
              std::sscanf(std::string(in_.substr(pos_, 2)).c_str(), "%2x", &value) == 1)
            pos_ += 2;
          Char(state, value, false);
          return;
        }
        case '*':
          // An ignorable destination: skipped unless it is the bullet of the paragraph.
          if (in_.substr(pos_, 4) == "\\pn\\" || in_.substr(pos_, 4) == "\\pn ") {
            state.dest = Dest::Bullet;
          } else {
            state.dest = Dest::Skip;
          }
          return;
        case '~':
          Text(state, "\u00A0");
          return;
        case '_':
          Text(state, "\u2011");
          return;
        case '-':
          return;
        case '\r':
        case '\n':
          EndParagraph(state);
          return;
        default:
          Char(state, static_cast<unsigned char>(c), true);
          return;
      }
    }
    std::string word;
    while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_])))
      word += in_[pos_++];
    bool has_param = false;
    long param = 0;
    bool negative = false;
    if (pos_ < in_.size() && in_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_]))) {
      has_param = true;
      param = std::min(param * 10 + (in_[pos_++] - '0'), 100000000L);
    }
    if (negative) param = -param;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    Word(state, word, has_param, param);
  }

  void Word(GroupState& state, const std::string& w, bool has, long n) {
    const bool on = !has || n != 0;
    // Characters by number belong to whatever destination is current, a font's name too.
    if (w == "u") {
      Unicode(state, static_cast<std::uint16_t>(static_cast<std::int16_t>(n)));
      return;
    }
    if (w == "uc") {
      state.uc = static_cast<int>(std::clamp(n, 0L, 10L));
      return;
    }
    if (state.dest == Dest::FontTable) {
      if (w == "f") {
        EndFont();
        font_number_ = n;
      }
      return;
    }
    if (state.dest == Dest::ColourTable) {
      if (w == "red") colour_ = (colour_ & ~0xFFL) | (n & 0xFF);
      if (w == "green") colour_ = (colour_ & ~0xFF00L) | ((n & 0xFF) << 8);
      if (w == "blue") colour_ = (colour_ & ~0xFF0000L) | ((n & 0xFF) << 16);
      return;
    }
    if (state.dest == Dest::Bullet) {
      if (w == "pnlvlblt") para_.bullet = true;
      return;
    }
    if (state.dest == Dest::Skip) return;
    static const std::set<std::string> kSkipped = {
        "stylesheet",   "info",      "pict",      "header",
        "footer",       "headerl",   "headerr",   "footerl",
        "footerr",      "footnote",  "object",    "pntext",
        "pntxtb",       "pntxta",    "listtable", "listoverridetable",
        "rsidtbl",      "xmlnstbl",  "themedata", "colorschememapping",
        "latentstyles", "datastore", "fldinst",   "bkmkstart",
        "bkmkend"};
    if (kSkipped.count(w)) {
      state.dest = Dest::Skip;
      return;
    }
    if (w == "fonttbl") {
      state.dest = Dest::FontTable;
      return;
    }
    if (w == "colortbl") {
      state.dest = Dest::ColourTable;
      return;
    }
    if (w == "pn") {
      state.dest = Dest::Bullet;
      return;
    }
    RichCharFormat& f = state.format;
    if (w == "par" || w == "line") {
      EndParagraph(state);
    } else if (w == "pard") {
      ResetParagraph();
    } else if (w == "plain") {
      f = RichCharFormat{};
      if (auto it = fonts_.find(0); it != fonts_.end()) f.font = it->second;
    } else if (w == "ql" || w == "qj") {
      para_.alignment = RichAlign::Left;
    } else if (w == "qc") {
      para_.alignment = RichAlign::Center;
    } else if (w == "qr") {
      para_.alignment = RichAlign::Right;
    } else if (w == "li") {
      li_ = static_cast<int>(n);
    } else if (w == "ri") {
      para_.right_indent = static_cast<int>(n);
    } else if (w == "fi") {
      fi_ = static_cast<int>(n);
    } else if (w == "tx") {
      if (n > 0) para_.tabs.push_back(static_cast<int>(n));
    } else if (w == "f") {
      if (auto it = fonts_.find(n); it != fonts_.end()) f.font = it->second;
    } else if (w == "fs") {
      if (n > 0) f.size = static_cast<int>(n * 10);
    } else if (w == "b") {
      f.bold = on;
    } else if (w == "i") {
      f.italic = on;
    } else if (w == "ul") {
      f.underline = on;
    } else if (w == "ulnone") {
      f.underline = false;
    } else if (w == "strike") {
      f.strikeout = on;
    } else if (w == "cf") {
      f.color = n >= 1 && n <= static_cast<long>(colours_.size()) - 1 ? colours_[n] : 0;
    } else if (w == "up") {
      f.offset = static_cast<int>((has ? n : 6) * 10);
    } else if (w == "dn") {
      f.offset = -static_cast<int>((has ? n : 6) * 10);
    } else if (w == "super") {
      f.offset = 60;
    } else if (w == "sub") {
      f.offset = -60;
    } else if (w == "nosupersub") {
      f.offset = 0;
    } else if (w == "tab") {
      Char(state, '\t', true);
    } else if (w == "emdash") {
      Text(state, "\u2014");
    } else if (w == "endash") {
      Text(state, "\u2013");
    } else if (w == "bullet") {
      Text(state, "\u2022");
    } else if (w == "lquote") {
      Text(state, "\u2018");
    } else if (w == "rquote") {
      Text(state, "\u2019");
    } else if (w == "ldblquote") {
      Text(state, "\u201C");
    } else if (w == "rdblquote") {
      Text(state, "\u201D");
    }
  }

  void Unicode(GroupState& state, std::uint16_t unit) {
    if (unit >= 0xD800 && unit < 0xDC00) {
      high_surrogate_ = unit;
    } else if (unit >= 0xDC00 && unit < 0xE000 && high_surrogate_) {
      Char(state, 0x10000 + ((high_surrogate_ - 0xD800u) << 10) + (unit - 0xDC00u), true);
      high_surrogate_ = 0;
    } else {
      Char(state, unit, true);
      high_surrogate_ = 0;
    }
    skip_ = state.uc;  // the fallback characters that follow stand for the same character
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  int skip_ = 0;
  std::uint16_t high_surrogate_ = 0;
  std::map<long, std::string> fonts_;
  long font_number_ = 0;
  std::string font_name_;
  std::vector<long> colours_;
  long colour_ = 0;
  RichParagraph para_;
  int li_ = 0, fi_ = 0;
  std::vector<RichRun> runs_;
  std::vector<RichParagraph> paragraphs_;
};

}  // namespace

std::optional<RichDocument> ReadRtf(std::string_view rtf) { return RtfReader(rtf).Read(); }

}  // namespace vx
