// libFuzzer entry for the comma-separated reader: any input reads without a crash, a sanitizer
// finding or a hang, and the records read, written back quoted, read again as the same texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/csv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<vx::CsvRecord> first = vx::ReadCsvText(text);
  std::string written;
  for (const vx::CsvRecord& record : first) {
    for (std::size_t i = 0; i < record.fields.size(); ++i)
      vx::CsvAppendField(written, record.fields[i].text, true, i == 0);
    written += vx::kCsvLineEnd;
  }
  const std::vector<vx::CsvRecord> second = vx::ReadCsvText(written);
  if (second.size() != first.size()) std::abort();
  for (std::size_t r = 0; r < first.size(); ++r) {
    if (second[r].fields.size() != first[r].fields.size() || second[r].unterminated) std::abort();
    for (std::size_t f = 0; f < first[r].fields.size(); ++f)
      if (second[r].fields[f].text != first[r].fields[f].text) std::abort();
  }
  return 0;
}
