// Builds the option pages and keeps their controls and the option flags in step.
#include "gui/OptionPages.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <stdexcept>

#include "html/CssSelectors.h"

namespace quirebook {

namespace {

QString WithSlash(const QString& folder) {
    return folder.isEmpty() || folder.endsWith('/') ? folder : folder + '/';
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets) row->addWidget(widget);
    row->addStretch();
    return row;
}

// The stored selectors one a line; a text that cannot be read is shown as it is.
QString SelectorLines(const std::string& selectors) {
    try {
        QStringList lines;
        for (const ComplexSelector& selector : ParseSelectors(selectors))
            lines << QString::fromStdString(selector.Text);
        return lines.join('\n');
    } catch (const std::invalid_argument&) {
        return QString::fromStdString(selectors);
    }
}

// The field's lines as one comma-separated text, blank lines left out; a selector that cannot
// be read is kept as typed, for the publish to name it.
std::string SelectorsText(const QString& field) {
    QStringList pieces;
    for (const QString& line : field.split('\n')) {
        if (!line.trimmed().isEmpty()) pieces << line.trimmed();
    }
    const std::string text = pieces.join(", ").toStdString();
    try {
        return SelectorListText(ParseSelectors(text));
    } catch (const std::invalid_argument&) {
        return text;
    }
}

}  // namespace

OptionPages::OptionPages(BookProject& project, QObject* parent)
    : QObject(parent), m_project(project) {
    BuildSettingsPage();
    BuildAdvancedPage();
    BuildProPage();
    ConnectFlags();
}

void OptionPages::BuildSettingsPage() {
    SettingsPage = new QWidget;
    TitleGroup = new QGroupBox;
    TitleGroup->setToolTip("Re-import Needed to take effect");
    AutoTitles = new QCheckBox("Auto Extract Chapter Titles as TOC ");
    TitleFromFileName = new QRadioButton("from file name");
    TitleFromHtmlTitle = new QRadioButton("from HTML title");
    TitleFromHeading = new QRadioButton("from first heading");
    SplitOnSections = new QCheckBox("Auto split Word HTML on section break");
    SplitSize = new QLineEdit;
    SplitSize->setMaximumWidth(50);
    WordProperties = new QCheckBox("Auto extract Word document properties");
    auto* titles = new QVBoxLayout(TitleGroup);
    titles->addWidget(AutoTitles);
    titles->addLayout(Row({TitleFromFileName, TitleFromHtmlTitle, TitleFromHeading}));
    titles->addLayout(Row({SplitOnSections, SplitSize}));
    titles->addWidget(WordProperties);

    auto* output = new QGroupBox;
    SaveBesideSource = new QRadioButton("Save to the same folder as source");
    SaveToBookFolder = new QRadioButton("Save to my default ePub Book folder");
    BookFolder = new QLineEdit;
    BookFolder->setObjectName("inOutputFolder");
    auto* outputLayout = new QVBoxLayout(output);
    outputLayout->addWidget(SaveBesideSource);
    outputLayout->addWidget(SaveToBookFolder);
    outputLayout->addWidget(BookFolder);

    TitlePage = new QCheckBox("Generate a Title Page");
    GlobalStyle = new QCheckBox("Use Global Style Theme");
    EditGlobalStyle = new QPushButton("Edit");
    PassEpubCheck = new QCheckBox("Pass ePubCheck");
    Epub3 = new QCheckBox("EPUB 3");
    Epub3->setObjectName("chkEpub3");
    Epub3->setToolTip(
        "Make EPUB 3 books: a navigation document, HTML5 chapters and accessibility metadata. "
        "Unticked, books are EPUB 2.");

    auto* word = new QGroupBox;
    OptimizeWord = new QCheckBox("Optimize Word HTML");
    AccurateMode = new QRadioButton("Accurate Mode");
    ExtremeMode = new QRadioButton("Extreme Mode");
    auto* wordLayout = new QVBoxLayout(word);
    wordLayout->addWidget(OptimizeWord);
    wordLayout->addLayout(Row({AccurateMode, ExtremeMode}));

    SaveSettingsOnSettings = new QPushButton("Save Settings");
    auto* layout = new QVBoxLayout(SettingsPage);
    layout->addWidget(TitleGroup);
    layout->addWidget(output);
    layout->addWidget(TitlePage);
    layout->addLayout(Row({GlobalStyle, EditGlobalStyle}));
    layout->addWidget(PassEpubCheck);
    layout->addWidget(Epub3);
    layout->addWidget(word);
    layout->addStretch();
    layout->addLayout(Row({SaveSettingsOnSettings}));
}

