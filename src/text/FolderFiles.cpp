#include "text/FolderFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <vector>

#include "text/Encoding.h"
#include "text/FileDescriptor.h"
#include "text/InOutError.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

bool RemoveSubfolder(int parent, const std::string& name);

// The names in an open folder, "." and ".." left out, read before anything is deleted.
std::vector<std::string> ListNames(int folder) {
    std::vector<std::string> names;
    const int listing = ::dup(folder);
    if (listing < 0) return names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(listing), ::closedir);
    if (!dir) {
        ::close(listing);
        return names;
    }
    ::rewinddir(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    return names;
}

// Deletes every entry of an open folder; links are removed, never followed.
bool EmptyOpenFolder(int folder) {
    bool complete = true;
    for (const std::string& name : ListNames(folder)) {
        struct stat info {};
        if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            complete = complete && errno == ENOENT;
            continue;
        }
        if (S_ISDIR(info.st_mode)) {
            complete = RemoveSubfolder(folder, name) && complete;
        } else if (::unlinkat(folder, name.c_str(), 0) != 0 && errno != ENOENT) {
            complete = false;
        }
    }
    return complete;
}

// Empties and removes the subfolder `name` of the open folder `parent`. A read-only subfolder is
// made writable first, as its entries could not be deleted otherwise.
bool RemoveSubfolder(int parent, const std::string& name) {
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    FileDescriptor folder(::openat(parent, name.c_str(), flags));
    if (!folder && errno == EACCES && ::fchmodat(parent, name.c_str(), S_IRWXU, 0) == 0)
        folder = FileDescriptor(::openat(parent, name.c_str(), flags));
    if (!folder) return false;
    struct stat info {};
    if (::fstat(folder.Get(), &info) == 0 && (info.st_mode & S_IRWXU) != S_IRWXU)
        ::fchmod(folder.Get(), info.st_mode | S_IRWXU);
    const bool emptied = EmptyOpenFolder(folder.Get());
    folder.Close();
    return ::unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0 && emptied;
}

FileDescriptor OpenForReading(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file) ThrowInOutError("read", path, errno);
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) ThrowInOutError("read", path, errno);
    if (!S_ISREG(info.st_mode))
        ThrowInOutError("read", path, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    return file;
}

}  // namespace

bool EmptyFolder(const std::string& folder) {
    FileDescriptor open(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!open) return errno == ENOENT;
    return EmptyOpenFolder(open.Get());
}

bool DeleteFolderTree(const std::string& folder) {
    fs::path path(folder);
    if (!path.has_filename()) path = path.parent_path();  // "a/b/" names the folder "b"
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT;
    if (!S_ISDIR(info.st_mode)) return ::unlink(path.c_str()) == 0;
    const fs::path parentPath = path.has_parent_path() ? path.parent_path() : fs::path(".");
    FileDescriptor parent(::open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return parent && RemoveSubfolder(parent.Get(), path.filename().string());
}

void CopyFile(const std::string& source, const std::string& target) {
    FileDescriptor in = OpenForReading(source);
    FileDescriptor out(::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!out) ThrowInOutError("write", target, errno);
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(in.Get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ThrowInOutError("read", source, errno);
        if (got == 0) break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t wrote = ::write(out.Get(), buffer.data() + done, got - done);
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote < 0) ThrowInOutError("write", target, errno);
            done += wrote;
        }
    }
    if (out.Close() != 0) ThrowInOutError("write", target, errno);
}

bool CopyFolderFiles(const std::string& source, const std::string& target) {
    std::error_code error;
    std::vector<fs::directory_entry> entries;
    for (const auto& entry : fs::directory_iterator(source, error)) entries.push_back(entry);
    if (error || entries.empty()) return false;
    fs::create_directories(target, error);
    for (const auto& entry : entries) {
        const bool isLink = entry.is_symlink(error);
        if (!entry.is_regular_file(error)) continue;  // subfolders, devices, dangling links
        if (isLink && !IsInsideFolder(entry.path().string(), source)) continue;
        CopyFile(entry.path().string(), (fs::path(target) / entry.path().filename()).string());
    }
    return true;
}

std::string LocateByUtf8Names(const std::string& folder, std::string_view relative) {
    std::error_code error;
    fs::path found = fs::path(folder) / relative;
    if (fs::exists(fs::symlink_status(found, error))) return found.string();
    found = folder;
    for (const fs::path& name : fs::path(relative)) {
        if (fs::exists(fs::symlink_status(found / name, error)) || name == "." || name == "..") {
            found /= name;
            continue;
        }
        // Only names that are not UTF-8 are read differently, so only they can match.
        const auto matches = [&name](const fs::directory_entry& entry) {
            const std::string onDisk = entry.path().filename().string();
            return !IsValidUtf8(onDisk) && FileNameToUtf8(onDisk) == name.string();
        };
        const fs::directory_iterator entries(found, error);
        if (error) return {};
        const auto match = std::find_if(begin(entries), end(entries), matches);
        if (match == end(entries)) return {};
        found = match->path();
    }
    return found.string();
}

bool IsSafeRelativePath(std::string_view path) {
    if (path.empty() || path.front() == '/' || path.front() == '\\') return false;
    if (path.size() >= 2 && path[1] == ':') return false;  // a drive letter
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find_first_of("/\\", start), path.size());
        if (path.substr(start, end - start) == "..") return false;
        start = end + 1;
    }
    return true;
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(path, error);
    if (error) return false;
    const fs::path root = fs::weakly_canonical(folder, error);
    if (error) return false;
    auto [rootEnd, pathAt] =
        std::mismatch(root.begin(), root.end(), resolved.begin(), resolved.end());
    // A trailing separator leaves an empty last element in `root`.
    const bool rootConsumed =
        rootEnd == root.end() || (std::next(rootEnd) == root.end() && rootEnd->empty());
    return rootConsumed && pathAt != resolved.end();
}

}  // namespace quirebook
