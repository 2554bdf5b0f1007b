// Real web books from the shared corpus, cleaned and converted chapter by chapter: every chapter
// must come out as well-formed XML.
#include <filesystem>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "CorpusBook.h"
#include "TempFolder.h"
#include "html/FootnotesAndDropCaps.h"
#include "html/LinksAndResources.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

using testing::TempFolder;

class CorpusConversion : public ::testing::TestWithParam<const char*> {};

TEST_P(CorpusConversion, EveryChapterIsWellFormedXml) {
    TempFolder temp;
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    if (!testing::ConvertCorpusWebBook(GetParam(), book))
        GTEST_SKIP() << "the corpus of real documents is not beside the checkout";
    ChapterTexts texts = LoadChapterTexts(book);
    RepairInBookLinks(book, texts);
    MakeDropCaps(texts);
    SaveChapterTexts(book, texts);

    for (const std::string& chapter : book.ChapterFiles) {
        const std::string text = LoadTextFile(book.OpsFolder + chapter);
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = document.load_buffer(text.data(), text.size());
        EXPECT_TRUE(parsed) << chapter << ": " << parsed.description() << " at byte "
                            << parsed.offset << ": "
                            << text.substr(parsed.offset > 80 ? parsed.offset - 80 : 0, 160);
        EXPECT_STREQ(document.document_element().name(), "html") << chapter;
    }
}

INSTANTIATE_TEST_SUITE_P(WebBooks, CorpusConversion,
                         ::testing::Values("debian-reference", "gutenberg-15122",
                                           "python-3.11-tutorial", "standardebooks-flatland"));

}  // namespace
}  // namespace quirebook
