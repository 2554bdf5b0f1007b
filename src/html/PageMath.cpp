#include "html/PageMath.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "html/GumboPage.h"
#include "html/XhtmlModel.h"

namespace quirebook {

namespace {

using xhtml::ListHolds;

// Math nested deeper than this gives its text (pages are cut to a nesting limit before they
// are parsed, so this is a second guard).
constexpr int kDeepestMath = 300;

// The presentation elements kept, and how many children those of a fixed shape hold.
constexpr std::string_view kRows =
    " math mrow mstyle merror mpadded mphantom msqrt menclose mfenced mtd ";
constexpr std::string_view kPairs = " mfrac mroot msub msup munder mover ";
constexpr std::string_view kTriples = " msubsup munderover ";

enum class ValueKind {
    Any,
    Boolean,
    Display,
    Variant,
    Form,
    Align,
    AlignList,
    Notation,
    Integer,
    Positive,
    Length,
    Thickness,
    Direction
};

struct AttributeRule {
    std::string_view Name;
    std::string_view Elements;  // " mo mfrac " ..., or empty for every element
    ValueKind Kind;
};

constexpr AttributeRule kAttributes[] = {
    {"class", "", ValueKind::Any},
    {"display", " math ", ValueKind::Display},
    {"alttext", " math ", ValueKind::Any},
    {"mathvariant", " mi mn mo mtext ms mstyle ", ValueKind::Variant},
    {"dir", " mi mn mo mtext ms mrow mstyle math ", ValueKind::Direction},
    {"form", " mo ", ValueKind::Form},
    {"fence", " mo ", ValueKind::Boolean},
    {"separator", " mo ", ValueKind::Boolean},
    {"stretchy", " mo ", ValueKind::Boolean},
    {"symmetric", " mo ", ValueKind::Boolean},
    {"largeop", " mo ", ValueKind::Boolean},
    {"movablelimits", " mo ", ValueKind::Boolean},
    {"accent", " mo mover munderover ", ValueKind::Boolean},
    {"accentunder", " munder munderover ", ValueKind::Boolean},
    {"linethickness", " mfrac ", ValueKind::Thickness},
    {"bevelled", " mfrac ", ValueKind::Boolean},
    {"numalign", " mfrac ", ValueKind::Align},
    {"denomalign", " mfrac ", ValueKind::Align},
    {"notation", " menclose ", ValueKind::Notation},
    {"open", " mfenced ", ValueKind::Any},
    {"close", " mfenced ", ValueKind::Any},
    {"separators", " mfenced ", ValueKind::Any},
    {"columnalign", " mtable mtr mlabeledtr ", ValueKind::AlignList},
    {"columnalign", " mtd ", ValueKind::Align},
    {"columnspan", " mtd ", ValueKind::Positive},
    {"rowspan", " mtd ", ValueKind::Positive},
    {"displaystyle", " mstyle mtable ", ValueKind::Boolean},
    {"scriptlevel", " mstyle ", ValueKind::Integer},
    {"width", " mspace ", ValueKind::Length},
};

constexpr std::string_view kVariants =
    " normal bold italic bold-italic double-struck bold-fraktur script bold-script fraktur "
    "sans-serif bold-sans-serif sans-serif-italic sans-serif-bold-italic monospace initial "
    "tailed looped stretched ";
constexpr std::string_view kNotations =
    " longdiv actuarial phasorangle radical box roundedbox circle left right top bottom "
    "updiagonalstrike downdiagonalstrike verticalstrike horizontalstrike northeastarrow madruwb "
    "updiagonalarrow ";
constexpr std::string_view kNamedSpaces =
    " veryverythinmathspace verythinmathspace thinmathspace mediummathspace thickmathspace "
    "verythickmathspace veryverythickmathspace negativeveryverythinmathspace "
    "negativeverythinmathspace negativethinmathspace negativemediummathspace "
    "negativethickmathspace negativeverythickmathspace negativeveryverythickmathspace ";

bool IsNumber(std::string_view value, bool sign) {
    std::size_t at = sign && !value.empty() && (value[0] == '-' || value[0] == '+') ? 1 : 0;
    const std::size_t digits = value.find_first_not_of("0123456789", at);
    return digits != at && at < value.size() && (digits == std::string_view::npos);
}

bool IsLength(std::string_view value) {
    if (ListHolds(kNamedSpaces, value)) return true;
    std::size_t at = !value.empty() && value[0] == '-' ? 1 : 0;
    const std::size_t start = at;
    bool digits = false;
    while (at < value.size() && value[at] >= '0' && value[at] <= '9') ++at, digits = true;
    if (at < value.size() && value[at] == '.') {
        ++at;
        while (at < value.size() && value[at] >= '0' && value[at] <= '9') ++at, digits = true;
    }
    if (!digits || at == start) return false;
    const std::string_view unit = value.substr(at);
    return unit.empty() || ListHolds(" em ex px in cm mm pt pc % ", unit);
}

// Every token of a list separated by spaces in `allowed`.
bool AllListed(std::string_view value, std::string_view allowed) {
    bool any = false;
    for (std::size_t from = 0; from < value.size();) {
        const std::size_t end = std::min(value.find(' ', from), value.size());
        if (end > from) {
            if (!ListHolds(allowed, value.substr(from, end - from))) return false;
            any = true;
        }
        from = end + 1;
    }
    return any;
}

bool Allows(ValueKind kind, std::string_view value) {
    switch (kind) {
        case ValueKind::Any:
            return true;
        case ValueKind::Boolean:
            return value == "true" || value == "false";
        case ValueKind::Display:
            return value == "block" || value == "inline";
        case ValueKind::Variant:
            return ListHolds(kVariants, value);
        case ValueKind::Form:
            return value == "prefix" || value == "infix" || value == "postfix";
        case ValueKind::Align:
            return value == "left" || value == "center" || value == "right";
        case ValueKind::AlignList:
            return AllListed(value, " left center right ");
        case ValueKind::Notation:
            return AllListed(value, kNotations);
        case ValueKind::Integer:
            return IsNumber(value, true);
        case ValueKind::Positive:
            return IsNumber(value, false) && value.find_first_not_of('0') != std::string_view::npos;
        case ValueKind::Length:
            return IsLength(value);
        case ValueKind::Thickness:
            return value == "thin" || value == "medium" || value == "thick" || IsLength(value);
        case ValueKind::Direction:
            return value == "ltr" || value == "rtl";
    }
    return false;
}

// The text of `nodes` and what they hold, found without recursion.
std::string TextUnder(const GumboVector& nodes) {
    std::string text;
    std::vector<const GumboNode*> pending;
    for (unsigned i = nodes.length; i > 0; --i)
        pending.push_back(static_cast<const GumboNode*>(nodes.data[i - 1]));
    while (!pending.empty()) {
        const GumboNode* current = pending.back();
        pending.pop_back();
        if (current->type == GUMBO_NODE_TEXT || current->type == GUMBO_NODE_WHITESPACE ||
            current->type == GUMBO_NODE_CDATA) {
            text += current->v.text.text;
        } else if (IsElement(*current)) {
            const GumboVector& children = current->v.element.children;
            for (unsigned i = children.length; i > 0; --i)
                pending.push_back(static_cast<const GumboNode*>(children.data[i - 1]));
        }
    }
    return text;
}

// The text with its white space made single spaces and none at the ends, as MathML reads the
// text of a token.
std::string Collapsed(std::string_view text) {
    std::string collapsed;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
        if (blank && (collapsed.empty() || collapsed.back() == ' ')) continue;
        collapsed += blank ? ' ' : c;
    }
    if (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
    return collapsed;
}

std::optional<MathElement> TextElement(std::string text) {
    if (text.empty()) return std::nullopt;
    return MathElement("mtext", std::move(text));
}

MathElement Row(std::vector<MathElement> children) {
    MathElement row("mrow");
    row.Children = std::move(children);
    return row;
}

class PageMathReader {
  public:
    std::optional<MathElement> Read(const GumboNode& node, int depth, std::string_view parent) {
        if (!IsElement(node)) {
            if (node.type != GUMBO_NODE_TEXT && node.type != GUMBO_NODE_CDATA) return std::nullopt;
            return TextElement(Collapsed(node.v.text.text));
        }
        if (node.v.element.tag_namespace != GUMBO_NAMESPACE_MATHML || depth > kDeepestMath)
            return TextElement(Collapsed(TextUnder(node.v.element.children)));
        return ReadElement(node.v.element, depth, parent);
    }

