// The sub-commands of quirebook. Each returns the process's exit status: 0 on success, 1 when
// the book could not be made (or is not valid), with the reason on standard error.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quirebook {

// What every command shares: where to work and how much to say.
struct CommonOptions {
    std::string KeepWork;  // run in this folder and keep it; empty: a temporary folder
    bool Quiet = false;    // no progress and no build log
    unsigned Jobs = 0;     // threads for the chapters; 0: one per core
    int EpubVersion = 0;   // 2 or 3; 0: the settings' choice
};

// What a book is made of.
enum class SourceKind { WebPages, WordPage, WordDocument };

struct MakeOptions {
    SourceKind Source = SourceKind::WebPages;
    std::vector<std::string> Pages;  // in reading order; the one page or document for Word
    std::string Output;              // the book's path; empty: OutputFolder + title + ".epub"
    std::string Title, Author, Subject, Publisher, Id, Language, Description;
    bool TitleGiven = false;  // the title box: the folder's name unless given
    std::string Cover;
    bool TitlePage = false;
    std::string Titles;  // file, html, heading or off; empty: the settings' choice
    std::string StyleSheet;
    std::string ResourceRoot;  // web pages: the folder resources are read from; empty: default
    // Web pages: the chapters are the pages this contents page links to, in its order.
    std::string FromContents;
    int Depth = 1;
    bool NoContentsPage = false;
    std::string Toc;  // chapters or headings; empty: the settings' choice
    bool Validate = false;
    std::vector<std::pair<std::string, std::string>> Settings;  // --option NAME=VALUE
    std::vector<std::string> EmbedFonts;                        // FAMILY=FILE
    // How a Word page or document is cleaned and split, and whether the document's title,
    // author and comments fill the book's fields.
    bool Extreme = false;
    bool NoOptimize = false;
    bool NoSplit = false;
    bool NoProperties = false;
    // Web pages: the page furniture found stays; these selectors name blocks to leave out.
    bool KeepFurniture = false;
    std::vector<std::string> Remove;
};

// Makes a book of web pages, a Word page or a Word document, as `make.Source` says.
int RunMake(const MakeOptions& make, const CommonOptions& common);
int RunValidate(const std::string& book, const CommonOptions& common);
int RunRepack(const std::string& workFolder, const std::string& book, const CommonOptions& common);
// Makes the bundled example books (web pages, and a Word document) into the default book folder
// and validates them.
int RunDemo(const CommonOptions& common);

}  // namespace quirebook
