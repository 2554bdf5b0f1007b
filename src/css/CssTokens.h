// Style text read as the tokens of CSS Syntax Level 3, each with the bytes it takes, comments
// included, so that a step can judge a sheet as a CSS parser does and keep its bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quirebook {

enum class CssTokenType {
    Ident,
    Function,  // a name and its "(": the block runs to the matching ")"
    AtKeyword,
    Hash,
    String,
    BadString,  // a string broken by a line end
    Url,        // url(...) without quotes
    BadUrl,     // url(...) holding a quote, a "(" or a blank inside
    Delim,      // any other single character
    Number,
    Percentage,
    Dimension,
    Whitespace,
    Comment,
    Cdo,  // <!--
    Cdc,  // -->
    Colon,
    Semicolon,
    Comma,
    OpenSquare,
    CloseSquare,
    OpenParen,
    CloseParen,
    OpenCurly,
    CloseCurly,
};

struct CssToken {
    CssTokenType Type = CssTokenType::Delim;
    std::size_t Begin = 0;  // its first byte
    std::size_t End = 0;    // past its last byte
    // A hash whose name could be an identifier: the only kind an id selector may be.
    bool IdHash = false;
    // A string, comment or url cut short by the end of the text.
    bool Unclosed = false;
    // A string continued over a line end by a backslash: valid CSS, but some checkers reject it.
    bool EscapedLineEnd = false;
};

// The tokens of `css` from its first byte to its last, without gaps: every byte belongs to one
// token. Bytes of 0x80 and above count as letters, as the characters they belong to do.
std::vector<CssToken> ReadCssTokens(std::string_view css);

// The name a token names with its escapes undone, in lower case: an identifier, the name of a
// function (without "("), of an at-keyword (without "@") or of a hash (without "#").
std::string CssTokenName(std::string_view css, const CssToken& token);

}  // namespace quirebook