    std::optional<MathElement> ReadElement(const GumboElement& element, int depth,
                                           std::string_view parent) {
        std::string name = TagName(element);
        if (name == "annotation" || name == "annotation-xml" || name == "mglyph" ||
            name == "malignmark" || name == "maligngroup")
            return std::nullopt;
        if ((name == "mprescripts" || name == "none") && parent != "mmultiscripts")
            return std::nullopt;
        if (name == "math" && depth > 0) name = "mrow";
        // A row or cell out of its table is a row of its content.
        if ((name == "mtr" || name == "mlabeledtr") && parent != "mtable") name = "mrow";
        if (name == "mtd" && parent != "mtr" && parent != "mlabeledtr") name = "mrow";
        if (IsTokenName(name)) {
            MathElement token(name, Collapsed(TextUnder(element.children)));
            Attributes(element, token);
            return token;
        }
        std::vector<MathElement> children;
        const GumboVector& nodes = element.children;
        for (unsigned i = 0; i < nodes.length; ++i) {
            std::optional<MathElement> child =
                Read(*static_cast<const GumboNode*>(nodes.data[i]), depth + 1, name);
            if (child) children.push_back(std::move(*child));
        }
        if (name == "semantics" || name == "maction") {
            // What the annotations or actions are about: the first child.
            if (children.empty()) return std::nullopt;
            return std::move(children.front());
        }
        const bool known = ListHolds(kRows, name) || ListHolds(kPairs, name) ||
                           ListHolds(kTriples, name) || name == "mtable" || name == "mtr" ||
                           name == "mlabeledtr" || name == "mmultiscripts" ||
                           name == "mprescripts" || name == "none" || name == "mspace";
        if (!known) return Row(std::move(children));
        MathElement made(name);
        Attributes(element, made);
        made.Children = std::move(children);
        Shape(made);
        return made;
    }

