// Comma-separated text as RFC 4180 describes it, read and written without any fixed buffer.
//
// Writing: fields are joined by commas and a record ends with CR LF. A quoted field is put in
// double quotes with every double quote inside doubled; it may hold commas, quotes and line
// breaks, which a reader gives back unchanged. Whether a field is quoted is the writer's choice
// (`CsvAppendField`); `CsvPlainNumber` says which texts may safely go without quotes.
//
// Reading: a record is a list of fields, each with its text and whether it was quoted. A record
// ends at LF, CR LF or a lone CR outside quotes, or at the end of the input; inside quotes every
// character, line breaks included, belongs to the field, and two double quotes stand for one.
// Readers are lenient where the RFC leaves a file malformed: a quote inside an unquoted field
// is kept as text, text after a closing quote is added to the field, and a quote that is never
// closed makes the field run to the end of the input (the record says so). A blank line is a
// record without fields. Records and fields may be of any length.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

inline constexpr std::string_view kCsvLineEnd = "\r\n";

// Appends `text` to `line` as a field, after a comma unless `first`; quoted when `quote`.
void CsvAppendField(std::string& line, std::string_view text, bool quote, bool first);
// `text` in double quotes with its double quotes doubled.
std::string CsvQuoted(std::string_view text);
// True when `text` holds a comma, a double quote or a line break: it must be quoted.
bool CsvNeedsQuotes(std::string_view text);
// True for a decimal number that needs no quotes: an optional "-", digits, and optionally "."
// and more digits ("12", "-3", "0.25"). Anything else, the empty text included, is not.
bool CsvPlainNumber(std::string_view text);

struct CsvField {
  std::string text;
  bool quoted = false;
};

struct CsvRecord {
  std::vector<CsvField> fields;
  std::int64_t line = 0;      // the physical line (from 1) where the record starts
  bool unterminated = false;  // a quote was still open at the end of the input
};

// Reads records from a stream one at a time.
class CsvReader {
 public:
  explicit CsvReader(std::istream& in) : in_(in) {}

  // The next record; false at the end of the input (or once the stream fails).
  bool Next(CsvRecord& record);
  // Bytes taken from the stream so far.
  std::int64_t BytesRead() const { return bytes_; }

 private:
  int Get();
  int Peek();

  std::istream& in_;
  std::int64_t bytes_ = 0;
  std::int64_t line_ = 1;  // the physical line the next character lies on
};

// Every record of `text` (for tests and small inputs).
std::vector<CsvRecord> ReadCsvText(std::string_view text);

}  // namespace vx
