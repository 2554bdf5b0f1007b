#include "app/Validate.h"

#include <filesystem>

#include "app/ExternalPrograms.h"
#include "text/PlainText.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

bool IsFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

// The book to check, or nothing after showing why there is none.
std::optional<std::string> BookToCheck(const BookProject& project, UserInterface& ui,
                                       const std::optional<std::string>& chosenBook) {
    if (!chosenBook) {
        if (project.OutputName.empty()) {
            ui.ShowMessage("Please make an ePub first.");
            return std::nullopt;
        }
        if (!IsFile(project.OutputPath)) {
            ui.ShowMessage("Can not find " + project.OutputName);
            return std::nullopt;
        }
        return project.OutputPath;
    }
    if (chosenBook->empty()) {
        ui.ShowMessage("Please specify an ePub file to check.");
        return std::nullopt;
    }
    if (!IsFile(*chosenBook)) {
        ui.ShowMessage("Can not find " + *chosenBook);
        return std::nullopt;
    }
    return *chosenBook;
}

// The validator's jar, or nothing after showing why there is none.
std::optional<std::string> JarToUse(const OptionFlags& options, UserInterface& ui,
                                    const std::string& systemJar) {
    if (options.EpubCheckJar.empty()) {
        if (IsFile(systemJar)) return systemJar;
        ui.ShowMessage("Please set the epubcheck path first.");
        return std::nullopt;
    }
    if (!IsFile(options.EpubCheckJar)) {
        ui.ShowMessage("The epubcheck jar does not exist, please check the path.");
        return std::nullopt;
    }
    return options.EpubCheckJar;
}

}  // namespace

std::string CleanValidatorOutput(std::string_view output, std::string_view bookPath) {
    const std::string text = PlainReplace(output, bookPath, "");
    std::string cleaned;
    cleaned.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            cleaned += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cleaned += c;
        }
    }
    return cleaned;
}

ValidationResult ValidateBook(const BookProject& project, UserInterface& ui,
                              const std::optional<std::string>& chosenBook,
                              const std::string& systemJar) {
    ValidationResult result;
    const std::optional<std::string> book = BookToCheck(project, ui, chosenBook);
    if (!book) return result;
    const std::optional<std::string> jar = JarToUse(project.Options, ui, systemJar);
    if (!jar) return result;

    // The validator runs in the book's folder and is given the book as "./NAME": it names the
    // book in its messages as it was given ("./" keeps a name beginning with "-" from being read
    // as an option), so exactly that text can be removed from its output. The paths travel as
    // separate arguments, so blanks, quotes and "$(...)" in them are only characters.
    std::error_code error;
    const fs::path absoluteBook = fs::absolute(*book, error);
    const std::string bookArgument = "./" + absoluteBook.filename().string();
    std::string output = RunConsoleCommand({"java", "-jar", *jar, bookArgument},
                                           absoluteBook.parent_path().string());
    // A shell would have said why it could not run the command; say it in its place.
    if (output.empty()) output = "Could not run \"java -jar " + *jar + "\": is Java installed?\n";

    result.Ran = true;
    result.Output = CleanValidatorOutput(output, bookArgument);
    result.Valid = result.Output.find("No errors") != std::string::npos;
    ui.ShowMessage(result.Valid ? "The epub is valid."
                                : "The epub contains errors, please check the log.");
    if (chosenBook) result.LogText = "# checking \"" + *chosenBook + "\" ...\r\n";
    result.LogText += "-------------ePubCheck result--------------\r\n" + result.Output;
    return result;
}

}  // namespace quirebook
