#include "cli/Commands.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "app/BookLanguages.h"
#include "app/ContentsImport.h"
#include "app/OptionNames.h"
#include "app/PlatformFolders.h"
#include "app/Publish.h"
#include "app/SettingsFile.h"
#include "app/Validate.h"
#include "app/WebImport.h"
#include "app/WordImport.h"
#include "cli/ConsoleInterface.h"
#include "css/FontEmbedding.h"
#include "epub/BuildEpub.h"
#include "html/CssSelectors.h"
#include "html/ResourceRoot.h"
#include "text/PlainText.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

// The program's project with its settings, in a work area of its own.
struct Session {
    explicit Session(const CommonOptions& common)
        : Area(common.KeepWork.empty() ? ProcessWorkArea::Temporary()
                                       : ProcessWorkArea::Kept(common.KeepWork)),
          Project(LocateAppFolders(ProgramFolder()), Area.Root()),
          Ui(common.Quiet) {
        LoadSettings(Project);  // defaults when there is no settings file
        Project.Jobs = common.Jobs;
        if (common.EpubVersion != 0) Project.Options.EpubVersion = common.EpubVersion;
    }
    ProcessWorkArea Area;
    BookProject Project;
    ConsoleInterface Ui;
};

std::string Absolute(const std::string& path) {
    return fs::absolute(path).lexically_normal();
}

void ApplyTitleSource(OptionFlags& options, const std::string& titles) {
    if (titles.empty()) return;
    options.AutoChapterTitles = titles != "off";
    if (titles == "file") options.TitleSource = TitleSourceKind::FileName;
    if (titles == "html") options.TitleSource = TitleSourceKind::HtmlTitle;
    if (titles == "heading") options.TitleSource = TitleSourceKind::FirstHeading;
}

// The form's boxes from the options given; the boxes not given keep what the import put there.
void FillForm(BookForm& form, const MakeOptions& make) {
    if (make.TitleGiven) form.TitleBox = make.Title;
    if (!make.Author.empty()) form.AuthorBox = make.Author;
    form.SubjectBox = make.Subject;
    form.PublisherBox = make.Publisher;
    form.IdBox = make.Id;
    if (!make.Language.empty()) form.LanguageName = make.Language;
    if (!make.Description.empty()) form.DescriptionBox = make.Description;
}

void PrintValidation(const ValidationResult& result) {
    std::cout << PlainReplace(result.LogText, "\r\n", "\n");
    std::cout << (result.Valid ? "The book is valid.\n" : "The book is not valid.\n");
}

void PrintLog(const BookProject& project, const CommonOptions& common) {
    if (common.Quiet || project.BuildLog.empty()) return;
    std::cout << PlainReplace(project.BuildLog, "\r\n", "\n") << '\n';
}

// The FAMILY=FILE pairs of --embed-font, the files made absolute.
std::vector<std::pair<std::string, std::string>> FontFiles(const MakeOptions& make) {
    std::vector<std::pair<std::string, std::string>> fonts;
    for (const std::string& font : make.EmbedFonts) {
        const std::size_t equals = font.find('=');
        if (equals == std::string::npos)
            throw std::invalid_argument("--embed-font takes FAMILY=FILE, not " + font);
        const std::string file = font.substr(equals + 1);
        if (!fs::is_regular_file(file))
            throw std::runtime_error("The font file " + file + " does not exist");
        fonts.emplace_back(font.substr(0, equals), Absolute(file));
    }
    return fonts;
}

// Refuses a resource root the user gave that is not a folder or does not hold `pagesFolder`.
void CheckResourceRoot(const std::string& folder, const std::string& pagesFolder) {
    if (!fs::is_directory(folder))
        throw std::invalid_argument("The resource root " + folder + " is not a folder");
    if (!ResourceRoot(folder).Holds(pagesFolder))
        throw std::invalid_argument("The resource root " + folder +
                                    " does not hold the pages' folder " + pagesFolder);
}

void SetResourceRoot(BookProject& project, const std::string& folder) {
    CheckResourceRoot(folder, project.SourceFolder);
    project.ResourceRoot = Absolute(folder);
}

