// Reading WordprocessingML with pugixml: optional parts, and the
// attribute forms Word uses (w:val, on/off toggles, whole numbers that may be hostile).
#pragma once

#include <pugixml.hpp>

#include <set>
#include <string>
#include <string_view>

#include "word/docx/DocxPackage.h"

namespace quirebook {

// DocxPackage::ReadXml for a part the page can do without (styles, lists, notes, fonts, theme,
// settings, properties): one that is damaged is taken as absent, so that it costs its
// formatting, not the document.
bool LoadOptionalWordPart(const DocxPackage& package, const std::string& partName,
                          pugi::xml_document& document);

// The value of attribute `name` ("w:val" when not given); empty when it is absent.
std::string_view AttributeText(pugi::xml_node node, const char* name = "w:val");

// A whole number attribute; `fallback` when absent or not a number. Values are clamped to
// +-1e9, so that arithmetic on hostile values cannot overflow.
long NumberAttribute(pugi::xml_node node, const char* name, long fallback);

// A toggle element such as <w:b/>: true when present without w:val or with a value other than
// "0", "false" or "off".
bool ToggleValue(pugi::xml_node element);

// The branch of an mc:AlternateContent element to read: its first mc:Choice whose required
// namespaces are all ones this program reads (text-box shapes, groups, canvases, VML, math),
// else its mc:Fallback. Null when it has neither.
pugi::xml_node ChosenAlternative(pugi::xml_node alternateContent);

// The text of the w:t and m:t elements under `node`, in document order, past deletions and
// field instructions; found without recursion, so any depth of nesting is safe.
std::string TextOf(pugi::xml_node node);

// True for the name of a bookmark of the document's own: not empty, and not Word's mark of the
// last edit ("_GoBack").
bool IsDocumentBookmark(std::string_view name);

// The names of the document's bookmarks that begin in `story`, past deletions; found without
// recursion.
std::set<std::string> BookmarkNames(pugi::xml_node story);

// True when `node` is the element `name` ("w:p").
inline bool IsElement(pugi::xml_node node, const char* name) {
    return node.type() == pugi::node_element && std::string_view(node.name()) == name;
}

}  // namespace quirebook
