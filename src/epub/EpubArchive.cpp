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
#include "text/TextFiles.h"

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

// The bytes of a closed in-memory archive.
std::string ArchiveBytes(zip_source_t* buffer, const std::string& archivePath) {
    const auto fail = [&] {
        ThrowPackError(archivePath, zip_error_strerror(zip_source_error(buffer)));
    };
    if (zip_source_open(buffer) != 0) fail();
    std::string bytes;
    char chunk[65536];
    zip_int64_t read = 0;
    while ((read = zip_source_read(buffer, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, static_cast<std::size_t>(read));
    if (read < 0) fail();
    zip_source_close(buffer);
    return bytes;
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

    // The archive is made in memory and written in one step over `archivePath`, so that an older
    // book there stays whole until the new one is complete, whatever stops the run.
    zip_error_t error;
    zip_error_init(&error);
    SourceHandle buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer) ThrowPackError(archivePath, zip_error_strerror(&error));
    zip_source_keep(buffer.get());  // it outlives the archive, which gives its bytes back
    ArchiveHandle archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    if (!archive) {
        const std::string reason = zip_error_strerror(&error);
        zip_error_fini(&error);
        ThrowPackError(archivePath, reason);
    }
    zip_error_fini(&error);
    AddFile(archive.get(), archivePath, {"mimetype", *mimetype}, ZIP_CM_STORE, 0);
    for (const PackedFile& file : files)
        AddFile(archive.get(), archivePath, file, ZIP_CM_DEFLATE, kDeflateLevel);
    if (zip_close(archive.get()) != 0) ThrowPackError(archivePath, zip_strerror(archive.get()));
    archive.release();  // zip_close has freed it
    ReplaceFileAtomically(archivePath, ArchiveBytes(buffer.get(), archivePath));
}

}  // namespace quirebook
