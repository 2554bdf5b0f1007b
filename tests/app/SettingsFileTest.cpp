// Tests of the settings file: its layout, reading every line, and the loads that must fail.
#include "app/SettingsFile.h"

#include <chrono>
#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// Every value the settings file holds, so that two projects compare in one expectation.
auto StoredValues(const BookProject& book) {
    const OptionFlags& o = book.Options;
    return std::tie(book.OutputFolder, o.AutoChapterTitles, o.TitleSource, o.SaveBesideSource,
                    o.RemoveHtmlElements, o.OptimizeWordHtml, o.RemoveScripts, o.RemoveMedia,
                    o.RemoveForms, o.RemoveImages, o.RemoveLinks, o.StripTableWidth,
                    o.RelativeFontSize, o.MakeTitlePage, o.TocFromHeadings, o.SplitWordOnSections,
                    o.PassEpubCheck, o.RemoveWordToc, o.ForceIBooksFont, o.SplitSizeKB,
                    o.BaseFontSize, o.ExternalEditor, o.EpubCheckJar, o.AllowNegativeValues,
                    o.AllowLineHeight, o.AllowPageBreak, o.AllowColumnWidth, o.SevenLevelFontSize,
                    o.UseWordProperties, o.UseGlobalStyle, o.EpubVersion, o.KeepFurniture,
                    o.RemoveSelectors);
}

class Settings : public ::testing::Test {
  protected:
    TempFolder temp;
    BookProject book{{temp.Path(), temp.Path()}, temp / "work"};
    const BookProject defaults{{temp.Path(), temp.Path()}, temp / "work"};

    // The lines of the default settings, to be changed line by line.
    std::vector<std::string> DefaultLines() const {
        return {temp / "myBook/", "morvanite", "",      "0",    "TRUE",  "2",    "FALSE", "TRUE",
                "TRUE",           "11100",     "TRUE",  "TRUE", "FALSE", "TRUE", "TRUE",  "TRUE",
                "TRUE",           "FALSE",     "0",     "0",    "",      "",     "FALSE", "TRUE",
                "TRUE",           "TRUE",      "FALSE", "TRUE", "FALSE", "2",    "FALSE", ""};
    }
    static std::string Joined(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        return text;
    }
    // Loads `lines` as the settings file, every stored option having been moved off its default.
    bool LoadChanged(const std::vector<std::string>& lines) {
        ChangeEveryOption();
        SaveTextFile(book.SettingsFile(), Joined(lines));
        return LoadSettings(book);
    }
    void ChangeEveryOption() {
        OptionFlags& o = book.Options;
        book.OutputFolder = "/srv/books/";
        o.AutoChapterTitles = o.RemoveHtmlElements = o.OptimizeWordHtml = false;
        o.SaveBesideSource = true;
        o.TitleSource = TitleSourceKind::FileName;
        o.RemoveScripts = o.RemoveMedia = o.RemoveForms = false;
        o.RemoveImages = o.RemoveLinks = o.MakeTitlePage = o.ForceIBooksFont = true;
        o.StripTableWidth = o.RelativeFontSize = o.SplitWordOnSections = o.PassEpubCheck = false;
        o.RemoveWordToc = o.AllowLineHeight = o.AllowPageBreak = o.AllowColumnWidth = false;
        o.UseWordProperties = false;
        o.AllowNegativeValues = o.SevenLevelFontSize = o.UseGlobalStyle = true;
        o.BaseFontSize = 18;
        o.ExternalEditor = "/usr/bin/vim";
        o.EpubCheckJar = "/opt/epubcheck.jar";
        o.EpubVersion = 3;
        o.KeepFurniture = true;
        o.RemoveSelectors = "div.sphinxsidebar, #footer > p";
    }
};

TEST_F(Settings, DefaultsAreWrittenAsTheFixedLayout) {
    SaveSettings(book);
    EXPECT_EQ(LoadTextFile(book.SettingsFile()), Joined(DefaultLines()));
}

