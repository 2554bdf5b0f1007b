// The words of real pages and documents survive the whole making of a book: every word of each
// source page's body (scripts, styles, forms and the site's page furniture aside, which the making
// leaves out on purpose), and
// of each Word document's body, is in the finished chapters as often as in the source.
#include <cctype>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "CorpusBook.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WebImport.h"
#include "app/WordImport.h"
#include "css/StyleText.h"
#include "html/Charset.h"
#include "html/PageFurniture.h"
#include "text/Entities.h"
#include "text/PatternHelpers.h"
#include "text/TextFiles.h"
#include "word/ContentsEntries.h"
#include "word/WordStyleCleanup.h"
#include "word/docx/DocxPackage.h"

namespace quirebook {
namespace {

using testing::TempFolder;

// The text of a page's body: markup removed (a line break separates words; another tag only
// where it stands between blanks, as in the page), references decoded, no-break spaces as
// spaces.
std::string BodyText(const std::string& page) {
    std::string body = ExtractBodyText(ReplacePattern(page, "<BODY", "<body"));
    DeletePattern(body, "<(script|style|noscript|textarea|select|form)\\b.*?</\\1>");
    DeletePattern(body, "<!--.*?-->");
    body = ReplacePattern(body, "<br\\b[^>]*>", " ");
    DeletePattern(body, "<[^>]*>");
    return ReplacePattern(DecodeEntities(body), "\xC2\xA0", " ");
}

// The words of a text, counted: runs of characters between blanks, or, with `lettersOnly`, runs
// of letters, digits and non-ASCII characters (so that punctuation next to a note reference or a
// symbol does not make another word of it).
std::map<std::string, int> CountWords(const std::string& text, bool lettersOnly = false) {
    std::string spaced = ReplacePattern(text, "\xC2\xA0", " ");
    if (lettersOnly) {
        for (char& c : spaced) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80 && !std::isalnum(byte)) c = ' ';
        }
    }
    std::istringstream words(spaced);
    std::map<std::string, int> counted;
    for (std::string word; words >> word;) ++counted[word];
    return counted;
}

std::map<std::string, int> BodyWords(const std::string& page) {
    return CountWords(BodyText(page));
}

class CorpusWords : public ::testing::TestWithParam<const char*> {};

TEST_P(CorpusWords, NoWordOfAPageIsLost) {
    TempFolder temp;
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    if (!testing::LoadCorpusWebBook(GetParam(), book))
        GTEST_SKIP() << "the corpus of real documents is not beside the checkout";
    std::vector<std::string> pages;
    for (const std::string& chapter : book.ChapterFiles)
        pages.push_back(book.SourceFolder + chapter);
    book.ChapterFiles.clear();  // a new project: nothing to ask about
    BookForm form;
    testing::RecordingUserInterface ui;
    book.OutputFolder = temp / "out/";
    ASSERT_TRUE(ImportWebPages(book, form, ui, pages));
    ASSERT_TRUE(PublishBook(book, form, ui)) << book.BuildLog;
    // The sources without the furniture the book leaves out, found the same way.
    std::vector<std::string> sources;
    for (const std::string& chapter : book.ChapterFiles)
        sources.push_back(LoadTextFile(book.SourceFolder + chapter));
    FurnitureChoice furniture;
    furniture.ChapterPaths = book.ChapterFiles;
    RemovePageFurniture(sources, furniture);
    for (std::size_t i = 0; i < book.ChapterFiles.size(); ++i) {
        const std::string& chapter = book.ChapterFiles[i];
        const auto source = BodyWords(PageToUtf8(sources[i]));
        const auto made = BodyWords(LoadTextFile(book.OpsFolder + chapter));
        std::string lost;
        for (const auto& [word, count] : source) {
            const auto found = made.find(word);
            const int left = found == made.end() ? 0 : found->second;
            if (left < count) lost += " \"" + word + "\"x" + std::to_string(count - left);
        }
        EXPECT_TRUE(lost.empty()) << chapter << " lost:" << lost.substr(0, 2000);
    }
}

