#include "html/XhtmlConversion.h"

#include <array>
#include <vector>

#include "text/PatternHelpers.h"
#include "text/Regex.h"

namespace quirebook {

std::string QuoteAttributeValues(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + text.size() / 16);
    bool inTag = false;
    char quote = 0;  // the character that opened the current quoted value
    bool inUnquotedValue = false;
    char previous = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : 0;
        if (c == '<') {
            // A new tag: nothing of the text before it (an "=" in running text, a value left
            // open by a stray quote) carries into it.
            inTag = true;
            quote = 0;
            inUnquotedValue = false;
        } else if (inTag) {
            if (quote != 0) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else {
                if (previous == '=') {
                    quoted += '"';
                    inUnquotedValue = true;
                }
                // A "/" ends the value only where it closes the tag ("<br clear=all/>"): in
                // "href=css/book.css" it belongs to the value.
                const bool closesTag = c == '/' && next == '>';
                if (inUnquotedValue && (c == ' ' || closesTag || c == '>')) {
                    quoted += '"';
                    inUnquotedValue = false;
                }
            }
        }
        quoted += c;
        if (c == '>') {
            inTag = false;
            quote = 0;
        }
        previous = c;
    }
    return quoted;
}

namespace {

bool IsVoidElementName(std::string_view name) {
    static constexpr std::array<std::string_view, 8> kVoidElements{"img",  "input", "br",  "hr",
                                                                   "meta", "link",  "col", "base"};
    for (std::string_view element : kVoidElements)
        if (name == element) return true;
    return false;
}

}  // namespace

std::string CloseVoidElements(std::string_view text, std::size_t* unterminatedTagAt) {
    if (unterminatedTagAt != nullptr) *unterminatedTagAt = 0;
    std::string closed;
    closed.reserve(text.size() + text.size() / 32);
    std::size_t copiedUpTo = 0;  // 0-based
    for (std::size_t open = text.find('<'); open != std::string_view::npos;) {
        const std::size_t close = text.find('>', open + 1);
        if (close == std::string_view::npos) {
            if (unterminatedTagAt != nullptr) *unterminatedTagAt = open + 1;
            break;
        }
        const std::string_view tag = text.substr(open + 1, close - open - 1);
        const std::string_view name = tag.substr(0, tag.find(' '));
        if (IsVoidElementName(name) && text[close - 1] != '/') {
            closed.append(text, copiedUpTo, close - copiedUpTo);
            closed += '/';
            copiedUpTo = close;
        }
        open = text.find('<', close + 1);
    }
    closed.append(text, copiedUpTo);
    return closed;
}

std::string XhtmlHeader(std::string_view language) {
    std::string header =
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\"\r\n"
        " \"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\r\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"";
    if (!language.empty() && language != "en")
        header += " xml:lang=\"" + std::string(language) + "\"";
    header += ">\r\n\r\n";
    return header;
}

std::string WriteXhtmlHeader(std::string_view text, std::string_view language) {
    const std::string header = XhtmlHeader(language);
    // The head start tag, with or without attributes; everything before it (an old document
    // type, the old html start tag) goes.
    Regex head(preCaseLess);
    head.SetPattern("<head[\\s>]");
    head.SetSubject(std::string(text));
    if (head.MatchNext()) return header + std::string(text.substr(head.MatchStart() - 1));
    // No head at all: the old html start tag goes too, and an empty head takes its place.
    head.SetPattern("^(?:\\s|<\\?[^>]*>|<!(?:--.*?--|[^>])*>)*(?:<html[^>]*>)?");
    head.SetSubject(std::string(text));
    const std::size_t skip = head.MatchNext() ? head.MatchEnd() - 1 : 0;
    return header + "<head></head>\r\n" + std::string(text.substr(skip));
}

std::string UnwrapImageSpans(std::string_view text) {
    return ReplacePattern(std::string(text), "<span[^>]+>(<img[^>]+>)</span>", "$1");
}

std::string UnwrapPlainSpans(std::string_view input) {
    const std::string text = ReplacePattern(std::string(input), "<span>([^<]+?)</span>", "$1");
    // Each remaining "<span>" goes, and with it the closing tag that ends it: one walk over the
    // span tags with a stack of the open ones (true for a bare "<span>"), so that any depth of
    // nesting costs time in proportion to the text. Positions are those of `text`.
    std::vector<std::size_t> removedOpenings;
    std::vector<std::size_t> removedClosings;
    std::vector<bool> open;
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        const std::string_view tag = std::string_view(text).substr(at, 7);
        if (tag.starts_with("<span")) {
            const bool bare = tag.starts_with("<span>");
            if (bare) removedOpenings.push_back(at);
            open.push_back(bare);
        } else if (tag == "</span>" && !open.empty()) {
            if (open.back()) removedClosings.push_back(at);
            open.pop_back();
        }
    }
    if (removedOpenings.empty()) return text;
    std::string result;
    result.reserve(text.size());
    auto openings = removedOpenings.begin();
    auto closings = removedClosings.begin();
    std::size_t copiedUpTo = 0;
    while (openings != removedOpenings.end() || closings != removedClosings.end()) {
        const bool takeOpening = closings == removedClosings.end() ||
                                 (openings != removedOpenings.end() && *openings < *closings);
        const std::size_t at = takeOpening ? *openings++ : *closings++;
        result.append(text, copiedUpTo, at - copiedUpTo);
        copiedUpTo = at + (takeOpening ? 6 : 7);
    }
    result.append(text, copiedUpTo);
    return result;
}

}  // namespace quirebook
