#include "epub/EpubArchive.h"

#include <signal.h>
#include <sys/resource.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/InOutError.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::TempFolder;

const std::string kPicture("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);

struct Entry {
    std::string Name;
    zip_uint16_t Method;
    std::string Content;
};

// Every entry of the archive in archive order, read back with libzip.
std::vector<Entry> ReadArchive(const std::string& path) {
    int error = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(
        zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error), zip_discard);
    if (!archive) throw std::runtime_error("not a readable archive: " + path);
    std::vector<Entry> entries;
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(zip_get_num_entries(archive.get(), 0));
         ++i) {
        zip_stat_t stat;
        std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
            zip_fopen_index(archive.get(), i, 0), zip_fclose);
        if (zip_stat_index(archive.get(), i, 0, &stat) != 0 || !file)
            throw std::runtime_error("unreadable entry in " + path);
        std::string content(stat.size, '\0');
        if (zip_fread(file.get(), content.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
            throw std::runtime_error(std::string("short entry ") + stat.name);
        entries.push_back({stat.name, stat.comp_method, content});
    }
    return entries;
}

std::vector<std::string> EntryNames(const std::string& archivePath) {
    std::vector<std::string> names;
    for (const Entry& entry : ReadArchive(archivePath)) names.push_back(entry.Name);
    return names;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A finished book tree, with a picture in a subfolder, a file no package document lists and an
// empty folder.
void MakeBook(const std::string& root) {
    fs::create_directories(root + "/META-INF");
    fs::create_directories(root + "/OPS/images");
    fs::create_directories(root + "/OPS/fonts");
    SaveTextFile(root + "/mimetype", "application/epub+zip");
    SaveTextFile(root + "/META-INF/container.xml", "<container/>");
    SaveTextFile(root + "/OPS/b.htm", "<html>chapter</html>");
    SaveTextFile(root + "/OPS/content.opf", "<package/>");
    SaveTextFile(root + "/OPS/images/a.png", kPicture);
    SaveTextFile(root + "/OPS/stray.txt", "left by an earlier publish");
}

// Caps the size of the files this process writes, for as long as it lives, so that a write
// fails halfway with EFBIG instead of stopping the process.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        ::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit m_saved{};
    sighandler_t m_handler;
};

TEST(PackEpub, PacksMimetypeStoredFirstThenEveryFileDeflatedInNameOrder) {
    TempFolder temp;
    MakeBook(temp / "book");
    PackEpub(temp / "book", temp / "out.epub");

    const std::vector<Entry> entries = ReadArchive(temp / "out.epub");
    std::vector<std::string> names;
    for (const Entry& entry : entries) {
        names.push_back(entry.Name);
        EXPECT_EQ(entry.Method, entry.Name == "mimetype" ? ZIP_CM_STORE : ZIP_CM_DEFLATE)
            << entry.Name;
        EXPECT_EQ(entry.Content, LoadTextFile(temp / "book/" + entry.Name)) << entry.Name;
    }
    EXPECT_THAT(names, ElementsAre("mimetype", "META-INF/container.xml", "OPS/b.htm",
                                   "OPS/content.opf", "OPS/images/a.png", "OPS/stray.txt"));
}

TEST(PackEpub, FirstLocalHeaderIsTheBareStoredMimetype) {
    TempFolder temp;
    MakeBook(temp / "book");
    PackEpub(temp / "book", temp / "out.epub");

    const std::string bytes = LoadTextFile(temp / "out.epub");
    ASSERT_GT(bytes.size(), 58u);
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    const auto word = [&](std::size_t at) { return byte(at) | byte(at + 1) << 8; };
    EXPECT_EQ(bytes.substr(0, 4), "PK\3\4");
    EXPECT_EQ(word(8), 0);   // stored
    EXPECT_EQ(word(26), 8);  // name length
    EXPECT_EQ(word(28), 0);  // extra field length
    EXPECT_EQ(bytes.substr(30, 8), "mimetype");
    EXPECT_EQ(bytes.substr(38, 20), "application/epub+zip");
}

TEST(PackEpub, PackingAgainReplacesWhatIsAtTheTarget) {
    TempFolder temp;
    MakeBook(temp / "book");
    SaveTextFile(temp / "out.epub", "not an archive, e.g. a book cut short");
    PackEpub(temp / "book", temp / "out.epub");
    const std::string first = LoadTextFile(temp / "out.epub");
    PackEpub(temp / "book", temp / "out.epub");

    EXPECT_EQ(LoadTextFile(temp / "out.epub"), first);
    EXPECT_EQ(ReadArchive(temp / "out.epub").size(), 6u);
    EXPECT_THAT(FolderNames(temp.Path()), ElementsAre("book", "out.epub"));
}

