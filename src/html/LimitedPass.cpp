#include "html/LimitedPass.h"

#include "text/RegexError.h"

namespace quirebook {

void RunLimitedPass(ChapterReport& report, std::string_view chapter, std::string_view pass,
                    std::string& text, const std::function<std::string(const std::string&)>& step) {
    try {
        text = step(text);
    } catch (const RegexLimitError& error) {
        report.AddLog(std::string(chapter) + ": " + std::string(pass) +
                      " was left out: " + error.what());
    }
}

}  // namespace quirebook
