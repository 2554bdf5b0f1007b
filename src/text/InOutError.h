// The error raised when a file or folder cannot be read, written or copied.
#pragma once

#include <stdexcept>
#include <string>

namespace quirebook {

class InOutError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// An InOutError whose message names the action, the path and the system's reason for `errno`.
[[noreturn]] void ThrowInOutError(const std::string& action, const std::string& path, int error);

}  // namespace quirebook
