#include "html/FootnotesAndDropCaps.h"

#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/Regex.h"

namespace quirebook {

namespace {

// A div holding a one-row, one-cell table whose only paragraph holds one span with one letter.
constexpr std::string_view kDropCapTable =
    "<div>\\s*<table [^>]+>\\s*<tr>\\s*<td [^>]+>\\s*<p [^>]+>\\s*(<span [^>]+>[A-Z]</span>)\\s*"
    "</p>\\s*</td>\\s*</tr>\\s*</table>\\s*</div>";

// The rule that makes a "dropcap" paragraph look like the table it replaces. It is written into
// the chapter that uses it rather than into a shared style sheet: the chapter then renders right
// whatever sheets the book links, and no file outside the book is touched. It stands first in
// the head, so that a rule of the book's own sheets for "dropcap" still wins.
constexpr std::string_view kDropCapStyle =
    "<style type=\"text/css\">p.dropcap span { float: left; font-size: 3em; line-height: 1; "
    "margin-right: 0.1em; }</style>\r\n";

// The chapter with the drop-cap style element inserted just after its head start tag; unchanged
// when it has no head.
std::string InsertDropCapStyle(const std::string& chapter) {
    Regex& regex = SharedRegex();
    regex.SetPattern("<head(\\s[^>]*)?>");
    regex.SetSubject(chapter);
    if (!regex.MatchNext()) return chapter;
    const std::size_t headEnd = regex.MatchEnd();  // 1-based, the byte after the start tag
    std::string styled;
    styled.reserve(chapter.size() + kDropCapStyle.size());
    AppendRange(styled, chapter, headEnd - 1, 1);
    styled += kDropCapStyle;
    AppendRange(styled, chapter, chapter.size(), headEnd);
    return styled;
}

}  // namespace

std::string WrapFootnoteReferences(std::string_view body) {
    Regex& regex = SharedRegex();
    regex.SetPattern("<a href=\"#_(ftn|edn)\\d+");
    regex.SetSubject(std::string(body));
    std::string wrapped;
    std::size_t copied = 1;  // 1-based, the first byte of the body not yet copied
    while (regex.MatchNext()) {
        // A link whose text an earlier link's brackets already took in is passed over: its own
        // bracket, if any, has been wrapped, and copying from it again would repeat text.
        if (regex.MatchStart() < copied) continue;
        const std::size_t open = PosFrom(body, "[", regex.MatchStart());
        if (open == 0) break;
        const std::size_t close = PosFrom(body, "]", open);
        if (close == 0) break;
        if (wrapped.empty()) wrapped.reserve(body.size() + body.size() / 16 + 16);
        AppendRange(wrapped, body, open - 1, copied);
        wrapped += "<sup>";
        AppendRange(wrapped, body, close, open);
        wrapped += "</sup>";
        copied = close + 1;
    }
    if (copied == 1) return std::string(body);
    AppendRange(wrapped, body, body.size(), copied);
    return wrapped;
}

std::string SpansToSamples(std::string_view body) {
    return PlainReplace(PlainReplace(body, "<span", "<samp"), "</span>", "</samp>");
}

void MakeDropCaps(ChapterTexts& texts) {
    for (std::string& text : texts) {
        const std::string changed =
            ReplacePattern(text, kDropCapTable, "<p class=\"dropcap\">$1</p>");
        if (changed != text) text = InsertDropCapStyle(changed);
    }
}

}  // namespace quirebook
