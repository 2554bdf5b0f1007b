// Fuzz target: a style text through the normalisation of a Word style block and the font
// family collection, each collected family through the font face rule and its id, and the text
// through the repair of a book's sheets and style attributes.
#include "FuzzSupport.h"
#include "css/BookStyleSheets.h"
#include "css/FontEmbedding.h"
#include "css/StyleSheetRepair.h"

namespace {

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quirebook;
    const fuzz::FuzzInput input(data, size);
    OptionFlags options;
    options.RelativeFontSize = input.Flag(0);
    options.SevenLevelFontSize = input.Flag(1);
    options.AllowNegativeValues = input.Flag(2);
    options.AllowLineHeight = input.Flag(3);
    options.AllowPageBreak = input.Flag(4);
    options.AllowColumnWidth = input.Flag(5);
    options.StripTableWidth = input.Flag(6);
    options.BaseFontSize = input.Flag(7) ? 16 : 0;
    std::string style = NormaliseWordStyle(input.Text(), options, "p { margin: 0 }");
    CombineMargins(style);
    // The base size is read from the style's own pixel size when the options leave it open (and
    // stays open, 0, when there is nothing to scale).
    fuzz::Require(options.BaseFontSize >= 0 && options.BaseFontSize <= 255,
                  "a base font size of 0 to 255");
    std::vector<std::string> families;
    CollectFontFamilies(input.Text(), families);
    CollectFontFamilies(style, families);
    for (const std::string& family : FontFamiliesToOffer(families)) {
        const std::string id = FontId(family);
        if (id.empty()) continue;
        const std::string once = AddFontFaceRule(style, family, "font.ttf");
        // A second rule for the same family replaces the first rather than adding to it. (The
        // texts themselves may differ: the family is replaced by its id as plain text, and a
        // name such as "0 0" can be found again inside its own replacement "_00 0".)
        const std::string opening = "@font-face{\r\nfont-family : \"" + id + "\";";
        fuzz::Require(Occurrences(AddFontFaceRule(once, family, "font.ttf"), opening) ==
                          Occurrences(once, opening),
                      "the font face rule written once for " + family);
    }
    // What the repair leaves is valid: repaired again, it stays as it is.
    for (const bool withoutDirection : {false, true}) {
        const std::string sheet = RepairStyleSheet(input.Text(), withoutDirection).Text;
        fuzz::Require(RepairStyleSheet(sheet, withoutDirection).Text == sheet,
                      "a repaired sheet that needs no more repair");
        const std::string declarations = RepairStyleAttribute(input.Text(), withoutDirection).Text;
        fuzz::Require(RepairStyleAttribute(declarations, withoutDirection).Text == declarations,
                      "a repaired style attribute that needs no more repair");
    }
    return 0;
}
