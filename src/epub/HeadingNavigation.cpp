#include "epub/HeadingNavigation.h"

#include <set>

#include "epub/EscapeRules.h"
#include "text/Entities.h"
#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/Regex.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

constexpr std::size_t kHeadingTextLimit = 32;

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Cuts `text` to at most `limit` bytes without splitting a UTF-8 character or an entity.
void CutWhole(std::string& text, std::size_t limit) {
    std::size_t cut = limit;
    while (cut > 0 && IsContinuationByte(text[cut])) --cut;
    text.resize(cut);
    const std::size_t ampersand = text.rfind('&');
    if (ampersand != std::string::npos && text.find(';', ampersand) == std::string::npos)
        text.resize(ampersand);
}

// Every id (and anchor name) the chapter has.
std::set<std::string> ChapterIds(const std::string& chapterText) {
    Regex finder(preCaseLess);
    finder.SetPattern("\\s(?:id|name)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'/>]+))");
    finder.SetSubject(chapterText);
    std::set<std::string> ids;
    while (finder.MatchNext())
        ids.insert(finder.Submatch(1) + finder.Submatch(2) + finder.Submatch(3));
    return ids;
}

bool HoldsId(std::string_view markup, const std::string& id) {
    return markup.find("id=\"" + id + "\"") != std::string_view::npos ||
           markup.find("id='" + id + "'") != std::string_view::npos;
}

// The anchor of the heading numbered `ordinal`, whose markup is `heading`: "aN", or "aN_2",
// "aN_3" ... when another element of the chapter has that id already. `inserted` is false when
// the heading carries the anchor already (a chapter split from a Word document, or one whose
// navigation was made before).
std::string HeadingAnchor(int ordinal, std::string_view heading, std::set<std::string>& ids,
                          bool& inserted) {
    const std::string base = "a" + std::to_string(ordinal);
    std::string anchor = base;
    for (int suffix = 2; ids.count(anchor) != 0 && !HoldsId(heading, anchor); ++suffix)
        anchor = base + "_" + std::to_string(suffix);
    inserted = ids.insert(anchor).second;
    return anchor;
}

}  // namespace

std::string HeadingText(std::string_view innerMarkup) {
    std::string text = ReplacePattern(std::string(innerMarkup), "<[^>]*>", "");
    text = PlainReplace(text, "\xC2\xA0", "");
    if (text.size() > kHeadingTextLimit) {
        CutWhole(text, kHeadingTextLimit);
        const std::size_t space = text.rfind(' ');
        if (space != std::string::npos && space + 1 > 16) text.resize(space);
    }
    text = PlainReplace(text, "\r", "");
    text = PlainReplace(text, "\n", " ");
    text = PlainReplace(text, "\t", "");
    text = PlainReplace(text, "&nbsp;", " ");
    // The navigation document knows no HTML entities: references become characters, and the
    // markup characters (a bare "&" of a sloppy page too) are escaped again.
    text = EscapeMarkup(DecodeEntities(text));
    return std::string(TrimBlanks(text));
}

void FindHeadings(std::string& chapterText, int chapter, std::vector<HeadingEntry>& entries) {
    // A walk of its own, so that HeadingText may use the shared engine inside the loop.
    Regex headings(preCaseLess | preSingleLine);
    headings.SetPattern("<h([123456])[^>]*>(.+?)</h\\1>");
    headings.SetSubject(chapterText);
    std::set<std::string> ids = ChapterIds(chapterText);
    std::string withAnchors;
    std::size_t copiedUpTo = 0;  // 0-based offset into chapterText
    int ordinal = 0;
    while (entries.size() < BookProject::MaximumHeadingEntries && headings.MatchNext()) {
        const std::string inner = headings.Submatch(2);
        std::string text = HeadingText(inner);
        if (text.empty()) continue;
        ++ordinal;
        bool inserted = false;
        const std::string id = HeadingAnchor(ordinal, headings.MatchedText(), ids, inserted);
        entries.push_back({std::move(text), headings.Submatch(1)[0] - '0', chapter, ordinal, id});
        if (!inserted) continue;
        // Inside the heading, after its opening tag, an anchor is valid XHTML wherever the
        // heading stands.
        const std::size_t insertAt =
            headings.MatchEnd() - 1 - std::string_view("</h1>").size() - inner.size();
        withAnchors.append(chapterText, copiedUpTo, insertAt - copiedUpTo);
        withAnchors += "<a id=\"" + id + "\"/>";
        copiedUpTo = insertAt;
    }
    if (copiedUpTo == 0) return;
    withAnchors.append(chapterText, copiedUpTo);
    chapterText = std::move(withAnchors);
}

std::string NavPointOpening(std::size_t playOrder, std::string_view label, std::string_view src) {
    const std::string number = std::to_string(playOrder);
    return "\t<navPoint id=\"navpoint-" + number + "\" playOrder=\"" + number +
           "\">\r\n\t\t\t<navLabel>\r\n\t\t\t\t<text>" + std::string(label) +
           "</text>\r\n\t\t\t</navLabel>\r\n\t\t\t<content src=\"" + std::string(src) + "\"";
}

std::vector<NavigationEntry> GatherHeadingNavigation(BookProject& project) {
    std::vector<HeadingEntry>& headings = project.HeadingEntries;
    headings.clear();
    for (std::size_t i = 0; i < project.ChapterFiles.size(); ++i) {
        const std::string path = project.OpsFolder + project.ChapterFiles[i];
        std::string text = LoadTextFile(path);
        const std::string before = text;
        FindHeadings(text, static_cast<int>(i), headings);
        if (text != before) SaveTextFile(path, text);
    }
    if (headings.empty()) project.BuildLog += "Auto generate TOC failed, no headings found.";
    std::vector<NavigationEntry> entries;
    entries.reserve(headings.size());
    for (const HeadingEntry& heading : headings) {
        const std::string fragment = heading.Anchor.empty() ? std::string() : "#" + heading.Anchor;
        entries.push_back({heading.Text, heading.Level,
                           EscapeMarkup(project.ChapterFiles[heading.Chapter]) + fragment});
    }
    return entries;
}

std::string NcxNavPoints(const std::vector<NavigationEntry>& entries, std::string_view contentEnd) {
    const std::string close = "</navPoint>\r\n\t";
    std::string points;
    int depth = 0;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const NavigationEntry& entry = entries[k];
        if (k > 0) {
            const int previous = entries[k - 1].Level;
            if (previous < entry.Level) {
                ++depth;
            } else if (previous == entry.Level) {
                points += close;
            } else {
                points += "\t" + close;
                if (entry.Level == 1) {
                    for (; depth > 0; --depth) points += "\t" + close;
                } else if (entry.Level == 2 && depth > 1) {
                    points += "\t" + close;
                    --depth;
                }
            }
        }
        points += NavPointOpening(k + 1, entry.Text, entry.Href);
        points += contentEnd;
        points += "\r\n\t\t";
    }
    if (!entries.empty())
        for (int open = 0; open <= depth; ++open) points += close;
    return points;
}

std::string MakeNavMapFromHeadings(BookProject& project) {
    return NcxNavPoints(GatherHeadingNavigation(project));
}

}  // namespace quirebook
