// Binary Word documents (.doc) through LibreOffice: converted headless into a .docx that the
// Word layer reads, with a profile folder of the conversion's own.
#pragma once

#include <chrono>
#include <string>

namespace quirebook {

// How long one conversion may take before LibreOffice is stopped.
constexpr std::chrono::seconds kLibreOfficeTimeLimit{50};

// Converts the .doc at `docPath` into a .docx inside `scratchFolder` (created when missing) and
// gives the .docx's path. WordDocumentError, saying why, when LibreOffice is not installed, fails,
// or takes longer than `timeLimit`.
std::string ConvertWithLibreOffice(const std::string& docPath, const std::string& scratchFolder,
                                   std::chrono::milliseconds timeLimit = kLibreOfficeTimeLimit);

}  // namespace quirebook
