// Error objects of the framework: a message text, raised as C++ exceptions and
// caught by the window-procedure trampoline or by the code that decides.
#pragma once
#include <stdexcept>
#include <string>

namespace lodo {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// Raised by TPersistent::Assign for an unsupported source class.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Raised when an operation is used in a state that does not allow it.
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// printf-style formatting of the few messages that carry arguments.
std::string Format(const char* format, const std::string& a);
std::string Format(const char* format, const std::string& a, const std::string& b);

}  // namespace lodo
