#include "word/docx/DocxNumbering.h"

#include <algorithm>
#include <map>

#include "word/docx/ListNumberFormat.h"
#include "word/docx/SymbolGlyphs.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// Numbers past this bound are an attack on the label's length, not a list.
constexpr long kLargestListNumber = 1000000000;

ListLevel ReadLevel(pugi::xml_node node, const DocxFonts& fonts) {
    ListLevel level;
    level.Start =
        std::clamp(NumberAttribute(node.child("w:start"), "w:val", 1), 0L, kLargestListNumber);
    if (const pugi::xml_node format = node.child("w:numFmt"))
        level.Format = std::string(AttributeText(format));
    level.Text = std::string(AttributeText(node.child("w:lvlText")));
    if (const pugi::xml_node restart = node.child("w:lvlRestart"))
        level.Restart = std::clamp(NumberAttribute(restart, "w:val", -1), -1L, 9L);
    level.Legal = node.child("w:isLgl") && ToggleValue(node.child("w:isLgl"));
    if (const pugi::xml_node suffix = node.child("w:suff"))
        level.Suffix = std::string(AttributeText(suffix));
    ReadParagraphFormat(node.child("w:pPr"), level.Paragraph);
    ReadRunFormat(node.child("w:rPr"), fonts, level.Run);
    return level;
}

long LevelIndex(pugi::xml_node node) {
    return NumberAttribute(node, "w:ilvl", -1);
}

}  // namespace

void DocxNumbering::Load(const DocxPackage& package, const DocxFonts& fonts,
                         const DocxStyles& styles) {
    pugi::xml_document part;
    for (const auto& [id, relationship] : package.Relationships(package.MainDocumentPart())) {
        if (relationship.Type == "numbering" && !relationship.External) {
            LoadOptionalWordPart(package, relationship.Target, part);
            break;
        }
    }
    const pugi::xml_node root = part.document_element();
    std::map<long, std::size_t> abstractIndex;
    std::vector<std::string> styleLinks;  // per abstract list: the numbering style it stands for
    for (const pugi::xml_node node : root.children("w:abstractNum")) {
        const long id = NumberAttribute(node, "w:abstractNumId", -1);
        if (abstractIndex.count(id) != 0) continue;
        abstractIndex.emplace(id, m_abstracts.size());
        styleLinks.emplace_back(AttributeText(node.child("w:numStyleLink")));
        AbstractList& list = m_abstracts.emplace_back();
        for (const pugi::xml_node level : node.children("w:lvl")) {
            const long index = LevelIndex(level);
            if (index >= 0 && index < kLevels) list.Levels[index] = ReadLevel(level, fonts);
        }
    }
    for (const pugi::xml_node node : root.children("w:num")) {
        const long id = NumberAttribute(node, "w:numId", -1);
        const auto abstract =
            abstractIndex.find(NumberAttribute(node.child("w:abstractNumId"), "w:val", -1));
        if (id <= 0 || abstract == abstractIndex.end() || m_lists.count(id) != 0) continue;
        List list;
        list.Abstract = abstract->second;
        for (const pugi::xml_node levelOverride : node.children("w:lvlOverride")) {
            const long index = LevelIndex(levelOverride);
            if (index < 0 || index >= kLevels) continue;
            if (const pugi::xml_node start = levelOverride.child("w:startOverride"))
                list.StartOverrides[index] =
                    std::clamp(NumberAttribute(start, "w:val", 1), 0L, kLargestListNumber);
            if (const pugi::xml_node level = levelOverride.child("w:lvl"))
                list.Levels[index] = ReadLevel(level, fonts);
        }
        m_lists.emplace(id, std::move(list));
    }
    // An abstract list that only links to a numbering style takes the levels of the list that
    // style names (one step: Word's links never chain).
    for (auto& [id, list] : m_lists) {
        const std::string& link = styleLinks[list.Abstract];
        if (link.empty()) continue;
        const DocxStyle* style = styles.Find(link, StyleKind::Numbering);
        if (style == nullptr || !style->Paragraph.NumberingId) continue;
        const auto target = m_lists.find(*style->Paragraph.NumberingId);
        if (target != m_lists.end() && styleLinks[target->second.Abstract].empty())
            list.Abstract = target->second.Abstract;
    }
    m_counters.assign(m_abstracts.size(), {});
}

const ListLevel* DocxNumbering::Level(long numId, long level) const {
    const auto list = m_lists.find(numId);
    if (list == m_lists.end() || level < 0 || level >= kLevels) return nullptr;
    if (list->second.Levels[level]) return &*list->second.Levels[level];
    const auto& defined = m_abstracts[list->second.Abstract].Levels[level];
    return defined ? &*defined : nullptr;
}

long DocxNumbering::StartOf(const List& list, long level) const {
    if (list.StartOverrides[level]) return *list.StartOverrides[level];
    if (list.Levels[level]) return list.Levels[level]->Start;
    const auto& defined = m_abstracts[list.Abstract].Levels[level];
    return defined ? defined->Start : 1;
}

std::string DocxNumbering::NextLabel(long numId, long level) {
    const ListLevel* format = Level(numId, level);
    if (format == nullptr) return {};
    List& list = m_lists.at(numId);
    auto& counters = m_counters[list.Abstract];
    // A list that overrides its start values restarts those levels where it is first used.
    if (!list.Counted) {
        list.Counted = true;
        for (int i = 0; i < kLevels; ++i)
            if (list.StartOverrides[i]) counters[i].reset();
    }
    counters[level] =
        counters[level] ? std::min(*counters[level] + 1, kLargestListNumber) : StartOf(list, level);
    for (long deeper = level + 1; deeper < kLevels; ++deeper) {
        const ListLevel* deeperFormat = Level(numId, deeper);
        const long restart = deeperFormat != nullptr ? deeperFormat->Restart : -1;
        if (restart == -1 || (restart > 0 && level < restart)) counters[deeper].reset();
    }
    if (format->Format == "bullet") return SymbolGlyphText(format->Text);

    std::string label;
    const std::string& text = format->Text;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const long referenced = text[++i] - '1';
            const ListLevel* referencedFormat = Level(numId, referenced);
            const long value =
                counters[referenced] ? *counters[referenced] : StartOf(list, referenced);
            const std::string numberFormat =
                format->Legal && referencedFormat != nullptr && referencedFormat->Format != "none"
                    ? "decimal"
                    : (referencedFormat != nullptr ? referencedFormat->Format : "decimal");
            label += FormatListNumber(value, numberFormat);
        } else {
            label += text[i];
        }
    }
    return SymbolGlyphText(label);
}

}  // namespace quirebook
