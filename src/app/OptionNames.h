// The option flags by name, for front ends that set them from text (--option NAME=VALUE).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/BookProject.h"

namespace quirebook {

// Sets the option called `name` (as in OptionFlags: "PassEpubCheck", "BaseFontSize" ...) from
// `value`: "true" or "false" for flags, a whole number for numbers, any text for paths. Raises
// std::invalid_argument naming the option or the value at fault.
void SetOptionByName(OptionFlags& options, std::string_view name, std::string_view value);

// The names SetOptionByName knows, in the order of OptionFlags.
std::vector<std::string> OptionNames();

}  // namespace quirebook
