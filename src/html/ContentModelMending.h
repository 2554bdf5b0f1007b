// Holds the conformance stage's tree to the content model of XHTML 1.1 (or HTML5): what each
// element may hold, wrapped, split out, reordered or removed, without losing text.
#pragma once

#include <string>

#include "html/ConformTree.h"

namespace quirebook::conform {

// Every element under `root`, children first: text in block-only content wrapped in a div,
// blocks inside inline elements split out, lists, definition lists and tables given the
// children they must hold (in HTML5 terms and descriptions paired, one figure caption).
void MendContent(Tree& tree, NodeId root);
// The head: one title first (`title` when the page has none), then what may follow.
void MendHead(Tree& tree, const std::string& title);

}  // namespace quirebook::conform
