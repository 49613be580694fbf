#ifndef PELLOQUIN_PLATFORM_NUMBER_FORMAT_H_
#define PELLOQUIN_PLATFORM_NUMBER_FORMAT_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

// Conversion between text and double-precision numbers in the user's number
// format. Only the decimal separator varies; the caller supplies it.
class NumberFormat {
 public:
  explicit NumberFormat(std::string decimal_separator = ".")
      : decimal_separator_(std::move(decimal_separator)) {}

  // Reads blanks, an optional sign, digits with at most one decimal
  // separator, an optional exponent (e or E, optional sign, digits), blanks.
  // Anything else (inf, nan, hex, group separators, a value out of range)
  // is no number.
  std::optional<double> Parse(std::string_view text) const;

  // A whole number as plain digits (-0 as 0); any other value with up to 15
  // significant digits, trailing zeros dropped, the user's separator.
  std::string Format(double value) const;

  const std::string& decimal_separator() const { return decimal_separator_; }

 private:
  std::string decimal_separator_;
};

}  // namespace platform

#endif  // PELLOQUIN_PLATFORM_NUMBER_FORMAT_H_
