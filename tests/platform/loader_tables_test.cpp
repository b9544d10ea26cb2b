// Pages are given back only where the file holds them again: a page the process wrote keeps
// what was written, and the loader's tables, once given back, still serve every later look-up.
#include "platform/loader_tables.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>

#include "support/temp_folder.h"

namespace vx::platform {
namespace {

class LoaderTablesTest : public test::TempFolderTest {
 protected:
  static constexpr std::size_t kPages = 4;

  void SetUp() override {
    test::TempFolderTest::SetUp();
    page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    Write(root() / "pages.bin", std::string(kPages * page_, 'f'));
  }

  // The file mapped privately, as the loader maps a library, every page read once.
  char* MapFile() {
    const int fd = open((root() / "pages.bin").c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(fd, 0);
    void* mapped = mmap(nullptr, kPages * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
    close(fd);
    EXPECT_NE(mapped, MAP_FAILED);
    auto* bytes = static_cast<char*>(mapped);
    volatile char sum = 0;
    for (std::size_t i = 0; i < kPages; ++i) sum = static_cast<char>(sum + bytes[i * page_]);
    mapped_.push_back(bytes);
    return bytes;
  }

  void TearDown() override {
    for (char* bytes : mapped_) munmap(bytes, kPages * page_);
    test::TempFolderTest::TearDown();
  }

  std::size_t page_ = 0;
  std::vector<char*> mapped_;
};

TEST_F(LoaderTablesTest, APageTheProcessWroteKeepsItsRangeWhole) {
  char* const written = MapFile();
  written[2 * page_] = 'w';
  const std::optional<MappedPages> before = ReadMappedPages(written, kPages * page_);
  ASSERT_TRUE(before);
  EXPECT_EQ(before->present, kPages);
  EXPECT_EQ(before->own_copies, 1u);

  EXPECT_FALSE(GiveBackFilePages(written, kPages * page_));
  EXPECT_EQ(written[2 * page_], 'w');
  EXPECT_EQ(ReadMappedPages(written, kPages * page_)->present, kPages);

  // The pages beside the written one are the file's and may go.
  EXPECT_TRUE(GiveBackFilePages(written, 2 * page_));
  EXPECT_EQ(ReadMappedPages(written, 2 * page_)->present, 0u);
  EXPECT_EQ(written[0], 'f');
  EXPECT_EQ(written[2 * page_], 'w');
}

TEST_F(LoaderTablesTest, OnlyTheWholePagesOfARangeAreGivenBack) {
  char* const bytes = MapFile();
  // From the middle of page 0 to the middle of page 3: pages 1 and 2 go, 0 and 3 stay.
  ASSERT_TRUE(GiveBackFilePages(bytes + page_ / 2, 3 * page_));
  EXPECT_EQ(ReadMappedPages(bytes, page_)->present, 1u);
  EXPECT_EQ(ReadMappedPages(bytes + page_, 2 * page_)->present, 0u);
  EXPECT_EQ(ReadMappedPages(bytes + 3 * page_, page_)->present, 1u);
  EXPECT_EQ(bytes[page_], 'f');
}

// The first segment of the C library: where its symbol tables lie.
struct Segment {
  const void* begin = nullptr;
  std::size_t length = 0;
};

Segment CLibraryTables() {
  Dl_info info{};
  EXPECT_NE(dladdr(reinterpret_cast<void*>(&std::strlen), &info), 0);
  Segment found;
  struct Search {
    const void* base;
    Segment* found;
  } search{info.dli_fbase, &found};
  dl_iterate_phdr(
      [](dl_phdr_info* object, std::size_t, void* data) {
        auto& s = *static_cast<Search*>(data);
        for (ElfW(Half) i = 0; i < object->dlpi_phnum; ++i) {
          const ElfW(Phdr)& header = object->dlpi_phdr[i];
          if (header.p_type != PT_LOAD || header.p_offset != 0) continue;
          if (reinterpret_cast<const void*>(object->dlpi_addr + header.p_vaddr) != s.base) break;
          s.found->begin = s.base;
          s.found->length = header.p_filesz;
          return 1;
        }
        return 0;
      },
      &search);
  return found;
}

TEST_F(LoaderTablesTest, GivenBackTablesStillServeLookUpsLoadsAndExceptions) {
  const Segment tables = CLibraryTables();
  ASSERT_NE(tables.begin, nullptr);

  const PagesGivenBack given = GiveBackLoaderTables();
  EXPECT_GT(given.ranges, 1u);
  EXPECT_GT(given.bytes, 0u);
  const std::optional<MappedPages> after = ReadMappedPages(tables.begin, tables.length);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->own_copies, 0u);
  EXPECT_LT(after->present * page_, tables.length / 2);

  // A symbol by name, a library loaded and bound now, an exception unwound through libraries.
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "strlen"), reinterpret_cast<void*>(&std::strlen));
  void* const loaded = dlopen("libutil.so.1", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(loaded, nullptr) << dlerror();
  EXPECT_NE(dlsym(loaded, "openpty"), nullptr);
  dlclose(loaded);
  EXPECT_THROW(static_cast<void>(std::stoi("not a number")), std::invalid_argument);

  // A second pass finds nothing more to give back than what those look-ups read again.
  EXPECT_LT(GiveBackLoaderTables().bytes, given.bytes);
}

}  // namespace
}  // namespace vx::platform
