// The main window's commands: the imports, the publish command, the output, cover, log and
// program choices, validation and repacking.
#include <QCollator>
#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <utility>

#include "app/ContentsImport.h"
#include "app/Publish.h"
#include "app/SettingsFile.h"
#include "app/Shell.h"
#include "app/Validate.h"
#include "app/WebImport.h"
#include "app/WordImport.h"
#include "css/FontEmbedding.h"
#include "epub/BuildEpub.h"
#include "gui/CommandLineFiles.h"
#include "gui/MainWindow.h"
#include "html/ConformBook.h"
#include "text/TextFiles.h"

namespace quirebook {

namespace {

constexpr const char* kNoChapters = "Please import webpages or document first";
constexpr const char* kCoverNote = "600*800 JPEG(*.jpg) is recommended";

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString FolderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

}  // namespace

// --- Imports ------------------------------------------------------------------------------

bool MainWindow::ReadImportOptions() {
    try {
        if (Options->ReadImportOptions()) {
            // The boxes the document's properties fill start empty when that choice changes.
            General->TitleBox->clear();
            General->AuthorBox->clear();
            General->DescriptionBox->clear();
        }
        return true;
    } catch (const std::exception& error) {
        m_ui.ShowMessage(error.what());
        return false;
    }
}

void MainWindow::ImportWebPagesCommand() {
    if (Busy() || !ConfirmNewProject(m_project, m_ui)) return;
    QStringList pages = m_files.Choose(
        {FileRequest::Kind::OpenMany,
         "Import Web Pages (Press shift to select more)",
         "HTML Files(*.htm;*.html;*.xml;*.xhtml;*.shtml)|*.htm;*.html;*.xml;*.xhtml;*.shtml",
         m_webFolder,
         {},
         {}});
    if (pages.isEmpty()) return;
    // Chapters follow the names' order, numbers compared as numbers (chapter2 before chapter10),
    // whatever order the dialog gives them in.
    // The C locale's collation knows no numbers: English's serves there.
    const QLocale locale =
        QLocale::system().language() == QLocale::C ? QLocale(QLocale::English) : QLocale::system();
    QCollator collator(locale);
    collator.setNumericMode(true);
    std::sort(pages.begin(), pages.end(),
              [&collator](const QString& a, const QString& b) { return collator(a, b); });
    m_ui.AnswerNewProjectQuestion(true);
    ImportPages(pages);
    m_ui.AnswerNewProjectQuestion(false);
}

void MainWindow::ImportPages(const QStringList& pages) {
    if (!ReadImportOptions()) return;
    ReadForm();
    std::vector<std::string> paths;
    for (const QString& page : pages)
        paths.push_back(QFileInfo(page).absoluteFilePath().toStdString());
    if (!ImportWebPages(m_project, m_form, m_ui, paths)) return;
    ShowImportedPages(FolderOf(pages.front()));
}

void MainWindow::ShowImportedPages(const QString& folder) {
    m_webFolder = folder;
    ShowImported();
}

void MainWindow::ImportContentsPageCommand() {
    if (Busy() || !ConfirmNewProject(m_project, m_ui)) return;
    const QStringList chosen = m_files.Choose(
        {FileRequest::Kind::OpenOne,
         "Import from a Contents Page",
         "HTML Files(*.htm;*.html;*.xml;*.xhtml;*.shtml)|*.htm;*.html;*.xml;*.xhtml;*.shtml",
         m_webFolder,
         {},
         {}});
    if (chosen.isEmpty() || !ReadImportOptions()) return;
    ReadForm();
    const std::string page = QFileInfo(chosen.front()).absoluteFilePath().toStdString();
    m_ui.AnswerNewProjectQuestion(true);
    const bool imported = ImportFromContentsPage(m_project, m_form, m_ui, page, {});
    m_ui.AnswerNewProjectQuestion(false);
    if (imported) ShowImportedPages(FolderOf(chosen.front()));
}

void MainWindow::ImportWordDocumentCommand() {
    if (Busy() || !ConfirmNewProject(m_project, m_ui)) return;
    const QStringList chosen = m_files.Choose(
        {FileRequest::Kind::OpenOne,
         "Import a Word Document",
         "Word Document(*.doc;*.docx)|*.doc;*.docx|Classic Word Document(*.doc)|*.doc|"
         "New Word Document(*.docx)|*.docx",
         m_wordFolder,
         {},
         {}});
    if (chosen.isEmpty()) return;
    m_ui.AnswerNewProjectQuestion(true);
    ImportWordDocumentFile(chosen.front());
}

void MainWindow::OpenExampleCommand() {
    m_wordFolder = Text(m_project.ExamplesFolder());
    ImportWordDocumentCommand();
}

void MainWindow::ImportWordDocumentFile(const QString& path) {
    if (!ReadImportOptions()) return m_ui.AnswerNewProjectQuestion(false);
    ReadForm();
    m_wordFolder = FolderOf(path);
    const std::string document = QFileInfo(path).absoluteFilePath().toStdString();
    RunWork([this, document] {
        WordConnection word(ProgramWordFactory(m_project));
        m_imported = OpenWordDocument(m_project, m_form, m_ui, word, document);
    });
}

void MainWindow::ImportWordHtmlCommand() {
    if (Busy() || !ConfirmNewProject(m_project, m_ui)) return;
    const QStringList chosen = m_files.Choose({FileRequest::Kind::OpenOne,
                                               "Import Web Pages (Press shift to select more)",
                                               "Word HTML(*.htm)|*.htm",
                                               m_webFolder,
                                               {},
                                               {}});
    if (chosen.isEmpty()) return;
    m_ui.AnswerNewProjectQuestion(true);
    ImportWordPageFile(chosen.front());
}

void MainWindow::ImportWordPageFile(const QString& path) {
    if (!ReadImportOptions()) return m_ui.AnswerNewProjectQuestion(false);
    ReadForm();
    m_webFolder = FolderOf(path);
    const std::string page = QFileInfo(path).absoluteFilePath().toStdString();
    RunWork([this, page] { m_imported = ImportWordHtml(m_project, m_form, m_ui, page); });
}

void MainWindow::ReimportCommand() {
    if (Busy() || !ReadImportOptions()) return;
    ReadForm();
    RunWork([this] {
        WordConnection word(ProgramWordFactory(m_project));
        m_imported = ReimportWordDocument(m_project, m_form, m_ui, word);
    });
}

void MainWindow::OpenFiles(const QStringList& files) {
    switch (KindOfHandedFiles(files)) {
        case HandedFiles::None:
            return;
        case HandedFiles::WebPages:
            return ImportPages(files);
        case HandedFiles::WordDocument:
            return ImportWordDocumentFile(files.front());
        case HandedFiles::WordPage:
            return ImportWordPageFile(files.front());
        case HandedFiles::Mixed:
            return m_ui.ShowMessage(
                "A book is made of web pages or of one Word document: please open one or the "
                "other.");
    }
}

void MainWindow::RunWork(std::function<void()> job, std::function<void()> done) {
    m_imported = false;
    m_project.ResetProgress();
    Progress->setValue(0);
    m_work.Start(std::move(job), [this, done = std::move(done)](const std::string& error) {
        m_ui.AnswerNewProjectQuestion(false);
        if (!error.empty()) m_ui.ShowMessage(error);
        if (done) {
            done();
        } else {
            // An import: the window shows the new project, or what the failed one left.
            if (m_imported)
                ShowImported();
            else
                ShowForm();
            Log->ShowLog(m_project.BuildLog);
        }
        UpdateCommands();
        if (!m_pendingFocus.empty()) FocusControl(std::exchange(m_pendingFocus, std::string()));
        emit WorkFinished();
        if (m_closeWhenDone) close();
    });
    UpdateCommands();
}

void MainWindow::ShowImported() {
    ShowForm();
    Cover->ShowPicture(QString(), kCoverNote);
    Pages->setCurrentIndex(0);
    m_previewRow = -1;
    if (PreviewToggle->isChecked() && !m_project.ChapterFiles.empty()) {
        const QString first = Text(m_project.SourceFolder + m_project.ChapterFiles.front());
        if (QFileInfo::exists(first)) ShowInPreview(0);
    }
    Status->setText(QString("%1 chapters imported").arg(m_project.ChapterFiles.size()));
    ShowHeadingTree(m_project.SourceFolder);
    Options->ShowStyleSheet();
    if (FontWindow->isVisible()) ShowFontFamilies();
    MakeEpubButton->setFocus();
}

void MainWindow::ShowHeadingTree(const std::string& folder) {
    // The headings the import read from the pages, as the book will list them.
    if (m_project.Options.TocFromHeadings)
        Headings->FillHeadingTree(m_project.HeadingEntries, folder, m_project.ChapterFiles);
    else
        Headings->ClearHeadings();
}

void MainWindow::RefillTitles() {
    if (m_project.ChapterFiles.empty()) return;
    // The titles follow the grid's present order.
    ReadForm();
    std::vector<std::string> files;
    std::vector<std::int64_t> sizes;
    for (const ChapterRow& row : m_form.Rows) {
        const auto at =
            std::find(m_project.ChapterFiles.begin(), m_project.ChapterFiles.end(), row.FileName);
        if (at == m_project.ChapterFiles.end()) return;
        files.push_back(row.FileName);
        const auto index = static_cast<std::size_t>(at - m_project.ChapterFiles.begin());
        sizes.push_back(index < m_project.ChapterSizes.size() ? m_project.ChapterSizes[index] : 0);
    }
    m_project.ChapterFiles = files;
    m_project.ChapterSizes = sizes;
    FillChapterGrid(m_project, m_form);
    Grid->SetRows(m_form.Rows);
    ShowHeadingTree(m_project.SourceFolder);
}

// --- Publishing ---------------------------------------------------------------------------

void MainWindow::MakeEpubCommand() {
    if (Busy()) return;
    if (!m_project.ChapterFiles.empty()) Pages->setCurrentIndex(0);
    ReadForm();
    Options->ReadPublishOptions();
    m_form.OutputFolderLabel = m_project.OutputFolder;
    General->FolderLabel->setText(Text(m_project.OutputFolder));
    RunWork([this] { PublishBook(m_project, m_form, m_ui); },
            [this] {
                ShowForm();
                Log->ShowLog(m_project.BuildLog);
                Status->setText(m_form.Published ? "The book is made." : "The book was not made.");
                // The made book's chapters carry an anchor at each heading. The headings count
                // the chapters the book was made of: those whose source was missing are not.
                if (m_form.Published && m_project.Options.TocFromHeadings) {
                    // An EPUB 3 book may hold a chapter under its .xhtml name.
                    const auto inBook = [this](const std::string& name) {
                        return QFileInfo::exists(Text(m_project.OpsFolder + name));
                    };
                    std::vector<std::string> made;
                    for (const std::string& chapter : m_project.ChapterFiles) {
                        if (inBook(chapter))
                            made.push_back(chapter);
                        else if (m_project.Options.EpubVersion >= 3 &&
                                 inBook(Epub3ChapterName(chapter)))
                            made.push_back(Epub3ChapterName(chapter));
                    }
                    Headings->FillHeadingTree(m_project.HeadingEntries, m_project.OpsFolder, made);
                }
            });
}

void MainWindow::ChangeOutputCommand() {
    if (m_project.ChapterFiles.empty()) {
        m_ui.ShowMessage(kNoChapters);
        return FocusControl("btnImportHtml");
    }
    const QStringList chosen =
        m_files.Choose({FileRequest::Kind::Save, "Change", "*.epub|*.epub",
                        Text(m_project.OutputFolder), General->NameLabel->text(), "epub"});
    if (chosen.isEmpty()) return;
    const QFileInfo output(chosen.front());
    m_project.OutputFolder = output.absolutePath().toStdString() + "/";
    m_project.OutputName = output.fileName().toStdString();
    General->FolderLabel->setText(Text(m_project.OutputFolder));
    General->NameLabel->setText(output.fileName());
}

void MainWindow::LoadCoverCommand() {
    if (m_project.ChapterFiles.empty()) return m_ui.ShowMessage("Please import content first.");
    const QStringList chosen = m_files.Choose(
        {FileRequest::Kind::OpenOne,
         "Load a cover picture",
         "All Images(*.jpg.*.png,*.gif,*.bmp)|*.jpg;*.png;*.gif;*.bmp|Jpeg(*.jpg;*.jpeg;*.jpe)|"
         "*.jpg;*.jpeg;*.jpe|PNG(*.png)|*.png|GIF(*.gif)|*.gif|BMP(*.bmp)|*.bmp",
         Text(m_project.SourceFolder),
         {},
         {}});
    if (chosen.isEmpty()) return;
    m_project.CoverPicture = QFileInfo(chosen.front()).absoluteFilePath().toStdString();
    Cover->ShowPicture(Text(m_project.CoverPicture), Cover->NoteLabel->text());
}

void MainWindow::ClearCoverCommand() {
    m_project.CoverPicture.clear();
    Cover->ShowPicture(QString(), QString());
}

// --- Settings, log, programs --------------------------------------------------------------

void MainWindow::SaveSettingsCommand() {
    if (!ReadImportOptions()) return;
    Options->ReadPublishOptions();
    try {
        SaveSettings(m_project);
    } catch (const std::exception& error) {
        m_ui.ShowMessage(error.what());
    }
}

void MainWindow::SaveLogCommand() {
    if (Log->Text().isEmpty()) return;
    const QStringList chosen = m_files.Choose({FileRequest::Kind::Save,
                                               "Save",
                                               "txt(*.txt)|*.txt",
                                               Text(m_project.OutputFolder),
                                               {},
                                               "txt"});
    if (chosen.isEmpty()) return;
    try {
        SaveTextFile(chosen.front().toStdString(), (Log->Text() + '\n').toStdString());
    } catch (const std::exception& error) {
        m_ui.ShowMessage(error.what());
    }
}

void MainWindow::SetEditorCommand() {
    const QStringList chosen = m_files.Choose(
        {FileRequest::Kind::OpenOne, "Set", "Executable File|*", "/usr/bin", {}, {}});
    if (chosen.isEmpty()) return;
    Options->EditorBox->setText(chosen.front());
    m_project.Options.ExternalEditor = chosen.front().toStdString();
}

void MainWindow::SetEpubCheckCommand() {
    const QStringList chosen = m_files.Choose(
        {FileRequest::Kind::OpenOne, "Set", "Jar file|*.jar", "/usr/share/java", {}, {}});
    if (chosen.isEmpty()) return;
    Options->EpubCheckBox->setText(chosen.front());
    m_project.Options.EpubCheckJar = chosen.front().toStdString();
}

void MainWindow::MoreLanguagesCommand() {
    if (Languages == nullptr) Languages = new LanguageList(m_project, m_ui, this);
    Languages->Fill();
    Languages->exec();
    if (!Languages->Changed()) return;
    std::vector<std::string> names;
    for (const QString& name : Languages->Listed()) names.push_back(name.toStdString());
    ShowLanguages(names);
}

void MainWindow::LoadStyleSheetCommand() {
    const QString folder = m_project.ReplacementStyleSheet.empty()
                               ? Text(m_project.SourceFolder)
                               : FolderOf(Text(m_project.ReplacementStyleSheet));
    const QStringList chosen = m_files.Choose(
        {FileRequest::Kind::OpenOne, "Load New", "Style Sheet File(*.css)|*.css", folder, {}, {}});
    if (chosen.isEmpty()) return;
    m_project.ReplacementStyleSheet = QFileInfo(chosen.front()).absoluteFilePath().toStdString();
    Options->ShowStyleSheet();
}

void MainWindow::EmbedFontsCommand() {
    if (Busy()) return;
    auto fonts = FontWindow->Assignments();
    std::erase_if(fonts, [](const auto& font) { return font.second.empty(); });
    if (fonts.empty()) {
        return m_ui.ShowMessage(
            "Choose a font file for a family first: \"Embed this font\" in the menu of its row.");
    }
    RunWork([this, fonts] { EmbedFonts(m_project, fonts, m_ui); }, [] {});
}

void MainWindow::OpenInEditor(const std::string& file) {
    OpenInExternalEditor(m_project, m_ui, file);
}

// --- Validation and repacking -------------------------------------------------------------

void MainWindow::ValidateThisCommand() {
    if (!Busy()) RunValidation(std::nullopt);
}

void MainWindow::ValidateOtherCommand() {
    if (Busy()) return;
    const QStringList chosen = m_files.Choose({FileRequest::Kind::OpenOne,
                                               "Validate Other",
                                               "ePub file(*.epub)|*.epub",
                                               Text(m_project.OutputFolder),
                                               {},
                                               {}});
    RunValidation(chosen.isEmpty() ? std::string()
                                   : QFileInfo(chosen.front()).absoluteFilePath().toStdString());
}

void MainWindow::RunValidation(const std::optional<std::string>& book) {
    auto result = std::make_shared<ValidationResult>();
    RunWork([this, result, book] { *result = ValidateBook(m_project, m_ui, book); },
            [this, result] {
                if (!result->Ran) return;
                Log->Append(result->LogText);
                if (!result->Valid) Pages->setCurrentWidget(Log);
            });
}

void MainWindow::RecompileCommand() {
    if (Busy()) return;
    RunWork([this] { RecompileBook(m_project, m_ui); }, [] {});
}

}  // namespace quirebook
