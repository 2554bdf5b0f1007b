// Whole-file reading and writing of byte strings (in place or atomically), and file sizes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quirebook {

// The whole file, byte for byte. Empty when the file does not exist or is empty; the one-letter
// text "R" when it exists but cannot be read (no permission, a folder, a device or pipe). Never
// raises.
std::string LoadTextFile(const std::string& path);

// As LoadTextFile, but a file that exists and cannot be read raises InOutError instead of giving
// "R", for callers that must not take that text for the file's content.
std::string ReadTextFile(const std::string& path);

// Creates or truncates the file and writes exactly the bytes of `text`. Raises InOutError.
void SaveTextFile(const std::string& path, std::string_view text);

// Replaces the file with exactly the bytes of `bytes` in one step: they are written to a new
// file beside it, flushed, and renamed over it, so that a reader (or a run that is stopped or
// fails half way) sees the old file or the new one, never a mix. Raises InOutError, leaving the
// old file as it was.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Size in bytes of the file; 0 when there is none (or it is a folder).
std::int64_t FileSizeOf(const std::string& path);

}  // namespace quirebook
