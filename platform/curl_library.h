// libcurl, loaded the first time the program sends mail rather than when it starts: a program
// that never mails then never maps libcurl and the TLS, Kerberos, LDAP and SSH libraries it
// brings (about 5 MB of resident memory held for nothing, and their start-up relocations).
#pragma once

#include <curl/curl.h>

namespace vx::platform {

// The libcurl entries the mail transport calls.
struct CurlLibrary {
  CURLcode (*global_init)(long flags);
  CURL* (*easy_init)();
  void (*easy_cleanup)(CURL* handle);
  CURLcode (*easy_setopt)(CURL* handle, CURLoption option, ...);
  CURLcode (*easy_perform)(CURL* handle);
  CURLcode (*easy_getinfo)(CURL* handle, CURLINFO info, ...);
  const char* (*easy_strerror)(CURLcode code);
  curl_slist* (*slist_append)(curl_slist* list, const char* text);
  void (*slist_free_all)(curl_slist* list);
};

// Loads libcurl once (later calls answer the same) and runs its global initialisation; null
// when the library or one of its entries cannot be found.
const CurlLibrary* LoadCurlLibrary();

}  // namespace vx::platform
