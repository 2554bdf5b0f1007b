// The settings file setting.opt: its fixed line layout, reading it back, writing it.
#include "app/SettingsFile.h"

#include <array>
#include <charconv>
#include <climits>
#include <optional>
#include <string_view>

#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

// Line numbers are 1-based, as the file's layout counts them.
constexpr std::size_t LineCount = 32;
constexpr std::size_t OutputFolderLine = 1;
constexpr std::size_t FirstLayoutLine = 2;
constexpr std::size_t TitleSourceLine = 6;
constexpr std::size_t RemovalLine = 10;
constexpr std::size_t SplitSizeLine = 19;
constexpr std::size_t BaseFontSizeLine = 20;
constexpr std::size_t ExternalEditorLine = 21;
constexpr std::size_t EpubCheckJarLine = 22;
// The lines after the first 29 were added later: a file without them reads as their defaults.
constexpr std::size_t EpubVersionLine = 30;
constexpr std::size_t RemoveSelectorsLine = 32;
constexpr int LargestBaseFontSize = 255;

// Lines 2 to 4 hold texts that nothing reads; they are written so that the layout stays.
constexpr std::array<std::string_view, 3> LayoutLines{"morvanite", "", "0"};

struct BooleanLine {
    std::size_t Number;
    bool OptionFlags::*Flag;
};

// The lines holding "TRUE" or "FALSE".
constexpr std::array<BooleanLine, 20> BooleanLines{{
    {5, &OptionFlags::AutoChapterTitles},    {7, &OptionFlags::SaveBesideSource},
    {8, &OptionFlags::RemoveHtmlElements},   {9, &OptionFlags::OptimizeWordHtml},
    {11, &OptionFlags::StripTableWidth},     {12, &OptionFlags::RelativeFontSize},
    {13, &OptionFlags::MakeTitlePage},       {14, &OptionFlags::TocFromHeadings},
    {15, &OptionFlags::SplitWordOnSections}, {16, &OptionFlags::PassEpubCheck},
    {17, &OptionFlags::RemoveWordToc},       {18, &OptionFlags::ForceIBooksFont},
    {23, &OptionFlags::AllowNegativeValues}, {24, &OptionFlags::AllowLineHeight},
    {25, &OptionFlags::AllowPageBreak},      {26, &OptionFlags::AllowColumnWidth},
    {27, &OptionFlags::SevenLevelFontSize},  {28, &OptionFlags::UseWordProperties},
    {29, &OptionFlags::UseGlobalStyle},      {31, &OptionFlags::KeepFurniture},
}};

// Line 10: the elements removed from web pages, one digit each ("1" on, "0" off), in this order.
constexpr std::array<bool OptionFlags::*, 5> RemovalFlags{
    &OptionFlags::RemoveScripts, &OptionFlags::RemoveMedia, &OptionFlags::RemoveForms,
    &OptionFlags::RemoveImages, &OptionFlags::RemoveLinks};

std::string DefaultOutputFolder(const BookProject& book) {
    return book.UserFolder + "/myBook/";
}

