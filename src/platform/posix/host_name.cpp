#include "platform/posix/host_name.h"

#include <cstdint>

namespace platform::posix {
namespace {

constexpr std::string_view kReserved = "\\:*?\"<>|";

bool IsReservedByte(unsigned char byte) {
  return (byte >= 0x01 && byte <= 0x1F) ||
         kReserved.find(static_cast<char>(byte)) != std::string_view::npos;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at `pos` and its code point, or 0
// when the bytes there are no valid sequence.
size_t DecodeUtf8(std::string_view text, size_t pos, uint32_t& code_point) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(pos);
  size_t length = 0;
  uint32_t min = 0;
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, min = 0x80, code_point = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, min = 0x800, code_point = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, min = 0x10000, code_point = lead & 0x07;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation(byte(pos + i))) return 0;
    code_point = (code_point << 6) | (byte(pos + i) & 0x3F);
  }
  bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
  if (code_point < min || code_point > 0x10FFFF || surrogate) return 0;
  return length;
}

void AppendEscapedByte(std::string& out, unsigned char byte) {
  // U+F000 + byte, always three bytes of UTF-8: EF 80|(byte>>6) 80|(byte&3F).
  out += static_cast<char>(0xEF);
  out += static_cast<char>(0x80 | (byte >> 6));
  out += static_cast<char>(0x80 | (byte & 0x3F));
}

Status InvalidName(std::string_view name, const char* reason) {
  return Status(Error::kInvalidName, std::string(name), reason);
}

}  // namespace

bool IsPlainName(std::string_view name) {
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || byte == '/' || IsReservedByte(byte)) {
      return false;
    }
  }
  return true;
}

std::string EscapeHostName(std::string_view host_name) {
  if (IsPlainName(host_name)) return std::string(host_name);
  std::string out;
  out.reserve(host_name.size());
  size_t pos = 0;
  while (pos < host_name.size()) {
    uint32_t code_point = 0;
    size_t length = DecodeUtf8(host_name, pos, code_point);
    bool escape_sequence = length == 0 ||
                           (code_point >= 0xF000 && code_point <= 0xF0FF) ||
                           (length == 1 && IsReservedByte(code_point));
    if (!escape_sequence) {
      out.append(host_name.substr(pos, length));
      pos += length;
      continue;
    }
    size_t bytes = length == 0 ? 1 : length;
    for (size_t i = 0; i < bytes; ++i) {
      AppendEscapedByte(out, static_cast<unsigned char>(host_name[pos + i]));
    }
    pos += bytes;
  }
  return out;
}

Result<std::string> UnescapeModelName(std::string_view model_name) {
  if (IsPlainName(model_name)) return std::string(model_name);
  std::string host;
  host.reserve(model_name.size());
  size_t pos = 0;
  while (pos < model_name.size()) {
    uint32_t code_point = 0;
    size_t length = DecodeUtf8(model_name, pos, code_point);
    if (length == 0)
      return InvalidName(model_name, "The name is not valid UTF-8.");
    if (code_point == '/' || code_point == 0 ||
        (length == 1 && IsReservedByte(code_point))) {
      return InvalidName(model_name,
                         "The name holds a character that is not allowed.");
    }
    if (code_point >= 0xF000 && code_point <= 0xF0FF) {
      host += static_cast<char>(code_point - 0xF000);
    } else {
      host.append(model_name.substr(pos, length));
    }
    pos += length;
  }
  if (host.find('\0') != std::string::npos ||
      EscapeHostName(host) != model_name) {
    return InvalidName(model_name,
                       "The name holds a character that is not allowed.");
  }
  return host;
}

}  // namespace platform::posix
