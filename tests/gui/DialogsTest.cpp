// The window's dialogs and the "Pro" page: the language list, the heading tree, the font window,
// the replacement style sheet, and the example folder of "Open Example".
#include <QHeaderView>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "EpubCheck.h"
#include "GuiTests.h"
#include "WindowFixture.h"
#include "app/BookLanguages.h"
#include "css/FontEmbedding.h"
#include "text/TextFiles.h"

namespace quirebook::testing {

namespace {

constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kWordExample = QUIREBOOK_SOURCE_DIR "/data/examples/word/kite-journal.docx";

QStringList Names(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& name : names) list << QString::fromStdString(name);
    return list;
}

QStringList Items(const QListWidget& list) {
    QStringList items;
    for (int row = 0; row < list.count(); ++row) items << list.item(row)->text();
    return items;
}

QStringList DropDown(const MainWindow& window) {
    QStringList items;
    for (int i = 0; i < window.General->LanguageList->count(); ++i)
        items << window.General->LanguageList->itemText(i);
    return items;
}

// Presses "More..." and runs `steps` on the language dialog while it is shown; the dialog is
// cancelled afterwards when the steps left it open.
void WithLanguageDialog(MainWindow& window, const std::function<void(LanguageList&)>& steps) {
    QTimer::singleShot(0, &window, [&window, &steps] {
        steps(*window.Languages);
        if (window.Languages->isVisible()) window.Languages->CancelButton->click();
    });
    window.General->MoreLanguagesButton->click();
}

void Select(QListWidget& list, const QStringList& names) {
    list.clearSelection();
    for (const QString& name : names)
        for (QListWidgetItem* item : list.findItems(name, Qt::MatchExactly))
            item->setSelected(true);
}

// The tree's shape: each node's text, its children in brackets.
QString Shape(const QTreeWidgetItem* node) {
    QString shape = node->text(0);
    if (node->childCount() == 0) return shape;
    QStringList children;
    for (int i = 0; i < node->childCount(); ++i) children << Shape(node->child(i));
    return shape + "(" + children.join(",") + ")";
}

QString Shape(const QTreeWidget& tree) {
    QStringList roots;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) roots << Shape(tree.topLevelItem(i));
    return roots.join(",");
}

// Entries named A, B, C ... with the levels given, two headings a chapter.
std::vector<HeadingEntry> Entries(const std::vector<int>& levels) {
    std::vector<HeadingEntry> entries;
    for (std::size_t k = 0; k < levels.size(); ++k) {
        const int ordinal = static_cast<int>(k % 2) + 1;
        entries.push_back({std::string(1, static_cast<char>('A' + k)), levels[k],
                           static_cast<int>(k / 2), ordinal, "a" + std::to_string(ordinal)});
    }
    return entries;
}

void ClickNode(QTreeWidget& tree, QTreeWidgetItem* node) {
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(node).center());
}

// All nodes in display order.
QList<QTreeWidgetItem*> Nodes(QTreeWidget& tree) {
    QList<QTreeWidgetItem*> nodes;
    for (QTreeWidgetItemIterator it(&tree); *it != nullptr; ++it) nodes << *it;
    return nodes;
}

// Imports the Word example with the headings collected, and waits for the import to end.
bool ImportWordExample(WindowFixture& fixture) {
    fixture.Window->Options->TocFromHeadings->setChecked(true);
    return fixture.RunAndWait([&fixture] { fixture.Window->OpenFiles({kWordExample}); }) &&
           fixture.Window->Grid->rowCount() > 0;
}

