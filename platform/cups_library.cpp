#include "platform/cups_library.h"

#include "platform/shared_library.h"

namespace vx::platform {
namespace {

void Fill(SharedLibrary& library, CupsLibrary& cups) {
  library.Entry("cupsGetDests2", cups.get_dests);
  library.Entry("cupsFreeDests", cups.free_dests);
  library.Entry("cupsGetOption", cups.get_option);
  library.Entry("cupsServer", cups.server);
}

}  // namespace

const CupsLibrary* LoadCupsLibrary(std::string* error) {
  static LazyLibrary<CupsLibrary> cups("libcups", {"libcups.so.2"}, Fill);
  return cups.Get(error);
}

}  // namespace vx::platform
