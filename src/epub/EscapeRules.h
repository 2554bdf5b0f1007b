// The rules for user text and file names that enter the package documents: markup escaping
// (EscapeMarkup, shared with the chapter steps from text/PlainText.h), its reverse for display,
// and the check of a source document's file name.
#pragma once

#include <string>
#include <string_view>

#include "text/PlainText.h"  // EscapeMarkup
#include "text/UserInterface.h"

namespace quirebook {

// For display: "&amp;" back to "&" and "&nbsp;" to a space; other entities stay.
std::string UnescapeForDisplay(std::string_view text);

// Checks the full path of a document before it is imported. A path holding "#" or "+" is
// refused with a message (false); one holding "?" gets a warning and is accepted.
bool CheckSourceFileName(std::string_view path, UserInterface& ui);

}  // namespace quirebook