TEST(PackEpub, PacksLinksOnlyWhenTheyLeadToFilesInsideTheTree) {
    TempFolder temp;
    const std::string book = temp / "book";
    MakeBook(book);
    fs::create_directories(temp / "private");
    SaveTextFile(temp / "private/secret.txt", "secret");
    fs::create_symlink(temp / "private/secret.txt", book + "/OPS/leak.txt");
    fs::create_directory_symlink(temp / "private", book + "/OPS/leaked-folder");
    fs::create_directory_symlink(book + "/OPS/images", book + "/OPS/images-again");
    fs::create_symlink("images/a.png", book + "/OPS/alias.png");
    fs::create_symlink(temp / "nowhere", book + "/OPS/dangling.htm");
    PackEpub(book + "/", temp / "out.epub");  // a trailing separator changes nothing

    EXPECT_THAT(EntryNames(temp / "out.epub"),
                ElementsAre("mimetype", "META-INF/container.xml", "OPS/alias.png", "OPS/b.htm",
                            "OPS/content.opf", "OPS/images/a.png", "OPS/stray.txt"));
    EXPECT_EQ(ReadArchive(temp / "out.epub")[2].Content, kPicture);

    // Top folders that are links out of the tree are not walked either.
    const std::string linked = temp / "linked";
    fs::create_directories(linked);
    SaveTextFile(linked + "/mimetype", "application/epub+zip");
    fs::create_directory_symlink(book + "/OPS", linked + "/OPS");
    PackEpub(linked, temp / "linked.epub");
    EXPECT_THAT(EntryNames(temp / "linked.epub"), ElementsAre("mimetype"));
}

TEST(PackEpub, RefusesATreeWithoutMimetypeAndATargetInAMissingFolder) {
    TempFolder temp;
    MakeBook(temp / "book");
    PackEpub(temp / "book", temp / "out.epub");
    const std::string oldBook = LoadTextFile(temp / "out.epub");

    fs::remove(temp / "book/mimetype");
    fs::create_directory(temp / "book/mimetype");
    EXPECT_THAT([&] { PackEpub(temp / "book", temp / "out.epub"); },
                ::testing::ThrowsMessage<InOutError>(
                    AllOf(HasSubstr(temp / "out.epub"), HasSubstr(temp / "book/mimetype"))));
    fs::remove(temp / "book/mimetype");
    EXPECT_THROW(PackEpub(temp / "book", temp / "out.epub"), InOutError);
    EXPECT_EQ(LoadTextFile(temp / "out.epub"), oldBook);

    SaveTextFile(temp / "book/mimetype", "application/epub+zip");
    EXPECT_THAT([&] { PackEpub(temp / "book", temp / "missing/out.epub"); },
                ::testing::ThrowsMessage<InOutError>(HasSubstr(temp / "missing/out.epub")));
    EXPECT_THAT(FolderNames(temp.Path()), ElementsAre("book", "out.epub"));
}

TEST(PackEpub, AWriteFailingHalfwayLeavesTheOldBookAndNoTemporaryFile) {
    TempFolder temp;
    MakeBook(temp / "book");
    PackEpub(temp / "book", temp / "out.epub");
    const std::string oldBook = LoadTextFile(temp / "out.epub");

    // Random bytes do not compress, so this picture alone overruns the size cap below.
    std::string noise(1 << 20, '\0');
    std::mt19937 random(7);
    std::generate(noise.begin(), noise.end(), [&] { return static_cast<char>(random()); });
    SaveTextFile(temp / "book/OPS/images/big.png", noise);
    {
        FileSizeLimit limit(1 << 16);
        EXPECT_THAT([&] { PackEpub(temp / "book", temp / "out.epub"); },
                    ::testing::ThrowsMessage<InOutError>(HasSubstr(temp / "out.epub")));
    }
    EXPECT_EQ(LoadTextFile(temp / "out.epub"), oldBook);
    EXPECT_THAT(FolderNames(temp.Path()), ElementsAre("book", "out.epub"));
}

}  // namespace
}  // namespace quirebook