// The words of a page saved by Word survive too, spread over the chapters it is split into.
// Word's own markup of lists (the spacing after a bullet) becomes entities, so only words of two
// letters or more are compared.
TEST(CorpusWordPages, NoWordOfAPageIsLost) {
    const std::filesystem::path set = std::filesystem::path(QUIREBOOK_SOURCE_DIR) / ".." /
                                      "shared" / "corpus" / "wordhtml" / "utf8";
    if (!std::filesystem::is_directory(set)) GTEST_SKIP() << "the corpus is not there";
    int pages = 0;
    for (const auto& folder : std::filesystem::directory_iterator(set)) {
        std::filesystem::path page;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            if (entry.path().extension() == ".htm" || entry.path().extension() == ".html")
                page = entry.path();
        if (page.empty()) continue;
        ++pages;
        TempFolder temp;
        BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
        book.OutputFolder = temp / "out/";
        BookForm form;
        testing::RecordingUserInterface ui;
        ASSERT_TRUE(ImportWordHtml(book, form, ui, page.string()));
        ASSERT_TRUE(PublishBook(book, form, ui)) << book.BuildLog;
        std::map<std::string, int> made;
        for (const std::string& chapter : book.ChapterFiles)
            for (const auto& [word, count] : BodyWords(LoadTextFile(book.OpsFolder + chapter)))
                made[word] += count;
        std::string lost;
        // The page's text as Word shows it: the text of its symbol fonts in the characters
        // they draw, as the book gives them.
        std::string shown = LoadTextFile(page.string());
        MapWingdingsBullets(shown);
        MapSymbolBullets(shown);
        // Without the page numbers of its table of contents, which Word hides from the web
        // view and a book without pages leaves out.
        DropContentsPageNumbers(shown);
        for (const auto& [word, count] : BodyWords(shown)) {
            if (word.size() < 2) continue;
            const int left = made.count(word) != 0 ? made[word] : 0;
            if (left < count) lost += " \"" + word + "\"x" + std::to_string(count - left);
        }
        EXPECT_TRUE(lost.empty()) << page.filename() << " lost:" << lost.substr(0, 1500);
    }
    EXPECT_GT(pages, 0) << "no Word page was found in " << set;
}

// The ids of the styles of Word's table of contents ("toc 1" to "toc 9") in the document.
std::set<std::string> ContentsStyles(const DocxPackage& package) {
    std::set<std::string> ids;
    for (const auto& [id, relationship] : package.Relationships(package.MainDocumentPart())) {
        if (relationship.Type != "styles" || relationship.External) continue;
        pugi::xml_document styles;
        package.ReadXml(relationship.Target, styles);
        for (const pugi::xml_node style : styles.document_element().children("w:style")) {
            const std::string name = style.child("w:name").attribute("w:val").value();
            if (std::regex_match(name, std::regex("toc [1-9]")))
                ids.insert(style.attribute("w:styleId").value());
        }
    }
    return ids;
}

// The text of a Word document's body as a reader sees it: the text of its runs, with a break
// at tabs, line breaks and the ends of paragraphs and cells. Deleted and moved-away text, field
// codes, the fallback copies of alternative content and the page numbers of a table of
// contents (a book has no pages) are no part of it.
class DocumentText {
  public:
    explicit DocumentText(std::set<std::string> contentsStyles)
        : m_contentsStyles(std::move(contentsStyles)) {}

