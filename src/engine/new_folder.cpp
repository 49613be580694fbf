#include "engine/new_folder.h"

#include <optional>

#include "engine/name_template.h"
#include "engine/prompt_text.h"

namespace engine {
namespace {

// message, blank line, four spaces, the folder label and the name.
std::string FolderPrompt(std::string_view message, std::string_view label,
                         std::string_view name) {
  std::string prompt(message);
  prompt.append(kCrLf).append(kCrLf).append("    ");
  prompt.append(label).append(name);
  return prompt;
}

}  // namespace

bool CheckFolderName(std::string_view name) {
  return name.find_first_of(kForbiddenNameCharacters) == std::string_view::npos;
}

std::string FolderLabelCaption(std::string_view current_folder) {
  std::string caption(current_folder);
  if (!caption.ends_with('\\')) caption.push_back('\\');
  return caption;
}

std::string BadFolderCharactersPrompt() {
  std::string prompt = "A directory name may not contain any of the following";
  prompt.append(kCrLf).append(kCrLf).append(kIndent);
  prompt.append(kForbiddenNameCharactersShown);
  return prompt;
}

std::string FolderExistsPrompt(std::string_view label, std::string_view name) {
  return FolderPrompt("The following directory already exists.", label, name);
}

std::string FileExistsPrompt(std::string_view label, std::string_view name) {
  return FolderPrompt("A file with the following name already exists.", label,
                      name);
}

std::string FolderNotCreatedPrompt(std::string_view label,
                                   std::string_view name) {
  return FolderPrompt("The following directory was not created", label, name);
}

std::string FolderMakeFailedPrompt(std::string_view label,
                                   std::string_view name,
                                   const platform::Status& status) {
  std::string prompt = FolderPrompt(
      "The following directory could not be created.", label, name);
  prompt.append(kCrLf).append(kCrLf).append(ReasonOf(status));
  return prompt;
}

NewFolderOutcome CreateNewFolder(std::string_view name, std::string_view label,
                                 platform::FileSystem& file_system,
                                 platform::MessageBox& message_box,
                                 std::string* made) {
  if (name.empty()) return NewFolderOutcome::kIgnored;
  if (!CheckFolderName(name)) {
    platform::ShowError(message_box, BadFolderCharactersPrompt(),
                        kBadFolderCharactersTitle);
    return NewFolderOutcome::kRefused;
  }
  auto refuse = [&](const platform::Status& status) {
    platform::ShowError(message_box,
                        FolderMakeFailedPrompt(label, name, status),
                        kCannotCreateTitle);
    return NewFolderOutcome::kRefused;
  };

  // "." and ".." pass the character check but name the folder itself and
  // its parent, which always exist.
  if (name == "." || name == "..") {
    platform::ShowError(message_box, FolderExistsPrompt(label, name),
                        kCannotCreateTitle);
    return NewFolderOutcome::kRefused;
  }
  constexpr uint32_t kAnyEntry = 31;
  auto existing = file_system.FindFirst(name, kAnyEntry);
  if (!existing.ok()) return refuse(existing.status());
  if (existing->has_value()) {
    auto attributes = file_system.GetAttributes(**existing);
    if (!attributes.ok()) return refuse(attributes.status());
    bool is_folder = (*attributes & platform::kAttrFolder) != 0;
    platform::ShowError(message_box,
                        is_folder ? FolderExistsPrompt(label, name)
                                  : FileExistsPrompt(label, name),
                        kCannotCreateTitle);
    return NewFolderOutcome::kRefused;
  }

  platform::Status making = file_system.MakeFolder(name);
  if (!making.ok()) return refuse(making);

  // Folders and plain files, as the classic check looks; hidden ones too,
  // since on this host a leading dot makes the new folder hidden.
  auto created = file_system.FindFirst(
      name, platform::kAttrFolder | platform::kAttrHidden);
  if (!created.ok() || !created->has_value()) {
    platform::ShowError(message_box, FolderNotCreatedPrompt(label, name),
                        kCannotCreateTitle);
    return NewFolderOutcome::kRefused;
  }
  if (made != nullptr) *made = **created;
  return NewFolderOutcome::kCreated;
}

}  // namespace engine
