#include "platform/curl_library.h"

#include <dlfcn.h>

#include <mutex>

namespace vx::platform {
namespace {

template <class Fn>
bool Resolve(void* library, const char* name, Fn& entry) {
  entry = reinterpret_cast<Fn>(dlsym(library, name));
  return entry != nullptr;
}

CurlLibrary* Load() {
  // The library stays loaded for the life of the process: handles may outlive any caller.
  void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  if (!library) library = dlopen("libcurl-gnutls.so.4", RTLD_NOW | RTLD_LOCAL);
  if (!library) return nullptr;
  static CurlLibrary curl;
  const bool found = Resolve(library, "curl_global_init", curl.global_init) &&
                     Resolve(library, "curl_easy_init", curl.easy_init) &&
                     Resolve(library, "curl_easy_cleanup", curl.easy_cleanup) &&
                     Resolve(library, "curl_easy_setopt", curl.easy_setopt) &&
                     Resolve(library, "curl_easy_perform", curl.easy_perform) &&
                     Resolve(library, "curl_easy_getinfo", curl.easy_getinfo) &&
                     Resolve(library, "curl_easy_strerror", curl.easy_strerror) &&
                     Resolve(library, "curl_slist_append", curl.slist_append) &&
                     Resolve(library, "curl_slist_free_all", curl.slist_free_all);
  if (!found) return nullptr;
  curl.global_init(CURL_GLOBAL_DEFAULT);
  return &curl;
}

}  // namespace

const CurlLibrary* LoadCurlLibrary() {
  static std::once_flag once;
  static const CurlLibrary* loaded = nullptr;
  std::call_once(once, [] { loaded = Load(); });
  return loaded;
}

}  // namespace vx::platform
