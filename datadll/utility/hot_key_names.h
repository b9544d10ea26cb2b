// The built-in table of hot-key names and their virtual-key codes.
#pragma once

#include <cstdint>
#include <vector>

namespace vx {

// The key block handed to SYSHOTKEYCLASS::ADDTRN: a 16-bit entry count (low byte first), then
// per entry a length byte, the name and the virtual-key code byte. 92 entries; where two names
// share a code, the later one is the name the code reads back as.
const std::vector<std::uint8_t>& BuiltInKeyBlock();

}  // namespace vx
