#include "word/NoteMarks.h"

#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/Regex.h"

namespace quirebook {

namespace {

// The content of a note link without the markup that raises it.
std::string WithoutRaising(std::string content) {
    DeletePattern(content, "\\s+class=([\"']?)Mso(Foot|End)noteReference\\1(?=[\\s>])");
    DeletePattern(content, "</?sup(\\s[^>]*)?>");
    DeletePattern(content, "vertical-align:\\s*super\\s*;?");
    DeletePattern(content, "\\s+style=(''|\"\")");
    return content;
}

// A start tag with each run of blanks made one space: a tag Word broke over lines, whose first
// attribute a cleaner removed, may keep "<a\r href", which the finished chapter would not take
// for a note link and so leave unraised.
std::string OneLineTag(const std::string& tag) {
    return ReplacePattern(tag, "\\s+", " ");
}

}  // namespace

void RaiseNoteMarksOnce(std::string& page) {
    Regex links(preCaseLess | preSingleLine);
    // Group 2 is "ref" in the link of a note's own mark, which leads back to its reference.
    links.SetPattern("(<a\\s[^>]*href=[\"']#_(?:ftn|edn)(ref)?\\d+[\"'][^>]*>)(.*?)(</a>)");
    links.SetSubject(std::move(page));
    std::string raised;
    raised.reserve(links.Subject().size());
    std::size_t copied = 1;
    while (links.MatchNext()) {
        AppendRange(raised, links.Subject(), links.MatchStart() - 1, copied);
        const std::string content = WithoutRaising(links.Submatch(3));
        raised += OneLineTag(links.Submatch(1));
        if (links.Submatch(2).empty())
            raised += content;
        else
            raised += "<sup>" + content + "</sup>";
        raised += links.Submatch(4);
        copied = links.MatchEnd();
    }
    AppendRange(raised, links.Subject(), links.Subject().size(), copied);
    page = std::move(raised);
}

}  // namespace quirebook
