// The texts of a book's chapters held in memory across the book-wide steps: loaded once from
// the work folder, changed in place by each step, written back once.
#pragma once

#include <string>
#include <vector>

#include "book/BookProject.h"

namespace quirebook {

// One text per entry of ChapterFiles, in the same order.
using ChapterTexts = std::vector<std::string>;

// Every chapter file of OpsFolder, as LoadTextFile reads it.
ChapterTexts LoadChapterTexts(const BookProject& project);

// Writes each text over its chapter file in OpsFolder. Raises InOutError.
void SaveChapterTexts(const BookProject& project, const ChapterTexts& texts);

}  // namespace quirebook
