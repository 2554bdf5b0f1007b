// Every picture of the corpus's Word pages and Word documents reaches the book: the pictures a
// page shows through <img> (or through VML alone) and the pictures a document's body holds in a
// format a book can carry are counted in the source and among the book's images, input by input.
#include <algorithm>
#include <filesystem>
#include <iostream>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "CorpusBook.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WordImport.h"
#include "html/Charset.h"
#include "text/PlainText.h"
#include "text/Regex.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"
#include "word/docx/DocxPackage.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// The values of `attribute` in every tag matching `tagPattern`, in the text left when Word's
// conditional comments (VML with its own fallback images) are taken out.
std::vector<std::string> AttributeValues(std::string text, const std::string& tagPattern,
                                         const std::string& attribute) {
    Regex comments(preCaseLess | preSingleLine);
    comments.SetPattern("<!--\\[if.+?<!\\[endif\\]-->");
    comments.SetSubject(text);
    std::string shown;
    std::size_t copied = 0;
    while (comments.MatchNext()) {
        shown.append(text, copied, comments.MatchStart() - 1 - copied);
        copied = comments.MatchEnd() - 1;
    }
    shown.append(text, copied);
    Regex tags(preCaseLess | preSingleLine);
    tags.SetPattern(tagPattern + "\\s(?:[^>]*?\\s)?" + attribute +
                    "\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))");
    tags.SetSubject(shown);
    std::vector<std::string> values;
    while (tags.MatchNext())
        values.push_back(tags.Submatch(1) + tags.Submatch(2) + tags.Submatch(3));
    return values;
}

std::string FilePart(const std::string& source) {
    return PlainReplace(PercentDecode(source.substr(0, source.find('#'))), "&amp;", "&");
}

// The pictures a Word page shows: its images outside conditional comments and its VML image
// data outside them, where the file named is there.
int PagePictures(const fs::path& page) {
    const std::string text = PageToUtf8(LoadTextFile(page.string()));
    int count = 0;
    for (const char* tag : {"<img", "<v:imagedata"}) {
        for (const std::string& source : AttributeValues(text, tag, "src"))
            count += fs::is_regular_file(page.parent_path() / FilePart(source)) ? 1 : 0;
    }
    return count;
}

// The images of the book's chapters whose file the book carries.
int BookPictures(const BookProject& book) {
    int count = 0;
    for (const std::string& chapter : book.ChapterFiles) {
        for (const std::string& source :
             AttributeValues(LoadTextFile(book.OpsFolder + chapter), "<img", "src")) {
            const std::string file = FilePart(source);
            count += std::find(book.ImageFiles.begin(), book.ImageFiles.end(), file) !=
                             book.ImageFiles.end()
                         ? 1
                         : 0;
        }
    }
    return count;
}

// True for the bytes of a PNG, JPEG or GIF picture, or an SVG part: what a book carries.
bool BookPicture(const std::string& part, const std::string& bytes) {
    return bytes.starts_with("\x89PNG") || bytes.starts_with("\xFF\xD8") ||
           bytes.starts_with("GIF8") || part.ends_with(".svg");
}

// Counts the pictures of a story part: DrawingML blips (a fallback of an alternate content is
// the same picture again) and VML image data.
struct PictureCounter : pugi::xml_tree_walker {
    const DocxPackage* Package = nullptr;
    std::map<std::string, DocxRelationship> Relationships;
    int Count = 0;
    bool for_each(pugi::xml_node& node) override {
        const std::string_view name = node.name();
        const char* idAttribute = name == "a:blip"        ? "r:embed"
                                  : name == "v:imagedata" ? "r:id"
                                                          : "";
        if (*idAttribute == 0) return true;
        for (pugi::xml_node up = node.parent(); up; up = up.parent())
            if (std::string_view(up.name()) == "mc:Fallback") return true;
        const auto found = Relationships.find(node.attribute(idAttribute).value());
        if (found == Relationships.end() || found->second.External) return true;
        if (BookPicture(found->second.Target, Package->Read(found->second.Target))) ++Count;
        return true;
    }
};

int DocumentPictures(const fs::path& path) {
    DocxPackage package(path.string());
    pugi::xml_document document;
    package.ReadXml(package.MainDocumentPart(), document);
    PictureCounter counter;
    counter.Package = &package;
    counter.Relationships = package.Relationships(package.MainDocumentPart());
    document.traverse(counter);
    return counter.Count;
}

struct Made {
    int Source = 0;
    int Book = 0;
};

// Makes the book of a Word page or document and counts the pictures on both sides.
Made MakeAndCount(const fs::path& input, bool document) {
    TempFolder temp;
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    book.OutputFolder = temp / "out/";
    BookForm form;
    testing::RecordingUserInterface ui;
    Made made;
    made.Source = document ? DocumentPictures(input) : PagePictures(input);
    bool imported = false;
    if (document) {
        WordConnection word(ProgramWordFactory(book));
        imported = OpenWordDocument(book, form, ui, word, input.string());
    } else {
        imported = ImportWordHtml(book, form, ui, input.string());
    }
    EXPECT_TRUE(imported) << input << ": " << ::testing::PrintToString(ui.Messages);
    if (!imported) return made;
    EXPECT_TRUE(PublishBook(book, form, ui)) << input << ": " << book.BuildLog;
    made.Book = BookPictures(book);
    std::cout << "pictures " << input.parent_path().filename().string() << "/"
              << input.filename().string() << ": source " << made.Source << ", book " << made.Book
              << '\n';
    return made;
}

TEST(CorpusPictures, EveryWordPagesPicturesReachTheBook) {
    const std::string corpus = testing::CorpusPath("wordhtml");
    if (corpus.empty()) GTEST_SKIP() << "the corpus of real documents is not there";
    int pages = 0;
    for (const char* set : {"original", "utf8"}) {
        for (const auto& folder : fs::directory_iterator(fs::path(corpus) / set)) {
            for (const auto& entry : fs::directory_iterator(folder.path())) {
                const std::string extension = entry.path().extension().string();
                if (!entry.is_regular_file() || (extension != ".htm" && extension != ".html"))
                    continue;
                const Made made = MakeAndCount(entry.path(), false);
                EXPECT_EQ(made.Book, made.Source) << entry.path();
                ++pages;
            }
        }
    }
    EXPECT_GT(pages, 0);
}

TEST(CorpusPictures, EveryWordDocumentsPicturesReachTheBook) {
    int documents = 0;
    for (const char* set : {"docx/word", "docx/books"}) {
        const std::string folder = testing::CorpusPath(set);
        if (folder.empty()) GTEST_SKIP() << "the corpus of real documents is not there";
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() != ".docx") continue;
            const Made made = MakeAndCount(entry.path(), true);
            EXPECT_EQ(made.Book, made.Source) << entry.path();
            ++documents;
        }
    }
    EXPECT_GT(documents, 0);
}

}  // namespace
}  // namespace quirebook
