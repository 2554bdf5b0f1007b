#include "word/docx/WordDocumentLooks.h"

#include <pugixml.hpp>

#include <cstring>
#include <map>
#include <optional>

#include "text/TextUtilities.h"
#include "word/docx/DocxPackage.h"

namespace quirebook::testing {

namespace {

struct RunProperties {
    std::optional<double> Points;
    std::optional<std::string> Font;
    std::optional<bool> Underline, Strike, Hidden;
};

// A toggle property (w:strike, w:vanish) is on unless its value says off.
bool IsOn(pugi::xml_node toggle) {
    const std::string value = toggle.attribute("w:val").as_string("true");
    return value != "0" && value != "false" && value != "off";
}

class DocumentReader {
  public:
    explicit DocumentReader(const std::string& path) : m_package(path) {
        m_package.ReadXml(m_package.MainDocumentPart(), m_document);
        for (const auto& [id, relationship] :
             m_package.Relationships(m_package.MainDocumentPart())) {
            if (relationship.External) continue;
            if (relationship.Type == "styles") m_package.ReadXml(relationship.Target, m_styles);
            if (relationship.Type == "numbering")
                m_package.ReadXml(relationship.Target, m_numbering);
            if (relationship.Type == "fontTable") m_package.ReadXml(relationship.Target, m_fonts);
            if (relationship.Type == "theme") m_package.ReadXml(relationship.Target, m_theme);
        }
        for (const pugi::xml_node style : m_styles.document_element().children("w:style")) {
            m_stylesById[style.attribute("w:styleId").as_string()] = style;
            const std::string isDefault = style.attribute("w:default").as_string();
            if ((isDefault == "1" || isDefault == "true") &&
                std::strcmp(style.attribute("w:type").as_string(), "paragraph") == 0)
                m_defaultParagraphStyle = style.attribute("w:styleId").as_string();
        }
    }

    WordDocumentLooks Looks() {
        WordDocumentLooks looks;
        RunProperties normal = Defaults();
        ApplyStyleChain(m_defaultParagraphStyle, normal, 0);
        looks.NormalPoints = normal.Points.value_or(10);
        Collect(m_document.document_element().child("w:body"), looks);
        return looks;
    }

  private:
    RunProperties Defaults() const {
        RunProperties properties;
        ApplyRunProperties(
            m_styles.document_element().child("w:docDefaults").child("w:rPrDefault").child("w:rPr"),
            properties);
        return properties;
    }

    std::string ThemeFont(std::string_view reference) const {
        const pugi::xml_node scheme =
            m_theme.document_element().child("a:themeElements").child("a:fontScheme");
        const char* which = reference.starts_with("major") ? "a:majorFont" : "a:minorFont";
        return scheme.child(which).child("a:latin").attribute("typeface").as_string();
    }

    void ApplyRunProperties(pugi::xml_node rPr, RunProperties& properties) const {
        for (const pugi::xml_node property : rPr.children()) {
            const std::string_view name = property.name();
            if (name == "w:sz") {
                properties.Points = property.attribute("w:val").as_double() / 2;
            } else if (name == "w:rFonts") {
                std::string font;
                if (const auto theme = property.attribute("w:asciiTheme"))
                    font = ThemeFont(theme.as_string());
                if (font.empty()) font = property.attribute("w:ascii").as_string();
                if (font.empty()) font = property.attribute("w:hAnsi").as_string();
                if (!font.empty()) properties.Font = font;
            } else if (name == "w:u") {
                const std::string value = property.attribute("w:val").as_string();
                properties.Underline = !value.empty() && value != "none";
            } else if (name == "w:strike" || name == "w:dstrike") {
                properties.Strike = IsOn(property);
            } else if (name == "w:vanish") {
                properties.Hidden = IsOn(property);
            }
        }
    }

    void ApplyStyleChain(const std::string& id, RunProperties& properties, int depth) const {
        const auto found = m_stylesById.find(id);
        if (found == m_stylesById.end() || depth > 20) return;
        ApplyStyleChain(found->second.child("w:basedOn").attribute("w:val").as_string(), properties,
                        depth + 1);
        ApplyRunProperties(found->second.child("w:rPr"), properties);
    }

    // The first of the style chain's paragraph properties that has a child `name`.
    pugi::xml_node StyleParagraphProperty(const std::string& id, const char* name,
                                          int depth = 0) const {
        const auto found = m_stylesById.find(id);
        if (found == m_stylesById.end() || depth > 20) return {};
        if (const pugi::xml_node own = found->second.child("w:pPr").child(name)) return own;
        return StyleParagraphProperty(
            found->second.child("w:basedOn").attribute("w:val").as_string(), name, depth + 1);
    }

    int HeadingLevel(pugi::xml_node pPr, const std::string& style) const {
        pugi::xml_node outline = pPr.child("w:outlineLvl");
        if (!outline) outline = StyleParagraphProperty(style, "w:outlineLvl");
        if (outline) {
            const int level = outline.attribute("w:val").as_int(9);
            return level >= 0 && level < 9 ? level + 1 : 0;
        }
        const auto found = m_stylesById.find(style);
        if (found == m_stylesById.end()) return 0;
        const std::string name =
            AsciiLower(found->second.child("w:name").attribute("w:val").as_string());
        if (name.size() == 9 && name.starts_with("heading ") && name[8] >= '1' && name[8] <= '9')
            return name[8] - '0';
        return 0;
    }

