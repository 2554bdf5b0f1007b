// Support shared by the fuzz targets: the input split into option bits and text, a scratch
// folder per process, and the checks whose failure stops the run as a crash would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "book/AppFolders.h"

// The entry point every target defines; libFuzzer calls it in the fuzz build and the replay
// program calls it in every build.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace quirebook::fuzz {

// An input read as option bits followed by text: the first byte (when there is one) gives the
// bits, so that the fuzzer reaches the paths each option opens.
class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size);

    // Bit `index` (0 to 7) of the first byte.
    bool Flag(int index) const { return (m_flags >> index) & 1u; }
    // The bytes after the first.
    const std::string& Text() const { return m_text; }
    // The text cut at the first occurrence of `separator`: the part before it and the part after
    // (empty when the text has no separator).
    std::pair<std::string, std::string> SplitText(std::string_view separator) const;

  private:
    std::uint8_t m_flags = 0;
    std::string m_text;
};

// A folder of this process's own, empty at each call, deleted when the process ends. Returned
// without a trailing separator.
const std::string& EmptyScratchFolder();

// The installation data of the source tree (templates, style sheets, language lists), as the
// tests read them, with `userFolder` as the writable folder.
AppFolders SourceAppFolders(const std::string& userFolder);

// Stops the process (abort, as a crash) with `what` and the text when `text` is not well-formed
// XML.
void RequireWellFormedXml(const std::string& text, std::string_view what);

// Stops the process with `what` when `holds` is false.
void Require(bool holds, std::string_view what);

}  // namespace quirebook::fuzz
