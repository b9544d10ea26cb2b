// Numbers of the expression evaluator: exact decimals while they fit, binary floating point after.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

// A number as the evaluator computes with it. Literals, record fields and sums of money stay
// exact decimals (64-bit units with up to 9 decimal places), so 0.1 + 0.2 = 0.3 holds; a result
// that no longer fits (very large products, fractional powers) continues in double precision.
class ExprNumber {
 public:
  static constexpr int kMaxPlaces = 9;

  ExprNumber() = default;
  static ExprNumber FromInt(std::int64_t value) { return FromUnits(value, 0); }
  // units / 10^places; places above kMaxPlaces are rounded off half away from zero.
  static ExprNumber FromUnits(std::int64_t units, int places);
  static ExprNumber FromDouble(double value);
  // Reads an optional sign, digits and an optional fraction (".5", "12.", "-3.25"), with blanks
  // around; digits past kMaxPlaces are rounded. Nothing for any other text.
  static std::optional<ExprNumber> Parse(std::string_view text);

  bool exact() const { return exact_; }
  bool finite() const;
  bool IsZero() const;
  bool IsInteger() const;
  double ToDouble() const;
  // The value cut toward zero, held within the 64-bit range.
  std::int64_t Truncated() const;
  // Plain decimal text without trailing zeros or exponent: "3", "-2.5", "0.333333333".
  std::string ToText() const;

  ExprNumber operator-() const;
  friend ExprNumber operator+(const ExprNumber& a, const ExprNumber& b);
  friend ExprNumber operator-(const ExprNumber& a, const ExprNumber& b);
  friend ExprNumber operator*(const ExprNumber& a, const ExprNumber& b);
  // Quotient rounded to kMaxPlaces when both are exact; nothing when b is zero.
  static std::optional<ExprNumber> Divide(const ExprNumber& a, const ExprNumber& b);
  // Remainder with the sign of a; nothing when b is zero.
  static std::optional<ExprNumber> Modulo(const ExprNumber& a, const ExprNumber& b);
  // a to the power b; exact for whole exponents while the result fits. Nothing for 0 to a
  // negative power.
  static std::optional<ExprNumber> Power(const ExprNumber& a, const ExprNumber& b);
  // Rounds half away from zero to places (0..kMaxPlaces).
  ExprNumber Rounded(int places) const;

  friend std::partial_ordering operator<=>(const ExprNumber& a, const ExprNumber& b);
  friend bool operator==(const ExprNumber& a, const ExprNumber& b) {
    return (a <=> b) == std::partial_ordering::equivalent;
  }

 private:
  bool exact_ = true;
  std::int64_t units_ = 0;
  int places_ = 0;
  double approx_ = 0.0;
};

}  // namespace vx
