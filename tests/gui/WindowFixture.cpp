// Test support: builds the window on a temporary project.
#include "WindowFixture.h"

#include <zip.h>

#include <QSignalSpy>
#include <filesystem>

#include "text/TextFiles.h"

namespace quirebook::testing {

std::string ReadBookEntry(const std::string& book, const char* entry) {
    zip_t* archive = zip_open(book.c_str(), ZIP_RDONLY, nullptr);
    if (archive == nullptr) return {};
    std::string text;
    zip_stat_t stat;
    if (zip_stat(archive, entry, 0, &stat) == 0) {
        zip_file_t* file = zip_fopen(archive, entry, 0);
        text.resize(stat.size);
        zip_fread(file, text.data(), stat.size);
        zip_fclose(file);
    }
    zip_close(archive);
    return text;
}

WindowFixture::WindowFixture()
    : Pages(Temp / "My Pages"),
      Project({QUIREBOOK_SOURCE_DIR "/data", Temp / "user"}, Temp / "work") {
    std::filesystem::create_directories(Pages);
    std::filesystem::create_directories(Temp / "user");
    Window = std::make_unique<MainWindow>(Project, Person, Files);
}

QString WindowFixture::AddPage(const std::string& name, const std::string& content) {
    SaveTextFile(Pages + "/" + name, content);
    return QString::fromStdString(Pages + "/" + name);
}

std::string WindowFixture::Page(const std::string& title, const std::string& heading,
                                const std::string& body) {
    return "<html><head><title>" + title + "</title></head><body><h1>" + heading + "</h1>" + body +
           "</body></html>";
}

void WindowFixture::Import(const QStringList& names) {
    QStringList paths;
    for (const QString& name : names) paths << QString::fromStdString(Pages) + "/" + name;
    Files.Answers.push_back(paths);
    Window->ImportWebPagesCommand();
}

bool WindowFixture::RunAndWait(void (MainWindow::*command)()) {
    return RunAndWait([this, command] { (Window.get()->*command)(); });
}

bool WindowFixture::RunAndWait(const std::function<void()>& start) {
    QSignalSpy finished(Window.get(), &MainWindow::WorkFinished);
    start();
    return finished.count() > 0 || finished.wait(180000);
}

}  // namespace quirebook::testing
