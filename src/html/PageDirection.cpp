// The page's writing direction, kept across the conversion.
#include "html/PageDirection.h"

#include "text/Regex.h"

namespace quirebook {

namespace {

// The dir value of the first start tag named `element`, in lower case; empty when none.
std::string DirectionOf(std::string_view page, std::string_view element) {
    Regex tag(preCaseLess | preSingleLine);
    tag.SetPattern("<" + std::string(element) +
                   "(?=[\\s>/])[^>]*?\\sdir\\s*=\\s*[\"']?\\s*(rtl|ltr)\\b");
    // A page's html and body tags stand near its start; its head may be long.
    tag.SetSubject(std::string(page.substr(0, 1 << 20)));
    if (!tag.MatchNext()) return {};
    std::string value = tag.Submatch(1);
    for (char& c : value) c = static_cast<char>(c | 0x20);
    return value;
}

}  // namespace

std::string PageDirection(std::string_view page) {
    std::string direction = DirectionOf(page, "body");
    return direction.empty() ? DirectionOf(page, "html") : direction;
}

std::string WithBodyDirection(std::string page, std::string_view direction) {
    if (direction.empty()) return page;
    Regex tag(preCaseLess | preSingleLine);
    tag.SetPattern("<body(?=[\\s>/])([^>]*)>");
    tag.SetSubject(page);
    if (!tag.MatchNext()) return page;
    if (DirectionOf(tag.MatchedText(), "body").size() != 0) return page;
    page.insert(tag.MatchStart() - 1 + 5, " dir=\"" + std::string(direction) + "\"");
    return page;
}

}  // namespace quirebook
