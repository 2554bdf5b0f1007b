#include "word/LightWordCleaning.h"

#include "html/PageDirection.h"
#include "html/WebPageCleaning.h"
#include "text/PatternHelpers.h"
#include "text/TextFiles.h"
#include "word/RelativePictureSizes.h"
#include "word/ContentsEntries.h"
#include "word/NoteMarks.h"
#include "word/VmlPictures.h"
#include "word/WordHtmlCleaner.h"
#include "word/WordStyleCleanup.h"

namespace quirebook {

void SimpleClean(std::string& text) {
    // The language attributes go with what follows them in their tags, the body's direction too.
    const std::string direction = PageDirection(text);
    // Before the namespaced tags, page rules and comments go: a picture shown only through VML
    // would go with them, and the sizes of pictures are read from them.
    text = WithRelativePictureSizes(text);
    // The text of symbol fonts becomes the characters they draw while the markup still names
    // the font: bullets would otherwise be shown as the Latin letters of their codes.
    MapWingdingsBullets(text);
    MapSymbolBullets(text);
    // While the styles still tell which spans are hidden.
    DropContentsPageNumbers(text);
    StripInlineFormatting(text);
    RaiseNoteMarksOnce(text);
    DeletePattern(text, "<[\\w\\d/]+:[^>]+>");
    DeletePattern(text, "\\slang=[^>]+");
    DeletePattern(text, "\\slang=[^ ]+");
    // Word writes its style definitions inside a comment: they go too.
    DeletePattern(text, "<!--.+?-->");
    // Word's markers of content shown without its conditional markup (<![if !vml]>, <![endif]>)
    // go; the pattern stays inside one tag, so that a stray "<![endif]-->" cannot reach the
    // next marker and take the text between with it.
    DeletePattern(text, "<!\\[[^>]*\\]>");
    text = SingleSpacedOutsidePreformatted(text);
    DeletePattern(text, "\\n\\s*\\r");
    DeletePattern(text, " valign=top");
    // The one style rule left is marked as the page's style definitions: the style step of the
    // split looks for that mark, and without it the book would get no style sheet at all.
    ReplacePatternInPlace(text, "</head>",
                          "<style>\n/* Style Definitions */\ntd{vertical-align:top;}\n</style>"
                          "</head>");
    ReplacePatternInPlace(text, "<p[^>]*>(\\s|&nbsp;)*</p>", "<br>");
    text = WithBodyDirection(std::move(text), direction);
}

bool SimpleCleanFile(const std::string& path) {
    std::string text = LoadTextFile(path);
    if (!AnalyzeWordHead(text).Valid()) return false;
    SimpleClean(text);
    SaveTextFile(path, text);
    return true;
}

}  // namespace quirebook
