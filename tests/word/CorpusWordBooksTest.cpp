// Every page saved by Word in the shared corpus of real documents, in its own encoding and
// converted to UTF-8, made into a book: each is accepted, split and packed.
#include <filesystem>

#include <gtest/gtest.h>

#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WordImport.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

class CorpusWordBooks : public ::testing::TestWithParam<const char*> {};

TEST_P(CorpusWordBooks, EveryPageMakesABook) {
    const fs::path set =
        fs::path(QUIREBOOK_SOURCE_DIR) / ".." / "shared" / "corpus" / "wordhtml" / GetParam();
    if (!fs::is_directory(set)) GTEST_SKIP() << "the corpus of real documents is not there";
    int books = 0;
    for (const auto& folder : fs::directory_iterator(set)) {
        fs::path page;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string extension = entry.path().extension().string();
            if (entry.is_regular_file() && (extension == ".htm" || extension == ".html"))
                page = entry.path();
        }
        if (page.empty()) continue;
        TempFolder temp;
        BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
        book.OutputFolder = temp / "out/";
        BookForm form;
        testing::RecordingUserInterface ui;
        ASSERT_TRUE(ImportWordHtml(book, form, ui, page.string()))
            << page << ": " << ::testing::PrintToString(ui.Messages);
        EXPECT_FALSE(book.ChapterFiles.empty()) << page;
        EXPECT_TRUE(PublishBook(book, form, ui)) << page << ": " << book.BuildLog;
        EXPECT_TRUE(fs::is_regular_file(book.OutputPath)) << page;
        ++books;
    }
    EXPECT_GT(books, 0);
}

INSTANTIATE_TEST_SUITE_P(WordPages, CorpusWordBooks, ::testing::Values("original", "utf8"));

}  // namespace
}  // namespace quirebook