void OptionPages::BuildAdvancedPage() {
    AdvancedPage = new QWidget;
    auto* scaling = new QGroupBox("Font Size Scaling");
    RelativeEm = new QRadioButton("Relative - em");
    SevenLevels = new QRadioButton("Relative - 7 levels");
    AbsoluteSize = new QRadioButton("Absolute Font Size");
    BaseSize = new QComboBox;
    BaseSize->addItem("Auto");
    for (int size = 12; size <= 20; ++size) BaseSize->addItem(QString::number(size));
    auto* scalingLayout = new QVBoxLayout(scaling);
    scalingLayout->addLayout(Row({RelativeEm, new QLabel("1 em ="), BaseSize, new QLabel("px")}));
    scalingLayout->addWidget(SevenLevels);
    scalingLayout->addWidget(AbsoluteSize);

    auto* elements = new QGroupBox;
    RemoveHtml = new QCheckBox("Remove HTML Elements");
    RemoveScripts = new QCheckBox("Scripts");
    RemoveForms = new QCheckBox("Forms");
    RemoveLinks = new QCheckBox("Links");
    RemoveImages = new QCheckBox("Images");
    RemoveMedia = new QCheckBox("Media");
    auto* elementsLayout = new QVBoxLayout(elements);
    elementsLayout->addWidget(RemoveHtml);
    elementsLayout->addLayout(
        Row({RemoveScripts, RemoveForms, RemoveLinks, RemoveImages, RemoveMedia}));

    auto* allow = new QGroupBox("Allow Items and Styles");
    NegativeValue = new QCheckBox("Negative Value");
    LineHeight = new QCheckBox("Line Height");
    PageBreak = new QCheckBox("Page Break");
    PageBreak->setToolTip("May cause problem");
    ColumnWidth = new QCheckBox("Table Column Width");
    TableWidth = new QCheckBox("Table Width");
    auto* allowLayout = new QGridLayout(allow);
    allowLayout->addWidget(NegativeValue, 0, 0);
    allowLayout->addWidget(LineHeight, 0, 1);
    allowLayout->addWidget(PageBreak, 0, 2);
    allowLayout->addWidget(ColumnWidth, 1, 0);
    allowLayout->addWidget(TableWidth, 1, 1);

    EditorBox = new QLineEdit;
    EditorBox->setObjectName("inEditor");
    SetEditor = new QPushButton("Set");
    EpubCheckBox = new QLineEdit;
    EpubCheckBox->setObjectName("inEpubCheck");
    SetEpubCheck = new QPushButton("Set");
    auto* programs = new QGridLayout;
    programs->addWidget(new QLabel("External Source Editor (for expert)"), 0, 0, 1, 2);
    programs->addWidget(EditorBox, 1, 0);
    programs->addWidget(SetEditor, 1, 1);
    programs->addWidget(new QLabel("ePubCheck Path"), 2, 0, 1, 2);
    programs->addWidget(EpubCheckBox, 3, 0);
    programs->addWidget(SetEpubCheck, 3, 1);

    auto* furniture = new QGroupBox("Web Page Furniture");
    KeepFurniture = new QCheckBox("Keep page furniture");
    KeepFurniture->setToolTip(
        "Unticked, navigation bars, sidebars and footers repeated on most pages are left out");
    FurnitureSelectors = new QPlainTextEdit;
    FurnitureSelectors->setObjectName("inRemoveSelectors");
    FurnitureSelectors->setPlaceholderText("div.sphinxsidebar");
    FurnitureSelectors->setMaximumHeight(3 * FurnitureSelectors->fontMetrics().height() + 12);
    auto* furnitureLayout = new QVBoxLayout(furniture);
    furnitureLayout->addWidget(KeepFurniture);
    furnitureLayout->addWidget(new QLabel("Also remove (CSS selectors, one per line)"));
    furnitureLayout->addWidget(FurnitureSelectors);

    SaveSettingsOnAdvanced = new QPushButton("Save Settings");
    auto* layout = new QVBoxLayout(AdvancedPage);
    layout->addWidget(scaling);
    layout->addWidget(elements);
    layout->addWidget(allow);
    layout->addWidget(furniture);
    layout->addLayout(programs);
    layout->addStretch();
    layout->addLayout(Row({SaveSettingsOnAdvanced}));
}

