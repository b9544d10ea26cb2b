#include "platform/curl_library.h"

#include "platform/shared_library.h"

namespace vx::platform {
namespace {

void Fill(SharedLibrary& library, CurlLibrary& curl) {
  library.Entry("curl_global_init", curl.global_init);
  library.Entry("curl_global_cleanup", curl.global_cleanup);
  library.Entry("curl_easy_init", curl.easy_init);
  library.Entry("curl_easy_cleanup", curl.easy_cleanup);
  library.Entry("curl_easy_reset", curl.easy_reset);
  library.Entry("curl_easy_setopt", curl.easy_setopt);
  library.Entry("curl_easy_perform", curl.easy_perform);
  library.Entry("curl_easy_getinfo", curl.easy_getinfo);
  library.Entry("curl_easy_strerror", curl.easy_strerror);
  library.Entry("curl_easy_escape", curl.easy_escape);
  library.Entry("curl_free", curl.free);
  library.Entry("curl_slist_append", curl.slist_append);
  library.Entry("curl_slist_free_all", curl.slist_free_all);
  // Once for the process, which keeps the library: its global state is never torn down.
  if (library.error().empty()) curl.global_init(CURL_GLOBAL_DEFAULT);
}

}  // namespace

const CurlLibrary* LoadCurlLibrary(std::string* error) {
  static LazyLibrary<CurlLibrary> curl("libcurl", {"libcurl.so.4", "libcurl-gnutls.so.4"}, Fill);
  return curl.Get(error);
}

}  // namespace vx::platform
