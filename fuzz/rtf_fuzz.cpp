// libFuzzer entry for the RTF reader: any input reads without a crash, a sanitizer finding or a
// hang, and a document it reads, written back, reads again as the same document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "runtime/window/rich_text_rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<vx::RichDocument> first = vx::ReadRtf(text);
  if (!first) return 0;
  const std::optional<vx::RichDocument> second = vx::ReadRtf(vx::WriteRtf(*first));
  if (!second || !(*second == *first)) std::abort();
  return 0;
}
