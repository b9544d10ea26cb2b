#include <string>
#include <string_view>

#include "program/scripts/bracket_expansion.h"
#include "program/scripts/script_variables.h"

namespace vx {

std::string ExpandVariables(std::string_view /*Label*/, std::string_view Text) {
  return ExpandVariables(Text);
}

std::string ExpandVariables(std::string_view Text) {
  return ExpandBrackets(Text, TranslateVariable);
}

}  // namespace vx
