// Pictures of a Word page at the size Word shows them: each picture's width written as a share
// of the width it stands in, so that a book keeps Word's proportions on any screen.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// The text width of a page, in points, when its style sheet does not give one: Letter paper
// with one-inch margins.
constexpr double kDefaultTextWidth = 468;

// `page` (a page saved by Word, or one the Word layer wrote) with every picture at Word's size
// as a share of the width it stands in. Pictures shown only through VML are made images first
// (VmlPicturesAsImages). Then each <img> whose width Word's page gives (the style of the VML
// shape its v:shapes attribute names, else its own style, else its width and height attributes
// in pixels) loses its width and height, attributes and declarations alike, and gets
// style="width:P%;aspect-ratio:W/H": its height follows Word's proportions W/H (in readers that
// know aspect-ratio; others keep the picture's own), and the rest of its style but Word's own
// "mso-" declarations follows. P is the width's share, capped at 100, of:
//  - the table cell that holds it, when the cell's width is known (its style or its width
//    attribute; a percentage of a table whose width is known is resolved): a percentage in a
//    cell is a share of the cell's width in any reader;
//  - else the text width of its section's page: the @page rule named by the class of the
//    section division it stands in (Word's "WordSection1"), its size less its left and right
//    margins; kDefaultTextWidth when the page has no such rule.
// Images without a width (or with one no page could show) are left as they are.
std::string WithRelativePictureSizes(std::string_view page);

}  // namespace quirebook
