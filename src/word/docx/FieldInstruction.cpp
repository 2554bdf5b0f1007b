#include "word/docx/FieldInstruction.h"

#include <cctype>
#include <optional>
#include <vector>

namespace quirebook {

namespace {

struct Token {
    std::string Text;
    bool Switch = false;  // "\l"
};

// Splits an instruction into words, quoted arguments (a backslash in them escapes the next
// character, so "C:\\docs" names C:\docs) and switches.
std::vector<Token> Tokens(std::string_view instruction) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < instruction.size()) {
        const char c = instruction[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '"') {
            Token token;
            for (++i; i < instruction.size() && instruction[i] != '"'; ++i) {
                if (instruction[i] == '\\' && i + 1 < instruction.size()) ++i;
                token.Text += instruction[i];
            }
            ++i;
            tokens.push_back(std::move(token));
        } else if (c == '\\' && i + 1 < instruction.size()) {
            tokens.push_back({std::string(1, instruction[i + 1]), true});
            i += 2;
        } else {
            Token token;
            for (;
                 i < instruction.size() &&
                 !std::isspace(static_cast<unsigned char>(instruction[i])) && instruction[i] != '"';
                 ++i) {
                token.Text += instruction[i];
            }
            tokens.push_back(std::move(token));
        }
    }
    return tokens;
}

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::optional<CrossReference> FieldCrossReference(std::string_view instruction) {
    const std::vector<Token> tokens = Tokens(instruction);
    if (tokens.size() < 2 || tokens[0].Switch || tokens[1].Switch || tokens[1].Text.empty())
        return std::nullopt;
    const std::string& field = tokens[0].Text;
    if (!SameWord(field, "REF") && !SameWord(field, "NOTEREF") && !SameWord(field, "PAGEREF"))
        return std::nullopt;
    return CrossReference{SameWord(field, "PAGEREF"), tokens[1].Text};
}

std::string FieldLinkTarget(std::string_view instruction) {
    const std::vector<Token> tokens = Tokens(instruction);
    if (tokens.empty() || tokens[0].Switch || !SameWord(tokens[0].Text, "HYPERLINK")) return {};
    std::string target;
    std::string location;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (!token.Switch) {
            if (target.empty()) target = token.Text;
            continue;
        }
        const bool takesArgument =
            SameWord(token.Text, "l") || SameWord(token.Text, "o") || SameWord(token.Text, "t");
        if (takesArgument && i + 1 < tokens.size() && !tokens[i + 1].Switch) {
            if (SameWord(token.Text, "l")) location = tokens[i + 1].Text;
            ++i;
        }
    }
    if (location.empty()) return target;
    return target + '#' + location;
}

void FieldStack::Begin() {
    const std::size_t outerLink = m_fields.empty() ? std::string::npos : m_fields.back().LinkIndex;
    m_fields.push_back({{}, false, false, {}, outerLink});
    ++m_inInstruction;
}

void FieldStack::AddInstruction(std::string_view text) {
    if (!m_fields.empty() && !m_fields.back().InResult) m_fields.back().Instruction += text;
}

void FieldStack::Separate() {
    if (m_fields.empty() || m_fields.back().InResult) return;
    Field& field = m_fields.back();
    field.InResult = true;
    --m_inInstruction;
    field.Link = LinkOf(field.Instruction);
    const auto reference = FieldCrossReference(field.Instruction);
    field.PageNumber = reference && reference->PageNumber;
    if (!field.Link.empty()) field.LinkIndex = m_fields.size() - 1;
}

void FieldStack::End() {
    if (m_fields.empty()) return;
    if (!m_fields.back().InResult) --m_inInstruction;
    m_fields.pop_back();
}

std::string FieldStack::LinkOf(std::string_view instruction) const {
    if (std::string link = FieldLinkTarget(instruction); !link.empty()) return link;
    const auto reference = FieldCrossReference(instruction);
    if (!reference || reference->PageNumber || m_bookmarks == nullptr ||
        !m_bookmarks->contains(reference->Bookmark))
        return {};
    return '#' + reference->Bookmark;
}

bool FieldStack::InPageNumber() const {
    for (const Field& field : m_fields)
        if (field.InResult && field.PageNumber) return true;
    return false;
}

const std::string& FieldStack::Link() const {
    static const std::string kNone;
    if (m_fields.empty() || m_fields.back().LinkIndex == std::string::npos) return kNone;
    return m_fields[m_fields.back().LinkIndex].Link;
}

}  // namespace quirebook
