#include "css/StyleText.h"

#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/TextUtilities.h"

namespace quirebook {

StyleBlockPlace FindStyleBlock(std::string_view page) {
    std::size_t searchFrom = 1;
    for (;;) {
        const std::size_t style = PosFrom(page, "<style", searchFrom);
        if (style == 0) return {};
        const std::size_t tagEnd = PosFrom(page, ">", style + 6);
        if (tagEnd == 0) return {};
        const std::size_t close = PosFrom(page, "</style>", tagEnd);
        if (close == 0) return {};
        // Word ends the block with a line break before "</style>": it is left out.
        const std::size_t length = close > tagEnd + 2 ? close - tagEnd - 2 : 0;
        if (page.substr(tagEnd, length).find("Definitions") != std::string_view::npos)
            return {true, style, tagEnd + 1, length, close};
        searchFrom = close;
    }
}

std::string ExtractStyleBlock(std::string_view page) {
    const StyleBlockPlace place = FindStyleBlock(page);
    if (!place.Found) return {};
    return std::string(page.substr(place.ContentStart - 1, place.ContentLength));
}

std::string ExtractBodyText(std::string_view page) {
    const std::size_t body = PosFrom(page, "<body", 1);
    if (body == 0) return {};
    const std::size_t tagEnd = PosFrom(page, ">", body);
    if (tagEnd == 0) return {};
    std::size_t end = PosFrom(page, "</body>", tagEnd);
    if (end == 0) end = PosFrom(page, "</html>", tagEnd);
    if (end == 0) end = page.size() + 1;
    return std::string(page.substr(tagEnd, end - tagEnd - 1));
}

std::string ChangeMarkupCase(bool toLower, std::string_view page) {
    std::string folded(page);
    bool inMarkup = false;
    char quote = 0;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        char& c = folded[i];
        if (c == '<') {
            // Comments and CDATA sections are text, not markup: they keep their case (a folded
            // "<![cdata[" would no longer be XML).
            const std::string_view rest = std::string_view(folded).substr(i);
            const std::string_view closer = rest.starts_with("<!--")        ? "-->"
                                            : rest.starts_with("<![CDATA[") ? "]]>"
                                                                            : "";
            if (!closer.empty()) {
                const std::size_t end = folded.find(closer, i + 4);
                if (end == std::string::npos) break;
                i = end + closer.size() - 1;
                inMarkup = false;
                quote = 0;
                continue;
            }
            inMarkup = true;
        } else if (c == '>') {
            inMarkup = false;
            quote = 0;
        } else if (inMarkup && (c == '"' || c == '\'')) {
            if (quote == 0) {
                quote = c;
            } else if (quote == c) {
                quote = 0;
            }
        } else if (inMarkup && quote == 0) {
            if (toLower && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (!toLower && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return folded;
}

std::string GetRuleBody(std::string_view selector, std::string_view css) {
    const std::size_t at = PosFrom(css, selector, 1);
    if (at == 0) return {};
    const std::size_t open = PosFrom(css, "{", at);
    if (open == 0) return {};
    const std::size_t close = PosFrom(css, "}", open);
    if (close == 0) return {};
    return std::string(css.substr(open, close - open - 1));
}

std::string GetPropertyText(std::string_view rule, std::string_view property) {
    const std::size_t at = PosFrom(rule, property, 1);
    if (at == 0) return {};
    const std::string_view rest = rule.substr(at - 1 + property.size());
    const std::size_t semicolon = rest.find(';');
    return std::string(semicolon == std::string_view::npos ? rest : rest.substr(0, semicolon + 1));
}

std::string GetPropertyValue(std::string_view rule, std::string_view property) {
    if (rule.empty()) return {};
    const std::string text = GetPropertyText(rule, property);
    const std::size_t colon = text.find(':');
    const std::string_view afterColon = colon == std::string::npos
                                            ? std::string_view(text)
                                            : std::string_view(text).substr(colon + 1);
    std::string value(TrimBlanks(afterColon));
    if (!value.empty() && value.front() == '\'')
        value = value.size() >= 2 ? value.substr(1, value.size() - 2) : std::string();
    return value;
}

std::string WithoutCommentMarkers(std::string_view css) {
    std::string text = ReplacePattern(std::string(css), "(//\\s*)?-->", "");
    return PlainReplace(text, "<!--", "");
}

std::string DropBrokenDeclarations(std::string_view css) {
    std::string text = ReplacePattern(std::string(css), "(?<=[{;])\\s*[-a-z_]+\\s*(?=[;}])", "");
    return ReplacePattern(text, "(?<=[{;])(\\s*;)+", "");
}

std::string EscapeNumericClassSelectors(std::string_view css) {
    std::string escaped;
    escaped.reserve(css.size() + css.size() / 64);
    int depth = 0;  // inside a rule's declarations (or an at-rule's block) when above 0
    bool inComment = false;
    for (std::size_t i = 0; i < css.size(); ++i) {
        const char c = css[i];
        if (inComment) {
            if (c == '*' && i + 1 < css.size() && css[i + 1] == '/') inComment = false;
        } else if (c == '/' && i + 1 < css.size() && css[i + 1] == '*') {
            inComment = true;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            depth = depth > 0 ? depth - 1 : 0;
        } else if (c == '.' && depth == 0 && i + 1 < css.size() && css[i + 1] >= '0' &&
                   css[i + 1] <= '9') {
            escaped += ".\\3";
            escaped += css[++i];
            escaped += ' ';
            continue;
        }
        escaped += c;
    }
    return escaped;
}

}  // namespace quirebook
