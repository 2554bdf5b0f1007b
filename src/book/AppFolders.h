// The two roots every fixed path of the program hangs from.
#pragma once

#include <string>

namespace quirebook {

// Neither root ends with a separator.
struct AppFolders {
    // Read-only installation data: lib/ (templates, style sheets), lang/, help/, examples/.
    std::string AppFolder;
    // Writable files: the settings file, the user's language list, the default output folder.
    std::string UserFolder;
};

}  // namespace quirebook
