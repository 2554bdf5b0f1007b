// The reading order a contents page gives: its main contents list first, then its other links,
// and the pages marked as an index, a search page or a glossary last.
#include "html/ContentsPageWalk.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

#include "html/Charset.h"
#include "html/GumboPage.h"
#include "html/NestingLimit.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

constexpr int kNoList = -1;

// Whether an element is a list of links: the lists of HTML, the navigation landmarks, and the
// blocks the generators of contents pages class as one.
bool IsList(const GumboElement& element) {
    switch (element.tag) {
        case GUMBO_TAG_UL:
        case GUMBO_TAG_OL:
        case GUMBO_TAG_DL:
        case GUMBO_TAG_MENU:
        case GUMBO_TAG_DIR:
        case GUMBO_TAG_NAV:
            return true;
        case GUMBO_TAG_HTML:
        case GUMBO_TAG_BODY:
            return false;
        default:
            break;
    }
    if (const auto role = AttributeOf(element, "role"))
        if (HoldsToken(*role, "navigation") || HoldsToken(*role, "doc-toc")) return true;
    const auto classes = AttributeOf(element, "class");
    return classes && (HoldsToken(*classes, "toc") || HoldsToken(*classes, "contents") ||
                       HoldsToken(*classes, "menu"));
}

// The lists of HTML, whose nesting nests their entries.
bool NestsEntries(GumboTag tag) {
    return tag == GUMBO_TAG_UL || tag == GUMBO_TAG_OL || tag == GUMBO_TAG_DL ||
           tag == GUMBO_TAG_MENU || tag == GUMBO_TAG_DIR;
}

std::string TagAndClass(const GumboElement& element) {
    const auto classes = AttributeOf(element, "class");
    const std::string_view written = TrimBlanks(classes.value_or(""));
    return TagName(element) + (written.empty() ? "" : "." + std::string(written));
}

// What a list is, so that the lists of one kind (a contents list written as one per part) are
// told from the others: its tag and class, and those of the element holding it.
std::string KindOf(const GumboNode& list) {
    std::string kind = TagAndClass(list.v.element);
    if (list.parent != nullptr && list.parent->type == GUMBO_NODE_ELEMENT)
        kind += "<" + TagAndClass(list.parent->v.element);
    return kind;
}

// Whether a rel attribute marks the page it names as one a book puts last. These are the link
// types of HTML for an index, a search page and a glossary, as Sphinx, DocBook and Texinfo
// write them; rel is compared without regard to case.
bool MarksAsLast(std::string_view rel) {
    const std::string types = AsciiLower(rel);
    return HoldsToken(types, "index") || HoldsToken(types, "search") ||
           HoldsToken(types, "glossary");
}

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

// The order to take a page's links in: the main list's (see WalkContentsPage), then the rest,
// each in document order. `chapters[i]` is the page link i leads to when that page may be a
// chapter of a contents list: one the walk follows and not marked to come last (a list of
// marked pages, as a header bar linking the index and the search page is, is navigation, not
// contents); empty otherwise.
struct LinkOrder {
    std::vector<std::size_t> Links;  // indexes into PageLinks::Links
    std::size_t InMainList = 0;      // how many of the first ones lie in the main list
};

LinkOrder ReadingOrder(const PageLinks& links, const std::vector<std::string>& chapters) {
    // Per list, the pages it leads to and how many links lead there (a contents list links its
    // chapters' sections too), which decides between lists of as many pages.
    std::vector<std::pair<std::set<std::string>, std::size_t>> lists(links.ListKinds.size());
    for (std::size_t i = 0; i < links.Links.size(); ++i) {
        if (links.Links[i].List == kNoList || chapters[i].empty()) continue;
        auto& [pages, count] = lists[static_cast<std::size_t>(links.Links[i].List)];
        pages.insert(chapters[i]);
        ++count;
    }
    const auto holdsMore = [](const auto& a, const auto& b) {
        return a.first.size() != b.first.size() ? a.first.size() > b.first.size()
                                                : a.second > b.second;
    };
    std::size_t main = 0;
    for (std::size_t list = 1; list < lists.size(); ++list)
        if (holdsMore(lists[list], lists[main])) main = list;
    const bool hasMain = !lists.empty() && !lists[main].first.empty();

    LinkOrder order;
    std::vector<std::size_t> rest;
    for (std::size_t i = 0; i < links.Links.size(); ++i) {
        const int list = links.Links[i].List;
        const bool inMain =
            hasMain && list != kNoList &&
            links.ListKinds[static_cast<std::size_t>(list)] == links.ListKinds[main];
        (inMain ? order.Links : rest).push_back(i);
    }
    order.InMainList = order.Links.size();
    order.Links.insert(order.Links.end(), rest.begin(), rest.end());
    return order;
}

// The walk's state: the pages found so far, those marked to come last, and what was said about
// the links not followed.
class Walk {
  public:
    Walk(const ResourceRoot& root, std::string folder)
        : m_root(root), m_folder(std::move(folder)) {}

    // Marks `page` (resolved) as found; false when it was found before.
    bool Add(const std::string& key) { return m_found.insert(key).second; }

    // The links of `page`, taking note of the pages it marks to come last.
    PageLinks Read(const std::string& page) {
        PageLinks links = ReadPageLinks(PageToUtf8(LoadTextFile(page)));
        const std::string base = fs::path(page).parent_path().string();
        for (const std::string& marked : links.Marked) {
            const ResolvedResource target = m_root.ResolvePage(marked, base);
            if (target.Status == ResourceStatus::Found) m_marked.insert(target.Key);
        }
        return links;
    }

