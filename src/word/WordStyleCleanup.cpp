#include "word/WordStyleCleanup.h"

#include <cctype>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "css/BookStyleSheets.h"
#include "css/StyleText.h"
#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/Regex.h"
#include "text/TextUtilities.h"
#include "word/SymbolFontCharacters.h"

namespace quirebook {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Whether `text` holds a font-family declaration of the font at 0-based `at`, the declaration
// whole: not the end of "mso-bidi-font-family:Symbol", nor the start of "Symbolic".
bool IsWholeDeclaration(std::string_view text, std::size_t at, std::size_t length) {
    const auto isNameByte = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    };
    if (at > 0 && isNameByte(text[at - 1])) return false;
    return at + length >= text.size() || !isNameByte(text[at + length]);
}

// The text from 0-based `at` to the next "<" with each character the font draws as what it
// shows; "&" entities and characters the table does not know stay. Nothing when no "<" ends the
// text: a page cut short is left as it is.
std::optional<std::string> MappedText(std::string_view text, std::size_t at, SymbolFont font) {
    const std::size_t end = text.find('<', at);
    if (end == npos) return std::nullopt;
    std::string mapped;
    for (std::size_t i = at; i < end;) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '&') {
            const std::size_t semicolon = text.find(';', i);
            const std::size_t entityEnd =
                semicolon == npos || semicolon > end ? i + 1 : semicolon + 1;
            mapped.append(text, i, entityEnd - i);
            i = entityEnd;
            continue;
        }
        // Codes above 127 reach the page as the two-byte UTF-8 sequences of U+0080 to U+00FF.
        unsigned code = byte;
        std::size_t length = 1;
        if ((byte == 0xC2 || byte == 0xC3) && i + 1 < end) {
            code = ((byte & 0x03u) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
            length = 2;
        } else if (byte >= 0x80) {
            code = 0;  // another character: kept as it is, byte by byte
        }
        const std::string_view shown = code >= 0x20 ? SymbolFontCharacter(font, code) : "";
        if (shown.empty())
            mapped.append(text, i, length);
        else
            mapped += shown;
        i += length;
    }
    return mapped;
}

// The first declaration of font `name` at or after 0-based `from`: "font-family:" and the name,
// with the blanks Word may write between them where it wraps a long tag; its 0-based start and
// length, or nothing.
std::optional<std::pair<std::size_t, std::size_t>> NextDeclaration(std::string_view text,
                                                                   std::string_view name,
                                                                   std::size_t from) {
    constexpr std::string_view kProperty = "font-family:";
    for (std::size_t at = text.find(kProperty, from); at != npos;
         at = text.find(kProperty, at + 1)) {
        std::size_t value = at + kProperty.size();
        while (value < text.size() && (text[value] == ' ' || text[value] == '\r' ||
                                       text[value] == '\n' || text[value] == '\t'))
            ++value;
        if (text.compare(value, name.size(), name) == 0)
            return std::pair(at, value + name.size() - at);
    }
    return std::nullopt;
}

// After each tag declaring the font, its text is replaced by the characters the font draws; then
// the font's declarations are removed.
void MapFontCharacters(std::string& text, std::string_view name, SymbolFont font) {
    std::string mapped;
    mapped.reserve(text.size());
    std::size_t copy = 1;
    for (auto found = NextDeclaration(text, name, 0); found;) {
        const auto [at, length] = *found;
        const std::size_t tagEnd = PosFrom(text, ">", at + 1);
        // Without a ">" after the declaration there is no text to map.
        if (tagEnd == 0) break;
        // The content starts at 0-based tagEnd, just after the ">", or after the spans without a
        // font of their own that open there: a page Word saves unfiltered writes a list's bullet
        // inside <span style='mso-list:Ignore'> within the span of the bullet's font.
        std::size_t content = tagEnd;
        while (text.compare(content, 5, "<span") == 0) {
            const std::size_t close = text.find('>', content);
            if (close == npos || text.substr(content, close - content).find("font") != npos) break;
            content = close + 1;
        }
        if (tagEnd >= copy && IsWholeDeclaration(text, at, length)) {
            if (const std::optional<std::string> shown = MappedText(text, content, font)) {
                AppendRange(mapped, text, content, copy);
                mapped += *shown;
                copy = text.find('<', content) + 1;
            }
        }
        found = NextDeclaration(text, name, tagEnd);
    }
    AppendRange(mapped, text, text.size(), copy);
    mapped = PlainReplace(mapped, "style='font-family:" + std::string(name) + "'", "");
    text.clear();
    std::size_t kept = 0;
    for (auto found = NextDeclaration(mapped, name, 0); found;
         found = NextDeclaration(mapped, name, kept)) {
        text.append(mapped, kept, found->first - kept);
        kept = found->first + found->second;
    }
    text.append(mapped, kept);
}

// The direction a start tag's dir attribute gives ("rtl" or "ltr", in any case, quoted or
// not); empty when it has none.
std::string TagDirection(std::string_view tag) {
    for (std::size_t at = FindAnyCase(tag, "dir="); at != npos;
         at = FindAnyCase(tag, "dir=", at + 1)) {
        if (at == 0 || (tag[at - 1] != ' ' && tag[at - 1] != '\t')) continue;
        std::size_t value = at + 4;
        if (value < tag.size() && (tag[value] == '"' || tag[value] == '\'')) ++value;
        for (const std::string_view direction : {"rtl", "ltr"})
            if (HoldsAtAnyCase(tag, value, direction)) return std::string(direction);
    }
    return {};
}

