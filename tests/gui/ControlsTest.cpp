// The window's option controls, refusals, settings, cover, log and close question.
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "GuiTests.h"
#include "WindowFixture.h"
#include "text/TextFiles.h"

namespace quirebook::testing {

namespace {

QStringList Lines(const std::string& file) {
    return QString::fromStdString(LoadTextFile(file)).split("\r\n");
}

}  // namespace

class ControlsTest : public QObject {
    Q_OBJECT
  private slots:
    void OptionControlsWriteFlagsAndEnableTheirFollowers() {
        WindowFixture fixture;
        OptionPages& pages = *fixture.Window->Options;
        const OptionFlags& options = fixture.Project.Options;

        QVERIFY(pages.RemoveHtml->isChecked());
        pages.RemoveHtml->click();
        QVERIFY(!options.RemoveHtmlElements);
        for (QCheckBox* box : {pages.RemoveScripts, pages.RemoveForms, pages.RemoveLinks,
                               pages.RemoveImages, pages.RemoveMedia})
            QVERIFY(!box->isEnabled());
        pages.RemoveHtml->click();
        QVERIFY(pages.RemoveMedia->isEnabled());

        pages.OptimizeWord->click();
        QVERIFY(!options.OptimizeWordHtml);
        QVERIFY(!pages.AccurateMode->isEnabled() && !pages.ExtremeMode->isEnabled());

        QVERIFY(pages.RelativeEm->isChecked() && pages.BaseSize->isEnabled());
        pages.SevenLevels->click();
        QVERIFY(options.RelativeFontSize && options.SevenLevelFontSize);
        QVERIFY(!pages.BaseSize->isEnabled());
        pages.AbsoluteSize->click();
        QVERIFY(!options.RelativeFontSize && !options.SevenLevelFontSize);
        pages.RelativeEm->click();
        QVERIFY(options.RelativeFontSize && pages.BaseSize->isEnabled());

        QVERIFY(options.StripTableWidth && !pages.TableWidth->isChecked());
        pages.TableWidth->click();
        QVERIFY(!options.StripTableWidth);
        pages.PassEpubCheck->click();
        QVERIFY(!options.PassEpubCheck);
        QVERIFY(!pages.Epub3->isChecked() && options.EpubVersion == 2);
        pages.Epub3->click();
        QCOMPARE(options.EpubVersion, 3);
        pages.Epub3->click();
        QCOMPARE(options.EpubVersion, 2);

        pages.SaveBesideSource->click();
        QVERIFY(options.SaveBesideSource && !pages.BookFolder->isEnabled());
        pages.SaveToBookFolder->click();
        QVERIFY(pages.BookFolder->isEnabled());
        QTest::keyClicks(pages.BookFolder, "x");
        QCOMPARE(QString::fromStdString(fixture.Project.OutputFolder),
                 pages.BookFolder->text() + "/");
        QCOMPARE(fixture.Window->General->FolderLabel->text(), pages.BookFolder->text() + "/");
    }

    void SaveSettingsWritesEveryLine() {
        WindowFixture fixture;
        OptionPages& pages = *fixture.Window->Options;
        pages.TitleFromHtmlTitle->click();
        pages.RemoveImages->click();
        pages.TitlePage->click();
        pages.BaseSize->setCurrentText("16");
        pages.SplitSize->setText(" 30 ");
        pages.SevenLevels->click();
        pages.Epub3->click();
        pages.KeepFurniture->click();
        QVERIFY(fixture.Project.Options.KeepFurniture);
        pages.FurnitureSelectors->setPlainText("div.sphinxsidebar\n\n  nav.top , #footer\n");
        pages.SaveSettingsOnAdvanced->click();
        const QStringList lines = Lines(fixture.Project.SettingsFile());
        QCOMPARE(lines.size(), 33);  // 32 lines, each ended by CR LF
        QCOMPARE(lines[5], "1");
        QCOMPARE(lines[9], "11110");
        QCOMPARE(lines[12], "TRUE");
        QCOMPARE(lines[18], "30");
        QCOMPARE(lines[19], "16");
        QCOMPARE(lines[26], "TRUE");
        QCOMPARE(lines[29], "3");  // the EPUB version, after the 29 first lines
        QCOMPARE(lines[30], "TRUE");
        QCOMPARE(lines[31], "div.sphinxsidebar, nav.top, #footer");

        // A changed choice of document properties empties the boxes they fill.
        fixture.Window->General->TitleBox->setText("Typed");
        fixture.Window->General->AuthorBox->setText("Someone");
        fixture.Window->General->SubjectBox->setText("Kept");
        pages.WordProperties->click();
        pages.SaveSettingsOnSettings->click();
        QVERIFY(fixture.Window->General->TitleBox->text().isEmpty());
        QVERIFY(fixture.Window->General->AuthorBox->text().isEmpty());
        QCOMPARE(fixture.Window->General->SubjectBox->text(), "Kept");
        QCOMPARE(Lines(fixture.Project.SettingsFile())[27], "FALSE");

        // A split size that is no number: a message, and the file stays as it was.
        pages.SplitSize->setText("many");
        pages.TitlePage->click();
        pages.SaveSettingsOnSettings->click();
        QVERIFY(Said(fixture.Person.Messages).contains("many"));
        QCOMPARE(Lines(fixture.Project.SettingsFile())[12], "TRUE");
    }

