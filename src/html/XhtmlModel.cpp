#include "html/XhtmlModel.h"

#include <algorithm>
#include <unordered_map>

#include "text/TextUtilities.h"

namespace quirebook::xhtml {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsBlankText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsSpace);
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool ListHolds(std::string_view list, std::string_view name) {
    if (name.empty() || name.find(' ') != npos) return false;
    const std::size_t at = list.find(name);
    for (std::size_t i = at; i != npos; i = list.find(name, i + 1))
        if (list[i - 1] == ' ' && i + name.size() < list.size() && list[i + name.size()] == ' ')
            return true;
    return false;
}

namespace {

constexpr std::string_view kCellAttributes =
    " abbr axis headers scope rowspan colspan align char charoff valign ";
constexpr std::string_view kRowAttributes = " align char charoff valign ";
constexpr std::string_view kColumnAttributes = " span width align char charoff valign ";

// The elements of the XHTML 1.1 document type that books may use, and what they may hold and
// carry. Reading systems take no forms, so the form elements are left out (they become div and
// span like unknown elements, their text kept); so are the ruby elements, whose strict content
// rarely matches what pages write.
constexpr ElementRule kElements[] = {
    {"head", Kind::Part, Model::Flow, false, " id xml:lang dir profile "},
    {"title", Kind::Part, Model::Text, false, " id xml:lang dir "},
    {"meta", Kind::Part, Model::Empty, false, " id xml:lang dir http-equiv name content scheme "},
    {"link", Kind::Part, Model::Empty, true, " charset href hreflang type rel rev media "},
    {"style", Kind::Part, Model::Text, false, " id xml:lang dir title type media xml:space "},
    {"body", Kind::Part, Model::Block, true},
    {"div", Kind::Block, Model::Flow, true},
    {"p", Kind::Block, Model::Inline, true},
    {"h1", Kind::Block, Model::Inline, true},
    {"h2", Kind::Block, Model::Inline, true},
    {"h3", Kind::Block, Model::Inline, true},
    {"h4", Kind::Block, Model::Inline, true},
    {"h5", Kind::Block, Model::Inline, true},
    {"h6", Kind::Block, Model::Inline, true},
    {"pre", Kind::Block, Model::Inline, true, " xml:space "},
    {"blockquote", Kind::Block, Model::Block, true, " cite "},
    {"address", Kind::Block, Model::Inline, true},
    {"hr", Kind::Block, Model::Empty, true},
    {"ul", Kind::Block, Model::ListItems, true},
    {"ol", Kind::Block, Model::ListItems, true},
    {"li", Kind::Part, Model::Flow, true},
    {"dl", Kind::Block, Model::Terms, true},
    {"dt", Kind::Part, Model::Inline, true},
    {"dd", Kind::Part, Model::Flow, true},
    {"table", Kind::Block, Model::Table, true,
     " summary width border frame rules cellspacing cellpadding "},
    {"caption", Kind::Part, Model::Inline, true},
    {"thead", Kind::Part, Model::Rows, true, kRowAttributes},
    {"tbody", Kind::Part, Model::Rows, true, kRowAttributes},
    {"tfoot", Kind::Part, Model::Rows, true, kRowAttributes},
    {"tr", Kind::Part, Model::Cells, true, kRowAttributes},
    {"td", Kind::Part, Model::Flow, true, kCellAttributes},
    {"th", Kind::Part, Model::Flow, true, kCellAttributes},
    {"col", Kind::Part, Model::Empty, true, kColumnAttributes},
    {"colgroup", Kind::Part, Model::Columns, true, kColumnAttributes},
    {"span", Kind::Inline, Model::Inline, true},
    {"br", Kind::Inline, Model::Empty, false, " id class title style "},
    {"em", Kind::Inline, Model::Inline, true},
    {"strong", Kind::Inline, Model::Inline, true},
    {"dfn", Kind::Inline, Model::Inline, true},
    {"code", Kind::Inline, Model::Inline, true},
    {"samp", Kind::Inline, Model::Inline, true},
    {"kbd", Kind::Inline, Model::Inline, true},
    {"var", Kind::Inline, Model::Inline, true},
    {"cite", Kind::Inline, Model::Inline, true},
    {"abbr", Kind::Inline, Model::Inline, true},
    {"acronym", Kind::Inline, Model::Inline, true},
    {"q", Kind::Inline, Model::Inline, true, " cite "},
    {"tt", Kind::Inline, Model::Inline, true},
    {"i", Kind::Inline, Model::Inline, true},
    {"b", Kind::Inline, Model::Inline, true},
    {"big", Kind::Inline, Model::Inline, true},
    {"small", Kind::Inline, Model::Inline, true},
    {"sub", Kind::Inline, Model::Inline, true},
    {"sup", Kind::Inline, Model::Inline, true},
    {"bdo", Kind::Inline, Model::Inline, true},
    {"a", Kind::Inline, Model::Inline, true,
     " href charset type hreflang rel rev accesskey tabindex shape coords "},
    {"img", Kind::Inline, Model::Empty, true, " src alt longdesc height width usemap ismap "},
    {"object", Kind::Inline, Model::Flow, true,
     " declare classid codebase data type codetype archive standby height width name tabindex "
     "usemap "},
    {"param", Kind::Part, Model::Empty, false, " id name value valuetype type "},
    {"ins", Kind::Either, Model::Flow, true, " cite datetime "},
    {"del", Kind::Either, Model::Flow, true, " cite datetime "},
    // HTML5 elements an HTML5 chapter keeps; XHTML 1.1 chapters turn them into div and span.
    {"section", Kind::Block, Model::Flow, true, " ", true},
    {"article", Kind::Block, Model::Flow, true, " ", true},
    {"aside", Kind::Block, Model::Flow, true, " ", true},
    {"nav", Kind::Block, Model::Flow, true, " ", true},
    {"header", Kind::Block, Model::Flow, true, " ", true},
    {"footer", Kind::Block, Model::Flow, true, " ", true},
    {"figure", Kind::Block, Model::Flow, true, " ", true},
    {"figcaption", Kind::Part, Model::Flow, true, " ", true},
    {"mark", Kind::Inline, Model::Inline, true, " ", true},
    {"time", Kind::Inline, Model::Inline, true, " datetime ", true},
};

constexpr ObsoleteElement kObsoleteElements[] = {
    {"acronym", "abbr", ""},
    {"tt", "span", "font-family: monospace"},
    {"big", "span", "font-size: larger"},
};

struct ObsoleteAttributes {
    std::string_view Elements;
    std::string_view Attributes;
};
// Attributes of the XHTML 1.1 table above that HTML5 dropped, by the elements carrying them.
constexpr ObsoleteAttributes kObsoleteAttributes[] = {
    {" table ", " summary width cellspacing cellpadding frame rules "},
    {" col colgroup ", " width align char charoff valign "},
    {" thead tbody tfoot tr ", " align char charoff valign "},
    {" td ", " abbr axis scope align char charoff valign "},
    {" th ", " abbr axis align char charoff valign "},
    {" img ", " longdesc "},
    {" object ", " declare classid codebase codetype archive standby "},
    {" param ", " valuetype type "},
    {" meta ", " scheme "},
    {" a ", " charset rev shape coords "},
    {" link ", " charset rev "},
    {" head ", " profile "},
};

}  // namespace

