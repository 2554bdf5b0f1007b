#include "word/docx/FilteredWebPage.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

#include "text/TextFiles.h"
#include "text/TextUtilities.h"
#include "word/docx/CoreProperties.h"
#include "word/docx/NoteArea.h"
#include "word/docx/RunMarkup.h"
#include "word/docx/StoryWriter.h"
#include "word/docx/StyleSheet.h"
#include "word/docx/WordHtmlText.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// Word writes its pages with CR LF line ends; the page is built with line feeds alone, which
// no text in it holds otherwise.
std::string WithWordLineEnds(const std::string& page) {
    std::string converted;
    converted.reserve(page.size() + page.size() / 16);
    for (const char c : page) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
}

// Counts the paragraphs of a story and those among them that are right-to-left, by their own
// formatting or their style's.
struct BidiCounter : pugi::xml_tree_walker {
    explicit BidiCounter(const DocxStyles& styles) : Styles(styles) {}
    const DocxStyles& Styles;
    std::size_t Paragraphs = 0;
    std::size_t RightToLeft = 0;
    bool for_each(pugi::xml_node& node) override {
        if (std::string_view(node.name()) != "w:p") return true;
        ++Paragraphs;
        const pugi::xml_node properties = node.child("w:pPr");
        const pugi::xml_node bidi = properties.child("w:bidi");
        if (bidi ? ToggleValue(bidi)
                 : Styles.Paragraph(AttributeText(properties.child("w:pStyle")))
                       .Paragraph.Bidi.value_or(false))
            ++RightToLeft;
        return true;
    }
};

// The comments anchored in a story, each counted once.
std::size_t CountComments(pugi::xml_node story) {
    struct CommentCounter : pugi::xml_tree_walker {
        std::set<std::string> Ids;
        bool for_each(pugi::xml_node& node) override {
            if (std::string_view(node.name()) == "w:commentReference")
                Ids.insert(node.attribute("w:id").value());
            return true;
        }
    } counter;
    story.traverse(counter);
    return counter.Ids.size();
}

// A document reads right to left when most of its paragraphs do; one without paragraphs when
// its last section is right-to-left. A right-to-left section alone orders columns and margins,
// not the text: English paragraphs in it read left to right.
bool ReadsRightToLeft(pugi::xml_node body, const DocxStyles& styles) {
    BidiCounter counter(styles);
    body.traverse(counter);
    if (counter.Paragraphs == 0) return ToggleValue(body.child("w:sectPr").child("w:bidi"));
    return counter.RightToLeft * 2 > counter.Paragraphs;
}

// The language most right-to-left runs of a story say they are in (w:lang w:bidi); empty when
// none says.
std::string CommonRightToLeftLanguage(pugi::xml_node story) {
    struct LanguageCounter : pugi::xml_tree_walker {
        std::map<std::string, std::size_t> Runs;
        bool for_each(pugi::xml_node& node) override {
            if (std::string_view(node.name()) != "w:rPr" || !ToggleValue(node.child("w:rtl")))
                return true;
            const std::string_view language = AttributeText(node.child("w:lang"), "w:bidi");
            if (!language.empty()) ++Runs[std::string(language)];
            return true;
        }
    } counter;
    story.traverse(counter);
    const auto most =
        std::max_element(counter.Runs.begin(), counter.Runs.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == counter.Runs.end() ? std::string() : most->first;
}

// The language the document is written in: for one that reads right to left, the language Word
// keeps for right-to-left text (the defaults', else the one its right-to-left runs say most),
// else its default text's.
std::string DocumentLanguage(const DocxStyles& styles, pugi::xml_node body) {
    const RunFormat& run = styles.DefaultRun();
    if (ReadsRightToLeft(body, styles)) {
        if (run.BidiLanguage) return *run.BidiLanguage;
        if (std::string language = CommonRightToLeftLanguage(body); !language.empty())
            return language;
    }
    return run.Language.value_or("en-US");
}

}  // namespace

FilteredWebPageCounts WriteFilteredWebPage(const DocxPackage& package,
                                           const std::string& htmlPath) {
    pugi::xml_document document;
    package.ReadXml(package.MainDocumentPart(), document);
    const pugi::xml_node body = document.document_element().child("w:body");
    if (!body) {
        throw WordDocumentError("The Word document " + package.Path() + " is damaged: its part " +
                                package.MainDocumentPart() + " holds no document body");
    }
    DocxFonts fonts;
    fonts.Load(package);
    ThemeColors theme;
    theme.Load(package);
    DocxStyles styles;
    styles.Load(package, fonts, &theme);
    DocxNumbering numbering;
    numbering.Load(package, fonts, styles);
    DocxNotes notes;
    notes.Load(package, body.child("w:sectPr"));
    const std::filesystem::path page(htmlPath);
    const std::string stem = page.stem().string();
    PictureStore pictures(package, (page.parent_path() / (stem + "_files")).string(),
                          PictureSourcePrefix(stem));
    PageContext context{package,
                        fonts,
                        styles,
                        numbering,
                        notes,
                        pictures,
                        CollectSections(body),
                        PageLanguageTag(DocumentLanguage(styles, body)),
                        {},
                        {},
                        {},
                        BookmarkNames(body),
                        {},
                        0};
    context.RightToLeftPage = ReadsRightToLeft(body, styles);
    context.Theme = &theme;

    std::string content = "<div class=WordSection1>\n\n";
    StoryWriter story(context, package.MainDocumentPart(), content, true);
    story.WriteBlocks(body, 0);
    content += "</div>\n\n";
    WriteNoteArea(context, content);
    if (const std::size_t parts = context.MathPartsNotUnderstood; parts > 0)
        context.Remarks.push_back(std::to_string(parts) + (parts == 1 ? " part" : " parts") +
                                  " of the equations of " + package.Path() +
                                  " not understood as math: written as text");
    if (const std::size_t comments = CountComments(body); comments > 0)
        context.Remarks.push_back(std::to_string(comments) + " comment" +
                                  (comments == 1 ? "" : "s") + " of " + package.Path() +
                                  " left out: a book does not carry reviewers' notes");

    std::string html =
        "<html>\n\n<head>\n<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\n"
        "<meta name=Generator content=\"Microsoft Word 15 (filtered)\">\n";
    // A title of blanks, which Word keeps for an untitled document, is none: the chapter gets
    // one of its own later.
    if (const std::string title = ReadCoreProperties(package).Title; !TrimBlanks(title).empty()) {
        html += "<title>";
        AppendText(html, title);
        html += "</title>\n";
    }
    html += StyleSheet(context) + "\n\n</head>\n\n<body";
    AppendAttribute(html, "lang", context.PageLanguage.empty() ? "EN-US" : context.PageLanguage);
    if (context.RightToLeftPage) AppendAttribute(html, "dir", "RTL");
    AppendAttribute(html, "link", LinkColor(styles, false));
    AppendAttribute(html, "vlink", LinkColor(styles, true));
    html += " style='word-wrap:break-word'>\n\n" + content + "</body>\n\n</html>\n";
    SaveTextFile(htmlPath, WithWordLineEnds(html));

    FilteredWebPageCounts counts;
    counts.Sections = static_cast<int>(context.Sections.size());
    counts.Pictures = pictures.Count();
    counts.Footnotes = static_cast<int>(notes.Referred(NoteKind::Footnote).size());
    counts.Endnotes = static_cast<int>(notes.Referred(NoteKind::Endnote).size());
    counts.Remarks = std::move(context.Remarks);
    return counts;
}

}  // namespace quirebook
