#include "html/LinksAndResources.h"

#include <filesystem>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "css/StyleText.h"
#include "text/FolderFiles.h"
#include "text/PlainText.h"
#include "text/Regex.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The quoted "src" value of an image tag; empty when the value is missing, unquoted or never
// closed within the tag.
std::string ImageTagPath(std::string_view tag) {
    const std::size_t src = PosFrom(tag, "src=", 3, true);
    if (src == 0) return {};
    const std::size_t quoteAt = src + 4;  // 1-based, the byte after "src="
    if (quoteAt > tag.size()) return {};
    const char quote = tag[quoteAt - 1];
    if (quote != '"' && quote != '\'') return {};
    const std::size_t closeAt = PosFrom(tag, std::string_view(&quote, 1), quoteAt + 1);
    if (closeAt == 0) return {};
    return std::string(tag.substr(quoteAt, closeAt - quoteAt - 1));
}

// The "href" value of a link tag up to its ".css", with ".css" appended in lower case; empty
// when the value names no style sheet. The ".css" must lie inside the value, so that a ".css"
// in a later attribute does not turn an icon link into a style sheet.
std::string StyleSheetTagPath(std::string_view tag) {
    const std::size_t href = PosFrom(tag, "href=", 5, true);
    if (href == 0) return {};
    std::size_t start = href + 5;  // 1-based, the first byte of the value
    std::size_t valueEnd = 0;      // 1-based, the byte that ends the value
    if (start <= tag.size() && (tag[start - 1] == '"' || tag[start - 1] == '\'')) {
        valueEnd = PosFrom(tag, std::string_view(&tag[start - 1], 1), start + 1);
        ++start;
    } else {
        const std::size_t end = tag.find_first_of(" \t\r\n>", start - 1);
        valueEnd = end == npos ? 0 : end + 1;
    }
    if (valueEnd == 0) valueEnd = tag.size() + 1;
    const std::size_t css = PosBefore(tag, ".css", start, true, valueEnd);
    if (css == 0) return {};
    return std::string(tag.substr(start - 1, css - start)) + ".css";
}

// The path as it is listed: "\" turned into "/", "&amp;" and "&nbsp;" unescaped, "%HH"
// decoded, blanks trimmed. Empty when it names a scheme or a drive (":", which covers "http://"),
// or when it is absolute or holds a ".." segment. The last test runs on the final path, so that a
// ".." written with "\" or hidden behind escaped spaces is caught as well.
std::string CleanReferencePath(std::string_view raw) {
    if (raw.find(':') != npos) return {};
    const std::string unescaped =
        PercentDecode(UnescapeReferencePath(PlainReplace(raw, "\\", "/")));
    const std::string path(TrimBlanks(unescaped));
    return IsSafeRelativePath(path) ? path : std::string();
}

// Walks the matches of `tagPattern` in every chapter file and lists the cleaned path each tag
// gives through `pathOfTag`, once per path, in order of first appearance. Paths differing only
// in ASCII case are one file to the systems the books are read on, so they are listed once.
std::vector<std::string> CollectReferences(const BookProject& project, std::string_view tagPattern,
                                           std::string (*pathOfTag)(std::string_view)) {
    std::vector<std::string> paths;
    std::unordered_set<std::string> listed;
    Regex& regex = SharedRegex();
    regex.SetPattern(tagPattern);
    for (const std::string& chapter : project.ChapterFiles) {
        regex.SetSubject(LoadTextFile(project.OpsFolder + chapter));
        while (regex.MatchNext()) {
            const std::string path = CleanReferencePath(pathOfTag(regex.MatchedText()));
            if (!path.empty() && listed.insert(AsciiLower(path)).second) paths.push_back(path);
        }
    }
    return paths;
}

// Where the fragment identifiers of the book are defined: by each chapter's body, and the first
// chapter (in reading order) defining each.
struct FragmentTargets {
    std::vector<std::unordered_set<std::string>> DefinedBy;
    std::unordered_map<std::string, std::size_t> FirstDefinedIn;
};

FragmentTargets FindFragmentTargets(const std::vector<std::string>& texts) {
    FragmentTargets targets;
    Regex& regex = SharedRegex();
    regex.SetPattern("(?<=id=\")[^\"]+");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::unordered_set<std::string>& ids = targets.DefinedBy.emplace_back();
        regex.SetSubject(ExtractBodyText(texts[i]));
        while (regex.MatchNext()) {
            ids.insert(regex.MatchedText());
            targets.FirstDefinedIn.emplace(regex.MatchedText(), i);
        }
    }
    return targets;
}

