// Writes the conformance stage's tree as a well-formed XHTML 1.1 (or HTML5 in XML form)
// document: characters as XML takes them, style sheets in CDATA sections where they need one.
#include "html/ChapterWriter.h"

#include <algorithm>

#include "css/StyleText.h"
#include "html/XhtmlConversion.h"
#include "text/TextUtilities.h"

namespace quirebook::conform {

using namespace xhtml;

namespace {

// How a style sheet with markup characters is written: in a CDATA section that style sheet
// readers take for comments, a "]]>" inside it split over two sections.
constexpr std::string_view kCdataOpen = "/*<![CDATA[*/";
constexpr std::string_view kCdataClose = "/*]]>*/";
constexpr std::string_view kCdataSplit = "]]]]><![CDATA[>";

// An ASCII character that AppendXmlText writes as it is.
bool IsPlainXmlCharacter(char character, bool attribute, bool raw) {
    const auto c = static_cast<unsigned char>(character);
    if (c >= 0x80 || (c < 0x20 && c != '\t' && c != '\n')) return false;
    return raw || (c != '&' && c != '<' && c != '>' && (!attribute || c != '"'));
}

// Text or an attribute value written as XML: "&", "<", ">" (and '"' in values) escaped, CR LF
// and CR written as LF, invalid UTF-8 written as U+FFFD, characters XML 1.0 does not allow left
// out. With `raw` nothing is escaped (the inside of a CDATA section).
void AppendXmlText(std::string& out, std::string_view text, bool attribute, bool raw = false) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        // A run of characters written as they are goes out in one piece.
        std::size_t plain = i;
        while (plain < size && IsPlainXmlCharacter(text[plain], attribute, raw)) ++plain;
        if (plain != i) {
            out.append(text.data() + i, plain - i);
            i = plain;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            if (c == '\r') {
                // Line ends are written as XML reads them: CR LF and CR alone are LF.
                out += '\n';
                if (i < size && text[i] == '\n') ++i;
                continue;
            }
            if (c < 0x20 && c != '\t' && c != '\n') continue;
            if (!raw && c == '&') {
                out += "&amp;";
            } else if (!raw && c == '<') {
                out += "&lt;";
            } else if (!raw && c == '>') {
                out += "&gt;";
            } else if (!raw && attribute && c == '"') {
                out += "&quot;";
            } else {
                out += static_cast<char>(c);
            }
            continue;
        }
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
        char32_t code = length == 4 ? c & 0x07 : length == 3 ? c & 0x0F : c & 0x1F;
        bool valid = length != 0 && c <= 0xF4 && i + length <= size;
        for (std::size_t k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        const char32_t least = length == 4 ? 0x10000 : length == 3 ? 0x800 : 0x80;
        valid = valid && code >= least && code <= 0x10FFFF && !(code >= 0xD800 && code < 0xE000);
        if (!valid) {
            out += kReplacement;
            ++i;
            continue;
        }
        if (code != 0xFFFE && code != 0xFFFF) out.append(text.substr(i, length));
        i += length;
    }
}

// The content of a style element: as it is, or in a CDATA section that style sheet readers
// take for a comment, when it holds markup characters.
void AppendStyleText(std::string& out, std::string_view style) {
    const std::string cleaned = WithoutCommentMarkers(style);
    const std::string_view css = cleaned;
    if (css.find_first_of("<&") == npos) {
        AppendXmlText(out, css, false);
        return;
    }
    out += kCdataOpen;
    for (std::size_t from = 0;;) {
        const std::size_t end = css.find("]]>", from);
        AppendXmlText(out, css.substr(from, end == npos ? npos : end - from), false, true);
        if (end == npos) break;
        out += kCdataSplit;
        from = end + 3;
    }
    out += kCdataClose;
}

// The ids that the headers of a cell may refer to: every id of the tree, or in HTML5, where
// headers name header cells, the ids of th elements.
std::unordered_set<std::string> DefinedIds(const Tree& tree) {
    std::unordered_set<std::string> ids;
    std::vector<NodeId> stack{tree.Head, tree.Body};
    while (!stack.empty()) {
        const NodeId id = stack.back();
        stack.pop_back();
        const Node& node = tree.Nodes[id];
        if (node.IsText) continue;
        if (const std::string* value = AttributeOf(node, "id"))
            if (!tree.Html5 || node.Name == "th") ids.insert(*value);
        stack.insert(stack.end(), node.Children.begin(), node.Children.end());
    }
    return ids;
}

// The start of an HTML5 chapter in its XML form: the XML declaration, HTML5's document type,
// the html start tag with the epub namespace and vocabularies when the chapter uses them.
std::string Html5Header(const Tree& tree) {
    std::string header =
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<!DOCTYPE html>\r\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"";
    if (tree.UsesEpubType) {
        header += " xmlns:epub=\"http://www.idpf.org/2007/ops\"";
        if (!tree.EpubPrefix.empty()) {
            header += " epub:prefix=\"";
            AppendXmlText(header, tree.EpubPrefix, true);
            header += '"';
        }
    }
    if (IsLanguageTag(tree.Language) && tree.Language != "en")
        header += " xml:lang=\"" + tree.Language + "\"";
    return header + ">\r\n\r\n";
}

// The references to ids (the headers of a cell) that the chapter defines; the others are
// dropped.
std::string KeptReferences(const std::string& value, const std::unordered_set<std::string>& ids) {
    std::string kept;
    for (std::size_t from = 0; from < value.size();) {
        const std::size_t end = std::min(value.find(' ', from), value.size());
        const std::string token = value.substr(from, end - from);
        if (ids.count(token) != 0) kept += (kept.empty() ? "" : " ") + token;
        from = end + 1;
    }
    return kept;
}

}  // namespace

