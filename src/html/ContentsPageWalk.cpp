#include "html/ContentsPageWalk.h"

#include <filesystem>
#include <set>
#include <utility>

#include "html/Charset.h"
#include "text/Entities.h"
#include "text/PatternHelpers.h"
#include "text/Regex.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

// Whether a link leads off this computer: a web address or one of another scheme a browser
// hands to another program (mailto:, javascript:), but not file: nor a drive letter.
bool LeadsElsewhere(std::string_view link) {
    if (link.substr(0, 2) == "//") return true;
    const std::size_t colon = link.find(':');
    if (colon == std::string_view::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(link[i]);
        if (std::isalnum(c) == 0 && c != '+' && c != '-' && c != '.') return false;
    }
    return AsciiLower(link.substr(0, colon)) != "file";
}

std::string NameOf(const std::string& page) {
    return fs::path(page).filename().string();
}

// The walk's state: the pages found so far and what was said about the links not followed.
class Walk {
  public:
    Walk(const ResourceRoot& root, std::string folder)
        : m_root(root), m_folder(std::move(folder)) {}

    // Marks `page` (resolved) as found; false when it was found before.
    bool Add(const std::string& key) { return m_found.insert(key).second; }

    // The pages `page` links to that were not found before, in link order.
    std::vector<std::string> Follow(const std::string& page, ContentsWalk& result) {
        std::vector<std::string> next;
        const std::string base = fs::path(page).parent_path().string();
        int elsewhere = 0;
        for (const std::string& link : PageLinks(PageToUtf8(LoadTextFile(page)))) {
            if (LeadsElsewhere(link)) {
                ++elsewhere;
                continue;
            }
            const ResolvedResource target = m_root.ResolvePage(link, base);
            if (target.Status == ResourceStatus::NotAFile) continue;  // the page itself
            if (target.Status == ResourceStatus::Found &&
                fs::path(target.Key).parent_path() != fs::path(m_folder)) {
                Skip(result, page, link, "it lies in another folder than the contents page");
                continue;
            }
            if (target.Status == ResourceStatus::Found) {
                if (Add(target.Key)) next.push_back(target.Key);
                continue;
            }
            Skip(result, page, link,
                 target.Status == ResourceStatus::Missing ? "it is missing" : target.Reason);
        }
        if (elsewhere > 0) {
            result.Skipped.push_back(NameOf(page) + ": " + std::to_string(elsewhere) +
                                     (elsewhere == 1 ? " link leads" : " links lead") +
                                     " to another site, not followed");
        }
        return next;
    }

  private:
    // Reports a link once in the walk, whichever page links it again.
    void Skip(ContentsWalk& result, const std::string& page, const std::string& link,
              const std::string& reason) {
        const std::string target = link.substr(0, link.find_first_of("#?"));
        const std::string base = fs::path(page).parent_path().string();
        if (!m_skipped.insert(base + "\n" + target).second) return;
        result.Skipped.push_back(NameOf(page) + ": the link to " + target +
                                 " is skipped: " + reason);
    }

    const ResourceRoot& m_root;
    std::string m_folder;
    std::set<std::string> m_found;
    std::set<std::string> m_skipped;
};

}  // namespace

std::vector<std::string> PageLinks(std::string_view page) {
    std::string text(page);
    DeletePattern(text, "<!--[\\s\\S]*?-->");
    Regex links(preCaseLess | preSingleLine);
    links.SetPattern(
        "<(?:a|area)\\s(?:[^>]*?\\s)?href\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'>]+))");
    links.SetSubject(std::move(text));
    std::vector<std::string> found;
    while (links.MatchNext()) {
        std::string link = links.Submatch(1);
        if (link.empty()) link = links.Submatch(2);
        if (link.empty()) link = links.Submatch(3);
        found.push_back(DecodeEntities(link));
    }
    return found;
}

ContentsWalk WalkContentsPage(const std::string& contentsPage, const ResourceRoot& root, int depth,
                              bool withContentsPage) {
    const fs::path start = fs::weakly_canonical(fs::absolute(contentsPage));
    ContentsWalk result;
    Walk walk(root, start.parent_path().string());
    walk.Add(start.string());
    if (withContentsPage) result.Pages.push_back(start.string());
    std::vector<std::string> level{start.string()};
    for (int step = 0; step < depth && !level.empty(); ++step) {
        std::vector<std::string> next;
        for (const std::string& page : level) {
            for (std::string& found : walk.Follow(page, result)) next.push_back(std::move(found));
        }
        result.Pages.insert(result.Pages.end(), next.begin(), next.end());
        level = std::move(next);
    }
    return result;
}

}  // namespace quirebook
