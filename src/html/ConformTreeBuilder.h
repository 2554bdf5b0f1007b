// Builds the conformance stage's tree from a page parsed as browsers parse it (gumbo): element
// names mapped to XHTML 1.1 or HTML5 by the element and by where it stands, attributes filtered,
// ids made unique.
#pragma once

#include <string_view>

#include "html/ConformTree.h"

namespace quirebook::conform {

// The page (UTF-8, its nesting already limited) parsed into a tree: elements outside the
// document type become div, span, ul or pre with their old name as a class, or go with their
// content (scripts); head elements move to the head; equations become XHTML or stay MathML
// (`html5`); the html element's xml:lang is kept as the tree's language. The content model
// is not mended yet.
Tree BuildTree(std::string_view page, bool html5);

}  // namespace quirebook::conform
