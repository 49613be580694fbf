#ifndef PELLOQUIN_ENGINE_NAME_TEMPLATE_H_
#define PELLOQUIN_ENGINE_NAME_TEMPLATE_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/number_format.h"

// How each file of a batch gets its new name: the template, the base-name
// check, the running number and the padding step.
namespace engine {

// The padding choices; an item's index is the number of its zeros.
inline constexpr std::array<std::string_view, 6> kPaddingChoices = {
    "", "0", "00", "000", "0000", "00000"};

// The extension choices, without a dot.
inline constexpr std::array<std::string_view, 32> kExtensionChoices = {
    "jpg", "bmp", "gif", "mp3", "doc", "txt", "pdf",  "avi",
    "mpg", "wmv", "asf", "mov", "rm",  "psd", "tiff", "wav",
    "mid", "exe", "com", "bat", "png", "htm", "asp",  "css",
    "js",  "iso", "img", "tmp", "rtf", "zip", "rar",  "ace"};

// The characters no base name or new folder name may hold, and the spaced
// form in which messages show them.
inline constexpr std::string_view kForbiddenNameCharacters =
    "\\/:*?\"<>|&;,^()";
inline constexpr std::string_view kForbiddenNameCharactersShown =
    "\\ / : * ? \" < > | & ; , ^ ( )";

// The message for a base name that CheckBaseName refuses (error style).
inline constexpr std::string_view kBadCharactersTitle = "Bad Characters used";
std::string BadCharactersPrompt();

// folder + "\" + base name + padding + running number + "." + extension,
// nothing added, trimmed or checked.
std::string ComposeNewPath(std::string_view folder, std::string_view base_name,
                           std::string_view padding_text,
                           std::string_view running_number,
                           std::string_view extension);

// True when the base name holds no forbidden name character.
bool CheckBaseName(std::string_view base_name);

// The running number plus one, written back as text; nullopt when the text
// does not read as a number.
std::optional<std::string> AdvanceRunningNumber(
    std::string_view running_number, const platform::NumberFormat& numbers);

// True when `count` files numbered from `running_number` on get numbers
// that all differ: false when the text reads as no number, or when it is so
// large that adding 1 leaves it as it was (from 2^53 on, 1e20, ...). A
// single file counts as two, since the number is advanced after it too.
bool NumbersStayDistinct(std::string_view running_number, size_t count,
                         const platform::NumberFormat& numbers);

// The padding index to use after the running number advanced to
// `advanced`: one zero fewer when it equals 10, 100, 1000, 10000 or 100000.
int StepPadding(std::string_view advanced, int padding_index,
                const platform::NumberFormat& numbers);

// The running-number box rule: an empty text becomes "1", any other stays.
std::string RunningNumberBoxText(std::string_view text);

}  // namespace engine

#endif  // PELLOQUIN_ENGINE_NAME_TEMPLATE_H_
