#ifndef PELLOQUIN_ENGINE_LOCATION_NOTICE_H_
#define PELLOQUIN_ENGINE_LOCATION_NOTICE_H_

#include <cstdint>
#include <string>
#include <string_view>

// The location notice of the main window: its captions and its two looks.
namespace engine {

// The caption while files are renamed where they are (at start and after
// "Restore").
inline constexpr std::string_view kNoticeInPlace =
    "Files will be renamed and located at: (original path)";

// The caption "OK" in the target-folder dialog gives for `target_folder`.
std::string RelocatedNotice(std::string_view target_folder);

// The caption a click on a file gives while relocation is off: a warning,
// then line feed and carriage return (in that order), then the folder.
std::string BrowseFolderNotice(std::string_view browse_folder);

// A classic colour value: with the top bit set, the system colour whose
// index is in the low byte; otherwise red in the low byte, then green, blue.
inline constexpr uint32_t kColorHighlight = 0x8000000D;  // system colour 13
inline constexpr uint32_t kColorRed = 255;

struct NoticeLook {
  uint32_t fore_color;
  bool bold;
};
// Plain: the notice merely informs. Alert: the files will go elsewhere than
// the user may expect.
inline constexpr NoticeLook kNoticePlain = {kColorHighlight, false};
inline constexpr NoticeLook kNoticeAlert = {kColorRed, true};

}  // namespace engine

#endif  // PELLOQUIN_ENGINE_LOCATION_NOTICE_H_
