#include "epub/ResourceTypes.h"

#include <algorithm>
#include <array>

#include "text/TextUtilities.h"

namespace quirebook {

namespace {

struct NamedType {
    std::string_view Extension;
    ResourceKind Kind;
    std::string_view MediaType;
};

// The media types are those EPUB reading systems and epubcheck expect in the manifest.
constexpr std::array<NamedType, 11> kTypes{{
    {"png", ResourceKind::Picture, "image/png"},
    {"jpg", ResourceKind::Picture, "image/jpeg"},
    {"jpeg", ResourceKind::Picture, "image/jpeg"},
    {"jpe", ResourceKind::Picture, "image/jpeg"},
    {"gif", ResourceKind::Picture, "image/gif"},
    {"svg", ResourceKind::Picture, "image/svg+xml"},
    {"webp", ResourceKind::Picture, "image/webp"},
    {"css", ResourceKind::StyleSheet, "text/css"},
    {"ttf", ResourceKind::Font, "application/x-font-ttf"},
    {"otf", ResourceKind::Font, "application/vnd.ms-opentype"},
    {"woff", ResourceKind::Font, "application/font-woff"},
}};
constexpr NamedType kWoff2{"woff2", ResourceKind::Font, "font/woff2"};

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Text holds no NUL and no control byte but tab, line feed, form feed and carriage return.
bool IsText(std::string_view content) {
    return std::none_of(content.begin(), content.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\f' && byte != '\r';
    });
}

bool IsSvg(std::string_view content) {
    const std::string_view head = content.substr(0, 4096);
    return IsText(head) && head.find("<svg") != std::string_view::npos;
}

bool IsFont(std::string_view content) {
    return StartsWith(content, std::string_view("\x00\x01\x00\x00", 4)) ||
           StartsWith(content, "OTTO") || StartsWith(content, "true") ||
           StartsWith(content, "wOFF") || StartsWith(content, "wOF2");
}

}  // namespace

ResourceType TypeFromName(std::string_view name) {
    const std::size_t slash = name.find_last_of('/');
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    const std::string extension = AsciiLower(name.substr(dot + 1));
    if (extension == kWoff2.Extension) return {kWoff2.Kind, std::string(kWoff2.MediaType)};
    for (const NamedType& type : kTypes)
        if (type.Extension == extension) return {type.Kind, std::string(type.MediaType)};
    return {};
}

bool ContentIsOfType(const ResourceType& type, std::string_view content) {
    const std::string_view media = type.MediaType;
    if (media == "image/png") return StartsWith(content, "\x89PNG\r\n\x1a\n");
    if (media == "image/jpeg") return StartsWith(content, "\xff\xd8\xff");
    if (media == "image/gif") return StartsWith(content, "GIF87a") || StartsWith(content, "GIF89a");
    if (media == "image/webp")
        return content.size() >= 12 && StartsWith(content, "RIFF") &&
               content.substr(8, 4) == "WEBP";
    if (media == "image/svg+xml") return IsSvg(content);
    if (media == "text/css") return IsText(content);
    if (media == "font/woff2") return StartsWith(content, "wOF2");
    if (media == "application/font-woff") return StartsWith(content, "wOFF");
    if (type.Kind == ResourceKind::Font) return IsFont(content);
    return false;
}

std::string KindName(ResourceKind kind, bool plural) {
    std::string name;
    switch (kind) {
        case ResourceKind::Picture:
            name = "picture";
            break;
        case ResourceKind::StyleSheet:
            name = "style sheet";
            break;
        case ResourceKind::Font:
            name = "font";
            break;
        case ResourceKind::Other:
            name = "file";
            break;
    }
    return plural ? name + "s" : name;
}

}  // namespace quirebook
