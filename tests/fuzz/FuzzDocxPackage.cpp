// Fuzz target: the bytes of a .docx package (a zip archive) through the package reader and the
// Word layer's page writer; a document that cannot be read must say so with WordDocumentError,
// and a page written must name itself Word's.
#include "FuzzSupport.h"
#include "text/TextFiles.h"
#include "word/WordHtmlCleaner.h"
#include "word/docx/DocxPackage.h"
#include "word/docx/FilteredWebPage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quirebook;
    const std::string& folder = fuzz::EmptyScratchFolder();
    const std::string document = folder + "/document.docx";
    SaveTextFile(document, std::string(reinterpret_cast<const char*>(data), size));
    try {
        const DocxPackage package(document);
        WriteFilteredWebPage(package, folder + "/document.htm");
    } catch (const WordDocumentError&) {
        return 0;
    }
    fuzz::Require(AnalyzeWordHead(LoadTextFile(folder + "/document.htm")).Valid(),
                  "the page names Word's generator");
    return 0;
}
