#include "word/docx/PictureStore.h"

#include <cstdio>
#include <filesystem>

#include "text/InOutError.h"
#include "text/TextFiles.h"

namespace quirebook {

namespace {

// The file extension for a picture's bytes; empty for a kind the page does not show.
std::string PictureExtension(const std::string& bytes, const std::string& partName) {
    if (bytes.starts_with("\x89PNG\r\n\x1A\n")) return "png";
    if (bytes.starts_with("\xFF\xD8\xFF")) return "jpg";
    if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a")) return "gif";
    const bool svgName =
        partName.size() > 4 && (partName.ends_with(".svg") || partName.ends_with(".SVG"));
    if (svgName && bytes.find("<svg") != std::string::npos) return "svg";
    return {};
}

}  // namespace

PictureStore::PictureStore(const DocxPackage& package, std::string folder, std::string sourcePrefix)
    : m_package(package), m_folder(std::move(folder)), m_sourcePrefix(std::move(sourcePrefix)) {}

std::string PictureStore::Source(const std::string& partName) {
    const auto known = m_sources.find(partName);
    if (known != m_sources.end()) return known->second;
    std::string& source = m_sources[partName];
    if (!m_package.Has(partName)) return source;
    std::string bytes;
    try {
        bytes = m_package.Read(partName);
    } catch (const WordDocumentError&) {
        return source;  // a damaged picture costs the picture, not the page
    }
    const std::string extension = PictureExtension(bytes, partName);
    if (extension.empty()) return source;
    char name[32];
    std::snprintf(name, sizeof name, "image%03d.", m_count + 1);
    const std::string fileName = name + extension;
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    if (error)
        throw InOutError("Cannot create the picture folder " + m_folder + ": " + error.message());
    SaveTextFile(m_folder + "/" + fileName, bytes);
    ++m_count;
    source = m_sourcePrefix + fileName;
    return source;
}

std::string PictureSourcePrefix(const std::string& pageStem) {
    std::string prefix;
    for (const char c : pageStem) {
        if (c == ' ')
            prefix += "%20";
        else
            prefix += c;
    }
    return prefix + "_files/";
}

}  // namespace quirebook