void OptionPages::BuildProPage() {
    ProPage = new QWidget;
    TocFromHeadings = new QCheckBox("Extract TOC tree from Headings");
    EmbedFonts = new QCheckBox("Embed Fonts");
    ReplaceStyleSheet = new QCheckBox("Replace Stylesheet");
    LoadStyleSheet = new QPushButton("Load New");
    StyleSheetLabel = new QLabel;
    StyleSheetLabel->setWordWrap(true);
    auto* original = new QGroupBox("Remove Orginal Styles");
    RemoveInlineStyles = new QCheckBox("Inline styles");
    RemoveStyleBlocks = new QCheckBox("Stylesheet");
    RemoveStyleLinks = new QCheckBox("CSS links");
    auto* originalLayout = new QVBoxLayout(original);
    originalLayout->addWidget(RemoveInlineStyles);
    originalLayout->addWidget(RemoveStyleBlocks);
    originalLayout->addWidget(RemoveStyleLinks);
    auto* layout = new QVBoxLayout(ProPage);
    layout->addWidget(TocFromHeadings);
    layout->addWidget(EmbedFonts);
    layout->addLayout(Row({ReplaceStyleSheet, LoadStyleSheet}));
    layout->addWidget(StyleSheetLabel);
    layout->addWidget(original);
    layout->addStretch();
}

void OptionPages::ConnectFlags() {
    OptionFlags& options = m_project.Options;
    connect(AutoTitles, &QCheckBox::toggled, this, [this, &options](bool on) {
        options.AutoChapterTitles = on;
        UpdateEnabling();
        emit TitlesChanged();
    });
    const auto titleSource = [this, &options](QRadioButton* button, TitleSourceKind source) {
        connect(button, &QRadioButton::toggled, this, [this, &options, source](bool on) {
            if (!on) return;
            options.TitleSource = source;
            emit TitlesChanged();
        });
    };
    titleSource(TitleFromFileName, TitleSourceKind::FileName);
    titleSource(TitleFromHtmlTitle, TitleSourceKind::HtmlTitle);
    titleSource(TitleFromHeading, TitleSourceKind::FirstHeading);
    connect(RemoveHtml, &QCheckBox::toggled, this, [this, &options](bool on) {
        options.RemoveHtmlElements = on;
        UpdateEnabling();
    });
    connect(OptimizeWord, &QCheckBox::toggled, this, [this, &options](bool on) {
        options.OptimizeWordHtml = on;
        UpdateEnabling();
    });
    for (QRadioButton* button : {RelativeEm, SevenLevels, AbsoluteSize}) {
        connect(button, &QRadioButton::toggled, this, [this, &options] {
            options.RelativeFontSize = !AbsoluteSize->isChecked();
            options.SevenLevelFontSize = SevenLevels->isChecked();
            UpdateEnabling();
        });
    }
    connect(TableWidth, &QCheckBox::toggled, this,
            [&options](bool on) { options.StripTableWidth = !on; });
    connect(PassEpubCheck, &QCheckBox::toggled, this,
            [&options](bool on) { options.PassEpubCheck = on; });
    connect(Epub3, &QCheckBox::toggled, this,
            [&options](bool on) { options.EpubVersion = on ? 3 : 2; });
    connect(KeepFurniture, &QCheckBox::toggled, this,
            [&options](bool on) { options.KeepFurniture = on; });
    connect(SaveBesideSource, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        m_project.Options.SaveBesideSource = true;
        m_project.OutputFolder =
            m_project.FromWordDocument ? m_project.WordDocFolder : m_project.SourceFolder;
        UpdateEnabling();
        emit OutputFolderChanged();
    });
    connect(SaveToBookFolder, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        m_project.Options.SaveBesideSource = false;
        m_project.OutputFolder = WithSlash(BookFolder->text()).toStdString();
        UpdateEnabling();
        emit OutputFolderChanged();
    });
    connect(BookFolder, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_project.OutputFolder = WithSlash(text).toStdString();
        emit OutputFolderChanged();
    });
    // Written at once, so that a Word import collects the headings while it splits.
    connect(TocFromHeadings, &QCheckBox::toggled, this,
            [&options](bool on) { options.TocFromHeadings = on; });
    connect(ReplaceStyleSheet, &QCheckBox::toggled, this, [this](bool on) {
        m_project.TickReplaceStyleSheet(on);
        for (QCheckBox* box : {RemoveInlineStyles, RemoveStyleBlocks, RemoveStyleLinks})
            box->setChecked(on);
        UpdateEnabling();
        ShowStyleSheet();
    });
}

