#include "word/WordHtmlCleaner.h"

#include <algorithm>
#include <charconv>
#include <unordered_set>
#include <utility>

#include "css/BookStyleSheets.h"
#include "css/StyleText.h"
#include "html/ContentFilter.h"
#include "html/PageDirection.h"
#include "html/WebPageCleaning.h"
#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"
#include "word/RelativePictureSizes.h"
#include "word/ContentsEntries.h"
#include "word/NoteMarks.h"
#include "word/VmlPictures.h"
#include "word/WordStyleCleanup.h"

namespace quirebook {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kNoBreakSpace = "&nbsp;";

void Report(const ProgressReport& progress, const std::string& status) {
    if (progress) progress(status);
}

bool EqualsAsciiCaseless(char a, char b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(a) == lower(b);
}

// True when `text` holds `word` at 0-based `at`, ASCII letters compared without regard to case.
bool HasAtCaseless(std::string_view text, std::size_t at, std::string_view word) {
    if (at > text.size() || text.size() - at < word.size()) return false;
    return std::equal(word.begin(), word.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
                      EqualsAsciiCaseless);
}

// Inside a tag every line feed and tab becomes a space, so that Word's attributes continued on
// the next line read as one. A "<" followed by "!" (a comment or declaration) opens no tag.
void JoinLinesInTags(std::string& text) {
    bool inTag = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char& c = text[i];
        if (c == '<') {
            if (i + 1 >= text.size() || text[i + 1] != '!') inTag = true;
        } else if (c == '>') {
            inTag = false;
        } else if (inTag && (c == '\n' || c == '\t')) {
            c = ' ';
        }
    }
}

// Every run of two or more spaces becomes one; a run of three or more directly after ":" or ";"
// goes entirely (the indentation of a continued style attribute).
void ShortenSpaceRuns(std::string& text) {
    std::string shortened;
    shortened.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != ' ') {
            shortened += text[i++];
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && text[end] == ' ') ++end;
        const bool afterDeclaration = i > 0 && (text[i - 1] == ':' || text[i - 1] == ';');
        if (end - i < 3 || !afterDeclaration) shortened += ' ';
        i = end;
    }
    text = std::move(shortened);
}

// Every "<span...>&nbsp;</span>" becomes "&nbsp;", and so does a span that holds only such a
// span once that has collapsed, however deep the nesting: in one pass, with a stack of the span
// start tags already written.
void CollapseNoBreakSpans(std::string& text) {
    constexpr std::string_view open = "<span";
    constexpr std::string_view close = "</span>";
    struct WrittenTag {
        std::size_t Start;  // 0-based, in `collapsed`
        std::size_t End;    // just after its ">"
    };
    std::vector<WrittenTag> tags;
    std::string collapsed;
    collapsed.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '<' && HasAtCaseless(text, i, open)) {
            const std::size_t tagEnd = text.find('>', i + open.size());
            if (tagEnd != npos) {
                tags.push_back({collapsed.size(), collapsed.size() + tagEnd + 1 - i});
                collapsed.append(text, i, tagEnd + 1 - i);
                i = tagEnd + 1;
                continue;
            }
        } else if (text[i] == '<' && !tags.empty() && HasAtCaseless(text, i, close) &&
                   tags.back().End + kNoBreakSpace.size() == collapsed.size() &&
                   HasAtCaseless(collapsed, tags.back().End, kNoBreakSpace)) {
            // The last thing written is a span start tag and a lone no-break space.
            collapsed.resize(tags.back().Start);
            collapsed += kNoBreakSpace;
            tags.pop_back();
            i += close.size();
            continue;
        }
        collapsed += text[i++];
    }
    text = std::move(collapsed);
}

// In every "<td " start tag, the text from "height:" up to the next "'" of the same tag goes; a
// tag without that quote is left as it is.
void DropCellHeights(std::string& text) {
    std::string kept;
    kept.reserve(text.size());
    std::size_t copy = 0;
    for (std::size_t cell = text.find("<td "); cell != npos; cell = text.find("<td ", cell + 1)) {
        const std::size_t tagEnd = text.find('>', cell);
        if (tagEnd == npos) break;
        const std::string_view tag = std::string_view(text).substr(cell, tagEnd - cell);
        const std::size_t height = tag.find("height:");
        if (height == npos) continue;
        const std::size_t quote = tag.find('\'', height);
        if (quote == npos) continue;
        kept.append(text, copy, cell + height - copy);
        copy = cell + quote;
    }
    kept.append(text, copy);
    text = std::move(kept);
}