TEST_F(Settings, EachLineIsReadIntoItsOption) {
    // LF alone ends a line too.
    SaveTextFile(
        book.SettingsFile(),
        "C:\\Books\\\nother\nx\n7\nFALSE\n1\nTRUE\nFALSE\nTRUE\n01011\n"                  // 1-10
        "FALSE\nTRUE\nTRUE\nTRUE\nFALSE\nTRUE\nFALSE\nTRUE\n512\n16\n"                    // 11-20
        "/usr/bin/gvim\n/opt/check.jar\nTRUE\nFALSE\nTRUE\nFALSE\nTRUE\nFALSE\nTRUE\n");  // 21-29
    ASSERT_TRUE(LoadSettings(book));
    const OptionFlags& o = book.Options;
    EXPECT_EQ(book.OutputFolder, "C:\\Books\\");  // taken as read
    EXPECT_EQ(o.TitleSource, TitleSourceKind::HtmlTitle);
    EXPECT_FALSE(o.AutoChapterTitles || o.RemoveHtmlElements || o.RemoveScripts || o.RemoveForms);
    EXPECT_TRUE(o.SaveBesideSource && o.OptimizeWordHtml);
    EXPECT_TRUE(o.RemoveMedia && o.RemoveImages && o.RemoveLinks);
    EXPECT_FALSE(o.StripTableWidth || o.SplitWordOnSections || o.RemoveWordToc);
    EXPECT_TRUE(o.RelativeFontSize && o.MakeTitlePage && o.TocFromHeadings && o.PassEpubCheck);
    EXPECT_TRUE(o.ForceIBooksFont && o.UseGlobalStyle);
    EXPECT_EQ(o.SplitSizeKB, 512);
    EXPECT_EQ(o.BaseFontSize, 16);
    EXPECT_EQ(o.ExternalEditor, "/usr/bin/gvim");
    EXPECT_EQ(o.EpubCheckJar, "/opt/check.jar");
    EXPECT_TRUE(o.AllowNegativeValues && o.AllowPageBreak && o.SevenLevelFontSize);
    EXPECT_FALSE(o.AllowLineHeight || o.AllowColumnWidth || o.UseWordProperties);
}

TEST_F(Settings, TheEpubVersionIsLineThirtyAndAFileWithoutItReadsAsTwo) {
    std::vector<std::string> lines = DefaultLines();
    lines[29] = "3";
    ASSERT_TRUE(LoadChanged(lines));
    EXPECT_EQ(book.Options.EpubVersion, 3);
    lines.resize(29);  // a file written before the line was added
    ASSERT_TRUE(LoadChanged(lines));
    EXPECT_EQ(book.Options.EpubVersion, 2);
    EXPECT_EQ(StoredValues(book), StoredValues(defaults));
    for (const char* unreadable : {"4", "three", "0"}) {
        lines = DefaultLines();
        lines[29] = unreadable;
        ASSERT_TRUE(LoadChanged(lines)) << unreadable;  // the other lines still count
        EXPECT_EQ(book.Options.EpubVersion, 2) << unreadable;
    }
    book.Options.EpubVersion = 3;
    SaveSettings(book);
    lines = DefaultLines();
    lines[29] = "3";
    EXPECT_EQ(LoadTextFile(book.SettingsFile()), Joined(lines));
}

TEST_F(Settings, EveryStoredOptionSurvivesSaveAndLoadAndTheOthersDoNot) {
    ChangeEveryOption();
    book.Options.TocFromHeadings = false;
    book.Options.SplitSizeKB = -3;
    book.Options.ExtremeMode = book.Options.RemoveStyleBlocks = true;
    SaveSettings(book);
    BookProject loaded({temp.Path(), temp.Path()}, temp / "work");
    ASSERT_TRUE(LoadSettings(loaded));
    EXPECT_EQ(StoredValues(loaded), StoredValues(book));
    EXPECT_FALSE(loaded.Options.ExtremeMode || loaded.Options.RemoveStyleBlocks);
}

TEST_F(Settings, SavingUnchangedSettingsLeavesTheFileAlone) {
    SaveSettings(book);
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(48);
    fs::last_write_time(book.SettingsFile(), old);
    SaveSettings(book);
    EXPECT_EQ(fs::last_write_time(book.SettingsFile()), old);
    book.Options.MakeTitlePage = true;
    SaveSettings(book);
    EXPECT_NE(fs::last_write_time(book.SettingsFile()), old);
}

TEST_F(Settings, MissingEmptyOrUnreadableFileGivesTheDefaults) {
    EXPECT_FALSE(LoadChanged({}));  // an empty file
    EXPECT_EQ(StoredValues(book), StoredValues(defaults));
    fs::remove(book.SettingsFile());
    for (bool folder : {false, true}) {  // missing, then a folder that cannot be read as a file
        if (folder) fs::create_directory(book.SettingsFile());
        ChangeEveryOption();
        EXPECT_FALSE(LoadSettings(book));
        EXPECT_EQ(StoredValues(book), StoredValues(defaults));
    }
}

