// Ids as XML names, one-to-one within a chapter.
#include "html/IdentifierNames.h"

#include <set>
#include <vector>

namespace quirebook {

namespace {

// The code point of the UTF-8 sequence at text[at], and its length; a byte that starts no
// valid sequence gives length 1 and code point 0xFFFFFFFF.
char32_t DecodeAt(std::string_view text, std::size_t at, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    length = 1;
    if (lead < 0x80) return lead;
    std::size_t count = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) count = 1, code = lead & 0x1F;
    if (lead >= 0xE0 && lead <= 0xEF) count = 2, code = lead & 0x0F;
    if (lead >= 0xF0 && lead <= 0xF4) count = 3, code = lead & 0x07;
    if (count == 0 || at + count >= text.size()) return 0xFFFFFFFF;
    for (std::size_t i = 1; i <= count; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0xFFFFFFFF;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are no characters.
    if ((count == 2 && code < 0x800) || (count == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
        return 0xFFFFFFFF;
    length = count + 1;
    return code;
}

// The characters an XML name may start with.
bool IsNameStart(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

// The characters an XML name may hold after its first.
bool IsNameChar(char32_t c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

}  // namespace

std::string XmlIdentifier(std::string_view value) {
    std::string name;
    name.reserve(value.size() + 1);
    for (std::size_t at = 0; at < value.size();) {
        std::size_t length = 1;
        const char32_t c = DecodeAt(value, at, length);
        if (at == 0 && !IsNameStart(c) && IsNameChar(c)) name += '_';
        if (IsNameChar(c)) {
            name.append(value, at, length);
        } else {
            name += '_';
        }
        at += length;
    }
    return name;
}

void ChapterIdentifiers::Add(std::string_view id) {
    if (id.empty() || order_.count(std::string(id)) != 0) return;
    order_.emplace(std::string(id), order_.size());
}

void ChapterIdentifiers::Assign() {
    std::vector<const std::string*> ids(order_.size());
    for (const auto& [id, position] : order_) ids[position] = &id;
    std::set<std::string> taken;
    // Valid names are claimed first, so that an id that already was one never changes.
    for (const std::string* id : ids) {
        if (XmlIdentifier(*id) == *id) {
            taken.insert(*id);
            names_.emplace(*id, *id);
        }
    }
    for (const std::string* id : ids) {
        if (names_.count(*id) != 0) continue;
        const std::string base = XmlIdentifier(*id);
        std::string name = base;
        for (std::size_t suffix = 2; taken.count(name) != 0; ++suffix)
            name = base + "_" + std::to_string(suffix);
        taken.insert(name);
        names_.emplace(*id, name);
    }
}

std::string ChapterIdentifiers::NameOf(std::string_view id) const {
    const auto found = names_.find(id);
    return found == names_.end() ? XmlIdentifier(id) : found->second;
}

}  // namespace quirebook
