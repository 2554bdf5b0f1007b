#include "text/ScratchPaths.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "text/FolderFiles.h"

namespace quirebook {

namespace {

std::mutex& RegistryLock() {
    static std::mutex lock;
    return lock;
}

std::vector<std::string>& Registry() {
    static std::vector<std::string> paths;
    return paths;
}

}  // namespace

ScratchPath::ScratchPath(std::string path) : m_path(std::move(path)) {
    const std::lock_guard<std::mutex> guard(RegistryLock());
    Registry().push_back(m_path);
}

ScratchPath::ScratchPath(ScratchPath&& other) noexcept : m_path(std::move(other.m_path)) {
    other.m_path.clear();  // the moved-from object unregisters nothing
}

ScratchPath::~ScratchPath() {
    if (m_path.empty()) return;
    const std::lock_guard<std::mutex> guard(RegistryLock());
    std::vector<std::string>& paths = Registry();
    const auto found = std::find(paths.begin(), paths.end(), m_path);
    if (found != paths.end()) paths.erase(found);
}

void RemoveAllScratch() {
    const std::lock_guard<std::mutex> guard(RegistryLock());
    // Another thread may still be writing into a folder while it is removed: a few passes take
    // what it wrote meanwhile.
    for (const std::string& path : Registry())
        for (int pass = 0; pass < 3 && !DeleteFolderTree(path); ++pass) {
        }
    Registry().clear();
}

}  // namespace quirebook
