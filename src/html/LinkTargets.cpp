// Resolving a chapter's link to the book path it names.
#include "html/LinkTargets.h"

#include <vector>

#include "text/TextUtilities.h"

namespace quirebook {

std::string LinkedBookPath(std::string_view fromPath, std::string_view href) {
    href = TrimBlanks(href);
    href = href.substr(0, href.find_first_of("?#"));
    if (href.empty() || href.front() == '/' || href.front() == '\\') return {};
    // A scheme ends at the first ":" standing before any "/".
    const std::size_t colon = href.find(':');
    if (colon != std::string_view::npos && colon < href.find('/')) return {};
    std::vector<std::string> parts;
    const std::size_t folderEnd = fromPath.rfind('/');
    const std::string path =
        (folderEnd == std::string_view::npos ? std::string()
                                             : std::string(fromPath.substr(0, folderEnd + 1))) +
        PercentDecode(href);
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

}  // namespace quirebook
