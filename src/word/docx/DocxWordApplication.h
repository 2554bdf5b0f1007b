// The program's own Word: an application object that reads .docx packages itself and saves them
// as the filtered web page Word writes. A binary .doc is first turned into a .docx by the
// converter it is given (LibreOffice, when installed).
#pragma once

#include <functional>
#include <string>

#include "word/WordObjectModel.h"

namespace quirebook {

// Turns the binary Word document at `docPath` into a .docx and gives its path; WordDocumentError,
// with the reason, when it cannot.
using LegacyDocumentConverter = std::function<std::string(const std::string& docPath)>;

// True when the file at `path` is a binary Word document (an OLE compound file), whatever its
// name says.
bool IsLegacyWordDocument(const std::string& path);

// The factory of this backend: "Word.Application" gives an application whose Version is "16.0";
// any other identifier gives null.
WordApplicationFactory DocxWordApplicationFactory(LegacyDocumentConverter convertLegacy);

}  // namespace quirebook
