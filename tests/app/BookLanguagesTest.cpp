// Tests of the book language: name-to-code lookup, the .lang list files and the installed lists.
#include "app/BookLanguages.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

const std::string InstalledLangFolder = QUIREBOOK_SOURCE_DIR "/data/lang";

TEST(LanguageCode, BuiltInNamesWithoutADictionary) {
    TempFolder empty;  // no lang.dic
    // The common six ignore case; the other built-in entries are case-sensitive ("russian"), a
    // name counts only where it begins an entry ("krainian"), and "Ukrainian" has no comma after
    // it there.
    const auto code = [&empty](const char* name) { return LanguageCode(name, empty.Path()); };
    EXPECT_EQ(code("english"), "en");
    EXPECT_EQ(code("KOREAN"), "ko");
    EXPECT_EQ(code("Japanese"), "ja");
    EXPECT_EQ(code("Ukrainian"), "uk");
    EXPECT_EQ(code("Chinese (Simplified)"), "zh-CN");
    EXPECT_EQ(code("Chinese (Traditional)"), "zh-TW");
    EXPECT_EQ(code("Hebrew"), "iw");
    EXPECT_EQ(code("Arabic"), "ar");
    EXPECT_EQ(code("russian"), "en");
    EXPECT_EQ(code("krainian"), "en");
    EXPECT_EQ(code(""), "en");
}

TEST(LanguageCode, LooksUpTheDictionaryAfterTheBuiltInNames) {
    TempFolder temp;
    fs::create_directories(temp / "lang");
    SaveTextFile(temp / "lang/lang.dic",
                 "Basque,eo:Esperanto,ms:Malay,ml:Malayalam,\r\ncy:Welsh,xx:Russian");
    const BookProject book({temp.Path(), temp / "user"}, temp / "work");
    EXPECT_EQ(LanguageCode("Esperanto", book), "eo");
    EXPECT_EQ(LanguageCode("Malay", book), "ms");
    EXPECT_EQ(LanguageCode("Malayalam", book), "ml");
    EXPECT_EQ(LanguageCode("Welsh", book), "cy");
    EXPECT_EQ(LanguageCode("Russian", book), "ru");
    EXPECT_EQ(LanguageCode("Basque", book), "en");  // no code before it
    EXPECT_EQ(LanguageCode("elsh", book), "en");
    EXPECT_EQ(LanguageCode("Klingon", book), "en");
}

TEST(LanguageNameOfCode, NamesTheLanguageOfATagAsLanguageCodeReadsItBack) {
    const auto name = [](const char* tag) { return LanguageNameOfCode(tag, InstalledLangFolder); };
    EXPECT_EQ(name("EN-US"), "English");
    EXPECT_EQ(name("fr"), "French");
    EXPECT_EQ(name("fa-IR"), "Persian");
    EXPECT_EQ(name("ru_RU"), "Russian");
    EXPECT_EQ(name("zh-CN"), "Chinese (Simplified)");
    EXPECT_EQ(name("zh-Hant-TW"), "Chinese (Traditional)");
    EXPECT_EQ(name("he-IL"), "Hebrew");
    EXPECT_EQ(name("x-klingon"), "");
    EXPECT_EQ(name("qq"), "");
    EXPECT_EQ(name(""), "");
    // Every two-letter code of the dictionary comes back from its name.
    const std::string dictionary = LoadTextFile(InstalledLangFolder + "/lang.dic");
    std::size_t checked = 0;
    for (std::size_t at = 0; at + 3 < dictionary.size(); at = dictionary.find(',', at) + 1) {
        const std::string code = dictionary.substr(at, 2);
        if (dictionary[at + 2] != ':' || code == "zh" || code == "he") continue;
        EXPECT_EQ(LanguageCode(name(code.c_str()), InstalledLangFolder), code) << code;
        ++checked;
        if (dictionary.find(',', at) == std::string::npos) break;
    }
    EXPECT_GT(checked, 150u);
}

