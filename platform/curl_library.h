// libcurl, loaded the first time the program sends mail or opens an FTP session rather than when
// it starts: a program that does neither then never maps libcurl and the TLS, Kerberos, LDAP and
// SSH libraries it brings (about 5 MB of resident memory held for nothing, and their start-up
// relocations). See shared_library.h.
#pragma once

#include <curl/curl.h>

#include <string>

namespace vx::platform {

// The libcurl entries the mail transport and the FTP engine call.
struct CurlLibrary {
  CURLcode (*global_init)(long flags);
  void (*global_cleanup)();
  CURL* (*easy_init)();
  void (*easy_cleanup)(CURL* handle);
  void (*easy_reset)(CURL* handle);
  CURLcode (*easy_setopt)(CURL* handle, CURLoption option, ...);
  CURLcode (*easy_perform)(CURL* handle);
  CURLcode (*easy_getinfo)(CURL* handle, CURLINFO info, ...);
  const char* (*easy_strerror)(CURLcode code);
  char* (*easy_escape)(CURL* handle, const char* text, int length);
  void (*free)(void* text);
  curl_slist* (*slist_append)(curl_slist* list, const char* text);
  void (*slist_free_all)(curl_slist* list);
};

// Loads libcurl once (later calls answer the same) and runs its global initialisation; null
// when the library or one of its entries cannot be found, with `error` (when given) saying
// which.
const CurlLibrary* LoadCurlLibrary(std::string* error = nullptr);

}  // namespace vx::platform
