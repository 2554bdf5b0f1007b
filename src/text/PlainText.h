// Plain (non-pattern) text helpers over byte strings. Positions are 1-based; 0 means "not
// found", so that step algorithms can be written with the positions they are described with.
// Ignoring case folds the ASCII letters only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quirebook {

// Every occurrence of `find`, left to right without overlap, replaced by `replacement`. With
// `ignoreCase` the comparison folds ASCII letters; inserted and kept text keep their own case.
std::string PlainReplace(std::string_view text, std::string_view find, std::string_view replacement,
                         bool ignoreCase = false);

// Position of the first occurrence that begins at or after `start`; 0 when none, or when
// `start` lies beyond the text.
std::size_t PosFrom(std::string_view text, std::string_view find, std::size_t start,
                    bool ignoreCase = false);
// As PosFrom, counting only occurrences that end before position `limit`.
std::size_t PosBefore(std::string_view text, std::string_view find, std::size_t start,
                      bool ignoreCase, std::size_t limit);
// Position of the last occurrence that begins at or before `from`; `from` = 0: the whole text.
std::size_t LastPos(std::string_view text, std::string_view find, std::size_t from,
                    bool ignoreCase = false);

// The first n bytes.
std::string LeftPart(std::string_view text, std::size_t n);
// n bytes from `position`; n = 0 means up to the end.
std::string CopyFrom(std::string_view text, std::size_t position, std::size_t n);
// The bytes from `position` to the end.
std::string CopyToEnd(std::string_view text, std::size_t position);
// Appends bytes first..last of `source` to `buffer`; nothing when last < first. (Rebuilding
// loops append ranges to a string that grows geometrically, not in fixed steps, which would
// make a rebuild quadratic in the size of the text.)
void AppendRange(std::string& buffer, std::string_view source, std::size_t last, std::size_t first);
// The text after the first `startMarker` up to the next `endMarker`; empty when either is
// missing.
std::string TextBetween(std::string_view text, std::string_view startMarker,
                        std::string_view endMarker, bool ignoreCase = false);

// "&", "<" and ">" escaped, in that order, for text written into markup; an entity already
// present is escaped again.
std::string EscapeMarkup(std::string_view text);

}  // namespace quirebook
