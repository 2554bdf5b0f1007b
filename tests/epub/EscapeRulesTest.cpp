#include "epub/EscapeRules.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingUserInterface.h"

namespace quirebook {
namespace {

using testing::RecordingUserInterface;

TEST(EscapeMarkup, EscapesAmpersandFirstThenAngleBrackets) {
    EXPECT_EQ(EscapeMarkup("Tom & Jerry <Vol. 1>"), "Tom &amp; Jerry &lt;Vol. 1&gt;");
    EXPECT_EQ(EscapeMarkup("&amp;"), "&amp;amp;");  // an entity typed by hand is escaped again
    EXPECT_EQ(EscapeMarkup("\"quoted\" 'text'"), "\"quoted\" 'text'");
}

TEST(UnescapeForDisplay, TurnsBackAmpersandsAndNoBreakSpacesOnly) {
    EXPECT_EQ(UnescapeForDisplay("A &amp; B&nbsp;C"), "A & B C");
    EXPECT_EQ(UnescapeForDisplay("&lt;b&gt;"), "&lt;b&gt;");
    EXPECT_EQ(UnescapeForDisplay("&amp;nbsp;"), " ");  // "&amp;" first, then "&nbsp;"
    EXPECT_EQ(UnescapeForDisplay("plain"), "plain");
}

TEST(CheckSourceFileName, RefusesHashAndPlusAnywhereInThePath) {
    RecordingUserInterface ui;
    EXPECT_FALSE(CheckSourceFileName("/home/ann/C++ notes/book.docx", ui));
    EXPECT_FALSE(CheckSourceFileName("/home/ann/book#2.docx", ui));
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[0],
              "File name can not contain # or +, please change the name and try again.\r\n"
              "Tps: For the safe of your epub on all devices, please restrict your source \r\n"
              "filenames within the 26 unaccented English letters and - _.");
}

TEST(CheckSourceFileName, WarnsAboutQuestionMarksAndGoesOn) {
    RecordingUserInterface ui;
    EXPECT_TRUE(CheckSourceFileName("/home/ann/why?.docx", ui));
    EXPECT_THAT(ui.Messages,
                ::testing::ElementsAre("Amazon Kindle doesn't support filename with special "
                                       "characters,please rename your file with simple latin "
                                       "characters."));
    EXPECT_TRUE(CheckSourceFileName("/home/ann/plain-name_1.docx", ui));
    EXPECT_EQ(ui.Messages.size(), 1u);
}

}  // namespace
}  // namespace quirebook
