#include "word/docx/DocxStyles.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "text/TextUtilities.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// A basedOn chain longer than this is a loop or an attack; Word's own are a few styles long.
constexpr int kLongestStyleChain = 64;

// Built-in styles whose class in Word's pages is not made from their name.
struct ClassException {
    std::string_view Name;
    std::string_view Class;
};

constexpr ClassException kClassExceptions[] = {
    {"annotation text", "MsoCommentText"},         {"annotation reference", "MsoCommentReference"},
    {"annotation subject", "MsoCommentSubject"},   {"balloon text", "MsoAcetate"},
    {"followedhyperlink", "MsoHyperlinkFollowed"}, {"revision", "MsoRMPane"},
};

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

StyleKind KindOf(std::string_view type) {
    if (type == "character") return StyleKind::Character;
    if (type == "table") return StyleKind::Table;
    if (type == "numbering") return StyleKind::Numbering;
    return StyleKind::Paragraph;
}

bool IsTrue(std::string_view value) {
    return value == "1" || value == "true" || value == "on";
}

int HeadingLevelOf(std::string_view name) {
    const std::string lower = AsciiLower(name);
    if (lower.size() == 9 && lower.starts_with("heading ") && lower[8] >= '1' && lower[8] <= '6')
        return lower[8] - '0';
    return 0;
}

// One style as the part states it, before its chain is resolved.
struct StatedStyle {
    DocxStyle Style;
    std::string BasedOn;
    bool Custom = false;
    bool Default = false;
    ParagraphFormat OwnParagraph;
    RunFormat OwnRun;
    TableFormat OwnTable;
};

}  // namespace

std::string StyleClassName(std::string_view name, std::string_view id, bool custom) {
    std::string joined;
    bool wordStart = true;
    for (const char c : name) {
        if (!IsAsciiAlnum(c)) {
            wordStart = true;
            continue;
        }
        // Word spells a built-in style's words capitalised: "TOC Heading" -> "TocHeading".
        if (custom)
            joined += c;
        else
            joined += static_cast<char>(wordStart ? std::toupper(c) : std::tolower(c));
        wordStart = false;
    }
    if (custom) {
        if (!joined.empty()) return joined;
        std::string fromId;
        for (const char c : id)
            if (IsAsciiAlnum(c)) fromId += c;
        return fromId.empty() ? "Style" : fromId;
    }
    const std::string lower = AsciiLower(name);
    for (const ClassException& exception : kClassExceptions)
        if (exception.Name == lower) return std::string(exception.Class);
    return "Mso" + joined;
}

