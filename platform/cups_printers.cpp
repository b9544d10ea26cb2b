// The printers of the CUPS client library (cups_library.h): the destinations cupsGetDests2
// lists (its local and shared queues and those of the server named by CUPS_SERVER or the client
// settings); its default is the user's lpoptions default or the server's.
#include "platform/cups_library.h"
#include "platform/printers.h"

namespace vx::platform {
namespace {

std::string Port(const CupsLibrary& cups, const cups_dest_t& dest) {
  for (const char* option : {"device-uri", "printer-location"}) {
    const char* value = cups.get_option(option, dest.num_options, dest.options);
    if (value != nullptr && *value != '\0') return value;
  }
  return cups.server() != nullptr ? cups.server() : "CUPS";
}

// The destinations, freed with the object; none when the library cannot be loaded, with
// problem() saying why.
class Destinations {
 public:
  Destinations() : cups_(LoadCupsLibrary(&problem_)) {
    if (cups_) count_ = cups_->get_dests(CUPS_HTTP_DEFAULT, &dests_);
  }
  ~Destinations() {
    if (cups_) cups_->free_dests(count_, dests_);
  }
  Destinations(const Destinations&) = delete;
  Destinations& operator=(const Destinations&) = delete;
  int count() const { return dests_ != nullptr ? count_ : 0; }
  const cups_dest_t& operator[](int i) const { return dests_[i]; }
  std::string Port(int i) const { return platform::Port(*cups_, dests_[i]); }
  const std::string& problem() const { return problem_; }

 private:
  std::string problem_;
  const CupsLibrary* cups_;
  cups_dest_t* dests_ = nullptr;
  int count_ = 0;
};

}  // namespace

std::vector<PrinterEntry> ListPrinters(std::string* problem) {
  const Destinations dests;
  if (problem) *problem = dests.problem();
  std::vector<PrinterEntry> out;
  for (int i = 0; i < dests.count(); ++i) {
    // An instance ("name/instance") is a set of options of its printer, not a printer.
    if (dests[i].instance != nullptr) continue;
    out.push_back({dests[i].name, dests.Port(i)});
  }
  return out;
}

std::string DefaultPrinterDevice(std::string* problem) {
  const Destinations dests;
  if (problem) *problem = dests.problem();
  for (int i = 0; i < dests.count(); ++i) {
    if (dests[i].is_default != 0) return std::string(dests[i].name) + ",cups," + dests.Port(i);
  }
  return ",,,";
}

}  // namespace vx::platform
