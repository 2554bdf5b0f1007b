// A Word document's properties as Word shows them: the characters Office escapes in property
// strings ("_x000d_") read back, the comments on their lines and the other fields on one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "word/docx/CoreProperties.h"
#include "word/docx/DocxFixture.h"
#include "word/docx/EscapedStrings.h"

namespace quirebook {
namespace {

using testing::TempFolder;

TEST(UnescapedString, ReadsOfficeEscapesAsWordDoes) {
    EXPECT_EQ(UnescapedString("one_x000d_two"), "one\ntwo");
    EXPECT_EQ(UnescapedString("one_x000D_\ntwo_x000d__x000a_three\r\nfour\rfive"),
              "one\ntwo\nthree\nfour\nfive");
    // An escaped underscore ends the escape: what follows is text.
    EXPECT_EQ(UnescapedString("_x005f_x000d_"), "_x000d_");
    EXPECT_EQ(UnescapedString("snake_x005F_case"), "snake_case");
    EXPECT_EQ(UnescapedString("tab_x0009_stop _x00e9_t_x00E9_"), "tab\tstop \xC3\xA9t\xC3\xA9");
    // A surrogate pair is one character; half of one, and what XML cannot hold, are dropped.
    EXPECT_EQ(UnescapedString("_xD83D__xDE00_!"), "\xF0\x9F\x98\x80!");
    EXPECT_EQ(UnescapedString("a_xD83D_b_xDE00_c"), "abc");
    EXPECT_EQ(UnescapedString("bell_x0007__x0000__xFFFF_."), "bell.");
    // What is no escape stays as written.
    EXPECT_EQ(UnescapedString("_x00d_ _x00zz_ _X000D_ x000d_ _x000d"),
              "_x00d_ _x00zz_ _X000D_ x000d_ _x000d");
}

TEST(OnOneLine, JoinsLinesWithOneSpaceAndKeepsOtherBlanks) {
    EXPECT_EQ(OnOneLine("  A  title \n\n  on lines\t\n"), "A  title on lines");
    EXPECT_EQ(OnOneLine("one\ntwo"), "one two");
    EXPECT_EQ(OnOneLine(" \n "), "");
}

TEST(CoreProperties, AreReadAsWordShowsThem) {
    auto parts = testing::MinimalDocxParts("<w:p/>");
    parts["docProps/core.xml"] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/"
        "core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
        "<dc:title>Kites_x000d_\nand strings</dc:title><dc:creator>Ann_x005f_x000d_</dc:creator>"
        "<cp:keywords>a_x000d_b</cp:keywords>"
        "<dc:description>First line._x000d_\nSecond line._x000d_Third.</dc:description>"
        "</cp:coreProperties>";
    const TempFolder folder;
    testing::WriteDocx(folder / "props.docx", parts);
    const CoreProperties core = ReadCoreProperties(DocxPackage(folder / "props.docx"));
    EXPECT_EQ(core.Title, "Kites and strings");
    EXPECT_EQ(core.Author, "Ann_x000d_");
    EXPECT_EQ(core.Keywords, "a b");
    EXPECT_EQ(core.Comments, "First line.\nSecond line.\nThird.");
}

}  // namespace
}  // namespace quirebook
