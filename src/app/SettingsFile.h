// The settings file: the option flags and the output folder that outlive a run, kept as the
// lines of setting.opt in the user's folder.
#pragma once

#include "book/BookProject.h"

namespace quirebook {

// Sets every option stored in the settings file to its default, and OutputFolder to
// UserFolder + "/myBook/". TocFromHeadings and SplitSizeKB have no stored default and keep their
// values; options the file does not hold (ExtremeMode, RemoveStyleBlocks, RemoveStyleLinks) are
// left alone.
void ResetSettings(BookProject& book);

// Reads the settings file into the book's options. True when the file was read completely. A
// missing or empty file, an unreadable integer or a bad line 10 makes it false; the book then
// holds the defaults of ResetSettings and nothing of the file.
bool LoadSettings(BookProject& book);

// Writes the book's options as the settings file, unless the file already holds exactly that
// text. Raises InOutError when it cannot be written.
void SaveSettings(const BookProject& book);

}  // namespace quirebook
