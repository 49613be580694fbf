#ifndef PELLOQUIN_ENGINE_NEW_FOLDER_H_
#define PELLOQUIN_ENGINE_NEW_FOLDER_H_

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/status.h"

// The new-folder dialog's rules: the name check, the messages and the
// making of the folder.
namespace engine {

// The hint of the name box, and the titles of the dialog's messages.
inline constexpr std::string_view kNewFolderHint =
    "Enter a name without the following characters  \\ / : * ? \" < > | &  ; "
    ", ^ ( )";
inline constexpr std::string_view kBadFolderCharactersTitle = "Bad Characters";
inline constexpr std::string_view kCannotCreateTitle =
    "Can Not Create Directory";

// True when the name holds no forbidden name character.
bool CheckFolderName(std::string_view name);

// The caption of the label that shows where the new folder goes: the folder
// with one trailing backslash (a drive root such as "C:\" already has it).
std::string FolderLabelCaption(std::string_view current_folder);

// The prompts of the new-folder dialog's messages; `label` is the caption
// of its folder label, `name` the typed name.
std::string BadFolderCharactersPrompt();
std::string FolderExistsPrompt(std::string_view label, std::string_view name);
std::string FileExistsPrompt(std::string_view label, std::string_view name);
std::string FolderNotCreatedPrompt(std::string_view label,
                                   std::string_view name);
// A folder the file system refused to make: the folder and the host's reason.
std::string FolderMakeFailedPrompt(std::string_view label,
                                   std::string_view name,
                                   const platform::Status& status);

enum class NewFolderOutcome {
  kIgnored,  // the name was empty: nothing shown, nothing made
  kRefused,  // a message was shown; nothing was made
  kCreated,  // the folder exists now
};

// "Create Dir" up to the folder list: checks the name, looks it up in the
// current folder (any entry, hidden and system ones too), makes the folder
// there and checks that it is there. Every refusal shows its error message
// through `message_box`; `label` is quoted in the messages. On kCreated,
// `made` (when given) receives the name as the folder got it: a host that
// drops trailing dots and blanks from new names spells it without them.
NewFolderOutcome CreateNewFolder(std::string_view name, std::string_view label,
                                 platform::FileSystem& file_system,
                                 platform::MessageBox& message_box,
                                 std::string* made = nullptr);

}  // namespace engine

#endif  // PELLOQUIN_ENGINE_NEW_FOLDER_H_
