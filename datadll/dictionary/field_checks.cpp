#include "datadll/dictionary/field_checks.h"

#include "framework/error_class.h"

namespace vx {

bool CheckToDoPriority(std::uint8_t priority, std::string_view field_name, ErrorClass& errors) {
  if (priority >= 1 && priority <= 10) return true;
  errors.SetField(field_name);
  errors.ThrowMessage(kMsgRangeError, "1 and 10");
  return false;
}

}  // namespace vx
