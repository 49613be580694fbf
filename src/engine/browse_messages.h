#ifndef PELLOQUIN_ENGINE_BROWSE_MESSAGES_H_
#define PELLOQUIN_ENGINE_BROWSE_MESSAGES_H_

#include <string>
#include <string_view>

#include "platform/status.h"

// The messages of the windows' drive and folder lists.
namespace engine {

// The message for a drive that cannot be opened (error style): names the
// drive and the host's reason and, when given, the folder the window's
// lists still show.
inline constexpr std::string_view kDriveNotReadyTitle = "Drive Not Ready";
std::string DriveNotReadyPrompt(std::string_view drive,
                                const platform::Status& status,
                                std::string_view still_shown = {});

// The message for a folder that cannot be opened (error style): names the
// folder and the host's reason and, when given, the folder the lists show.
inline constexpr std::string_view kFolderNotOpenedTitle = "Folder Not Opened";
std::string FolderNotOpenedPrompt(std::string_view folder,
                                  const platform::Status& status,
                                  std::string_view shown = {});

// The message for the files of a folder that cannot be listed (error
// style): names the folder and the host's reason.
inline constexpr std::string_view kFilesNotListedTitle = "Files Not Listed";
std::string FilesNotListedPrompt(std::string_view folder,
                                 const platform::Status& status);

}  // namespace engine

#endif  // PELLOQUIN_ENGINE_BROWSE_MESSAGES_H_
