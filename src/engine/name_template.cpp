#include "engine/name_template.h"

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
