#include "app/PlatformFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/InOutError.h"
#include "text/ScratchPaths.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::TempFolder;

TEST(LocateAppFolders, ReadsDataBesideTheProgramWhenItIsThere) {
    TempFolder temp;
    fs::create_directories(temp / "bin/lib");
    const AppFolders folders = LocateAppFolders(temp / "bin");
    EXPECT_EQ(folders.AppFolder, temp / "bin");
    EXPECT_EQ(folders.UserFolder, temp / "bin");
}

TEST(LocateAppFolders, FindsAnInstalledCopyUnderShare) {
    TempFolder temp;
    fs::create_directories(temp / "usr/bin");
    fs::create_directories(temp / "usr/share/quirebook/lib");
    EXPECT_EQ(LocateAppFolders(temp / "usr/bin").AppFolder, temp / "usr/share/quirebook");
}

TEST(LocateAppFolders, WritesToTheUserDataFolderWhenTheProgramFolderIsReadOnly) {
    TempFolder temp;
    fs::create_directories(temp / "bin");
    ::chmod((temp / "bin").c_str(), 0555);
    if (::access((temp / "bin").c_str(), W_OK) == 0) GTEST_SKIP() << "running as root";
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_DATA_HOME", (temp / "data").c_str(), 1);
    const AppFolders folders = LocateAppFolders(temp / "bin");
    old ? ::setenv("XDG_DATA_HOME", saved.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(folders.UserFolder, temp / "data/quirebook");
    EXPECT_TRUE(fs::is_directory(folders.UserFolder));
}

TEST(ProcessWorkArea, EachTemporaryAreaIsPrivateAndGoesAway) {
    std::string firstRoot;
    {
        ProcessWorkArea first = ProcessWorkArea::Temporary();
        ProcessWorkArea second = ProcessWorkArea::Temporary();
        firstRoot = first.Root();
        EXPECT_NE(first.Root(), second.Root());
        EXPECT_TRUE(fs::is_directory(first.Root()));
        fs::create_directories(first.Root() + "/temp/OPS");
        SaveTextFile(first.Root() + "/temp/OPS/c.htm", "x");
    }
    EXPECT_FALSE(fs::exists(firstRoot));
}

TEST(ProcessWorkArea, AKeptAreaStaysAndIsHeldWhileItIsUsed) {
    TempFolder temp;
    {
        ProcessWorkArea kept = ProcessWorkArea::Kept(temp / "keep/");
        EXPECT_EQ(kept.Root(), temp / "keep");
        // The lock is the area's own: a second claim on the folder is refused while it lives,
        // also after the area has been moved.
        ProcessWorkArea moved(std::move(kept));
        EXPECT_THAT([&] { ProcessWorkArea::Kept(temp / "keep"); },
                    ::testing::ThrowsMessage<InOutError>(HasSubstr("in use by another running")));
    }
    EXPECT_TRUE(fs::is_directory(temp / "keep"));
    EXPECT_NO_THROW(ProcessWorkArea::Kept(temp / "keep"));
}

TEST(ProcessWorkArea, ATemporaryAreaIsScratchThatAStoppedProcessRemoves) {
    ProcessWorkArea area = ProcessWorkArea::Temporary();
    fs::create_directories(area.Root() + "/temp/OPS");
    SaveTextFile(area.Root() + "/temp/OPS/c.htm", "x");
    TempFolder kept;
    const ProcessWorkArea user = ProcessWorkArea::Kept(kept / "mine");
    RemoveAllScratch();
    EXPECT_FALSE(fs::exists(area.Root()));
    EXPECT_TRUE(fs::is_directory(kept / "mine"));
}

}  // namespace
}  // namespace quirebook