    void SettingsFileFillsTheControlsAtStart() {
        WindowFixture first;
        first.Window->Options->TitleFromFileName->click();
        first.Window->Options->AbsoluteSize->click();
        first.Window->Options->TableWidth->click();
        first.Window->Options->Epub3->click();
        first.Window->Options->KeepFurniture->click();
        first.Window->Options->FurnitureSelectors->setPlainText("div.related, [role=note]");
        first.Window->Options->SaveSettingsOnSettings->click();
        first.Project.Options = OptionFlags();
        MainWindow again(first.Project, first.Person, first.Files);
        QVERIFY(again.Options->TitleFromFileName->isChecked());
        QVERIFY(again.Options->AbsoluteSize->isChecked());
        QVERIFY(!again.Options->BaseSize->isEnabled());
        QVERIFY(again.Options->TableWidth->isChecked());
        QVERIFY(again.Options->Epub3->isChecked());
        QCOMPARE(first.Project.Options.EpubVersion, 3);
        QVERIFY(again.Options->KeepFurniture->isChecked());
        QCOMPARE(again.Options->FurnitureSelectors->toPlainText(), "div.related\n[role=note]");
    }

    void RefusalsSayWhyAndMoveTheFocus() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        window.MakeEpubCommand();
        QTRY_VERIFY(!window.Busy());
        QCOMPARE(Said(fixture.Person.Messages), "Please import webpages or document first");
        QCOMPARE(Said(fixture.Person.Focused), "btnImportHtml");
        window.ChangeOutputCommand();
        QCOMPARE(Said(fixture.Person.Messages), "Please import webpages or document first");
        QCOMPARE(window.focusWidget(), window.ImportWebButton);
        window.LoadCoverCommand();
        QCOMPARE(Said(fixture.Person.Messages), "Please import content first.");
        window.ValidateThisCommand();
        QTRY_VERIFY(!window.Busy());
        QCOMPARE(Said(fixture.Person.Messages), "Please make an ePub first.");
        QVERIFY(fixture.Files.Requests.isEmpty());

        window.Options->EditGlobalStyle->click();
        QCOMPARE(Said(fixture.Person.Messages),
                 "Please set an external editor in Advanced tab first.");
        window.Options->EditorBox->setText("/no/such/editor");
        emit window.Options->EditorBox->editingFinished();
        QCOMPARE(Said(fixture.Person.Messages), "External editor does not exist, please check.");
        QVERIFY(fixture.Project.Options.ExternalEditor.empty());
        window.Options->EpubCheckBox->setText("/no/such.jar");
        emit window.Options->EpubCheckBox->editingFinished();
        QCOMPARE(Said(fixture.Person.Messages), "ePubCheck does not exist, please check.");

        fixture.AddPage("a.htm", WindowFixture::Page("A", "A"));
        fixture.Import({"a.htm"});
        window.General->TitleBox->clear();
        window.MakeEpubCommand();
        QTRY_VERIFY(!window.Busy());
        QCOMPARE(Said(fixture.Person.Messages), "Please specify the book title");
        QCOMPARE(Said(fixture.Person.Focused), "inTitle");
        QCOMPARE(window.focusWidget(), window.General->TitleBox);
        QVERIFY(!std::filesystem::exists(fixture.Project.OutputFolder + ".epub"));

        window.General->TitleBox->setText("Title");
        window.General->NameLabel->clear();
        window.MakeEpubCommand();
        QTRY_VERIFY(!window.Busy());
        QCOMPARE(Said(fixture.Person.Messages), "Please indicate where to save the ePub file");

        window.ReimportCommand();
        QTRY_VERIFY(!window.Busy());
        QCOMPARE(Said(fixture.Person.Messages), "HTML files needn't re-import");

        fixture.Project.Options.ExternalEditor = fixture.Temp / "gone-editor";
        window.Options->EditGlobalStyle->click();
        QCOMPARE(Said(fixture.Person.Messages), "Specified editor does not exist, please check.");
    }

