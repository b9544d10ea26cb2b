#include "program/admin/program_arguments.h"

#include <utility>

#include "runtime/text_functions.h"

namespace vx {
namespace {

std::vector<std::string>& Words() {
  static std::vector<std::string> words;
  return words;
}

}  // namespace

void SetProgramArguments(std::vector<std::string> words) { Words() = std::move(words); }

const std::vector<std::string>& ProgramArguments() { return Words(); }

bool HasCommandSwitch(std::string_view name) {
  const std::string wanted = UPPER(name);
  for (const std::string& word : Words()) {
    if (UPPER(word) == wanted) return true;
  }
  return false;
}

std::string CommandParameter(std::string_view name) {
  const std::string wanted = UPPER(name) + "=";
  for (const std::string& word : Words()) {
    if (word.size() >= wanted.size() && UPPER(word.substr(0, wanted.size())) == wanted) {
      return word.substr(wanted.size());
    }
  }
  return {};
}

}  // namespace vx
