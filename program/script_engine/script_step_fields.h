// A field of a script step read and written as text, for the tables that map arguments or file
// fields onto steps: text as it stands (without trailing blanks), numbers as decimal digits.
#pragma once

#include <string>
#include <string_view>

#include "datadll/dictionary/scripting_table.h"
#include "program/script_engine/script_text_tokens.h"

namespace vx {

struct StepField {
  std::string (*get)(const SCRIPTING_RECORD&);
  void (*set)(SCRIPTING_RECORD&, std::string_view);
};

template <auto Member>
constexpr StepField TextField() {
  return {[](const SCRIPTING_RECORD& s) { return std::string((s.*Member).clipped()); },
          [](SCRIPTING_RECORD& s, std::string_view v) { s.*Member = v; }};
}

template <auto Member>
constexpr StepField NumberField() {
  return {[](const SCRIPTING_RECORD& s) { return std::to_string(s.*Member); },
          [](SCRIPTING_RECORD& s, std::string_view v) { s.*Member = ReadWholeNumber(v); }};
}

}  // namespace vx
