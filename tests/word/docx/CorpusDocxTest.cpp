// Real Word documents of the shared corpus made into filtered web pages: the SARIF 2.1 standard
// and the Contiguity manual compared with the pages Word itself wrote for them, and every
// document of the corpus converted or refused with a WordDocumentError.
#include <filesystem>
#include <regex>
#include <set>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "css/StyleText.h"
#include "text/TextFiles.h"
#include "word/ChapterSplit.h"
#include "word/WordHtmlCleaner.h"
#include "word/docx/FilteredWebPage.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

const fs::path kCorpus = fs::path(QUIREBOOK_SOURCE_DIR) / ".." / "shared" / "corpus";

std::size_t Count(const std::string& text, const std::string& pattern) {
    const std::regex expression(pattern);
    return static_cast<std::size_t>(std::distance(
        std::sregex_iterator(text.begin(), text.end(), expression), std::sregex_iterator()));
}

// What the comparisons count in a page: Word's markup of structure.
struct PageFigures {
    std::size_t Sections, H1, H2, H3, H4, Tables, ListParagraphs, NormalParagraphs, TocAnchors,
        TocLinks, Pictures;
};

PageFigures FiguresOf(const std::string& page) {
    return {Count(page, "<div class=WordSection\\d"),
            Count(page, "<h1[ >]"),
            Count(page, "<h2[ >]"),
            Count(page, "<h3[ >]"),
            Count(page, "<h4[ >]"),
            Count(page, "<table"),
            Count(page, "<p class=MsoListParagraph"),
            Count(page, "<p class=MsoNormal[ >]"),
            Count(page, "name=\"_Toc"),
            Count(page, "href=\"#_Toc"),
            Count(page, "<img")};
}

std::string Converted(const fs::path& document, const TempFolder& folder,
                      FilteredWebPageCounts* counts = nullptr) {
    const DocxPackage package(document.string());
    const FilteredWebPageCounts written = WriteFilteredWebPage(package, folder / "page.htm");
    if (counts != nullptr) *counts = written;
    std::string page;
    for (const char c : LoadTextFile(folder / "page.htm"))
        if (c != '\r') page += c;
    return page;
}

TEST(CorpusDocx, SarifSpecificationComesCloseToWordsOwnPage) {
    const fs::path document = kCorpus / "docx/books/sarif-v2.1.0-committee-specification.docx";
    const fs::path wordPage =
        kCorpus / "wordhtml/utf8/sarif-2.1-spec/sarif-v2.1.0-committee-specification.htm";
    if (!fs::exists(document) || !fs::exists(wordPage)) GTEST_SKIP() << "the corpus is not there";
    const TempFolder folder;
    FilteredWebPageCounts counts;
    const std::string page = Converted(document, folder, &counts);
    const PageFigures ours = FiguresOf(page);
    const PageFigures words = FiguresOf(LoadTextFile(wordPage.string()));
    // Word's page: 4 sections, headings 5/82/429/8, 4 tables, 371 list paragraphs, 1359
    // normal ones, 561 _Toc anchors and 547 links to them.
    EXPECT_EQ(ours.Sections, words.Sections);
    EXPECT_EQ(ours.H1, words.H1);
    EXPECT_EQ(ours.H2, words.H2);
    EXPECT_EQ(ours.H3, words.H3);
    EXPECT_EQ(ours.H4, words.H4);
    EXPECT_EQ(ours.Tables, words.Tables);
    EXPECT_NEAR(ours.ListParagraphs, words.ListParagraphs, 5);
    EXPECT_NEAR(ours.NormalParagraphs, words.NormalParagraphs, 20);
    EXPECT_NEAR(ours.TocAnchors, words.TocAnchors, 10);
    EXPECT_EQ(ours.TocLinks, words.TocLinks);
    EXPECT_EQ(counts.Sections, 4);
    EXPECT_EQ(counts.Footnotes, 1);
    EXPECT_EQ(counts.Pictures, 0);

    // Every link to a heading finds its anchor.
    std::set<std::string> anchors;
    const std::regex name("name=\"(_Toc\\d+)\"");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), name);
         it != std::sregex_iterator(); ++it)
        anchors.insert((*it)[1]);
    const std::regex link("href=\"#(_Toc\\d+)\"");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), link);
         it != std::sregex_iterator(); ++it)
        EXPECT_EQ(anchors.count((*it)[1]), 1u) << (*it)[1];

    // The cleaner takes it as Word's, and the splitter finds Word's sections in it.
    const auto cleaned = CleanWordHtml(page, OptionFlags{});
    ASSERT_TRUE(cleaned.has_value());
    EXPECT_EQ(WordSections(ExtractBodyText(*cleaned)).size(), 4u);
}

