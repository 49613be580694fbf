#include "engine/new_folder.h"

#include <optional>

#include "engine/name_template.h"

namespace engine {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// message, blank line, four spaces, the folder label and the name.
std::string FolderPrompt(std::string_view message, std::string_view label,
                         std::string_view name) {
  std::string prompt(message);
  prompt.append(kCrLf).append(kCrLf).append("    ");
  prompt.append(label).append(name);
  return prompt;
}

// The host's reason, or the error's kind when the host gave none.
std::string ReasonOf(const platform::Status& status) {
  if (!status.message().empty()) return status.message();
  return status.ToString();
}

void ShowError(platform::MessageBox& message_box, std::string_view prompt,
               std::string_view title) {
  message_box.Show(prompt, platform::kStyleError, title);
}

}  // namespace

std::string RelocatedNotice(std::string_view target_folder) {
  std::string caption(kNoticeRelocatedPrefix);
  caption.append(target_folder);
  return caption;
}

std::string DriveNotReadyPrompt(std::string_view drive,
                                const platform::Status& status,
                                std::string_view still_shown) {
  std::string prompt = "The drive ";
  prompt.append(drive).append(" cannot be opened.");
  prompt.append(kCrLf).append(kCrLf).append(ReasonOf(status));
  if (!still_shown.empty()) {
    prompt.append(kCrLf).append(kCrLf).append("The lists stay on ");
    prompt.append(still_shown).append(".");
  }
  return prompt;
}

std::string FolderNotOpenedPrompt(std::string_view folder,
                                  const platform::Status& status) {
  std::string prompt = "The folder ";
  prompt.append(folder).append(" cannot be opened.");
  prompt.append(kCrLf).append(kCrLf).append(ReasonOf(status));
  return prompt;
}

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
  prompt.append(kCrLf).append(kCrLf).append("     ");
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
                                 platform::MessageBox& message_box) {
  if (name.empty()) return NewFolderOutcome::kIgnored;
  if (!CheckFolderName(name)) {
    ShowError(message_box, BadFolderCharactersPrompt(),
              kBadFolderCharactersTitle);
    return NewFolderOutcome::kRefused;
  }
  auto refuse = [&](const platform::Status& status) {
    ShowError(message_box, FolderMakeFailedPrompt(label, name, status),
              kCannotCreateTitle);
    return NewFolderOutcome::kRefused;
  };

  // "." and ".." pass the character check but name the folder itself and
  // its parent, which always exist.
  if (name == "." || name == "..") {
    ShowError(message_box, FolderExistsPrompt(label, name), kCannotCreateTitle);
    return NewFolderOutcome::kRefused;
  }
  constexpr uint32_t kAnyEntry = 31;
  auto existing = file_system.FindFirst(name, kAnyEntry);
  if (!existing.ok()) return refuse(existing.status());
  if (existing->has_value()) {
    auto attributes = file_system.GetAttributes(**existing);
    if (!attributes.ok()) return refuse(attributes.status());
    bool is_folder = (*attributes & platform::kAttrFolder) != 0;
    ShowError(message_box,
              is_folder ? FolderExistsPrompt(label, name)
                        : FileExistsPrompt(label, name),
              kCannotCreateTitle);
    return NewFolderOutcome::kRefused;
  }

  platform::Status made = file_system.MakeFolder(name);
  if (!made.ok()) return refuse(made);

  // Folders and plain files, as the classic check looks; hidden ones too,
  // since on this host a leading dot makes the new folder hidden.
  auto created = file_system.FindFirst(
      name, platform::kAttrFolder | platform::kAttrHidden);
  if (!created.ok() || !created->has_value()) {
    ShowError(message_box, FolderNotCreatedPrompt(label, name),
              kCannotCreateTitle);
    return NewFolderOutcome::kRefused;
  }
  return NewFolderOutcome::kCreated;
}

}  // namespace engine