void OptionPages::ShowStyleSheet() {
    const QFileInfo sheet(QString::fromStdString(m_project.ReplacementStyleSheet));
    if (!m_project.ReplacementStyleSheet.empty())
        StyleSheetLabel->setText("(" + sheet.absolutePath() + "/)" + sheet.fileName());
    else
        StyleSheetLabel->setText(ReplaceStyleSheet->isChecked() ? "(default)" : "");
}

void OptionPages::UpdateEnabling() {
    TitleFromFileName->setEnabled(AutoTitles->isChecked());
    TitleFromHtmlTitle->setEnabled(AutoTitles->isChecked());
    for (QCheckBox* box : {RemoveScripts, RemoveForms, RemoveLinks, RemoveImages, RemoveMedia})
        box->setEnabled(RemoveHtml->isChecked());
    AccurateMode->setEnabled(OptimizeWord->isChecked());
    ExtremeMode->setEnabled(OptimizeWord->isChecked());
    BaseSize->setEnabled(RelativeEm->isChecked());
    BookFolder->setEnabled(!SaveBesideSource->isChecked());
    // A sheet is loaded, and the chapters' own styles removed, only for a replaced style sheet.
    for (QWidget* control : std::initializer_list<QWidget*>{LoadStyleSheet, RemoveInlineStyles,
                                                            RemoveStyleBlocks, RemoveStyleLinks})
        control->setEnabled(ReplaceStyleSheet->isChecked());
}

void OptionPages::ShowOptions() {
    const OptionFlags& options = m_project.Options;
    std::vector<QSignalBlocker> blockers;
    for (QObject* page : {SettingsPage, AdvancedPage, ProPage})
        for (QWidget* control : page->findChildren<QWidget*>()) blockers.emplace_back(control);

    AutoTitles->setChecked(options.AutoChapterTitles);
    TitleFromFileName->setChecked(options.TitleSource == TitleSourceKind::FileName);
    TitleFromHtmlTitle->setChecked(options.TitleSource == TitleSourceKind::HtmlTitle);
    TitleFromHeading->setChecked(options.TitleSource == TitleSourceKind::FirstHeading);
    SplitOnSections->setChecked(options.SplitWordOnSections);
    SplitSize->setText(QString::number(options.SplitSizeKB));
    WordProperties->setChecked(options.UseWordProperties);
    SaveBesideSource->setChecked(options.SaveBesideSource);
    SaveToBookFolder->setChecked(!options.SaveBesideSource);
    BookFolder->setText(QString::fromStdString(m_project.OutputFolder));
    TitlePage->setChecked(options.MakeTitlePage);
    GlobalStyle->setChecked(options.UseGlobalStyle);
    PassEpubCheck->setChecked(options.PassEpubCheck);
    Epub3->setChecked(options.EpubVersion >= 3);
    OptimizeWord->setChecked(options.OptimizeWordHtml);
    AccurateMode->setChecked(!options.ExtremeMode);
    ExtremeMode->setChecked(options.ExtremeMode);

    AbsoluteSize->setChecked(!options.RelativeFontSize);
    SevenLevels->setChecked(options.RelativeFontSize && options.SevenLevelFontSize);
    RelativeEm->setChecked(options.RelativeFontSize && !options.SevenLevelFontSize);
    const int base = BaseSize->findText(QString::number(options.BaseFontSize));
    BaseSize->setCurrentIndex(options.BaseFontSize == 0 || base < 0 ? 0 : base);
    RemoveHtml->setChecked(options.RemoveHtmlElements);
    RemoveScripts->setChecked(options.RemoveScripts);
    RemoveForms->setChecked(options.RemoveForms);
    RemoveLinks->setChecked(options.RemoveLinks);
    RemoveImages->setChecked(options.RemoveImages);
    RemoveMedia->setChecked(options.RemoveMedia);
    NegativeValue->setChecked(options.AllowNegativeValues);
    LineHeight->setChecked(options.AllowLineHeight);
    PageBreak->setChecked(options.AllowPageBreak);
    ColumnWidth->setChecked(options.AllowColumnWidth);
    TableWidth->setChecked(!options.StripTableWidth);
    EditorBox->setText(QString::fromStdString(options.ExternalEditor));
    EpubCheckBox->setText(QString::fromStdString(options.EpubCheckJar));
    KeepFurniture->setChecked(options.KeepFurniture);
    FurnitureSelectors->setPlainText(SelectorLines(options.RemoveSelectors));

    TocFromHeadings->setChecked(options.TocFromHeadings);
    ReplaceStyleSheet->setChecked(m_project.ReplaceStyleSheet);
    RemoveStyleBlocks->setChecked(options.RemoveStyleBlocks);
    RemoveStyleLinks->setChecked(options.RemoveStyleLinks);
    RemoveInlineStyles->setChecked(options.RemoveInlineStyles);
    UpdateEnabling();
    ShowStyleSheet();
}

