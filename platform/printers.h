// The printers the desktop's print system offers (CUPS): their names, where each prints, and
// which one is the default. A machine without a print system, or with no printer set up, has
// none: an empty list and no default are a normal answer, not a failure. So is a machine without
// the print system's client library (loaded at the first call), on which `problem`, when given,
// says that it is missing; otherwise it is cleared.
#pragma once

#include <string>
#include <vector>

namespace vx::platform {

struct PrinterEntry {
  std::string name;
  std::string port;  // where it prints: its device, else its location, else the server's name
};

// The printers in the print system's order; empty when there are none or no server answers.
std::vector<PrinterEntry> ListPrinters(std::string* problem = nullptr);

// The default printer's entry as "name,spooler,port", or ",,," when there is none.
std::string DefaultPrinterDevice(std::string* problem = nullptr);

}  // namespace vx::platform
