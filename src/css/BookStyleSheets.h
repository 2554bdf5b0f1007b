// Style sheets for the book: the normalisation chain of a Word document's style text (generic
// font families, filtered declarations, the patch sheet), the Word book's style.css, and the
// link of a replacement style sheet into web-page chapters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "book/BookProject.h"

namespace quirebook {

// Every "font-family:" value (up to the next ";" or "}") that holds no "serif", in any case, and
// names no other generic family gets one
// after it: "," and the generic of its first family the font table knows ("monospace" for
// Consolas, "sans-serif" for Calibri), else "serif".
std::string AddGenericFontFamilies(std::string_view style);

// Drops the declarations the options do not allow (letter spacing always; pixel widths, line
// heights, negative pixel indents as the options say; a longer property name that ends in one of
// these goes whole), scales the font sizes (ScaleFontSizes, which may set options.BaseFontSize),
// appends the page-break rule and, after a CR LF, `patchSheet`.
std::string FilterStyleDeclarations(std::string style, OptionFlags& options,
                                    std::string_view patchSheet);

// The quotes removed around the generic families "sans-serif", "mono" and "serif".
std::string UnquoteGenericFamilies(std::string_view style);

// The four margin longhands, written top, right, bottom, left, each ended by ";", merged into
// one "margin:" shorthand.
void CombineMargins(std::string& text);

// The whole normalisation of a Word style text, in order: points to pixels, generic families,
// filtered declarations with the patch sheet, generic families unquoted.
std::string NormaliseWordStyle(std::string_view style, OptionFlags& options,
                               std::string_view patchSheet);

// When the project has a replacement style sheet: the page's <style> elements, <link> elements
// and style attributes removed as the options ask, and a link to the sheet (by its file name)
// inserted before "</head>", else before "<body", else at the start.
void LinkReplacementStyleSheet(std::string& page, const BookProject& project);

// The style step of a Word import, on the page head: the Word style block is normalised
// (NormaliseWordStyle with the patch sheet TemplateFolder + "OPS/patch.css"), followed by the
// global theme TemplateFolder + "OPS/style.css" when options.UseGlobalStyle is set, saved as
// style.css beside `sourceHtmlPath`, and replaced in the head by a link to it; the document's
// font families are added to FontFamilyList (CollectFontFamilies); <base> and
// <script> elements leave the head. A head without a Word style block is left unchanged, nothing
// is written and the log says so; the result is then nothing, else the text of style.css. Raises
// InOutError when style.css cannot be written.
std::optional<std::string> BuildWordStyleSheet(std::string& head, const std::string& sourceHtmlPath,
                                               BookProject& project);

}  // namespace quirebook
