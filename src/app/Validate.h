// Checking a finished book with the epubcheck validator: the checks before it runs, the command,
// the clean-up of its output and the verdict.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "book/BookProject.h"
#include "text/UserInterface.h"

namespace quirebook {

// Where Debian's epubcheck package installs the validator; used when no jar is set.
inline constexpr const char* kSystemEpubCheckJar = "/usr/share/java/epubcheck.jar";

struct ValidationResult {
    bool Ran = false;     // false when a check refused; its message has been shown
    bool Valid = false;   // the output says "No errors"
    std::string Output;   // the validator's output, cleaned
    std::string LogText;  // what the Log page appends: a heading line and Output
};

// Validates the book last made (`chosenBook` absent) or the book the user chose (`chosenBook`
// given, empty when nothing was chosen). Refusals and the verdict are shown through `ui`. The
// validator is Options.EpubCheckJar, or `systemJar` when none is set and that file exists. It
// runs as "java -jar JAR BOOK" in the book's folder.
ValidationResult ValidateBook(const BookProject& project, UserInterface& ui,
                              const std::optional<std::string>& chosenBook = std::nullopt,
                              const std::string& systemJar = kSystemEpubCheckJar);

// The validator's output with every `bookPath` removed and every line ending (CR LF, a lone CR
// or a lone LF) written as CR LF.
std::string CleanValidatorOutput(std::string_view output, std::string_view bookPath);

}  // namespace quirebook
