#include "platform/drive_path.h"

#include <cctype>

namespace platform {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char UpperLetter(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::vector<std::string> SplitComponents(std::string_view text) {
  std::vector<std::string> components;
  size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && IsSeparator(text[pos])) ++pos;
    size_t end = pos;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    if (end > pos) components.emplace_back(text.substr(pos, end - pos));
    pos = end;
  }
  return components;
}

}  // namespace

std::optional<char> DriveNameLetter(std::string_view text) {
  if (text.size() < 2 || !IsLetter(text[0]) || text[1] != ':') {
    return std::nullopt;
  }
  std::string_view rest = text.substr(2);
  bool labelled = rest.size() >= 3 && rest.front() == ' ' && rest[1] == '[' &&
                  rest.back() == ']';
  if (!rest.empty() && !labelled) return std::nullopt;
  return UpperLetter(text[0]);
}

Result<ParsedPath> ParsePath(std::string_view text) {
  if (text.empty() || text.find('\0') != std::string_view::npos) {
    return Status(Error::kInvalidName, std::string(text),
                  "The path is empty or malformed.");
  }
  ParsedPath parsed;
  if (std::optional<char> letter = DriveNameLetter(text)) {
    parsed.drive = *letter;
    return parsed;
  }
  std::string_view rest = text;
  if (text.size() >= 2 && IsLetter(text[0]) && text[1] == ':') {
    parsed.drive = UpperLetter(text[0]);
    rest = text.substr(2);
  }
  parsed.rooted = !rest.empty() && IsSeparator(rest.front());
  parsed.components = SplitComponents(rest);
  return parsed;
}

std::vector<std::string> ResolveComponents(
    std::vector<std::string> base, const std::vector<std::string>& relative) {
  for (const std::string& component : relative) {
    if (component == ".") continue;
    if (component == "..") {
      if (!base.empty()) base.pop_back();
      continue;
    }
    base.push_back(component);
  }
  return base;
}

std::string FormatFolderPath(char drive,
                             const std::vector<std::string>& components) {
  std::string path{drive, ':'};
  if (components.empty()) return path + "\\";
  for (const std::string& component : components) {
    path += '\\';
    path += component;
  }
  return path;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || !IsSeparator(path.back())) path += '\\';
  path += name;
  return path;
}

}  // namespace platform
