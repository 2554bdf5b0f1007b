// Small text utilities: sizes for display, number test, trimming, extension stripping, ASCII
// lower-casing and percent-decoding.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quirebook {

// "n KB" with n = bytes div 1024 + 1 for a positive size; "0 KB" otherwise.
std::string SizeText(std::int64_t bytes);

// True when the text is not empty and every byte is a digit or ".".
bool IsNumberText(std::string_view text);

// The text without the bytes up to and including the space (blanks, line breaks, other control
// bytes) at its start and end.
std::string_view TrimBlanks(std::string_view text);

// The name up to, not including, its last "."; the empty text for a name without ".".
std::string StripExtension(std::string_view name);

// The text with A to Z made a to z and every other byte as it is: names, schemes and paths
// compared without regard to ASCII case, whatever the locale.
std::string AsciiLower(std::string_view text);

// Whether `text` holds `word` (written in lower case) at byte `at`, its letters in any ASCII case.
bool HoldsAtAnyCase(std::string_view text, std::size_t at, std::string_view word);

// Where `text` first holds `word` (written in lower case) from byte `from` on, its letters in any
// ASCII case; npos when it does not.
std::size_t FindAnyCase(std::string_view text, std::string_view word, std::size_t from = 0);

// "%HH" sequences decoded, as a reader does before it looks a fragment or a path up.
std::string PercentDecode(std::string_view text);

}  // namespace quirebook
