// A run-time failure with a short, human description.
//
// Every guarded handler reports failures by their description alone, so the text must read well
// in a message box ("Overflow", "Permission denied"). Routines throw Failure; anything else that
// escapes into the step runner is turned into such a text by DescribeCurrentException().
#pragma once

#include <stdexcept>
#include <string>

namespace tallowby {

class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& description, int code = 0)
      : std::runtime_error(description), code_(code) {}
  const char* Description() const noexcept { return what(); }
  // The platform's error number behind the failure (errno, or GetLastError() on Windows), or 0.
  // Tests check it rather than the wording, which differs between systems.
  int Code() const noexcept { return code_; }

 private:
  int code_;
};

// Thrown when a conversion or an arithmetic step leaves the signed 32-bit range.
inline constexpr const char* kOverflow = "Overflow";
inline constexpr const char* kOutOfMemory = "Out of memory";

// The operating system's own wording for an errno value, with its first letter capitalised.
std::string DescribeErrno(int error_number);

// Describes the exception being handled; call only inside a catch block.
std::string DescribeCurrentException();

}  // namespace tallowby
