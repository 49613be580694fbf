#include "engine/prompt_text.h"

namespace engine {

std::string ReasonOf(const platform::Status& status) {
  if (!status.message().empty()) return status.message();
  return status.ToString();
}

}  // namespace engine