bool OptionPages::ReadImportOptions() {
    bool isNumber = false;
    const int splitSize = SplitSize->text().trimmed().toInt(&isNumber);
    if (!isNumber) {
        throw std::invalid_argument("'" + SplitSize->text().toStdString() +
                                    "' is not a valid whole number");
    }
    OptionFlags& options = m_project.Options;
    options.OptimizeWordHtml = OptimizeWord->isChecked();
    options.ExtremeMode = ExtremeMode->isChecked();
    options.AllowPageBreak = PageBreak->isChecked();
    options.BaseFontSize = BaseSize->currentIndex() > 0 ? BaseSize->currentText().toInt() : 0;
    options.SplitWordOnSections = SplitOnSections->isChecked();
    options.SplitSizeKB = splitSize;
    const bool propertiesChanged = options.UseWordProperties != WordProperties->isChecked();
    options.UseWordProperties = WordProperties->isChecked();
    options.UseGlobalStyle = GlobalStyle->isChecked();
    return propertiesChanged;
}

void OptionPages::ReadPublishOptions() {
    OptionFlags& options = m_project.Options;
    options.TocFromHeadings = TocFromHeadings->isChecked();
    options.MakeTitlePage = TitlePage->isChecked();
    options.RelativeFontSize = !AbsoluteSize->isChecked();
    options.SevenLevelFontSize = SevenLevels->isChecked();
    options.StripTableWidth = !TableWidth->isChecked();
    options.RemoveStyleBlocks = RemoveStyleBlocks->isChecked();
    options.RemoveStyleLinks = RemoveStyleLinks->isChecked();
    options.RemoveInlineStyles = RemoveInlineStyles->isChecked();
    options.RemoveHtmlElements = RemoveHtml->isChecked();
    options.RemoveScripts = RemoveScripts->isChecked();
    options.RemoveMedia = RemoveMedia->isChecked();
    options.RemoveForms = RemoveForms->isChecked();
    options.RemoveImages = RemoveImages->isChecked();
    options.RemoveLinks = RemoveLinks->isChecked();
    m_project.ReplaceStyleSheet = ReplaceStyleSheet->isChecked();
    options.SaveBesideSource = SaveBesideSource->isChecked();
    options.AllowPageBreak = PageBreak->isChecked();
    options.AllowLineHeight = LineHeight->isChecked();
    options.AllowColumnWidth = ColumnWidth->isChecked();
    options.AllowNegativeValues = NegativeValue->isChecked();
    options.KeepFurniture = KeepFurniture->isChecked();
    options.RemoveSelectors = SelectorsText(FurnitureSelectors->toPlainText());
}

}  // namespace quirebook
