// libFuzzer entry for the bracket expansion of script texts: for any variables and any text the
// expansion ends within its bounds (a fuzz run cannot time itself, so the work is counted: the
// scanning steps, the names resolved and the size of the result), and never a crash or a
// sanitizer finding.
//
// The input is lines: each line before the last that holds "=" sets a variable (name before the
// first "=", value after it, stored as the script variables store them), and the last line is
// the text to expand.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "program/scripts/bracket_expansion.h"
#include "runtime/fixed_string.h"

namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// Names in upper case cut to 32 bytes, values cut to 255, as the variable queue keeps them.
std::string StoredName(std::string_view name) { return std::string(vx::CutUtf8(Upper(name), 32)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::map<std::string, std::string> variables;
  for (std::size_t end = input.find('\n'); end != std::string_view::npos; end = input.find('\n')) {
    const std::string_view line = input.substr(0, end);
    input.remove_prefix(end + 1);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view value = line.substr(equals + 1);
    variables[StoredName(line.substr(0, equals))] = std::string(vx::CutUtf8(value, 255));
  }

  std::size_t asked = 0;
  const vx::BracketResolver resolve = [&](std::string_view name) {
    ++asked;
    if (name.size() > vx::kExpansionBufferSize) std::abort();
    const auto found = variables.find(StoredName(name));
    return found == variables.end() ? std::string() : found->second;
  };
  vx::ExpansionWork work;
  const std::string result = vx::ExpandBrackets(input, resolve, &work);
  if (work.steps > vx::kExpansionStepLimit) std::abort();
  if (asked != work.resolutions || asked > work.steps) std::abort();
  if (result.size() > vx::kExpansionBufferSize) std::abort();
  if (!result.empty() && result.back() == ' ') std::abort();
  // Plain text comes back as it is, without its trailing blanks.
  const std::string_view plain = vx::ClipView(vx::CutUtf8(input, vx::kExpansionBufferSize));
  if (input.find('[') == std::string_view::npos && result != plain) std::abort();
  return 0;
}
