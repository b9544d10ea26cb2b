// The print system's client library (CUPS), loaded the first time the printers are listed rather
// than when the program starts: it brings GnuTLS, zeroconf and Kerberos with it, and most runs
// never print (see shared_library.h).
#pragma once

#include <cups/cups.h>

#include <string>

namespace vx::platform {

// The client library's entries the printer list calls, typed as the header declares them.
struct CupsLibrary {
  decltype(&cupsGetDests2) get_dests;
  decltype(&cupsFreeDests) free_dests;
  decltype(&cupsGetOption) get_option;
  decltype(&cupsServer) server;
};

// Loads the library once (later calls answer the same); null when it or one of its entries
// cannot be found, with `error` (when given) saying which.
const CupsLibrary* LoadCupsLibrary(std::string* error = nullptr);

}  // namespace vx::platform
