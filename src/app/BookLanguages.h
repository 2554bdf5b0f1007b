// The book's language: the names offered for it, the code written into the book for a name, and
// the .lang list files (one language name a line) those names come from.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/BookProject.h"

namespace quirebook {

// The language code of a language name, for the book's metadata. In this order:
// - English, French, Spanish, German, Japanese and Korean in any case of letters;
// - a name of the built-in list of entries "xx:Name" (case-sensitive), so "Ukrainian" gives "uk",
//   "Chinese (Simplified)" "zh-CN" and "Hebrew" "iw";
// - a name of the entries "xx:Name" of `langFolder` + "/lang.dic" (case-sensitive);
// - else "en".
// A name counts as found where it begins an entry, right after "xx:"; it may be the beginning
// of a longer name there, and the first such entry wins.
std::string LanguageCode(std::string_view name, const std::string& langFolder);
// As above, with the dictionary of the book's installation data (AppFolder + "/lang").
std::string LanguageCode(std::string_view name, const BookProject& book);

// The language name of a language tag ("fa-IR", "EN-US", "zh-TW"), as LanguageCode reads it
// back: the six common languages, Chinese (Simplified or Traditional by region or script),
// Hebrew, and the entries of `langFolder` + "/lang.dic" by the tag's two-letter language; empty
// for any other tag.
std::string LanguageNameOfCode(std::string_view tag, const std::string& langFolder);
// As above, with the dictionary of the book's installation data (AppFolder + "/lang").
std::string LanguageNameOfCode(std::string_view tag, const BookProject& book);

// The names of a .lang file: one a line, the line ending with CR LF or LF; blanks around a name
// and blank lines are dropped, as is a UTF-8 byte order mark. Empty when the file is missing.
std::vector<std::string> ReadLanguageList(const std::string& path);

// Writes the names one a line, each ended by CR LF, creating the file's folder when missing.
// Raises InOutError when the file cannot be written.
void WriteLanguageList(const std::string& path, const std::vector<std::string>& names);

// The names the book-language drop-down offers: those of the user's list, else of the common
// list; a list that is missing or holds no name is passed over. Without either, "English",
// "French", "Spanish" and "German".
std::vector<std::string> BookLanguageNames(const BookProject& book);

// The language a new session starts with: the first name BookLanguageNames offers.
std::string StartingBookLanguage(const BookProject& book);

}  // namespace quirebook
