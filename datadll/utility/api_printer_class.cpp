#include "datadll/utility/api_printer_class.h"

#include "platform/printers.h"
#include "runtime/text_functions.h"

namespace vx {

std::string GETDEFAULTPRINTER() {
  const std::string device = platform::DefaultPrinterDevice().substr(0, 259);
  const std::size_t comma = device.find(',');
  if (comma == std::string::npos || comma == 0) return std::string(ClipView(device));
  return device.substr(0, comma);
}

long GETPRINTERLIST(PRINTERQUEUE& queue) {
  const std::string default_name = GETDEFAULTPRINTER();
  long found = 0;
  for (const platform::PrinterEntry& printer : platform::ListPrinters()) {
    queue.buffer.PRINTERNAME = printer.name;
    queue.buffer.SHOWNAME =
        std::string(ClipView(printer.name)) + " on " + std::string(ClipView(printer.port));
    queue.Add();
    if (UPPER(printer.name) == UPPER(default_name)) found = queue.Records();
  }
  return found != 0 ? found : 1;
}

void APIPRINTERCLASS::INIT() {
  queue_ = std::make_unique<PRINTERQUEUE>();
  PRINTERQ = queue_.get();
  RESET();
}

void APIPRINTERCLASS::RESET() {
  DEFAULTPRINTER = vx::GETDEFAULTPRINTER();
  if (PRINTERQ != nullptr) GETPRINTERLIST(*PRINTERQ);
}

void APIPRINTERCLASS::KILL() {
  if (queue_) queue_->Free();
  queue_.reset();
  PRINTERQ = nullptr;
}

}  // namespace vx
