// SHA-256 (FIPS 180-4) of a text, for keys that must tell every different text apart: two
// texts share a digest only if they are equal (no collision of SHA-256 is known).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// The 32-byte digest of the bytes of `data`.
std::array<std::uint8_t, 32> Sha256(std::string_view data);

// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view data);

}  // namespace vx
