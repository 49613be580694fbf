#include "engine/rename_run.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/name_template.h"
#include "engine/prompt_text.h"

namespace engine {
namespace {

// The inputs a run advances after every file: Text3 and Combo1.
struct Counter {
  std::string running_number;
  int padding_index;
  std::string padding_text;
};

const std::string& DestinationFolder(const RenameRequest& request) {
  if (request.relocate && !request.target_folder.empty()) {
    return request.target_folder;
  }
  return request.browse_folder;
}

// The checks that must pass before anything is touched; each refusal shows
// its message. True when the run may go on.
bool InputsPass(const RenameRequest& request, platform::MessageBox& message_box,
                const platform::NumberFormat& numbers) {
  if (!CheckBaseName(request.base_name)) {
    message_box.Show(BadCharactersPrompt(), platform::kStyleError,
                     kBadCharactersTitle);
    return false;
  }
  if (!numbers.Parse(request.running_number)) {
    message_box.Show(BadStartNumberPrompt(request.running_number),
                     platform::kStyleError, kBadStartNumberTitle);
    return false;
  }
  if (!NumbersStayDistinct(request.running_number, request.source_paths.size(),
                           numbers)) {
    message_box.Show(StartNumberTooLargePrompt(request.running_number),
                     platform::kStyleError, kBadStartNumberTitle);
    return false;
  }
  if (request.extension.find_first_of(kExtensionSeparators) !=
      std::string::npos) {
    message_box.Show(BadExtensionPrompt(request.extension),
                     platform::kStyleError, kBadExtensionTitle);
    return false;
  }
  return true;
}

// Writes the number after `counter`'s into Text3 and steps the padding.
// The running number read as a number before the first pass, and every
// number written back reads as one, so the advance cannot fail.
void AdvanceCounter(Counter& counter, RenameHost& host,
                    const platform::NumberFormat& numbers) {
  counter.running_number =
      *AdvanceRunningNumber(counter.running_number, numbers);
  host.SetRunningNumber(counter.running_number);
  int index =
      StepPadding(counter.running_number, counter.padding_index, numbers);
  if (index != counter.padding_index) {
    counter.padding_index = index;
    counter.padding_text = std::string(kPaddingChoices[index]);
    host.SelectPadding(index);
  }
}

float Progress(size_t pass, size_t count) {
  return static_cast<float>(static_cast<double>(pass) /
                            static_cast<double>(count) * 100.0);
}

}  // namespace

std::string BadStartNumberPrompt(std::string_view running_number) {
  std::string prompt = "The start number must be a number.";
  prompt += kCrLf;
  prompt += kCrLf;
  prompt += "\"";
  prompt += running_number;
  prompt += "\" does not read as one.";
  return prompt;
}

std::string StartNumberTooLargePrompt(std::string_view running_number) {
  std::string prompt =
      "The start number is too large to count from: adding 1 to it does not "
      "change it.";
  prompt += kCrLf;
  prompt += kCrLf;
  prompt += "\"";
  prompt += running_number;
  prompt += "\" would give several files the same number.";
  return prompt;
}

std::string BadExtensionPrompt(std::string_view extension) {
  std::string prompt = "An extension may not contain any of the following:";
  prompt += kCrLf;
  prompt += kCrLf;
  prompt += kIndent;
  prompt += "\\ / :";
  prompt += kCrLf;
  prompt += kCrLf;
  prompt += "\"";
  prompt += extension;
  prompt +=
      "\" would put the files outside the destination folder. Nothing was "
      "renamed.";
  return prompt;
}

std::string RenameFailedPrompt(std::string_view from, std::string_view to,
                               const platform::Status& status) {
  std::string prompt = "The file";
  prompt += kCrLf;
  prompt += kIndent;
  prompt += from;
  prompt += kCrLf;
  prompt += "could not be renamed to";
  prompt += kCrLf;
  prompt += kIndent;
  prompt += to;
  prompt += kCrLf;
  prompt += kCrLf;
  prompt += status.message().empty() ? "The system gave no reason."
                                     : status.message();
  prompt += kCrLf;
  prompt += kCrLf;
  prompt +=
      "The run stopped: this file and the files after it are still on the "
      "list.";
  return prompt;
}

RenameOutcome RunRename(const RenameRequest& request, RenameHost& host,
                        platform::FileSystem& file_system,
                        platform::MessageBox& message_box,
                        const platform::NumberFormat& numbers) {
  if (request.base_name.empty()) return RenameOutcome::Ignored;
  if (!InputsPass(request, message_box, numbers)) {
    return RenameOutcome::Refused;
  }

  const size_t count = request.source_paths.size();
  const std::string count_text = std::to_string(count);
  host.SetFileCount(count_text);

  if (request.extension.empty() &&
      message_box.Show(kNoExtensionPrompt, platform::kStyleQuestion,
                       kNoExtensionTitle) != platform::kAnswerYes) {
    return RenameOutcome::Declined;
  }

  host.SetProgress(0);
  Counter counter{request.running_number, request.padding_index,
                  request.padding_text};
  const std::string& folder = DestinationFolder(request);
  for (size_t pass = 1; pass <= count; ++pass) {
    const std::string& source = request.source_paths[pass - 1];
    std::string target =
        ComposeNewPath(folder, request.base_name, counter.padding_text,
                       counter.running_number, request.extension);
    platform::Status status = file_system.RenameFile(source, target);
    if (!status.ok()) {
      message_box.Show(RenameFailedPrompt(source, target, status),
                       platform::kStyleError, kRenameFailedTitle);
      return RenameOutcome::Stopped;
    }
    host.RemoveFirstEntry();
    AdvanceCounter(counter, host, numbers);
    host.SetProgress(Progress(pass, count));
  }

  std::string done = count_text;
  done += kDoneSuffix;
  message_box.Show(done, platform::kStyleInformation, kDoneTitle);
  host.RefreshFileList();
  return RenameOutcome::Completed;
}

}  // namespace engine
