// Giving back the pages of the dynamic loader's tables once the program has started.
//
// The first segment of a shared library holds what the dynamic loader reads while it loads the
// library: the ELF headers, the symbol and string tables, the symbol hash and the relocations.
// Libraries bound at load (the Qt libraries among them) have every relocation applied and
// every symbol looked up before the program runs its first line, so all those pages are read,
// and they stay in the process's resident set for its whole life: about 8 MB for the program's
// libraries, a fifth of what it holds while it waits in the tray. Running code reads none of
// them; a later look-up (a library opened at first use, a symbol asked for by name, the unwinder
// reading a library's headers) reads the few pages it needs again from the file.
//
// The pages are dropped with MADV_DONTNEED, which for a private file mapping puts back the
// file's contents on the next read. A page the process wrote (its own copy) would lose what was
// written, so a range holding one is left whole.
#pragma once

#include <cstddef>
#include <optional>

namespace vx::platform {

// The pages of a range of the process's memory, from /proc/self/pagemap.
struct MappedPages {
  std::size_t present = 0;     // in the process's page tables (resident)
  std::size_t own_copies = 0;  // present or swapped pages that are the process's own, not a file's
};

// Counts the pages of [begin, begin + length) (whole pages); nothing when the page map cannot
// be read.
std::optional<MappedPages> ReadMappedPages(const void* begin, std::size_t length);

// Drops the pages of [begin, begin + length), a private mapping of a file, from the process's
// page tables, so that the next read takes them from the file again. False, changing nothing,
// when a page of the range is the process's own copy or the page map cannot be read.
bool GiveBackFilePages(const void* begin, std::size_t length);

struct PagesGivenBack {
  std::size_t ranges = 0;  // libraries whose tables were given back
  std::size_t bytes = 0;   // resident bytes given back
};

// Gives back the first, read-only segment of every loaded library and of the program, as
// GiveBackFilePages does. Call it once start-up is over.
PagesGivenBack GiveBackLoaderTables();

}  // namespace vx::platform