    void ReadBullet(pugi::xml_node pPr, const std::string& style, WordParagraphLook& look) const {
        pugi::xml_node numPr = pPr.child("w:numPr");
        if (!numPr) numPr = StyleParagraphProperty(style, "w:numPr");
        if (!numPr) return;
        const std::string numId = numPr.child("w:numId").attribute("w:val").as_string();
        const std::string ilvl = numPr.child("w:ilvl").attribute("w:val").as_string("0");
        const pugi::xml_node numbering = m_numbering.document_element();
        const pugi::xml_node num =
            numbering.find_child_by_attribute("w:num", "w:numId", numId.c_str());
        if (!num) return;
        pugi::xml_node level;
        for (const pugi::xml_node override : num.children("w:lvlOverride"))
            if (ilvl == override.attribute("w:ilvl").as_string()) level = override.child("w:lvl");
        if (!level) {
            const pugi::xml_node abstract = numbering.find_child_by_attribute(
                "w:abstractNum", "w:abstractNumId",
                num.child("w:abstractNumId").attribute("w:val").as_string());
            level = abstract.find_child_by_attribute("w:lvl", "w:ilvl", ilvl.c_str());
        }
        if (std::strcmp(level.child("w:numFmt").attribute("w:val").as_string(), "bullet") != 0)
            return;
        const std::string text = level.child("w:lvlText").attribute("w:val").as_string();
        RunProperties properties;
        ApplyRunProperties(level.child("w:rPr"), properties);
        if (text.empty() || !properties.Font) return;
        // The first character, decoded from UTF-8.
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
        unsigned code = byte(0);
        if (code >= 0xF0 && text.size() >= 4)
            code = ((code & 0x07u) << 18) | ((byte(1) & 0x3Fu) << 12) | ((byte(2) & 0x3Fu) << 6) |
                   (byte(3) & 0x3Fu);
        else if (code >= 0xE0 && text.size() >= 3)
            code = ((code & 0x0Fu) << 12) | ((byte(1) & 0x3Fu) << 6) | (byte(2) & 0x3Fu);
        else if (code >= 0xC0 && text.size() >= 2)
            code = ((code & 0x1Fu) << 6) | (byte(1) & 0x3Fu);
        if (code >= 0xF020 && code <= 0xF0FF) code -= 0xF000;
        look.BulletFont = *properties.Font;
        look.BulletCode = code;
    }

    bool IsMonospaced(const std::string& font) const {
        const pugi::xml_node entry =
            m_fonts.document_element().find_child_by_attribute("w:font", "w:name", font.c_str());
        if (entry) {
            if (std::strcmp(entry.child("w:pitch").attribute("w:val").as_string(), "fixed") == 0)
                return true;
            // The panose number's fourth byte, its proportion, is 9 for monospaced faces.
            const std::string panose = entry.child("w:panose1").attribute("w:val").as_string();
            if (panose.size() == 20) return panose.substr(6, 2) == "09";
        }
        const std::string name = AsciiLower(font);
        return name == "courier new" || name == "courier" || name == "consolas" ||
               name == "lucida console" || name == "menlo" || name == "monaco";
    }

    void AddRuns(pugi::xml_node node, const RunProperties& paragraph,
                 WordParagraphLook& look) const {
        for (const pugi::xml_node child : node.children()) {
            const std::string_view name = child.name();
            if (name == "w:del" || name == "w:moveFrom" || name == "mc:Fallback" ||
                name == "w:txbxContent" || name == "w:pPr")
                continue;
            if (name != "w:r") {
                AddRuns(child, paragraph, look);
                continue;
            }
            RunProperties properties = paragraph;
            const pugi::xml_node rPr = child.child("w:rPr");
            ApplyStyleChain(rPr.child("w:rStyle").attribute("w:val").as_string(), properties, 0);
            ApplyRunProperties(rPr, properties);
            if (properties.Hidden.value_or(false)) continue;
            WordRunLook run;
            for (const pugi::xml_node part : child.children()) {
                const std::string_view partName = part.name();
                if (partName == "w:t") run.Text += part.text().get();
                if (partName == "w:tab" || partName == "w:br" || partName == "w:cr")
                    run.Text += ' ';
            }
            if (run.Text.empty()) continue;
            run.Points = properties.Points.value_or(10);
            run.Font = properties.Font.value_or("");
            run.Monospaced = !run.Font.empty() && IsMonospaced(run.Font);
            run.Underline = properties.Underline.value_or(false);
            run.Strike = properties.Strike.value_or(false);
            look.Text += run.Text;
            look.Runs.push_back(std::move(run));
        }
    }

    void Collect(pugi::xml_node node, WordDocumentLooks& looks) const {
        for (const pugi::xml_node child : node.children()) {
            const std::string_view name = child.name();
            if (name == "w:del" || name == "w:moveFrom" || name == "mc:Fallback") continue;
            if (name == "w:p") {
                const pugi::xml_node pPr = child.child("w:pPr");
                std::string style = pPr.child("w:pStyle").attribute("w:val").as_string();
                if (style.empty()) style = m_defaultParagraphStyle;
                WordParagraphLook look;
                look.DefaultStyle = style == m_defaultParagraphStyle;
                look.HeadingLevel = HeadingLevel(pPr, style);
                ReadBullet(pPr, style, look);
                RunProperties paragraph = Defaults();
                ApplyStyleChain(style, paragraph, 0);
                AddRuns(child, paragraph, look);
                looks.Paragraphs.push_back(std::move(look));
            }
            // Text boxes hold paragraphs of their own, inside a paragraph's run.
            Collect(child, looks);
        }
    }

    DocxPackage m_package;
    pugi::xml_document m_document, m_styles, m_numbering, m_fonts, m_theme;
    std::map<std::string, pugi::xml_node> m_stylesById;
    std::string m_defaultParagraphStyle;
};

}  // namespace

WordDocumentLooks ReadWordDocumentLooks(const std::string& path) {
    return DocumentReader(path).Looks();
}

}  // namespace quirebook::testing
