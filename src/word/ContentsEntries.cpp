#include "word/ContentsEntries.h"

#include <string_view>

#include "text/PlainText.h"
#include "text/Regex.h"

namespace quirebook {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool StartsWithCaseless(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lower(text[at + i]) != lower(word[i])) return false;
    }
    return true;
}

// The end (0-based, after its ">") of the span element whose start tag begins at `start`, its
// nested spans included; comments inside are passed over. npos when it never closes.
std::size_t SpanElementEnd(std::string_view text, std::size_t start) {
    int depth = 0;
    for (std::size_t at = start; (at = text.find('<', at)) != npos;) {
        if (text.compare(at, 4, "<!--") == 0) {
            const std::size_t end = text.find("-->", at + 4);
            if (end == npos) return npos;
            at = end + 3;
        } else if (StartsWithCaseless(text, at, "</span")) {
            const std::size_t end = text.find('>', at);
            if (end == npos) return npos;
            if (--depth == 0) return end + 1;
            at = end + 1;
        } else if (StartsWithCaseless(text, at, "<span") &&
                   (text.size() == at + 5 || text[at + 5] == '>' ||
                    static_cast<unsigned char>(text[at + 5]) <= ' ')) {
            ++depth;
            at += 5;
        } else {
            ++at;
        }
    }
    return npos;
}

// The entry's content without its hidden spans.
std::string WithoutHiddenSpans(std::string_view entry) {
    Regex hidden(preCaseLess | preSingleLine);
    hidden.SetPattern("<span\\s[^>]*display:\\s*none[^>]*>");
    hidden.SetSubject(std::string(entry));
    std::string kept;
    std::size_t copied = 0;  // 0-based
    while (hidden.MatchNext()) {
        const std::size_t start = hidden.MatchStart() - 1;
        if (start < copied) continue;  // inside a span already dropped
        const std::size_t end = SpanElementEnd(entry, start);
        if (end == npos) break;
        kept.append(entry, copied, start - copied);
        copied = end;
    }
    kept.append(entry, copied);
    return kept;
}

}  // namespace

void DropContentsPageNumbers(std::string& page) {
    Regex entries(preCaseLess | preSingleLine);
    entries.SetPattern("<p\\s[^>]*class=[\"']?MsoToc[1-9](?=[\"'\\s>])[^>]*>");
    entries.SetSubject(page);
    std::string rebuilt;
    std::size_t copied = 0;  // 0-based
    while (entries.MatchNext()) {
        const std::size_t start = entries.MatchEnd() - 1;
        if (start < copied) continue;
        const std::size_t end = PosFrom(page, "</p>", start + 1, true);
        if (end == 0) break;
        if (rebuilt.empty()) rebuilt.reserve(page.size());
        rebuilt.append(page, copied, start - copied);
        rebuilt += WithoutHiddenSpans(std::string_view(page).substr(start, end - 1 - start));
        copied = end - 1;
    }
    if (copied == 0) return;
    rebuilt.append(page, copied);
    page = std::move(rebuilt);
}

}  // namespace quirebook
