#include "text/TextFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "text/FileDescriptor.h"
#include "text/InOutError.h"
#include "text/ScratchPaths.h"

namespace quirebook {

namespace {

// Writes all of `bytes` to the open file, retrying short writes.
void WriteAll(int descriptor, const std::string& path, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0) ThrowInOutError("write", path, errno);
        done += static_cast<std::size_t>(wrote);
    }
}

// Reads the whole regular file into `text`; false with the reason in `error` otherwise (ENOENT
// or ENOTDIR when there is no such file).
bool ReadWholeFile(const std::string& path, std::string& text, int& error) {
    // Non-blocking, so that a named pipe cannot stall the read; only regular files are read.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file) {
        error = errno;
        return false;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    try {
        text.resize(static_cast<std::size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
        return false;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::read(file.Get(), text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = errno;
            return false;
        }
        if (got == 0) break;  // the file shrank while it was read
        done += static_cast<std::size_t>(got);
    }
    text.resize(done);
    return true;
}

bool IsMissing(int error) {
    return error == ENOENT || error == ENOTDIR;
}

}  // namespace

std::string LoadTextFile(const std::string& path) {
    std::string text;
    int error = 0;
    if (ReadWholeFile(path, text, error)) return text;
    return IsMissing(error) ? std::string() : std::string("R");
}

std::string ReadTextFile(const std::string& path) {
    std::string text;
    int error = 0;
    if (ReadWholeFile(path, text, error)) return text;
    if (!IsMissing(error)) ThrowInOutError("read", path, error);
    return {};
}

void SaveTextFile(const std::string& path, std::string_view text) {
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file) ThrowInOutError("write", path, errno);
    WriteAll(file.Get(), path, text);
    if (file.Close() != 0) ThrowInOutError("write", path, errno);
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temporary = folder + "." + name + ".XXXXXX";
    FileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!file) ThrowInOutError("write", path, errno);
    const ScratchPath scratch(temporary);
    try {
        if (::fchmod(file.Get(), 0644) != 0) ThrowInOutError("write", path, errno);
        WriteAll(file.Get(), path, bytes);
        if (::fsync(file.Get()) != 0 || file.Close() != 0) ThrowInOutError("write", path, errno);
        if (::rename(temporary.c_str(), path.c_str()) != 0) ThrowInOutError("write", path, errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

std::int64_t FileSizeOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
    return info.st_size;
}

}  // namespace quirebook
