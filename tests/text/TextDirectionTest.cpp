// The strong direction of texts: letters decide it, digits, punctuation and spaces do not.
#include <gtest/gtest.h>

#include "text/TextDirection.h"

namespace quirebook {
namespace {

TEST(TextDirection, LettersDecideAndNumbersAndPunctuationDoNot) {
    EXPECT_EQ(StrongDirectionOf("printf(\"%d\\n\", x);"), StrongDirection::LeftToRight);
    EXPECT_EQ(StrongDirectionOf("Ελληνικά"), StrongDirection::LeftToRight);
    EXPECT_EQ(StrongDirectionOf("Ünïcödé"), StrongDirection::LeftToRight);
    EXPECT_EQ(StrongDirectionOf("مقدمه"), StrongDirection::RightToLeft);
    EXPECT_EQ(StrongDirectionOf("שלום"), StrongDirection::RightToLeft);
    EXPECT_EQ(StrongDirectionOf("فصل 2 از Word"), StrongDirection::Both);
    // Digits of either script, signs and spaces read as the text around them.
    EXPECT_EQ(StrongDirectionOf("10 + 20 = 30"), StrongDirection::None);
    EXPECT_EQ(StrongDirectionOf("۱۲۳ ٤٥ (×÷)"), StrongDirection::None);
    EXPECT_EQ(StrongDirectionOf(""), StrongDirection::None);
    // Broken UTF-8 counts for nothing; a sequence cut short does not swallow the next letter.
    EXPECT_EQ(StrongDirectionOf("\xFF\xC3"), StrongDirection::None);
    EXPECT_EQ(StrongDirectionOf("\xD9x"), StrongDirection::LeftToRight);
    // The marks Word puts in text say their direction.
    EXPECT_EQ(StrongDirectionOf("\u200F"), StrongDirection::RightToLeft);
    EXPECT_EQ(StrongDirectionOf("\u200E"), StrongDirection::LeftToRight);
}

}  // namespace
}  // namespace quirebook
