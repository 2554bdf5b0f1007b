// Opens the window on the bundled example pages on a real display (Xvfb), makes the book with
// its headings, and takes a screenshot of each page of the right side into the folder named on
// the command line; then makes the Word example with a replaced style sheet and DejaVu Sans
// embedded, and takes the dialogs (languages, fonts) and the heading tree. Each picture must
// have its window's size and show more than a blank surface. The Word book is left in the folder
// as word-book.epub. Last, the Python tutorial of the corpus imported (tutorial.png).
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItemIterator>
#include <iostream>

#include "GuiTests.h"
#include "WindowFixture.h"
#include "text/TextFiles.h"

namespace {

using namespace quirebook;
using namespace quirebook::testing;

// Distinct colours in a sample of the picture's pixels.
int ColourCount(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

bool Fail(const std::string& why) {
    std::cerr << "FAIL: " << why << '\n';
    return false;
}

QImage Grab(QWidget& widget) {
    // The display shows a change of page or of enabling a few frames later.
    QTest::qWait(300);
    widget.repaint();
    return widget.screen()->grabWindow(widget.winId()).toImage();
}

// Writes the picture as `name`.png; false when it is not the widget's size or is blank.
bool Save(const QImage& shot, const QWidget& widget, const QString& folder, const QString& name) {
    const QString file = folder + "/" + name + ".png";
    if (!shot.save(file)) return Fail("cannot write " + file.toStdString());
    if (shot.size() != widget.size())
        return Fail(name.toStdString() + ": the picture is not the window's size");
    if (ColourCount(shot) < 16) return Fail(name.toStdString() + ": the picture is blank");
    std::cout << "PASS: " << file.toStdString() << " " << shot.width() << "x" << shot.height()
              << ", " << ColourCount(shot) << " colours\n";
    return true;
}

bool TakeScreenshots(const QString& folder) {
    WindowFixture fixture;
    MainWindow& window = *fixture.Window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return Fail("the window was not shown");

    const std::string kites = QUIREBOOK_SOURCE_DIR "/data/examples/kites/";
    QStringList pages;
    for (const QString& name :
         QString::fromStdString(LoadTextFile(kites + "order.txt")).split('\n', Qt::SkipEmptyParts))
        pages << QString::fromStdString(kites) + name.trimmed();
    QSignalSpy previewLoaded(window.Preview, &QWebEngineView::loadFinished);
    window.OpenFiles(pages);
    if (!previewLoaded.wait(30000)) return Fail("the preview did not load the first chapter");
    window.General->AuthorBox->setText("Quirebook examples");
    window.Options->TocFromHeadings->setChecked(true);
    fixture.Files.Answers.push_back({QString::fromStdString(kites + "images/cover.png")});
    window.LoadCoverCommand();
    if (!QTest::qWaitFor([&] { return window.Cover->Ready(); }, 30000))
        return Fail("the cover view did not load");
    if (!fixture.RunAndWait(&MainWindow::MakeEpubCommand)) return Fail("the book was not made");
    if (!fixture.RunAndWait(&MainWindow::ValidateThisCommand))
        return Fail("the book was not validated");

    if (window.Headings->isHidden()) return Fail("the heading tree is not shown");

    QDir().mkpath(folder);
    const QStringList names = {"general", "cover", "settings", "advanced", "log"};
    for (int page = 0; page < names.size(); ++page) {
        window.Pages->setCurrentIndex(page);
        const auto grab = [&] { return Grab(window); };
        QImage shot = grab();
        // The cover view draws its picture a few frames after its page comes up.
        if (window.Pages->currentWidget() == window.Cover) {
            const QRect view(window.Cover->View->mapTo(&window, QPoint(0, 0)),
                             window.Cover->View->size());
            if (!QTest::qWaitFor([&] { return ColourCount((shot = grab()).copy(view)) > 16; },
                                 20000))
                return Fail("the cover view does not show the picture");
        }
        if (!Save(shot, window, folder, names[page])) return false;
    }

    // The language dialog, a name added.
    bool languages = false;
    QTimer::singleShot(500, &window, [&] {
        LanguageList& dialog = *window.Languages;
        dialog.AvailableList->setCurrentRow(2);
        dialog.AddButton->click();
        dialog.ListedList->setCurrentRow(dialog.ListedList->count() - 1);
        QTest::qWait(300);
        languages = Save(Grab(dialog), dialog, folder, "languages");
        dialog.CancelButton->click();
    });
    window.General->MoreLanguagesButton->click();
    if (!languages) return false;
    fixture.Person.Answers = {true};
    window.close();
    return true;
}

// The Word example made in the window with a replaced style sheet and DejaVu Sans embedded for
// the first family its styles name: the Pro page, the heading tree and the font window.
bool MakeWordBook(const QString& folder) {
    WindowFixture fixture;
    MainWindow& window = *fixture.Window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return Fail("the window was not shown");
    window.Options->TocFromHeadings->setChecked(true);
    if (!fixture.RunAndWait([&] {
            window.OpenFiles({QUIREBOOK_SOURCE_DIR "/data/examples/word/kite-journal.docx"});
        }))
        return Fail("the Word example was not imported");
    window.Pages->setCurrentWidget(window.Options->ProPage);
    window.Options->ReplaceStyleSheet->click();
    window.Options->RemoveStyleLinks->click();  // the document's own sheet stays linked
    fixture.Files.Answers.push_back({fixture.AddPage(
        "journal.css", "h1, h2 { color: #1f4e79; border-bottom: 1px solid #9db7d1; }\n")});
    window.Options->LoadStyleSheet->click();
    if (!fixture.RunAndWait(&MainWindow::MakeEpubCommand) || !window.General->FolderLabel->IsLink())
        return Fail("the Word book was not made");
    window.Pages->setCurrentWidget(window.Options->ProPage);
    if (!Save(Grab(window), window, folder, "pro")) return false;

    // A heading clicked: the preview moves to it.
    QTreeWidgetItem* heading =
        window.Headings->topLevelItem(window.Headings->topLevelItemCount() - 1);
    if (heading == nullptr) return Fail("the heading tree is empty");
    QSignalSpy loaded(window.Preview, &QWebEngineView::loadFinished);
    QTest::mouseClick(window.Headings->viewport(), Qt::LeftButton, {},
                      window.Headings->visualItemRect(heading).center());
    loaded.wait(5000);
    QTest::qWait(1000);
    if (!Save(Grab(window), window, folder, "headings")) return false;

    window.Options->EmbedFonts->click();
    EmbedFontsDialog& fonts = *window.FontWindow;
    if (!QTest::qWaitForWindowExposed(&fonts)) return Fail("the font window was not shown");
    if (fonts.FontList->rowCount() == 0) return Fail("the font window lists no family");
    fonts.FontList->setCurrentCell(0, EmbedFontsDialog::FamilyColumn);
    fixture.Files.Answers.push_back({"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"});
    fonts.EmbedThisFont->trigger();
    QTest::qWait(300);
    if (!Save(Grab(fonts), fonts, folder, "fonts")) return false;
    if (!fixture.RunAndWait([&] { fonts.EmbedButton->click(); }) ||
        fixture.Person.Messages.back() != "Font embeded!")
        return Fail("the font was not embedded");
    const QString book = folder + "/word-book.epub";
    QFile::remove(book);
    if (!QFile::copy(QString::fromStdString(fixture.Project.OutputPath), book))
        return Fail("cannot copy the book to " + book.toStdString());
    std::cout << "PASS: " << book.toStdString() << "\n";
    fixture.Person.Answers = {true};
    window.close();
    return true;
}

// The Python tutorial of the corpus of real documents imported: the grid's titles and the tree
// of its table of contents, read from each page's own text, not from its sidebar. Passes when the
// corpus is not beside the checkout.
bool ImportPythonTutorial(const QString& folder) {
    const std::string tutorial = QUIREBOOK_SOURCE_DIR "/../shared/corpus/web/python-3.11-tutorial/";
    if (!QFile::exists(QString::fromStdString(tutorial + "order.txt"))) {
        std::cout << "skipped: the corpus is not beside the checkout (no tutorial screenshot)\n";
        return true;
    }
    WindowFixture fixture;
    MainWindow& window = *fixture.Window;
    window.resize(1270, 780);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return Fail("the window was not shown");
    QStringList pages;
    for (const QString& name : QString::fromStdString(LoadTextFile(tutorial + "order.txt"))
                                   .split('\n', Qt::SkipEmptyParts))
        pages << QString::fromStdString(tutorial) + name.trimmed();
    QSignalSpy previewLoaded(window.Preview, &QWebEngineView::loadFinished);
    window.OpenFiles(pages);
    previewLoaded.wait(30000);
    if (window.Grid->rowCount() != pages.size()) return Fail("the tutorial was not imported");
    for (int row = 0; row < window.Grid->rowCount(); ++row) {
        const QString title = window.Grid->item(row, ChapterGrid::TitleColumn)->text();
        if (title == "Table of Contents" || title == "This Page" || title == "Navigation")
            return Fail("a chapter is titled with its sidebar's heading: " + title.toStdString());
    }
    int nodes = 0;
    for (QTreeWidgetItemIterator node(window.Headings); *node != nullptr; ++node) ++nodes;
    if (window.Headings->isHidden() || nodes < 130)
        return Fail("the heading tree shows " + std::to_string(nodes) + " entries");
    window.Headings->scrollToItem(window.Headings->topLevelItem(4));
    return Save(Grab(window), window, folder, "tutorial");
}

}  // namespace

int main(int argc, char** argv) {
    PrepareWebEngine();
    QApplication application(argc, argv);
    if (argc < 2) {
        std::cerr << "usage: gui_WindowScreenshots FOLDER\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    return TakeScreenshots(folder) && MakeWordBook(folder) && ImportPythonTutorial(folder) ? 0 : 1;
}
