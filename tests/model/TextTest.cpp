#include <gtest/gtest.h>

#include <climits>

#include "model/Text.h"

TEST(TrimTest, RemovesEveryWhiteSpaceKindAtBothEnds) {
    EXPECT_EQ(Trim(" \t\n\v\f\rEvening  News\r\n\t "), "Evening  News");
}

TEST(TrimTest, TextOfWhiteSpaceOnlyBecomesEmpty) {
    EXPECT_EQ(Trim(" \t \r\n"), "");
    EXPECT_EQ(Trim(""), "");
}

TEST(TrimTest, OtherControlAndHighBytesStay) {
    EXPECT_EQ(Trim("\x01News\xA0"), "\x01News\xA0");
}

TEST(TrimTest, TrimRightKeepsLeadingWhiteSpace) {
    EXPECT_EQ(TrimRight("  News \t\r\n"), "  News");
}

TEST(ToLowerTest, FoldsOnlyAsciiLettersAndKeepsEveryPosition) {
    const std::string text = "--MPEG C:\\Rec\\\xC4\xD6.MPG";
    const std::string lower = ToLower(text);
    EXPECT_EQ(lower, "--mpeg c:\\rec\\\xC4\xD6.mpg");
    EXPECT_EQ(lower.size(), text.size());
}

TEST(FormatTextTest, FormatsTextsLongerThanAnyFixedBuffer) {
    const std::string longPath(5000, 'x');
    const std::string text = FormatText("%s||%d", longPath.c_str(), -7);
    EXPECT_EQ(text, longPath + "||-7");
}

TEST(DecimalValueTest, SkipsLeadingWhiteSpaceAndIgnoresTrailingCharacters) {
    EXPECT_EQ(DecimalValue(" \t\n-12abc"), -12);
    EXPECT_EQ(DecimalValue("+7"), 7);
    EXPECT_EQ(DecimalValue("3 4"), 3);
}

TEST(DecimalValueTest, TextWithoutDigitsIsZero) {
    EXPECT_EQ(DecimalValue(""), 0);
    EXPECT_EQ(DecimalValue("word"), 0);
    EXPECT_EQ(DecimalValue("- 5"), 0);
    EXPECT_EQ(DecimalValue("-"), 0);
}

TEST(DecimalValueTest, SaturatesAtTheLimitsOfInt) {
    EXPECT_EQ(DecimalValue("2147483647"), INT_MAX);
    EXPECT_EQ(DecimalValue("-2147483648"), INT_MIN);
    EXPECT_EQ(DecimalValue("2147483648"), INT_MAX);
    EXPECT_EQ(DecimalValue("99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(DecimalValue("-99999999999999999999999999"), INT_MIN);
}
