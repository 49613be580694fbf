#ifndef PELLOQUIN_ENGINE_NEW_FOLDER_H_
#define PELLOQUIN_ENGINE_NEW_FOLDER_H_

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/status.h"

// The window-free rules of relocation: the location notice's captions and
// looks, the target-folder dialog's drive message, and the new-folder
// dialog's name check, messages and folder making.
namespace engine {

// The location notice.
inline constexpr std::string_view kNoticeInPlace =
    "Files will be renamed and located at: (original path)";
inline constexpr std::string_view kNoticeRelocatedPrefix =
    "Files will be renamed and re-located at: ";
// Colours as the classic toolkit holds them: top bit set = a system colour by
// the index in the low byte (13, the highlight colour); else RGB, red low.
inline constexpr unsigned kNoticePlainColour = 0x8000000Du;
inline constexpr unsigned kNoticeAlertColour = 0x000000FFu;

// The caption "OK" gives the notice for the chosen target folder.
std::string RelocatedNotice(std::string_view target_folder);

// The message for a drive that cannot be opened (error style): names the
// drive and the host's reason and, when given, the folder the window's
// lists still show.
inline constexpr std::string_view kDriveNotReadyTitle = "Drive Not Ready";
std::string DriveNotReadyPrompt(std::string_view drive,
                                const platform::Status& status,
                                std::string_view still_shown = {});

// The message for a folder that cannot be opened (error style): names the
// folder and the host's reason.
inline constexpr std::string_view kFolderNotOpenedTitle = "Folder Not Found";
std::string FolderNotOpenedPrompt(std::string_view folder,
                                  const platform::Status& status);

// The new-folder dialog.
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
// through `message_box`; `label` is quoted in the messages.
NewFolderOutcome CreateNewFolder(std::string_view name, std::string_view label,
                                 platform::FileSystem& file_system,
                                 platform::MessageBox& message_box);

}  // namespace engine

#endif  // PELLOQUIN_ENGINE_NEW_FOLDER_H_
