#include "platform/number_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <system_error>

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Moves the digits at the front of `text` onto `out`; returns how many.
size_t TakeDigits(std::string_view& text, std::string& out) {
  size_t count = 0;
  while (count < text.size() && IsDigit(text[count])) ++count;
  out.append(text.substr(0, count));
  text.remove_prefix(count);
  return count;
}

// The number written in `text` (blanks already trimmed) in the plain
// "digits.digits e digits" form std::from_chars reads, or nullopt when the
// text holds anything beyond sign, digits, one separator and an exponent.
std::optional<std::string> Canonical(std::string_view text,
                                     std::string_view separator) {
  std::string out;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    if (text.front() == '-') out.push_back('-');
    text.remove_prefix(1);
  }
  size_t digits = TakeDigits(text, out);
  if (!separator.empty() && text.starts_with(separator)) {
    text.remove_prefix(separator.size());
    out.push_back('.');
    digits += TakeDigits(text, out);
  }
  if (digits == 0) return std::nullopt;
  if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
    text.remove_prefix(1);
    out.push_back('e');
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
      out.push_back(text.front());
      text.remove_prefix(1);
    }
    if (TakeDigits(text, out) == 0) return std::nullopt;
  }
  if (!text.empty()) return std::nullopt;
  return out;
}

std::optional<double> ParseCanonical(std::string_view text) {
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(),
                                      value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// Whole numbers below this magnitude are written digit by digit.
constexpr double kPlainDigitsLimit = 1e16;

// The shortest text that reads back as `value`, in the given form.
std::string ShortestChars(double value, std::chars_format format) {
  std::array<char, 64> buffer;
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                              value, format);
  return std::string(buffer.data(), result.ptr);
}

// `value` rounded to `digits` significant digits, trailing zeros dropped.
std::string SignificantChars(double value, int digits) {
  std::array<char, 64> buffer;
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                              value, std::chars_format::general, digits);
  return std::string(buffer.data(), result.ptr);
}

}  // namespace

std::optional<double> NumberFormat::Parse(std::string_view text) const {
  std::optional<std::string> canonical =
      Canonical(TrimBlanks(text), decimal_separator_);
  if (!canonical) return std::nullopt;
  return ParseCanonical(*canonical);
}

std::string NumberFormat::Format(double value) const {
  if (value == 0) return "0";  // also -0
  if (std::isfinite(value) && value == std::trunc(value) &&
      std::fabs(value) < kPlainDigitsLimit) {
    return ShortestChars(value, std::chars_format::fixed);
  }
  std::string text = SignificantChars(value, 15);
  // Fifteen digits can round past the largest double; such text would not
  // read back, so keep the shortest exact form instead.
  if (std::isfinite(value) && !ParseCanonical(text)) {
    text = ShortestChars(value, std::chars_format::general);
  }
  if (size_t point = text.find('.'); point != std::string::npos) {
    text.replace(point, 1, decimal_separator_);
  }
  return text;
}

}  // namespace platform
