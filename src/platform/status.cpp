#include "platform/status.h"

namespace platform {

std::string Status::ToString() const {
  if (ok()) return "OK";
  if (path_.empty()) return message_;
  return path_ + ": " + message_;
}

}  // namespace platform
