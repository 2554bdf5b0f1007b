// Checks the links, pictures and linked files of a conformed chapter against the files and ids
// of the whole book.
#include "html/ChapterLinks.h"

#include <algorithm>
#include <vector>

#include "text/Encoding.h"
#include "text/TextUtilities.h"

namespace quirebook::conform {

using namespace xhtml;

namespace {

enum class LinkTarget { External, InBook, Missing };

struct ResolvedLink {
    LinkTarget Target = LinkTarget::Missing;
    std::string Path;      // in the book, from its root
    std::string Written;   // the path part as the link wrote it, without query
    std::string Fragment;  // without "#"
    bool HadFragment = false;
    bool HadQuery = false;
    bool Renamed = false;  // the path names a file the book names in UTF-8 (see FileNameToUtf8)
};

// The folder part of a book path, with its final "/" ("" at the root).
std::string_view FolderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == npos ? std::string_view() : path.substr(0, slash + 1);
}

// A link or source value resolved against the chapter that holds it.
ResolvedLink ResolveLink(std::string_view href, const std::string& chapterFile,
                         const BookLinks& book) {
    ResolvedLink link;
    std::size_t schemeEnd = 0;
    while (schemeEnd < href.size() &&
           (IsLetter(href[schemeEnd]) ||
            (schemeEnd > 0 && (IsDigit(href[schemeEnd]) || href[schemeEnd] == '+' ||
                               href[schemeEnd] == '.' || href[schemeEnd] == '-'))))
        ++schemeEnd;
    if (schemeEnd > 0 && schemeEnd < href.size() && href[schemeEnd] == ':') {
        const std::string scheme = AsciiLower(href.substr(0, schemeEnd));
        if (ListHolds(" http https mailto ftp ", scheme)) link.Target = LinkTarget::External;
        return link;
    }
    const std::size_t hash = href.find('#');
    link.HadFragment = hash != npos;
    if (link.HadFragment) link.Fragment = href.substr(hash + 1);
    std::string_view written = href.substr(0, hash);
    const std::size_t query = written.find('?');
    link.HadQuery = query != npos;
    written = written.substr(0, query);
    link.Written = written;
    const std::string decoded = PercentDecode(written);
    std::string path = FileNameToUtf8(decoded);
    link.Renamed = path != decoded;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty()) {
        link.Path = chapterFile;
    } else {
        if (path.front() == '/') return link;
        std::vector<std::string> parts;
        const std::string joined = std::string(FolderOf(chapterFile)) + path;
        for (std::size_t from = 0; from <= joined.size();) {
            const std::size_t end = std::min(joined.find('/', from), joined.size());
            const std::string part = joined.substr(from, end - from);
            from = end + 1;
            if (part.empty() || part == ".") continue;
            if (part == "..") {
                if (parts.empty()) return link;  // climbs out of the book
                parts.pop_back();
            } else {
                parts.push_back(part);
            }
        }
        for (const std::string& part : parts) link.Path += (link.Path.empty() ? "" : "/") + part;
    }
    if (book.HoldsFile(link.Path)) link.Target = LinkTarget::InBook;
    return link;
}

// `to` (a book path) as a link from the chapter `from`, its bytes escaped where a link would
// read them otherwise.
std::string RelativeHref(const std::string& from, const std::string& to) {
    const std::string_view fromFolder = FolderOf(from);
    std::size_t common = 0;
    for (std::size_t i = 0; i < fromFolder.size() && i < to.size() && fromFolder[i] == to[i]; ++i)
        if (to[i] == '/') common = i + 1;
    std::string href;
    for (std::size_t i = common; i < fromFolder.size(); ++i)
        if (fromFolder[i] == '/') href += "../";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : std::string_view(to).substr(common)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || c == '%' || c == '#' || c == '?' || c == '"') {
            href += '%';
            href += kHex[byte >> 4];
            href += kHex[byte & 15];
        } else {
            href += c;
        }
    }
    return href;
}

}  // namespace

void FixLinks(Tree& tree, const std::string& chapterFile, const BookLinks& book) {
    std::vector<NodeId> stack{tree.Head, tree.Body};
    while (!stack.empty()) {
        const NodeId id = stack.back();
        stack.pop_back();
        Node& node = tree[id];
        if (node.IsText) continue;
        stack.insert(stack.end(), node.Children.begin(), node.Children.end());
        const std::string_view attribute = node.Name == "img" ? "src" : "href";
        const std::string* value = AttributeOf(node, attribute);
        if (value == nullptr || value->empty()) continue;
        const ResolvedLink link = ResolveLink(*value, chapterFile, book);
        if (node.Name == "img") {
            if (link.Target == LinkTarget::InBook) continue;
            // The picture is not in the book: its alt text stands in its place.
            std::string alt = *AttributeOf(node, "alt");
            node = Node();
            node.IsText = true;
            node.Text = std::move(alt);
        } else if (node.Name == "a") {
            if (link.Target == LinkTarget::External) continue;
            if (link.Target == LinkTarget::Missing) {
                // Plain text; an id or class the link carried stays on a span.
                Rename(node, "span");
                node.Transparent = node.Attributes.empty();
                continue;
            }
            // A path written in other bytes than the book's names, or to a chapter the book
            // holds under another name, is written anew; a query goes.
            const bool movedChapter =
                !link.Written.empty() && book.WrittenName(link.Path) != link.Path;
            const bool rewritePath = link.HadQuery || link.Renamed || movedChapter;
            const std::string path = link.Renamed || movedChapter
                                         ? RelativeHref(chapterFile, book.WrittenName(link.Path))
                                         : link.Written;
            std::string href = rewritePath ? path : *value;
            if (link.HadFragment && book.IsChapter(link.Path) &&
                !book.Defines(link.Path, link.Fragment)) {
                const std::string* holder =
                    link.Fragment.empty() ? nullptr : book.SoleHolder(link.Fragment);
                href = holder != nullptr ? RelativeHref(chapterFile, book.WrittenName(*holder)) +
                                               "#" + link.Fragment
                       : path.empty() ? RelativeHref(chapterFile, book.WrittenName(chapterFile))
                                      : path;
            } else if (rewritePath && link.HadFragment) {
                href += "#" + link.Fragment;
            }
            SetAttribute(node, "href", std::move(href));
        } else if (node.Name == "link" && link.Target != LinkTarget::InBook) {
            node.Transparent = true;  // nothing left to write
            node.Children.clear();
        }
    }
}

}  // namespace quirebook::conform
