// quirebook_word_page: writes the page the Word layer makes of a .docx (Word's filtered web page,
// uncleaned, with its picture folder), for comparing it with the page Word itself writes.
// Usage: quirebook_word_page DOCUMENT.docx PAGE.html
#include <exception>
#include <iostream>

#include "word/docx/DocxPackage.h"
#include "word/docx/FilteredWebPage.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "Usage: quirebook_word_page DOCUMENT.docx PAGE.html\n";
        return 2;
    }
    try {
        const quirebook::DocxPackage package(argv[1]);
        const quirebook::FilteredWebPageCounts counts =
            quirebook::WriteFilteredWebPage(package, argv[2]);
        std::cout << counts.Sections << " sections, " << counts.Pictures << " pictures, "
                  << counts.Footnotes << " footnotes, " << counts.Endnotes << " endnotes\n";
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