TEST_F(Settings, ATwentyLineFileLoadsWithEmptyPathsAndFalseBooleansAfterIt) {
    std::vector<std::string> lines = DefaultLines();
    lines.resize(20);
    lines[0] = "";  // an empty output folder is the default one
    ASSERT_TRUE(LoadChanged(lines));
    const OptionFlags& o = book.Options;
    EXPECT_EQ(book.OutputFolder, temp / "myBook/");
    EXPECT_EQ(o.ExternalEditor, "");
    EXPECT_EQ(o.EpubCheckJar, "");
    EXPECT_FALSE(o.AllowNegativeValues || o.AllowLineHeight || o.AllowPageBreak ||
                 o.AllowColumnWidth || o.SevenLevelFontSize || o.UseWordProperties ||
                 o.UseGlobalStyle);
    EXPECT_TRUE(o.PassEpubCheck);  // line 16 was there
}

TEST_F(Settings, TheFurnitureLinesAreReadAndAFileWithoutThemGivesTheirDefaults) {
    std::vector<std::string> lines = DefaultLines();
    lines[30] = "TRUE";
    lines[31] = "nav.top, div[role=note]";
    ASSERT_TRUE(LoadChanged(lines));
    EXPECT_TRUE(book.Options.KeepFurniture);
    EXPECT_EQ(book.Options.RemoveSelectors, "nav.top, div[role=note]");
    lines.resize(29);  // a file written before these lines existed
    ASSERT_TRUE(LoadChanged(lines));
    EXPECT_EQ(StoredValues(book), StoredValues(defaults));
}

TEST_F(Settings, ABadLineTenOrIntegerFailsTheLoadAndAllDefaultsApply) {
    const std::vector<std::pair<std::size_t, std::string>> badLines = {
        {10, "1110"}, {10, "11a00"}, {10, " 1100"},      {6, "two"}, {6, "3"},   {6, ""},
        {19, ""},     {19, "1.5"},   {19, "9999999999"}, {20, "x"},  {20, "256"}};
    for (const auto& [number, text] : badLines) {
        std::vector<std::string> lines = DefaultLines();
        lines[number - 1] = text;
        lines[13] = "TRUE";  // lines 14 and 19 have no default: nothing of the file may stay
        if (number != 19) lines[18] = "64";
        EXPECT_FALSE(LoadChanged(lines)) << "line " << number << ": " << text;
        EXPECT_EQ(StoredValues(book), StoredValues(defaults)) << "line " << number;
    }
}

TEST_F(Settings, LooseButReadableLinesLoadAndOnlyUpperCaseTrueIsTrue) {
    std::vector<std::string> lines = DefaultLines();
    lines[4] = "true";
    lines[5] = " 0 ";
    lines[9] = "0100111";  // the first five digits count
    lines[13] = " TRUE\t";
    lines[14] = "TRUE1";
    lines[19] = "";  // automatic font size
    ASSERT_TRUE(LoadChanged(lines));
    const OptionFlags& o = book.Options;
    EXPECT_FALSE(o.AutoChapterTitles || o.SplitWordOnSections);
    EXPECT_TRUE(o.TocFromHeadings);
    EXPECT_EQ(o.TitleSource, TitleSourceKind::FileName);
    EXPECT_TRUE(o.RemoveMedia && o.RemoveLinks);
    EXPECT_FALSE(o.RemoveScripts || o.RemoveForms || o.RemoveImages);
    EXPECT_EQ(o.BaseFontSize, 0);
}

TEST_F(Settings, ResetKeepsTheOptionsWithoutADefault) {
    ChangeEveryOption();
    book.Options.TocFromHeadings = false;
    book.Options.ExtremeMode = true;
    book.Options.SplitSizeKB = 40;
    ResetSettings(book);
    EXPECT_TRUE(!book.Options.TocFromHeadings && book.Options.ExtremeMode);
    EXPECT_EQ(book.Options.SplitSizeKB, 40);
    book.Options.TocFromHeadings = true;
    book.Options.SplitSizeKB = 0;
    EXPECT_EQ(StoredValues(book), StoredValues(defaults));
}

}  // namespace
}  // namespace quirebook
