#include "platform/win32/win32_names.h"

#include <array>
#include <cctype>
#include <optional>

#include "platform/win32/wide_text.h"

namespace platform::win32 {
namespace {

constexpr size_t kMaxNameUnits = 255;
constexpr std::string_view kForbidden = "<>:\"|";
constexpr std::string_view kWildcards = "?*";

Status InvalidName(std::string_view name, const char* reason) {
  return Status(Error::kInvalidName, std::string(name), reason);
}

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return upper;
}

bool IsDeviceName(std::string_view name) {
  // The device is named by the part before the first dot, trailing spaces
  // ignored: "nul.txt" and "COM1 .log" both open a device.
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  std::string upper = UpperAscii(stem);
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN",
                                                             "AUX", "NUL"};
  for (std::string_view device : kPlain) {
    if (upper == device) return true;
  }
  bool numbered = upper.size() == 4 && upper[3] >= '1' && upper[3] <= '9';
  return numbered && (upper.starts_with("COM") || upper.starts_with("LPT"));
}

}  // namespace

Status CheckHostName(std::string_view name, bool allow_wildcards) {
  std::optional<std::wstring> wide = ToWide(name);
  if (!wide) return InvalidName(name, "The name is not valid UTF-8.");
  if (wide->size() > kMaxNameUnits) {
    return Status(Error::kNameTooLong, std::string(name),
                  "The name is longer than 255 characters.");
  }
  for (char c : name) {
    bool control = static_cast<unsigned char>(c) < 0x20;
    bool forbidden = kForbidden.find(c) != std::string_view::npos;
    bool wildcard = kWildcards.find(c) != std::string_view::npos;
    if (control || forbidden || (wildcard && !allow_wildcards)) {
      return InvalidName(name,
                         "The name holds a character that is not allowed.");
    }
  }
  return Status();
}

Result<std::string> NewEntryName(std::string_view given) {
  std::string_view name = given;
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
    name.remove_suffix(1);
  }
  if (name.empty()) {
    return InvalidName(given, "The name holds nothing but dots and spaces.");
  }
  if (IsDeviceName(name)) {
    return InvalidName(given, "Windows reserves the name for a device.");
  }
  Status status = CheckHostName(name);
  if (!status.ok()) return status;
  return std::string(name);
}

}  // namespace platform::win32
