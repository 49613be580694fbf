#include "engine/location_notice.h"

namespace engine {

std::string RelocatedNotice(std::string_view target_folder) {
  std::string caption = "Files will be renamed and re-located at: ";
  caption.append(target_folder);
  return caption;
}

std::string BrowseFolderNotice(std::string_view browse_folder) {
  std::string caption = "NOTE THIS!\n\rFiles will be renamed and located at: ";
  caption.append(browse_folder);
  return caption;
}

}  // namespace engine