const ElementRule* RuleOf(std::string_view name) {
    static const auto* const kByName = [] {
        auto* byName = new std::unordered_map<std::string_view, const ElementRule*>();
        for (const ElementRule& rule : kElements) (*byName)[rule.Name] = &rule;
        return byName;
    }();
    const auto found = kByName->find(name);
    return found == kByName->end() ? nullptr : found->second;
}

const ObsoleteElement* Html5StandIn(std::string_view name) {
    for (const ObsoleteElement& element : kObsoleteElements)
        if (element.Name == name) return &element;
    return nullptr;
}

bool IsObsoleteInHtml5(std::string_view element, std::string_view attribute) {
    for (const ObsoleteAttributes& obsolete : kObsoleteAttributes)
        if (ListHolds(obsolete.Elements, element)) return ListHolds(obsolete.Attributes, attribute);
    return false;
}

namespace {

// Attribute values that XHTML 1.1 restricts.
constexpr std::string_view kBooleanAttributes = " ismap declare ";
constexpr std::string_view kNumberAttributes = " rowspan colspan span tabindex ";
constexpr std::string_view kLengthAttributes =
    " width height border cellspacing cellpadding "
    "charoff ";

struct EnumeratedAttribute {
    std::string_view Name;
    std::string_view Values;
};
constexpr EnumeratedAttribute kEnumerations[] = {
    {"dir", " ltr rtl "},
    {"valign", " top middle bottom baseline "},
    {"align", " left center right justify char "},
    {"scope", " row col rowgroup colgroup "},
    {"frame", " void above below hsides lhs rhs vsides box border "},
    {"rules", " none groups rows cols all "},
    {"shape", " rect circle poly default "},
    {"valuetype", " data ref object "},
    {"xml:space", " preserve "},
};

bool IsNumber(std::string_view value) {
    return !value.empty() && std::all_of(value.begin(), value.end(), IsDigit);
}

// `value` begins with `count` digits and then `separator` (none when it is 0); the digits and
// the separator are taken off.
bool TakeDigits(std::string_view& value, std::size_t count, char separator = 0) {
    const std::size_t length = count + (separator != 0 ? 1 : 0);
    if (value.size() < length ||
        !std::all_of(value.begin(), value.begin() + static_cast<std::ptrdiff_t>(count), IsDigit) ||
        (separator != 0 && value[count] != separator))
        return false;
    value.remove_prefix(length);
    return true;
}

// "hh:mm", "hh:mm:ss" or "hh:mm:ss.fff", taken off the front of `value`.
bool TakeTime(std::string_view& value) {
    if (!TakeDigits(value, 2, ':') || !TakeDigits(value, 2)) return false;
    if (value.empty() || value.front() != ':') return true;
    value.remove_prefix(1);
    if (!TakeDigits(value, 2)) return false;
    if (value.empty() || value.front() != '.') return true;
    value.remove_prefix(1);
    const std::size_t digits = std::min(value.find_first_not_of("0123456789"), value.size());
    value.remove_prefix(digits);
    return digits > 0;
}

}  // namespace

