#ifndef PELLOQUIN_PLATFORM_STATUS_H_
#define PELLOQUIN_PLATFORM_STATUS_H_

#include <optional>
#include <string>
#include <utility>

namespace platform {

// What went wrong, in the terms the program reacts to. The host's own words
// travel in Status::message().
enum class Error {
  kNone = 0,
  kNotFound,       // the file or entry named does not exist
  kPathNotFound,   // a folder on the way (such as the destination) is missing
  kAlreadyExists,  // the name is taken; nothing was overwritten
  kAccessDenied,   // not permitted, or the medium is read-only
  kInvalidName,    // a name the file system refuses (raw * ? " < > |, ...)
  kNameTooLong,
  kNotReady,     // the drive is unknown, has no medium or its folder is gone
  kUnsupported,  // the entry is of a kind this operation refuses
  kNoSpace,
  kIo,          // any other failure of the host
  kDuplicated,  // a move failed half-way: the file now exists twice
};

// The outcome of a platform operation: ok, or an error naming the path
// involved and the host's reason.
class Status {
 public:
  Status() = default;
  Status(Error code, std::string path, std::string message)
      : code_(code), path_(std::move(path)), message_(std::move(message)) {}

  bool ok() const { return code_ == Error::kNone; }
  Error code() const { return code_; }
  const std::string& path() const { return path_; }
  const std::string& message() const { return message_; }

  // "path: message", or "OK".
  std::string ToString() const;

 private:
  Error code_ = Error::kNone;
  std::string path_;
  std::string message_;
};

// The failure of a drive that has not answered within the bounded wait.
inline Status NotAnswering(std::string path) {
  return Status(Error::kNotReady, std::move(path),
                "The drive does not answer.");
}

// A value or the Status that explains its absence.
template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
  Result(Status status) : status_(std::move(status)) {}  // NOLINT

  bool ok() const { return value_.has_value(); }
  const Status& status() const { return status_; }
  const T& value() const& { return *value_; }
  T& value() & { return *value_; }
  T&& value() && { return std::move(*value_); }
  const T& operator*() const& { return *value_; }
  T& operator*() & { return *value_; }
  const T* operator->() const { return &*value_; }
  T* operator->() { return &*value_; }

 private:
  std::optional<T> value_;
  Status status_;
};

}  // namespace platform

#endif  // PELLOQUIN_PLATFORM_STATUS_H_
