// quirebook: the command line front end, which makes books without a window.
#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>

#include "app/HeapGrowth.h"
#include "app/OptionNames.h"
#include "cli/Commands.h"
#include "cli/LargePages.h"
#include "cli/SectionedHelpFormatter.h"
#include "cli/StopSignals.h"

namespace {

using namespace quirebook;

void AddMakeOptions(CLI::App& command, MakeOptions& make, std::vector<std::string>& settings) {
    command.add_option("-o,--output", make.Output,
                       "Where to write the book (default: the book folder of the settings, "
                       "named after the pages' folder or the document's file name)");
    command
        .add_option("--title", make.Title,
                    "The book's title (default: the folder's name; for Word, the document's title "
                    "or file name)")
        ->each([&make](const std::string&) { make.TitleGiven = true; });
    command.add_option("--author", make.Author, "The author (default: \"Anonymous Author\")");
    command.add_option("--subject", make.Subject, "The subject");
    command.add_option("--publisher", make.Publisher,
                       "The publisher (default: \"Unknown publisher\")");
    command.add_option("--id", make.Id, "The identifier (default: a new urn:uuid)");
    command.add_option("--language", make.Language,
                       "The language by name, e.g. English, French (default: English)");
    command.add_option("--description", make.Description, "A description of the book");
    command.add_option("--cover", make.Cover, "A cover picture (JPEG, PNG, GIF)");
    command.add_flag("--title-page", make.TitlePage, "Add a title page");
    command
        .add_option("--titles", make.Titles,
                    "Chapter titles from the file name, the HTML title, the first heading, or "
                    "none (default: the settings' choice)")
        ->check(CLI::IsMember({"file", "html", "heading", "off"}));
    command.add_option("--stylesheet", make.StyleSheet,
                       "A style sheet linked into every chapter instead of their own");
    command
        .add_option("--toc", make.Toc,
                    "The table of contents: each chapter with the headings of its text nested "
                    "beneath it, as deep as the pages nest them, or the chapters alone (default: "
                    "the settings' choice, headings unless changed)")
        ->check(CLI::IsMember({"chapters", "headings"}));
    command.add_flag_callback(
        "--toc-headings", [&make] { make.Toc = "headings"; }, "The same as --toc headings");
    command.add_flag("--validate", make.Validate, "Check the finished book with epubcheck");
    // Each of these takes one value per use, so that the pages after it stay pages.
    command
        .add_option("--embed-font", make.EmbedFonts,
                    "Embed a font for a family the book's style sheet names, FAMILY=FILE "
                    "(e.g. \"Times New Roman=times.ttf\"); repeat for more fonts")
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    std::string names;
    for (const std::string& name : OptionNames()) names += (names.empty() ? "" : ", ") + name;
    command
        .add_option("--option", settings,
                    "Set an option by name, NAME=VALUE (true/false for flags), e.g. "
                    "PassEpubCheck=false, BaseFontSize=16; repeat for more. Names: " +
                        names)
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

// How Word's page is cleaned and split.
void AddWordCleaningOptions(CLI::App& command, MakeOptions& word) {
    command.add_flag("--extreme", word.Extreme,
                     "Light cleaning (keeps more of Word's markup) instead of the full one");
    command.add_flag("--no-optimize", word.NoOptimize, "No cleaning of Word's markup");
    command.add_flag("--no-split", word.NoSplit, "One chapter, not one per section");
}

// The chapters from a contents page's links instead of the pages listed.
void AddContentsPageOptions(CLI::App& command, MakeOptions& make, CLI::Option* pages) {
    CLI::Option* fromContents =
        command
            .add_option("--from-contents", make.FromContents,
                        "Make the book of the pages this contents page links to, in the order of "
                        "its main contents list, then its other links, the index, search and "
                        "glossary pages last (the contents page first); pages outside the "
                        "resource root, missing or in another folder are reported and skipped")
            ->type_name("PAGE")
            ->check(CLI::ExistingFile)
            ->excludes(pages);
    command
        .add_option("--depth", make.Depth,
                    "With --from-contents: follow links this many pages deep (1: the contents "
                    "page's links only; 2: and the links of the pages those lead to ...)")
        ->type_name("N")
        ->check(CLI::Range(1, 100))
        ->needs(fromContents);
    command
        .add_flag("--no-contents-page", make.NoContentsPage,
                  "With --from-contents: the contents page is not a chapter of the book")
        ->needs(fromContents);
    // One of the two sources is needed: checked here, so that the message names both.
    command.callback([&make] {
        if (make.Pages.empty() && make.FromContents.empty())
            throw CLI::RequiredError("pages or --from-contents");
    });
}

// Leaving the site's page furniture out of a web book.
void AddFurnitureOptions(CLI::App& command, MakeOptions& make) {
    command.add_flag("--keep-furniture", make.KeepFurniture,
                     "Keep the page furniture: without it, the blocks repeated on most pages "
                     "(navigation bars, sidebars, footers) and the navigation and search "
                     "landmarks are left out of the chapters");
    command
        .add_option("--remove", make.Remove,
                    "Leave out the blocks this CSS selector names, e.g. div.sphinxsidebar "
                    "(types, .class, #id, [attr], [attr=value], descendant and \">\" "
                    "combinators, comma lists); repeat for more. Replaces the settings' "
                    "selectors; applies with --keep-furniture too")
        ->type_name("SELECTOR")
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

void AddCommonOptions(CLI::App& command, CommonOptions& common) {
    command.add_option("--keep-work", common.KeepWork,
                       "Work in this folder and keep it: DIR/temp is the book's work folder "
                       "(ready for repack)");
    command.add_flag("-q,--quiet", common.Quiet, "No progress and no build log");
    command
        .add_option("--jobs", common.Jobs,
                    "Convert the chapters on N threads (default: one per core); the book is the "
                    "same whatever N")
        ->option_text("N")
        ->check(CLI::Range(1u, 1024u));
    command
        .add_option("--epub-version", common.EpubVersion,
                    "Make an EPUB 2 or an EPUB 3 book (default: the settings' choice, 2 unless "
                    "changed): EPUB 3 adds a navigation document, HTML5 chapters and "
                    "accessibility metadata")
        ->option_text("2|3")
        ->check(CLI::IsMember({2, 3}));
}

// NAME=VALUE pairs of --option.
std::vector<std::pair<std::string, std::string>> SplitSettings(
    const std::vector<std::string>& settings) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const std::string& setting : settings) {
        const std::size_t equals = setting.find('=');
        if (equals == std::string::npos)
            throw CLI::ValidationError("--option", setting + " is not NAME=VALUE");
        pairs.emplace_back(setting.substr(0, equals), setting.substr(equals + 1));
    }
    return pairs;
}

}  // namespace

