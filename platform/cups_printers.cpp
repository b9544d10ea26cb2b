// The printers of the CUPS client library: the destinations cupsGetDests2 lists (its local and
// shared queues and those of the server named by CUPS_SERVER or the client settings); its
// default is the user's lpoptions default or the server's.
#include <cups/cups.h>

#include "platform/printers.h"

namespace vx::platform {
namespace {

std::string Port(const cups_dest_t& dest) {
  for (const char* option : {"device-uri", "printer-location"}) {
    const char* value = cupsGetOption(option, dest.num_options, dest.options);
    if (value != nullptr && *value != '\0') return value;
  }
  return cupsServer() != nullptr ? cupsServer() : "CUPS";
}

// The destinations, freed with the object.
class Destinations {
 public:
  Destinations() : count_(cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_)) {}
  ~Destinations() { cupsFreeDests(count_, dests_); }
  Destinations(const Destinations&) = delete;
  Destinations& operator=(const Destinations&) = delete;
  int count() const { return dests_ != nullptr ? count_ : 0; }
  const cups_dest_t& operator[](int i) const { return dests_[i]; }

 private:
  cups_dest_t* dests_ = nullptr;
  int count_ = 0;
};

}  // namespace

std::vector<PrinterEntry> ListPrinters() {
  const Destinations dests;
  std::vector<PrinterEntry> out;
  for (int i = 0; i < dests.count(); ++i) {
    // An instance ("name/instance") is a set of options of its printer, not a printer.
    if (dests[i].instance != nullptr) continue;
    out.push_back({dests[i].name, Port(dests[i])});
  }
  return out;
}

std::string DefaultPrinterDevice() {
  const Destinations dests;
  for (int i = 0; i < dests.count(); ++i) {
    if (dests[i].is_default != 0) return std::string(dests[i].name) + ",cups," + Port(dests[i]);
  }
  return ",,,";
}

}  // namespace vx::platform
