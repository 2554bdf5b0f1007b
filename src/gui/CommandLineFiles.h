// What the files handed to the window on its command line are: web pages, a Word document or a
// web page saved by Word.
#pragma once

#include <QStringList>

namespace quirebook {

enum class HandedFiles {
    None,
    WebPages,      // pages of a web book, in the order given
    WordDocument,  // one .docx or .doc
    WordPage,      // one .htm or .html that Word saved
    Mixed,         // a Word document among other files: a book is made of one or the other
};

HandedFiles KindOfHandedFiles(const QStringList& files);

// True when the head of the page at `path` names Word as its generator.
bool IsWordWebPage(const QString& path);

}  // namespace quirebook
