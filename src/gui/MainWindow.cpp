// The main window's layout, its start-up state, the form it fills for the app layer and the
// enabling of its commands.
#include "gui/MainWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/BookLanguages.h"
#include "app/SettingsFile.h"
#include "app/Shell.h"
#include "app/WebImport.h"
#include "css/FontEmbedding.h"

namespace quirebook {

namespace {

constexpr const char* kStartStatus = "Open a folder of webpages or a Word document, then make it.";
constexpr const char* kQuitWhileBusyQuestion =
    "The book is still being made. Quit as soon as that work ends?";
// The project's web site, for "&Website": a reserved example address until the project has a
// home of its own, the same the package's description uses.
constexpr const char* kWebsite = "https://quirebook.example/";

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

MainWindow::MainWindow(BookProject& project, UserInterface& person, FileChooser& files,
                       QWidget* parent)
    : QMainWindow(parent),
      m_project(project),
      m_files(files),
      m_ui(
          person, *this,
          [this](const QString& status, int percent) { ShowProgress(status, percent); },
          [this](const std::string& control) { FocusControl(control); }),
      m_work(this) {
    setWindowTitle(QString("Quirebook ") + QUIREBOOK_VERSION);
    m_form.ShowsHeadingTree = true;
    auto* splitter = new QSplitter;
    auto* left = new QWidget;
    BuildLeftSide(left);
    splitter->addWidget(left);

    Pages = new QTabWidget;
    General = new GeneralPage;
    Cover = new CoverPage;
    Options = new OptionPages(m_project, this);
    Log = new LogPage;
    Pages->addTab(General, "General");
    Pages->addTab(Cover, "Cover");
    Pages->addTab(Options->SettingsPage, "Settings");
    Pages->addTab(Options->AdvancedPage, "Advanced");
    Pages->addTab(Log, "Log");
    Pages->addTab(Options->ProPage, "Pro");
    FontWindow = new EmbedFontsDialog(m_files, m_ui, this);
    splitter->addWidget(Pages);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    setCentralWidget(splitter);

    Progress = new QProgressBar;
    Progress->setRange(0, 100);
    Progress->setMaximumWidth(200);
    Progress->setVisible(false);
    Status = new QLabel;
    HelpButton = new QPushButton("Help");
    statusBar()->addWidget(Progress);
    statusBar()->addWidget(Status, 1);
    statusBar()->addPermanentWidget(HelpButton);

    BuildMenus();
    ConnectControls();
    ShowStartState();
    resize(1180, 760);
}

void MainWindow::BuildLeftSide(QWidget* left) {
    ImportWebButton = new QPushButton("Import Web Pages");
    ImportWebButton->setObjectName("btnImportHtml");
    ImportWebButton->setToolTip("Import a folder of HTML files");
    ImportContentsButton = new QPushButton("Import from a Contents Page...");
    ImportContentsButton->setObjectName("btnImportContents");
    ImportContentsButton->setToolTip(
        "Import the pages a contents page links to, in the order of its contents list");
    ImportWordButton = new QPushButton("Import Word Doc");
    ImportWordButton->setToolTip("Import a MS Word document");
    MakeEpubButton = new QPushButton("Make ePub");
    MakeEpubButton->setObjectName("btnMakeEpub");
    MakeEpubButton->setToolTip("Compile to ePub");
    PreviewToggle = new QToolButton;
    PreviewToggle->setText("Preview");
    PreviewToggle->setToolTip("Web page preview");
    PreviewToggle->setCheckable(true);
    PreviewToggle->setChecked(true);
    auto* tools = new QHBoxLayout;
    for (QWidget* button : std::initializer_list<QWidget*>{ImportWebButton, ImportContentsButton,
                                                           ImportWordButton, MakeEpubButton})
        tools->addWidget(button);
    tools->addStretch();
    tools->addWidget(PreviewToggle);

    Grid = new ChapterGrid;
    Preview = new QWebEngineView;
    Headings = new HeadingTree;
    auto* preview = new QSplitter(Qt::Horizontal);
    preview->addWidget(Preview);
    preview->addWidget(Headings);
    preview->setStretchFactor(0, 3);
    preview->setStretchFactor(1, 1);
    preview->setSizes({480, 240});
    Headings->setMinimumWidth(150);
    auto* views = new QSplitter(Qt::Vertical);
    views->addWidget(Grid);
    views->addWidget(preview);
    views->setSizes({300, 400});
    auto* layout = new QVBoxLayout(left);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(tools);
    layout->addWidget(views, 1);
}

void MainWindow::BuildMenus() {
    const auto add = [this](QMenu* menu, const char* caption, auto command, QKeySequence key = {}) {
        QAction* action = menu->addAction(caption);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    QMenu* file = menuBar()->addMenu("&File");
    add(file, "Open &Example", &MainWindow::OpenExampleCommand, Qt::Key_F2);
    file->addSeparator();
    add(file, "&Import Webpages", &MainWindow::ImportWebPagesCommand);
    add(file, "Import from a &Contents Page...", &MainWindow::ImportContentsPageCommand);
    add(file, "Import Word &Document", &MainWindow::ImportWordDocumentCommand, Qt::Key_F4);
    add(file, "Import Word &HTML", &MainWindow::ImportWordHtmlCommand);
    ReimportAction = add(file, "Re-Import Word Doc", &MainWindow::ReimportCommand, Qt::Key_F5);
    file->addSeparator();
    MakeEpubAction = add(file, "&Make ePub", &MainWindow::MakeEpubCommand, Qt::Key_F6);
    file->addSeparator();
    m_projectActions = file->actions();
    add(file, "E&xit", &QWidget::close);

    EditMenu = menuBar()->addMenu("&Edit");
    const auto editor = [this](const char* caption, const char* name) {
        QAction* action = EditMenu->addAction(caption);
        connect(action, &QAction::triggered, this,
                [this, name] { OpenInEditor(m_project.OpsFolder + name); });
    };
    editor("Meta", "content.opf");
    editor("TOC", "toc.ncx");
    editor("CSS", "style.css");
    EditMenu->addSeparator();
    RecompileAction = add(EditMenu, "Re-&Compile", &MainWindow::RecompileCommand, Qt::Key_F8);

    QMenu* tools = menuBar()->addMenu("&Tools");
    ValidateThisAction = add(tools, "&Validate This", &MainWindow::ValidateThisCommand, Qt::Key_F9);
    add(tools, "Validate Other", &MainWindow::ValidateOtherCommand, Qt::Key_F10);
    m_projectActions << EditMenu->actions() << tools->actions();

    QMenu* help = menuBar()->addMenu("&Help");
    QAction* manual = help->addAction("&Manual");
    manual->setShortcut(Qt::Key_F1);
    connect(manual, &QAction::triggered, this, [this] { OpenHelpFile(m_project.HelpFile()); });
    QAction* website = help->addAction("&Website");
    connect(website, &QAction::triggered, this, [] { OpenWebAddress(kWebsite); });
}

void MainWindow::ConnectControls() {
    connect(ImportWebButton, &QPushButton::clicked, this, &MainWindow::ImportWebPagesCommand);
    connect(ImportContentsButton, &QPushButton::clicked, this,
            &MainWindow::ImportContentsPageCommand);
    connect(ImportWordButton, &QPushButton::clicked, this, &MainWindow::ImportWordDocumentCommand);
    connect(MakeEpubButton, &QPushButton::clicked, this, &MainWindow::MakeEpubCommand);
    connect(PreviewToggle, &QToolButton::toggled, this, [this](bool down) {
        if (!down) return Preview->setUrl(QUrl("about:blank"));
        if (Grid->currentRow() >= 0) ShowInPreview(Grid->currentRow());
    });
    connect(Grid, &ChapterGrid::FileClicked, this, [this](int row) {
        if (PreviewToggle->isChecked() && row != m_previewRow) ShowInPreview(row);
    });
    connect(Headings, &HeadingTree::HeadingClicked, this, &MainWindow::ShowHeading);
    connect(HelpButton, &QPushButton::clicked, this,
            [this] { OpenHelpFile(m_project.HelpFile()); });
    connect(General->MoreLanguagesButton, &QPushButton::clicked, this,
            &MainWindow::MoreLanguagesCommand);

    connect(General->ChangeButton, &QPushButton::clicked, this, &MainWindow::ChangeOutputCommand);
    connect(General->FolderLabel, &LinkLabel::Clicked, this,
            [this] { OpenDocument(m_project.OutputFolder); });
    connect(General->NameLabel, &LinkLabel::Clicked, this,
            [this] { OpenDocument(m_project.OutputPath); });
    connect(Cover->LoadButton, &QPushButton::clicked, this, &MainWindow::LoadCoverCommand);
    connect(Cover->ClearButton, &QPushButton::clicked, this, &MainWindow::ClearCoverCommand);
    connect(Log->SaveButton, &QPushButton::clicked, this, &MainWindow::SaveLogCommand);

    connect(Options, &OptionPages::TitlesChanged, this, &MainWindow::RefillTitles);
    connect(Options, &OptionPages::OutputFolderChanged, this,
            [this] { General->FolderLabel->setText(Text(m_project.OutputFolder)); });
    for (QPushButton* save : {Options->SaveSettingsOnSettings, Options->SaveSettingsOnAdvanced})
        connect(save, &QPushButton::clicked, this, &MainWindow::SaveSettingsCommand);
    connect(Options->EditGlobalStyle, &QPushButton::clicked, this,
            [this] { OpenInEditor(m_project.TemplateFolder + "OPS/style.css"); });
    connect(Options->SetEditor, &QPushButton::clicked, this, &MainWindow::SetEditorCommand);
    connect(Options->SetEpubCheck, &QPushButton::clicked, this, &MainWindow::SetEpubCheckCommand);
    connect(Options->LoadStyleSheet, &QPushButton::clicked, this,
            &MainWindow::LoadStyleSheetCommand);
    connect(Options->EmbedFonts, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) {
            FontWindow->close();
            return;
        }
        ShowFontFamilies();
        FontWindow->show();
        FontWindow->raise();
    });
    connect(FontWindow, &EmbedFontsDialog::Closed, this,
            [this] { Options->EmbedFonts->setChecked(false); });
    connect(FontWindow, &EmbedFontsDialog::EmbedRequested, this, &MainWindow::EmbedFontsCommand);
    connect(Options->EditorBox, &QLineEdit::editingFinished, this, [this] {
        CheckEditorPath(m_project.Options, m_ui, Options->EditorBox->text().toStdString());
    });
    connect(Options->EpubCheckBox, &QLineEdit::editingFinished, this, [this] {
        CheckEpubCheckPath(m_project.Options, m_ui, Options->EpubCheckBox->text().toStdString());
    });
}

void MainWindow::ShowStartState() {
    LoadSettings(m_project);  // the defaults when there is no settings file
    Options->ShowOptions();
    ShowLanguages({});
    Grid->SetRows({});
    Preview->setUrl(QUrl::fromLocalFile(Text(m_project.StartPage())));
    Pages->setCurrentIndex(0);
    Status->setText(kStartStatus);
    m_webFolder = Text(m_project.ExamplesFolder());
    m_wordFolder = m_webFolder;
    UpdateCommands();
}

void MainWindow::ReadForm() {
    m_form.TitleBox = General->TitleBox->text().toStdString();
    m_form.AuthorBox = General->AuthorBox->text().toStdString();
    m_form.SubjectBox = General->SubjectBox->text().toStdString();
    m_form.PublisherBox = General->PublisherBox->text().toStdString();
    m_form.IdBox = General->IdBox->text().toStdString();
    m_form.LanguageName = General->LanguageList->currentText().toStdString();
    m_form.DescriptionBox = General->DescriptionBox->toPlainText().toStdString();
    m_form.Rows = Grid->Rows();
    m_form.OutputFolderLabel = General->FolderLabel->text().toStdString();
    m_form.OutputNameLabel = General->NameLabel->text().toStdString();
}

void MainWindow::ShowForm() {
    General->TitleBox->setText(Text(m_form.TitleBox));
    General->AuthorBox->setText(Text(m_form.AuthorBox));
    General->SubjectBox->setText(Text(m_form.SubjectBox));
    General->PublisherBox->setText(Text(m_form.PublisherBox));
    General->IdBox->setText(Text(m_form.IdBox));
    General->DescriptionBox->setPlainText(Text(m_form.DescriptionBox));
    // An import may have read the book's language from its document: it stands first when the
    // list lacks it.
    const QString language = Text(m_form.LanguageName);
    if (General->LanguageList->findText(language) < 0)
        General->LanguageList->insertItem(0, language);
    General->LanguageList->setCurrentIndex(General->LanguageList->findText(language));
    Grid->SetRows(m_form.Rows);
    General->SaveLabel->setText(Text(m_form.SaveLabel));
    General->FolderLabel->setText(Text(m_form.OutputFolderLabel));
    General->NameLabel->setText(Text(m_form.OutputNameLabel));
    General->FolderLabel->SetLink(m_form.Published);
    General->NameLabel->SetLink(m_form.Published);
    UpdateCommands();
}

void MainWindow::UpdateCommands() {
    const bool idle = !Busy();
    for (QWidget* control :
         {static_cast<QWidget*>(ImportWebButton), static_cast<QWidget*>(ImportContentsButton),
          static_cast<QWidget*>(ImportWordButton), static_cast<QWidget*>(MakeEpubButton),
          static_cast<QWidget*>(Grid), static_cast<QWidget*>(General), static_cast<QWidget*>(Cover),
          Options->SettingsPage, Options->AdvancedPage, Options->ProPage,
          static_cast<QWidget*>(FontWindow->EmbedButton)})
        control->setEnabled(idle);
    for (QAction* action : m_projectActions) action->setEnabled(idle);
    General->ChangeButton->setEnabled(!m_form.Published);
    ReimportAction->setEnabled(idle && m_form.ReimportEnabled);
    for (QAction* action : EditMenu->actions()) action->setEnabled(idle && m_form.Published);
    ValidateThisAction->setEnabled(idle && m_form.Published);
    Progress->setVisible(!idle);
}

void MainWindow::FocusControl(const std::string& control) {
    // A disabled control takes no focus: the window moves it there once the work has ended.
    if (Busy()) {
        m_pendingFocus = control;
        return;
    }
    if (control == "btnImportHtml") ImportWebButton->setFocus();
    if (control == "inTitle") General->TitleBox->setFocus();
    if (control == "fileList") Grid->setFocus();
}

void MainWindow::ShowProgress(const QString& status, int percent) {
    Status->setText(status);
    Progress->setValue(percent);
}

void MainWindow::ShowInPreview(int row) {
    if (row < 0 || row >= Grid->rowCount()) return;
    const QString file =
        Text(m_project.SourceFolder) + Grid->item(row, ChapterGrid::FileColumn)->text();
    m_previewRow = row;
    Preview->setUrl(QUrl::fromLocalFile(file));
}

void MainWindow::ShowHeading(const QUrl& target) {
    // The same place again is not loaded again.
    if (Preview->url() == target) return;
    m_previewRow = -1;
    Preview->setUrl(target);
}

void MainWindow::ShowLanguages(const std::vector<std::string>& names) {
    General->LanguageList->clear();
    for (const std::string& name : names.empty() ? BookLanguageNames(m_project) : names)
        General->LanguageList->addItem(Text(name));
    General->LanguageList->setCurrentIndex(0);
}

void MainWindow::ShowFontFamilies() {
    FontWindow->ShowFamilies(FontFamiliesToOffer(m_project.FontFamilyList));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (Busy()) {
        // The work ends first: it writes into the project and the work folder.
        m_closeWhenDone = m_closeWhenDone || m_ui.AskYesNo(kQuitWhileBusyQuestion);
        event->ignore();
        return;
    }
    // A loaded project is left only when the person agrees, as at an import.
    if (!m_closeWhenDone && !ConfirmNewProject(m_project, m_ui)) {
        event->ignore();
        return;
    }
    m_project.ClearBookFolders();
    event->accept();
}

}  // namespace quirebook