void DocxStyles::Load(const DocxPackage& package, const DocxFonts& fonts,
                      const ThemeColors* theme) {
    pugi::xml_document part;
    for (const auto& [id, relationship] : package.Relationships(package.MainDocumentPart())) {
        if (relationship.Type == "styles" && !relationship.External) {
            LoadOptionalWordPart(package, relationship.Target, part);
            break;
        }
    }
    const pugi::xml_node root = part.document_element();
    const pugi::xml_node defaults = root.child("w:docDefaults");
    ReadRunFormat(defaults.child("w:rPrDefault").child("w:rPr"), fonts, m_defaultRun);
    ReadParagraphFormat(defaults.child("w:pPrDefault").child("w:pPr"), m_defaultParagraph);
    // Word's own default when no layer sets a size: 10 points.
    RunFormat baseRun;
    baseRun.HalfPoints = 20;
    baseRun.Overlay(m_defaultRun);
    m_defaultRun = baseRun;

    std::vector<StatedStyle> stated;
    for (const pugi::xml_node node : root.children("w:style")) {
        StatedStyle style;
        style.Style.Id = std::string(AttributeText(node, "w:styleId"));
        if (style.Style.Id.empty() || m_byId.count(style.Style.Id) != 0) continue;
        style.Style.Name = std::string(AttributeText(node.child("w:name")));
        if (style.Style.Name.empty()) style.Style.Name = style.Style.Id;
        style.Style.Kind = KindOf(AttributeText(node, "w:type"));
        style.BasedOn = std::string(AttributeText(node.child("w:basedOn")));
        style.Custom = IsTrue(AttributeText(node, "w:customStyle"));
        style.Default = IsTrue(AttributeText(node, "w:default"));
        ReadParagraphFormat(node.child("w:pPr"), style.OwnParagraph);
        ReadRunFormat(node.child("w:rPr"), fonts, style.OwnRun);
        if (style.Style.Kind == StyleKind::Table)
            style.OwnTable = ReadTableStyleFormat(node, fonts, theme);
        m_byId.emplace(style.Style.Id, stated.size());
        stated.push_back(std::move(style));
    }

    // Resolve every chain from its farthest ancestor down.
    std::set<std::string> classes;
    std::unordered_map<std::string, int> nextSuffix;  // per class name: the next number to try
    for (StatedStyle& style : stated) {
        std::vector<const StatedStyle*> chain = {&style};
        while (chain.size() < kLongestStyleChain) {
            const auto parent = m_byId.find(chain.back()->BasedOn);
            if (parent == m_byId.end() || &stated[parent->second] == chain.back()) break;
            chain.push_back(&stated[parent->second]);
        }
        DocxStyle& resolved = style.Style;
        TableFormat table;
        for (auto ancestor = chain.rbegin(); ancestor != chain.rend(); ++ancestor) {
            resolved.ChainParagraph.Overlay((*ancestor)->OwnParagraph);
            resolved.ChainRun.Overlay((*ancestor)->OwnRun);
            if ((*ancestor)->Style.Kind == StyleKind::Table) table.Overlay((*ancestor)->OwnTable);
        }
        resolved.Paragraph = resolved.ChainParagraph;
        resolved.Run = resolved.ChainRun;
        if (resolved.Kind == StyleKind::Paragraph) {
            resolved.Paragraph = m_defaultParagraph;
            resolved.Paragraph.Overlay(resolved.ChainParagraph);
            resolved.Run = m_defaultRun;
            resolved.Run.Overlay(resolved.ChainRun);
        }
        if (resolved.Kind == StyleKind::Table)
            resolved.Table = std::make_shared<const TableFormat>(std::move(table));
        if (resolved.Kind == StyleKind::Paragraph)
            resolved.HeadingLevel = HeadingLevelOf(resolved.Name);
        const bool defaultFont = resolved.Kind == StyleKind::Character && style.Default;
        if (resolved.HeadingLevel == 0 && !defaultFont) {
            // HTML class names are matched without regard to case: "codetemp" beside
            // "CODEtemp" becomes "codetemp0", as Word writes it.
            const std::string name = StyleClassName(resolved.Name, resolved.Id, style.Custom);
            std::string unique = name;
            int& suffix = nextSuffix[AsciiLower(name)];
            while (classes.count(AsciiLower(unique)) != 0) unique = name + std::to_string(suffix++);
            classes.insert(AsciiLower(unique));
            resolved.ClassName = unique;
        }
    }
    // The default paragraph style: the one marked default, else "Normal", else one made here.
    std::size_t normal = stated.size();
    for (std::size_t i = 0; i < stated.size(); ++i) {
        if (normal == stated.size() && stated[i].Default &&
            stated[i].Style.Kind == StyleKind::Paragraph)
            normal = i;
        m_styles.push_back(std::move(stated[i].Style));
    }
    if (normal == m_styles.size()) {
        const auto found = m_byId.find("Normal");
        if (found != m_byId.end() && m_styles[found->second].Kind == StyleKind::Paragraph)
            normal = found->second;
    }
    if (normal == m_styles.size()) {
        DocxStyle made;
        made.Id = "Normal";
        made.Name = "Normal";
        made.ClassName = "MsoNormal";
        made.Paragraph = m_defaultParagraph;
        made.Run = m_defaultRun;
        m_styles.push_back(made);
    }
    m_defaultParagraphStyle = normal;
    m_defaultTable = m_styles.size();
    for (std::size_t i = 0; i < stated.size() && m_defaultTable == m_styles.size(); ++i)
        if (stated[i].Default && m_styles[i].Kind == StyleKind::Table) m_defaultTable = i;
}

const DocxStyle& DocxStyles::Paragraph(std::string_view id) const {
    const DocxStyle* style = Find(id, StyleKind::Paragraph);
    return style != nullptr ? *style : m_styles[m_defaultParagraphStyle];
}

const DocxStyle* DocxStyles::DefaultTable() const {
    return m_defaultTable < m_styles.size() ? &m_styles[m_defaultTable] : nullptr;
}

const DocxStyle* DocxStyles::Find(std::string_view id, StyleKind kind) const {
    const auto found = m_byId.find(std::string(id));
    if (found == m_byId.end() || m_styles[found->second].Kind != kind) return nullptr;
    return &m_styles[found->second];
}

}  // namespace quirebook