TEST(CorpusDocx, ContiguityManualComesCloseToWordsPageOfItsEarlierRevision) {
    const fs::path document = kCorpus / "docx/books/contiguity-manual.docx";
    const fs::path wordPage = kCorpus / "wordhtml/utf8/contiguity-manual/manual.htm";
    if (!fs::exists(document) || !fs::exists(wordPage)) GTEST_SKIP() << "the corpus is not there";
    const TempFolder folder;
    FilteredWebPageCounts counts;
    const PageFigures ours = FiguresOf(Converted(document, folder, &counts));
    const PageFigures words = FiguresOf(LoadTextFile(wordPage.string()));
    // The document grew after Word wrote its page (29 headings where the page has 20), so only
    // what that revision did not change is compared closely.
    EXPECT_EQ(ours.Sections, words.Sections);
    EXPECT_EQ(ours.ListParagraphs, words.ListParagraphs);
    EXPECT_NEAR(ours.Pictures, words.Pictures, 2);
    EXPECT_NEAR(ours.H1 + ours.H2 + ours.H3, words.H1 + words.H2 + words.H3, 10);
    EXPECT_EQ(ours.TocLinks, ours.TocAnchors);
    EXPECT_EQ(counts.Pictures, 14);
    EXPECT_EQ(
        std::distance(fs::directory_iterator(folder / "page_files"), fs::directory_iterator()), 14);
}

TEST(CorpusDocx, EveryDocumentConvertsOrIsRefusedByName) {
    if (!fs::is_directory(kCorpus / "docx")) GTEST_SKIP() << "the corpus is not there";
    int converted = 0;
    for (const char* set : {"docx/word", "docx/books", "docx/pandoc-written", "docx/poi", "bad",
                            "bad/poi-fuzz", "bad/poi-malformed"}) {
        if (!fs::is_directory(kCorpus / set)) continue;
        for (const auto& entry : fs::directory_iterator(kCorpus / set)) {
            if (entry.path().extension() != ".docx") continue;
            const TempFolder folder;
            try {
                const std::string page = Converted(entry.path(), folder);
                EXPECT_NE(page.find("<div class=WordSection1>"), std::string::npos) << entry.path();
                EXPECT_NE(page.find("</body>"), std::string::npos) << entry.path();
                ++converted;
            } catch (const WordDocumentError& error) {
                EXPECT_NE(std::string(error.what()).find(entry.path().string()), std::string::npos)
                    << error.what();
            }
            // Pictures go into the page's folder and nowhere else.
            for (const auto& written : fs::recursive_directory_iterator(folder.Path())) {
                const std::string relative = fs::relative(written.path(), folder.Path()).string();
                EXPECT_TRUE(
                    relative == "page.htm" || relative == "page_files" ||
                    std::regex_match(relative,
                                     std::regex("page_files/image\\d{3,}\\.(png|jpg|gif|svg)")))
                    << entry.path() << ": " << relative;
            }
        }
    }
    EXPECT_GT(converted, 150);
}

}  // namespace
}  // namespace quirebook
