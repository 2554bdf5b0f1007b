// The references of a style sheet, what "@import" and "url()" name, rewritten or removed so that
// the sheet stays valid CSS.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quirebook {

enum class StyleReferenceKind { Import, Url };

// Given a reference's kind and its value (quotes and backslash escapes undone), the value to
// write in its place, or nullopt to remove it.
using StyleReferenceMap =
    std::function<std::optional<std::string>(StyleReferenceKind, const std::string&)>;

// The style text with every reference outside comments and strings passed through `map`. A
// reference whose value stays the same keeps its text; a new value is written as url("...").
// A removed "@import" loses its whole rule; a removed "url()" takes with it the item of the
// declaration's comma-separated value that holds it ("src: url(a.woff), local(A)" keeps
// "local(A)"), and the whole declaration when no item is left.
std::string RewriteStyleReferences(std::string_view style, const StyleReferenceMap& map);

}  // namespace quirebook