  private:
    static void Attributes(const GumboElement& element, MathElement& made) {
        const GumboVector& attributes = element.attributes;
        for (unsigned i = 0; i < attributes.length; ++i) {
            const auto* attribute = static_cast<const GumboAttribute*>(attributes.data[i]);
            const std::string_view name = attribute->name;
            const std::string_view value = attribute->value;
            const auto rule = std::find_if(
                std::begin(kAttributes), std::end(kAttributes), [&](const AttributeRule& rule) {
                    return rule.Name == name &&
                           (rule.Elements.empty() || ListHolds(rule.Elements, made.Name));
                });
            if (rule == std::end(kAttributes) || !Allows(rule->Kind, value) ||
                made.Attribute(name) != nullptr)
                continue;
            made.Set(name, std::string(value));
        }
    }

    // The children an element must have: a pair or triple of parts, rows in a table, cells in a
    // row, scripts in pairs.
    static void Shape(MathElement& element) {
        const std::string_view name = element.Name;
        std::vector<MathElement>& children = element.Children;
        if (name == "mprescripts" || name == "none" || name == "mspace") {
            children.clear();
            return;
        }
        const std::size_t parts = ListHolds(kPairs, name) ? 2 : ListHolds(kTriples, name) ? 3 : 0;
        if (parts != 0) {
            if (children.size() > parts) {
                element = Row(std::move(children));
                return;
            }
            children.resize(parts, MathElement("mrow"));
        } else if (name == "mtable" || name == "mtr" || name == "mlabeledtr") {
            const std::string_view part = name == "mtable" ? "mtr" : "mtd";
            for (MathElement& child : children) {
                if (child.Name == part || (name == "mtable" && child.Name == "mlabeledtr"))
                    continue;
                MathElement wrapper(std::string(part), {});
                if (name == "mtable") {
                    MathElement cell("mtd");
                    cell.Children.push_back(std::move(child));
                    wrapper.Children.push_back(std::move(cell));
                } else {
                    wrapper.Children.push_back(std::move(child));
                }
                child = std::move(wrapper);
            }
            if (name == "mlabeledtr" && children.empty()) children.emplace_back("mtd");
        } else if (name == "mmultiscripts") {
            PairScripts(children);
        }
    }

    // A base, then scripts in pairs (sub, sup) after it and, after mprescripts, before it.
    static void PairScripts(std::vector<MathElement>& children) {
        std::vector<MathElement> paired;
        bool prescripts = false;
        std::size_t scripts = 0;
        for (MathElement& child : children) {
            if (paired.empty() && child.Name == "mprescripts") paired.emplace_back("mrow");
            if (child.Name == "mprescripts") {
                if (prescripts) continue;
                if (scripts % 2 == 1) paired.emplace_back("none");
                prescripts = true;
                scripts = 0;
                paired.push_back(std::move(child));
                continue;
            }
            if (!paired.empty()) ++scripts;
            paired.push_back(std::move(child));
        }
        if (paired.empty()) paired.emplace_back("mrow");
        if (scripts % 2 == 1) paired.emplace_back("none");
        children = std::move(paired);
    }
};

}  // namespace

MathElement ReadPageMath(const GumboElement& math) {
    std::optional<MathElement> made = PageMathReader().ReadElement(math, 0, {});
    return made ? std::move(*made) : MathElement("math");
}

}  // namespace quirebook
