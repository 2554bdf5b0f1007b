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

// Sets an environment variable (or unsets it, for nullptr) until it goes out of scope.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : m_name(name) {
        const char* old = std::getenv(name);
        m_had = old != nullptr;
        if (m_had) m_old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedVariable() { m_had ? ::setenv(m_name, m_old.c_str(), 1) : ::unsetenv(m_name); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* m_name;
    bool m_had = false;
    std::string m_old;
};

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
    const ScopedVariable dataHome("XDG_DATA_HOME", (temp / "data").c_str());
    const AppFolders folders = LocateAppFolders(temp / "bin");
    EXPECT_EQ(folders.UserFolder, temp / "data/quirebook");
    EXPECT_TRUE(fs::is_directory(folders.UserFolder));
}

// An installed copy is read-only for the program even where the file system would let it write
// (root running /usr/bin/quirebook, or a package unpacked into a folder of the user's).
TEST(LocateAppFolders, AnInstalledCopyWritesOnlyUnderTheUsersFolders) {
    TempFolder temp;
    fs::create_directories(temp / "usr/bin");
    fs::create_directories(temp / "usr/share/quirebook/lib");
    {
        const ScopedVariable dataHome("XDG_DATA_HOME", (temp / "data").c_str());
        const AppFolders folders = LocateAppFolders(temp / "usr/bin");
        EXPECT_EQ(folders.AppFolder, temp / "usr/share/quirebook");
        EXPECT_EQ(folders.UserFolder, temp / "data/quirebook");
    }
    {
        // Without XDG_DATA_HOME, or with a relative one (which XDG says to ignore), the
        // default under HOME.
        const ScopedVariable home("HOME", (temp / "home").c_str());
        for (const char* value : {static_cast<const char*>(nullptr), "relative/data"}) {
            const ScopedVariable dataHome("XDG_DATA_HOME", value);
            EXPECT_EQ(LocateAppFolders(temp / "usr/bin").UserFolder,
                      temp / "home/.local/share/quirebook");
        }
        EXPECT_TRUE(fs::is_directory(temp / "home/.local/share/quirebook"));
    }
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(temp / "usr"),
                            fs::recursive_directory_iterator()),
              4);  // bin, share, share/quirebook, share/quirebook/lib: nothing new
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
