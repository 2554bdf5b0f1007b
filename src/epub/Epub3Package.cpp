#include "epub/Epub3Package.h"

#include "text/PatternHelpers.h"
#include "text/Regex.h"

namespace quirebook {

namespace {

// The start of an element named `name` (not one whose name only begins so).
bool HoldsElement(std::string_view text, std::string_view name) {
    const std::string start = "<" + std::string(name);
    for (std::size_t at = text.find(start); at != std::string_view::npos;
         at = text.find(start, at + 1)) {
        const std::size_t after = at + start.size();
        if (after == text.size()) return false;
        const char next = text[after];
        if (next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\n' ||
            next == '\r')
            return true;
    }
    return false;
}

// A meta element followed by the line end and indent of the next metadata element.
std::string Meta(std::string_view property, std::string_view value) {
    return "<meta property=\"" + std::string(property) + "\">" + std::string(value) +
           "</meta>\r\n    ";
}

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

ChapterFeatures& ChapterFeatures::operator+=(const ChapterFeatures& other) {
    Svg = Svg || other.Svg;
    MathMl = MathMl || other.MathMl;
    Pictures += other.Pictures;
    PicturesWithText += other.PicturesWithText;
    return *this;
}

ChapterFeatures ScanChapter(std::string_view text) {
    ChapterFeatures features;
    features.Svg = HoldsElement(text, "svg");
    features.MathMl = HoldsElement(text, "math");
    Regex pictures(preCaseLess | preSingleLine);
    pictures.SetPattern("<img\\b[^>]*>");
    pictures.SetSubject(std::string(text));
    Regex alt(preCaseLess | preSingleLine);
    alt.SetPattern("\\salt\\s*=\\s*(?:\"\\s*[^\"\\s][^\"]*\"|'\\s*[^'\\s][^']*'|[^\\s\"'>/]+)");
    while (pictures.MatchNext()) {
        ++features.Pictures;
        alt.SetSubject(pictures.MatchedText());
        if (alt.MatchNext()) ++features.PicturesWithText;
    }
    return features;
}

std::string ItemProperties(const ChapterFeatures& chapter) {
    std::string properties;
    if (chapter.Svg) properties = "svg";
    if (chapter.MathMl) properties += properties.empty() ? "mathml" : " mathml";
    return properties.empty() ? properties : " properties=\"" + properties + "\"";
}

std::string ModifiedTime(std::time_t when) {
    std::tm utc{};
    gmtime_r(&when, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string AccessibilitySummary(const BookFeatures& book) {
    const ChapterFeatures& held = book.Chapters;
    std::string summary = "Text in " + Counted(book.ChapterCount, "chapter", "chapters") +
                          ", with a table of contents";
    if (held.Pictures == 0) {
        summary += " and no pictures in the text.";
    } else if (held.PicturesWithText == held.Pictures) {
        summary += "; each of its " + Counted(held.Pictures, "picture", "pictures") +
                   " has a text alternative.";
    } else {
        summary += "; " + std::to_string(held.PicturesWithText) + " of its " +
                   Counted(held.Pictures, "picture", "pictures") + " have a text alternative.";
    }
    if (book.Cover) summary += " The cover is a picture.";
    return summary;
}

std::string Epub3Metadata(const BookFeatures& book, std::string_view modified) {
    const ChapterFeatures& held = book.Chapters;
    const bool pictures = held.Pictures > 0;
    const bool described = held.PicturesWithText == held.Pictures;
    std::string metadata = Meta("dcterms:modified", modified);
    metadata += Meta("schema:accessMode", "textual");
    if (pictures || book.Cover) metadata += Meta("schema:accessMode", "visual");
    // Text alone suffices when every picture of the text has a text alternative.
    if (described) metadata += Meta("schema:accessModeSufficient", "textual");
    if (pictures) metadata += Meta("schema:accessModeSufficient", "textual,visual");
    metadata += Meta("schema:accessibilityFeature", "tableOfContents");
    if (pictures && described) metadata += Meta("schema:accessibilityFeature", "alternativeText");
    metadata += Meta("schema:accessibilityHazard", "unknown");
    metadata += Meta("schema:accessibilitySummary", AccessibilitySummary(book));
    metadata.resize(metadata.size() - 4);  // the closing tag brings its own indent
    return metadata;
}

std::string Epub3PackageDocument(std::string opf) {
    ReplacePatternInPlace(opf, "(<package\\b[^>]*?\\sversion=\")[^\"]*\"", "${1}3.0\"");
    // The creator's role, an attribute in EPUB 2, is a meta refining the creator in EPUB 3.
    ReplacePatternInPlace(
        opf, "(\\s*)<dc:creator\\b([^>]*?)\\sopf:role=\"([^\"]*)\"([^>]*)>(.*?)</dc:creator>",
        "$1<dc:creator id=\"creator\"$2$4>$5</dc:creator>"
        "$1<meta refines=\"#creator\" property=\"role\" scheme=\"marc:relators\">$3</meta>");
    for (std::string before; before != opf;) {
        before = opf;
        ReplacePatternInPlace(opf, "(<dc:[a-z]+\\b[^>]*?)\\sopf:[a-z-]+=\"[^\"]*\"", "$1");
    }
    return opf;
}

std::string WithHtml5DocumentType(std::string page) {
    ReplacePatternInPlace(page, "<!DOCTYPE\\s+html\\b[^>]*>", "<!DOCTYPE html>");
    return page;
}

}  // namespace quirebook
