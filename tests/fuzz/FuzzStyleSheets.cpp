// Fuzz target: a style text through the normalisation of a Word style block and the font
// family collection, and each collected family through the font face rule and its id.
#include "FuzzSupport.h"
#include "css/BookStyleSheets.h"
#include "css/FontEmbedding.h"

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
        // A second rule for the same family replaces the first rather than adding to it.
        if (AddFontFaceRule(once, family, "font.ttf") != once)
            fuzz::Require(false, "the font face rule written once for " + family);
    }
    return 0;
}
