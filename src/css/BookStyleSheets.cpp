#include "css/BookStyleSheets.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "css/CssUnits.h"
#include "css/FontEmbedding.h"
#include "css/FontGenerics.h"
#include "css/StyleText.h"
#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/Regex.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

bool ContainsIgnoringCase(std::string_view text, std::string_view name) {
    return PosFrom(text, name, 1, true) != 0;
}

// The families of a font-family value, trimmed and without their quotes.
std::vector<std::string> FamiliesOf(std::string_view value) {
    std::vector<std::string> families;
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t comma = std::min(value.find(',', start), value.size());
        const std::string family =
            PlainReplace(PlainReplace(value.substr(start, comma - start), "\"", ""), "'", "");
        families.emplace_back(TrimBlanks(family));
        start = comma + 1;
    }
    return families;
}

// The generic family for a font family value: none when it holds "serif" ("sans-serif" too) or
// names another generic, else that of the first family the font table knows, else "serif".
std::string_view GenericFamilyFor(std::string_view value) {
    if (ContainsIgnoringCase(value, "serif")) return {};
    const std::vector<std::string> families = FamiliesOf(value);
    for (const std::string& family : families)
        if (IsGenericFamily(family)) return {};
    for (const std::string& family : families)
        if (const std::string_view generic = KnownGenericFamily(family); !generic.empty())
            return generic;
    return "serif";
}

// A style sheet of the installation that the user may edit or remove: a missing or unreadable
// file contributes nothing (LoadTextFile marks an unreadable file with the text "R").
std::string LoadUserSheet(const std::string& path) {
    std::string text = LoadTextFile(path);
    if (text == "R" && FileSizeOf(path) != 1) return {};
    return text;
}

// A file name made safe inside a double-quoted attribute value.
std::string AttributeText(std::string_view name) {
    std::string text = PlainReplace(name, "&", "&amp;");
    text = PlainReplace(text, "<", "&lt;");
    return PlainReplace(text, "\"", "&quot;");
}

// Deletes every declaration whose property name ends in the name that `declaration` begins with,
// so that the pattern "width:\d+px;?" takes "max-width:600px;" and "border-width:1px" whole:
// removing only the end of a longer name would leave its start ("max-", "mso-") to swallow the
// next declaration. The name is matched from its first character only, which keeps the search
// linear in long runs of word characters.
void DeleteDeclarations(std::string& style, std::string_view declaration) {
    DeletePattern(style, "(?<![\\w\\-])[\\w\\-]*" + std::string(declaration));
}

std::string StyleSheetLink(std::string_view href) {
    return "<link rel=\"stylesheet\" type=\"text/css\" href=\"" + AttributeText(href) + "\"/>";
}

}  // namespace

std::string AddGenericFontFamilies(std::string_view style) {
    constexpr std::size_t kPropertyLength = 12;  // "font-family:"
    Regex& regex = SharedRegex();
    regex.SetPattern("font-family:[^\\}\\;]+");
    regex.SetSubject(std::string(style));
    std::string result;
    result.reserve(style.size() + style.size() / 16);
    std::size_t copied = 0;  // 0-based offset of the first byte not yet copied
    while (regex.MatchNext()) {
        const std::size_t valueStart = regex.MatchStart() - 1 + kPropertyLength;
        const std::size_t end = regex.MatchEnd() - 1;
        const std::string_view generic =
            GenericFamilyFor(style.substr(valueStart, end - valueStart));
        if (generic.empty()) continue;
        result.append(style, copied, end - copied);
        result += ',';
        result += generic;
        copied = end;
    }
    regex.SetSubject({});
    result.append(style, copied);
    return result;
}

std::string FilterStyleDeclarations(std::string style, OptionFlags& options,
                                    std::string_view patchSheet) {
    style = PlainReplace(style, "p, li, div", "p, li");
    style = PlainReplace(style, "windowtext", "black");
    DeleteDeclarations(style, "letter\\-spacing:[^\\;\\}]+;?");
    if (options.StripTableWidth) DeleteDeclarations(style, "width:\\d+px;?");
    if (options.RelativeFontSize) style = ScaleFontSizes(style, options);
    // Page breaks are marked by elements of class "pager".
    if (options.AllowPageBreak) style += "\r\n.pager{page-break-after:always}";
    if (!options.AllowLineHeight) DeleteDeclarations(style, "line\\-height[^\\;\\}]+;?");
    if (!options.AllowNegativeValues) DeleteDeclarations(style, "text-indent:\\-\\d+px;?");
    // A semicolon the removals left alone at the start of a line, or just after a "{".
    DeletePattern(style, "\\n\\s*;");
    ReplacePatternInPlace(style, "\\{\\s*;", "{");
    style += "\r\n";
    style += patchSheet;
    return style;
}

