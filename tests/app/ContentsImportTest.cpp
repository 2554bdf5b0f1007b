// The web books of the shared corpus made from their contents pages: the chapters come in the
// order the books' own "next" links give, and the books pass epubcheck. Skips without the
// corpus.
#include "app/ContentsImport.h"

#include <filesystem>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CorpusBook.h"
#include "EpubCheck.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::RecordingUserInterface;
using testing::TempFolder;

// The pages from `first` on, each followed by the page its "<link rel="next">" names, while
// that page lies in the same folder and was not met before.
std::vector<std::string> NextLinkChain(const std::string& folder, const std::string& first) {
    const std::regex next("<link\\s+rel=\"next\"[^>]*?\\shref=\"([^\"#]+)\"");
    std::vector<std::string> chain;
    std::set<std::string> seen;
    for (std::string page = first; page.find('/') == std::string::npos &&
                                   fs::is_regular_file(folder + "/" + page) &&
                                   seen.insert(page).second;) {
        chain.push_back(page);
        const std::string text = LoadTextFile(folder + "/" + page);
        std::smatch match;
        if (!std::regex_search(text, match, next)) break;
        page = match[1].str();
    }
    return chain;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : " ") + name;
    return text;
}

struct ContentsBook {
    std::string Folder;        // the pages' folder in the corpus's web folder
    std::string ContentsPage;  // its contents page
};

class ContentsImportTest : public ::testing::TestWithParam<ContentsBook> {};

TEST_P(ContentsImportTest, ChaptersFollowTheBooksOwnNextLinksAndTheBookIsValid) {
    const std::string folder = testing::CorpusPath("web/" + GetParam().Folder);
    if (folder.empty()) GTEST_SKIP() << "the corpus is not beside the checkout";
    TempFolder temp;
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    book.OutputFolder = temp / "books/";
    BookForm form;
    RecordingUserInterface ui;
    ASSERT_TRUE(ImportFromContentsPage(book, form, ui, folder + "/" + GetParam().ContentsPage, {}));

    const std::vector<std::string> chain = NextLinkChain(folder, GetParam().ContentsPage);
    std::cout << "[ order    ] " << GetParam().Folder
              << " from the contents page: " << Joined(book.ChapterFiles) << "\n[ order    ] "
              << GetParam().Folder << " by its next links:      " << Joined(chain) << '\n';
    EXPECT_EQ(book.ChapterFiles, chain);
    EXPECT_EQ(fs::path(book.SourceFolder), fs::canonical(folder) / "");
    // The links left behind, if any, are told in one message, and each is kept in the log.
    ASSERT_LE(ui.Messages.size(), 1u);
    for (const std::string& message : ui.Messages) {
        std::istringstream lines(message.substr(message.find('\n') + 1));
        for (std::string line; std::getline(lines, line);)
            EXPECT_THAT(book.BuildLog, HasSubstr(line + "\r\n"));
    }

    ASSERT_TRUE(PublishBook(book, form, ui)) << book.BuildLog;
    const testing::EpubCheckResult check = testing::RunEpubCheck(book.OutputPath);
    if (!check.Available) GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    EXPECT_TRUE(check.Valid) << check.Output;
}

INSTANTIATE_TEST_SUITE_P(CorpusWebBooks, ContentsImportTest,
                         ::testing::Values(ContentsBook{"python-3.11-tutorial/tutorial",
                                                        "index.html"},
                                           ContentsBook{"debian-reference", "index.en.html"}),
                         [](const auto& info) {
                             return info.index == 0 ? std::string("PythonTutorial")
                                                    : std::string("DebianReference");
                         });

