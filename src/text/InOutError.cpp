#include "text/InOutError.h"

#include <cstring>

namespace quirebook {

void ThrowInOutError(const std::string& action, const std::string& path, int error) {
    throw InOutError("Cannot " + action + " \"" + path + "\": " + std::strerror(error));
}

}  // namespace quirebook
