#include "css/FontEmbedding.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <unordered_set>

#include "epub/EpubArchive.h"
#include "text/FolderFiles.h"
#include "text/PlainText.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFontMediaType = "font/opentype";

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// A byte that may stand in an XML name without a colon (bytes above 127 are UTF-8 letters).
bool IsNameByte(char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_' || c == '-' || c == '.' ||
           static_cast<unsigned char>(c) > 127;
}

std::string_view CutBefore(std::string_view text, char c) {
    return text.substr(0, text.find(c));
}

// True for the word of a font shorthand that gives the size (a length, a percentage or a size
// keyword), with its line height when "/" joins one to it. A weight ("700") has no unit.
bool IsFontSizeWord(std::string_view word) {
    const std::string_view size = CutBefore(word, '/');
    if (size.empty()) return false;
    if (IsAsciiDigit(size[0]) || size[0] == '.')
        return IsAsciiLetter(size.back()) || size.back() == '%';
    std::string lower(size);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower == "xx-small" || lower == "x-small" || lower == "small" || lower == "medium" ||
           lower == "large" || lower == "x-large" || lower == "xx-large" || lower == "xxx-large" ||
           lower == "larger" || lower == "smaller";
}

// The family list of a font shorthand's value ("italic bold 12pt/14pt Times New Roman, serif"
// gives "Times New Roman, serif"): what follows the size and its line height. Empty when the
// value has no size, as a system font ("caption") or "inherit" has none.
std::string_view ShorthandFamilies(std::string_view value) {
    std::size_t at = 0;
    const auto nextWord = [&] {
        while (at < value.size() && IsBlank(value[at])) ++at;
        const std::size_t start = at;
        while (at < value.size() && !IsBlank(value[at])) ++at;
        return value.substr(start, at - start);
    };
    for (std::string_view word = nextWord(); !word.empty(); word = nextWord()) {
        if (!IsFontSizeWord(word)) continue;
        // A line height written apart: "12pt / 14pt" or "12pt /14pt".
        const std::size_t afterSize = at;
        const std::string_view next = nextWord();
        if (word.find('/') != std::string_view::npos || !next.starts_with('/')) {
            at = afterSize;
        } else if (next == "/") {
            nextWord();
        }
        return TrimBlanks(value.substr(at));
    }
    return {};
}

// The family that `declaration` (from a "font" up to the end of its rule) names; false when it
// names none.
bool DeclaredFamily(std::string_view declaration, std::string_view& value) {
    constexpr std::size_t kNameLength = 11;  // "font-family"
    if (declaration.substr(4).starts_with("-family")) {
        const std::size_t colon = declaration.find(':', kNameLength);
        value = colon == std::string_view::npos ? std::string_view()
                                                : CutBefore(declaration.substr(colon + 1), ';');
        return true;
    }
    if (declaration.substr(4).starts_with(":")) {
        value = ShorthandFamilies(CutBefore(declaration.substr(5), ';'));
        return true;
    }
    return false;
}

// A family name as the list keeps it: up to its first ",", without double quotes, trimmed, with
// upper-case initials.
std::string CleanFamilyName(std::string_view value) {
    std::string name = PlainReplace(CutBefore(value, ','), "\"", "");
    name = std::string(TrimBlanks(name));
    bool wordStart = true;
    for (char& c : name) {
        if (wordStart && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        wordStart = IsBlank(c);
    }
    return name;
}

// A file name in a CSS url(): as it is when that is valid, else quoted.
std::string CssUrl(std::string_view fileName) {
    const bool plain = fileName.find_first_of(" \t\r\n\"'()\\") == std::string_view::npos;
    if (plain) return "url(" + std::string(fileName) + ")";
    std::string quoted = PlainReplace(fileName, "\\", "\\\\");
    quoted = PlainReplace(quoted, "\"", "\\\"");
    return "url(\"" + quoted + "\")";
}

// A file name inside a double-quoted XML attribute value.
std::string AttributeValue(std::string_view name) {
    return PlainReplace(EscapeMarkup(name), "\"", "&quot;");
}

bool IsFontFileName(const std::string& fileName) {
    std::string extension = fs::path(fileName).extension().string();
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension == ".ttf" || extension == ".otf" || extension == ".fon";
}

std::string RuleOpening(std::string_view id) {
    return "@font-face{\r\nfont-family : \"" + std::string(id) + "\";";
}

}  // namespace

void CollectFontFamilies(std::string_view style, std::vector<std::string>& families) {
    std::unordered_set<std::string> known(families.begin(), families.end());
    std::string previous;     // the name of the occurrence before
    std::size_t ruleEnd = 0;  // the next "}" (or the end of the text), found once per rule
    for (std::size_t at = style.find("font"); at != std::string_view::npos;
         at = style.find("font", at + 4)) {
        if (ruleEnd <= at) ruleEnd = std::min(style.find('}', at), style.size());
        std::string_view value;
        // An occurrence that declares no family ("font-size", "@font-face") repeats the name
        // before it.
        const std::string name = DeclaredFamily(style.substr(at, ruleEnd - at), value)
                                     ? CleanFamilyName(value)
                                     : previous;
        previous = name;
        if (known.insert(name).second) families.push_back(name);
    }
}

std::vector<std::string> FontFamiliesToOffer(const std::vector<std::string>& families) {
    std::vector<std::string> offered;
    offered.reserve(families.size());
    for (const std::string& family : families)
        if (!family.empty()) offered.push_back(family);
    return offered;
}

