// Support shared by the fuzz targets: input splitting, the scratch folder and the checks.
#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <pugixml.hpp>

#include "TempFolder.h"

namespace quirebook::fuzz {

FuzzInput::FuzzInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    m_flags = data[0];
    m_text.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
}

std::pair<std::string, std::string> FuzzInput::SplitText(std::string_view separator) const {
    const std::size_t at = m_text.find(separator);
    if (at == std::string::npos) return {m_text, std::string()};
    return {m_text.substr(0, at), m_text.substr(at + separator.size())};
}

const std::string& EmptyScratchFolder() {
    static const testing::TempFolder folder;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path(), error)) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(entry.path(), error);
    }
    return folder.Path();
}

AppFolders SourceAppFolders(const std::string& userFolder) {
    return {QUIREBOOK_SOURCE_DIR "/data", userFolder};
}

void RequireWellFormedXml(const std::string& text, std::string_view what) {
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_buffer(text.data(), text.size());
    if (result) return;
    std::fprintf(stderr, "%.*s is not well-formed XML (%s at offset %td):\n%s\n",
                 static_cast<int>(what.size()), what.data(), result.description(), result.offset,
                 text.c_str());
    std::abort();
}

void Require(bool holds, std::string_view what) {
    if (holds) return;
    std::fprintf(stderr, "Check failed: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

}  // namespace quirebook::fuzz
