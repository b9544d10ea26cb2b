// The comma-separated reader and writer: what is written reads back unchanged, malformed input
// reads leniently, and every case of the csv-spectrum corpus reads as its JSON says.
#include "runtime/csv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/command_run.h"

namespace vx {
namespace {

std::vector<std::string> Texts(const CsvRecord& record) {
  std::vector<std::string> out;
  for (const CsvField& field : record.fields) out.push_back(field.text);
  return out;
}

std::string WriteRow(const std::vector<std::string>& row, bool quote) {
  std::string line;
  for (std::size_t i = 0; i < row.size(); ++i) CsvAppendField(line, row[i], quote, i == 0);
  return line + std::string(kCsvLineEnd);
}

TEST(Csv, WrittenRowsReadBackUnchanged) {
  const std::vector<std::vector<std::string>> rows = {
      {"plain", "with, comma", "say \"hi\"", ""},
      {"two\r\nlines", "lone\rcr", "lf\nonly", "\"\""},
      {"Grüße, ʤ", std::string(100000, 'x'), "\"", ",", " padded "},
      {""},
  };
  std::string file;
  for (const auto& row : rows) file += WriteRow(row, true);
  const std::vector<CsvRecord> back = ReadCsvText(file);
  ASSERT_EQ(back.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(Texts(back[i]), rows[i]) << "row " << i;
    for (const CsvField& field : back[i].fields) EXPECT_TRUE(field.quoted);
    EXPECT_FALSE(back[i].unterminated);
  }
  EXPECT_EQ(back[1].line, 2);
  EXPECT_EQ(back[2].line, 6);  // row 1 spans four physical lines
}

TEST(Csv, QuotesOnlyWhatTheWriterAsks) {
  EXPECT_EQ(WriteRow({"12", "-3.5", "a\"b"}, false), "12,-3.5,a\"b\r\n");
  EXPECT_EQ(CsvQuoted("a\"b,c"), "\"a\"\"b,c\"");
  const struct {
    const char* text;
    bool plain;
  } cases[] = {{"0", true},   {"-12", true},    {"3.25", true}, {"", false},
               {"-", false},  {"1.", false},    {".5", false},  {"1e5", false},
               {" 1", false}, {"1,000", false}, {"12a", false}, {"--1", false}};
  for (const auto& c : cases) EXPECT_EQ(CsvPlainNumber(c.text), c.plain) << c.text;
}

TEST(Csv, MalformedInputReadsLeniently) {
  const struct {
    const char* text;
    std::vector<std::vector<std::string>> rows;
  } cases[] = {
      {"a,b", {{"a", "b"}}},                                 // no line end at the end
      {"a,\r\n,b\n", {{"a", ""}, {"", "b"}}},                // empty fields at either end
      {"a\rb\r", {{"a"}, {"b"}}},                            // lone CR ends a record
      {"x\n\ny\n", {{"x"}, {}, {"y"}}},                      // a blank line has no fields
      {"ab\"c,d", {{"ab\"c", "d"}}},                         // a quote inside an unquoted field
      {"\"ab\"cd,e", {{"abcd", "e"}}},                       // text after the closing quote
      {"\"open, never\nclosed", {{"open, never\nclosed"}}},  // an unclosed quote runs to the end
  };
  for (const auto& c : cases) {
    const std::vector<CsvRecord> back = ReadCsvText(c.text);
    std::vector<std::vector<std::string>> rows;
    for (const CsvRecord& record : back) rows.push_back(Texts(record));
    EXPECT_EQ(rows, c.rows) << c.text;
  }
  EXPECT_TRUE(ReadCsvText("\"open").front().unterminated);
  EXPECT_TRUE(ReadCsvText("").empty());
}

// ---- the csv-spectrum corpus ----

// The corpus's JSON: an array of objects whose values are all strings, or one such object.
class JsonRows {
 public:
  explicit JsonRows(std::string text) : s_(std::move(text)) {}

  std::vector<std::vector<std::pair<std::string, std::string>>> Read() {
    std::vector<std::vector<std::pair<std::string, std::string>>> rows;
    const bool one_object = Skip() == '{';
    if (!one_object) Expect('[');
    while (one_object ? rows.empty() : Skip() != ']') {
      Expect('{');
      std::vector<std::pair<std::string, std::string>> row;
      while (Skip() != '}') {
        std::string key = String();
        Expect(':');
        row.emplace_back(std::move(key), String());
        if (Skip() == ',') ++i_;
      }
      ++i_;
      rows.push_back(std::move(row));
      if (!one_object && Skip() == ',') ++i_;
    }
    return rows;
  }

 private:
  char Skip() {
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
    if (i_ >= s_.size()) throw std::runtime_error("JSON ends early");
    return s_[i_];
  }
  void Expect(char c) {
    if (Skip() != c) throw std::runtime_error(std::string("JSON: expected ") + c);
    ++i_;
  }
  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  std::string String() {
    Expect('"');
    std::string out;
    while (s_.at(i_) != '"') {
      char c = s_[i_++];
      if (c != '\\') {
        out += c;
        continue;
      }
      c = s_.at(i_++);
      switch (c) {
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u':
          AppendUtf8(out, std::stoul(s_.substr(i_, 4), nullptr, 16));
          i_ += 4;
          break;
        default:
          out += c;
          break;
      }
    }
    ++i_;
    return out;
  }

  std::string s_;
  std::size_t i_ = 0;
};

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Csv, EveryCaseOfTheCsvSpectrumCorpusReadsAsItsJsonSays) {
  const char* source = std::getenv("VX_SOURCE_DIR");
  ASSERT_NE(source, nullptr) << "VX_SOURCE_DIR is not set";
  const test::CommandRun fetch =
      test::RunCommandLine(std::string("bash ") + source + "/tests/support/fetch_csv_spectrum.sh");
  ASSERT_EQ(fetch.status, 0) << "the csv-spectrum corpus could not be fetched with npm";
  const std::filesystem::path corpus = fetch.output.substr(0, fetch.output.find('\n'));
  ASSERT_TRUE(std::filesystem::is_directory(corpus / "csvs")) << corpus;

  // The corpus's own slip: this file's phone number differs from its JSON's. The file is what
  // a reader sees, so the test holds the reader to the file there.
  const std::map<std::string, std::pair<std::string, std::string>> corpus_slips = {
      {"location_coordinates", {"Contact Phone Number", "2095257564"}}};

  int cases = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus / "csvs")) {
    const std::string name = entry.path().stem().string();
    SCOPED_TRACE(name);
    auto expected = JsonRows(ReadWhole(corpus / "json" / (name + ".json"))).Read();
    if (auto slip = corpus_slips.find(name); slip != corpus_slips.end()) {
      for (auto& row : expected)
        for (auto& [key, value] : row)
          if (key == slip->second.first) value = slip->second.second;
    }
    const std::vector<CsvRecord> records = ReadCsvText(ReadWhole(entry.path()));
    ASSERT_EQ(records.size(), expected.size() + 1);  // the header line, then one record a row
    const std::vector<std::string> header = Texts(records[0]);
    for (std::size_t r = 0; r < expected.size(); ++r) {
      std::vector<std::pair<std::string, std::string>> row;
      const std::vector<std::string> values = Texts(records[r + 1]);
      ASSERT_EQ(values.size(), header.size()) << "row " << r;
      for (std::size_t f = 0; f < header.size(); ++f) row.emplace_back(header[f], values[f]);
      EXPECT_EQ(row, expected[r]) << "row " << r;
    }
    ++cases;
  }
  EXPECT_GE(cases, 12);
}

}  // namespace
}  // namespace vx
