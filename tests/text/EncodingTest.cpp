#include "text/Encoding.h"

#include <gtest/gtest.h>

namespace quirebook {
namespace {

TEST(Utf8ToWide, DecodesToUtf16AndReplacesBrokenBytes) {
    EXPECT_EQ(Utf8ToWide(""), u"");
    EXPECT_EQ(Utf8ToWide("Quire"), u"Quire");
    EXPECT_EQ(Utf8ToWide("caf\xc3\xa9 \xe2\x82\xac"), u"caf\u00e9 \u20ac");
    EXPECT_EQ(Utf8ToWide("\xf0\x9f\x93\x96"), u"\U0001F4D6");      // a surrogate pair
    EXPECT_EQ(Utf8ToWide("a\xe9z"), u"a\uFFFDz");                  // windows-1252, not UTF-8
    EXPECT_EQ(Utf8ToWide("\xc0\xaf"), u"\uFFFD\uFFFD");            // overlong
    EXPECT_EQ(Utf8ToWide("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");  // a lone surrogate
    EXPECT_EQ(Utf8ToWide("\xe2\x82"), u"\uFFFD\uFFFD");            // cut short
}

TEST(IsValidUtf8, AcceptsWellFormedTextOnly) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ascii"));
    EXPECT_TRUE(IsValidUtf8("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x93\x96"));
    EXPECT_FALSE(IsValidUtf8("caf\xe9"));           // windows-1252
    EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));          // overlong
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));      // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xe2\x82"));          // cut short
    EXPECT_FALSE(IsValidUtf8("\xf4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_TRUE(HasNonAscii("a\xe9"));
    EXPECT_FALSE(HasNonAscii("abc"));
}

TEST(ConvertToUtf8, ConvertsFromAnyCharsetIconvKnows) {
    EXPECT_EQ(ConvertToUtf8("caf\xe9 \x96 \x80", "WINDOWS-1252"),
              "caf\xc3\xa9 \xe2\x80\x93 \xe2\x82\xac");
    EXPECT_EQ(ConvertToUtf8("\xc4\xe3\xba\xc3", "GB18030"), "\xe4\xbd\xa0\xe5\xa5\xbd");
    const std::string utf16(
        "\xff\xfe"
        "a\0\xe9\0",
        6);
    EXPECT_EQ(ConvertToUtf8(utf16, "UTF-16LE"), "a\xc3\xa9");  // the mark goes
    EXPECT_EQ(ConvertToUtf8("\xef\xbb\xbfok", "UTF-8"), "ok");
    EXPECT_EQ(ByteOrderMarkEncoding("\xfe\xff\0a"), "UTF-16BE");
    EXPECT_EQ(ByteOrderMarkEncoding("<html>"), "");
    EXPECT_THROW(ConvertToUtf8("x", "NO-SUCH-CHARSET"), std::invalid_argument);
}

TEST(ConvertToUtf8, ReplacesInvalidBytesAndKeepsTheRest) {
    // 0x81 has no character in windows-1252; a UTF-8 text cut inside a character.
    EXPECT_EQ(ConvertToUtf8("a\x81z", "WINDOWS-1252"), "a\xef\xbf\xbdz");
    EXPECT_EQ(ConvertToUtf8("ab\xe2\x82", "UTF-8"), "ab\xef\xbf\xbd\xef\xbf\xbd");
    const std::string large(1 << 20, '\xe9');
    EXPECT_EQ(ConvertToUtf8(large, "ISO-8859-1").size(), large.size() * 2);
}

TEST(FileNameToUtf8, ReadsEachNameThatIsNotUtf8AsWindows1252) {
    EXPECT_EQ(FileNameToUtf8("caf\xe9.htm"), "caf\u00e9.htm");
    EXPECT_EQ(FileNameToUtf8("caf\u00e9.htm"), "caf\u00e9.htm");
    EXPECT_EQ(FileNameToUtf8("images/plain.png"), "images/plain.png");
    // Each name on its own: a UTF-8 folder keeps its bytes beside a Latin-1 file.
    EXPECT_EQ(FileNameToUtf8("ni\u00f1os/\x93quoted\x94 \x80.png"),
              "ni\u00f1os/\u201cquoted\u201d \u20ac.png");
    // Undefined in windows-1252: no replacement character, which a package may not name.
    EXPECT_EQ(FileNameToUtf8("a\x81\x8d.png"), "a__.png");
    EXPECT_EQ(FileNameToUtf8(""), "");
    EXPECT_EQ(FileNameToUtf8("/"), "/");
}

}  // namespace
}  // namespace quirebook
