#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "runtime/storage/file_internal.h"
#include "runtime/storage/text_format.h"

namespace vx::storage {

// Reads the next record of a text file into the buffer.
int TextNext(const TableDef& def, FileThreadState& s) {
  if (!s.text_loaded) {
    std::FILE* fp = std::fopen(s.path.c_str(), "rb");
    if (!fp) return Code(kAccessDenied, s.name);
    s.text.clear();
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, fp)) > 0) s.text.append(chunk, n);
    std::fclose(fp);
    s.text_loaded = true;
  }
  if (s.text_pos >= s.text.size()) return Code(kNoRecord, s.name);
  char* record = static_cast<char*>(def.buffer());
  s.current = static_cast<std::int64_t>(s.text_pos) + 1;
  if (def.driver == Driver::Basic) {
    s.text_pos = ParseBasicRecord(def, s.text, s.text_pos, record);
  } else {
    std::size_t end = s.text.find('\n', s.text_pos);
    if (end == std::string::npos) end = s.text.size();
    std::string_view line(s.text.data() + s.text_pos, end - s.text_pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ParseAsciiLine(def, line, record);
    s.text_pos = end + 1;
  }
  return Ok();
}

int TextAdd(const TableDef& def, FileThreadState& s) {
  if (s.read_only) return Code(kAccessDenied, s.name);
  const char* record = static_cast<const char*>(def.buffer());
  std::string line =
      def.driver == Driver::Basic ? FormatBasicLine(def, record) : FormatAsciiLine(def, record);
  line += '\n';
  const int fd = ::open(s.path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return Code(kAccessDenied, s.name);
  const off_t at = ::lseek(fd, 0, SEEK_END);
  const ssize_t written = ::write(fd, line.data(), line.size());
  ::close(fd);
  if (written != static_cast<ssize_t>(line.size())) return Code(kDriverError, s.name);
  s.current = static_cast<std::int64_t>(at) + 1;
  s.text_loaded = false;  // a later read sees the line
  return Ok();
}

}  // namespace vx::storage
