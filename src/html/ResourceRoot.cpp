#include "html/ResourceRoot.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "text/FolderFiles.h"
#include "text/PlainText.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

// The path with its links resolved as far as it exists; the path itself when that fails.
fs::path Resolved(const fs::path& path) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
    return error ? path.lexically_normal() : resolved;
}

// `path` relative to `folder`, or the empty path when it lies outside (or is the folder).
fs::path InsideOf(const fs::path& path, const fs::path& folder) {
    const fs::path relative = path.lexically_relative(folder);
    if (relative.empty() || *relative.begin() == ".." || relative == ".") return {};
    return relative;
}

bool HasHiddenName(const fs::path& relative) {
    return std::any_of(relative.begin(), relative.end(), [](const fs::path& part) {
        const std::string name = part.string();
        return !name.empty() && name.front() == '.';
    });
}

// The first bytes of a file, enough to tell its type; nullopt when it cannot be read.
std::optional<std::string> FileHead(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string head(4096, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return head;
}

// The scheme a reference begins with ("http" for "http://..."), or the empty text.
std::string SchemeOf(std::string_view reference) {
    std::size_t end = 0;
    while (end < reference.size() &&
           (std::isalpha(static_cast<unsigned char>(reference[end])) != 0 ||
            (end > 0 && (std::isdigit(static_cast<unsigned char>(reference[end])) != 0 ||
                         reference[end] == '+' || reference[end] == '.' || reference[end] == '-'))))
        ++end;
    if (end == 0 || end >= reference.size() || reference[end] != ':') return {};
    return AsciiLower(reference.substr(0, end));
}

ResolvedResource Refusal(std::string reason) {
    ResolvedResource refused;
    refused.Status = ResourceStatus::Refused;
    refused.Reason = std::move(reason);
    return refused;
}

ResolvedResource WithStatus(ResourceStatus status) {
    ResolvedResource resource;
    resource.Status = status;
    return resource;
}

}  // namespace

std::string DefaultResourceRoot(const std::string& pagesFolder, const std::string& homeFolder) {
    const fs::path pages = Resolved(pagesFolder);
    const fs::path parent = pages.parent_path();
    const bool tooWide = parent == pages || parent == parent.root_path() ||
                         (!homeFolder.empty() && parent == Resolved(homeFolder));
    return (tooWide ? pages : parent).string();
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home == nullptr ? std::string() : std::string(home);
}

ResourceRoot::ResourceRoot(const std::string& folder) : m_folder(Resolved(folder).string()) {
    while (m_folder.size() > 1 && m_folder.back() == '/') m_folder.pop_back();
}

bool ResourceRoot::Holds(const std::string& folder) const {
    const fs::path resolved = Resolved(folder);
    return resolved == fs::path(m_folder) || !InsideOf(resolved, m_folder).empty();
}

ResolvedResource ResourceRoot::Locate(
    std::string_view reference, const std::string& base,
    const std::function<std::string(const std::string& path)>& refuseName) const {
    std::string_view written = TrimBlanks(reference);
    std::string fragment;
    if (const std::size_t hash = written.find('#'); hash != std::string_view::npos) {
        fragment = written.substr(hash);
        written = written.substr(0, hash);
    }
    written = written.substr(0, written.find('?'));
    if (written.empty()) return WithStatus(ResourceStatus::NotAFile);
    if (written.substr(0, 2) == "//") return WithStatus(ResourceStatus::Remote);
    const std::string scheme = SchemeOf(written);
    if (scheme == "http" || scheme == "https" || scheme == "ftp")
        return WithStatus(ResourceStatus::Remote);
    if (scheme == "data") return WithStatus(ResourceStatus::NotAFile);
    if (scheme.size() == 1) return Refusal("it is an absolute path");
    if (scheme == "file") return Refusal("it is a file: URL");
    if (!scheme.empty()) return Refusal("it is a " + scheme + ": address");

    std::string path = PlainReplace(PercentDecode(written), "\\", "/");
    if (path.find('\0') != std::string::npos) return Refusal("its name holds a NUL byte");
    if (path.front() == '/') return Refusal("it is an absolute path");
    fs::path file = (fs::path(base) / path).lexically_normal();
    const fs::path relative = InsideOf(file, m_folder);
    if (relative.empty()) return Refusal("it lies outside the resource root " + m_folder);
    // A page read into UTF-8 names "\u00E9t\u00E9.png" for a file whose name is in Latin-1 bytes.
    if (std::string onDisk = LocateByUtf8Names(m_folder, relative.string()); !onDisk.empty())
        file = std::move(onDisk);
    if (HasHiddenName(relative)) return Refusal("its path holds a name beginning with \".\"");
    if (std::string reason = refuseName(path); !reason.empty()) return Refusal(std::move(reason));

    std::error_code error;
    const fs::path target = fs::canonical(file, error);
    if (error || !fs::exists(target, error)) return WithStatus(ResourceStatus::Missing);
    const fs::path targetRelative = InsideOf(target, m_folder);
    if (targetRelative.empty())
        return Refusal("a symbolic link leads it out of the resource root " + m_folder);
    if (HasHiddenName(targetRelative))
        return Refusal("a symbolic link leads it to a name beginning with \".\"");
    if (!fs::is_regular_file(target, error)) return WithStatus(ResourceStatus::Missing);

    ResolvedResource found;
    found.Status = ResourceStatus::Found;
    found.File = file.string();
    found.Key = target.string();
    found.Fragment = std::move(fragment);
    return found;
}

ResolvedResource ResourceRoot::Resolve(std::string_view reference, const std::string& base,
                                       const std::vector<ResourceKind>& kinds) const {
    const auto refuseName = [&kinds](const std::string& path) -> std::string {
        if (std::find(kinds.begin(), kinds.end(), TypeFromName(path).Kind) != kinds.end())
            return {};
        std::string wanted;
        for (std::size_t i = 0; i < kinds.size(); ++i)
            wanted += (i == 0 ? "" : i + 1 == kinds.size() ? " or " : ", ") + KindName(kinds[i]);
        return "its name is not that of a " + wanted;
    };
    ResolvedResource found = Locate(reference, base, refuseName);
    if (found.Status != ResourceStatus::Found) return found;
    found.Type = TypeFromName(found.File);
    const std::optional<std::string> head = FileHead(found.Key);
    if (!head) return Refusal("it cannot be read");
    if (!ContentIsOfType(found.Type, *head))
        return Refusal("its content is not " + found.Type.MediaType);
    // Not among the picture types every EPUB 2 reader shows, and the book has no fallback.
    if (found.Type.MediaType == "image/webp") return Refusal("EPUB 2 readers need not show WebP");
    return found;
}

ResolvedResource ResourceRoot::ResolvePage(std::string_view reference,
                                           const std::string& base) const {
    return Locate(reference, base, [](const std::string& path) -> std::string {
        return IsWebPageName(path) ? std::string() : "it is not a web page";
    });
}

bool IsWebPageName(std::string_view name) {
    const std::size_t slash = name.find_last_of('/');
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string extension = AsciiLower(name.substr(dot + 1));
    return extension == "htm" || extension == "html" || extension == "xhtml" ||
           extension == "shtml" || extension == "xml";
}

}  // namespace quirebook
