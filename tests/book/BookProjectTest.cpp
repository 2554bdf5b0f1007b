#include "book/BookProject.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::RecordingUserInterface;
using testing::TempFolder;

TEST(BookProject, LaysOutItsFoldersFromTheRootsAndTheWorkArea) {
    const BookProject book({"/opt/q", "/home/ann/q"}, "/tmp/work");
    EXPECT_EQ(book.TemplateFolder, "/opt/q/lib/");
    EXPECT_EQ(book.WorkFolder, "/tmp/work/temp/");
    EXPECT_EQ(book.OpsFolder, "/tmp/work/temp/OPS/");
    EXPECT_EQ(book.WordTempFolder, "/tmp/work/doctmp/");
    EXPECT_EQ(book.OutputFolder, "/home/ann/q/myBook/");
    EXPECT_EQ(book.SettingsFile(), "/home/ann/q/setting.opt");
    EXPECT_EQ(book.UserLanguageList(), "/home/ann/q/lang/user.lang");
    EXPECT_EQ(book.CommonLanguageList(), "/opt/q/lang/common.lang");
    EXPECT_EQ(book.HelpFile(), "/opt/q/help/index.htm");
    EXPECT_TRUE(book.ChapterFiles.empty());
    EXPECT_TRUE(book.OutputPath.empty());
}

TEST(BookProject, StartsWithTheDefaultOptions) {
    const OptionFlags options;
    EXPECT_TRUE(options.PassEpubCheck);
    EXPECT_TRUE(options.RemoveScripts && options.RemoveMedia && options.RemoveForms);
    EXPECT_FALSE(options.RemoveImages || options.RemoveLinks);
    EXPECT_EQ(options.TitleSource, TitleSourceKind::FirstHeading);
    EXPECT_EQ(options.BaseFontSize, 0);
    EXPECT_TRUE(options.TocFromHeadings);
    EXPECT_FALSE(options.MakeTitlePage);
}

TEST(BookProject, AddLogEndsEachLineWithCrLf) {
    BookProject book({"/a", "/b"}, "/w");
    book.AddLog("one");
    book.AddLog("");
    book.AddLog("two");
    EXPECT_EQ(book.BuildLog, "one\r\n\r\ntwo\r\n");
}

TEST(BookProject, StepProgressMovesTheGaugeByTenUpToAHundred) {
    BookProject book({"/a", "/b"}, "/w");
    RecordingUserInterface ui;
    for (int step = 0; step < 12; ++step) book.StepProgress(ui, "step");
    ASSERT_EQ(ui.Progress.size(), 12u);
    EXPECT_EQ(ui.Progress[0].second, 10);
    EXPECT_EQ(ui.Progress[9].second, 100);
    EXPECT_EQ(ui.Progress[11].second, 100);
}

TEST(BookProject, ClearBookFoldersLeavesBothScratchFoldersThereAndEmpty) {
    TempFolder temp;
    BookProject book({temp.Path(), temp.Path()}, temp / "work");
    EXPECT_TRUE(book.ClearBookFolders());  // creates them the first time
    fs::create_directories(book.OpsFolder + "images");
    SaveTextFile(book.OpsFolder + "images/a.png", "a");
    SaveTextFile(book.WordTempFolder + "doc.htm", "d");
    book.ImageFiles = {"images/a.png"};
    book.ChapterTitles = {"One"};
    book.ChapterFiles = {"one.htm"};

    EXPECT_TRUE(book.ClearBookFolders());
    EXPECT_TRUE(fs::is_directory(book.OpsFolder) && fs::is_empty(book.OpsFolder));
    EXPECT_TRUE(fs::is_directory(book.WordTempFolder) && fs::is_empty(book.WordTempFolder));
    EXPECT_TRUE(book.ImageFiles.empty());
    EXPECT_TRUE(book.ChapterTitles.empty());
    EXPECT_EQ(book.ChapterFiles.size(), 1u);  // the chapter list belongs to the import
}

}  // namespace
}  // namespace quirebook
