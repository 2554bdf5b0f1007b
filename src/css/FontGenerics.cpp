#include "css/FontGenerics.h"

#include <string>

#include "text/TextUtilities.h"

namespace quirebook {

namespace {

struct KnownFont {
    std::string_view
        Name;  // lower case; also the start of longer names ("arial" for "Arial Black")
    std::string_view Generic;
};

// Fonts of Windows, macOS, Office, Linux distributions and common web fonts. The longest entry a
// name starts with decides ("dejavu serif" over "dejavu").
constexpr KnownFont kKnownFonts[] = {
    // Sans-serif faces.
    {"arial", "sans-serif"},
    {"aptos", "sans-serif"},
    {"arimo", "sans-serif"},
    {"avenir", "sans-serif"},
    {"bahnschrift", "sans-serif"},
    {"calibri", "sans-serif"},
    {"candara", "sans-serif"},
    {"carlito", "sans-serif"},
    {"century gothic", "sans-serif"},
    {"corbel", "sans-serif"},
    {"dejavu sans", "sans-serif"},
    {"franklin gothic", "sans-serif"},
    {"frutiger", "sans-serif"},
    {"futura", "sans-serif"},
    {"geneva", "sans-serif"},
    {"gill sans", "sans-serif"},
    {"helvetica", "sans-serif"},
    {"impact", "sans-serif"},
    {"lato", "sans-serif"},
    {"liberation sans", "sans-serif"},
    {"lucida grande", "sans-serif"},
    {"lucida sans", "sans-serif"},
    {"malgun gothic", "sans-serif"},
    {"meiryo", "sans-serif"},
    {"microsoft jhenghei", "sans-serif"},
    {"microsoft sans serif", "sans-serif"},
    {"microsoft yahei", "sans-serif"},
    {"ms pgothic", "sans-serif"},
    {"ms sans serif", "sans-serif"},
    {"myriad", "sans-serif"},
    {"noto sans", "sans-serif"},
    {"open sans", "sans-serif"},
    {"optima", "sans-serif"},
    {"roboto", "sans-serif"},
    {"segoe ui", "sans-serif"},
    {"simhei", "sans-serif"},
    {"source sans", "sans-serif"},
    {"tahoma", "sans-serif"},
    {"trebuchet ms", "sans-serif"},
    {"ubuntu", "sans-serif"},
    {"univers", "sans-serif"},
    {"verdana", "sans-serif"},
    {"yu gothic", "sans-serif"},
    // Serif faces.
    {"baskerville", "serif"},
    {"batang", "serif"},
    {"bodoni", "serif"},
    {"book antiqua", "serif"},
    {"bookman", "serif"},
    {"caladea", "serif"},
    {"cambria", "serif"},
    {"century", "serif"},
    {"constantia", "serif"},
    {"dejavu serif", "serif"},
    {"didot", "serif"},
    {"garamond", "serif"},
    {"georgia", "serif"},
    {"goudy", "serif"},
    {"liberation serif", "serif"},
    {"minion", "serif"},
    {"mingliu", "serif"},
    {"ms mincho", "serif"},
    {"noto serif", "serif"},
    {"palatino", "serif"},
    {"perpetua", "serif"},
    {"pmingliu", "serif"},
    {"rockwell", "serif"},
    {"sabon", "serif"},
    {"simsun", "serif"},
    {"sylfaen", "serif"},
    {"times", "serif"},
    {"tinos", "serif"},
    {"yu mincho", "serif"},
    // Script faces.
    {"bradley hand", "cursive"},
    {"brush script", "cursive"},
    {"comic sans", "cursive"},
    {"freestyle script", "cursive"},
    {"kristen itc", "cursive"},
    {"lucida calligraphy", "cursive"},
    {"lucida handwriting", "cursive"},
    {"mistral", "cursive"},
    {"monotype corsiva", "cursive"},
    {"segoe print", "cursive"},
    {"segoe script", "cursive"},
    // Display faces.
    {"chiller", "fantasy"},
    {"jokerman", "fantasy"},
    {"papyrus", "fantasy"},
    // Monospaced faces whose names say nothing of it.
    {"andale", "monospace"},
    {"fixedsys", "monospace"},
    {"hack", "monospace"},
    {"inconsolata", "monospace"},
    {"menlo", "monospace"},
    {"monaco", "monospace"},
    {"ocr a", "monospace"},
};

// Words that make a name monospaced wherever they stand: "Liberation Mono", "Cascadia Code",
// "Lucida Console", "Lucida Sans Typewriter", "Courier New", "Consolas".
constexpr std::string_view kMonospacedWords[] = {"mono",    "monospace",  "monospaced",
                                                 "code",    "console",    "consolas",
                                                 "courier", "typewriter", "terminal"};

bool IsNameSeparator(char c) {
    return c == ' ' || c == '-' || c == '_';
}

bool HoldsMonospacedWord(std::string_view name) {
    std::size_t start = 0;
    while (start < name.size()) {
        std::size_t end = start;
        while (end < name.size() && !IsNameSeparator(name[end])) ++end;
        const std::string_view word = name.substr(start, end - start);
        for (const std::string_view monospaced : kMonospacedWords)
            if (word == monospaced) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::string_view KnownGenericFamily(std::string_view family) {
    const std::string name = AsciiLower(family);
    if (HoldsMonospacedWord(name)) return "monospace";
    std::string_view generic;
    std::size_t longest = 0;
    for (const KnownFont& font : kKnownFonts) {
        const bool starts =
            name.starts_with(font.Name) &&
            (name.size() == font.Name.size() || IsNameSeparator(name[font.Name.size()]));
        if (starts && font.Name.size() > longest) {
            longest = font.Name.size();
            generic = font.Generic;
        }
    }
    return generic;
}

bool IsGenericFamily(std::string_view family) {
    const std::string name = AsciiLower(family);
    return name == "serif" || name == "sans-serif" || name == "monospace" || name == "cursive" ||
           name == "fantasy" || name == "system-ui";
}

}  // namespace quirebook
