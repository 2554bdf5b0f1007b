#include "app/PlatformFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
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

TEST(ProcessWorkArea, AKeptAreaStays) {
    TempFolder temp;
    {
        ProcessWorkArea kept = ProcessWorkArea::Kept(temp / "keep/");
        EXPECT_EQ(kept.Root(), temp / "keep");
    }
    EXPECT_TRUE(fs::is_directory(temp / "keep"));
}

}  // namespace
}  // namespace quirebook
