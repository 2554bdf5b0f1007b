#include "html/PageLanguage.h"

#include "text/Regex.h"

namespace quirebook {

namespace {

// The lang value of the first start tag named `element`; empty when it has none.
std::string LanguageOf(std::string_view page, std::string_view element) {
    Regex tag(preCaseLess | preSingleLine);
    tag.SetPattern(
        "<" + std::string(element) +
        "(?=[\\s>/"
        "])[^>]*?\\s(?:xml:)?lang\\s*=\\s*[\"']?\\s*([A-Za-z]{1,8}(?:[-_][A-Za-z0-9]{1,8})*)");
    // A page's html and body tags stand near its start; its head may be long.
    tag.SetSubject(std::string(page.substr(0, 1 << 20)));
    return tag.MatchNext() ? tag.Submatch(1) : std::string();
}

}  // namespace

std::string PageLanguage(std::string_view page) {
    std::string language = LanguageOf(page, "body");
    return language.empty() ? LanguageOf(page, "html") : language;
}

}  // namespace quirebook
