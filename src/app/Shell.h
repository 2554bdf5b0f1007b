// Handing files and web addresses to other programs: the desktop's default handlers (through
// xdg-open) and the user's external source editor, with the checks of the editor and validator
// settings.
#pragma once

#include <string>

#include "book/BookProject.h"
#include "text/UserInterface.h"

namespace quirebook {

// Opens a file or folder with the desktop's default handler, without waiting. False when the
// opener could not be started.
bool OpenDocument(const std::string& path);

// Opens the help file `path` as OpenDocument does, only when it is an existing file; false
// otherwise.
bool OpenHelpFile(const std::string& path);

// Opens an http or https address in the default browser, without waiting. False for any other
// address, or when the opener could not be started.
bool OpenWebAddress(const std::string& url);

// Starts `program` with `file` as its one argument, without waiting. False when it could not be
// started.
bool OpenWithProgram(const std::string& program, const std::string& file);

// Opens `file` in the external editor of the project's options, after checking that one is set
// and still exists (saying so when not, and starting nothing). True when the editor was started.
bool OpenInExternalEditor(const BookProject& project, UserInterface& ui, const std::string& file);

// The checks made when the user leaves the field of the external editor or of the epubcheck
// jar: an existing file becomes the setting; any other text, an empty field too, is refused with
// a message and the setting stays. True when the setting took the field's text.
bool CheckEditorPath(OptionFlags& options, UserInterface& ui, const std::string& fieldText);
bool CheckEpubCheckPath(OptionFlags& options, UserInterface& ui, const std::string& fieldText);

}  // namespace quirebook
