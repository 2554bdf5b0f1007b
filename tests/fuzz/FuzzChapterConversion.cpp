// Fuzz target: a chapter's bytes through the whole conversion chain (FinishChapters) and the
// conformance stage of the book (ConformBook); the chapter that comes out must be well-formed
// XML, and a second chapter linking into it must stay well-formed after the link pass.
#include "FuzzSupport.h"
#include "RecordingUserInterface.h"
#include "html/ConformBook.h"
#include "html/XhtmlConversion.h"
#include "text/TextFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quirebook;
    const fuzz::FuzzInput input(data, size);
    const std::string& folder = fuzz::EmptyScratchFolder();
    BookProject book(fuzz::SourceAppFolders(folder), folder + "/work");
    book.ClearBookFolders();
    book.SourceFolder = book.OpsFolder;
    book.BookMetadata.Language = input.Flag(0) ? "fr" : "en";
    book.Options.ForceIBooksFont = input.Flag(1);
    book.ChapterFiles = {"c1.htm", "c2.htm"};
    book.ChapterTitles = {input.Flag(2) ? "Chap &amp; <one>" : "", "Two"};
    SaveTextFile(book.OpsFolder + "c1.htm", input.Text());
    SaveTextFile(book.OpsFolder + "c2.htm",
                 "<html><body><p><a href=\"c1.htm#a\">a</a> <a href=\"#b\">b</a>"
                 "<img src=\"c1.htm\"></p></body></html>");
    testing::RecordingUserInterface ui;
    ChapterTexts texts = LoadChapterTexts(book);
    FinishChapters(book, texts, ui);
    ConformBook(book, texts, ui);
    fuzz::RequireWellFormedXml(texts[0], "The conformed chapter");
    fuzz::RequireWellFormedXml(texts[1], "The chapter linking in");
    return 0;
}