// Word's table-of-contents anchors go when nothing in the document links to them.
void RemoveUnlinkedTocAnchors(std::string& text) {
    if (text.find("<a name=\"_Toc") == npos || text.find("<a href=\"#_Toc") != npos) return;
    DeletePattern(text, "<a name=\"_Toc[^>]+></a>");
    ReplacePatternInPlace(text, "<a name=\"_Toc[^>]+>(.+?)</a>", "$1");
}

// Every match of `pattern` in `text` replaced by what `rewrite` makes of it, in one pass.
void RewriteMatches(Regex& regex, std::string& text, std::string_view pattern,
                    const std::function<std::string(const Regex&)>& rewrite) {
    regex.SetPattern(pattern);
    regex.SetSubject(std::move(text));
    std::string rewritten;
    rewritten.reserve(regex.Subject().size());
    std::size_t copy = 1;
    while (regex.MatchNext()) {
        AppendRange(rewritten, regex.Subject(), regex.MatchStart() - 1, copy);
        rewritten += rewrite(regex);
        copy = regex.MatchEnd();
    }
    AppendRange(rewritten, regex.Subject(), regex.Subject().size(), copy);
    regex.SetSubject({});
    text = std::move(rewritten);
}

// The declarations of a style table entry: without "style='" and the closing quote.
std::string_view Declarations(std::string_view entry) {
    return entry.substr(7, entry.size() - 8);
}

}  // namespace

WordHeadFacts AnalyzeWordHead(std::string_view page) {
    WordHeadFacts facts;
    const std::string head = TextBetween(page, "<head>", "</head>");
    constexpr std::string_view metaStart = "<meta ";
    for (std::size_t at = PosFrom(head, metaStart, 1, true); at > 0;) {
        const std::size_t from = at + metaStart.size();
        const std::size_t end = PosFrom(head, ">", from);
        if (end == 0) break;  // a meta that never ends is not read
        const std::string_view meta = std::string_view(head).substr(from - 1, end - from);
        if (meta.find("charset=") != npos) {
            // An unquoted value (<meta charset=utf-8>) runs to the end of the element.
            const std::string_view value = meta.substr(meta.find("charset=") + 8);
            facts.Charset = TrimBlanks(value.substr(0, value.find('"')));
        } else if (meta.find("Microsoft Word") != npos) {
            std::string version = TextBetween(meta, "Microsoft Word ", "\"");
            const std::size_t filtered = version.find("(filtered)");
            if (filtered != npos) version.resize(filtered);
            facts.GeneratorVersion = TrimBlanks(version);
        }
        at = PosFrom(head, metaStart, end, true);
    }
    return facts;
}

void WordHtmlCleaner::SetSource(std::string text) {
    m_source = std::move(text);
}

void WordHtmlCleaner::AnalyzeHead() {
    m_head = AnalyzeWordHead(m_source);
}

void WordHtmlCleaner::BasicCleanup(std::string& text) const {
    std::erase(text, '\r');
    JoinLinesInTags(text);
    ShortenSpaceRuns(text);
    text = PlainReplace(text, "style='page-break-after:avoid'", "");
    DeletePattern(text, " class=msonormal[\\w\\-]*");
    DeletePattern(text, " class=MsoFootnoteReference");
    CollapseNoBreakSpans(text);
    DropCellHeights(text);
    RemoveUnlinkedTocAnchors(text);
}

void WordHtmlCleaner::RemoveOfficeMarkup(std::string& text) const {
    ReplacePatternInPlace(text, "<link.+?<title>", "<title>");
    // Office's own declarations go, and the style attributes that held nothing else; the other
    // declarations of an attribute that opens with one stay (a list bullet's Symbol font after
    // "mso-bidi-font-size").
    ReplacePatternInPlace(text, "(style=')(?:\\s*mso\\-[^;']*;)+", "$1");
    DeletePattern(text, ";\\s*mso\\-[^;']+");
    DeletePattern(text, " style='\\s*(?:mso\\-[^;']*)?'");
    ReplacePatternInPlace(text, "<html [^>]+>", "<html>");
    DeletePattern(text, "<!--\\[if.+?<!\\[endif\\]-->");
    DeletePattern(text, "<(/)?!\\[[^>]+>");
    DeletePattern(text, "<o\\:[^>]+/>");
    DeletePattern(text, "<(/)?o:p>");
    DeletePattern(text, "<w:[^>]+/>");
    // Word elements go with their text only when they hold no markup; of a wrapper such as a
    // content control (<w:Sdt> around a table of contents) only the tags go and what it holds
    // stays: a lazy match up to the next closing Word tag would take document text with it.
    DeletePattern(text, "<w:[^>]+>[^<]*</w:[^>]+>");
    DeletePattern(text, "</?w:[^>]+>");
    DeletePattern(text, "<xml>.+?</xml>");
    // A picture shown only through VML would go with it.
    text = VmlPicturesAsImages(text);
    DeletePattern(text, "<v:.+?</v:[^>]+>");
}

