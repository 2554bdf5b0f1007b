// The window imports web pages into its grid and makes a book that follows the grid.
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "EpubCheck.h"
#include "GuiTests.h"
#include "WindowFixture.h"

namespace quirebook::testing {

namespace {

QString Cell(const MainWindow& window, int row, int column) {
    return window.Grid->item(row, column)->text();
}

// Drags the grid's row `from` by its file name onto the row `to`.
void DragRow(ChapterGrid& grid, int from, int to) {
    const QRect source = grid.visualRect(grid.model()->index(from, ChapterGrid::FileColumn));
    const QRect target = grid.visualRect(grid.model()->index(to, ChapterGrid::FileColumn));
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, source.center());
    QTest::mouseMove(grid.viewport(), target.center());
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, target.center());
}

}  // namespace

class ImportAndPublishTest : public QObject {
    Q_OBJECT
  private slots:
    void StartsEmptyWithTheStatusAndTheLanguages() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        QCOMPARE(window.Status->text(),
                 "Open a folder of webpages or a Word document, then make it.");
        QCOMPARE(window.Grid->rowCount(), 0);
        QCOMPARE(window.General->LanguageList->itemText(0), "English");
        QCOMPARE(window.General->LanguageList->currentIndex(), 0);
        QStringList tabs;
        for (int i = 0; i < window.Pages->count(); ++i)
            if (window.Pages->isTabVisible(i)) tabs << window.Pages->tabText(i);
        QCOMPARE(tabs, QStringList({"General", "Cover", "Settings", "Advanced", "Log", "Pro"}));
        QCOMPARE(window.Pages->currentIndex(), 0);
        QVERIFY(!window.ValidateThisAction->isEnabled());
        QVERIFY(!window.ReimportAction->isEnabled());
        QVERIFY(window.General->MoreLanguagesButton->isEnabled());
        QVERIFY(window.Headings->isHidden());
        QCOMPARE(window.MakeEpubAction->shortcut(), QKeySequence(Qt::Key_F6));
        QStringList header;
        for (int column = 0; column < 5; ++column)
            header << window.Grid->horizontalHeaderItem(column)->text();
        QCOMPARE(header,
                 QStringList({" <>", " No.", " File Name", " Chapter Title (Editable)", " Size"}));
        QCOMPARE(window.Grid->columnWidth(3), 186);
        QCOMPARE(window.Preview->url(),
                 QUrl::fromLocalFile(QUIREBOOK_SOURCE_DIR "/data/help/start.htm"));
    }

    void PreviewShowsTheClickedChapter() {
        WindowFixture fixture;
        const QString first = fixture.AddPage("a.htm", WindowFixture::Page("A", "A"));
        const QString second = fixture.AddPage("b.htm", WindowFixture::Page("B", "B"));
        fixture.Import({"a.htm", "b.htm"});
        MainWindow& window = *fixture.Window;
        QCOMPARE(window.Preview->url(), QUrl::fromLocalFile(first));
        const QRect cell =
            window.Grid->visualRect(window.Grid->model()->index(1, ChapterGrid::FileColumn));
        QTest::mouseClick(window.Grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(window.Preview->url(), QUrl::fromLocalFile(second));
        QCOMPARE(window.Grid->rowCount(), 2);  // a click is no drag
        QCOMPARE(window.Grid->item(1, ChapterGrid::FileColumn)->text(), "b.htm");
        window.PreviewToggle->click();
        QCOMPARE(window.Preview->url(), QUrl("about:blank"));
    }

    void ImportsPagesInNameOrderWithSizesAndBookName() {
        WindowFixture fixture;
        fixture.AddPage("a.htm", WindowFixture::Page("Alpha title", "Alpha heading"));
        fixture.AddPage("b.htm", std::string(1024, ' '));
        fixture.AddPage("chapter.10.htm", "");
        fixture.AddPage("chapter.9.htm", WindowFixture::Page("Nine", "<i>Nine</i>&nbsp;!"));
        fixture.Import({"chapter.10.htm", "chapter.9.htm", "b.htm", "a.htm"});
        MainWindow& window = *fixture.Window;

        QVERIFY(fixture.Person.Questions.empty());  // no project was loaded
        QCOMPARE(fixture.Files.Requests.front().Title,
                 "Import Web Pages (Press shift to select more)");
        QCOMPARE(window.Grid->rowCount(), 4);
        QStringList names, titles, sizes;
        for (int row = 0; row < 4; ++row) {
            names << Cell(window, row, ChapterGrid::FileColumn);
            titles << Cell(window, row, ChapterGrid::TitleColumn);
            sizes << Cell(window, row, ChapterGrid::SizeColumn);
        }
        QCOMPARE(names, QStringList({"a.htm", "b.htm", "chapter.9.htm", "chapter.10.htm"}));
        QCOMPARE(titles, QStringList({"Alpha heading", "b", "Nine !", "chapter"}));
        QCOMPARE(sizes, QStringList({"1 KB", "2 KB", "1 KB", "0 KB"}));
        QCOMPARE(Cell(window, 2, ChapterGrid::NumberColumn), "3");
        QCOMPARE(window.General->TitleBox->text(), "My Pages");
        QCOMPARE(window.General->NameLabel->text(), "My Pages.epub");
        QCOMPARE(window.General->FolderLabel->text(),
                 QString::fromStdString(fixture.Project.OutputFolder));
        QCOMPARE(window.focusWidget(), window.MakeEpubButton);
        // Only the title cells take the selection.
        QVERIFY(window.Grid->item(0, ChapterGrid::TitleColumn)->flags() & Qt::ItemIsEditable);
        QVERIFY(!(window.Grid->item(0, ChapterGrid::FileColumn)->flags() & Qt::ItemIsSelectable));
    }

    void TitlesFollowEachSource() {
        WindowFixture fixture;
        fixture.AddPage("one.part.htm", WindowFixture::Page("Html One", "Heading One"));
        // A title whose tag has a capital only: read all the same; and there is no heading.
        fixture.AddPage("two.htm", "<html><head><Title>Two in the title</Title></head></html>");
        fixture.Import({"one.part.htm", "two.htm"});
        MainWindow& window = *fixture.Window;
        OptionPages& options = *window.Options;
        const auto titles = [&] {
            return QStringList({Cell(window, 0, ChapterGrid::TitleColumn),
                                Cell(window, 1, ChapterGrid::TitleColumn)});
        };
        QCOMPARE(titles(), QStringList({"Heading One", "Two in the title"}));
        options.TitleFromHtmlTitle->click();
        QCOMPARE(titles(), QStringList({"Html One", "Two in the title"}));
        options.TitleFromFileName->click();
        QCOMPARE(titles(), QStringList({"one", "two"}));
        QCOMPARE(fixture.Project.Options.TitleSource, TitleSourceKind::FileName);

        // Titles are filled again in the grid's order after a row was moved.
        DragRow(*window.Grid, 1, 0);
        options.TitleFromHeading->click();
        QCOMPARE(titles(), QStringList({"Two in the title", "Heading One"}));

        options.AutoTitles->click();
        QCOMPARE(titles(), QStringList({"", ""}));
        QVERIFY(!options.TitleFromFileName->isEnabled());
        QVERIFY(!options.TitleFromHtmlTitle->isEnabled());
        QVERIFY(fixture.Project.ChapterTitles.empty());
        fixture.Window->MakeEpubCommand();
        QTRY_VERIFY(!window.Busy());
        QCOMPARE(Said(fixture.Person.Messages), "Please specify chapter titles for each file");
        QCOMPARE(Said(fixture.Person.Focused), "fileList");
    }

    void AskedQuestionAndCancelledDialogKeepTheProject() {
        WindowFixture fixture;
        fixture.AddPage("a.htm", WindowFixture::Page("A", "A"));
        fixture.AddPage("b.htm", WindowFixture::Page("B", "B"));
        fixture.Import({"a.htm"});
        // "No" to the question: no dialog.
        fixture.Window->ImportWebPagesCommand();
        QCOMPARE(fixture.Person.Questions.size(), 1u);
        QCOMPARE(Said(fixture.Person.Questions),
                 "Are you sure to quit this project and begin a new book project?");
        QCOMPARE(fixture.Files.Requests.size(), 1);
        // "Yes", then the dialog cancelled: the loaded project stays.
        fixture.Person.Answers = {true};
        fixture.Window->ImportWebPagesCommand();
        QCOMPARE(fixture.Files.Requests.size(), 2);
        QCOMPARE(fixture.Window->Grid->rowCount(), 1);
        // "Yes" and a choice: asked once, the new pages loaded.
        fixture.Person.Answers = {true};
        fixture.Import({"b.htm", "a.htm"});
        QCOMPARE(fixture.Person.Questions.size(), 3u);
        QCOMPARE(fixture.Window->Grid->rowCount(), 2);
    }

    void MakesTheBookInTheGridsOrderWithTypedTitles() {
        WindowFixture fixture;
        for (const char* name : {"first", "second", "third"})
            fixture.AddPage(std::string(name) + ".html",
                            WindowFixture::Page(name, std::string("Heading ") + name));
        fixture.Import({"first.html", "second.html", "third.html"});
        MainWindow& window = *fixture.Window;
        DragRow(*window.Grid, 2, 0);  // third, first, second
        window.Grid->item(1, ChapterGrid::TitleColumn)->setText("Tom & <Jerry>");
        window.General->AuthorBox->setText("   ");
        QVERIFY(fixture.RunAndWait(&MainWindow::MakeEpubCommand));

        const std::string book = fixture.Project.OutputFolder + "My Pages.epub";
        QCOMPARE(Said(fixture.Person.Messages),
                 QString::fromStdString("Your ePub book has been saved in " +
                                        fixture.Project.OutputFolder + " as My Pages.epub"));
        // The manifest lists the chapters in the spine's order, "n0" first.
        const std::string opf = ReadBookEntry(book, "OPS/content.opf");
        const std::size_t third = opf.find("href=\"third.html");
        const std::size_t first = opf.find("href=\"first.html");
        const std::size_t second = opf.find("href=\"second.html");
        QVERIFY(third != std::string::npos && first != std::string::npos);
        QVERIFY(third < first && first < second);
        QVERIFY(opf.find("Anonymous Author") != std::string::npos);
        const std::string ncx = ReadBookEntry(book, "OPS/toc.ncx");
        QVERIFY(ncx.find("Tom &amp; &lt;Jerry&gt;") != std::string::npos);
        QVERIFY(ncx.find("Heading third") < ncx.find("Tom &amp;"));

        QVERIFY(window.Log->Text().contains("# ePub book My Pages.epub made successfully."));
        QCOMPARE(window.General->SaveLabel->text(), "Your ePub book has been saved ");
        QVERIFY(window.General->NameLabel->IsLink());
        QVERIFY(window.General->FolderLabel->IsLink());
        QCOMPARE(window.General->NameLabel->palette().color(QPalette::WindowText),
                 QColor(0, 0, 128));
        QVERIFY(!window.General->ChangeButton->isEnabled());
        QVERIFY(window.ValidateThisAction->isEnabled());
        QVERIFY(window.EditMenu->actions().front()->isEnabled());

        const EpubCheckResult check = RunEpubCheck(book);

        // A new import draws the labels plain again and disables the book's commands.
        fixture.Person.Answers = {true};
        fixture.Import({"first.html"});
        QVERIFY(!window.General->NameLabel->IsLink());
        QVERIFY(!window.ValidateThisAction->isEnabled());
        QVERIFY(window.General->ChangeButton->isEnabled());

        // The book's verdict, judged last so that a machine without epubcheck still runs the rest.
        if (!check.Available) QSKIP("epubcheck or Java is missing: run ./test.sh");
        QVERIFY2(check.Valid, check.Output.c_str());
    }

    void ValidatesTheBookIntoTheLog() {
        if (!std::filesystem::exists("/usr/share/java/epubcheck.jar"))
            QSKIP("epubcheck is not installed");
        WindowFixture fixture;
        fixture.AddPage("one.html", WindowFixture::Page("One", "One"));
        fixture.Import({"one.html"});
        QVERIFY(fixture.RunAndWait(&MainWindow::MakeEpubCommand));
        fixture.Window->Log->ClearButton->click();
        QVERIFY(fixture.Window->Log->Text().isEmpty());
        QVERIFY(fixture.RunAndWait(&MainWindow::ValidateThisCommand));
        QCOMPARE(Said(fixture.Person.Messages), "The epub is valid.");
        QVERIFY(
            fixture.Window->Log->Text().startsWith("-------------ePubCheck result--------------"));

        // Another book that is not one: the verdict, and the Log page comes up.
        const QString other = fixture.AddPage("broken.epub", "not a zip");
        fixture.Files.Answers.push_back({other});
        QVERIFY(fixture.RunAndWait(&MainWindow::ValidateOtherCommand));
        QCOMPARE(Said(fixture.Person.Messages), "The epub contains errors, please check the log.");
        QVERIFY(fixture.Window->Log->Text().contains("# checking \"" + other + "\" ..."));
        QCOMPARE(fixture.Window->Pages->currentWidget(), fixture.Window->Log);
    }

    void WordDocumentIsImportedOffTheWindowsThread() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        QSignalSpy finished(&window, &MainWindow::WorkFinished);
        window.OpenFiles({QUIREBOOK_SOURCE_DIR "/data/examples/word/kite-journal.docx"});
        QVERIFY(window.Busy());
        QVERIFY(!window.ImportWebButton->isEnabled());
        QVERIFY(finished.wait(120000));
        QVERIFY(window.Grid->rowCount() > 1);
        QVERIFY(!window.General->TitleBox->text().isEmpty());
        QCOMPARE(window.General->NameLabel->text(), "kite-journal.epub");
        QVERIFY(window.ReimportAction->isEnabled());
        QVERIFY(window.ImportWebButton->isEnabled());
        QVERIFY(window.Progress->value() > 0);  // the import's steps moved the gauge
        QVERIFY(window.Progress->isHidden());   // which shows only while work runs

        // F5: asked first; "No" keeps the project as it is.
        QVERIFY(fixture.RunAndWait(&MainWindow::ReimportCommand));
        QCOMPARE(Said(fixture.Person.Questions), "Are you sure to re-import current Word doc?");
        QVERIFY(window.Grid->rowCount() > 1);
        QVERIFY(fixture.RunAndWait(&MainWindow::MakeEpubCommand));
        const EpubCheckResult check = RunEpubCheck(fixture.Project.OutputPath);
        if (!check.Available) QSKIP("epubcheck or Java is missing: run ./test.sh");
        QVERIFY2(check.Valid, check.Output.c_str());
    }

    void ContentsPageFillsTheGridInTheOrderOfItsLinks() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        const QString contents = fixture.AddPage(
            "index.html", WindowFixture::Page("Contents", "Contents",
                                              "<a href=\"zebra.html\">Z</a> <a href=\"apple.html#"
                                              "x\">A</a> <a href=\"gone.html\">gone</a>"));
        fixture.AddPage("zebra.html", WindowFixture::Page("Zebra", "Zebra"));
        fixture.AddPage("apple.html", WindowFixture::Page("Apple", "Apple"));
        // The command is in the File menu and on a button beside "Import Web Pages".
        QStringList captions;
        for (QAction* action : window.menuBar()->actions()) {
            if (action->text() != "&File") continue;
            for (QAction* command : action->menu()->actions()) captions << command->text();
        }
        QVERIFY2(captions.contains("Import from a &Contents Page..."),
                 qPrintable(captions.join("/")));
        QCOMPARE(window.ImportContentsButton->text(), "Import from a Contents Page...");

        fixture.Files.Answers.push_back({contents});
        window.ImportContentsButton->click();
        QCOMPARE(fixture.Files.Requests.size(), 1);
        QCOMPARE(fixture.Files.Requests.back().Action, FileRequest::Kind::OpenOne);
        QCOMPARE(fixture.Files.Requests.back().Title, "Import from a Contents Page");
        QCOMPARE(window.Grid->rowCount(), 3);
        QCOMPARE(Cell(window, 0, ChapterGrid::FileColumn), "index.html");
        QCOMPARE(Cell(window, 1, ChapterGrid::FileColumn), "zebra.html");
        QCOMPARE(Cell(window, 2, ChapterGrid::FileColumn), "apple.html");
        QCOMPARE(Cell(window, 1, ChapterGrid::TitleColumn), "Zebra");
        QVERIFY(Said(fixture.Person.Messages)
                    .contains("index.html: the link to gone.html is skipped: it is missing"));

        // The grid can still be reordered, and the book follows it.
        DragRow(*window.Grid, 2, 1);  // index, apple, zebra
        QVERIFY(fixture.RunAndWait(&MainWindow::MakeEpubCommand));
        const std::string opf =
            ReadBookEntry(fixture.Project.OutputFolder + "My Pages.epub", "OPS/content.opf");
        const std::size_t apple = opf.find("href=\"apple.html");
        const std::size_t zebra = opf.find("href=\"zebra.html");
        QVERIFY(apple != std::string::npos && zebra != std::string::npos);
        QVERIFY(opf.find("href=\"index.html") < apple && apple < zebra);

        // A loaded project is left only after "Yes"; cancelling the dialog keeps it.
        fixture.Window->ImportContentsPageCommand();
        QCOMPARE(Said(fixture.Person.Questions),
                 "Are you sure to quit this project and begin a new book project?");
        QCOMPARE(fixture.Files.Requests.size(), 1);
        fixture.Person.Answers = {true};
        fixture.Window->ImportContentsPageCommand();
        QCOMPARE(fixture.Files.Requests.size(), 2);
        QCOMPARE(window.Grid->rowCount(), 3);
    }

    void CommandLineFilesOpenAsAFileManagerHandsThem() {
        WindowFixture fixture;
        const QString kites = QUIREBOOK_SOURCE_DIR "/data/examples/kites/";
        fixture.Window->OpenFiles({kites + "welcome.html", kites + "materials.html"});
        QCOMPARE(fixture.Window->Grid->rowCount(), 2);
        QCOMPARE(Cell(*fixture.Window, 0, ChapterGrid::FileColumn), "welcome.html");
        QCOMPARE(fixture.Window->General->TitleBox->text(), "kites");
    }
};

}  // namespace quirebook::testing

QUIREBOOK_GUI_TEST(quirebook::testing::ImportAndPublishTest)
#include "ImportAndPublishTest.moc"
