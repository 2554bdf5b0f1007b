#include "app/Shell.h"

#include <filesystem>

#include "app/ExternalPrograms.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

bool IsFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

// An absolute form of `path`: a relative name beginning with "-" would be read as an option by
// the program it is given to, and a relative program name would be searched on PATH instead of
// the file that was checked.
std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.string();
}

// Hands `target` to the desktop's opener, which picks the handler for its type.
bool StartOpener(const std::string& target) {
    return StartDetached({"xdg-open", target});
}

bool CheckSettingPath(std::string& setting, UserInterface& ui, const std::string& fieldText,
                      const std::string& refusal) {
    // An empty field names no file either: the setting stays as it was.
    if (!IsFile(fieldText)) {
        ui.ShowMessage(refusal);
        return false;
    }
    setting = fieldText;
    return true;
}

}  // namespace

bool OpenDocument(const std::string& path) {
    return StartOpener(AbsolutePath(path));
}

bool OpenHelpFile(const std::string& path) {
    return IsFile(path) && OpenDocument(path);
}

bool OpenWebAddress(const std::string& url) {
    const bool isWebAddress = url.starts_with("http://") || url.starts_with("https://");
    return isWebAddress && StartOpener(url);
}

bool OpenWithProgram(const std::string& program, const std::string& file) {
    return StartDetached({AbsolutePath(program), AbsolutePath(file)});
}

bool OpenInExternalEditor(const BookProject& project, UserInterface& ui, const std::string& file) {
    const std::string& editor = project.Options.ExternalEditor;
    if (editor.empty()) {
        ui.ShowMessage("Please set an external editor in Advanced tab first.");
        return false;
    }
    if (!IsFile(editor)) {
        ui.ShowMessage("Specified editor does not exist, please check.");
        return false;
    }
    return OpenWithProgram(editor, file);
}

bool CheckEditorPath(OptionFlags& options, UserInterface& ui, const std::string& fieldText) {
    return CheckSettingPath(options.ExternalEditor, ui, fieldText,
                            "External editor does not exist, please check.");
}

bool CheckEpubCheckPath(OptionFlags& options, UserInterface& ui, const std::string& fieldText) {
    return CheckSettingPath(options.EpubCheckJar, ui, fieldText,
                            "ePubCheck does not exist, please check.");
}

}  // namespace quirebook
