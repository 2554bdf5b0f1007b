// Fuzz target: the settings file and the language files read from bytes. A settings file read
// completely is written back, and that text must read again to the same text; a language list
// gives names without blanks around them, and a language dictionary gives a code for any name.
#include <filesystem>

#include "FuzzSupport.h"
#include "app/BookLanguages.h"
#include "app/SettingsFile.h"
#include "text/TextFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quirebook;
    const fuzz::FuzzInput input(data, size);
    const std::string& folder = fuzz::EmptyScratchFolder();
    BookProject book(fuzz::SourceAppFolders(folder), folder + "/work");
    if (input.Flag(0)) {
        SaveTextFile(book.SettingsFile(), input.Text());
        if (!LoadSettings(book)) return 0;
        std::filesystem::remove(book.SettingsFile());
        SaveSettings(book);
        const std::string written = LoadTextFile(book.SettingsFile());
        fuzz::Require(LoadSettings(book), "the written settings read back");
        std::filesystem::remove(book.SettingsFile());
        SaveSettings(book);
        fuzz::Require(LoadTextFile(book.SettingsFile()) == written,
                      "the settings written twice alike");
        return 0;
    }
    const auto [list, name] = input.SplitText(std::string_view("\0", 1));
    std::filesystem::create_directories(
        std::filesystem::path(book.UserLanguageList()).parent_path());
    SaveTextFile(book.UserLanguageList(), list);
    for (const std::string& each : ReadLanguageList(book.UserLanguageList())) {
        fuzz::Require(!each.empty(), "no empty language name");
        fuzz::Require(each.front() != ' ' && each.back() != ' ', "no blanks around a name");
    }
    BookLanguageNames(book);
    const std::string langFolder = folder + "/lang";
    std::filesystem::create_directories(langFolder);
    SaveTextFile(langFolder + "/lang.dic", list);
    fuzz::Require(!LanguageCode(name, langFolder).empty(), "a language code for every name");
    return 0;
}