int main(int argc, char** argv) {
    RestartWithLargePages(argv);
    GrowHeapsInLargeSteps();
    HandleStopSignals();
    CLI::App app{
        "Quirebook turns ordinary documents (a folder of web pages, a web page saved by Word, a "
        "Word document) into one EPUB 2 book, or EPUB 3 on request.",
        "quirebook"};
    app.set_version_flag("--version", std::string("quirebook ") + QUIREBOOK_VERSION,
                         "Print the program's version and exit");
    // Every sub-command's options on one page, in sections: the manual page is made from it.
    // The formatter is set before the sub-commands are added, as they take their parent's.
    app.formatter(std::make_shared<SectionedHelpFormatter>());
    app.set_help_all_flag("--help-all", "Print the help of every sub-command and exit");
    app.footer(
        "Settings come from the settings file (setting.opt) unless an option overrides them.\n"
        "Exit status: 0 on success, 1 when the book could not be made or is not valid, 2 for a "
        "usage error.");
    app.require_subcommand(1);

    CommonOptions common;
    MakeOptions make;
    std::vector<std::string> settings;
    CLI::App* makeCommand =
        app.add_subcommand("make",
                           "Make a book of web pages; the reading order is the order of "
                           "the pages on the command line, or of a contents page's links");
    CLI::Option* pagesOption =
        makeCommand->add_option("pages", make.Pages, "The pages (all in one folder)")
            ->check(CLI::ExistingFile);
    AddContentsPageOptions(*makeCommand, make, pagesOption);
    AddFurnitureOptions(*makeCommand, make);
    makeCommand
        ->add_option(
            "--resource-root", make.ResourceRoot,
            "The folder the pages' pictures, style sheets and fonts may be read from; it must hold "
            "the pages' folder (default: the pages' folder's parent, or the pages' folder itself "
            "when that parent is / or your home folder). Never read, whatever the root: absolute "
            "paths, file: URLs, symbolic links out of the root, names beginning with \".\", files "
            "that are not pictures, style sheets or fonts")
        ->type_name("DIR");
    AddMakeOptions(*makeCommand, make, settings);
    AddCommonOptions(*makeCommand, common);

    MakeOptions wordPage;
    wordPage.Source = SourceKind::WordPage;
    std::vector<std::string> wordPageSettings;
    CLI::App* wordHtmlCommand =
        app.add_subcommand("word-html",
                           "Make a book of a web page saved by Word, split into "
                           "chapters at its section breaks");
    wordHtmlCommand
        ->add_option("page", wordPage.Pages, "The page (.htm), its picture folder beside it")
        ->required()
        ->expected(1)
        ->check(CLI::ExistingFile);
    AddWordCleaningOptions(*wordHtmlCommand, wordPage);
    AddMakeOptions(*wordHtmlCommand, wordPage, wordPageSettings);
    AddCommonOptions(*wordHtmlCommand, common);

    MakeOptions wordDocument;
    wordDocument.Source = SourceKind::WordDocument;
    std::vector<std::string> wordDocumentSettings;
    CLI::App* wordCommand = app.add_subcommand(
        "word",
        "Make a book of a Word document (.docx; .doc through LibreOffice when it is installed), "
        "split into chapters at its section breaks; its title, author and comments fill the "
        "book's fields unless given");
    wordCommand->add_option("document", wordDocument.Pages, "The Word document (.docx or .doc)")
        ->required()
        ->expected(1)
        ->check(CLI::ExistingFile);
    AddWordCleaningOptions(*wordCommand, wordDocument);
    wordCommand->add_flag("--no-properties", wordDocument.NoProperties,
                          "Do not take the title, author and description from the document");
    AddMakeOptions(*wordCommand, wordDocument, wordDocumentSettings);
    AddCommonOptions(*wordCommand, common);

    std::string book;
    CLI::App* validateCommand =
        app.add_subcommand("validate", "Check a book with epubcheck and print its verdict");
    validateCommand->add_option("book", book, "The .epub file")->required();

    std::string workFolder;
    CLI::App* repackCommand = app.add_subcommand(
        "repack", "Pack an edited work folder (kept with --keep-work DIR: DIR/temp) again");
    repackCommand->add_option("workfolder", workFolder, "The work folder")
        ->required()
        ->check(CLI::ExistingDirectory);
    repackCommand->add_option("book", book, "The .epub file to write")->required();

    CLI::App* demoCommand = app.add_subcommand(
        "demo",
        "Make the bundled example books (web pages, a Word document) into the book folder "
        "(myBook) and validate them");
    AddCommonOptions(*demoCommand, common);

    try {
        app.parse(argc, argv);
        make.Settings = SplitSettings(settings);
        wordPage.Settings = SplitSettings(wordPageSettings);
        wordDocument.Settings = SplitSettings(wordDocumentSettings);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : 2;
    }
    const auto run = [&] {
        if (makeCommand->parsed()) return RunMake(make, common);
        if (wordHtmlCommand->parsed()) return RunMake(wordPage, common);
        if (wordCommand->parsed()) return RunMake(wordDocument, common);
        if (validateCommand->parsed()) return RunValidate(book, common);
        if (repackCommand->parsed()) return RunRepack(workFolder, book, common);
        return RunDemo(common);
    };
    try {
        const int status = run();
        WaitIfStopping();
        return status;
    } catch (const std::invalid_argument& error) {
        WaitIfStopping();
        std::cerr << error.what() << '\n';
        return 2;
    } catch (const std::exception& error) {
        WaitIfStopping();
        std::cerr << error.what() << '\n';
        return 1;
    }
}
