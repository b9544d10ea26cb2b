#include "platform/loader_tables.h"

#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

namespace vx::platform {
namespace {

constexpr std::uint64_t kPresent = std::uint64_t{1} << 63;
constexpr std::uint64_t kSwapped = std::uint64_t{1} << 62;
constexpr std::uint64_t kFileOrShared = std::uint64_t{1} << 61;

std::uintptr_t PageSize() { return static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE)); }

// The whole pages of [begin, begin + length): the first page that begins in it up to the last
// that ends in it, so that no page shared with a neighbouring mapping is ever dropped.
struct PageRange {
  std::uintptr_t first = 0;
  std::size_t pages = 0;
};

PageRange WholePages(const void* begin, std::size_t length) {
  const std::uintptr_t page = PageSize();
  const auto start = reinterpret_cast<std::uintptr_t>(begin);
  const std::uintptr_t first = (start + page - 1) / page * page;
  const std::uintptr_t end = (start + length) / page * page;
  if (end <= first) return {};
  return {first, static_cast<std::size_t>((end - first) / page)};
}

std::optional<MappedPages> ReadPages(const PageRange& range) {
  MappedPages counted;
  if (range.pages == 0) return counted;
  const int fd = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::vector<std::uint64_t> entries(range.pages);
  const auto bytes = static_cast<ssize_t>(entries.size() * sizeof(std::uint64_t));
  const off_t at = static_cast<off_t>(range.first / PageSize() * sizeof(std::uint64_t));
  const bool read_all = pread(fd, entries.data(), static_cast<std::size_t>(bytes), at) == bytes;
  close(fd);
  if (!read_all) return std::nullopt;
  for (const std::uint64_t entry : entries) {
    if (entry & kPresent) ++counted.present;
    if ((entry & (kPresent | kSwapped)) && !(entry & kFileOrShared)) ++counted.own_copies;
  }
  return counted;
}

// Gives back a range; the resident bytes it held, or nothing when it was left.
std::optional<std::size_t> GiveBack(const PageRange& range) {
  const std::optional<MappedPages> pages = ReadPages(range);
  if (!pages || pages->own_copies != 0) return std::nullopt;
  if (range.pages == 0 || pages->present == 0) return 0;
  if (madvise(reinterpret_cast<void*>(range.first), range.pages * PageSize(), MADV_DONTNEED) != 0)
    return std::nullopt;
  return pages->present * PageSize();
}

int GiveBackFirstSegment(dl_phdr_info* info, std::size_t, void* data) {
  auto& given = *static_cast<PagesGivenBack*>(data);
  // The segment that starts the file: the loader maps it from offset 0, headers first.
  const ElfW(Phdr)* first = nullptr;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type == PT_LOAD && (!first || header.p_vaddr < first->p_vaddr)) first = &header;
  }
  // Only a segment that is neither written (data, relocated pointers) nor run (code, in a
  // library linked without a segment of its own for its tables).
  if (!first || first->p_offset != 0 || first->p_flags != PF_R) return 0;
  const auto* begin = reinterpret_cast<const void*>(info->dlpi_addr + first->p_vaddr);
  if (const std::optional<std::size_t> bytes = GiveBack(WholePages(begin, first->p_filesz))) {
    ++given.ranges;
    given.bytes += *bytes;
  }
  return 0;
}

}  // namespace

std::optional<MappedPages> ReadMappedPages(const void* begin, std::size_t length) {
  return ReadPages(WholePages(begin, length));
}

bool GiveBackFilePages(const void* begin, std::size_t length) {
  return GiveBack(WholePages(begin, length)).has_value();
}

PagesGivenBack GiveBackLoaderTables() {
  PagesGivenBack given;
  dl_iterate_phdr(GiveBackFirstSegment, &given);
  return given;
}

}  // namespace vx::platform
