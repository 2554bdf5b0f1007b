// quirebook-gui: the desktop window; files on its command line are imported at start.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <exception>
#include <iostream>

#include "app/HeapGrowth.h"
#include "app/PlatformFolders.h"
#include "gui/DialogFileChooser.h"
#include "gui/DialogInterface.h"
#include "gui/MainWindow.h"
#include "gui/WebEngineSetup.h"

namespace {

// The command line is read before the application object exists, so that --help and
// --version need no display.
QStringList Arguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quirebook;
    GrowHeapsInLargeSteps();
    QCoreApplication::setApplicationName("Quirebook");
    QCoreApplication::setApplicationVersion(QUIREBOOK_VERSION);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Quirebook's desktop window: makes an EPUB 2 book of web pages, a web page saved by Word "
        "or a Word document.\n"
        "Files given are imported at start: web pages (all in one folder) as the book's "
        "chapters, a .docx or .doc as a Word document, a single .htm that Word saved as a Word "
        "web page.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument("files", "Web pages, a Word document or a Word web page.",
                                 "[FILE...]");
    if (!parser.parse(Arguments(argc, argv))) {
        std::cerr << "quirebook-gui: " << parser.errorText().toStdString() << '\n';
        return 2;
    }
    if (parser.isSet(help)) {
        std::cout << parser.helpText().replace("<executable_name>", "quirebook-gui").toStdString();
        return 0;
    }
    if (parser.isSet(version)) {
        std::cout << "quirebook-gui " << QUIREBOOK_VERSION << '\n';
        return 0;
    }

    PrepareWebEngine();
    QApplication application(argc, argv);
    // The desktop matches the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName("org.quirebook.Quirebook");
    try {
        ProcessWorkArea area = ProcessWorkArea::Temporary();
        BookProject project(LocateAppFolders(ProgramFolder()), area.Root());
        DialogInterface person;
        DialogFileChooser files;
        MainWindow window(project, person, files);
        person.SetParent(&window);
        files.SetParent(&window);
        window.show();
        const QStringList handed = parser.positionalArguments();
        QTimer::singleShot(0, &window, [&window, handed] { window.OpenFiles(handed); });
        return application.exec();
    } catch (const std::exception& error) {
        std::cerr << "quirebook-gui: " << error.what() << '\n';
        return 1;
    }
}
