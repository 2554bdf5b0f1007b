// Ids as XML names: letters of every script kept, the naming one-to-one within a chapter, links
// from the chapter and from other chapters following it.
#include "html/IdentifierNames.h"

#include <gtest/gtest.h>

#include "html/ContentFilter.h"

namespace quirebook {
namespace {

TEST(XmlIdentifier, KeepsLettersOfEveryScript) {
    EXPECT_EQ(XmlIdentifier("\xe5\x8e\x86\xe5\x8f\xb2"), "\xe5\x8e\x86\xe5\x8f\xb2");  // 历史
    EXPECT_EQ(XmlIdentifier("\xc3\xa9t\xc3\xa9"), "\xc3\xa9t\xc3\xa9");                // été
    // فصل_1 (Arabic letters, a digit after them)
    EXPECT_EQ(XmlIdentifier("\xd9\x81\xd8\xb5\xd9\x84_1"), "\xd9\x81\xd8\xb5\xd9\x84_1");
    // A combining accent and a digit may follow a letter, not begin a name.
    EXPECT_EQ(XmlIdentifier("e\xcc\x81"), "e\xcc\x81");
    EXPECT_EQ(XmlIdentifier("\xcc\x81x"), "_\xcc\x81x");
}

TEST(XmlIdentifier, MapsWhatANameForbidsOneCharacterAtATime) {
    // "×" (U+00D7) and the ideographic space are no name characters: one "_" each.
    EXPECT_EQ(XmlIdentifier("a\xc3\x97"
                            "b"),
              "a_b");
    EXPECT_EQ(XmlIdentifier("\xe3\x80\x80x"), "_x");
    // Bytes that are not UTF-8 become "_" one by one, and a cut sequence too.
    EXPECT_EQ(XmlIdentifier("a\xff\xfe"), "a__");
    EXPECT_EQ(XmlIdentifier("a\xe5\x8e"), "a__");
    EXPECT_EQ(XmlIdentifier("\xed\xa0\x80"), "___");  // an encoded surrogate
    EXPECT_EQ(XmlIdentifier("\xc0\xafz"), "__z");     // an overlong "/"
    const std::string mapped = XmlIdentifier("1 \xe6\x96\x87");
    EXPECT_EQ(XmlIdentifier(mapped), mapped);
}

TEST(ChapterIdentifiers, GivesDifferentIdsDifferentNames) {
    ChapterIdentifiers ids;
    for (const char* id : {"a b", "a_b", "a?b", "a b", "x"}) ids.Add(id);
    ids.Assign();
    // The id that was already a name keeps it, though it comes later.
    EXPECT_EQ(ids.NameOf("a_b"), "a_b");
    EXPECT_EQ(ids.NameOf("a b"), "a_b_2");
    EXPECT_EQ(ids.NameOf("a?b"), "a_b_3");
    EXPECT_EQ(ids.NameOf("x"), "x");
    EXPECT_EQ(ids.NameOf("not here"), "not_here");
}

TEST(ChapterIdentifiers, SuffixesNeverMeetALaterName) {
    ChapterIdentifiers ids;
    for (const char* id : {"a b", "a?b", "a_b_2"}) ids.Add(id);
    ids.Assign();
    EXPECT_EQ(ids.NameOf("a_b_2"), "a_b_2");
    EXPECT_EQ(ids.NameOf("a b"), "a_b");
    EXPECT_EQ(ids.NameOf("a?b"), "a_b_3");
}

TEST(MendIdentifiers, KeepsChineseIdsApartAndLinksOnThem) {
    // 历史 and 文化, linked plainly and percent-encoded.
    const std::string page =
        "<h2 id=\"\xe5\x8e\x86\xe5\x8f\xb2\">H</h2><h2 id=\"\xe6\x96\x87\xe5\x8c\x96\">C</h2>"
        "<a href=\"#\xe6\x96\x87\xe5\x8c\x96\">1</a><a href=\"#%E5%8E%86%E5%8F%B2\">2</a>";
    EXPECT_EQ(
        MendIdentifiers(page),
        "<h2 id=\"\xe5\x8e\x86\xe5\x8f\xb2\">H</h2><h2 id=\"\xe6\x96\x87\xe5\x8c\x96\">C</h2>"
        "<a href=\"#\xe6\x96\x87\xe5\x8c\x96\">1</a><a href=\"#\xe5\x8e\x86\xe5\x8f\xb2\">2</a>");
}

TEST(MendIdentifiers, LinksFollowCollidingIdsInTheirOwnAndOtherChapters) {
    const std::string other = "<p id=\"a b\">1</p><p id=\"a?b\">2</p>";
    BookIdentifiers book;
    book.emplace("other.html", CollectIdentifiers(other));
    EXPECT_EQ(MendIdentifiers(other, book), "<p id=\"a_b\">1</p><p id=\"a_b_2\">2</p>");
    const std::string page =
        "<p id=\"x y\"></p><p id=\"x.y\"></p><a href=\"#x%20y\">a</a>"
        "<a href=\"other.html#a%3Fb\">b</a><a href=\"./other.html#a b\">c</a>"
        "<a href=\"elsewhere.html#a?b\">d</a><a href=\"http://x.org/#a?b\">e</a>";
    EXPECT_EQ(MendIdentifiers(page, book),
              "<p id=\"x_y\"></p><p id=\"x.y\"></p><a href=\"#x_y\">a</a>"
              "<a href=\"other.html#a_b_2\">b</a><a href=\"./other.html#a_b\">c</a>"
              "<a href=\"elsewhere.html#a_b\">d</a><a href=\"http://x.org/#a?b\">e</a>");
}

}  // namespace
}  // namespace quirebook
