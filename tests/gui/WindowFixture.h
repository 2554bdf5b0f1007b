// Test support: the main window on a project of its own in a temporary folder, with a recording
// user interface and file choices handed in, a folder of web pages to import, and a look into
// the books it makes.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ListedFileChooser.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "book/BookProject.h"
#include "gui/MainWindow.h"

namespace quirebook::testing {

// The text of the archive entry `entry` of `book`; empty when either is missing.
std::string ReadBookEntry(const std::string& book, const char* entry);

class WindowFixture {
  public:
    WindowFixture();

    // Writes the page `name` into the pages' folder "My Pages" and gives its path.
    QString AddPage(const std::string& name, const std::string& content);
    // A page with `title` as its HTML title and `heading` as its first h1.
    static std::string Page(const std::string& title, const std::string& heading,
                            const std::string& body = "<p>Text.</p>");
    // Imports the pages (names in the pages' folder) through "Import Web Pages".
    void Import(const QStringList& names);
    // Runs the command and waits until the work it started has ended; false on a time-out.
    bool RunAndWait(void (MainWindow::*command)());
    bool RunAndWait(const std::function<void()>& start);

    TempFolder Temp;
    std::string Pages;  // the pages' folder
    BookProject Project;
    RecordingUserInterface Person;
    ListedFileChooser Files;
    std::unique_ptr<MainWindow> Window;
};

}  // namespace quirebook::testing