// A style sheet read back from a conformed chapter (where the HTML parser sees the CDATA markers
// as text) without them, so that reading and writing a chapter again changes nothing.
std::string UnwrapStyleText(std::string_view css) {
    if (css.size() < kCdataOpen.size() + kCdataClose.size() || css.rfind(kCdataOpen, 0) != 0 ||
        css.substr(css.size() - kCdataClose.size()) != kCdataClose)
        return std::string(css);
    css = css.substr(kCdataOpen.size(), css.size() - kCdataOpen.size() - kCdataClose.size());
    std::string unwrapped;
    for (std::size_t from = 0;;) {
        const std::size_t split = css.find(kCdataSplit, from);
        unwrapped.append(css.substr(from, split == npos ? npos : split - from));
        if (split == npos) break;
        unwrapped += "]]>";
        from = split + kCdataSplit.size();
    }
    return unwrapped;
}

// The ids the written tree holds, in document order: those of every element written with its
// tags.
std::vector<std::string> WrittenIds(const Tree& tree) {
    std::vector<std::string> ids;
    std::vector<NodeId> stack{tree.Body, tree.Head};
    while (!stack.empty()) {
        const Node& node = tree.Nodes[stack.back()];
        stack.pop_back();
        if (node.IsText) continue;
        if (!node.Transparent)
            if (const std::string* value = AttributeOf(node, "id")) ids.push_back(*value);
        stack.insert(stack.end(), node.Children.rbegin(), node.Children.rend());
    }
    return ids;
}

std::string WriteDocument(const Tree& tree) {
    const std::unordered_set<std::string> ids = DefinedIds(tree);
    std::string out = tree.Html5 ? Html5Header(tree)
                                 : XhtmlHeader(IsLanguageTag(tree.Language) ? tree.Language : "");
    out.reserve(out.size() + tree.PageSize + tree.PageSize / 8);
    std::vector<std::pair<NodeId, bool>> stack{{tree.Body, false}, {tree.Head, false}};
    while (!stack.empty()) {
        const auto [id, closing] = stack.back();
        stack.pop_back();
        const Node& node = tree.Nodes[id];
        if (node.IsText) {
            if (node.Markup)
                out += node.Text;
            else
                AppendXmlText(out, node.Text, false);
            continue;
        }
        if (closing) {
            out += "</" + node.Name + ">";
            if (id == tree.Head) out += "\r\n";
            continue;
        }
        if (!node.Transparent) {
            out += '<';
            out += node.Name;
            for (const auto& [name, value] : node.Attributes) {
                const bool references = name == "headers";
                const std::string kept = references ? KeptReferences(value, ids) : std::string();
                if (references && kept.empty()) continue;
                out += ' ';
                out += name;
                out += "=\"";
                AppendXmlText(out, references ? kept : value, true);
                out += '"';
            }
            if (IsVoid(node)) {
                out += " />";
                continue;
            }
            out += '>';
            if (node.Name == "style") {
                for (NodeId child : node.Children) AppendStyleText(out, tree.Nodes[child].Text);
                out += "</style>";
                continue;
            }
            stack.emplace_back(id, true);
        }
        for (auto child = node.Children.rbegin(); child != node.Children.rend(); ++child)
            stack.emplace_back(*child, false);
    }
    out += "\r\n</html>\r\n";
    return out;
}

}  // namespace quirebook::conform