void WordHtmlCleaner::StylesToClasses(std::string& text, char quote) {
    m_styleTable.clear();
    m_styleNumbers.clear();
    if (!FindStyleBlock(text).Found) return;

    const std::string q(1, quote);
    m_regex.SetPattern("style=" + q + "[^" + q + "]+" + q);
    for (std::string& style : m_regex.MatchAll(ExtractBodyText(text))) {
        if (m_styleNumbers.try_emplace(style, m_styleTable.size() + 1).second)
            m_styleTable.push_back(std::move(style));
    }
    std::string rules;
    for (std::size_t k = 1; k <= m_styleTable.size(); ++k) {
        rules += "\n.s" + std::to_string(k) + "{";
        rules += Declarations(m_styleTable[k - 1]);
        rules += "}";
    }
    ReplaceStyleAttributes(text);
    RebuildStyleBlock(text, std::move(rules));
    MergeClassNames(text);
}

void WordHtmlCleaner::ReplaceStyleAttributes(std::string& text) const {
    constexpr std::string_view marker = "style=";
    std::string replaced;
    replaced.reserve(text.size());
    std::size_t copy = 0;
    std::size_t at = text.find(marker);
    while (at != npos) {
        const std::size_t open = at + marker.size();
        if (open >= text.size()) break;
        const char quote = text[open];
        if (quote != '\'' && quote != '"') {
            at = text.find(marker, open);  // not an attribute value: passed over as it is
            continue;
        }
        // The closing quote is looked for from just after the opening one, so that an empty
        // value ends at once instead of swallowing the text up to the next attribute.
        const std::size_t close = text.find(quote, open + 1);
        if (close == npos) break;  // never closed: the rest stays as it is
        const auto entry = m_styleNumbers.find(text.substr(at, close + 1 - at));
        if (entry != m_styleNumbers.end()) {
            replaced.append(text, copy, at - copy);
            replaced += "class=s" + std::to_string(entry->second);
            copy = close + 1;
        }
        at = text.find(marker, close + 1);
    }
    replaced.append(text, copy);
    text = std::move(replaced);
}

bool WordHtmlCleaner::RebuildStyleBlock(std::string& text, std::string rules) {
    const StyleBlockPlace place = FindStyleBlock(text);
    if (!place.Found) return false;
    std::string definitions = text.substr(place.ContentStart - 1, place.ContentLength);
    CleanWordStyleSheet(text, definitions);
    CombineMargins(rules);

    const std::size_t first = PosFrom(text, "<style", 1);
    const std::size_t headEnd = PosFrom(text, "</head>", 1);
    // Without "</head>" (or with the block after it) the Word block's own end closes the range.
    std::size_t last = headEnd == 0 ? 0 : LastPos(text, "</style>", headEnd);
    if (last < place.CloseStart) last = place.CloseStart;

    std::string rebuilt;
    rebuilt.reserve(text.size() + rules.size());
    AppendRange(rebuilt, text, first - 1, 1);
    rebuilt += "<style type=\"text/css\">";
    rebuilt += definitions;
    rebuilt += "\n/* =====================*/\n/* Generated by HTML Cleaner for Word */";
    rebuilt += rules;
    rebuilt += "\n";
    AppendRange(rebuilt, text, text.size(), last);
    text = std::move(rebuilt);
    return true;
}

