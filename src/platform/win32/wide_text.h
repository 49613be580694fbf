#ifndef PELLOQUIN_PLATFORM_WIN32_WIDE_TEXT_H_
#define PELLOQUIN_PLATFORM_WIN32_WIDE_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

// UTF-8 (the program's text) to UTF-16 (the host's) and back.
namespace platform::win32 {

// The UTF-16 form of UTF-8 text; nullopt when the text is no valid UTF-8.
std::optional<std::wstring> ToWide(std::string_view text);

// The UTF-8 form of UTF-16 text. A lone surrogate, which the host allows in
// names, becomes U+FFFD: the program never holds text that is not UTF-8.
std::string ToUtf8(std::wstring_view text);

}  // namespace platform::win32

#endif  // PELLOQUIN_PLATFORM_WIN32_WIDE_TEXT_H_
