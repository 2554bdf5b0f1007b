#include "EpubCheck.h"

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace quirebook::testing {

namespace {
constexpr const char* kEpubCheckJar = "/usr/share/java/epubcheck.jar";
}

bool EpubCheckAvailable() {
    return std::filesystem::exists(kEpubCheckJar) && std::system("command -v java >/dev/null") == 0;
}

EpubCheckResult RunEpubCheck(const std::string& book) {
    EpubCheckResult result;
    if (!EpubCheckAvailable()) return result;
    result.Available = true;
    const std::string command = std::string("java -jar ") + kEpubCheckJar + " '" + book + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        result.Output.append(buffer, got);
    const int status = ::pclose(pipe);
    result.Valid = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

}  // namespace quirebook::testing
