#include "html/WebPageCleaning.h"

#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

constexpr std::string_view kAnchorStart = "<a ";
constexpr std::string_view kAnchorEnd = "</a>";

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

}  // namespace

void CleanWebPageFile(const std::string& source, const std::string& target,
                      const OptionFlags& options) {
    SaveTextFile(target, CleanWebPage(LoadTextFile(source), options));
}

std::string CleanWebPage(std::string_view text, const OptionFlags& options) {
    std::string page(TrimBlanks(text));
    ReplacePatternInPlace(page, " +", " ");
    if (options.RemoveScripts) RemoveScriptGroup(page);
    if (options.RemoveMedia) RemoveMediaGroup(page);
    if (options.RemoveForms) RemoveFormGroup(page);
    if (options.RemoveImages) RemoveImageGroup(page);
    if (options.RemoveLinks) page = RemoveHyperlinks(page);
    return page;
}

std::string RemoveHyperlinks(std::string_view text) {
    constexpr std::size_t npos = std::string_view::npos;
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
