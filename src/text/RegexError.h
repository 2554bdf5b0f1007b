// Errors raised by the pattern component.
#pragma once

#include <stdexcept>

namespace quirebook {

// A pattern that cannot be used: empty, rejected by the engine, or failing while it searched.
// For a rejected pattern the message is the pattern text itself.
class RegexError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A search stopped by one of the engine's limits (match, depth, heap or JIT stack): the text
// needs more work than a sane pass may take. The message names the pattern; the caller decides
// whether the step can go on without this pass.
class RegexLimitError : public RegexError {
  public:
    using RegexError::RegexError;
};

}  // namespace quirebook
