#include "epub/BuildEpub.h"

#include <exception>
#include <filesystem>

#include "epub/EpubArchive.h"
#include "epub/PackageDocuments.h"

namespace quirebook {

bool BuildEpub(BookProject& project) {
    try {
        WriteContentOpf(project);
        WriteTocNcx(project);
        PackEpub(project.WorkFolder, project.OutputPath);
        return true;
    } catch (const std::exception& error) {
        project.AddLog(error.what());
        return false;
    }
}

void RecompileBook(const BookProject& project, UserInterface& ui) {
    PackEpub(project.WorkFolder, project.OutputPath);
    std::error_code error;
    if (std::filesystem::is_regular_file(project.OutputPath, error))
        ui.ShowMessage("ePub re-compiled successfully.");
}

}  // namespace quirebook
