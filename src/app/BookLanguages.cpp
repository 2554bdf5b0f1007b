// Language names to language codes, and reading and writing the .lang list files.
#include "app/BookLanguages.h"

#include <array>
#include <filesystem>
#include <utility>

#include "text/InOutError.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

// Compared with the whole name, without regard to case.
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> CommonLanguages{{
    {"english", "en"},
    {"french", "fr"},
    {"spanish", "es"},
    {"german", "de"},
    {"japanese", "ja"},
    {"korean", "ko"},
}};

// Entries "xx:Name", searched case-sensitively. There is no comma after "uk:Ukrainian"; the
// name is found all the same, since only the bytes before a name make its code. Hebrew has its
// older code "iw" here.
constexpr std::string_view BuiltInEntries =
    "ar:Arabic,hr:Croatian,cs:Czech,da:Danish,nl:Dutch,et:Estonian,fi:Finnish,ka:Georgian,"
    "de:German,el:Greek,iw:Hebrew,hu:Hungarian,is:Icelandic,ga:Irish,it:Italian,ja:Japanese,"
    "ko:Korean,la:Latin,lv:Latvian,lt:Lithuanian,mk:Macedonian,no:Norwegian,pl:Polish,"
    "pt:Portuguese,ro:Romanian,ru:Russian,sr:Serbian,sk:Slovak,sl:Slovenian,sv:Swedish,"
    "tr:Turkish,uk:Ukrainianzh-CN:Chinese (Simplified),zh-TW:Chinese (Traditional)";

constexpr std::array<std::string_view, 4> BuiltInBookLanguages{"English", "French", "Spanish",
                                                               "German"};

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// The two bytes before ":" at the first place where `name` begins an entry of `entries`; empty
// when it begins none. Occurrences inside a name ("rabic") do not count: the bytes before them
// would not be a code.
std::string_view EntryCode(std::string_view entries, std::string_view name) {
    if (name.empty()) return {};
    for (std::size_t at = entries.find(name); at != std::string_view::npos;
         at = entries.find(name, at + 1))
        if (at >= 3 && entries[at - 1] == ':') return entries.substr(at - 3, 2);
    return {};
}

}  // namespace

std::string LanguageCode(std::string_view name, const std::string& langFolder) {
    for (const auto& [common, code] : CommonLanguages)
        if (EqualIgnoringCase(name, common)) return std::string(code);
    const std::string_view builtIn = EntryCode(BuiltInEntries, name);
    // Chinese entries carry "zh-CN" and "zh-TW": the two bytes before ":" are the region.
    if (builtIn == "CN" || builtIn == "TW") return "zh-" + std::string(builtIn);
    if (!builtIn.empty()) return std::string(builtIn);
    const std::string dictionary = LoadTextFile(langFolder + "/lang.dic");
    const std::string_view code = EntryCode(dictionary, name);
    return code.empty() ? "en" : std::string(code);
}

std::string LanguageCode(std::string_view name, const BookProject& book) {
    return LanguageCode(name, book.AppFolder + "/lang");
}

std::string LanguageNameOfCode(std::string_view tag, const std::string& langFolder) {
    std::string code = AsciiLower(tag);
    for (char& c : code)
        if (c == '_') c = '-';
    const std::string primary = code.substr(0, code.find('-'));
    if (primary == "zh") {
        const bool traditional =
            code.find("-tw") != std::string::npos || code.find("-hk") != std::string::npos ||
            code.find("-mo") != std::string::npos || code.find("-hant") != std::string::npos;
        return traditional ? "Chinese (Traditional)" : "Chinese (Simplified)";
    }
    if (primary.size() != 2) return {};
    if (primary == "iw" || primary == "he") return "Hebrew";
    for (const auto& [common, commonCode] : CommonLanguages) {
        if (commonCode != primary) continue;
        std::string name(common);
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        return name;
    }
    const std::string dictionary = LoadTextFile(langFolder + "/lang.dic");
    const std::string entry = primary + ":";
    for (std::size_t at = dictionary.find(entry); at != std::string::npos;
         at = dictionary.find(entry, at + 1)) {
        if (at != 0 && dictionary[at - 1] != ',') continue;
        const std::size_t start = at + entry.size();
        const std::size_t end = dictionary.find_first_of(",\r\n", start);
        return dictionary.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }
    return {};
}

std::string LanguageNameOfCode(std::string_view tag, const BookProject& book) {
    return LanguageNameOfCode(tag, book.AppFolder + "/lang");
}

std::vector<std::string> ReadLanguageList(const std::string& path) {
    const std::string content = LoadTextFile(path);
    // LoadTextFile gives "R" for a file it cannot read (a folder, say); that counts as missing.
    if (content == "R" && FileSizeOf(path) != 1) return {};
    std::string_view text = content;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view name = TrimBlanks(text.substr(0, end));
        if (!name.empty()) names.emplace_back(name);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return names;
}

void WriteLanguageList(const std::string& path, const std::vector<std::string>& names) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    if (error) ThrowInOutError("create", folder.string(), error.value());
    std::string text;
    for (const std::string& name : names) {
        text += name;
        text += "\r\n";
    }
    ReplaceFileAtomically(path, text);
}

std::vector<std::string> BookLanguageNames(const BookProject& book) {
    for (const std::string& list : {book.UserLanguageList(), book.CommonLanguageList()}) {
        std::vector<std::string> names = ReadLanguageList(list);
        if (!names.empty()) return names;
    }
    return {BuiltInBookLanguages.begin(), BuiltInBookLanguages.end()};
}

std::string StartingBookLanguage(const BookProject& book) {
    return BookLanguageNames(book).front();
}

}  // namespace quirebook