// Rewrites every href="#x" of chapter `chapter` whose x the book defines into href="F#x": F is
// the chapter itself when it defines x (a page's link to its own note stays on the page, even
// when an earlier chapter reuses the id), else the first chapter defining x. Occurrences may
// overlap (an x ending in "href=" runs into the next link), so the search goes on from the "#"
// of each one. False when nothing changed.
bool RewriteFragmentLinks(std::string& text, std::size_t chapter, const FragmentTargets& targets,
                          const std::vector<std::string>& chapterNames) {
    constexpr std::string_view kLinkStart = "href=\"#";
    std::string rewritten;
    std::size_t copied = 0;  // 0-based, the first byte not yet copied
    for (std::size_t at = text.find(kLinkStart); at != npos;
         at = text.find(kLinkStart, at + kLinkStart.size() - 1)) {
        const std::size_t valueStart = at + kLinkStart.size();
        const std::size_t valueEnd = text.find('"', valueStart);
        if (valueEnd == npos) break;  // no later link can be closed either
        const std::string id(text, valueStart, valueEnd - valueStart);
        const auto first = targets.FirstDefinedIn.find(id);
        if (first == targets.FirstDefinedIn.end()) continue;
        const std::size_t target =
            targets.DefinedBy[chapter].count(id) != 0 ? chapter : first->second;
        if (rewritten.empty()) rewritten.reserve(text.size() + text.size() / 8);
        const std::size_t insertAt = valueStart - 1;  // before the "#"
        rewritten.append(text, copied, insertAt - copied);
        rewritten += EscapeMarkup(chapterNames[target]);
        copied = insertAt;
    }
    if (copied == 0) return false;  // no link was rewritten
    rewritten.append(text, copied);
    text = std::move(rewritten);
    return true;
}

}  // namespace

std::vector<std::string> CollectImageReferences(const BookProject& project) {
    return CollectReferences(project, "<img[^>]+>", ImageTagPath);
}

std::vector<std::string> CollectStyleSheetReferences(const BookProject& project) {
    return CollectReferences(project, "<link[^>]+>", StyleSheetTagPath);
}

std::string UnescapeReferencePath(std::string_view path) {
    if (path.find('&') == npos) return std::string(path);
    std::string unescaped;
    unescaped.reserve(path.size());
    for (std::size_t at = 0; at < path.size(); ++at) {
        if (path.compare(at, 5, "&amp;") == 0) {
            unescaped += '&';
            at += 4;
        } else if (path.compare(at, 6, "&nbsp;") == 0) {
            unescaped += ' ';
            at += 5;
        } else {
            unescaped += path[at];
        }
    }
    return unescaped;
}

void RepairInBookLinks(const BookProject& project, ChapterTexts& texts) {
    const FragmentTargets targets = FindFragmentTargets(texts);
    if (targets.FirstDefinedIn.empty()) return;
    for (std::size_t j = 0; j < texts.size(); ++j)
        RewriteFragmentLinks(texts[j], j, targets, project.ChapterFiles);
}

namespace {

// The double- or single-quoted value of `attribute` in a tag; empty when it has none.
std::string QuotedAttribute(std::string_view tag, std::string_view attribute) {
    Regex value(preCaseLess | preSingleLine);
    value.SetPattern("\\s" + std::string(attribute) + "\\s*=\\s*(\"([^\"]*)\"|'([^']*)')");
    value.SetSubject(std::string(tag));
    if (!value.MatchNext()) return {};
    return value.Submatch(2).empty() ? value.Submatch(3) : value.Submatch(2);
}

// An image is available when the book holds it: carried into OpsFolder with the chapters.
bool IsAvailableImage(const BookProject& project, const std::string& path) {
    if (path.empty()) return false;
    const std::string file = project.OpsFolder + path;
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) && IsInsideFolder(file, project.OpsFolder);
}

}  // namespace

void ReplaceUnavailableImages(BookProject& project, ChapterTexts& texts) {
    Regex images(preCaseLess | preSingleLine);
    images.SetPattern("<img[^>]+>");
    // A book shows the same few pictures (icons, rules) hundreds of times: each path is looked
    // up in the folder once.
    std::unordered_map<std::string, bool> available;
    const auto isAvailable = [&](const std::string& path) {
        const auto [known, added] = available.try_emplace(path, false);
        if (added) known->second = IsAvailableImage(project, path);
        return known->second;
    };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string& chapter = project.ChapterFiles[i];
        const std::string& text = texts[i];
        images.SetSubject(text);
        std::string rewritten;
        std::size_t copied = 0;  // 0-based
        bool replaced = false;
        while (images.MatchNext()) {
            const std::string tag = images.MatchedText();
            if (isAvailable(CleanReferencePath(ImageTagPath(tag)))) continue;
            const std::size_t start = images.MatchStart() - 1;
            rewritten.append(text, copied, start - copied);
            rewritten += QuotedAttribute(tag, "alt");
            copied = images.MatchEnd() - 1;
            replaced = true;
            project.AddLog(chapter + ": the image \"" + QuotedAttribute(tag, "src") +
                           "\" is not in the book; its alt text stands in its place");
        }
        if (!replaced) continue;
        rewritten.append(text, copied);
        texts[i] = std::move(rewritten);
    }
}

}  // namespace quirebook
