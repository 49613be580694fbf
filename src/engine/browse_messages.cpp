#include "engine/browse_messages.h"

#include "engine/prompt_text.h"

namespace engine {

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
                                  const platform::Status& status,
                                  std::string_view shown) {
  std::string prompt = "The folder ";
  prompt.append(folder).append(" cannot be opened.");
  prompt.append(kCrLf).append(kCrLf).append(ReasonOf(status));
  if (!shown.empty()) {
    prompt.append(kCrLf).append(kCrLf).append("The lists show ");
    prompt.append(shown).append(".");
  }
  return prompt;
}

std::string FilesNotListedPrompt(std::string_view folder,
                                 const platform::Status& status) {
  std::string prompt = "The files of the folder ";
  prompt.append(folder).append(" cannot be listed.");
  prompt.append(kCrLf).append(kCrLf).append(ReasonOf(status));
  return prompt;
}

}  // namespace engine
