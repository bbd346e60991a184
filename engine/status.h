// What a command, and whatever it calls that can fail, gives back: success,
// a silent failure, or a failure with the message the user is to hear. The
// message travels up as a value; the run loop hands it to the reporter, the
// one place that says it.
#pragma once
#include <string>
#include <string_view>
#include <utility>

namespace engine {

class [[nodiscard]] Status {
 public:
  // Success, or a failure with nothing to say: a reader's plain yes or no
  // reads as a Status. There is no way back to bool but ok(), so that a
  // message cannot be lost in an `&&`.
  Status(bool ok = true) : failure_(ok ? nullptr : &kSilent) {}  // NOLINT(google-explicit-constructor)
  template <typename T>
  Status(T) = delete;  // not from numbers or pointers

  // A failure that says why.
  static Status failure(std::string_view message) {
    Status s;
    s.failure_ = new std::string(message);
    return s;
  }

  // One word wide, and free to hand back on success: the message is made
  // only when a command fails with one.
  Status(Status&& other) noexcept : failure_(std::exchange(other.failure_, nullptr)) {}
  Status& operator=(Status&& other) noexcept {
    std::swap(failure_, other.failure_);
    return *this;
  }
  Status(const Status&) = delete;
  Status& operator=(const Status&) = delete;
  ~Status() {
    if (failure_ != &kSilent) delete failure_;
  }

  bool ok() const { return failure_ == nullptr; }
  // Empty for success and for a silent failure.
  std::string_view message() const { return failure_ ? std::string_view(*failure_) : std::string_view(); }

 private:
  static inline const std::string kSilent;
  const std::string* failure_;  // null on success
};

// The way a command that wants the user to know why it failed fails.
inline Status failSaying(std::string_view message) { return Status::failure(message); }

}  // namespace engine
