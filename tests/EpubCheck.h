// Test support: runs epubcheck on a book and gives its verdict and output.
#pragma once

#include <string>

namespace quirebook::testing {

struct EpubCheckResult {
    bool Available = false;  // false when Java or epubcheck is missing
    bool Valid = false;      // exit status 0
    std::string Output;
};

EpubCheckResult RunEpubCheck(const std::string& book);

// True when Java and epubcheck are installed, so that RunEpubCheck can judge a book.
bool EpubCheckAvailable();

}  // namespace quirebook::testing
