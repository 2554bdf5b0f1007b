#include "word/docx/DocxPackage.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "text/TextUtilities.h"

namespace quirebook {

namespace {

// `path` ("a/./b/../c") with its "." and ".." segments resolved; empty when it climbs above
// the package's root or holds what no part name may (a backslash, a drive, a NUL).
std::string NormalisedPartName(const std::string& path) {
    if (path.find_first_of(std::string("\\:\0", 3)) != std::string::npos) return {};
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string segment = path.substr(start, slash - start);
        if (segment == "..") {
            if (segments.empty()) return {};
            segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    std::string name;
    for (const std::string& segment : segments) name += (name.empty() ? "" : "/") + segment;
    return name;
}

// True when an archive entry's own name is a plain part name: not absolute, no drive, no
// backslash, nothing that climbs.
bool IsPlainPartName(const std::string& name) {
    return !name.empty() && name.front() != '/' && NormalisedPartName(name) == name;
}

std::string FolderOfPart(const std::string& partName) {
    const std::size_t slash = partName.rfind('/');
    return slash == std::string::npos ? "" : partName.substr(0, slash + 1);
}

}  // namespace

struct DocxPackage::Archive {
    struct Closer {
        void operator()(zip_t* archive) const { zip_discard(archive); }
    };
    std::unique_ptr<zip_t, Closer> Handle;
    // Lower-cased part name -> entry index: part names compare without regard to case.
    std::unordered_map<std::string, zip_uint64_t> Entries;
};

DocxPackage::DocxPackage(const std::string& path) : m_path(path), m_archive(new Archive) {
    int error = 0;
    m_archive->Handle.reset(zip_open(path.c_str(), ZIP_RDONLY, &error));
    if (!m_archive->Handle) {
        zip_error_t text;
        zip_error_init_with_code(&text, error);
        const std::string reason = zip_error_strerror(&text);
        zip_error_fini(&text);
        throw WordDocumentError("The Word document " + path +
                                " cannot be read: it is not a .docx package (" + reason + ")");
    }
    const zip_int64_t count = zip_get_num_entries(m_archive->Handle.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(m_archive->Handle.get(), static_cast<zip_uint64_t>(i), 0);
        // Entries with unsafe names are never read, so nothing can be made of them.
        if (name != nullptr && IsPlainPartName(name))
            m_archive->Entries.emplace(AsciiLower(name), static_cast<zip_uint64_t>(i));
    }
    m_mainPart = "word/document.xml";
    for (const auto& [id, relationship] : Relationships("")) {
        if (relationship.Type == "officeDocument" && !relationship.External) {
            m_mainPart = relationship.Target;
            break;
        }
    }
    if (!Has(m_mainPart)) {
        throw WordDocumentError("The Word document " + path +
                                " cannot be read: the package holds no Word document part");
    }
}

DocxPackage::~DocxPackage() = default;

bool DocxPackage::Has(const std::string& partName) const {
    return m_archive->Entries.count(AsciiLower(partName)) != 0;
}

std::string DocxPackage::Read(const std::string& partName) const {
    const auto entry = m_archive->Entries.find(AsciiLower(partName));
    if (entry == m_archive->Entries.end())
        throw WordDocumentError("The Word document " + m_path + " lacks its part " + partName);
    const auto damaged = [&](const std::string& why) {
        return WordDocumentError("The Word document " + m_path + " is damaged: " + partName + " " +
                                 why);
    };
    struct FileCloser {
        void operator()(zip_file_t* file) const { zip_fclose(file); }
    };
    std::unique_ptr<zip_file_t, FileCloser> file(
        zip_fopen_index(m_archive->Handle.get(), entry->second, 0));
    if (!file)
        throw damaged(std::string("cannot be unpacked (") + zip_strerror(m_archive->Handle.get()) +
                      ")");
    // The sizes an archive states can lie: what is actually unpacked is counted. The stated
    // size is only a hint for the buffer, and a small one at that.
    const std::uint64_t limit = std::min(MaximumPartSize, MaximumTotalSize - m_unpacked);
    std::string bytes;
    zip_stat_t stated;
    if (zip_stat_index(m_archive->Handle.get(), entry->second, 0, &stated) == 0 &&
        (stated.valid & ZIP_STAT_SIZE) != 0)
        bytes.reserve(
            static_cast<std::size_t>(std::min<std::uint64_t>({stated.size, limit, 64u << 20})));
    char buffer[1 << 16];
    for (;;) {
        const zip_int64_t read = zip_fread(file.get(), buffer, sizeof buffer);
        if (read < 0)
            throw damaged(std::string("cannot be unpacked (") + zip_file_strerror(file.get()) +
                          ")");
        if (read == 0) break;
        if (bytes.size() + static_cast<std::uint64_t>(read) > limit) {
            const std::string bound =
                limit == MaximumPartSize
                    ? std::to_string(MaximumPartSize >> 20) + " MB in " + partName
                    : std::to_string(MaximumTotalSize >> 20) + " MB in all";
            throw WordDocumentError("The Word document " + m_path +
                                    " is refused: it unpacks to more than " + bound);
        }
        bytes.append(buffer, static_cast<std::size_t>(read));
    }
    m_unpacked += bytes.size();
    return bytes;
}

bool DocxPackage::ReadXml(const std::string& partName, pugi::xml_document& document) const {
    document.reset();
    if (!Has(partName)) return false;
    const std::string bytes = Read(partName);
    // Without parse_doctype a declaration is skipped, never expanded, and pugixml fetches
    // nothing; but a part that declares entities is no part Word wrote, so it is refused.
    if (bytes.find("<!DOCTYPE") != std::string::npos ||
        bytes.find("<!ENTITY") != std::string::npos) {
        throw WordDocumentError("The Word document " + m_path + " is refused: its part " +
                                partName + " declares a document type or entities");
    }
    // Text nodes of white space alone are kept: a run's lone space is text.
    const pugi::xml_parse_result result =
        document.load_buffer(bytes.data(), bytes.size(),
                             pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_auto);
    if (!result) {
        throw WordDocumentError("The Word document " + m_path + " is damaged: its part " +
                                partName + " is not well-formed XML (" + result.description() +
                                " at byte " + std::to_string(result.offset) + ")");
    }
    return true;
}

std::map<std::string, DocxRelationship> DocxPackage::Relationships(
    const std::string& partName) const {
    const std::string folder = FolderOfPart(partName);
    const std::string file = partName.substr(folder.size());
    pugi::xml_document rels;
    std::map<std::string, DocxRelationship> relationships;
    if (!ReadXml(folder + "_rels/" + file + ".rels", rels)) return relationships;
    for (const pugi::xml_node node : rels.document_element().children()) {
        const std::string id = node.attribute("Id").value();
        const std::string type = node.attribute("Type").value();
        const std::string target = node.attribute("Target").value();
        if (id.empty() || target.empty()) continue;
        DocxRelationship relationship;
        relationship.Type = type.substr(type.rfind('/') + 1);
        relationship.External = std::string(node.attribute("TargetMode").value()) == "External";
        if (relationship.External) {
            relationship.Target = target;
        } else {
            // A target is a URI ("%20" stands for a space); it is decoded before the check
            // for "..", so that "%2e%2e" cannot climb out either.
            const std::string decoded = PercentDecode(target);
            relationship.Target =
                NormalisedPartName(decoded.front() == '/' ? decoded.substr(1) : folder + decoded);
            if (relationship.Target.empty()) continue;
        }
        relationships.emplace(id, relationship);
    }
    return relationships;
}

}  // namespace quirebook
