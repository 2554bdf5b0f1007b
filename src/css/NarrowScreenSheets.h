// Style sheets fitted for narrow reading screens: the space a sheet keeps beside the text for a
// block the book does not hold, and a layout's large minimum widths, taken out of the sheet.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quirebook {

// A min-width of more pixels than this (an inch) is a layout's, not a widget's: it goes.
constexpr double kWidestKeptMinimumWidth = 96;

// A column a sheet keeps beside the text for a floated or pinned block.
struct SideColumn {
    std::string Side;       // "left" or "right"
    std::string Width;      // as written, in lower case, blanks single
    std::string Selectors;  // of the rule that places the block, blanks single
};

// The width `value` gives in CSS pixels: a number with px, pt, pc, in, cm, mm or q, or with
// em, rem, ex or ch counted against a 16 pixel font; nothing for other values.
std::optional<double> LengthInPixels(std::string_view value);

// The columns of `css`: rules that float a block (float: left or right) or pin it (position:
// fixed or absolute, on the right when only "right" is set) with the width of a column (at least
// an inch, from 10 to 50 %, or a calc() or var() value), whose selectors select no block of the
// book, as `selectsNoBlock` (given a rule's selector text) says: the space the sheet keeps for a
// block the book does not hold.
std::vector<SideColumn> AbsentSideColumns(
    std::string_view css, const std::function<bool(const std::string&)>& selectsNoBlock);

// A sheet fitted by FitSheetToNarrowScreens, with what was changed.
struct NarrowFit {
    std::string Sheet;
    std::size_t FreedMargins = 0;  // margins and paddings set to 0
    std::size_t DroppedMinimumWidths = 0;
};

// `css` with what would squeeze a narrow screen taken out and every other byte as it was: each
// margin or padding on the side of one of the `absent` columns that equals its width becomes 0
// (in a shorthand, that side alone), and each min-width of more than kWidestKeptMinimumWidth
// pixels (see LengthInPixels) is dropped.
NarrowFit FitSheetToNarrowScreens(std::string_view css, const std::vector<SideColumn>& absent);

}  // namespace quirebook