bool IsLength(std::string_view value) {
    if (!value.empty() && (value.back() == '%' || value.back() == '*')) value.remove_suffix(1);
    return IsNumber(value);
}

bool IsHtml5DateTime(std::string_view value, bool partial) {
    std::string_view rest = value;
    if (partial && TakeTime(rest) && rest.empty()) return true;  // a time of day
    rest = value;
    if (!TakeDigits(rest, 4)) return false;
    if (rest.empty()) return partial;  // a year
    if (!TakeDigits(rest, 0, '-') || !TakeDigits(rest, 2)) return false;
    if (rest.empty()) return partial;  // a month
    if (!TakeDigits(rest, 0, '-') || !TakeDigits(rest, 2)) return false;
    if (rest.empty()) return true;  // a date
    if (rest.front() != 'T' && rest.front() != ' ') return false;
    rest.remove_prefix(1);
    if (!TakeTime(rest)) return false;
    if (rest.empty() || rest == "Z") return true;
    if (rest.front() != '+' && rest.front() != '-') return false;
    rest.remove_prefix(1);
    return TakeDigits(rest, 2, ':') && TakeDigits(rest, 2) && rest.empty();
}

bool IsLanguageTag(std::string_view value) {
    std::size_t part = 0;
    for (std::size_t i = 0; i <= value.size(); ++i) {
        if (i == value.size() || value[i] == '-') {
            if (part == 0 || part > 8) return false;
            part = 0;
        } else if (IsLetter(value[i]) || IsDigit(value[i])) {
            ++part;
        } else {
            return false;
        }
    }
    return !value.empty() && IsLetter(value[0]);
}

bool MendAttributeValue(std::string_view name, std::string& value) {
    if (ListHolds(kBooleanAttributes, name)) {
        value = name;
        return true;
    }
    const std::string_view trimmed = [&] {
        std::string_view v = value;
        while (!v.empty() && IsSpace(v.front())) v.remove_prefix(1);
        while (!v.empty() && IsSpace(v.back())) v.remove_suffix(1);
        return v;
    }();
    if (ListHolds(kNumberAttributes, name)) {
        value = trimmed;
        return IsNumber(value);
    }
    if (ListHolds(kLengthAttributes, name)) {
        value = trimmed;
        return IsLength(value);
    }
    if (name == "xml:lang") {
        value = trimmed;
        return IsLanguageTag(value);
    }
    for (const EnumeratedAttribute& enumeration : kEnumerations) {
        if (enumeration.Name != name) continue;
        value = AsciiLower(trimmed);
        return ListHolds(enumeration.Values, value);
    }
    return true;
}

}  // namespace quirebook::xhtml
