// Font embedding: the font families named in Word style sheets, and font files added to a
// finished book (its package, its style sheet and its archive).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "book/BookProject.h"
#include "text/UserInterface.h"

namespace quirebook {

// Adds to `families` the family named at each "font" of `style` (case-sensitive), unless it is
// there already (exact comparison). "font-family" gives its value, the "font:" shorthand its
// value without the first two words (size and style), any other "font..." the name of the
// occurrence before it (the empty name when there is none). A name is cut before its first ","
// and ";", loses its double quotes and outer blanks, and gets an upper-case first letter and
// upper-case letters after blanks: `font-family:"times new roman",serif` gives "Times New Roman".
void CollectFontFamilies(std::string_view style, std::vector<std::string>& families);

// The families a user may give a font file, in order: all but the empty name.
std::vector<std::string> FontFamiliesToOffer(const std::vector<std::string>& families);

// The id a family is embedded under, in the style sheet and the manifest: the name without its
// blanks and without the other bytes that cannot stand in an XML name ("Times New Roman" gives
// "TimesNewRoman"), with "_" before a leading digit, "-" or ".". Empty for a name of blanks.
std::string FontId(std::string_view family);

// The style text with every occurrence of `family` (case ignored) replaced by its FontId and the
// family's @font-face rule, naming the font file `fileName` beside the sheet, put first. An
// earlier rule of the same id written by this function is removed.
std::string AddFontFaceRule(std::string_view style, std::string_view family,
                            std::string_view fileName);

// content.opf with a manifest item for the font file `fileName` (id FontId(family), media type
// "font/opentype") before "</manifest>". A file already listed is not listed again; an id in use
// in the document gets "-2", "-3" ... after it. Raises std::runtime_error without "</manifest>".
std::string AddFontManifestItem(std::string_view opf, std::string_view family,
                                std::string_view fileName);

// Embeds each family's font file (pairs of family name and font file path; an empty path skips
// the family) into the book last made: copies the files into OpsFolder, lists them in
// content.opf, declares them in style.css, packs WorkFolder into OutputPath again and says "Font
// embeded!". Only .ttf, .otf and .fon files are taken. A book without a manifest or a style.css,
// a family without a name or a file that is not a font is refused with a message, before
// anything is written: the result is then false. Raises InOutError when a file cannot be read,
// copied, written or packed.
bool EmbedFonts(BookProject& project,
                const std::vector<std::pair<std::string, std::string>>& familyToFontFile,
                UserInterface& ui);

}  // namespace quirebook
