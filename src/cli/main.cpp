// quirebook: the command line front end, which makes books without a window.
#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv) {
    CLI::App app{
        "Quirebook turns ordinary documents (a folder of web pages, a web page saved by Word, a "
        "Word document) into one EPUB 2 book.",
        "quirebook"};
    app.set_version_flag("--version", std::string("quirebook ") + QUIREBOOK_VERSION,
                         "Print the program's version and exit");
    app.footer(
        "Exit status: 0 on success, 1 when the book could not be made, 2 for a usage "
        "error.");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : 2;
    }
    std::cout << app.help();
    return 0;
}