    void Append(const pugi::xml_node node, std::string& text) {
        const std::string_view name = node.name();
        if (name == "w:del" || name == "w:moveFrom" || name == "mc:Fallback") return;
        if (name == "w:instrText") {
            if (!m_fields.empty()) m_fields.back().Instruction += node.text().get();
            return;
        }
        if (name == "w:fldChar") {
            const std::string_view type = node.attribute("w:fldCharType").value();
            if (type == "begin") m_fields.emplace_back();
            if (type == "separate" && !m_fields.empty()) m_fields.back().InResult = true;
            if (type == "end" && !m_fields.empty()) m_fields.pop_back();
        }
        const bool contents =
            name == "w:p" && m_contentsStyles.contains(
                                 node.child("w:pPr").child("w:pStyle").attribute("w:val").value());
        if (contents) m_inContents = true;
        if (name == "w:t" && !(m_inContents && InPageNumber())) text += node.text().get();
        if (name == "w:tab" || name == "w:br" || name == "w:cr") text += ' ';
        if (name == "w:fldSimple" && m_inContents &&
            std::regex_search(node.attribute("w:instr").value(), kPageNumber))
            return;
        for (const pugi::xml_node child : node.children()) Append(child, text);
        if (name == "w:p" || name == "w:tc") text += ' ';
        if (contents) m_inContents = false;
    }

  private:
    struct Field {
        std::string Instruction;
        bool InResult = false;
    };
    bool InPageNumber() const {
        for (const Field& field : m_fields)
            if (field.InResult && std::regex_search(field.Instruction, kPageNumber)) return true;
        return false;
    }
    inline static const std::regex kPageNumber{"^\\s*PAGEREF\\b", std::regex::icase};
    std::set<std::string> m_contentsStyles;
    std::vector<Field> m_fields;
    bool m_inContents = false;
};

// True for a word of private-use characters alone (U+E000 to U+F8FF): symbol fonts' glyphs,
// which the page writes as the characters they show.
bool IsSymbolGlyphs(const std::string& word) {
    if (word.empty() || word.size() % 3 != 0) return false;
    for (std::size_t i = 0; i < word.size(); i += 3) {
        const auto lead = static_cast<unsigned char>(word[i]);
        const auto next = static_cast<unsigned char>(word[i + 1]);
        if (!(lead == 0xEE || (lead == 0xEF && next <= 0xA3))) return false;
    }
    return true;
}

// The words of every corpus Word document survive the import through the Word layer and the
// making of the book, spread over its chapters.
TEST(CorpusWordDocuments, NoWordOfADocumentIsLost) {
    const std::string corpus = testing::CorpusPath("docx");
    if (corpus.empty()) GTEST_SKIP() << "the corpus is not there";
    int documents = 0;
    for (const char* set : {"/word", "/books"}) {
        for (const auto& entry : std::filesystem::directory_iterator(corpus + set)) {
            if (entry.path().extension() != ".docx") continue;
            ++documents;
            TempFolder temp;
            BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
            book.OutputFolder = temp / "out/";
            BookForm form;
            testing::RecordingUserInterface ui;
            WordConnection word(ProgramWordFactory(book));
            ASSERT_TRUE(OpenWordDocument(book, form, ui, word, entry.path().string()))
                << entry.path();
            ASSERT_TRUE(PublishBook(book, form, ui)) << entry.path() << book.BuildLog;
            std::string madeText;
            for (const std::string& chapter : book.ChapterFiles)
                madeText += BodyText(LoadTextFile(book.OpsFolder + chapter)) + " ";
            std::map<std::string, int> made = CountWords(madeText, true);

            const DocxPackage package(entry.path().string());
            pugi::xml_document document;
            package.ReadXml(package.MainDocumentPart(), document);
            std::string text;
            DocumentText(ContentsStyles(package)).Append(document.document_element(), text);
            std::string lost;
            for (const auto& [word, count] : CountWords(text, true)) {
                if (IsSymbolGlyphs(word)) continue;
                const int left = made.count(word) != 0 ? made[word] : 0;
                if (left < count) lost += " \"" + word + "\"x" + std::to_string(count - left);
            }
            EXPECT_TRUE(lost.empty())
                << entry.path().filename() << " lost:" << lost.substr(0, 1500);
        }
    }
    EXPECT_GT(documents, 0) << "no Word document was found in " << corpus;
}

INSTANTIATE_TEST_SUITE_P(WebBooks, CorpusWords,
                         ::testing::Values("debian-reference", "gutenberg-15122",
                                           "python-3.11-tutorial", "standardebooks-flatland"));

}  // namespace
}  // namespace quirebook
