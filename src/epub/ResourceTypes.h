// What a book can hold besides its chapters: pictures, style sheets and fonts, told by their
// file names and confirmed by their first bytes.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

enum class ResourceKind { Picture, StyleSheet, Font, Other };

struct ResourceType {
    ResourceKind Kind = ResourceKind::Other;
    std::string MediaType;  // empty for Other
};

// The type a file name says by its extension (case ignored): png, jpg/jpeg/jpe, gif, svg and
// webp pictures; css style sheets; ttf, otf, woff and woff2 fonts. Other for anything else.
ResourceType TypeFromName(std::string_view name);

// Whether `content` (the whole file, or at least its first 4 KB) is what `type` says: the
// signature of the picture or font format, an SVG document that is text with an "<svg" element
// near its start, a style sheet that is text (no NUL or other control bytes but tab, line ends
// and form feed).
bool ContentIsOfType(const ResourceType& type, std::string_view content);

// The word a message uses for a kind, in the singular ("picture", "style sheet", "font") or
// the plural.
std::string KindName(ResourceKind kind, bool plural = false);

}  // namespace quirebook
