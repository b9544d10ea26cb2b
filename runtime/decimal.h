// DECIMAL values: exact fixed-point numbers with a given count of decimal places, as records and
// queues store money, sizes and the decimal copies of script variables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

class Decimal {
 public:
  static constexpr int kMaxPlaces = 9;

  Decimal() = default;
  // A value of units / 10^places (places 0..9).
  static Decimal FromUnits(std::int64_t units, int places);
  // Rounds half away from zero to the given places.
  static Decimal FromDouble(double value, int places);
  // Reads "-12.345", "+7", ".5", "1e3" is not accepted; blanks around are ignored. Extra digits
  // beyond `places` are rounded half away from zero. Returns nothing for text that is not a number.
  static std::optional<Decimal> Parse(std::string_view text, int places);

  std::int64_t units() const { return units_; }
  int places() const { return places_; }
  double ToDouble() const;
  // Plain text with exactly places() decimals ("-3.50"); no grouping.
  std::string ToString() const;
  // The same value at other places, rounding half away from zero.
  Decimal Rescaled(int places) const;

  friend bool operator==(const Decimal& a, const Decimal& b);
  friend bool operator<(const Decimal& a, const Decimal& b);

 private:
  std::int64_t units_ = 0;
  std::uint8_t places_ = 0;
};

}  // namespace vx
