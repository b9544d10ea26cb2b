#include "datadll/utility/hot_key_names.h"

#include <iterator>
#include <string_view>

namespace vx {
namespace {

struct KeyName {
  std::string_view name;
  std::uint8_t code;
};

// The order matters: names are looked up from the last entry to the first.
constexpr KeyName kKeyNames[] = {
    {"A", 65},        {"Ast", 106},      {"B", 66},          {"Bs", 8},           {"Backspace", 8},
    {"CapsLock", 20}, {"Caps", 20},      {"C", 67},          {"Decimal", 110},    {"Del", 46},
    {"Delete", 46},   {"D", 68},         {"Down", 40},       {"E", 69},           {"End", 35},
    {"Enter", 13},    {"Esc", 27},       {"F10", 121},       {"F11", 122},        {"F12", 123},
    {"F1", 112},      {"F2", 113},       {"F3", 114},        {"F4", 115},         {"F5", 116},
    {"F6", 117},      {"F7", 118},       {"F8", 119},        {"F9", 120},         {"F", 70},
    {"G", 71},        {"H", 72},         {"Home", 36},       {"I", 73},           {"Ins", 45},
    {"Insert", 45},   {"J", 74},         {"K", 75},          {"Left", 37},        {"L", 76},
    {"Minus", 109},   {"M", 77},         {"MouseCenter", 3}, {"MouseCenter2", 7}, {"Mouse", 1},
    {"MouseLeft", 1}, {"MouseLeft2", 5}, {"MouseRight", 2},  {"MouseRight2", 6},  {"N", 78},
    {"O", 79},        {"Pause", 19},     {"PgDn", 34},       {"PgUp", 33},        {"P", 80},
    {"Plus", 107},    {"Print", 44},     {"Q", 81},          {"Right", 39},       {"R", 82},
    {"S", 83},        {"Slash", 111},    {"Space", 32},      {"Tab", 9},          {"T", 84},
    {"U", 85},        {"Up", 38},        {"V", 86},          {"W", 87},           {"X", 88},
    {"Y", 89},        {"Z", 90},         {"0", 48},          {"1", 49},           {"2", 50},
    {"3", 51},        {"4", 52},         {"5", 53},          {"6", 54},           {"7", 55},
    {"8", 56},        {"9", 57},         {"Pad0", 96},       {"Pad1", 97},        {"Pad2", 98},
    {"Pad3", 99},     {"Pad4", 100},     {"Pad5", 101},      {"Pad6", 102},       {"Pad7", 103},
    {"Pad8", 104},    {"Pad9", 105},
};
static_assert(std::size(kKeyNames) == 92);

std::vector<std::uint8_t> BuildBlock() {
  std::vector<std::uint8_t> block;
  const auto count = static_cast<std::uint16_t>(std::size(kKeyNames));
  block.push_back(static_cast<std::uint8_t>(count & 0xFF));
  block.push_back(static_cast<std::uint8_t>(count >> 8));
  for (const KeyName& k : kKeyNames) {
    block.push_back(static_cast<std::uint8_t>(k.name.size()));
    block.insert(block.end(), k.name.begin(), k.name.end());
    block.push_back(k.code);
  }
  return block;
}

}  // namespace

const std::vector<std::uint8_t>& BuiltInKeyBlock() {
  static const std::vector<std::uint8_t> block = BuildBlock();
  return block;
}

}  // namespace vx
