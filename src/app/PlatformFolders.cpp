#include "app/PlatformFolders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "text/FolderFiles.h"
#include "text/InOutError.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

std::string UserDataFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && *dataHome == '/') return std::string(dataHome) + "/quirebook";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr && *home != '\0' ? home : ".") + "/.local/share/quirebook";
}

}  // namespace

AppFolders LocateAppFolders(const std::string& programFolder) {
    AppFolders folders;
    const fs::path program(programFolder);
    std::error_code error;
    const fs::path installed = program.parent_path() / "share" / "quirebook";
    const bool dataBeside = fs::is_directory(program / "lib", error);
    const bool installedCopy = !dataBeside && fs::is_directory(installed / "lib", error);
    folders.AppFolder = installedCopy ? installed.lexically_normal().string() : program.string();
    // An installed copy never writes beside itself, even when it may (root in /usr/bin).
    if (!installedCopy && ::access(programFolder.c_str(), W_OK) == 0) {
        folders.UserFolder = programFolder;
    } else {
        folders.UserFolder = UserDataFolder();
        fs::create_directories(folders.UserFolder, error);
    }
    return folders;
}

std::string ProgramFolder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path().string() : program.parent_path().string();
}

ProcessWorkArea ProcessWorkArea::Temporary() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/quirebook-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) ThrowInOutError("create", pattern, errno);
    return ProcessWorkArea(pattern, false, FileDescriptor());
}

ProcessWorkArea ProcessWorkArea::Kept(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) ThrowInOutError("create", folder, error.value());
    fs::path root = fs::absolute(folder).lexically_normal();
    if (!root.has_filename()) root = root.parent_path();  // no trailing separator
    FileDescriptor lock(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!lock) ThrowInOutError("open", root.string(), errno);
    if (::flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            throw InOutError("The work folder " + root.string() +
                             " is in use by another running quirebook: choose another folder");
        ThrowInOutError("lock", root.string(), errno);
    }
    return ProcessWorkArea(root.string(), true, std::move(lock));
}

ProcessWorkArea::ProcessWorkArea(std::string root, bool keep, FileDescriptor lock)
    : m_root(std::move(root)), m_keep(keep), m_lock(std::move(lock)) {
    if (!m_keep) m_scratch.emplace(m_root);
}

ProcessWorkArea::ProcessWorkArea(ProcessWorkArea&& other) noexcept
    : m_root(std::move(other.m_root)),
      m_keep(other.m_keep),
      m_lock(std::move(other.m_lock)),
      m_scratch(std::move(other.m_scratch)) {
    other.m_keep = true;  // the moved-from object deletes nothing
}

ProcessWorkArea::~ProcessWorkArea() {
    if (!m_keep && !m_root.empty()) DeleteFolderTree(m_root);
}

}  // namespace quirebook
