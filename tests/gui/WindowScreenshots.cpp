// Opens the window on the bundled example pages on a real display (Xvfb), makes the book, and
// takes a screenshot of each page of the right side into the folder named on the command line.
// Each picture must have the window's size and show more than a blank surface.
#include <QDir>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
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
    fixture.Files.Answers.push_back({QString::fromStdString(kites + "images/cover.png")});
    window.LoadCoverCommand();
    if (!QTest::qWaitFor([&] { return window.Cover->Ready(); }, 30000))
        return Fail("the cover view did not load");
    if (!fixture.RunAndWait(&MainWindow::MakeEpubCommand)) return Fail("the book was not made");
    if (!fixture.RunAndWait(&MainWindow::ValidateThisCommand))
        return Fail("the book was not validated");

    QDir().mkpath(folder);
    const QStringList names = {"general", "cover", "settings", "advanced", "log"};
    for (int page = 0; page < names.size(); ++page) {
        window.Pages->setCurrentIndex(page);
        window.repaint();
        const auto grab = [&] { return window.screen()->grabWindow(window.winId()).toImage(); };
        QImage shot = grab();
        // The cover view draws its picture a few frames after its page comes up.
        if (window.Pages->currentWidget() == window.Cover) {
            const QRect view(window.Cover->View->mapTo(&window, QPoint(0, 0)),
                             window.Cover->View->size());
            if (!QTest::qWaitFor([&] { return ColourCount((shot = grab()).copy(view)) > 16; },
                                 20000))
                return Fail("the cover view does not show the picture");
        }
        const QString file = folder + "/" + names[page] + ".png";
        if (!shot.save(file)) return Fail("cannot write " + file.toStdString());
        if (shot.size() != window.size())
            return Fail(names[page].toStdString() + ": the picture is not the window's size");
        if (ColourCount(shot) < 16)
            return Fail(names[page].toStdString() + ": the picture is blank");
        std::cout << "PASS: " << file.toStdString() << " " << shot.width() << "x" << shot.height()
                  << ", " << ColourCount(shot) << " colours\n";
    }
    fixture.Person.Answers = {true};
    window.close();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    PrepareWebEngine();
    QApplication application(argc, argv);
    if (argc < 2) {
        std::cerr << "usage: gui_WindowScreenshots FOLDER\n";
        return 2;
    }
    return TakeScreenshots(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
