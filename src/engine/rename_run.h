#ifndef PELLOQUIN_ENGINE_RENAME_RUN_H_
#define PELLOQUIN_ENGINE_RENAME_RUN_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/number_format.h"

namespace engine {

// The inputs of one "Rename All" run, each read from one control of the
// main window.
struct RenameRequest {
  std::vector<std::string> source_paths;  // List1, in list order
  std::string base_name;                  // Text1
  int padding_index = -1;                 // Combo1's chosen index
  std::string padding_text;               // Combo1's text
  std::string running_number;             // Text3
  std::string extension;                  // Combo2's text
  bool relocate = false;                  // Check1 is 1
  std::string target_folder;              // Label8
  std::string browse_folder;              // File1's path
};

enum class RenameOutcome { Ignored, Refused, Declined, Completed, Stopped };

// The question asked before a run without an extension (Yes/No style).
inline constexpr std::string_view kNoExtensionTitle = "Wait...";
inline constexpr std::string_view kNoExtensionPrompt =
    "No extension or file type was sellected, proceed anyway?";

// The report after every listed file was renamed (information style): the
// file count followed by the suffix.
inline constexpr std::string_view kDoneTitle = "Done";
inline constexpr std::string_view kDoneSuffix =
    " files were renamed successfully!";

// A running number that does not read as a number (error style).
inline constexpr std::string_view kBadStartNumberTitle = "Bad Start Number";
std::string BadStartNumberPrompt(std::string_view running_number);
// A start number so large that adding 1 does not change it (error style,
// the same title).
std::string StartNumberTooLargePrompt(std::string_view running_number);

// An extension that would place the file outside its destination folder
// (error style).
inline constexpr std::string_view kBadExtensionTitle = "Bad Extension";
inline constexpr std::string_view kExtensionSeparators = "\\/:";
std::string BadExtensionPrompt(std::string_view extension);

// A rename the file system refused; the run stops at that file (error
// style). Names both paths and the host's reason.
inline constexpr std::string_view kRenameFailedTitle = "Rename Failed";
std::string RenameFailedPrompt(std::string_view from, std::string_view to,
                               const platform::Status& status);

// The window side of a run: each call is one write into one control.
class RenameHost {
 public:
  virtual ~RenameHost() = default;
  virtual void SetFileCount(std::string_view count) = 0;     // Label7
  virtual void SetProgress(float value) = 0;                 // pb
  virtual void RemoveFirstEntry() = 0;                       // List1
  virtual void SetRunningNumber(std::string_view text) = 0;  // Text3
  virtual void SelectPadding(int index) = 0;                 // Combo1
  virtual void RefreshFileList() = 0;                        // File1
};

// Renames every listed file, in list order, to the name template in the
// destination folder, carrying out the run's effects through `host`.
// Nothing is touched before the base name, the running number and the
// extension have passed their checks. A rename that fails stops the run at
// that file: it and the files after it stay listed, the running number,
// padding and progress stay as the pass before left them.
RenameOutcome RunRename(
    const RenameRequest& request, RenameHost& host,
    platform::FileSystem& file_system, platform::MessageBox& message_box,
    const platform::NumberFormat& numbers = platform::NumberFormat());

}  // namespace engine

#endif  // PELLOQUIN_ENGINE_RENAME_RUN_H_