    // The pages `page` (with its `links`) links to that were not found before, in its reading
    // order; with `depths`, how many lists hold the first link to each found in its main list.
    std::vector<std::string> Follow(const std::string& page, const PageLinks& links,
                                    ContentsWalk& result, std::map<std::string, int>* depths) {
        const std::string base = fs::path(page).parent_path().string();
        std::vector<ResolvedResource> targets;  // an empty one for a link to another site
        std::vector<std::string> chapters;
        for (const PageLink& link : links.Links) {
            targets.push_back(LeadsElsewhere(link.Target) ? ResolvedResource{}
                                                          : m_root.ResolvePage(link.Target, base));
            const ResolvedResource& target = targets.back();
            const bool chapter = target.Status == ResourceStatus::Found && InFolder(target.Key) &&
                                 target.Key != page && m_marked.count(target.Key) == 0;
            chapters.push_back(chapter ? target.Key : std::string());
        }

        std::vector<std::string> next;
        int elsewhere = 0;
        const LinkOrder order = ReadingOrder(links, chapters);
        for (std::size_t at = 0; at < order.Links.size(); ++at) {
            const std::size_t i = order.Links[at];
            const std::string& link = links.Links[i].Target;
            const ResolvedResource& target = targets[i];
            if (LeadsElsewhere(link)) {
                ++elsewhere;
                continue;
            }
            if (target.Status == ResourceStatus::NotAFile) continue;  // the page itself
            if (target.Status == ResourceStatus::Found && !InFolder(target.Key)) {
                Skip(result, page, link, "it lies in another folder than the contents page");
                continue;
            }
            if (target.Status == ResourceStatus::Found) {
                if (!Add(target.Key)) continue;
                next.push_back(target.Key);
                if (depths != nullptr && at < order.InMainList)
                    depths->emplace(target.Key, links.Links[i].Depth);
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

    // `pages` with those marked to come last moved behind the others, each part in its order.
    std::vector<std::string> MarkedLast(std::vector<std::string> pages) const {
        std::stable_partition(pages.begin(), pages.end(),
                              [this](const std::string& page) { return !m_marked.count(page); });
        return pages;
    }

  private:
    bool InFolder(const std::string& key) const {
        return fs::path(key).parent_path() == fs::path(m_folder);
    }

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
    std::set<std::string> m_marked;
    std::set<std::string> m_skipped;
};

}  // namespace

PageLinks ReadPageLinks(std::string_view page) {
    const std::string text = LimitNesting(page, kParseNestingLimit);
    const GumboDocument parsed(text);
    PageLinks found;
    // Depth first in document order, each node with the outermost list holding it. Only
    // elements are entered: text, comments and a template's inert content hold no link.
    struct Place {
        const GumboNode* Node;
        int List;
        int Depth;
    };
    std::vector<Place> stack{{&parsed.Root(), kNoList, 0}};
    while (!stack.empty()) {
        auto [node, list, depth] = stack.back();
        stack.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT) continue;
        const GumboElement& element = node->v.element;
        if (list == kNoList && IsList(element)) {
            list = static_cast<int>(found.ListKinds.size());
            found.ListKinds.push_back(KindOf(*node));
        }
        if (NestsEntries(element.tag)) ++depth;
        const bool isLink = element.tag == GUMBO_TAG_A || element.tag == GUMBO_TAG_AREA;
        const auto href = AttributeOf(element, "href");
        if (href && (isLink || element.tag == GUMBO_TAG_LINK)) {
            const auto rel = AttributeOf(element, "rel");
            if (rel && MarksAsLast(*rel)) found.Marked.emplace_back(*href);
            if (isLink) found.Links.push_back({std::string(*href), list, depth});
        }
        for (unsigned i = element.children.length; i-- > 0;)
            stack.push_back({static_cast<const GumboNode*>(element.children.data[i]), list, depth});
    }
    return found;
}

ContentsWalk WalkContentsPage(const std::string& contentsPage, const ResourceRoot& root, int depth,
                              bool withContentsPage) {
    const fs::path start = fs::weakly_canonical(fs::absolute(contentsPage));
    ContentsWalk result;
    Walk walk(root, start.parent_path().string());
    walk.Add(start.string());
    std::vector<std::string> found;
    std::vector<std::string> level{start.string()};
    std::map<std::string, int> depths;  // of the contents page's main list
    for (int step = 0; step < depth && !level.empty(); ++step) {
        // The level's pages are read before any is followed, so that the marks of all of them
        // decide which are followed last and which lists hold contents.
        std::map<std::string, PageLinks> links;
        for (const std::string& page : level) links.emplace(page, walk.Read(page));
        std::vector<std::string> next;
        for (const std::string& page : walk.MarkedLast(std::move(level)))
            for (std::string& linked :
                 walk.Follow(page, links.at(page), result, step == 0 ? &depths : nullptr))
                next.push_back(std::move(linked));
        found.insert(found.end(), next.begin(), next.end());
        level = std::move(next);
    }
    // A page may be marked by a page read after it was found.
    found = walk.MarkedLast(std::move(found));
    if (withContentsPage) result.Pages.push_back(start.string());
    result.Pages.insert(result.Pages.end(), found.begin(), found.end());
    // The list's outermost entries stand at level 1, whatever holds the list.
    int outermost = 0;
    for (const auto& [page, listDepth] : depths)
        outermost = outermost == 0 ? listDepth : std::min(outermost, listDepth);
    for (const std::string& page : result.Pages) {
        const auto listed = depths.find(page);
        result.Levels.push_back(listed == depths.end() ? 1 : listed->second - outermost + 1);
    }
    return result;
}

}  // namespace quirebook
