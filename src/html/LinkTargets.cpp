// Resolving a chapter's link to the book path it names, and writing a reference between two
// files of the book.
#include "html/LinkTargets.h"

#include <vector>

#include "text/TextUtilities.h"

namespace quirebook {

namespace {

// The folder part of a book path, with its final "/" ("" at the top).
std::string FolderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

}  // namespace

std::string LinkedBookPath(std::string_view fromPath, std::string_view href) {
    href = TrimBlanks(href);
    href = href.substr(0, href.find_first_of("?#"));
    if (href.empty() || href.front() == '/' || href.front() == '\\') return {};
    // A scheme ends at the first ":" standing before any "/".
    const std::size_t colon = href.find(':');
    if (colon != std::string_view::npos && colon < href.find('/')) return {};
    const std::string path = FolderOf(fromPath) + PercentDecode(href);
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (parts.empty()) return {};
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string joined;
    for (const std::string& part : parts) joined += (joined.empty() ? "" : "/") + part;
    return joined;
}

std::string RelativeReference(const std::string& from, const std::string& to) {
    const std::string fromFolder = FolderOf(from);
    std::size_t common = 0;
    for (std::size_t i = 0; i < fromFolder.size() && i < to.size() && fromFolder[i] == to[i]; ++i)
        if (to[i] == '/') common = i + 1;
    std::string reference;
    for (std::size_t i = common; i < fromFolder.size(); ++i)
        if (fromFolder[i] == '/') reference += "../";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : std::string_view(to).substr(common)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F ||
            std::string_view("%#?\"'()\\<>").find(c) != std::string_view::npos) {
            reference += '%';
            reference += kHex[byte >> 4];
            reference += kHex[byte & 15];
        } else {
            reference += c;
        }
    }
    return reference;
}

}  // namespace quirebook
