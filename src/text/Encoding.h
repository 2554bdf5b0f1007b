// Character encodings: UTF-8 validity and decoding, byte-order marks, and conversion to UTF-8
// with iconv.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// True when the bytes are well-formed UTF-8 (plain ASCII included).
bool IsValidUtf8(std::string_view text);

// UTF-8 decoded to UTF-16. A byte sequence that is not UTF-8 becomes U+FFFD, one per byte.
std::u16string Utf8ToWide(std::string_view text);

// True when the text holds a byte above 127.
bool HasNonAscii(std::string_view text);

// The encoding named by a byte-order mark at the start of the text ("UTF-8", "UTF-16LE",
// "UTF-16BE"), or the empty text when there is none.
std::string ByteOrderMarkEncoding(std::string_view text);

// A file name or a path of names separated by "/" as a book can hold it: each name that is not
// valid UTF-8 is read as windows-1252, the charset of the old archives such names come from
// (Latin-1 with more letters), and a byte that charset leaves undefined becomes "_". Names that
// are valid UTF-8 stay as they are.
std::string FileNameToUtf8(std::string_view path);

// The text converted from `charset` (any name iconv knows) to UTF-8, a byte-order mark dropped.
// Bytes that are not valid in `charset` become U+FFFD, so no text around them is lost. Raises
// std::invalid_argument when iconv does not know the charset.
std::string ConvertToUtf8(std::string_view text, const std::string& charset);

}  // namespace quirebook
