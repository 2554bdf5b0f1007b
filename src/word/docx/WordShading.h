// The colour a Word shading (w:shd of runs, paragraphs, tables and cells) shows: its fill
// with its pattern drawn over it in the pattern's colour.
#pragma once

#include <pugixml.hpp>

#include <optional>
#include <string>

#include "word/docx/ThemeColors.h"

namespace quirebook {

// The CSS colour shading element `shd` shows: the fill for a clear pattern, the pattern colour
// for a solid one, and for a percentage ("pct25") or a hatching the pattern colour mixed into
// the fill by the share of the area it covers. An automatic fill is white and an automatic
// pattern colour black. Empty when it shows nothing: no pattern ("nil"), or a clear pattern
// over an automatic fill. Nothing when `shd` is absent.
std::optional<std::string> ShadingColor(pugi::xml_node shd, const ThemeColors* theme = nullptr);

}  // namespace quirebook
