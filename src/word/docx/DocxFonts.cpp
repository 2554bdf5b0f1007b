#include "word/docx/DocxFonts.h"

#include <pugixml.hpp>

#include "css/FontGenerics.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// "020B0604020202020204" -> "2 11 6 4 2 2 2 2 2 4"; empty when it is not ten hex bytes.
std::string PanoseNumbers(std::string_view hex) {
    if (hex.size() != 20) return {};
    std::string numbers;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int value = 0;
        for (const char c : hex.substr(i, 2)) {
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : -1;
            if (digit < 0) return {};
            value = value * 16 + digit;
        }
        if (!numbers.empty()) numbers += ' ';
        numbers += std::to_string(value);
    }
    return numbers;
}

// The generic family the font table gives a font: a fixed pitch is monospaced whatever its
// family; Word's "modern" family is that of fixed-pitch faces.
std::string GenericFamily(pugi::xml_node font) {
    if (AttributeText(font.child("w:pitch")) == "fixed") return "monospace";
    const std::string_view family = AttributeText(font.child("w:family"));
    if (family == "roman") return "serif";
    if (family == "swiss") return "sans-serif";
    if (family == "modern") return "monospace";
    if (family == "script") return "cursive";
    if (family == "decorative") return "fantasy";
    return {};
}

}  // namespace

std::string SafeFontName(std::string_view name) {
    std::string safe;
    for (const char c : name) {
        if (c != '"' && c != '\'' && c != '\\' && c != ';' && c != '{' && c != '}' && c != '<' &&
            c != '>' && static_cast<unsigned char>(c) >= 0x20)
            safe += c;
    }
    return safe;
}

std::string QuotedFontName(const std::string& name) {
    for (const char c : name) {
        const bool letterOrDigit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit) return '"' + name + '"';
    }
    return name;
}

void DocxFonts::Load(const DocxPackage& package) {
    const auto relationships = package.Relationships(package.MainDocumentPart());
    for (const auto& [id, relationship] : relationships) {
        if (relationship.External) continue;
        pugi::xml_document part;
        if (relationship.Type == "fontTable" &&
            LoadOptionalWordPart(package, relationship.Target, part)) {
            for (const pugi::xml_node font : part.document_element().children("w:font")) {
                const std::string name = SafeFontName(AttributeText(font, "w:name"));
                if (name.empty()) continue;
                m_fonts[name] = {PanoseNumbers(AttributeText(font.child("w:panose1"))),
                                 GenericFamily(font),
                                 AttributeText(font.child("w:charset")) == "02"};
            }
        } else if (relationship.Type == "theme" &&
                   LoadOptionalWordPart(package, relationship.Target, part)) {
            const pugi::xml_node scheme =
                part.document_element().child("a:themeElements").child("a:fontScheme");
            m_majorLatin = SafeFontName(
                AttributeText(scheme.child("a:majorFont").child("a:latin"), "typeface"));
            m_minorLatin = SafeFontName(
                AttributeText(scheme.child("a:minorFont").child("a:latin"), "typeface"));
        }
    }
}

std::string DocxFonts::ThemeFont(std::string_view reference) const {
    if (reference.starts_with("major")) return m_majorLatin;
    if (reference.starts_with("minor")) return m_minorLatin;
    return {};
}

const DocxFont* DocxFonts::Find(const std::string& name) const {
    const auto found = m_fonts.find(name);
    return found == m_fonts.end() ? nullptr : &found->second;
}

std::string DocxFonts::CssFamily(const std::string& name) const {
    const DocxFont* font = Find(name);
    if (font != nullptr && font->Symbol) return QuotedFontName(name);
    std::string generic(KnownGenericFamily(name));
    if (generic.empty() && font != nullptr) generic = font->Generic;
    if (!generic.empty()) return '"' + name + "\"," + generic;
    return QuotedFontName(name);
}

}  // namespace quirebook
