#include "runtime/expression/number.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vx {
namespace {

// 128-bit intermediates keep sums, products and scaled quotients of two 64-bit decimals exact.
__extension__ typedef __int128 Wide;

constexpr Wide kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr Wide kInt64Min = std::numeric_limits<std::int64_t>::min();

constexpr Wide Pow10(int n) {
  Wide p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

// Drops the last decimal digit, rounding half away from zero.
Wide DropDigit(Wide w) {
  Wide q = w / 10;
  const Wide r = w % 10;
  if (r >= 5) ++q;
  if (r <= -5) --q;
  return q;
}

// Past this many units another digit could overflow the wide accumulator.
constexpr Wide kParseLimit = Pow10(36);

bool FitsInt64(Wide w) { return w >= kInt64Min && w <= kInt64Max; }

double WideToDouble(Wide units, int places) {
  return static_cast<double>(static_cast<long double>(units) /
                             static_cast<long double>(Pow10(places)));
}

}  // namespace

// Builds a number from 128-bit units: rounds beyond kMaxPlaces, drops trailing zeros, and falls
// back to double precision when the value does not fit in 64-bit units.
static ExprNumber FromWide(Wide units, int places) {
  while (places > ExprNumber::kMaxPlaces) {
    units = DropDigit(units);
    --places;
  }
  while (places > 0 && units % 10 == 0) {
    units /= 10;
    --places;
  }
  while (!FitsInt64(units) && places > 0) {
    units = DropDigit(units);
    --places;
  }
  if (!FitsInt64(units)) return ExprNumber::FromDouble(WideToDouble(units, places));
  return ExprNumber::FromUnits(static_cast<std::int64_t>(units), places);
}

ExprNumber ExprNumber::FromUnits(std::int64_t units, int places) {
  if (places < 0) return FromWide(static_cast<Wide>(units) * Pow10(-places), 0);
  if (places > kMaxPlaces) return FromWide(units, places);
  ExprNumber n;
  n.units_ = units;
  n.places_ = places;
  return n;
}

ExprNumber ExprNumber::FromDouble(double value) {
  ExprNumber n;
  n.exact_ = false;
  n.approx_ = value;
  return n;
}

std::optional<ExprNumber> ExprNumber::Parse(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  std::size_t i = b;
  bool negative = false;
  if (i < e && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  Wide units = 0;
  int places = 0, digits = 0;
  bool point = false, overflow = false;
  for (; i < e; ++i) {
    const char c = text[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    ++digits;
    if (overflow || (point && places > kMaxPlaces)) continue;  // later digits cannot count
    if (units > kParseLimit) {
      overflow = true;
      continue;
    }
    units = units * 10 + (c - '0');
    if (point) ++places;
  }
  if (digits == 0) return std::nullopt;
  if (overflow) {
    const std::string copy(text.substr(b, e - b));
    return FromDouble(std::strtod(copy.c_str(), nullptr));
  }
  return FromWide(negative ? -units : units, places);
}

bool ExprNumber::finite() const { return exact_ || std::isfinite(approx_); }
bool ExprNumber::IsZero() const { return exact_ ? units_ == 0 : approx_ == 0.0; }

bool ExprNumber::IsInteger() const {
  if (!exact_) return std::isfinite(approx_) && std::trunc(approx_) == approx_;
  return static_cast<Wide>(units_) % Pow10(places_) == 0;
}

double ExprNumber::ToDouble() const { return exact_ ? WideToDouble(units_, places_) : approx_; }

std::int64_t ExprNumber::Truncated() const {
  if (exact_) return static_cast<std::int64_t>(static_cast<Wide>(units_) / Pow10(places_));
  if (!(approx_ == approx_)) return 0;  // NaN
  if (approx_ >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
  if (approx_ <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(approx_);
}

std::string ExprNumber::ToText() const {
  char buffer[400];
  if (!exact_) {
    if (!std::isfinite(approx_)) return "0";
    if (std::fabs(approx_) < 1e15) {
      std::snprintf(buffer, sizeof buffer, "%.9f", approx_);
    } else {
      std::snprintf(buffer, sizeof buffer, "%.0f", approx_);
    }
    std::string s(buffer);
    if (s.find('.') != std::string::npos) {
      while (s.back() == '0') s.pop_back();
      if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
  }
  const ExprNumber n = FromWide(units_, places_);  // without trailing zeros
  const bool negative = n.units_ < 0;
  // The magnitude of INT64_MIN does not fit an int64, so digits are taken from the wide value.
  Wide magnitude = negative ? -static_cast<Wide>(n.units_) : static_cast<Wide>(n.units_);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  } while (magnitude != 0);
  if (n.places_ > 0) {
    if (static_cast<int>(digits.size()) <= n.places_) {
      digits.insert(0, static_cast<std::size_t>(n.places_) + 1 - digits.size(), '0');
    }
    digits.insert(digits.size() - static_cast<std::size_t>(n.places_), 1, '.');
  }
  return negative ? "-" + digits : digits;
}

ExprNumber ExprNumber::operator-() const {
  if (!exact_) return FromDouble(-approx_);
  return FromWide(-static_cast<Wide>(units_), places_);
}

ExprNumber operator+(const ExprNumber& a, const ExprNumber& b) {
  if (!a.exact_ || !b.exact_) return ExprNumber::FromDouble(a.ToDouble() + b.ToDouble());
  const int p = a.places_ > b.places_ ? a.places_ : b.places_;
  return FromWide(static_cast<Wide>(a.units_) * Pow10(p - a.places_) +
                      static_cast<Wide>(b.units_) * Pow10(p - b.places_),
                  p);
}

ExprNumber operator-(const ExprNumber& a, const ExprNumber& b) { return a + (-b); }

ExprNumber operator*(const ExprNumber& a, const ExprNumber& b) {
  if (!a.exact_ || !b.exact_) return ExprNumber::FromDouble(a.ToDouble() * b.ToDouble());
  return FromWide(static_cast<Wide>(a.units_) * static_cast<Wide>(b.units_), a.places_ + b.places_);
}

std::optional<ExprNumber> ExprNumber::Divide(const ExprNumber& a, const ExprNumber& b) {
  if (b.IsZero()) return std::nullopt;
  if (!a.exact_ || !b.exact_) return FromDouble(a.ToDouble() / b.ToDouble());
  // Scale the dividend so that the quotient of the units carries kMaxPlaces decimals.
  const Wide n = static_cast<Wide>(a.units_) * Pow10(kMaxPlaces + b.places_ - a.places_);
  const Wide d = b.units_;
  Wide q = n / d;
  const Wide r = n % d;
  const Wide twice_r = r < 0 ? -2 * r : 2 * r;
  const Wide abs_d = d < 0 ? -d : d;
  if (twice_r >= abs_d) q += ((n < 0) != (d < 0)) ? -1 : 1;
  return FromWide(q, kMaxPlaces);
}

std::optional<ExprNumber> ExprNumber::Modulo(const ExprNumber& a, const ExprNumber& b) {
  if (b.IsZero()) return std::nullopt;
  if (!a.exact_ || !b.exact_) return FromDouble(std::fmod(a.ToDouble(), b.ToDouble()));
  const int p = a.places_ > b.places_ ? a.places_ : b.places_;
  const Wide x = static_cast<Wide>(a.units_) * Pow10(p - a.places_);
  const Wide y = static_cast<Wide>(b.units_) * Pow10(p - b.places_);
  return FromWide(x % y, p);
}

std::optional<ExprNumber> ExprNumber::Power(const ExprNumber& a, const ExprNumber& b) {
  if (a.IsZero() && b.ToDouble() < 0) return std::nullopt;
  if (!a.exact_ || !b.IsInteger()) return FromDouble(std::pow(a.ToDouble(), b.ToDouble()));
  const std::int64_t e = b.Truncated();
  // Squaring keeps the work at one step per bit of the exponent, however large it is.
  std::uint64_t bits = e < 0 ? 0 - static_cast<std::uint64_t>(e) : static_cast<std::uint64_t>(e);
  ExprNumber result = FromInt(1), base = a;
  while (bits != 0 && result.finite()) {
    if (bits & 1) result = result * base;
    bits >>= 1;
    if (bits != 0) base = base * base;
  }
  if (e < 0) return Divide(FromInt(1), result);
  return result;
}

ExprNumber ExprNumber::Rounded(int places) const {
  if (places < 0) places = 0;
  if (places > kMaxPlaces) places = kMaxPlaces;
  if (!exact_) {
    const double scale = std::pow(10.0, places);
    return FromDouble(std::round(approx_ * scale) / scale);
  }
  Wide u = units_;
  for (int p = places_; p > places; --p) u = DropDigit(u);
  return FromWide(u, places_ < places ? places_ : places);
}

std::partial_ordering operator<=>(const ExprNumber& a, const ExprNumber& b) {
  if (!a.exact_ || !b.exact_) return a.ToDouble() <=> b.ToDouble();
  const int p = a.places_ > b.places_ ? a.places_ : b.places_;
  const Wide x = static_cast<Wide>(a.units_) * Pow10(p - a.places_);
  const Wide y = static_cast<Wide>(b.units_) * Pow10(p - b.places_);
  return x < y   ? std::partial_ordering::less
         : x > y ? std::partial_ordering::greater
                 : std::partial_ordering::equivalent;
}

}  // namespace vx
