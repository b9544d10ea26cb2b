// The program's command line as the settings code reads it: switches such as "/I" and
// parameters such as "User=name".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vx {

// Keeps the words after the program's name; main calls it once before anything reads them.
void SetProgramArguments(std::vector<std::string> words);
const std::vector<std::string>& ProgramArguments();

// Whether a word equals the switch, without regard to letter case ("/i" is "/I").
bool HasCommandSwitch(std::string_view name);
// The value of the first word "name=value" (name without regard to case); empty when absent.
std::string CommandParameter(std::string_view name);

}  // namespace vx