TEST(LanguageList, WritesCrLfLinesAndReadsBackLooseFiles) {
    TempFolder temp;
    const std::string list = temp / "user/lang/user.lang";  // the folder is made
    WriteLanguageList(list, {"Welsh", "Chinese (Simplified)"});
    EXPECT_EQ(LoadTextFile(list), "Welsh\r\nChinese (Simplified)\r\n");
    EXPECT_EQ(ReadLanguageList(list), (std::vector<std::string>{"Welsh", "Chinese (Simplified)"}));

    SaveTextFile(list,
                 "\xEF\xBB\xBF"
                 "English\n\n  \r\n French \r\nGerman");
    EXPECT_EQ(ReadLanguageList(list), (std::vector<std::string>{"English", "French", "German"}));
    EXPECT_TRUE(ReadLanguageList(temp / "missing.lang").empty());
    EXPECT_TRUE(ReadLanguageList(temp / "user").empty());  // a folder cannot be read
}

TEST(LanguageList, TheDropDownTakesTheUserListElseTheCommonListElseFourNames) {
    TempFolder temp;
    const BookProject book({temp / "app", temp / "user"}, temp / "work");
    EXPECT_EQ(BookLanguageNames(book),
              (std::vector<std::string>{"English", "French", "Spanish", "German"}));
    WriteLanguageList(book.CommonLanguageList(), {"Welsh", "Irish"});
    EXPECT_EQ(BookLanguageNames(book), (std::vector<std::string>{"Welsh", "Irish"}));
    WriteLanguageList(book.UserLanguageList(), {});  // an empty list offers nothing to choose
    EXPECT_EQ(BookLanguageNames(book), (std::vector<std::string>{"Welsh", "Irish"}));
    EXPECT_EQ(StartingBookLanguage(book), "Welsh");
    WriteLanguageList(book.UserLanguageList(), {"Basque"});
    EXPECT_EQ(BookLanguageNames(book), std::vector<std::string>{"Basque"});
    EXPECT_EQ(StartingBookLanguage(book), "Basque");
}

TEST(InstalledLanguageLists, EveryNameOfferedGetsItsCode) {
    const std::vector<std::string> all = ReadLanguageList(InstalledLangFolder + "/all.lang");
    const std::vector<std::string> common = ReadLanguageList(InstalledLangFolder + "/common.lang");
    ASSERT_GT(all.size(), 100u);
    ASSERT_FALSE(common.empty());
    EXPECT_EQ(common.front(), "English");
    for (const std::string& name : common)
        EXPECT_NE(std::find(all.begin(), all.end(), name), all.end()) << name;
    for (const char* file : {"/all.lang", "/common.lang"}) {
        const std::string text = LoadTextFile(InstalledLangFolder + file);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
                  std::count(text.begin(), text.end(), '\r'))
            << file << " must end its lines with CR LF";
    }

    // The dictionary's entries "xx:Name", split apart independently of the lookup.
    std::map<std::string, std::string> dictionary;
    std::string entries = LoadTextFile(InstalledLangFolder + "/lang.dic");
    std::replace(entries.begin(), entries.end(), '\r', ',');
    std::replace(entries.begin(), entries.end(), '\n', ',');
    for (std::size_t start = 0, end = 0; start < entries.size(); start = end + 1) {
        end = std::min(entries.find(',', start), entries.size());
        if (end == start) continue;
        const std::string entry = entries.substr(start, end - start);
        ASSERT_TRUE(entry.size() > 3 && entry[2] == ':') << entry;
        dictionary.emplace(entry.substr(3), entry.substr(0, 2));
    }
    // The built-in entries answer first for these, with their own codes.
    const std::map<std::string, std::string> builtIn = {
        {"Hebrew", "iw"}, {"Chinese (Simplified)", "zh-CN"}, {"Chinese (Traditional)", "zh-TW"}};
    for (const std::string& name : all) {
        ASSERT_TRUE(dictionary.contains(name)) << name << " is not in lang.dic";
        const auto special = builtIn.find(name);
        EXPECT_EQ(LanguageCode(name, InstalledLangFolder),
                  special == builtIn.end() ? dictionary[name] : special->second)
            << name;
    }
}

}  // namespace
}  // namespace quirebook
