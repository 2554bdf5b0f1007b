// The fields of the main window that a book is made from, as a front end fills them in: the
// metadata boxes, the chapter grid and the output labels.
#pragma once

#include <string>
#include <vector>

namespace quirebook {

// One row of the chapter grid.
struct ChapterRow {
    std::string FileName;
    std::string Title;  // as shown and edited: unescaped for display
    std::string SizeText;
};

struct BookForm {
    std::string TitleBox;
    std::string AuthorBox;
    std::string SubjectBox;
    std::string PublisherBox;
    std::string IdBox;
    std::string LanguageName = "English";
    std::string DescriptionBox;
    std::vector<ChapterRow> Rows;  // in the order the book is read
    std::string SaveLabel = "Your ePub book will be saved";
    std::string OutputFolderLabel;
    std::string OutputNameLabel;
    // After a successful publish: the output labels are links, the edit and validate commands
    // are available; the next import clears it.
    bool Published = false;
    // After a Word document import: "Re-Import Word Doc" may run it again.
    bool ReimportEnabled = false;
    // The front end shows the heading tree: an import reads the table of contents for it.
    bool ShowsHeadingTree = false;
};

}  // namespace quirebook
