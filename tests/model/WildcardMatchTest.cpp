#include <gtest/gtest.h>

#include "model/WildcardMatch.h"

TEST(WildcardMatchTest, StarMatchesEveryTextIncludingEmpty) {
    EXPECT_TRUE(WildcardMatch("", "*"));
    EXPECT_TRUE(WildcardMatch("Evening News", "*"));
    EXPECT_TRUE(WildcardMatch("", "***"));
}

TEST(WildcardMatchTest, QuestionMarkMatchesExactlyOneByte) {
    EXPECT_TRUE(WildcardMatch("x", "?"));
    EXPECT_FALSE(WildcardMatch("", "?"));
    EXPECT_FALSE(WildcardMatch("xy", "?"));
}

TEST(WildcardMatchTest, QuestionMarkIsOneByteOfADoubleByteCharacter) {
    const std::string doubleByte = "\x82\xA0";
    EXPECT_FALSE(WildcardMatch(doubleByte, "?"));
    EXPECT_TRUE(WildcardMatch(doubleByte, "??"));
}

TEST(WildcardMatchTest, EmptyPatternMatchesOnlyEmptyText) {
    EXPECT_TRUE(WildcardMatch("", ""));
    EXPECT_FALSE(WildcardMatch("a", ""));
}

TEST(WildcardMatchTest, LiteralsCompareWholeTextCaseSensitively) {
    EXPECT_TRUE(WildcardMatch("Evening News", "Evening News"));
    EXPECT_FALSE(WildcardMatch("evening news", "Evening News"));
    EXPECT_FALSE(WildcardMatch("Evening News Extra", "Evening News"));
    EXPECT_FALSE(WildcardMatch("Evening", "Evening News"));
}

TEST(WildcardMatchTest, TrailingStarMatchesTextsBeginningWithPrefix) {
    EXPECT_TRUE(WildcardMatch("News", "News*"));
    EXPECT_TRUE(WildcardMatch("News at Ten", "News*"));
    EXPECT_TRUE(WildcardMatch("News at Ten", "News***"));
    EXPECT_FALSE(WildcardMatch("The News", "News*"));
}

TEST(WildcardMatchTest, StarsBetweenLettersKeepTheirOrder) {
    EXPECT_TRUE(WildcardMatch("abc", "a*b*c"));
    EXPECT_TRUE(WildcardMatch("axbyc", "a*b*c"));
    EXPECT_TRUE(WildcardMatch("abbc", "a*b*c"));
    EXPECT_FALSE(WildcardMatch("acb", "a*b*c"));
}

TEST(WildcardMatchTest, ExtensionPatternIsCaseSensitive) {
    EXPECT_TRUE(WildcardMatch("/rec/Show 1.mpg", "*.mpg"));
    EXPECT_FALSE(WildcardMatch("/rec/Show 1.MPG", "*.mpg"));
    EXPECT_FALSE(WildcardMatch("/rec/Show.mpg.txt", "*.mpg"));
}

TEST(WildcardMatchTest, MismatchAfterStarRetriesFurtherOn) {
    EXPECT_TRUE(WildcardMatch("aab", "*ab"));
    EXPECT_TRUE(WildcardMatch("ababc", "*abc"));
    EXPECT_TRUE(WildcardMatch("abcbc", "a*bc"));
    EXPECT_TRUE(WildcardMatch("xaxbx", "*a?b*"));
    EXPECT_FALSE(WildcardMatch("abcbd", "a*bc"));
}

TEST(WildcardMatchTest, StarThenQuestionMarkNeedsAtLeastOneByte) {
    EXPECT_FALSE(WildcardMatch("", "*?"));
    EXPECT_TRUE(WildcardMatch("x", "*?"));
    EXPECT_FALSE(WildcardMatch("", "?*"));
}

TEST(WildcardMatchTest, ZeroByteInTextIsNotTheEndOfThePattern) {
    const std::string textWithZero("a\0", 2);
    EXPECT_FALSE(WildcardMatch(textWithZero, "a"));
    EXPECT_FALSE(WildcardMatch(textWithZero, "*a"));
    EXPECT_TRUE(WildcardMatch(textWithZero, "a?"));
}

// Trying every star again would need about C(100000, 50) steps for these.
TEST(WildcardMatchTest, LongTextAgainstManyStarsFinishes) {
    std::string pattern;
    for (int i = 0; i < 50; ++i) {
        pattern += "*a";
    }
    pattern += "*b";
    const std::string text(100000, 'a');
    EXPECT_FALSE(WildcardMatch(text, pattern));
    EXPECT_TRUE(WildcardMatch(text + "b", pattern));
}
