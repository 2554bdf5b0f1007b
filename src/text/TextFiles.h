// Whole-file reading and writing of byte strings, and file sizes.
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

// Size in bytes of the file; 0 when there is none (or it is a folder).
std::int64_t FileSizeOf(const std::string& path);

}  // namespace quirebook
