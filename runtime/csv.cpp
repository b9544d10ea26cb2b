#include "runtime/csv.h"

#include <sstream>

namespace vx {

void CsvAppendField(std::string& line, std::string_view text, bool quote, bool first) {
  if (!first) line += ',';
  if (!quote) {
    line.append(text);
    return;
  }
  line += '"';
  for (const char c : text) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

std::string CsvQuoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  CsvAppendField(out, text, true, true);
  return out;
}

bool CsvNeedsQuotes(std::string_view text) {
  return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

bool CsvPlainNumber(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '-') ++i;
  const std::size_t digits_from = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == digits_from) return false;
  if (i < text.size() && text[i] == '.') {
    const std::size_t places_from = ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == places_from) return false;
  }
  return i == text.size();
}

int CsvReader::Get() {
  const int c = in_.rdbuf() ? in_.rdbuf()->sbumpc() : std::char_traits<char>::eof();
  if (c == std::char_traits<char>::eof()) return -1;
  ++bytes_;
  return c;
}

int CsvReader::Peek() {
  const int c = in_.rdbuf() ? in_.rdbuf()->sgetc() : std::char_traits<char>::eof();
  return c == std::char_traits<char>::eof() ? -1 : c;
}

bool CsvReader::Next(CsvRecord& record) {
  record.fields.clear();
  record.unterminated = false;
  record.line = line_;
  int c = Get();
  if (c < 0) return false;
  // The line break that ends the record; a CR may be followed by its LF.
  auto end_of_line = [&](int ch) {
    if (ch == '\r' && Peek() == '\n') Get();
    ++line_;
  };
  if (c == '\n' || c == '\r') {  // a blank line: a record without fields
    end_of_line(c);
    return true;
  }
  CsvField field;
  bool in_quotes = false;
  bool at_field_start = true;
  for (;; c = Get()) {
    if (c < 0) {
      record.unterminated = in_quotes;
      record.fields.push_back(std::move(field));
      return true;
    }
    const char ch = static_cast<char>(c);
    if (in_quotes) {
      if (ch == '"') {
        if (Peek() == '"') {
          Get();
          field.text += '"';
        } else {
          in_quotes = false;
        }
      } else {
        if (ch == '\n' || (ch == '\r' && Peek() != '\n')) ++line_;
        field.text += ch;
      }
      continue;
    }
    if (ch == ',') {
      record.fields.push_back(std::move(field));
      field = CsvField{};
      at_field_start = true;
      continue;
    }
    if (ch == '\n' || ch == '\r') {
      end_of_line(c);
      record.fields.push_back(std::move(field));
      return true;
    }
    if (ch == '"' && at_field_start) {
      in_quotes = true;
      field.quoted = true;
    } else {
      field.text += ch;
    }
    at_field_start = false;
  }
}

std::vector<CsvRecord> ReadCsvText(std::string_view text) {
  std::istringstream in{std::string(text)};
  CsvReader reader(in);
  std::vector<CsvRecord> records;
  CsvRecord record;
  while (reader.Next(record)) records.push_back(record);
  return records;
}

}  // namespace vx
