#include "platform/number_format.h"

#include <optional>
#include <string>

namespace platform {

std::optional<double> NumberFormat::Parse(std::string_view) const {
  return std::nullopt;  // placeholder until the engine work lands
}

std::string NumberFormat::Format(double) const { return {}; }

}  // namespace platform
