// Fuzz target: a book's work folder as repack and font embedding find it, built from the input
// (content.opf, style.css, a family name, then pairs of a file name under OPS and its bytes,
// all separated by NUL bytes). After the fonts are embedded the archive must open, hold
// "mimetype" first, and hold every file of the work folder with its bytes.
#include <zip.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "FuzzSupport.h"
#include "RecordingUserInterface.h"
#include "css/FontEmbedding.h"
#include "text/InOutError.h"
#include "text/TextFiles.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> SplitAtNul(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find('\0', from)) != std::string::npos; from = at + 1)
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

// A file name from the input kept inside OPS: relative, without "." or ".." parts.
bool IsSafeName(const std::string& name) {
    const fs::path path(name);
    if (name.empty() || path.is_absolute() || name.back() == '/') return false;
    for (const fs::path& part : path)
        if (part == "." || part == ".." || part.empty()) return false;
    return true;
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

// The bytes of the entry `name`, compared as stored whatever its encoding (libzip's own look-up
// by a raw name misses names that are not valid UTF-8), or nothing when the archive does not
// hold it.
std::optional<std::string> EntryBytes(zip_t* archive, const std::string& name) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        const char* stored = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
        zip_stat_t stat;
        if (stored == nullptr || name != stored || zip_stat_index(archive, index, 0, &stat) != 0)
            continue;
        std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(zip_fopen_index(archive, index, 0),
                                                                &zip_fclose);
        if (!file) return std::nullopt;
        std::string bytes(stat.size, '\0');
        if (zip_fread(file.get(), bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
            return std::nullopt;
        return bytes;
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quirebook;
    const fuzz::FuzzInput input(data, size);
    const std::string& folder = fuzz::EmptyScratchFolder();
    BookProject book(fuzz::SourceAppFolders(folder), folder + "/work");
    book.ClearBookFolders();
    book.OutputPath = folder + "/book.epub";
    std::vector<std::string> parts = SplitAtNul(input.Text());
    parts.resize(std::max<std::size_t>(parts.size(), 3));
    SaveTextFile(book.WorkFolder + "mimetype", "application/epub+zip");
    SaveTextFile(book.OpsFolder + "content.opf", parts[0]);
    if (!input.Flag(0)) SaveTextFile(book.OpsFolder + "style.css", parts[1]);
    for (std::size_t i = 3; i + 1 < parts.size(); i += 2) {
        if (!IsSafeName(parts[i])) continue;
        std::error_code error;
        // A name whose folder is an earlier file's name (or whose name is a folder's) has no place.
        fs::create_directories(fs::path(book.OpsFolder + parts[i]).parent_path(), error);
        if (!error && !fs::is_directory(book.OpsFolder + parts[i]))
            SaveTextFile(book.OpsFolder + parts[i], parts[i + 1]);
    }
    SaveTextFile(folder + "/font.ttf", "not really a font");
    testing::RecordingUserInterface ui;
    if (!EmbedFonts(book, {{parts[2], folder + "/font.ttf"}}, ui)) return 0;

    int error = 0;
    const std::unique_ptr<zip_t, ArchiveCloser> archive(
        zip_open(book.OutputPath.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    fuzz::Require(archive != nullptr, "the book opens as a zip archive");
    fuzz::Require(std::string(zip_get_name(archive.get(), 0, 0)) == "mimetype",
                  "mimetype the first entry");
    for (const auto& entry : fs::recursive_directory_iterator(book.WorkFolder)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = fs::relative(entry.path(), book.WorkFolder).generic_string();
        if (EntryBytes(archive.get(), name) != LoadTextFile(entry.path().string()))
            fuzz::Require(false, "every file of the work folder packed with its bytes: " + name);
    }
    return 0;
}
