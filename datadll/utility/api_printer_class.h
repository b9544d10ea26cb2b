// The printers installed on the machine and the default one, read from the desktop's print
// system. No printer at all is a normal answer: an empty list, and the default's name ",,,".
#pragma once

#include <memory>
#include <string>

#include "runtime/fixed_string.h"
#include "runtime/queue.h"

namespace vx {

struct PRINTERQ_RECORD {
  CString<256> SHOWNAME;  // "name on port"
  CString<256> PRINTERNAME;
};
using PRINTERQUEUE = Queue<PRINTERQ_RECORD>;

// The default printer's name: the text of its entry before the first ",", or the whole entry
// when it has no "," or begins with one (",,," when there is no default).
std::string GETDEFAULTPRINTER();
// Appends a row per printer to `queue` (what it held stays) and answers the number of the last
// row naming the default printer (any case), 1 when none does.
long GETPRINTERLIST(PRINTERQUEUE& queue);

class APIPRINTERCLASS {
 public:
  virtual ~APIPRINTERCLASS() = default;
  virtual void INIT();
  // Reads the default again and appends the printers to PRINTERQ once more.
  virtual void RESET();
  virtual void KILL();
  std::string GETDEFAULTPRINTER() const { return DEFAULTPRINTER.str(); }

  String<256> DEFAULTPRINTER;
  PRINTERQUEUE* PRINTERQ = nullptr;

 private:
  std::unique_ptr<PRINTERQUEUE> queue_;
};

}  // namespace vx
