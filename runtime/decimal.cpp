#include "runtime/decimal.h"

#include <cmath>
#include <cstdlib>

namespace vx {
namespace {

constexpr std::int64_t kPow10[] = {1,      10,      100,      1000,      10000,
                                   100000, 1000000, 10000000, 100000000, 1000000000};

int ClampPlaces(int places) {
  return places < 0 ? 0 : places > Decimal::kMaxPlaces ? Decimal::kMaxPlaces : places;
}

std::int64_t RoundDiv(std::int64_t value, std::int64_t divisor) {
  const std::int64_t q = value / divisor;
  const std::int64_t r = value % divisor;
  if (2 * std::llabs(r) >= divisor) return q + (value < 0 ? -1 : 1);
  return q;
}

}  // namespace

Decimal Decimal::FromUnits(std::int64_t units, int places) {
  Decimal d;
  d.units_ = units;
  d.places_ = static_cast<std::uint8_t>(ClampPlaces(places));
  return d;
}

Decimal Decimal::FromDouble(double value, int places) {
  places = ClampPlaces(places);
  const double scaled = std::round(value * static_cast<double>(kPow10[places]));
  if (!std::isfinite(scaled) || std::fabs(scaled) > 9.2e18) return FromUnits(0, places);
  return FromUnits(static_cast<std::int64_t>(scaled), places);
}

std::optional<Decimal> Decimal::Parse(std::string_view text, int places) {
  places = ClampPlaces(places);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t units = 0;
  int decimals = -1;  // -1 until the point is seen
  bool any_digit = false;
  int round_digit = -1;  // first digit beyond `places`
  for (char c : text) {
    if (c == '.') {
      if (decimals >= 0) return std::nullopt;
      decimals = 0;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    any_digit = true;
    if (decimals >= 0 && decimals >= places) {
      if (round_digit < 0) round_digit = c - '0';
      continue;
    }
    if (units > (INT64_MAX - 9) / 10) return std::nullopt;
    units = units * 10 + (c - '0');
    if (decimals >= 0) ++decimals;
  }
  if (!any_digit) return std::nullopt;
  for (int d = decimals < 0 ? 0 : decimals; d < places; ++d) {
    if (units > INT64_MAX / 10) return std::nullopt;
    units *= 10;
  }
  if (round_digit >= 5) ++units;
  return FromUnits(negative ? -units : units, places);
}

double Decimal::ToDouble() const {
  return static_cast<double>(units_) / static_cast<double>(kPow10[places_]);
}

std::string Decimal::ToString() const {
  const std::uint64_t magnitude =
      units_ < 0 ? 0 - static_cast<std::uint64_t>(units_) : static_cast<std::uint64_t>(units_);
  std::string digits = std::to_string(magnitude);
  if (places_ > 0) {
    if (digits.size() <= places_) digits.insert(0, places_ + 1 - digits.size(), '0');
    digits.insert(digits.size() - places_, ".");
  }
  return units_ < 0 ? "-" + digits : digits;
}

Decimal Decimal::Rescaled(int places) const {
  places = ClampPlaces(places);
  if (places == places_) return *this;
  if (places > places_) return FromUnits(units_ * kPow10[places - places_], places);
  return FromUnits(RoundDiv(units_, kPow10[places_ - places]), places);
}

bool operator==(const Decimal& a, const Decimal& b) {
  const int p = a.places_ > b.places_ ? a.places_ : b.places_;
  return a.Rescaled(p).units_ == b.Rescaled(p).units_;
}

bool operator<(const Decimal& a, const Decimal& b) {
  const int p = a.places_ > b.places_ ? a.places_ : b.places_;
  return a.Rescaled(p).units_ < b.Rescaled(p).units_;
}

}  // namespace vx
