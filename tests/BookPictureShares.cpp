#include "BookPictureShares.h"

#include <zip.h>

#include <cstdlib>
#include <map>
#include <memory>

#include <pugixml.hpp>

#include "text/Regex.h"

namespace quirebook::testing {

namespace {

// The bytes of the archive entry `name`; empty when it has none.
std::string Entry(zip_t* archive, const std::string& name) {
    zip_stat_t stat;
    if (zip_stat(archive, name.c_str(), 0, &stat) != 0) return {};
    const std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
        zip_fopen(archive, name.c_str(), 0), zip_fclose);
    if (!file) return {};
    std::string bytes(stat.size, '\0');
    const zip_int64_t read = zip_fread(file.get(), bytes.data(), stat.size);
    bytes.resize(read < 0 ? 0 : static_cast<std::size_t>(read));
    return bytes;
}

}  // namespace

std::vector<std::string> SpineDocuments(const std::string& book) {
    const std::unique_ptr<zip_t, decltype(&zip_discard)> archive(
        zip_open(book.c_str(), ZIP_RDONLY, nullptr), zip_discard);
    if (!archive) return {};
    pugi::xml_document container;
    container.load_string(Entry(archive.get(), "META-INF/container.xml").c_str());
    const std::string opfPath =
        container.select_node("//*[local-name()='rootfile']").node().attribute("full-path").value();
    const std::string folder = opfPath.substr(0, opfPath.rfind('/') + 1);
    pugi::xml_document opf;
    opf.load_string(Entry(archive.get(), opfPath).c_str());
    std::map<std::string, std::string> manifest;
    for (const pugi::xpath_node item : opf.select_nodes("//*[local-name()='item']"))
        manifest[item.node().attribute("id").value()] = item.node().attribute("href").value();
    std::vector<std::string> documents;
    for (const pugi::xpath_node reference : opf.select_nodes("//*[local-name()='itemref']"))
        documents.push_back(
            Entry(archive.get(), folder + manifest[reference.node().attribute("idref").value()]));
    return documents;
}

std::vector<double> ImageWidthShares(const std::string& chapter) {
    std::vector<double> shares;
    Regex images(preCaseLess);
    images.SetPattern("<img\\b[^>]*>");
    images.SetSubject(chapter);
    Regex width(preCaseLess);
    width.SetPattern("\\sstyle\\s*=\\s*[\"'](?:[^\"']*;)?\\s*width\\s*:\\s*([0-9.]+)%");
    while (images.MatchNext()) {
        width.SetSubject(images.MatchedText());
        shares.push_back(width.MatchNext() ? std::strtod(width.Submatch(1).c_str(), nullptr) : -1);
    }
    return shares;
}

}  // namespace quirebook::testing