void WordHtmlCleaner::MergeClassNames(std::string& text) {
    const std::size_t styleStart = PosFrom(text, "<style", 1);
    if (styleStart == 0 || PosFrom(text, "</style>", styleStart) == 0) return;

    // The joined names are remembered: a class of the document that merely looks like one (a
    // name ending in "-" and a number) must not get the declarations of a generated class.
    std::unordered_set<std::string> joined;
    RewriteMatches(m_regex, text, " class=([\\w\\-]+) class=s(\\d+)", [&](const Regex& match) {
        std::string name = match.Submatch(1) + "-" + match.Submatch(2);
        joined.insert(name);
        return " class=" + name;
    });
    RewriteMatches(m_regex, text, " class=([\\w\\-]+) ([^>]+) class=s(\\d+)",
                   [&](const Regex& match) {
                       std::string name = match.Submatch(1) + "-" + match.Submatch(3);
                       joined.insert(name);
                       return " class=" + name + " " + match.Submatch(2);
                   });

    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    m_regex.SetPattern(" class=[\\w\\-]+-\\d+");
    for (std::string& match : m_regex.MatchAll(text)) {
        std::string name = match.substr(7);
        if (joined.contains(name) && seen.insert(name).second) names.push_back(std::move(name));
    }
    const std::size_t p = PosFrom(text, "<style", 1);
    const std::size_t q = PosFrom(text, "</style>", p);
    std::string block = text.substr(p - 1, q - p);

    std::string merged;
    for (const std::string& name : names) {
        const std::size_t dash = name.rfind('-');
        const std::string_view base = std::string_view(name).substr(0, dash);
        const std::string_view digits = std::string_view(name).substr(dash + 1);
        std::size_t number = 0;
        std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (base.substr(0, 7) == "Section") continue;
        if (number == 0 || number > m_styleTable.size()) continue;  // not a generated class
        std::string baseRule = GetRuleBody("." + std::string(base), block);
        // A Word rule without a final ";" would swallow the first inline declaration.
        if (!TrimBlanks(baseRule).empty() && TrimBlanks(baseRule).back() != ';')
            baseRule = std::string(TrimBlanks(baseRule)) + ";";
        merged += "." + name + "{" + baseRule + "\n\t";
        merged += Declarations(m_styleTable[number - 1]);
        merged += "}\n";
    }
    block = PlainReplace(block, "<!--", "");
    CombineMargins(merged);

    std::string rebuilt;
    rebuilt.reserve(text.size() + merged.size());
    AppendRange(rebuilt, text, p - 1, 1);
    rebuilt += block;
    rebuilt += merged;
    AppendRange(rebuilt, text, text.size(), q);
    text = std::move(rebuilt);
}

void WordHtmlCleaner::RemoveFutileAttributes(std::string& text) const {
    text = PlainReplace(text, " valign=top", "");
    text = PlainReplace(text, " align=justify", "");
    DeletePattern(text, " lang=[^\\s>]+");
    DeletePattern(text, "<font[^>]+>");
    DeletePattern(text, "</font>");
    DeletePattern(text, "page-break-after:avoid;");
    text = PlainReplace(text, " nowrap", "");
}

std::optional<std::string> CleanWordHtml(std::string text, const OptionFlags& options,
                                         const ProgressReport& progress) {
    WordHtmlCleaner cleaner;
    cleaner.SetSource(text);
    cleaner.AnalyzeHead();
    if (!cleaner.Valid()) return std::nullopt;
    // The filter writes the body tag anew; the page's direction goes back onto it.
    const std::string direction = PageDirection(text);
    // While the page still has its page rules, sections, tables and VML shapes.
    text = WithRelativePictureSizes(text);
    cleaner.BasicCleanup(text);
    text = ReplacePageBreaks(std::move(text), options);
    Report(progress, "Optimizing");
    cleaner.RemoveOfficeMarkup(text);
    RaiseNoteMarksOnce(text);
    DropContentsPageNumbers(text);
    MapWingdingsBullets(text);
    MapSymbolBullets(text);
    cleaner.StylesToClasses(text, '\'');
    Report(progress, "Optimizing");
    cleaner.RemoveFutileAttributes(text);
    Report(progress, "Optimizing");
    text = RemoveEmptyElements(std::move(text));
    ReplacePatternInPlace(text, "\\n\\s*\\n", "\n");
    return WithBodyDirection(FilterWordHtml(std::move(text), options), direction);
}

bool CleanWordFile(const std::string& path, const OptionFlags& options,
                   const ProgressReport& progress) {
    Report(progress, "Optimizing");
    const std::optional<std::string> cleaned = CleanWordHtml(LoadTextFile(path), options, progress);
    if (cleaned) SaveTextFile(path, *cleaned);
    Report(progress, "");
    return cleaned.has_value();
}

}  // namespace quirebook