// The file's lines 1 to 29. A line ends with CR LF or with LF alone (a file edited with a Unix
// editor); lines missing at the end of the file read as empty.
std::array<std::string_view, LineCount> SplitLines(std::string_view text) {
    std::array<std::string_view, LineCount> lines;
    for (std::string_view& line : lines) {
        if (text.empty()) break;
        const std::size_t end = text.find('\n');
        line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// The decimal integer the line holds (blanks around it allowed), when it lies within
// [minimum, maximum]; nothing for any other text.
std::optional<int> ReadInteger(std::string_view line, int minimum, int maximum) {
    const std::string_view digits = TrimBlanks(line);
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    if (value < minimum || value > maximum) return std::nullopt;
    return value;
}

// Reads the lines of `text` into `options` and `outputFolder` (as written, possibly empty).
// False at an unreadable integer or a bad line 10; the outputs are then partly written.
bool ReadSettings(std::string_view text, OptionFlags& options, std::string& outputFolder) {
    const std::array<std::string_view, LineCount> lines = SplitLines(text);
    const auto line = [&lines](std::size_t number) { return lines[number - 1]; };

    const std::optional<int> titleSource = ReadInteger(line(TitleSourceLine), 0, 2);
    const std::optional<int> splitSize = ReadInteger(line(SplitSizeLine), INT_MIN, INT_MAX);
    const std::optional<int> baseFontSize =
        TrimBlanks(line(BaseFontSizeLine)).empty()
            ? 0
            : ReadInteger(line(BaseFontSizeLine), 0, LargestBaseFontSize);
    if (!titleSource || !splitSize || !baseFontSize) return false;
    options.TitleSource = static_cast<TitleSourceKind>(*titleSource);
    options.SplitSizeKB = *splitSize;
    options.BaseFontSize = *baseFontSize;

    // An empty line 10 leaves the five flags as they are.
    const std::string_view removal = line(RemovalLine);
    if (!removal.empty()) {
        if (removal.size() < RemovalFlags.size()) return false;
        for (std::size_t i = 0; i < RemovalFlags.size(); ++i) {
            if (removal[i] < '0' || removal[i] > '9') return false;
            options.*RemovalFlags[i] = removal[i] != '0';
        }
    }

    for (const BooleanLine& boolean : BooleanLines)
        options.*boolean.Flag = TrimBlanks(line(boolean.Number)) == "TRUE";
    outputFolder = line(OutputFolderLine);
    options.ExternalEditor = line(ExternalEditorLine);
    options.EpubCheckJar = line(EpubCheckJarLine);
    options.EpubVersion = ReadInteger(line(EpubVersionLine), 3, 3).value_or(2);
    options.RemoveSelectors = line(RemoveSelectorsLine);
    return true;
}

std::string SettingsText(const BookProject& book) {
    const OptionFlags& options = book.Options;
    std::array<std::string, LineCount> lines;
    const auto line = [&lines](std::size_t number) -> std::string& { return lines[number - 1]; };

    line(OutputFolderLine) = book.OutputFolder;
    for (std::size_t i = 0; i < LayoutLines.size(); ++i) line(FirstLayoutLine + i) = LayoutLines[i];
    for (const BooleanLine& boolean : BooleanLines)
        line(boolean.Number) = options.*boolean.Flag ? "TRUE" : "FALSE";
    line(TitleSourceLine) = std::to_string(static_cast<int>(options.TitleSource));
    for (bool OptionFlags::*flag : RemovalFlags) line(RemovalLine) += options.*flag ? '1' : '0';
    line(SplitSizeLine) = std::to_string(options.SplitSizeKB);
    line(BaseFontSizeLine) = std::to_string(options.BaseFontSize);
    line(ExternalEditorLine) = options.ExternalEditor;
    line(EpubCheckJarLine) = options.EpubCheckJar;
    line(EpubVersionLine) = std::to_string(options.EpubVersion);
    line(RemoveSelectorsLine) = options.RemoveSelectors;

    std::string text;
    for (const std::string& each : lines) {
        text += each;
        text += "\r\n";
    }
    return text;
}

}  // namespace

void ResetSettings(BookProject& book) {
    const OptionFlags defaults;
    OptionFlags& options = book.Options;
    for (const BooleanLine& boolean : BooleanLines)
        if (boolean.Flag != &OptionFlags::TocFromHeadings)
            options.*boolean.Flag = defaults.*boolean.Flag;
    for (bool OptionFlags::*flag : RemovalFlags) options.*flag = defaults.*flag;
    options.TitleSource = defaults.TitleSource;
    options.BaseFontSize = defaults.BaseFontSize;
    options.ExternalEditor = defaults.ExternalEditor;
    options.EpubCheckJar = defaults.EpubCheckJar;
    options.EpubVersion = defaults.EpubVersion;
    options.RemoveSelectors = defaults.RemoveSelectors;
    book.OutputFolder = DefaultOutputFolder(book);
}

bool LoadSettings(BookProject& book) {
    // The file is read into copies, so that a file that fails half way leaves nothing of itself
    // behind, not even in the two options that ResetSettings keeps. An unreadable file loads as
    // the text "R", which fails like any other file without its integer lines.
    const std::string text = LoadTextFile(book.SettingsFile());
    OptionFlags options = book.Options;
    std::string outputFolder;
    if (text.empty() || !ReadSettings(text, options, outputFolder)) {
        ResetSettings(book);
        return false;
    }
    book.Options = std::move(options);
    book.OutputFolder = outputFolder.empty() ? DefaultOutputFolder(book) : outputFolder;
    return true;
}

void SaveSettings(const BookProject& book) {
    const std::string text = SettingsText(book);
    if (LoadTextFile(book.SettingsFile()) != text) ReplaceFileAtomically(book.SettingsFile(), text);
}

}  // namespace quirebook
