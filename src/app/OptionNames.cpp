#include "app/OptionNames.h"

#include <charconv>
#include <stdexcept>
#include <variant>

namespace quirebook {

namespace {

using Member = std::variant<bool OptionFlags::*, int OptionFlags::*, std::string OptionFlags::*,
                            TitleSourceKind OptionFlags::*>;

struct NamedOption {
    const char* Name;
    Member Field;
};

const NamedOption kOptions[] = {
    {"AutoChapterTitles", &OptionFlags::AutoChapterTitles},
    {"TitleSource", &OptionFlags::TitleSource},
    {"SaveBesideSource", &OptionFlags::SaveBesideSource},
    {"RemoveHtmlElements", &OptionFlags::RemoveHtmlElements},
    {"RemoveScripts", &OptionFlags::RemoveScripts},
    {"RemoveMedia", &OptionFlags::RemoveMedia},
    {"RemoveForms", &OptionFlags::RemoveForms},
    {"RemoveImages", &OptionFlags::RemoveImages},
    {"RemoveLinks", &OptionFlags::RemoveLinks},
    {"OptimizeWordHtml", &OptionFlags::OptimizeWordHtml},
    {"ExtremeMode", &OptionFlags::ExtremeMode},
    {"StripTableWidth", &OptionFlags::StripTableWidth},
    {"RelativeFontSize", &OptionFlags::RelativeFontSize},
    {"SevenLevelFontSize", &OptionFlags::SevenLevelFontSize},
    {"BaseFontSize", &OptionFlags::BaseFontSize},
    {"MakeTitlePage", &OptionFlags::MakeTitlePage},
    {"TocFromHeadings", &OptionFlags::TocFromHeadings},
    {"SplitWordOnSections", &OptionFlags::SplitWordOnSections},
    {"SplitSizeKB", &OptionFlags::SplitSizeKB},
    {"UseWordProperties", &OptionFlags::UseWordProperties},
    {"RemoveWordToc", &OptionFlags::RemoveWordToc},
    {"ForceIBooksFont", &OptionFlags::ForceIBooksFont},
    {"AllowNegativeValues", &OptionFlags::AllowNegativeValues},
    {"AllowLineHeight", &OptionFlags::AllowLineHeight},
    {"AllowPageBreak", &OptionFlags::AllowPageBreak},
    {"AllowColumnWidth", &OptionFlags::AllowColumnWidth},
    {"UseGlobalStyle", &OptionFlags::UseGlobalStyle},
    {"PassEpubCheck", &OptionFlags::PassEpubCheck},
    {"EpubVersion", &OptionFlags::EpubVersion},
    {"ExternalEditor", &OptionFlags::ExternalEditor},
    {"EpubCheckJar", &OptionFlags::EpubCheckJar},
    {"KeepFurniture", &OptionFlags::KeepFurniture},
    {"RemoveSelectors", &OptionFlags::RemoveSelectors},
    {"RemoveStyleBlocks", &OptionFlags::RemoveStyleBlocks},
    {"RemoveStyleLinks", &OptionFlags::RemoveStyleLinks},
    {"RemoveInlineStyles", &OptionFlags::RemoveInlineStyles},
};

[[noreturn]] void Refuse(std::string_view name, std::string_view value, const char* expected) {
    throw std::invalid_argument("The option " + std::string(name) + " takes " + expected +
                                ", not \"" + std::string(value) + "\"");
}

int ReadNumber(std::string_view name, std::string_view value) {
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size() || number < 0)
        Refuse(name, value, "a whole number");
    return number;
}

}  // namespace

void SetOptionByName(OptionFlags& options, std::string_view name, std::string_view value) {
    for (const NamedOption& option : kOptions) {
        if (name != option.Name) continue;
        if (const auto* flag = std::get_if<bool OptionFlags::*>(&option.Field)) {
            if (value != "true" && value != "false") Refuse(name, value, "true or false");
            options.*(*flag) = value == "true";
        } else if (const auto* number = std::get_if<int OptionFlags::*>(&option.Field)) {
            const int read = ReadNumber(name, value);
            if (name == "EpubVersion" && read != 2 && read != 3) Refuse(name, value, "2 or 3");
            options.*(*number) = read;
        } else if (const auto* text = std::get_if<std::string OptionFlags::*>(&option.Field)) {
            options.*(*text) = std::string(value);
        } else {
            const int source = ReadNumber(name, value);
            if (source > 2) Refuse(name, value, "0, 1 or 2");
            options.TitleSource = static_cast<TitleSourceKind>(source);
        }
        return;
    }
    throw std::invalid_argument("There is no option called " + std::string(name));
}

std::vector<std::string> OptionNames() {
    std::vector<std::string> names;
    for (const NamedOption& option : kOptions) names.push_back(option.Name);
    return names;
}

}  // namespace quirebook
