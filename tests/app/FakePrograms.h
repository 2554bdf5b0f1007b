// Test support: small shell scripts standing in for outside programs (java, xdg-open, an
// editor), found first on PATH while a ScopedSearchPath lives, and a wait for the marker files
// such scripts write.
#pragma once

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "text/TextFiles.h"

namespace quirebook::testing {

// Sets PATH to `folder` alone, or in front of the old PATH, until it goes out of scope.
class ScopedSearchPath {
  public:
    ScopedSearchPath(const std::string& folder, bool keepOldPath) {
        const char* old = std::getenv("PATH");
        m_hadPath = old != nullptr;
        if (m_hadPath) m_oldPath = old;
        const std::string path = keepOldPath && m_hadPath ? folder + ":" + m_oldPath : folder;
        ::setenv("PATH", path.c_str(), 1);
    }
    ~ScopedSearchPath() { m_hadPath ? ::setenv("PATH", m_oldPath.c_str(), 1) : ::unsetenv("PATH"); }
    ScopedSearchPath(const ScopedSearchPath&) = delete;
    ScopedSearchPath& operator=(const ScopedSearchPath&) = delete;

  private:
    bool m_hadPath = false;
    std::string m_oldPath;
};

// Writes an executable /bin/sh script with `body` as its commands.
inline void WriteScript(const std::string& path, const std::string& body) {
    SaveTextFile(path, "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
}

// Waits up to five seconds for a program started without waiting to write `path`; its text,
// or empty when it never came.
inline std::string WaitForFile(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        std::error_code error;
        // The scripts write their marker under another name and rename it, so a marker that
        // exists is complete.
        if (std::filesystem::exists(path, error)) return LoadTextFile(path);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

}  // namespace quirebook::testing