std::string FontId(std::string_view family) {
    std::string id;
    id.reserve(family.size() + 1);
    for (const char c : family)
        if (IsNameByte(c)) id += c;
    if (!id.empty() && (IsAsciiDigit(id[0]) || id[0] == '-' || id[0] == '.')) id.insert(0, "_");
    return id;
}

namespace {

// Every occurrence of `family` (case ignored) replaced by its `id`, except where it already
// stands as that id: an id that is the family with "_" in front (a family beginning with a
// digit) holds the family, and a style embedded once must not get "__" at a second embedding.
std::string ReplaceFamily(std::string_view style, std::string_view family, const std::string& id) {
    if (family.empty() || id.size() <= family.size() || !id.ends_with(family))
        return PlainReplace(style, family, id, true);
    const std::string_view prefix = std::string_view(id).substr(0, id.size() - family.size());
    std::string result;
    std::size_t copied = 0;
    for (std::size_t at; (at = PosFrom(style, family, copied + 1, true)) != 0;) {
        const std::size_t start = at - 1;
        const bool isId =
            start >= prefix.size() && style.substr(start - prefix.size(), prefix.size()) == prefix;
        result.append(style, copied, start - copied);
        result += isId ? style.substr(start, family.size()) : std::string_view(id);
        copied = start + family.size();
    }
    result.append(style, copied);
    return result;
}

}  // namespace

std::string AddFontFaceRule(std::string_view style, std::string_view family,
                            std::string_view fileName) {
    const std::string id = FontId(family);
    std::string text(style);
    const std::string opening = RuleOpening(id);
    const std::string rule =
        opening + "\r\nfont-weight : normal;\r\nfont-style: normal;\r\nsrc : " + CssUrl(fileName) +
        "; \r\n}\r\n";
    // An earlier rule for the same id (the family embedded before) gives way to the new one; it
    // goes before the family is renamed, which could otherwise change the rule's own words.
    const std::size_t earlier = PosFrom(text, opening, 1);
    if (earlier != 0) {
        const std::size_t close = PosFrom(text, "}", earlier);
        std::size_t end = close == 0 ? text.size() : close;  // 0-based, after the "}"
        if (text.compare(end, 2, "\r\n") == 0) end += 2;
        text.erase(earlier - 1, end - (earlier - 1));
    }
    text = ReplaceFamily(text, family, id);
    return rule + text;
}

std::string AddFontManifestItem(std::string_view opf, std::string_view family,
                                std::string_view fileName) {
    const std::size_t manifestEnd = PosFrom(opf, "</manifest>", 1);
    if (manifestEnd == 0) throw std::runtime_error("content.opf has no manifest");
    const std::string href = AttributeValue(fileName);
    if (PosFrom(opf, "href=\"" + href + "\"", 1) != 0) return std::string(opf);
    // Ids are unique in the whole package document ("ncx", "BookId" and the chapters' too).
    const std::string base = FontId(family);
    std::string id = base;
    for (int n = 2; PosFrom(opf, " id=\"" + id + "\"", 1) != 0; ++n)
        id = base + "-" + std::to_string(n);
    std::string result(opf.substr(0, manifestEnd - 1));
    result += "<item id=\"" + id + "\" href=\"" + href + "\" media-type=\"" +
              std::string(kFontMediaType) + "\"/>\r\n";
    result += opf.substr(manifestEnd - 1);
    return result;
}

bool EmbedFonts(BookProject& project,
                const std::vector<std::pair<std::string, std::string>>& familyToFontFile,
                UserInterface& ui) {
    const std::string stylePath = project.OpsFolder + "style.css";
    const std::string opfPath = project.OpsFolder + "content.opf";
    std::string opf = ReadTextFile(opfPath);
    if (PosFrom(opf, "</manifest>", 1) == 0) {
        ui.ShowMessage("There is no book to embed fonts in: make the book first.");
        return false;
    }
    // A style.css written now would be a file the package does not list, linked by no chapter.
    if (!fs::is_regular_file(stylePath)) {
        ui.ShowMessage(
            "The book has no style.css to declare the fonts in (fonts are embedded in books made "
            "from Word documents).");
        return false;
    }
    // Checked before anything is copied: a font file's name must not replace a book file.
    for (const auto& [family, fontPath] : familyToFontFile) {
        if (fontPath.empty()) continue;
        if (FontId(family).empty()) {
            ui.ShowMessage("\"" + family + "\" is not a font family name.");
            return false;
        }
        if (!IsFontFileName(fs::path(fontPath).filename().string())) {
            ui.ShowMessage("\"" + fontPath + "\" is not a font file (.ttf, .otf, .fon).");
            return false;
        }
    }
    std::string style = ReadTextFile(stylePath);
    for (const auto& [family, fontPath] : familyToFontFile) {
        if (fontPath.empty()) continue;
        const std::string fileName = fs::path(fontPath).filename().string();
        const std::string target = project.OpsFolder + fileName;
        // Copying a file onto itself would truncate it.
        std::error_code error;
        if (!fs::equivalent(fontPath, target, error)) CopyFile(fontPath, target);
        opf = AddFontManifestItem(opf, family, fileName);
        style = AddFontFaceRule(style, family, fileName);
    }
    SaveTextFile(stylePath, style);
    SaveTextFile(opfPath, opf);
    PackEpub(project.WorkFolder, project.OutputPath);
    ui.ShowMessage("Font embeded!");
    return true;
}

}  // namespace quirebook
