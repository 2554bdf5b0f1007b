// The files and folders a process keeps only while it runs, registered while they exist, so that
// a process stopped by a signal can remove its own scratch before it ends.
#pragma once

#include <string>

namespace quirebook {

// Registers `path` (a file or a folder tree) as scratch for the object's lifetime. It does not
// remove the path itself: its owner does that on the normal way out.
class ScratchPath {
  public:
    explicit ScratchPath(std::string path);
    ScratchPath(ScratchPath&& other) noexcept;
    ScratchPath& operator=(ScratchPath&&) = delete;
    ScratchPath(const ScratchPath&) = delete;
    ~ScratchPath();

  private:
    std::string m_path;
};

// Removes every registered path, folders with all they hold. Safe to call from any thread while
// other threads register and unregister paths.
void RemoveAllScratch();

}  // namespace quirebook
