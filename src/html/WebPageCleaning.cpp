#include "html/WebPageCleaning.h"

#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

constexpr std::string_view kAnchorStart = "<a ";
constexpr std::string_view kAnchorEnd = "</a>";
constexpr std::size_t npos = std::string_view::npos;

void RemoveScriptGroup(std::string& text) {
    DeletePattern(text, "<script.+?</script>");
    DeletePattern(text, "<noscript>.+?</noscript>");
    ReplacePatternInPlace(text, " on\\w+?=.+?( |>)", "$1");
}

void RemoveMediaGroup(std::string& text) {
    DeletePattern(text, "<embed.+?</embed>");
    DeletePattern(text, "<object.+?</object>");
}

void RemoveFormGroup(std::string& text) {
    DeletePattern(text, "(<form.*?>)|(</form>)");
    DeletePattern(text, "<input.*?>");
    DeletePattern(text, "<textarea.+?</textarea>");
    DeletePattern(text, "<select.+?</select>");
}

void RemoveImageGroup(std::string& text) {
    DeletePattern(text, "(<img.+?>)|</img>");
}

// Whether `text` has the tag name `name` (lower case) right after the byte at `at`, in any
// case, ended by a blank, "/" or ">".
bool HasTagNameAt(std::string_view text, std::size_t at, std::string_view name) {
    if (!HoldsAtAnyCase(text, at, name) || text.size() - at == name.size()) return false;
    const char after = text[at + name.size()];
    return after == '>' || after == '/' || after == ' ' || after == '\t' || after == '\n' ||
           after == '\r' || after == '\f';
}

// The element whose text keeps its spaces as written (code, poetry, forms' text) that starts
// at the "<" at `at`, or an empty view.
std::string_view PreformattedElementAt(std::string_view text, std::size_t at) {
    for (const std::string_view name : {"pre", "textarea", "listing", "xmp"}) {
        if (HasTagNameAt(text, at + 1, name)) return name;
    }
    return {};
}

// Appends `text` to `out` with each run of spaces made one space.
void AppendSingleSpaced(std::string_view text, std::string& out) {
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t pair = text.find("  ", from);
        if (pair == npos) {
            out.append(text, from);
            return;
        }
        out.append(text, from, pair + 1 - from);
        from = text.find_first_not_of(' ', pair + 1);
    }
}

}  // namespace

void CleanWebPageFile(const std::string& source, const std::string& target,
                      const OptionFlags& options) {
    SaveTextFile(target, CleanWebPage(LoadTextFile(source), options));
}

std::string SingleSpacedOutsidePreformatted(std::string_view page) {
    std::string result;
    result.reserve(page.size());
    std::size_t copied = 0;
    for (std::size_t open = page.find('<'); open != npos; open = page.find('<', open + 1)) {
        const std::string_view name = PreformattedElementAt(page, open);
        if (name.empty()) continue;
        AppendSingleSpaced(page.substr(copied, open - copied), result);
        std::size_t close = open;
        do {
            close = page.find("</", close + 1);
        } while (close != npos && !HasTagNameAt(page, close + 2, name));
        const std::size_t end = close == npos ? page.size() : close;
        result.append(page, open, end - open);
        copied = end;
        if (close == npos) break;
        open = close;
    }
    AppendSingleSpaced(page.substr(copied), result);
    return result;
}

std::string CleanWebPage(std::string_view text, const OptionFlags& options) {
    std::string page = SingleSpacedOutsidePreformatted(TrimBlanks(text));
    if (options.RemoveScripts) RemoveScriptGroup(page);
    if (options.RemoveMedia) RemoveMediaGroup(page);
    if (options.RemoveForms) RemoveFormGroup(page);
    if (options.RemoveImages) RemoveImageGroup(page);
    if (options.RemoveLinks) page = RemoveHyperlinks(page);
    return page;
}

std::string RemoveHyperlinks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    std::size_t copy = 0;  // 0-based: the first byte not yet copied
    // The next "<a " is looked for from the first byte not yet copied, so that a link standing
    // right after the one just removed goes too; only a kept note link moves the search past it.
    std::size_t from = 0;
    for (;;) {
        const std::size_t anchor = text.find(kAnchorStart, from);
        if (anchor == npos) break;
        const std::size_t tagEnd = text.find('>', anchor);
        if (tagEnd == npos) break;  // the rest, from the "<a " on, stays as it is
        const std::string_view startTag = text.substr(anchor, tagEnd - anchor);
        if (startTag.find("#_ftn") != npos || startTag.find("#_edn") != npos) {
            from = anchor + 1;  // a footnote or endnote link stays whole
            continue;
        }
        if (text[tagEnd - 1] == '/') {
            result.append(text, copy, anchor - copy);  // a self-closed anchor is dropped
            copy = from = tagEnd + 1;
            continue;
        }
        const std::size_t close = text.find(kAnchorEnd, tagEnd + 1);
        if (close == npos) break;  // no end tag: the rest stays as it is
        result.append(text, copy, anchor - copy);
        result.append(text, tagEnd + 1, close - tagEnd - 1);  // the link text
        copy = from = close + kAnchorEnd.size();
    }
    result.append(text, copy);
    return result;
}

std::string RemoveEmptyElements(std::string text) {
    DeletePattern(text, "<(font|span|p|b|u|i|s)(\\s[^>]+)?></\\1>");
    ReplacePatternInPlace(text, "<(font|b|u|i|s)(\\s[^>]+)?>((&nbsp;|\\s)+)</\\1>", "$3");
    ReplacePatternInPlace(text, "<span[^>]+>\\s*<div([^>]+)/>\\s*</span>", "<div$1/>");
    return text;
}

}  // namespace quirebook
