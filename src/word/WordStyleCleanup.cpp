#include "word/WordStyleCleanup.h"

#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

#include "css/BookStyleSheets.h"
#include "css/StyleText.h"
#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/Regex.h"

namespace quirebook {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// A glyph a symbol font draws and what a reading system without that font is given instead.
struct GlyphRule {
    std::string_view Bytes;
    std::string_view Written;
};

// Wingdings letters: l and n are round bullets, u and w diamonds, v a club.
constexpr GlyphRule kWingdingsLetters[] = {
    {"l", "&bull;"}, {"n", "&bull;"}, {"u", "&diams;"}, {"v", "&clubs;"}, {"w", "&diams;"},
};
// Character codes above 127 reach the page as two-byte UTF-8 sequences.
constexpr GlyphRule kWingdingsPairs[] = {
    {"\xC3\x98", "&rsaquo;"},
    {"\xC3\xBC", "V"},
    {"\xC2\xA7", "&bull;"},
    {"\xC2\xB2", "&loz;"},
};
constexpr GlyphRule kSymbolPairs[] = {
    {"\xC3\x98", "&rsaquo;"},
    {"\xC3\xBC", "V"},
    {"\xC2\xA7", "&bull;"},
    {"\xC2\xA8", "&diams;"},
};

// The rule of `rules` whose glyph stands in `text` at 0-based `at` and is directly followed by
// "&" or "<" (the glyph is the whole content before the next entity or tag); null when none.
const GlyphRule* GlyphAt(std::string_view text, std::size_t at, std::span<const GlyphRule> rules) {
    for (const GlyphRule& rule : rules) {
        const std::size_t after = at + rule.Bytes.size();
        if (after >= text.size()) continue;
        if (text.substr(at, rule.Bytes.size()) == rule.Bytes &&
            (text[after] == '&' || text[after] == '<'))
            return &rule;
    }
    return nullptr;
}

// The walk both bullet mappings share: after each tag carrying "font-family:" + font, a glyph of
// `letters` or else of `pairs` is replaced; then the font's declarations are removed.
void MapFontBullets(std::string& text, std::string_view font, std::span<const GlyphRule> letters,
                    std::span<const GlyphRule> pairs) {
    const std::string declaration = "font-family:" + std::string(font);
    std::string mapped;
    mapped.reserve(text.size());
    std::size_t copy = 1;
    std::size_t at = PosFrom(text, declaration, 1);
    while (at > 0) {
        const std::size_t tagEnd = PosFrom(text, ">", at);
        // Without a ">" after the declaration there is no glyph to map, and searching on from
        // position 0 would find the same declaration again and again.
        if (tagEnd == 0) break;
        // The content starts at 0-based tagEnd, just after the ">".
        const GlyphRule* rule = GlyphAt(text, tagEnd, letters);
        if (rule == nullptr) rule = GlyphAt(text, tagEnd, pairs);
        if (rule != nullptr) {
            AppendRange(mapped, text, tagEnd, copy);
            mapped += rule->Written;
            copy = tagEnd + 1 + rule->Bytes.size();
        }
        at = PosFrom(text, declaration, tagEnd);
    }
    AppendRange(mapped, text, text.size(), copy);
    mapped = PlainReplace(mapped, "style='" + declaration + "'", "");
    text = PlainReplace(mapped, declaration, "");
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
    MapFontBullets(text, "Wingdings", kWingdingsLetters, kWingdingsPairs);
}

void MapSymbolBullets(std::string& text) {
    MapFontBullets(text, "Symbol", {}, kSymbolPairs);
}

void StripInlineFormatting(std::string& text) {
    DeletePattern(text, "<span[^>]*>");
    text = PlainReplace(text, "</span>", "", true);
    DeletePattern(text, "\\sstyle='[^']+'");
    DeletePattern(text, "\\sstyle=\"[^\"]+\"");
    ReplacePatternInPlace(text, " style=[^>]+>", ">");
    DeletePattern(text, "<font[^>]*>");
    text = PlainReplace(text, "</font>", "", true);
}

}  // namespace quirebook
