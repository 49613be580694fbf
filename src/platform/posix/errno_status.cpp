#include "platform/posix/errno_status.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace platform::posix {
namespace {

Error ErrorOf(int error) {
  switch (error) {
    case ENOENT:
      return Error::kNotFound;
    case ENOTDIR:
      return Error::kPathNotFound;
    case EEXIST:
    case ENOTEMPTY:
      return Error::kAlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS:
      return Error::kAccessDenied;
    case ENAMETOOLONG:
      return Error::kNameTooLong;
    case ENOSPC:
    case EDQUOT:
      return Error::kNoSpace;
    case ENODEV:
    case ENXIO:
    case ENOMEDIUM:
      return Error::kNotReady;
    default:
      return Error::kIo;
  }
}

}  // namespace

Status StatusFromErrno(int error, std::string_view path) {
  return Status(ErrorOf(error), std::string(path), std::strerror(error));
}

}  // namespace platform::posix
