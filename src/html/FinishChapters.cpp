#include <algorithm>
#include <vector>

#include "css/BookStyleSheets.h"
#include "css/StyleText.h"
#include "html/Charset.h"
#include "html/ContentFilter.h"
#include "html/FootnotesAndDropCaps.h"
#include "html/LimitedPass.h"
#include "html/PageDirection.h"
#include "html/XhtmlConversion.h"
#include "text/OrderedWork.h"
#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

// The body steps, on the text from "<body" up to "</body".
std::string ConvertBody(const BookProject& project, ChapterReport& report,
                        const std::string& chapter, std::string body) {
    const auto pass = [&](std::string_view name, const auto& step) {
        RunLimitedPass(report, chapter, name, body, step);
    };
    pass("UnwrapImageSpans", [](const std::string& t) { return UnwrapImageSpans(t); });
    pass("section classes", [](const std::string& t) {
        return ReplacePattern(t, " class=\"(Word)?Section[^\"]+\"", "");
    });
    pass("VML shapes",
         [](const std::string& t) { return ReplacePattern(t, "\\sv:shapes?=\"[^\"]+\"", ""); });
    pass("image sources",
         [](const std::string& t) { return ReplacePattern(t, "src=\"\\.[\\\\/]", "src=\""); });
    pass("UnwrapPlainSpans", [](const std::string& t) { return UnwrapPlainSpans(t); });
    if (project.Options.ForceIBooksFont)
        pass("SpansToSamples", [](const std::string& t) { return SpansToSamples(t); });
    pass("WrapFootnoteReferences", [](const std::string& t) { return WrapFootnoteReferences(t); });
    return body;
}

// Splits the page around its body and converts the body. A page without "<body" has its body
// after the head; one without "</body" has it up to "</html" or the end.
std::string ConvertBodyOf(const BookProject& project, ChapterReport& report,
                          const std::string& chapter, const std::string& text) {
    std::size_t from = text.find("<body");
    if (from == std::string::npos) {
        const std::size_t headEnd = text.find("</head>");
        from = headEnd == std::string::npos ? 0 : headEnd + 7;
    }
    std::size_t to = text.find("</body", from);
    if (to == std::string::npos) to = text.find("</html", from);
    if (to == std::string::npos) to = text.size();
    return text.substr(0, from) +
           ConvertBody(project, report, chapter, text.substr(from, to - from)) + text.substr(to);
}

// What a chapter's first steps learn from the page as it came.
struct ChapterSource {
    std::string Charset;     // as declared, in lower case
    std::string Direction;   // "rtl", "ltr" or empty: the page's html or body dir
    ChapterIdentifiers Ids;  // of the prepared page, as named
};

// The first steps of a chapter, up to its XHTML header: the page in UTF-8, its markup in
// XHTML's form.
ChapterSource PrepareChapter(const BookProject& project, std::size_t index, std::string& text,
                             ChapterReport& report) {
    const std::string& chapter = project.ChapterFiles[index];
    ChapterSource source{AsciiLower(DetectCharset(text)), PageDirection(text), {}};
    const auto pass = [&](std::string_view name, const auto& step) {
        RunLimitedPass(report, chapter, name, text, step);
    };
    // The page is read into UTF-8 first, so that every later step, and the title inserted into
    // it, sees one encoding.
    pass("the character set", [](const std::string& t) { return PageToUtf8(t); });
    pass("QuoteAttributeValues", [](const std::string& t) { return QuoteAttributeValues(t); });
    pass("ChangeMarkupCase", [](const std::string& t) { return ChangeMarkupCase(true, t); });
    std::size_t unterminatedTag = 0;
    pass("CloseVoidElements",
         [&](const std::string& t) { return CloseVoidElements(t, &unterminatedTag); });
    if (unterminatedTag != 0) {
        const std::string message =
            "Error in source HTML: unterminated tag from " + std::to_string(unterminatedTag);
        report.AddLog(chapter + ": " + message);
        report.ShowMessage(message);
    }
    pass("WriteXhtmlHeader",
         [&](const std::string& t) { return WriteXhtmlHeader(t, project.BookMetadata.Language); });
    source.Ids = CollectIdentifiers(text);
    return source;
}

// The rest of a prepared chapter: the content filter (its ids named as `book` names them), the
// title, the body's conversion, the charset declaration, the page's direction on the body.
void CompleteChapter(const BookProject& project, std::size_t index, std::string& text,
                     const ChapterSource& source, const BookIdentifiers& book,
                     ChapterReport& report) {
    const std::string& chapter = project.ChapterFiles[index];
    const auto pass = [&](std::string_view name, const auto& step) {
        RunLimitedPass(report, chapter, name, text, step);
    };
    pass("FilterChapter",
         [&](const std::string& t) { return FilterChapter(t, project.Options, book); });
    const std::string title =
        index < project.ChapterTitles.size() ? project.ChapterTitles[index] : std::string();
    pass("InsertChapterTitle", [&](const std::string& t) { return InsertChapterTitle(t, title); });
    text = PlainReplace(text, "<p> </p>", "<br />");
    text = ConvertBodyOf(project, report, chapter, text);
    if (source.Charset == "windows-1252" || source.Charset == "iso-8859-1")
        pass("NamedEntitiesFromNumeric",
             [](const std::string& t) { return NamedEntitiesFromNumeric(t); });
    text = SetCharset(text, "utf-8");
    // XHTML 1.1 knows only the long form of the charset declaration.
    pass("the charset declaration", [](const std::string& t) {
        return ReplacePattern(t, "<meta\\s+charset\\s*=\\s*[\"']?[\\w.:-]*[\"']?\\s*/?>",
                              "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                              "charset=utf-8\" />");
    });
    LinkReplacementStyleSheet(text, project);
    // The header and the filter write the html and body tags anew.
    text = WithBodyDirection(std::move(text), source.Direction);
}

}  // namespace

void FinishChapters(BookProject& project, ChapterTexts& texts, UserInterface& ui) {
    const std::size_t count = project.ChapterFiles.size();
    const unsigned jobs = project.ThreadCount();
    std::vector<ChapterSource> sources(count);
    std::vector<ChapterReport> reports(count);
    WorkInOrder(
        count, jobs,
        [&](std::size_t i) { sources[i] = PrepareChapter(project, i, texts[i], reports[i]); },
        [&](std::size_t i) { reports[i].HandOver(project, ui); });
    // Every chapter's ids are named before any is filtered, so that a link into another
    // chapter follows that chapter's names.
    BookIdentifiers book;
    for (std::size_t i = 0; i < count; ++i)
        book.emplace(project.ChapterFiles[i], std::move(sources[i].Ids));
    WorkInOrder(
        count, jobs,
        [&](std::size_t i) { CompleteChapter(project, i, texts[i], sources[i], book, reports[i]); },
        [&](std::size_t i) {
            ui.ShowProgress("Converting chapter " + std::to_string(i + 1) + " of " +
                                std::to_string(count) + ": " + project.ChapterFiles[i],
                            static_cast<int>((i + 1) * 100 / count));
            reports[i].HandOver(project, ui);
        });
}

}  // namespace quirebook
