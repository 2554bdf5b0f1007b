// One rewriting pass over a chapter that a hostile page cannot turn into a failed book.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "book/ChapterReport.h"

namespace quirebook {

// Runs `step` over `text`. When the pattern engine stops the pass at one of its limits, the text
// stays as it was before the pass and the report's log says which chapter and which pass were
// concerned; the book goes on without that pass.
void RunLimitedPass(ChapterReport& report, std::string_view chapter, std::string_view pass,
                    std::string& text, const std::function<std::string(const std::string&)>& step);

}  // namespace quirebook
