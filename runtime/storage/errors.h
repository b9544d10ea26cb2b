// The runtime's file error codes and the calling thread's last file error.
//
// Every file operation sets the thread's last error: 0 on success, otherwise one of the codes
// below, the name of the file it concerned and, for code 90, the driver's own code and text.
#pragma once

#include <string>

namespace vx {

namespace storage {

enum ErrorCode : int {
  kNoError = 0,
  kFileNotFound = 2,     // missing file or table, create switch off
  kAccessDenied = 5,     // the operating system refused access, or a write to a read-only open
  kIsLocked = 32,        // still locked when the lock recovery time ran out
  kNoRecord = 33,        // NEXT/PREVIOUS past the end, or no current record
  kRecordNotFound = 35,  // GET found no record with the key's values
  kNotOpen = 37,         // the file is not open on this thread
  kDuplicateKey = 40,    // a unique key already holds the values: nothing was written
  kBadKey = 46,          // keys must be rebuilt
  kBadStructure = 47,    // the stored structure differs from the table's definition
  kAlreadyOpen = 52,     // OPEN of an open file: a success
  kDriverError = 90,     // the driver failed; FILEERRORCODE()/FILEERROR() tell how
};

// The runtime's text for a code ("Record Not Found", ...).
const char* ErrorText(int code);

// Sets the thread's last error. `driver_code`/`driver_text` matter for code 90 only.
void SetError(int code, const std::string& file, int driver_code = 0,
              const std::string& driver_text = {});
inline void ClearError() { SetError(kNoError, {}); }

}  // namespace storage

// The last file error of the calling thread, under the runtime's names.
int ERRORCODE();
std::string ERROR();
std::string ERRORFILE();
int FILEERRORCODE();
std::string FILEERROR();

}  // namespace vx
