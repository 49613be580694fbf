#include "engine/name_template.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "engine/prompt_text.h"

namespace engine {
namespace {

// The running numbers at which the padding loses one zero.
constexpr double kPaddingThresholds[] = {10, 100, 1000, 10000, 100000};

bool IsPaddingThreshold(double value) {
  for (double threshold : kPaddingThresholds) {
    if (value == threshold) return true;
  }
  return false;
}

}  // namespace

std::string BadCharactersPrompt() {
  std::string prompt = "A file name may not contain any of the following:";
  prompt.append(kCrLf).append(kCrLf).append(kIndent);
  prompt += kForbiddenNameCharactersShown;
  return prompt;
}

std::string ComposeNewPath(std::string_view folder, std::string_view base_name,
                           std::string_view padding_text,
                           std::string_view running_number,
                           std::string_view extension) {
  std::string path;
  path.reserve(folder.size() + base_name.size() + padding_text.size() +
               running_number.size() + extension.size() + 2);
  path.append(folder);
  path.push_back('\\');
  path.append(base_name);
  path.append(padding_text);
  path.append(running_number);
  path.push_back('.');
  path.append(extension);
  return path;
}

// The forbidden characters are all ASCII, and no byte of a multi-byte UTF-8
// sequence is ASCII, so a byte-wise search finds exactly the characters.
bool CheckBaseName(std::string_view base_name) {
  return base_name.find_first_of(kForbiddenNameCharacters) ==
         std::string_view::npos;
}

std::optional<std::string> AdvanceRunningNumber(
    std::string_view running_number, const platform::NumberFormat& numbers) {
  std::optional<double> value = numbers.Parse(running_number);
  if (!value) return std::nullopt;
  return numbers.Format(*value + 1);
}

bool NumbersStayDistinct(std::string_view running_number, size_t count,
                         const platform::NumberFormat& numbers) {
  std::optional<double> value = numbers.Parse(running_number);
  if (!value) return false;
  // Whole numbers up to 2^53 are exact, and so is every sum on the way.
  constexpr double kLastExact = 9007199254740992.0;
  const double steps = static_cast<double>(std::max<size_t>(count, 2));
  if (*value == std::floor(*value) && std::fabs(*value) + steps <= kLastExact) {
    return true;
  }
  // Elsewhere the written-back text decides: follow the run number by number.
  std::string text(running_number);
  double previous = *value;
  for (size_t i = 1; i < static_cast<size_t>(steps); ++i) {
    std::optional<std::string> next = AdvanceRunningNumber(text, numbers);
    std::optional<double> next_value =
        next ? numbers.Parse(*next) : std::nullopt;
    if (!next_value || *next_value <= previous) return false;
    previous = *next_value;
    text = std::move(*next);
  }
  return true;
}

int StepPadding(std::string_view advanced, int padding_index,
                const platform::NumberFormat& numbers) {
  std::optional<double> value = numbers.Parse(advanced);
  if (!value || !IsPaddingThreshold(*value)) return padding_index;
  if (padding_index >= 1 && padding_index <= 5) return padding_index - 1;
  return padding_index;
}

std::string RunningNumberBoxText(std::string_view text) {
  return text.empty() ? std::string("1") : std::string(text);
}

}  // namespace engine