// Every span goes, its text staying, but a span that says its text's direction keeps that
// alone: the order of a Latin name or a line of code in right-to-left text is content, not
// formatting. Spans are paired with their ends as they nest.
void StripSpansButDirections(std::string& text) {
    constexpr std::string_view open = "<span", close = "</span>";
    std::vector<bool> kept;  // per span open at this point: whether its tags stay
    std::string stripped;
    stripped.reserve(text.size());
    std::size_t copy = 0;
    for (std::size_t at = text.find('<'); at != npos; at = text.find('<', at + 1)) {
        if (HoldsAtAnyCase(text, at, close)) {
            stripped.append(text, copy, at - copy);
            if (!kept.empty()) {
                if (kept.back()) stripped += close;
                kept.pop_back();
            }
            copy = at + close.size();
        } else if (HoldsAtAnyCase(text, at, open) && at + open.size() < text.size() &&
                   (text[at + open.size()] == '>' ||
                    std::isspace(static_cast<unsigned char>(text[at + open.size()])))) {
            const std::size_t end = text.find('>', at);
            if (end == npos) break;
            stripped.append(text, copy, at - copy);
            const std::string direction = TagDirection(std::string_view(text).substr(at, end - at));
            if (!direction.empty()) stripped += "<span dir=\"" + direction + "\">";
            kept.push_back(!direction.empty());
            copy = end + 1;
        }
    }
    stripped.append(text, copy);
    text = std::move(stripped);
}

}  // namespace

void CleanWordStyleSheet(std::string_view page, std::string& definitions) {
    ReplacePatternInPlace(definitions, "/\\* Font Definitions \\*/.+?/\\* Style Definitions \\*/",
                          "/* MS Word Definitions */");
    const std::size_t pageDefinitions = definitions.find("/* Page Definitions */");
    if (pageDefinitions != npos) definitions.resize(pageDefinitions);
    DeletePattern(definitions, "@[^\\{]+\\{[^\\}]+\\}");
    DeletePattern(definitions, "div\\.(Word)?Section[^\\}]+\\}");
    DeletePattern(definitions, "\\sp\\s*\\{[^\\}]+\\}");
    // Only the class part of the selectors goes: the normal style's rule becomes the rule of
    // paragraphs, list items and divisions.
    DeletePattern(definitions, "\\.MsoNormal");
    DropUnusedClassRules(definitions, ExtractBodyText(page));
    CombineMargins(definitions);
    definitions = PlainReplace(definitions, "-->", "", true);
    definitions = PlainReplace(definitions, "<--", "", true);
}

void DropUnusedClassRules(std::string& definitions, std::string_view body) {
    struct ClassRule {
        std::size_t LineFeed;  // 1-based position of the line feed before the selector
        std::string Name;
    };
    std::vector<ClassRule> rules;
    Regex& regex = SharedRegex();
    regex.SetPattern("\\n\\w+\\.(\\w+)");
    regex.SetSubject(definitions);
    while (regex.MatchNext()) rules.push_back({regex.MatchStart(), regex.Submatch(1)});
    regex.SetSubject({});
    if (rules.empty()) return;

    // Each distinct name is looked for in the body once, however many rules it has.
    std::unordered_map<std::string, bool> usedNames;
    std::string kept;
    kept.reserve(definitions.size());
    std::size_t copy = 1;
    for (const ClassRule& rule : rules) {
        if (rule.LineFeed < copy) continue;  // inside a rule already dropped
        const auto [entry, isNew] = usedNames.try_emplace(rule.Name, false);
        if (isNew) entry->second = body.find(rule.Name) != npos;
        if (entry->second) continue;
        const std::size_t close = PosFrom(definitions, "}", rule.LineFeed);
        if (close == 0) break;  // a rule that never closes stays, with all after it
        AppendRange(kept, definitions, rule.LineFeed - 1, copy);
        copy = close + 1;
    }
    AppendRange(kept, definitions, definitions.size(), copy);
    definitions = std::move(kept);
}

void MapWingdingsBullets(std::string& text) {
    MapFontCharacters(text, "Wingdings", SymbolFont::Wingdings);
}

void MapSymbolBullets(std::string& text) {
    MapFontCharacters(text, "Symbol", SymbolFont::Symbol);
}

void StripInlineFormatting(std::string& text) {
    StripSpansButDirections(text);
    // A picture's style holds its size (WithRelativePictureSizes): it stays.
    ReplacePatternInPlace(text, "(<(?!img[\\s/>])[^<>]*?)\\sstyle='[^']+'", "$1");
    ReplacePatternInPlace(text, "(<(?!img[\\s/>])[^<>]*?)\\sstyle=\"[^\"]+\"", "$1");
    ReplacePatternInPlace(text, "(<(?!img[\\s/>])[^<>]*?) style=[^>]+>", "$1>");
    DeletePattern(text, "<font[^>]*>");
    text = PlainReplace(text, "</font>", "", true);
}

}  // namespace quirebook
