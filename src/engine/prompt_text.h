#ifndef PELLOQUIN_ENGINE_PROMPT_TEXT_H_
#define PELLOQUIN_ENGINE_PROMPT_TEXT_H_

#include <string>
#include <string_view>

#include "platform/status.h"

// The pieces the program's message prompts are put together from.
namespace engine {

// A line break in a prompt: carriage return, then line feed.
inline constexpr std::string_view kCrLf = "\r\n";
// The indent of a line that sets a list or a path apart: five spaces.
inline constexpr std::string_view kIndent = "     ";

// The host's reason for a failure, or the error's kind when the host gave
// none.
std::string ReasonOf(const platform::Status& status);

}  // namespace engine

#endif  // PELLOQUIN_ENGINE_PROMPT_TEXT_H_
