// Folder helpers: emptying and deleting folder trees, copying files and the files of a folder.
// None of them ever follows a symbolic link out of the folder it works on.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// Deletes everything inside `folder` and keeps the folder. Entries that are read-only are
// deleted all the same; a symbolic link is removed, never its target. False when something
// could not be deleted (the rest is still deleted); true for a folder that does not exist.
bool EmptyFolder(const std::string& folder);

// Deletes `folder` with everything inside it (a link given as `folder` is removed, not
// followed). False when something could not be deleted.
bool DeleteFolderTree(const std::string& folder);

// Copies every byte of `source` into `target`, created or truncated. Raises InOutError naming
// the file at fault when the source cannot be read or the target cannot be written.
void CopyFile(const std::string& source, const std::string& target);

// Copies the files of `source` (not its subfolders) into `target`, which is created when
// missing. A symbolic link is copied only when it leads to a file inside `source`. False when
// `source` is missing or holds no entries; copy errors raise InOutError.
bool CopyFolderFiles(const std::string& source, const std::string& target);

// The entry at `relative` (names separated by "/") below `folder` whose names, read by
// FileNameToUtf8, are those of `relative`: `folder` + `relative` when that exists as written,
// else the entry whose names are on disk in other bytes (a Latin-1 "caf\xE9.htm" for
// "caf\u00E9.htm"). The empty text when there is no such entry.
std::string LocateByUtf8Names(const std::string& folder, std::string_view relative);

// True for a relative path with no ".." segment, "/" and "\\" both taken as separators: a path
// that cannot climb out of the folder it is taken from.
bool IsSafeRelativePath(std::string_view path);

// True when `path`, with its links resolved, lies inside `folder` (links resolved too).
bool IsInsideFolder(const std::string& path, const std::string& folder);

}  // namespace quirebook
