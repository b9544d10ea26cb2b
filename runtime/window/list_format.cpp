#include "runtime/window/list_format.h"

#include <cctype>
#include <charconv>
#include <memory>

#include "runtime/shared_memo.h"

namespace vx {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a whole number into target and answers where it ends. A number too large for target
// leaves it as it was and clears in_range.
template <class T>
const char* ReadNumber(const char* first, const char* last, T& target, bool& in_range) {
  const auto [end, ec] = std::from_chars(first, last, target);
  if (ec == std::errc::result_out_of_range) in_range = false;
  return end;
}

// Reads "(n)" at pos when present into target (0 when absent) and moves pos past it.
void ReadParenNumber(std::string_view s, std::size_t& pos, int& target, bool& in_range) {
  target = 0;
  if (pos >= s.size() || s[pos] != '(') return;
  const std::size_t close = s.find(')', pos);
  if (close == std::string_view::npos) {
    pos = s.size();
    return;
  }
  ReadNumber(s.data() + pos + 1, s.data() + close, target, in_range);
  pos = close + 1;
}

// Passes "(n)" at pos when present: options whose number is not kept.
void SkipParenNumber(std::string_view s, std::size_t& pos) {
  int unused = 0;
  bool unused_range = true;
  ReadParenNumber(s, pos, unused, unused_range);
}

std::string_view ReadUntil(std::string_view s, std::size_t& pos, char end) {
  const std::size_t close = s.find(end, pos);
  const std::size_t stop = close == std::string_view::npos ? s.size() : close;
  std::string_view inside = s.substr(pos, stop - pos);
  pos = stop == s.size() ? stop : stop + 1;
  return inside;
}

void ReadColours(std::string_view s, std::size_t& pos, ListColumn& c, bool& in_range) {
  if (pos >= s.size() || s[pos] != '(') return;
  ++pos;
  std::string_view inside = ReadUntil(s, pos, ')');
  long* targets[] = {&c.normal_fg, &c.normal_bg, &c.selected_fg, &c.selected_bg};
  for (long* target : targets) {
    const std::size_t comma = inside.find(',');
    std::string_view part = inside.substr(0, comma);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    if (!part.empty()) ReadNumber(part.data(), part.data() + part.size(), *target, in_range);
    if (comma == std::string_view::npos) break;
    inside.remove_prefix(comma + 1);
  }
}

std::vector<ListColumn> ParseNow(std::string_view s, bool* in_range) {
  std::vector<ListColumn> columns;
  bool fits = true;
  std::size_t pos = 0;
  int next_field = 1;
  while (pos < s.size()) {
    if (!IsDigit(s[pos])) {
      ++pos;  // group brackets and anything between columns carry no column
      continue;
    }
    ListColumn c;
    const char* end = ReadNumber(s.data() + pos, s.data() + s.size(), c.width, fits);
    pos = static_cast<std::size_t>(end - s.data());
    bool header_seen = false;
    while (pos < s.size() && !IsDigit(s[pos]) && s[pos] != '[' && s[pos] != ']') {
      const char ch = s[pos++];
      switch (std::toupper(static_cast<unsigned char>(ch))) {
        case 'L':
        case 'R':
        case 'C':
        case 'D':
          if (header_seen) {
            c.header_justify = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            ReadParenNumber(s, pos, c.header_indent, fits);
          } else {
            c.justify = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            ReadParenNumber(s, pos, c.indent, fits);
          }
          break;
        case '*':
          c.colors = true;
          break;
        case 'I':
          c.icon = true;
          break;
        case 'J':
          c.icon = c.transparent_icon = true;
          break;
        case 'F':
          c.fixed = true;
          break;
        case '_':
          c.underline = true;
          break;
        case 'M':
          c.resizable = true;
          break;
        case 'T':
          c.tree = true;
          SkipParenNumber(s, pos);
          break;
        case '|':
          c.right_border = true;
          break;
        case '~':
          c.header = std::string(ReadUntil(s, pos, '~'));
          header_seen = true;
          break;
        case '@':
          c.picture = "@" + std::string(ReadUntil(s, pos, '@'));
          break;
        case '#': {
          std::string_view n = ReadUntil(s, pos, '#');
          ReadNumber(n.data(), n.data() + n.size(), c.field, fits);
          if (c.field > kMaxListField) {
            c.field = 0;  // the fields after it could not be counted
            fits = false;
          }
          c.explicit_field = true;
          break;
        }
        case 'E':
          ReadColours(s, pos, c, fits);
          break;
        default:
          SkipParenNumber(s, pos);  // styles, tips and scroll options: nothing to keep
          break;
      }
    }
    if (!c.explicit_field) c.field = next_field;
    next_field = c.NextField();
    columns.push_back(std::move(c));
  }
  if (in_range) *in_range = fits;
  return columns;
}

}  // namespace

