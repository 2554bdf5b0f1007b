// Word style and bullet cleanup: Word's style definitions cut down to what a book needs, the
// symbol-font bullets mapped to the characters they show, and the inline formatting stripped by the
// light cleaner.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// Shrinks `definitions` (the text of the page's Word style block) to what a book needs: the font
// definitions become one comment, page and list definitions, at-rules, section and plain
// paragraph rules go, Word's normal style becomes the rule of its elements, class rules the
// body of `page` does not use are dropped, margins are combined and the comment's end ("-->")
// removed; its start ("<!--") is left for the rebuilt style element to remove.
void CleanWordStyleSheet(std::string_view page, std::string& definitions);

// Removes every class rule of `definitions` written on a line of its own ("\n" element "."
// class) whose class name occurs nowhere in `body`, from the line feed before its selector to
// its "}". The test is a plain substring search, so a name inside a longer word counts as used.
// A rule without a "}" after it stays.
void DropUnusedClassRules(std::string& definitions, std::string_view body);

// Replaces the text Word writes after a tag styled with the Wingdings font (up to the next tag;
// a bullet glyph, most often) by the Unicode characters Wingdings draws for it ("l" -> "●",
// "§" -> "▪", "ü" -> "✓"), then removes the font's declarations. Entities, characters the font
// table does not know and text that no tag ends stay as they are.
void MapWingdingsBullets(std::string& text);
// As MapWingdingsBullets for the Symbol font ("·" -> "•", "a" -> "α").
void MapSymbolBullets(std::string& text);

// Removes span and font tags and every style attribute, quoted or not, but a picture's; a span
// that says its text's direction (dir) keeps that alone.
void StripInlineFormatting(std::string& text);

}  // namespace quirebook
