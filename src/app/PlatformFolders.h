// Where the program finds its installation data and keeps its own files, and the scratch area
// of one running process: what the operating system decides about folders.
#pragma once

#include <string>

#include <optional>

#include "book/AppFolders.h"
#include "text/FileDescriptor.h"
#include "text/ScratchPaths.h"

namespace quirebook {

// The roots for a program standing in `programFolder`. Data is read beside the program when it
// has a lib/ folder there, else from ../share/quirebook (an installed copy). Writable files go
// beside the program when that folder is writable and is not an installed copy's, else under
// $XDG_DATA_HOME/quirebook (default ~/.local/share/quirebook), which is created.
AppFolders LocateAppFolders(const std::string& programFolder);

// The folder of the running program file.
std::string ProgramFolder();

// The scratch area of one process: the book's work folder and the Word scratch folder live in it.
// Two processes never share one: a kept folder is locked while the area lives, and a second
// process asking for it is refused. A temporary area is deleted with this object (or by
// RemoveAllScratch when the process is stopped); a kept one (the user's own folder) stays.
class ProcessWorkArea {
  public:
    // A new, private folder under $TMPDIR (default /tmp). Raises InOutError when none can be made.
    static ProcessWorkArea Temporary();
    // `folder` itself (created when missing), kept after the run. Raises InOutError when another
    // running process works in it.
    static ProcessWorkArea Kept(const std::string& folder);

    ProcessWorkArea(ProcessWorkArea&& other) noexcept;
    ProcessWorkArea& operator=(ProcessWorkArea&&) = delete;
    ProcessWorkArea(const ProcessWorkArea&) = delete;
    ~ProcessWorkArea();

    // The area's folder, without a trailing separator.
    const std::string& Root() const { return m_root; }

  private:
    ProcessWorkArea(std::string root, bool keep, FileDescriptor lock);
    std::string m_root;
    bool m_keep;
    FileDescriptor m_lock;                 // a kept folder, locked against other processes
    std::optional<ScratchPath> m_scratch;  // a temporary folder, registered as scratch
};

}  // namespace quirebook