std::string UnquoteGenericFamilies(std::string_view style) {
    std::string text = PlainReplace(style, "\"sans-serif\"", "sans-serif");
    text = PlainReplace(text, "\"mono\"", "mono");
    return PlainReplace(text, "\"serif\"", "serif");
}

void CombineMargins(std::string& text) {
    // A value never runs past the end of its rule: in "{margin-top:0}.x{margin-top:..." the
    // first rule's margin is not merged with the next rule's.
    ReplacePatternInPlace(text,
                          "margin\\-top:([^;}]+);\\s*margin\\-right:([^;}]+);\\s*margin\\-bottom:"
                          "([^;}]+);\\s*margin\\-left:([^;}]+);",
                          "margin:$1 $2 $3 $4;");
}

std::string NormaliseWordStyle(std::string_view style, OptionFlags& options,
                               std::string_view patchSheet) {
    std::string text = ConvertPointsToPixels(style);
    text = AddGenericFontFamilies(text);
    text = FilterStyleDeclarations(std::move(text), options, patchSheet);
    // After the patch sheet is appended, so that its quoted generic families lose their quotes.
    return DropBrokenDeclarations(EscapeNumericClassSelectors(UnquoteGenericFamilies(text)));
}

void LinkReplacementStyleSheet(std::string& page, const BookProject& project) {
    if (project.ReplacementStyleSheet.empty()) return;
    if (project.Options.RemoveStyleBlocks) DeletePattern(page, "<style.+?</style>");
    if (project.Options.RemoveStyleLinks) DeletePattern(page, "<link[^>]+>");
    // A style attribute inside a tag, so that the new sheet alone styles the page; text that
    // merely reads style="..." between tags stays.
    if (project.Options.RemoveInlineStyles) {
        ReplacePatternInPlace(page, "(<[a-z][^<>]*?)\\s+style\\s*=\\s*(\"[^\"]*\"|'[^']*')", "$1");
    }
    const std::string name =
        std::filesystem::path(project.ReplacementStyleSheet).filename().string();
    std::size_t at = PosFrom(page, "</head>", 1, true);
    if (at == 0) at = PosFrom(page, "<body", 1, true);
    page.insert(at == 0 ? 0 : at - 1, StyleSheetLink(name) + "\r\n");
}

std::optional<std::string> BuildWordStyleSheet(std::string& head, const std::string& sourceHtmlPath,
                                               BookProject& project) {
    // Worked on a copy: a head without a Word style block stays exactly as it came.
    std::string text = ReplacePattern(head, "<base[^>]+>", "");
    ReplacePatternInPlace(text, "<script.+?</script>", "");
    const StyleBlockPlace block = FindStyleBlock(text);
    if (!block.Found) {
        project.AddLog("No Word style definitions in " + sourceHtmlPath +
                       ": no style sheet was made");
        return std::nullopt;
    }
    // The Word filter writes underlined and struck-through runs as spans of these classes; their
    // rules come before the patch sheet, which may restyle them.
    const std::string patchSheet =
        "span.u{text-decoration:underline}\r\nspan.s{text-decoration:line-through}\r\n" +
        LoadUserSheet(project.TemplateFolder + "OPS/patch.css");
    std::string style = NormaliseWordStyle(
        std::string_view(text).substr(block.ContentStart - 1, block.ContentLength), project.Options,
        patchSheet);
    // The document's own style text is final here: its font families are gathered for font
    // embedding, before the global theme (not the document's) is added.
    CollectFontFamilies(style, project.FontFamilyList);
    if (project.Options.UseGlobalStyle) {
        // Last, so that the theme's rules win over the document's; the theme is not normalised.
        style += "\r\n";
        style += LoadUserSheet(project.TemplateFolder + "OPS/style.css");
    }
    const std::filesystem::path folder = std::filesystem::path(sourceHtmlPath).parent_path();
    SaveTextFile((folder / "style.css").string(), style);

    constexpr std::size_t kCloseTagLength = 8;  // "</style>"
    std::string linked;
    linked.reserve(text.size());
    linked.append(text, 0, block.StyleStart - 1);
    linked += StyleSheetLink("style.css");
    linked.append(text, block.CloseStart - 1 + kCloseTagLength);
    head = std::move(linked);
    return style;
}

}  // namespace quirebook
