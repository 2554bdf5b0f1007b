#include "text/TextFiles.h"

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/InOutError.h"

namespace quirebook {
namespace {

using testing::TempFolder;

TEST(TextFiles, SaveAndLoadKeepEveryByte) {
    TempFolder folder;
    const std::string bytes("\xef\xbb\xbf<p>\r\n\0\xff</p>", 13);
    SaveTextFile(folder / "a.htm", bytes);
    EXPECT_EQ(LoadTextFile(folder / "a.htm"), bytes);
    EXPECT_EQ(FileSizeOf(folder / "a.htm"), 13);
    SaveTextFile(folder / "a.htm", "x");  // truncates
    EXPECT_EQ(LoadTextFile(folder / "a.htm"), "x");
}

TEST(TextFiles, LoadGivesEmptyForMissingAndRForUnreadable) {
    TempFolder folder;
    EXPECT_EQ(LoadTextFile(folder / "missing.htm"), "");
    EXPECT_EQ(LoadTextFile(folder / "missing/deeper.htm"), "");
    SaveTextFile(folder / "empty.htm", "");
    EXPECT_EQ(LoadTextFile(folder / "empty.htm"), "");
    EXPECT_EQ(LoadTextFile(folder.Path()), "R");
    // A named pipe with no writer must not stall the read.
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(LoadTextFile(folder / "pipe"), "R");
}

TEST(TextFiles, ReadRaisesForUnreadableFilesOnly) {
    TempFolder folder;
    EXPECT_EQ(ReadTextFile(folder / "missing.htm"), "");
    SaveTextFile(folder / "r.htm", "R");
    EXPECT_EQ(ReadTextFile(folder / "r.htm"), "R");
    try {
        ReadTextFile(folder.Path());
        FAIL() << "a folder was read";
    } catch (const InOutError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr(folder.Path()));
    }
}

TEST(TextFiles, SaveRaisesAnErrorNamingTheFile) {
    TempFolder folder;
    try {
        SaveTextFile(folder / "no/such/folder.htm", "x");
        FAIL() << "writing into a missing folder must raise";
    } catch (const InOutError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("no/such/folder.htm"));
    }
}

TEST(TextFiles, SizeOfMissingFileOrFolderIsZero) {
    TempFolder folder;
    EXPECT_EQ(FileSizeOf(folder / "missing"), 0);
    EXPECT_EQ(FileSizeOf(folder.Path()), 0);
}

}  // namespace
}  // namespace quirebook
