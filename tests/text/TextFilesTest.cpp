#include "text/TextFiles.h"

#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/InOutError.h"
#include "text/ScratchPaths.h"

namespace quirebook {
namespace {

using ::testing::HasSubstr;
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

TEST(TextFiles, AnAtomicReplacementLeavesTheOldFileOrTheNewOneAndNothingElse) {
    TempFolder folder;
    SaveTextFile(folder / "book.epub", "old");
    ReplaceFileAtomically(folder / "book.epub", std::string("new\0bytes", 9));
    EXPECT_EQ(LoadTextFile(folder / "book.epub"), std::string("new\0bytes", 9));
    struct stat info {};
    ASSERT_EQ(::stat((folder / "book.epub").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_THAT([&] { ReplaceFileAtomically(folder / "missing/book.epub", "x"); },
                ::testing::ThrowsMessage<InOutError>(HasSubstr(folder / "missing/book.epub")));
    // A target that cannot be replaced (a folder) keeps what it holds, and no scratch is left.
    std::filesystem::create_directories(folder / "taken/inside");
    EXPECT_THROW(ReplaceFileAtomically(folder / "taken", "x"), InOutError);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken/inside"));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.push_back(entry.path().filename().string());
    EXPECT_THAT(names, ::testing::UnorderedElementsAre("book.epub", "taken"));
}

TEST(ScratchPaths, OnlyRegisteredPathsAreRemovedAndOnlyWhileTheyAreRegistered) {
    TempFolder folder;
    std::filesystem::create_directories(folder / "area/OPS");
    SaveTextFile(folder / "area/OPS/c.htm", "x");
    SaveTextFile(folder / "half.epub", "x");
    SaveTextFile(folder / "released.epub", "x");
    SaveTextFile(folder / "book.epub", "x");
    const ScratchPath area(folder / "area");
    const ScratchPath half(folder / "half.epub");
    { const ScratchPath released(folder / "released.epub"); }
    RemoveAllScratch();
    EXPECT_FALSE(std::filesystem::exists(folder / "area"));
    EXPECT_FALSE(std::filesystem::exists(folder / "half.epub"));
    EXPECT_TRUE(std::filesystem::exists(folder / "released.epub"));
    EXPECT_TRUE(std::filesystem::exists(folder / "book.epub"));
}

TEST(TextFiles, SizeOfMissingFileOrFolderIsZero) {
    TempFolder folder;
    EXPECT_EQ(FileSizeOf(folder / "missing"), 0);
    EXPECT_EQ(FileSizeOf(folder.Path()), 0);
}

}  // namespace
}  // namespace quirebook
