#include "epub/EscapeRules.h"

#include "text/PlainText.h"

namespace quirebook {

std::string UnescapeForDisplay(std::string_view text) {
    if (text.find('&') == std::string_view::npos) return std::string(text);
    return PlainReplace(PlainReplace(text, "&amp;", "&"), "&nbsp;", " ");
}

bool CheckSourceFileName(std::string_view path, UserInterface& ui) {
    if (path.find_first_of("#+") != std::string_view::npos) {
        ui.ShowMessage(
            "File name can not contain # or +, please change the name and try again.\r\n"
            "Tps: For the safe of your epub on all devices, please restrict your source \r\n"
            "filenames within the 26 unaccented English letters and - _.");
        return false;
    }
    if (path.find('?') != std::string_view::npos) {
        ui.ShowMessage(
            "Amazon Kindle doesn't support filename with special characters,please rename your "
            "file with simple latin characters.");
    }
    return true;
}

}  // namespace quirebook
