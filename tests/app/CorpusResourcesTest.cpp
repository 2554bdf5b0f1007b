// Every picture, style sheet and font the web books of the shared corpus show reaches their
// books: the pages' pictures, the sheets they link, and what those sheets import or reach with
// url(). Prints the figures per book. Skips without the corpus.
#include <filesystem>
#include <iostream>
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
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::RecordingUserInterface;
using testing::TempFolder;

// The values of `pattern`'s first group in `text`.
std::vector<std::string> Values(const std::string& text, const std::regex& pattern) {
    std::vector<std::string> values;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        values.push_back((*it)[1].str());
    return values;
}

// A reference read in `folder` as a browser reads a local file, or "" when no file is there.
std::string ExistingFile(const fs::path& folder, std::string reference) {
    reference = std::regex_replace(reference, std::regex("&amp;"), "&");
    reference = PercentDecode(reference.substr(0, reference.find_first_of("?#")));
    if (reference.empty() || reference.find(':') != std::string::npos) return {};
    std::error_code error;
    const fs::path file = fs::weakly_canonical(folder / reference, error);
    return !error && fs::is_regular_file(file, error) ? file.string() : std::string();
}

const std::regex kImages("<img\\b[^>]*?\\ssrc\\s*=\\s*[\"']([^\"']*)[\"']", std::regex::icase);
const std::regex kSheetLinks("<link\\b(?=[^>]*stylesheet)[^>]*?\\shref\\s*=\\s*[\"']([^\"']*)[\"']",
                             std::regex::icase);
const std::regex kImports("@import\\s+(?:url\\(\\s*)?[\"']?([^\"')\\s;]+)", std::regex::icase);
const std::regex kUrls("url\\(\\s*[\"']?([^\"')]+?)[\"']?\\s*\\)", std::regex::icase);

// What a set of pages (or the chapters of a book) show, as files on disk.
struct Shown {
    int Pictures = 0;               // <img> that show a file, counted per chapter
    std::set<std::string> Sheets;   // linked, then imported
    std::set<std::string> Reached;  // what the sheets reach with url()
    std::set<std::string> Files;    // all of them, by content
    int ChaptersLinkingASheet = 0;
    int ChaptersLinkingTheFitSheet = 0;  // the book's own sheet, counted apart from the site's
};

Shown WhatPagesShow(const std::vector<fs::path>& pages, const fs::path& fitSheet = {}) {
    Shown shown;
    std::vector<std::string> sheets;
    for (const fs::path& page : pages) {
        const std::string text = LoadTextFile(page.string());
        for (const std::string& src : Values(text, kImages)) {
            const std::string file = ExistingFile(page.parent_path(), src);
            if (!file.empty()) ++shown.Pictures, shown.Files.insert(fs::path(file).filename());
        }
        bool links = false;
        for (const std::string& href : Values(text, kSheetLinks)) {
            const std::string file = ExistingFile(page.parent_path(), href);
            if (file.empty()) continue;
            std::error_code error;
            if (!fitSheet.empty() && fs::equivalent(file, fitSheet, error)) {
                ++shown.ChaptersLinkingTheFitSheet;
                continue;
            }
            links = true;
            if (shown.Sheets.insert(file).second) sheets.push_back(file);
        }
        shown.ChaptersLinkingASheet += links;
    }
    while (!sheets.empty()) {
        const fs::path sheet = sheets.back();
        sheets.pop_back();
        const std::string text = LoadTextFile(sheet.string());
        for (const std::string& import : Values(text, kImports)) {
            const std::string file = ExistingFile(sheet.parent_path(), import);
            if (!file.empty() && shown.Sheets.insert(file).second) sheets.push_back(file);
        }
        for (const std::string& url : Values(text, kUrls)) {
            if (url.rfind(".css") == url.size() - 4) continue;  // an @import url(...)
            const std::string file = ExistingFile(sheet.parent_path(), url);
            if (!file.empty() && shown.Reached.insert(file).second)
                shown.Files.insert(fs::path(file).filename());
        }
    }
    return shown;
}

class CorpusResourcesTest : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusResourcesTest, EveryPictureAndStyleTheSourceShowsIsInTheBook) {
    const std::string folder = testing::CorpusPath("web/" + GetParam());
    if (folder.empty()) GTEST_SKIP() << "the corpus is not beside the checkout";
    std::vector<std::string> pages;
    std::istringstream order(LoadTextFile(folder + "/order.txt"));
    for (std::string line; std::getline(order, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) pages.push_back(folder + "/" + line);
    }
    TempFolder temp;
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    book.OutputFolder = temp / "books/";
    BookForm form;
    RecordingUserInterface ui;
    ASSERT_TRUE(ImportWebPages(book, form, ui, pages));
    // The pictures of the page furniture (a site's logo) are left out of a book on purpose.
    book.Options.KeepFurniture = true;
    ASSERT_TRUE(PublishBook(book, form, ui)) << book.BuildLog;

    std::vector<fs::path> sources;
    std::vector<fs::path> chapters;
    for (const std::string& chapter : book.ChapterFiles) {
        sources.push_back(book.SourceFolder + chapter);
        chapters.push_back(book.OpsFolder + chapter);
    }
    const Shown source = WhatPagesShow(sources);
    const Shown made = WhatPagesShow(chapters, book.OpsFolder + "fit.css");
    std::set<std::string> missing;
    for (const std::string& name : source.Files)
        if (made.Files.count(name) == 0) missing.insert(name);

    std::cout << "[ figures  ] " << GetParam() << ": pictures in source " << source.Pictures
              << " / in book " << made.Pictures << "; sheets linked or imported "
              << source.Sheets.size() << " / in book " << made.Sheets.size()
              << "; url() resources reached " << source.Reached.size() << " / in book "
              << made.Reached.size() << "; chapters linking a sheet "
              << source.ChaptersLinkingASheet << " / " << made.ChaptersLinkingASheet << '\n';
    EXPECT_EQ(made.Pictures, source.Pictures);
    EXPECT_EQ(made.Sheets.size(), source.Sheets.size());
    EXPECT_EQ(made.Reached.size(), source.Reached.size());
    EXPECT_EQ(made.ChaptersLinkingASheet, source.ChaptersLinkingASheet);
    EXPECT_EQ(made.ChaptersLinkingTheFitSheet, static_cast<int>(chapters.size()));
    EXPECT_TRUE(missing.empty()) << missing.size() << " files of the source are not in the book, "
                                 << "the first " << *missing.begin();
}

INSTANTIATE_TEST_SUITE_P(WebBooks, CorpusResourcesTest,
                         ::testing::Values("debian-reference", "gutenberg-15122",
                                           "python-3.11-tutorial", "standardebooks-flatland"),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
}  // namespace quirebook
