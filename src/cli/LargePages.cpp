#include "cli/LargePages.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

// A book's conversion touches tens of megabytes of fresh memory (the parsed chapters, the Word
// document's XML), page by page. Under a virtual machine each page fault costs microseconds,
// so with 4 KB pages the faults took a quarter of the processor time. glibc's malloc asks for
// transparent huge pages (2 MB) when its tunable glibc.malloc.hugetlb is set, but it reads its
// tunables from the environment before main runs: hence the second start, which costs a few
// milliseconds. The tunable changes how memory is asked for, never what the program does.

namespace quirebook {

namespace {

constexpr const char* kTunables = "GLIBC_TUNABLES";
constexpr const char* kHugePages = "glibc.malloc.hugetlb";

// True when malloc's advice can have the kernel back memory with huge pages: the kernel's
// setting is "always" or "madvise", not "never" (nor missing).
bool KernelOffersHugePages() {
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(setting, modes);
    return modes.find("[always]") != std::string::npos ||
           modes.find("[madvise]") != std::string::npos;
}

}  // namespace

void RestartWithLargePages(char** argv) {
    const char* tunables = std::getenv(kTunables);
    const std::string before = tunables == nullptr ? std::string() : std::string(tunables);
    if (before.find(kHugePages) != std::string::npos || !KernelOffersHugePages()) return;
    const std::string after = (before.empty() ? "" : before + ":") + kHugePages + "=1";
    if (::setenv(kTunables, after.c_str(), 1) != 0) return;
    ::execv("/proc/self/exe", argv);
    // Not restarted (no /proc, say): the environment as it was, for the programs started later.
    if (tunables == nullptr)
        ::unsetenv(kTunables);
    else
        ::setenv(kTunables, before.c_str(), 1);
}

}  // namespace quirebook