std::shared_ptr<const ListFormat> ReadListFormat(std::string_view format) {
  // A list's format is read several times as its window opens (set, matched to the queue's
  // fields, written back), and every opening of a list reads the same few formats again, each
  // on a thread of its own: the reads are kept for the whole process (the formats a user's
  // column changes make are few).
  static auto& memo = *new SharedMemo<std::string, ListFormat>(256);
  return memo.Get(format, [&] {
    ListFormat read;
    read.columns = ParseNow(format, &read.in_range);
    read.pictures.reserve(read.columns.size());
    for (const ListColumn& column : read.columns) read.pictures.emplace_back(column.picture);
    return read;
  });
}

std::vector<ListColumn> ParseListFormat(std::string_view format, bool* in_range) {
  const std::shared_ptr<const ListFormat> read = ReadListFormat(format);
  if (in_range) *in_range = read->in_range;
  return read->columns;
}

std::string WriteListFormat(const std::vector<ListColumn>& columns) {
  std::string out;
  for (const ListColumn& c : columns) {
    out += std::to_string(c.width);
    out += c.justify;
    if (c.indent) out += "(" + std::to_string(c.indent) + ")";
    if (c.colors) out += '*';
    if (c.icon) out += c.transparent_icon ? 'J' : 'I';
    if (c.tree) out += 'T';
    if (c.fixed) out += 'F';
    if (c.underline) out += '_';
    if (c.resizable) out += 'M';
    if (c.right_border) out += '|';
    out += "~" + c.header + "~";
    out += c.header_justify;
    if (c.header_indent) out += "(" + std::to_string(c.header_indent) + ")";
    out += (c.picture.empty() ? std::string("@S20") : c.picture) + "@";
    if (c.explicit_field) out += "#" + std::to_string(c.field) + "#";
    if (c.normal_fg != -1 || c.normal_bg != -1 || c.selected_fg != -1 || c.selected_bg != -1) {
      out += "E(" + std::to_string(c.normal_fg) + "," + std::to_string(c.normal_bg) + "," +
             std::to_string(c.selected_fg) + "," + std::to_string(c.selected_bg) + ")";
    }
  }
  return out;
}

std::string ReplaceDatePictures(std::string_view format, std::string_view picture) {
  std::string out;
  std::size_t pos = 0;
  while (pos < format.size()) {
    const std::size_t at = format.find('@', pos);
    if (at == std::string_view::npos) break;
    const std::size_t close = format.find('@', at + 1);
    if (close == std::string_view::npos) break;
    out.append(format.substr(pos, at + 1 - pos));
    const bool date =
        at + 1 < format.size() && std::toupper(static_cast<unsigned char>(format[at + 1])) == 'D';
    out.append(date ? picture : format.substr(at + 1, close - at - 1));
    out += '@';
    pos = close + 1;
  }
  out.append(format.substr(pos));
  return out;
}

}  // namespace vx
