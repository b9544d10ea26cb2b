// Libraries opened at first use: each table loads on this machine, a missing or wrong library
// gives an error naming it to the loader's caller and to the feature that needed it, and neither
// the data library nor the program is linked against any of them (a link would map them at
// every start again).
#include "platform/shared_library.h"

#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/buffer_cipher.h"
#include "platform/crypto_library.h"
#include "platform/cups_library.h"
#include "platform/curl_library.h"
#include "platform/ftp_engine.h"
#include "platform/printers.h"

namespace vx::platform {
namespace {

namespace fs = std::filesystem;

// A library that is surely there but is none of these.
constexpr const char* kOtherLibrary = "libz.so.1";
constexpr const char* kNoLibrary = "libvx-no-such-library.so.9";

struct Loader {
  const char* name;
  const char* first_entry;
  const void* (*load)(std::string* error);
};

const Loader kLoaders[] = {
    {"libcurl", "curl_global_init",
     [](std::string* e) -> const void* { return LoadCurlLibrary(e); }},
    {"libcrypto", "EVP_aes_128_ctr",
     [](std::string* e) -> const void* { return LoadCryptoLibrary(e); }},
    {"libcups", "cupsGetDests2", [](std::string* e) -> const void* { return LoadCupsLibrary(e); }},
};

TEST(SharedLibrary, EachTableLoadsOnceAndAMissingOrWrongLibraryIsNamed) {
  for (const Loader& loader : kLoaders) {
    SCOPED_TRACE(loader.name);
    std::string error = "stale";
    const void* kept = loader.load(&error);
    ASSERT_NE(kept, nullptr) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(loader.load(nullptr), kept);
    {
      ScopedLibraryFiles missing(loader.name, {kNoLibrary});
      EXPECT_EQ(loader.load(&error), nullptr);
      EXPECT_NE(error.find(std::string(loader.name) + " cannot be loaded"), std::string::npos)
          << error;
      EXPECT_NE(error.find(kNoLibrary), std::string::npos) << error;
    }
    {
      ScopedLibraryFiles wrong(loader.name, {kNoLibrary, kOtherLibrary});
      EXPECT_EQ(loader.load(&error), nullptr);
      EXPECT_NE(error.find(std::string(loader.name) + " (" + kOtherLibrary + ")"),
                std::string::npos)
          << error;
      EXPECT_NE(error.find(std::string("has no ") + loader.first_entry), std::string::npos)
          << error;
    }
    // The replacement gone, the table kept from the first load is answered again.
    EXPECT_EQ(loader.load(&error), kept);
    EXPECT_EQ(error, "");
  }
}

// What each feature that needs one of the libraries tells its caller when it is missing.
TEST(SharedLibrary, AFeatureWithoutItsLibrarySaysWhichIsMissing) {
  const struct {
    const char* library;
    std::string (*use)();
  } cases[] = {
      {"libcurl",
       [] {
         const std::unique_ptr<FtpEngine> engine = MakeCurlFtpEngine();
         if (engine->Connect("127.0.0.1", 21, 1) != -1) return std::string("connected");
         return engine->ErrorText(engine->LastError());
       }},
      {"libcrypto",
       [] {
         CipherContext context;
         const int code = context.Init(kCipherAes128Ctr);
         return code == kCipherNoLibrary ? CipherErrorText(code) : "code " + std::to_string(code);
       }},
      {"libcups",
       [] {
         std::string problem;
         const std::vector<PrinterEntry> printers = ListPrinters(&problem);
         const std::string device = DefaultPrinterDevice(&problem);
         if (!printers.empty() || device != ",,,") return std::string("printers listed");
         return problem;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.library);
    const ScopedLibraryFiles missing(c.library, {kNoLibrary});
    const std::string said = c.use();
    EXPECT_NE(said.find(std::string(c.library) + " cannot be loaded"), std::string::npos) << said;
  }
}

// The libraries an ELF file names as needed (its DT_NEEDED entries).
std::vector<std::string> NeededLibraries(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string bytes(fs::file_size(file), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  std::vector<std::string> needed;
  if (bytes.size() < sizeof(Elf64_Ehdr)) return needed;
  const auto* header = reinterpret_cast<const Elf64_Ehdr*>(bytes.data());
  const auto* sections = reinterpret_cast<const Elf64_Shdr*>(bytes.data() + header->e_shoff);
  for (int i = 0; i < header->e_shnum; ++i) {
    if (sections[i].sh_type != SHT_DYNAMIC) continue;
    const char* strings = bytes.data() + sections[sections[i].sh_link].sh_offset;
    const auto* entry = reinterpret_cast<const Elf64_Dyn*>(bytes.data() + sections[i].sh_offset);
    for (; entry->d_tag != DT_NULL; ++entry) {
      if (entry->d_tag == DT_NEEDED) needed.emplace_back(strings + entry->d_un.d_val);
    }
  }
  return needed;
}

TEST(SharedLibrary, NeitherTheDataLibraryNorTheProgramLinksALibraryOpenedAtFirstUse) {
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&LoadCurlLibrary), &info), 0);
  std::vector<fs::path> files = {info.dli_fname};
  const fs::path program = fs::read_symlink("/proc/self/exe").parent_path() / "VX";
  if (fs::exists(program)) files.push_back(program);  // the test may be built without it
  for (const fs::path& file : files) {
    const std::vector<std::string> needed = NeededLibraries(file);
    ASSERT_FALSE(needed.empty()) << file;
    for (const std::string& library : needed) {
      for (const char* lazy : {"libcurl", "libcrypto", "libssl", "libcups", "libpq"}) {
        EXPECT_FALSE(library.starts_with(lazy)) << file << " needs " << library;
      }
    }
  }
}

}  // namespace
}  // namespace vx::platform