// Presses "Embed" in the font window and waits for the work to end.
bool PressEmbed(WindowFixture& fixture) {
    return fixture.RunAndWait([&fixture] { fixture.Window->FontWindow->EmbedButton->click(); });
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void LanguageDialogMovesNamesBetweenItsLists() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        const QStringList all = Names(ReadLanguageList(QUIREBOOK_SOURCE_DIR "/data/lang/all.lang"));
        const QStringList common =
            Names(ReadLanguageList(QUIREBOOK_SOURCE_DIR "/data/lang/common.lang"));
        QVERIFY(all.size() > common.size() && common.contains("English"));
        QVERIFY(!common.contains("Abkhazian") && !common.contains("Afar"));
        // Without a user list the drop-down starts on the common one.
        QCOMPARE(DropDown(window), common);

        WithLanguageDialog(window, [&](LanguageList& dialog) {
            QCOMPARE(Items(*dialog.AvailableList), all);
            QCOMPARE(Items(*dialog.ListedList), common);
            QVERIFY(dialog.ListedList->dragEnabled());

            // "Add ->": the selected names not yet listed, in the available list's order.
            Select(*dialog.AvailableList, {"Afar", "English", "Abkhazian"});
            dialog.AddButton->click();
            const QStringList added = common + QStringList{"Abkhazian", "Afar"};
            QCOMPARE(Items(*dialog.ListedList), added);

            // Double-click: a listed name is refused, another appended.
            const auto doubleClick = [&dialog](const QString& name) {
                QListWidgetItem* item = dialog.AvailableList->findItems(name, Qt::MatchExactly)[0];
                emit dialog.AvailableList->itemDoubleClicked(item);
            };
            doubleClick("Afar");
            QCOMPARE(Said(fixture.Person.Messages), "Already added");
            QCOMPARE(Items(*dialog.ListedList).count("Afar"), 1);
            doubleClick("Afrikaans");
            QCOMPARE(Items(*dialog.ListedList).last(), "Afrikaans");

            // "<- Remove": every selected listed name.
            Select(*dialog.ListedList, {"English", "Afar"});
            dialog.RemoveButton->click();
            QStringList listed = common + QStringList{"Abkhazian", "Afrikaans"};
            listed.removeAll("English");
            QCOMPARE(Items(*dialog.ListedList), listed);

            // A drop from the available list is refused.
            QMimeData* dragged = dialog.AvailableList->model()->mimeData(
                {dialog.AvailableList->model()->index(3, 0)});
            const QPoint at =
                dialog.ListedList->visualItemRect(dialog.ListedList->item(0)).center();
            QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, dragged, Qt::LeftButton, {});
            QApplication::sendEvent(dialog.ListedList->viewport(), &drop);
            delete dragged;
            QCOMPARE(Items(*dialog.ListedList), listed);

            dialog.OkButton->click();
            QVERIFY(!dialog.isVisible());
        });
        QStringList listed = common + QStringList{"Abkhazian", "Afrikaans"};
        listed.removeAll("English");
        // "OK" writes the user's list in the user's folder, one name a line ended by CR LF.
        QCOMPARE(QString::fromStdString(LoadTextFile(fixture.Project.UserLanguageList())),
                 listed.join("\r\n") + "\r\n");
        QCOMPARE(DropDown(window), listed);
        QCOMPARE(window.General->LanguageList->currentIndex(), 0);

        // Shown again, the dialog lists the user's list.
        WithLanguageDialog(window, [&](LanguageList& dialog) {
            QCOMPARE(Items(*dialog.ListedList), listed);
            QVERIFY(!dialog.Changed());
        });
        QCOMPARE(DropDown(window), listed);

        // A window started later takes the user's list.
        MainWindow later(fixture.Project, fixture.Person, fixture.Files);
        QCOMPARE(DropDown(later), listed);
    }

    void DefaultThenCancelHandsTheCommonListOverWithoutSavingIt() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        const QStringList common = DropDown(window);
        const std::string user = fixture.Project.UserLanguageList();
        WriteLanguageList(user, {"Latin", "Greek"});

        // Cancel alone changes nothing.
        WithLanguageDialog(window, [](LanguageList& dialog) {
            QCOMPARE(Items(*dialog.ListedList), QStringList({"Latin", "Greek"}));
            dialog.ListedList->clear();
            dialog.CancelButton->click();
        });
        QCOMPARE(DropDown(window), common);

        WithLanguageDialog(window, [&](LanguageList& dialog) {
            dialog.DefaultButton->click();
            QCOMPARE(Items(*dialog.ListedList), common);
            dialog.CancelButton->click();
        });
        QCOMPARE(DropDown(window), common);
        QCOMPARE(LoadTextFile(user), "Latin\r\nGreek\r\n");
    }

    void DropDownFallsBackToTheBuiltInFour() {
        TempFolder temp;
        std::filesystem::create_directories(temp / "user");
        BookProject project({temp / "program", temp / "user"}, temp / "work");
        RecordingUserInterface person;
        ListedFileChooser files;
        MainWindow window(project, person, files);
        QCOMPARE(DropDown(window), QStringList({"English", "French", "Spanish", "German"}));
        QCOMPARE(window.General->LanguageList->currentIndex(), 0);
    }

    void HeadingTreeNestsByLevel() {
        HeadingTree tree;
        tree.FillHeadingTree(Entries({1, 2, 3, 2, 1, 3}), "/book/", {"c1.htm", "c2.htm", "c3.htm"});
        QCOMPARE(Shape(tree), "A(B(C),D),E(F)");
        QVERIFY(!tree.isHidden());

        // A level more than one deeper nests one deeper; a first entry below the top is a root.
        tree.FillHeadingTree(Entries({2, 4, 3, 1, 2, 2}), "/book/", {"c1.htm", "c2.htm", "c3.htm"});
        QCOMPARE(Shape(tree), "A(B(C)),D(E,F)");
        tree.FillHeadingTree(Entries({1, 3, 4, 2, 3, 1}), "/book/", {"c1.htm", "c2.htm", "c3.htm"});
        QCOMPARE(Shape(tree), "A(B(C),D(E)),F");

        // The lists of tables and figures are no part of the tree.
        std::vector<HeadingEntry> withTable = Entries({1, 2});
        withTable.push_back({"Table", 1, 0, 1, "t1", NavigationList::Tables});
        tree.FillHeadingTree(withTable, "/book/", {"c1.htm", "c2.htm", "c3.htm"});
        QCOMPARE(Shape(tree), "A(B)");

        tree.FillHeadingTree({}, "/book/", {});
        QCOMPARE(tree.topLevelItemCount(), 0);
        QVERIFY(tree.isHidden());
    }

    void HeadingClickGivesTheChapterAtItsAnchor() {
        HeadingTree tree;
        std::vector<HeadingEntry> entries = Entries({1, 2, 2});
        entries[1].Anchor.clear();  // a heading without an anchor opens its chapter's start
        entries[2].Chapter = 7;     // a chapter the book no longer has
        tree.FillHeadingTree(entries, "/my book/", {"one.htm", "two.htm"});
        tree.resize(300, 200);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        QSignalSpy clicked(&tree, &HeadingTree::HeadingClicked);
        const QList<QTreeWidgetItem*> nodes = Nodes(tree);
        QCOMPARE(nodes.size(), 3);
        ClickNode(tree, nodes[0]);
        ClickNode(tree, nodes[1]);
        ClickNode(tree, nodes[2]);
        QCOMPARE(clicked.size(), 2);
        QCOMPARE(clicked[0][0].toUrl(), QUrl("file:///my%20book/one.htm#a1"));
        QCOMPARE(clicked[1][0].toUrl(), QUrl("file:///my%20book/one.htm"));
    }

    void WordImportShowsTheHeadingsAndAClickMovesThePreview() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        QVERIFY(ImportWordExample(fixture));
        QVERIFY(!window.Headings->isHidden());
        const std::vector<HeadingEntry>& entries = fixture.Project.HeadingEntries;
        QVERIFY(entries.size() > 2);
        const QList<QTreeWidgetItem*> nodes = Nodes(*window.Headings);
        QCOMPARE(static_cast<std::size_t>(nodes.size()), entries.size());

        // A heading whose place the document marks with an id leads there.
        const auto marked =
            std::find_if(entries.begin(), entries.end(),
                         [](const HeadingEntry& each) { return !each.Anchor.empty(); });
        QVERIFY(marked != entries.end());
        const auto index = static_cast<int>(marked - entries.begin());
        const HeadingEntry& entry = *marked;
        QCOMPARE(nodes[index]->text(0), QString::fromStdString(entry.Text));
        const std::string chapter =
            fixture.Project.SourceFolder + fixture.Project.ChapterFiles[entry.Chapter];
        QVERIFY(LoadTextFile(chapter).find("id=" + entry.Anchor) != std::string::npos);
        window.resize(1180, 760);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Headings->scrollToItem(nodes[index]);
        ClickNode(*window.Headings, nodes[index]);
        QUrl target = QUrl::fromLocalFile(QString::fromStdString(chapter));
        target.setFragment(QString::fromStdString(entry.Anchor));
        QTRY_COMPARE(window.Preview->url(), target);

        // A web-page import shows its own headings.
        fixture.AddPage("one.html", WindowFixture::Page("One", "One", "<h2>Two</h2>"));
        fixture.Person.Answers = {true};
        fixture.Import({"one.html"});
        QCOMPARE(Shape(*window.Headings), "One(Two)");
        fixture.Person.Answers = {true};
        window.close();
    }

    void PublishWithHeadingsFillsTheTreeFromTheMadeBook() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        fixture.AddPage("one.html", WindowFixture::Page("One", "Part one", "<h2>Section</h2>"));
        // Without the headings in the table of contents there is no tree.
        window.Options->TocFromHeadings->click();
        QVERIFY(!fixture.Project.Options.TocFromHeadings);
        fixture.Import({"one.html"});
        QVERIFY(window.Headings->isHidden());
        window.Options->TocFromHeadings->click();
        QVERIFY(fixture.Project.Options.TocFromHeadings);
        QVERIFY(fixture.RunAndWait(&MainWindow::MakeEpubCommand));
        QVERIFY(window.General->NameLabel->IsLink());
        QCOMPARE(Shape(*window.Headings), "Part one(Section)");
        // The made chapter carries the anchor the node leads to.
        const HeadingEntry& section = fixture.Project.HeadingEntries.at(1);
        QVERIFY(LoadTextFile(fixture.Project.OpsFolder + "one.html")
                    .find("id=\"" + section.Anchor + "\"") != std::string::npos);
        // A chapter whose source went missing is left out of the book: the nodes still lead to
        // the chapters that hold the headings.
        fixture.AddPage("two.html", WindowFixture::Page("Two", "Part two"));
        fixture.Person.Answers = {true};
        fixture.Import({"one.html", "two.html"});
        std::filesystem::remove(fixture.Pages + "/one.html");
        QVERIFY(fixture.RunAndWait(&MainWindow::MakeEpubCommand));
        QVERIFY(window.General->NameLabel->IsLink());
        QCOMPARE(Shape(*window.Headings), "Part two");
        QSignalSpy clicked(window.Headings, &HeadingTree::HeadingClicked);
        emit window.Headings->itemClicked(window.Headings->topLevelItem(0), 0);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked[0][0].toUrl().fileName(), "two.html");
    }

    void FontWindowOffersEveryNamedFamily() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        QTableWidget& grid = *window.FontWindow->FontList;
        QCOMPARE(window.FontWindow->windowTitle(), "Pro");
        QCOMPARE(grid.columnCount(), 3);
        QVERIFY(!grid.horizontalHeader()->isHidden());

        // A list that begins with the empty name: a row for each named family.
        fixture.Project.FontFamilyList = {"", "Times New Roman", "Arial"};
        window.Options->EmbedFonts->click();
        QVERIFY(window.FontWindow->isVisible());
        QCOMPARE(grid.rowCount(), 2);
        QCOMPARE(grid.item(0, EmbedFontsDialog::FamilyColumn)->text(), "Times New Roman");
        QCOMPARE(grid.item(1, EmbedFontsDialog::FamilyColumn)->text(), "Arial");

        // "Embed this font" on the second row: the path is shown and goes into its third cell.
        grid.setCurrentCell(1, EmbedFontsDialog::FamilyColumn);
        fixture.Files.Answers.push_back({kDejaVuSans});
        window.FontWindow->EmbedThisFont->trigger();
        QCOMPARE(fixture.Files.Requests.last().Filter,
                 "Font file(*.ttf;*.otf;*.fon)|*.ttf;*.otf;*.fon");
        QCOMPARE(Said(fixture.Person.Messages), kDejaVuSans);
        QCOMPARE(grid.item(1, EmbedFontsDialog::FileColumn)->text(), kDejaVuSans);
        QVERIFY(grid.item(0, EmbedFontsDialog::FileColumn)->text().isEmpty());

        // Unticking closes the window; closing it unticks the box. The choice stays.
        window.Options->EmbedFonts->click();
        QVERIFY(!window.FontWindow->isVisible());
        // A list whose first name is a real family: that family has a row too.
        fixture.Project.FontFamilyList = {"Arial", "Georgia"};
        window.Options->EmbedFonts->click();
        QCOMPARE(grid.rowCount(), 2);
        QCOMPARE(grid.item(0, EmbedFontsDialog::FamilyColumn)->text(), "Arial");
        QCOMPARE(grid.item(0, EmbedFontsDialog::FileColumn)->text(), kDejaVuSans);
        window.FontWindow->close();
        QVERIFY(!window.Options->EmbedFonts->isChecked());
    }

    void EmbedRefusesWhatCannotBeEmbedded() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        fixture.Project.FontFamilyList = {"Arial"};
        window.Options->EmbedFonts->click();
        QTableWidget& grid = *window.FontWindow->FontList;

        // Nothing chosen: refused before any work starts.
        window.FontWindow->EmbedButton->click();
        QVERIFY(!window.Busy());
        QCOMPARE(Said(fixture.Person.Messages),
                 "Choose a font file for a family first: \"Embed this font\" in the menu of its "
                 "row.");
        grid.item(0, EmbedFontsDialog::FileColumn)->setText(kDejaVuSans);
        QVERIFY(PressEmbed(fixture));
        QCOMPARE(Said(fixture.Person.Messages),
                 "There is no book to embed fonts in: make the book first.");
        QVERIFY(!std::filesystem::exists(fixture.Project.OpsFolder + "DejaVuSans.ttf"));
    }

    void ProPageReplacesTheStyleSheet() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        OptionPages& pages = *window.Options;
        QVERIFY(pages.ProPage->isEnabled());
        QVERIFY(!pages.LoadStyleSheet->isEnabled() && pages.StyleSheetLabel->text().isEmpty());

        pages.ReplaceStyleSheet->click();
        QVERIFY(fixture.Project.ReplaceStyleSheet);
        QCOMPARE(pages.StyleSheetLabel->text(), "(default)");
        for (QCheckBox* box :
             {pages.RemoveInlineStyles, pages.RemoveStyleBlocks, pages.RemoveStyleLinks})
            QVERIFY(box->isChecked() && box->isEnabled());
        QVERIFY(pages.LoadStyleSheet->isEnabled());

        const QString sheet = fixture.AddPage("book.css", "p{color:navy}");
        fixture.Files.Answers.push_back({sheet});
        pages.LoadStyleSheet->click();
        QCOMPARE(fixture.Files.Requests.last().Filter, "Style Sheet File(*.css)|*.css");
        QCOMPARE(QString::fromStdString(fixture.Project.ReplacementStyleSheet), sheet);
        QCOMPARE(pages.StyleSheetLabel->text(),
                 "(" + QString::fromStdString(fixture.Pages) + "/)book.css");

        // The book takes the sheet instead of the page's own styles.
        fixture.AddPage("one.html",
                        "<html><head><style>p{color:red}</style></head><body>"
                        "<h1>One</h1><p style=\"color:red\">Text.</p></body></html>");
        fixture.Import({"one.html"});
        // An import forgets the loaded sheet, as every new project starts without one.
        QCOMPARE(pages.StyleSheetLabel->text(), "(default)");
        fixture.Files.Answers.push_back({sheet});
        pages.LoadStyleSheet->click();
        QVERIFY(fixture.RunAndWait(&MainWindow::MakeEpubCommand));
        const std::string chapter = ReadBookEntry(fixture.Project.OutputPath, "OPS/one.html");
        QVERIFY(chapter.find("href=\"book.css\"") != std::string::npos);
        QVERIFY(chapter.find("color:red") == std::string::npos);
        QCOMPARE(ReadBookEntry(fixture.Project.OutputPath, "OPS/book.css"), "p{color:navy}");

        pages.ReplaceStyleSheet->click();
        QVERIFY(!fixture.Project.ReplaceStyleSheet);
        QVERIFY(fixture.Project.ReplacementStyleSheet.empty());
        QVERIFY(pages.StyleSheetLabel->text().isEmpty());
        for (QCheckBox* box :
             {pages.RemoveInlineStyles, pages.RemoveStyleBlocks, pages.RemoveStyleLinks})
            QVERIFY(!box->isChecked() && !box->isEnabled());
    }

    void WordBookGetsAReplacedSheetAndAnEmbeddedFont() {
        if (!std::filesystem::exists(kDejaVuSans)) QSKIP("fonts-dejavu-core is not installed");
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        OptionPages& pages = *window.Options;
        QVERIFY(ImportWordExample(fixture));
        const std::vector<std::string> families = fixture.Project.FontFamilyList;
        QVERIFY(!families.empty());

        pages.ReplaceStyleSheet->click();
        pages.RemoveStyleLinks->click();  // the chapters keep the document's own sheet
        fixture.Files.Answers.push_back({fixture.AddPage("book.css", "h1{color:navy}")});
        pages.LoadStyleSheet->click();
        QVERIFY(fixture.RunAndWait(&MainWindow::MakeEpubCommand));
        QVERIFY(window.General->NameLabel->IsLink());

        pages.EmbedFonts->click();
        QTableWidget& grid = *window.FontWindow->FontList;
        QVERIFY(grid.rowCount() > 0);
        const std::string family =
            grid.item(0, EmbedFontsDialog::FamilyColumn)->text().toStdString();
        grid.setCurrentCell(0, EmbedFontsDialog::FamilyColumn);
        fixture.Files.Answers.push_back({kDejaVuSans});
        window.FontWindow->EmbedThisFont->trigger();
        QVERIFY(PressEmbed(fixture));
        QCOMPARE(Said(fixture.Person.Messages), "Font embeded!");

        const std::string book = fixture.Project.OutputPath;
        QVERIFY(!ReadBookEntry(book, "OPS/DejaVuSans.ttf").empty());
        QVERIFY(ReadBookEntry(book, "OPS/content.opf").find("href=\"DejaVuSans.ttf\"") !=
                std::string::npos);
        const std::string style = ReadBookEntry(book, "OPS/style.css");
        QVERIFY2(style.starts_with("@font-face{\r\nfont-family : \"" + FontId(family) + "\";"),
                 style.c_str());
        QVERIFY(style.find("url(DejaVuSans.ttf)") != std::string::npos);
        QCOMPARE(ReadBookEntry(book, "OPS/book.css"), "h1{color:navy}");
        const std::string chapter =
            ReadBookEntry(book, ("OPS/" + fixture.Project.ChapterFiles.front()).c_str());
        QVERIFY(chapter.find("href=\"book.css\"") != std::string::npos);
        QVERIFY(chapter.find("href=\"style.css\"") != std::string::npos);

        const EpubCheckResult check = RunEpubCheck(book);
        if (!check.Available) QSKIP("epubcheck is not installed");
        QVERIFY2(check.Valid, check.Output.c_str());
    }

    void OpenExampleStartsInTheExamplesFolder() {
        WindowFixture fixture;
        MainWindow& window = *fixture.Window;
        QAction* example = nullptr;
        for (QAction* action : window.menuBar()->actions().front()->menu()->actions())
            if (action->text() == "Open &Example") example = action;
        QVERIFY(example != nullptr);
        QCOMPARE(example->shortcut(), QKeySequence(Qt::Key_F2));
        // A document was opened from another folder before (it is no Word document, so the
        // import fails): the example still starts in the installed examples.
        const QString other = fixture.AddPage("notes.docx", "not a document");
        QVERIFY(fixture.RunAndWait([&window, &other] { window.OpenFiles({other}); }));
        window.ImportWordDocumentCommand();
        QCOMPARE(fixture.Files.Requests.last().Folder, QString::fromStdString(fixture.Pages));
        example->trigger();
        QCOMPARE(fixture.Files.Requests.size(), 2);
        QCOMPARE(fixture.Files.Requests.last().Title, "Import a Word Document");
        QCOMPARE(fixture.Files.Requests.last().Folder,
                 QString::fromStdString(fixture.Project.ExamplesFolder()));
    }
};

}  // namespace quirebook::testing

QUIREBOOK_GUI_TEST(quirebook::testing::DialogsTest)
#include "DialogsTest.moc"
