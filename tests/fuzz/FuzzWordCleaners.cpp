// Fuzz target: a page saved by Word through the cleaners (CleanWordHtml, or SimpleClean in the
// light mode) and the chapter split of the cleaned page into section chapters.
#include <filesystem>

#include "FuzzSupport.h"
#include "RecordingUserInterface.h"
#include "text/InOutError.h"
#include "text/TextFiles.h"
#include "word/ChapterSplit.h"
#include "word/LightWordCleaning.h"
#include "word/WordHtmlCleaner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quirebook;
    const fuzz::FuzzInput input(data, size);
    const std::string& folder = fuzz::EmptyScratchFolder();
    BookProject book(fuzz::SourceAppFolders(folder), folder + "/work");
    book.Options.RemoveWordToc = input.Flag(0);
    book.Options.TocFromHeadings = input.Flag(1);
    book.Options.UseGlobalStyle = input.Flag(2);
    std::string page = input.Text();
    if (input.Flag(3)) {
        SimpleClean(page);
    } else if (std::optional<std::string> cleaned = CleanWordHtml(page, book.Options)) {
        page = std::move(*cleaned);
    }
    const std::string source = folder + "/source/";
    std::filesystem::create_directories(source + "My Page_files");
    SaveTextFile(source + "My Page_files/image001.png", "png");
    SaveTextFile(source + "My Page.htm", page);
    book.SourceFolder = source;
    testing::RecordingUserInterface ui;
    SplitWordHtml(book, source + "My Page.htm", input.Flag(4), ui);
    fuzz::Require(book.ChapterSizes.size() == book.ChapterFiles.size(), "a size for every chapter");
    for (const std::string& chapter : book.ChapterFiles)
        fuzz::Require(std::filesystem::is_regular_file(source + chapter), "every chapter written");
    return 0;
}
