#include "runtime/storage/errors.h"

namespace vx {
namespace storage {
namespace {

struct LastError {
  int code = 0;
  std::string file;
  int driver_code = 0;
  std::string driver_text;
};

LastError& Last() {
  thread_local LastError last;
  return last;
}

}  // namespace

const char* ErrorText(int code) {
  switch (code) {
    case kNoError:
      return "";
    case kFileNotFound:
      return "File Not Found";
    case kAccessDenied:
      return "Access Denied";
    case kIsLocked:
      return "File Is Already Locked";
    case kNoRecord:
      return "Record Not Available";
    case kRecordNotFound:
      return "Record Not Found";
    case kNotOpen:
      return "File Not Open";
    case kDuplicateKey:
      return "Creates Duplicate Key";
    case kBadKey:
      return "Invalid Key File";
    case kBadStructure:
      return "Invalid Record Declaration";
    case kAlreadyOpen:
      return "File Already Open";
    case kDriverError:
      return "File System Error";
    default:
      return "Unknown Error";
  }
}

void SetError(int code, const std::string& file, int driver_code, const std::string& driver_text) {
  LastError& last = Last();
  // Success after success: nothing to change (the common case of a walk).
  if (code == kNoError && last.code == kNoError && last.file.empty()) return;
  last.code = code;
  last.file = file;
  last.driver_code = code == kDriverError ? driver_code : 0;
  last.driver_text = code == kDriverError ? driver_text : std::string();
}

}  // namespace storage

int ERRORCODE() { return storage::Last().code; }
std::string ERROR() { return storage::ErrorText(storage::Last().code); }
std::string ERRORFILE() { return storage::Last().file; }
int FILEERRORCODE() { return storage::Last().driver_code; }
std::string FILEERROR() { return storage::Last().driver_text; }

}  // namespace vx