TEST(ContentsImportTest, PythonTutorialTellsItsLinksOutsideTheTutorial) {
    const std::string folder = testing::CorpusPath("web/python-3.11-tutorial/tutorial");
    if (folder.empty()) GTEST_SKIP() << "the corpus is not beside the checkout";
    TempFolder temp;
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    BookForm form;
    RecordingUserInterface ui;
    ASSERT_TRUE(ImportFromContentsPage(book, form, ui, folder + "/index.html", {1, false, {}}));
    EXPECT_EQ(book.ChapterFiles.front(), "appetite.html");
    EXPECT_EQ(book.ChapterFiles.size(), 16u);
    ASSERT_EQ(ui.Messages.size(), 1u);
    const std::string& told = ui.Messages.front();
    EXPECT_THAT(told, HasSubstr("index.html: the link to ../genindex.html is skipped: it is "
                                "missing"));
    // Its canonical "<link>" to a file: URL is no link to a chapter, and not told.
    EXPECT_THAT(told, ::testing::Not(HasSubstr("file:")));
    EXPECT_THAT(told, HasSubstr("index.html: the link to /license.html is skipped: it is an "
                                "absolute path"));
}

TEST(ContentsImportTest, TheTableOfContentsNestsChaptersAsTheContentsListDoes) {
    TempFolder temp;
    fs::create_directories(temp / "book");
    SaveTextFile(temp / "book/toc.html",
                 "<ol><li><a href=\"start.html\">1. Start</a><ol><li><a href=\"setup.html\">1.1 "
                 "Setup</a></li></ol></li><li><a href=\"next.html\">2. Next</a></li></ol>");
    SaveTextFile(temp / "book/start.html", "<h1>Start</h1><p>a</p>");
    SaveTextFile(temp / "book/setup.html", "<h1>Setup</h1><h2>On Linux</h2><p>b</p>");
    SaveTextFile(temp / "book/next.html", "<h1>Next</h1><p>c</p>");
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    book.OutputFolder = temp / "books/";
    BookForm form;
    form.ShowsHeadingTree = true;
    RecordingUserInterface ui;
    ASSERT_TRUE(ImportFromContentsPage(book, form, ui, temp / "book/toc.html", {1, false, {}}));
    std::vector<std::string> tree;
    for (const HeadingEntry& entry : book.HeadingEntries)
        tree.push_back(entry.Text + "@" + std::to_string(entry.Level));
    EXPECT_THAT(tree, ::testing::ElementsAre("Start@1", "Setup@2", "On Linux@3", "Next@1"));
    ASSERT_TRUE(PublishBook(book, form, ui)) << book.BuildLog;
    const std::string ncx = LoadTextFile(book.OpsFolder + "toc.ncx");
    // "Setup" opens inside "Start", and "Next" after both have closed.
    EXPECT_LT(ncx.find("<text>Setup</text>"), ncx.find("</navPoint>"));
    EXPECT_THAT(ncx, HasSubstr("<meta name=\"dtb:depth\" content=\"3\" />"));
}

TEST(ContentsImportTest, ARootThatDoesNotHoldThePageIsRefused) {
    TempFolder temp;
    fs::create_directories(temp / "book");
    fs::create_directories(temp / "elsewhere");
    SaveTextFile(temp / "book/index.html", "<a href=\"a.html\">A</a>");
    SaveTextFile(temp / "book/a.html", "<p>A</p>");
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    BookForm form;
    RecordingUserInterface ui;
    EXPECT_FALSE(ImportFromContentsPage(book, form, ui, temp / "book/index.html",
                                        {1, true, temp / "elsewhere"}));
    EXPECT_THAT(ui.Messages, ::testing::ElementsAre(HasSubstr("does not hold the pages' folder")));
    EXPECT_TRUE(book.ChapterFiles.empty());
    // A contents page that leads nowhere makes no book.
    SaveTextFile(temp / "book/index.html", "<a href=\"gone.html\">gone</a>");
    EXPECT_FALSE(ImportFromContentsPage(book, form, ui, temp / "book/index.html", {1, false, {}}));
    EXPECT_THAT(ui.Messages.back(), HasSubstr("links to no page of its folder"));
}

}  // namespace
}  // namespace quirebook
