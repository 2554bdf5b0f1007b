#include "app/LibreOfficeConversion.h"

#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "app/ExternalPrograms.h"
#include "text/FolderFiles.h"
#include "word/docx/DocxPackage.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

// A file: URL of an absolute path, with every byte outside the unreserved set escaped.
std::string FileUrl(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const unsigned char c : path) {
        if (std::isalnum(c) ||
            std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    return url;
}

std::string LastLine(const std::string& output) {
    std::string text = output;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const std::size_t newline = text.rfind('\n');
    return newline == std::string::npos ? text : text.substr(newline + 1);
}

}  // namespace

std::string ConvertWithLibreOffice(const std::string& docPath, const std::string& scratchFolder,
                                   std::chrono::milliseconds timeLimit) {
    std::string program = ProgramOnPath("soffice");
    if (program.empty()) program = ProgramOnPath("libreoffice");
    if (program.empty()) {
        throw WordDocumentError(
            "The Word document " + docPath +
            " is in the binary .doc format, which is read through LibreOffice: install "
            "LibreOffice (Debian package libreoffice-writer), or save the document as .docx");
    }
    const fs::path scratch = fs::absolute(scratchFolder);
    const fs::path profile = scratch / "profile";
    const fs::path home = profile / "home";
    const fs::path output = scratch / "converted";
    std::error_code error;
    fs::create_directories(output, error);
    fs::create_directories(home, error);
    // Everything LibreOffice keeps (its profile, and what it writes to the home, cache and
    // temporary folders) stays in a folder made for this one conversion and removed after it,
    // so nothing is shared with another run or left behind.
    struct RemoveProfile {
        fs::path Folder;
        ~RemoveProfile() { DeleteFolderTree(Folder.string()); }
    } const removeProfile{profile};
    const ConsoleRun run = RunConsoleProgram(
        {"env", "HOME=" + home.string(), "XDG_CONFIG_HOME=" + (home / "config").string(),
         "XDG_CACHE_HOME=" + (home / "cache").string(), "TMPDIR=" + home.string(), program,
         "-env:UserInstallation=" + FileUrl((profile / "user").string()), "--headless",
         "--norestore", "--convert-to", "docx", "--outdir", output.string(),
         fs::absolute(docPath).string()},
        scratch.string(), timeLimit);
    const fs::path converted = output / (fs::path(docPath).stem().string() + ".docx");
    if (run.TimedOut) {
        throw WordDocumentError(
            "LibreOffice did not finish converting the Word document " + docPath + " within " +
            std::to_string(std::chrono::duration_cast<std::chrono::seconds>(timeLimit).count()) +
            " s: it was stopped");
    }
    if (!fs::is_regular_file(converted, error)) {
        const std::string said = LastLine(run.Output);
        throw WordDocumentError("LibreOffice could not convert the Word document " + docPath +
                                (said.empty() ? std::string() : ": " + said));
    }
    return converted.string();
}

}  // namespace quirebook
