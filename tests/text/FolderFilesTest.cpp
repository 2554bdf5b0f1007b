#include "text/FolderFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/InOutError.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// A folder tree with hidden files, a read-only file and a read-only subfolder.
void MakeTree(const std::string& root) {
    fs::create_directories(root + "/sub/deeper");
    SaveTextFile(root + "/a.htm", "a");
    SaveTextFile(root + "/.hidden", "h");
    SaveTextFile(root + "/sub/deeper/b.png", "b");
    ::chmod((root + "/a.htm").c_str(), 0444);
    ::chmod((root + "/sub/deeper").c_str(), 0555);
    ::chmod((root + "/sub").c_str(), 0555);
}

TEST(EmptyFolder, DeletesEverythingInsideAndKeepsTheFolder) {
    TempFolder temp;
    const std::string root = temp / "work";
    MakeTree(root);
    EXPECT_TRUE(EmptyFolder(root));
    EXPECT_TRUE(fs::is_directory(root));
    EXPECT_TRUE(fs::is_empty(root));
    EXPECT_TRUE(EmptyFolder(root + "/"));        // a trailing separator is fine
    EXPECT_TRUE(EmptyFolder(temp / "missing"));  // nothing to delete
}

TEST(EmptyFolder, RemovesLinksButNeverWhatTheyPointAt) {
    TempFolder temp;
    const std::string outside = temp / "outside";
    MakeTree(outside);
    const std::string root = temp / "work";
    fs::create_directories(root);
    fs::create_directory_symlink(outside, root + "/linked-folder");
    fs::create_symlink(outside + "/a.htm", root + "/linked-file");
    fs::create_symlink(temp / "nowhere", root + "/dangling");

    EXPECT_TRUE(EmptyFolder(root));
    EXPECT_TRUE(fs::is_empty(root));
    EXPECT_EQ(LoadTextFile(outside + "/a.htm"), "a");
    EXPECT_EQ(LoadTextFile(outside + "/sub/deeper/b.png"), "b");
}

TEST(DeleteFolderTree, RemovesTheWholeTreeOrJustALink) {
    TempFolder temp;
    const std::string root = temp / "tree";
    MakeTree(root);
    EXPECT_TRUE(DeleteFolderTree(root + "/"));
    EXPECT_FALSE(Exists(root));

    const std::string target = temp / "target";
    MakeTree(target);
    fs::create_directory_symlink(target, temp / "link");
    EXPECT_TRUE(DeleteFolderTree(temp / "link"));
    EXPECT_FALSE(Exists(temp / "link"));
    EXPECT_EQ(LoadTextFile(target + "/a.htm"), "a");
}

TEST(CopyFile, CopiesEveryByteAndReportsTheFileAtFault) {
    TempFolder temp;
    const std::string bytes("x\0y\xff", 4);
    SaveTextFile(temp / "source.bin", bytes);
    SaveTextFile(temp / "target.bin", "longer old content");
    CopyFile(temp / "source.bin", temp / "target.bin");
    EXPECT_EQ(LoadTextFile(temp / "target.bin"), bytes);

    try {
        CopyFile(temp / "missing.png", temp / "copy.png");
        FAIL() << "a missing source must raise";
    } catch (const InOutError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("missing.png"));
    }
    EXPECT_THROW(CopyFile(temp / "source.bin", temp / "no/folder/copy.bin"), InOutError);
    EXPECT_THROW(CopyFile(temp.Path(), temp / "copy.bin"), InOutError);
}

TEST(CopyFolderFiles, CopiesTheFilesButNotSubfoldersOrLinksLeadingOut) {
    TempFolder temp;
    const std::string source = temp / "pictures";
    fs::create_directories(source + "/sub");
    SaveTextFile(source + "/one.png", "1");
    SaveTextFile(source + "/sub/two.png", "2");
    SaveTextFile(temp / "secret.txt", "secret");
    fs::create_symlink(temp / "secret.txt", source + "/leak.png");
    fs::create_symlink(source + "/one.png", source + "/alias.png");

    ASSERT_TRUE(CopyFolderFiles(source, temp / "copy/imgs"));
    EXPECT_EQ(LoadTextFile(temp / "copy/imgs/one.png"), "1");
    EXPECT_EQ(LoadTextFile(temp / "copy/imgs/alias.png"), "1");
    EXPECT_FALSE(Exists(temp / "copy/imgs/sub"));
    EXPECT_FALSE(Exists(temp / "copy/imgs/leak.png"));
}

TEST(CopyFolderFiles, IsFalseForAMissingOrEmptySource) {
    TempFolder temp;
    EXPECT_FALSE(CopyFolderFiles(temp / "missing", temp / "target"));
    fs::create_directories(temp / "empty");
    EXPECT_FALSE(CopyFolderFiles(temp / "empty", temp / "target"));
    EXPECT_FALSE(Exists(temp / "target"));
}

TEST(IsInsideFolder, ResolvesDotsAndLinks) {
    TempFolder temp;
    fs::create_directories(temp / "book/images");
    SaveTextFile(temp / "book/images/a.png", "a");
    SaveTextFile(temp / "outside.png", "o");
    fs::create_symlink(temp / "outside.png", temp / "book/link.png");
    EXPECT_TRUE(IsInsideFolder(temp / "book/images/a.png", temp / "book"));
    EXPECT_TRUE(IsInsideFolder(temp / "book/images/../images/a.png", temp / "book/"));
    EXPECT_TRUE(IsInsideFolder(temp / "book/new/not-yet.png", temp / "book"));
    EXPECT_FALSE(IsInsideFolder(temp / "book/../outside.png", temp / "book"));
    EXPECT_FALSE(IsInsideFolder(temp / "book/link.png", temp / "book"));
    EXPECT_FALSE(IsInsideFolder(temp / "book", temp / "book"));
    EXPECT_FALSE(IsInsideFolder(temp / "bookish/a.png", temp / "book"));
}

TEST(LocateByUtf8Names, FindsNamesWrittenInLatin1Bytes) {
    TempFolder temp;
    fs::create_directories(temp / "im\xe1genes");
    SaveTextFile(temp / "im\xe1genes/ni\xf1o.png", "n");
    SaveTextFile(temp / "caf\u00e9.htm", "utf-8 name");
    SaveTextFile(temp / "\xe9t\xe9.htm", "latin-1 name");
    EXPECT_EQ(LocateByUtf8Names(temp.Path(), "im\u00e1genes/ni\u00f1o.png"),
              temp / "im\xe1genes/ni\xf1o.png");
    EXPECT_EQ(LocateByUtf8Names(temp.Path(), "\u00e9t\u00e9.htm"), temp / "\xe9t\xe9.htm");
    // Names as written come first, and UTF-8 names on disk are never read another way.
    EXPECT_EQ(LocateByUtf8Names(temp.Path(), "caf\u00e9.htm"), temp / "caf\u00e9.htm");
    EXPECT_EQ(LocateByUtf8Names(temp.Path(), "im\xe1genes/ni\xf1o.png"),
              temp / "im\xe1genes/ni\xf1o.png");
    EXPECT_EQ(LocateByUtf8Names(temp.Path(), "caf\u00c3\u00a9.htm"), "");
    EXPECT_EQ(LocateByUtf8Names(temp.Path(), "missing/\u00e9t\u00e9.htm"), "");
}

}  // namespace
}  // namespace quirebook
