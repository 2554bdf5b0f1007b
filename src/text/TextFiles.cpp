#include "text/TextFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "text/FileDescriptor.h"
#include "text/InOutError.h"

namespace quirebook {

std::string LoadTextFile(const std::string& path) {
    // Non-blocking, so that a named pipe cannot stall the read; only regular files are read.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file) return errno == ENOENT || errno == ENOTDIR ? std::string() : std::string("R");
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return "R";
    std::string text;
    try {
        text.resize(static_cast<std::size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
        return "R";
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::read(file.Get(), text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return "R";
        if (got == 0) break;  // the file shrank while it was read
        done += static_cast<std::size_t>(got);
    }
    text.resize(done);
    return text;
}

void SaveTextFile(const std::string& path, std::string_view text) {
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file) ThrowInOutError("write", path, errno);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(file.Get(), text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0) ThrowInOutError("write", path, errno);
        done += static_cast<std::size_t>(wrote);
    }
    if (file.Close() != 0) ThrowInOutError("write", path, errno);
}

std::int64_t FileSizeOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
    return info.st_size;
}

}  // namespace quirebook
