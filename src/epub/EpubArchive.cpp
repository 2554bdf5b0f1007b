#include "epub/EpubArchive.h"

#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "text/FolderFiles.h"
#include "text/InOutError.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

// The deflate level of every entry but "mimetype".
constexpr zip_uint32_t kDeflateLevel = 5;

// One archive entry: its name in the archive and the file its bytes are read from.
struct PackedFile {
    std::string Name;
    std::string Source;
};

struct ArchiveDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct SourceFreer {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using ArchiveHandle = std::unique_ptr<zip_t, ArchiveDiscarder>;
using SourceHandle = std::unique_ptr<zip_source_t, SourceFreer>;

[[noreturn]] void ThrowPackError(const std::string& archivePath, const std::string& reason) {
    throw InOutError("Cannot write \"" + archivePath + "\": " + reason);
}

// libzip's text for an error code of zip_open.
std::string ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const std::unique_ptr<zip_error_t, decltype(&zip_error_fini)> owner(&error, zip_error_fini);
    return zip_error_strerror(&error);
}

// The file to read for the entry `name` of the tree, or nothing when the entry is not packed.
// A regular file is read where it stands. A symbolic link is packed only when it leads to a
// regular file inside `root`, and is read through its resolved target, so that a link changed
// after this check cannot bring in a file from elsewhere.
std::optional<std::string> PackableSource(const fs::path& root, const std::string& name) {
    const fs::path path = root / name;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (fs::is_regular_file(status)) return path.string();
    if (!fs::is_symlink(status) || !fs::is_regular_file(fs::status(path, error)) ||
        !IsInsideFolder(path.string(), root.string()))
        return std::nullopt;
    const fs::path target = fs::canonical(path, error);
    if (error) return std::nullopt;
    return target.string();
}

// Appends the files of the folder `name` of the tree and of its subfolders, the entries of each
// folder sorted by name so that the same tree always gives the same archive. Folders get no
// entries of their own, and a link to a folder is never walked.
void CollectFolder(const fs::path& root, const std::string& name, std::vector<PackedFile>& files) {
    const fs::path folder = root / name;
    std::error_code error;
    std::vector<std::string> children;
    for (auto it = fs::directory_iterator(folder, error); it != fs::directory_iterator();
         it.increment(error))
        children.push_back(it->path().filename().string());
    if (error) ThrowInOutError("read", folder.string(), error.value());
    std::sort(children.begin(), children.end());
    for (const std::string& child : children) {
        const std::string entryName = name + "/" + child;
        if (fs::is_directory(fs::symlink_status(root / entryName, error))) {
            CollectFolder(root, entryName, files);
        } else if (std::optional<std::string> source = PackableSource(root, entryName)) {
            files.push_back({entryName, *source});
        }
    }
}

void AddFile(zip_t* archive, const std::string& archivePath, const PackedFile& file,
             zip_int32_t method, zip_uint32_t level) {
    const auto fail = [&] {
        ThrowPackError(archivePath, file.Name + ": " + zip_strerror(archive));
    };
    SourceHandle source(zip_source_file(archive, file.Source.c_str(), 0, 0));
    if (!source) fail();
    const zip_int64_t index = zip_file_add(archive, file.Name.c_str(), source.get(), 0);
    if (index < 0) fail();
    source.release();  // the archive owns it now
    if (zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), method, level) != 0)
        fail();
}

}  // namespace

void PackEpub(const std::string& rootFolder, const std::string& archivePath) {
    const fs::path root(rootFolder);
    const std::optional<std::string> mimetype = PackableSource(root, "mimetype");
    if (!mimetype) {
        ThrowPackError(archivePath,
                       "\"" + (root / "mimetype").string() + "\" is missing or not a regular file");
    }
    std::vector<PackedFile> files;
    for (const char* folder : {"META-INF", "OPS"}) {
        std::error_code error;
        if (fs::is_directory(fs::symlink_status(root / folder, error)))
            CollectFolder(root, folder, files);
    }

    // ZIP_TRUNCATE ignores whatever the old file holds, so packing again gives the same entries.
    // zip_close writes the whole archive to a temporary file made with mkstemp in the archive's
    // folder and renames it over `archivePath` only when it is complete; when anything fails it
    // removes that file, and an older book at `archivePath` stays as it was.
    int openError = 0;
    ArchiveHandle archive(zip_open(archivePath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &openError));
    if (!archive) ThrowPackError(archivePath, ZipErrorText(openError));
    AddFile(archive.get(), archivePath, {"mimetype", *mimetype}, ZIP_CM_STORE, 0);
    for (const PackedFile& file : files)
        AddFile(archive.get(), archivePath, file, ZIP_CM_DEFLATE, kDeflateLevel);
    if (zip_close(archive.get()) != 0) ThrowPackError(archivePath, zip_strerror(archive.get()));
    archive.release();  // zip_close has freed it
}

}  // namespace quirebook