// --keep-furniture and --remove; the selectors given replace those of the settings, and are
// read here so that one that cannot be read is a usage error before any work.
void ApplyFurnitureChoice(OptionFlags& options, const MakeOptions& make) {
    if (make.KeepFurniture) options.KeepFurniture = true;
    if (!make.Remove.empty()) {
        std::string selectors;
        for (const std::string& each : make.Remove)
            selectors += (selectors.empty() ? "" : ", ") + each;
        options.RemoveSelectors = SelectorListText(ParseSelectors(selectors));
    }
    ParseSelectors(options.RemoveSelectors);
}

bool Import(Session& session, BookForm& form, const MakeOptions& make) {
    switch (make.Source) {
        case SourceKind::WordPage:
            return ImportWordHtml(session.Project, form, session.Ui, make.Pages.front());
        case SourceKind::WordDocument: {
            WordConnection word(ProgramWordFactory(session.Project));
            return OpenWordDocument(session.Project, form, session.Ui, word, make.Pages.front());
        }
        case SourceKind::WebPages:
            break;
    }
    if (!make.FromContents.empty()) {
        // The walk reads pages through the root, so it is checked before.
        if (!make.ResourceRoot.empty())
            CheckResourceRoot(make.ResourceRoot,
                              fs::path(Absolute(make.FromContents)).parent_path().string());
        const ContentsPageChoice choice{
            make.Depth, !make.NoContentsPage,
            make.ResourceRoot.empty() ? std::string() : Absolute(make.ResourceRoot)};
        return ImportFromContentsPage(session.Project, form, session.Ui, make.FromContents, choice);
    }
    return ImportWebPages(session.Project, form, session.Ui, make.Pages);
}

// Makes a book of `make` in `session`; true when the book was written.
bool MakeBook(Session& session, const MakeOptions& make, const CommonOptions& common) {
    BookProject& project = session.Project;
    for (const auto& [name, value] : make.Settings) SetOptionByName(project.Options, name, value);
    ApplyTitleSource(project.Options, make.Titles);
    if (make.TitlePage) project.Options.MakeTitlePage = true;
    if (!make.Toc.empty()) project.Options.TocFromHeadings = make.Toc == "headings";

    if (make.Extreme) project.Options.ExtremeMode = true;
    if (make.NoOptimize) project.Options.OptimizeWordHtml = false;
    if (make.NoSplit) project.Options.SplitWordOnSections = false;
    if (make.NoProperties) project.Options.UseWordProperties = false;
    ApplyFurnitureChoice(project.Options, make);
    for (const std::string& page : make.Pages) {
        if (!fs::is_regular_file(page))
            throw std::runtime_error("The file " + page + " does not exist");
    }
    BookForm form;
    form.LanguageName = StartingBookLanguage(project);
    if (!Import(session, form, make)) return false;
    FillForm(form, make);
    if (!make.ResourceRoot.empty()) SetResourceRoot(project, make.ResourceRoot);
    // The book keeps the name the import gave it (the document's file name, the pages' folder),
    // as the window does; a title given changes the title only.
    if (!make.Output.empty()) {
        const fs::path output = Absolute(make.Output);
        project.OutputFolder = output.parent_path().string() + "/";
        form.OutputNameLabel = output.filename().string();
    }
    if (!make.Cover.empty()) {
        if (!fs::is_regular_file(make.Cover))
            throw std::runtime_error("The cover picture " + make.Cover + " does not exist");
        project.CoverPicture = Absolute(make.Cover);
    }
    if (!make.StyleSheet.empty()) {
        if (!fs::is_regular_file(make.StyleSheet))
            throw std::runtime_error("The style sheet " + make.StyleSheet + " does not exist");
        project.TickReplaceStyleSheet(true);
        project.ReplacementStyleSheet = Absolute(make.StyleSheet);
    }
    const auto fonts = FontFiles(make);  // checked before anything is made
    bool made = PublishBook(project, form, session.Ui);
    if (made && !fonts.empty()) made = EmbedFonts(project, fonts, session.Ui);
    PrintLog(project, common);
    return made;
}