    void ProgramsAndOutputAreChosenInDialogs() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        fixture.Files.Answers.push_back({"/bin/true"});
        window.SetEditorCommand();
        QCOMPARE(fixture.Project.Options.ExternalEditor, "/bin/true");
        QCOMPARE(window.Options->EditorBox->text(), "/bin/true");
        fixture.Files.Answers.push_back({"/usr/share/java/some.jar"});
        window.SetEpubCheckCommand();
        QCOMPARE(fixture.Files.Requests.back().Filter, "Jar file|*.jar");
        QCOMPARE(fixture.Project.Options.EpubCheckJar, "/usr/share/java/some.jar");

        fixture.AddPage("a.htm", WindowFixture::Page("A", "A"));
        fixture.Import({"a.htm"});
        const std::string chosen = fixture.Temp / "elsewhere/book.epub";
        fixture.Files.Answers.push_back({QString::fromStdString(chosen)});
        window.ChangeOutputCommand();
        QCOMPARE(fixture.Files.Requests.back().Filter, "*.epub|*.epub");
        QCOMPARE(fixture.Files.Requests.back().FileName, "My Pages.epub");
        QCOMPARE(fixture.Project.OutputFolder, fixture.Temp / "elsewhere/");
        QCOMPARE(window.General->NameLabel->text(), "book.epub");
    }

    void CoverIsLoadedAndCleared() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        fixture.AddPage("a.htm", WindowFixture::Page("A", "A"));
        fixture.Import({"a.htm"});
        QCOMPARE(window.Cover->NoteLabel->text(), "600*800 JPEG(*.jpg) is recommended");
        const QString picture = QUIREBOOK_SOURCE_DIR "/data/examples/kites/images/cover.png";
        fixture.Files.Answers.push_back({picture});
        window.LoadCoverCommand();
        QCOMPARE(QString::fromStdString(fixture.Project.CoverPicture), picture);
        QCOMPARE(window.Cover->PictureLabel->text(), picture);
        QVERIFY(window.Cover->WidthLabel->text().contains(QRegularExpression("[1-9]")));
        QTRY_VERIFY_WITH_TIMEOUT(window.Cover->Ready(), 30000);
        window.Cover->ClearButton->click();
        QVERIFY(fixture.Project.CoverPicture.empty());
        QVERIFY(window.Cover->PictureLabel->text().isEmpty());
        QVERIFY(window.Cover->NoteLabel->text().isEmpty());
        QVERIFY(window.Cover->WidthLabel->text().isEmpty());
    }

    void LogIsSavedAsText() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        window.SaveLogCommand();
        QVERIFY(fixture.Files.Requests.isEmpty());  // nothing to save
        window.Log->ShowLog("first\r\nsecond");
        const std::string saved = fixture.Temp / "log.txt";
        fixture.Files.Answers.push_back({QString::fromStdString(saved)});
        window.SaveLogCommand();
        QCOMPARE(fixture.Files.Requests.back().Filter, "txt(*.txt)|*.txt");
        QCOMPARE(LoadTextFile(saved), "first\nsecond\n");
    }

    void ClosingALoadedProjectAsksFirst() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        window.show();
        QVERIFY(window.close());
        QVERIFY(fixture.Person.Questions.empty());

        fixture.AddPage("a.htm", WindowFixture::Page("A", "A"));
        fixture.Import({"a.htm"});
        window.show();
        QVERIFY(!window.close());
        QCOMPARE(Said(fixture.Person.Questions),
                 "Are you sure to quit this project and begin a new book project?");
        fixture.Person.Answers = {true};
        QVERIFY(window.close());
    }

    void ClosingWhileABookIsMadeWaitsForIt() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        fixture.AddPage("a.htm", WindowFixture::Page("A", "A"));
        fixture.Import({"a.htm"});
        window.show();
        QSignalSpy finished(&window, &MainWindow::WorkFinished);
        window.MakeEpubCommand();
        QVERIFY(window.Busy());
        QVERIFY(!window.MakeEpubButton->isEnabled());
        fixture.Person.Answers = {true};
        QVERIFY(!window.close());  // not while the book is being made
        QVERIFY(finished.wait(120000));
        QVERIFY(!window.isVisible());  // closed once the work ended, without a second question
        QCOMPARE(fixture.Person.Questions.size(), 1u);
        QVERIFY(std::filesystem::exists(fixture.Project.OutputPath));
    }
};

}  // namespace quirebook::testing

QUIREBOOK_GUI_TEST(quirebook::testing::ControlsTest)
#include "ControlsTest.moc"
