#include "html/Charset.h"

#include <gtest/gtest.h>

namespace quirebook {
namespace {

const char* const kLongForm =
    "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">";

TEST(DetectAndSetCharset, ReadAndReplaceTheFirstCharsetValue) {
    EXPECT_EQ(DetectCharset(kLongForm), "windows-1252");
    EXPECT_EQ(DetectCharset("<p>no declaration</p>"), "utf-8");
    EXPECT_EQ(DetectCharset("<meta charset=\"ISO-8859-1\">"), "ISO-8859-1");
    EXPECT_EQ(SetCharset(kLongForm, "utf-8"),
              "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
    EXPECT_EQ(SetCharset("<meta charset=\"gb2312\"/>", "utf-8"), "<meta charset=\"utf-8\"/>");
    EXPECT_EQ(SetCharset("<p>none</p>", "utf-8"), "<p>none</p>");
}

TEST(SourceCharset, TrustsTheBytesBeforeTheLabel) {
    // A label is trusted only when the bytes do not already read as UTF-8.
    EXPECT_EQ(SourceCharset(std::string(kLongForm) + "caf\xc3\xa9"), "UTF-8");
    EXPECT_EQ(SourceCharset(std::string(kLongForm) + "caf\xe9"), "windows-1252");
    EXPECT_EQ(SourceCharset("<meta charset=gb2312><p>\xc4\xe3</p>"), "GB18030");
    EXPECT_EQ(SourceCharset("<?xml version='1.0' encoding='ISO-8859-1'?><p>\xe9</p>"),
              "WINDOWS-1252");
    EXPECT_EQ(SourceCharset("<meta charset=\"utf-8\"><p>\xe9</p>"), "WINDOWS-1252");
    EXPECT_EQ(SourceCharset("<p>\xe9</p>"), "WINDOWS-1252");
    EXPECT_EQ(SourceCharset("<p>ascii</p>"), "");
    EXPECT_EQ(SourceCharset("\xff\xfe<\0p\0"), "UTF-16LE");
}

TEST(PageToUtf8, KeepsTheWordsWhateverTheEncoding) {
    EXPECT_EQ(PageToUtf8(std::string(kLongForm) + "caf\xe9 \x93q\x94"),
              std::string(kLongForm) + "caf\xc3\xa9 \xe2\x80\x9cq\xe2\x80\x9d");
    EXPECT_EQ(PageToUtf8("<meta charset=\"x-mac-cyrillic\"><p>\x8f\xf0\xe8</p>"),
              "<meta charset=\"x-mac-cyrillic\"><p>\xd0\x9f\xd1\x80\xd0\xb8</p>");
    EXPECT_EQ(PageToUtf8("<meta charset=\"no-such\"><p>\xe9</p>"),
              "<meta charset=\"no-such\"><p>\xc3\xa9</p>");
    EXPECT_EQ(PageToUtf8("\xef\xbb\xbf<p>\xc3\xa9</p>"), "<p>\xc3\xa9</p>");
    const std::string utf8 = "<p>caf\xc3\xa9</p>";
    EXPECT_EQ(PageToUtf8(utf8), utf8);
}

}  // namespace
}  // namespace quirebook