// An example's book.txt: "Title:", "Author:", "Subject:", "Description:" and "Cover:" lines
// (the cover relative to the example's folder).
void ReadExampleMetadata(const fs::path& folder, MakeOptions& make) {
    std::istringstream lines(LoadTextFile((folder / "book.txt").string()));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string key = line.substr(0, colon);
        const std::string value(TrimBlanks(std::string_view(line).substr(colon + 1)));
        if (key == "Title") make.Title = value, make.TitleGiven = true;
        if (key == "Author") make.Author = value;
        if (key == "Subject") make.Subject = value;
        if (key == "Description") make.Description = value;
        if (key == "Cover") make.Cover = (folder / value).string();
    }
}

// An example is a folder of web pages with their reading order in order.txt, or a folder with
// one Word document; false for a folder that is neither.
bool ReadExampleSource(const fs::path& folder, MakeOptions& make) {
    if (fs::is_regular_file(folder / "order.txt")) {
        std::istringstream order(LoadTextFile((folder / "order.txt").string()));
        for (std::string line; std::getline(order, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) make.Pages.push_back((folder / line).string());
        }
        return true;
    }
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".docx") {
            make.Source = SourceKind::WordDocument;
            make.Pages = {entry.path().string()};
            return true;
        }
    }
    return false;
}

}  // namespace

int RunMake(const MakeOptions& make, const CommonOptions& common) {
    Session session(common);
    if (!MakeBook(session, make, common)) return 1;
    if (!make.Validate) return 0;
    const ValidationResult result = ValidateBook(session.Project, session.Ui);
    if (result.Ran) PrintValidation(result);
    return result.Ran && result.Valid ? 0 : 1;
}

int RunValidate(const std::string& book, const CommonOptions& common) {
    Session session(common);
    const ValidationResult result = ValidateBook(session.Project, session.Ui, Absolute(book));
    if (result.Ran) PrintValidation(result);
    return result.Ran && result.Valid ? 0 : 1;
}

int RunRepack(const std::string& workFolder, const std::string& book, const CommonOptions& common) {
    Session session(common);
    BookProject& project = session.Project;
    project.WorkFolder = Absolute(workFolder) + "/";
    project.OutputPath = Absolute(book);
    if (!fs::is_regular_file(project.WorkFolder + "mimetype"))
        throw std::runtime_error(workFolder + " is not a book's work folder: it has no mimetype");
    RecompileBook(project, session.Ui);
    return 0;
}

int RunDemo(const CommonOptions& common) {
    const std::string examples = LocateAppFolders(ProgramFolder()).AppFolder + "/examples/";
    std::vector<fs::path> books;
    std::error_code error;  // a missing examples folder is told below, as one with no book
    for (auto it = fs::directory_iterator(examples, error);
         !error && it != fs::directory_iterator(); it.increment(error))
        if (fs::is_directory(it->path())) books.push_back(it->path());
    std::sort(books.begin(), books.end());
    int status = 0;
    int made = 0;
    for (const fs::path& folder : books) {
        MakeOptions make;
        if (!ReadExampleSource(folder, make)) continue;
        Session session(common);
        ReadExampleMetadata(folder, make);
        make.TitlePage = true;
        // A web book is named after its folder, a Word book after its document.
        const fs::path named = make.Source == SourceKind::WordDocument
                                   ? fs::path(make.Pages.front()).stem()
                                   : folder.filename();
        make.Output = session.Project.UserFolder + "/myBook/" + named.string() + ".epub";
        if (!MakeBook(session, make, common)) return 1;
        ++made;
        std::cout << "The example book is at " << session.Project.OutputPath << '\n';
        const ValidationResult result = ValidateBook(session.Project, session.Ui);
        if (result.Ran) PrintValidation(result);
        if (!result.Ran || !result.Valid) status = 1;
    }
    if (made == 0) throw std::runtime_error("No example book found in " + examples);
    return status;
}

}  // namespace quirebook
