#ifndef PELLOQUIN_PLATFORM_POSIX_HOST_NAME_H_
#define PELLOQUIN_PLATFORM_POSIX_HOST_NAME_H_

#include <string>
#include <string_view>

#include "platform/status.h"

// Host names (any bytes but "/" and NUL) in the program's name model (valid
// UTF-8 without the characters the classic desktop forbids). Each host byte
// that is one of \ : * ? " < > |, a control byte 0x01-0x1F, a byte of an
// invalid UTF-8 sequence, or a byte of a valid sequence encoding
// U+F000..U+F0FF becomes the character U+F000 + byte.
namespace platform::posix {

// True for a name of printable ASCII without / \ : * ? " < > |, the common
// case: its model name and its host name are the name itself.
bool IsPlainName(std::string_view name);

// The model name of a host name. Never fails.
std::string EscapeHostName(std::string_view host_name);

// The host name of a model name: each U+F0xx back to byte xx. kInvalidName
// for a name holding a raw \ / : * ? " < > | or control character, and for
// any name that is not what EscapeHostName gives for its host name, so that
// every accepted model name names exactly one host file and back.
Result<std::string> UnescapeModelName(std::string_view model_name);

}  // namespace platform::posix

#endif  // PELLOQUIN_PLATFORM_POSIX_HOST_NAME_H_
