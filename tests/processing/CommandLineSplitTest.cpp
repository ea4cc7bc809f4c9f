#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "processing/CommandLineSplit.h"

namespace {

using Arguments = std::vector<std::string>;

TEST(CommandLineSplitTest, BlanksSeparateWords) {
    EXPECT_EQ(SplitWindowsCommandLine("tool  -y\t-i  x"), (Arguments{"tool", "-y", "-i", "x"}));
}

TEST(CommandLineSplitTest, EmptyOrBlankLineHasNoArguments) {
    EXPECT_TRUE(SplitWindowsCommandLine("").empty());
    EXPECT_TRUE(SplitWindowsCommandLine(" \t ").empty());
}

TEST(CommandLineSplitTest, BlanksBeforeProgramAndAfterLastWordAreSkipped) {
    EXPECT_EQ(SplitWindowsCommandLine("  tool a  "), (Arguments{"tool", "a"}));
}

TEST(CommandLineSplitTest, QuotesGroupWordsWithBlanks) {
    EXPECT_EQ(SplitWindowsCommandLine("tool -i \"/rec/my show.mpg\" \"/out/a\tb.mp3\""),
              (Arguments{"tool", "-i", "/rec/my show.mpg", "/out/a\tb.mp3"}));
}

TEST(CommandLineSplitTest, QuotedPartsJoinTheTextAroundThem) {
    EXPECT_EQ(SplitWindowsCommandLine("tool a\"b c\"d e"), (Arguments{"tool", "ab cd", "e"}));
}

TEST(CommandLineSplitTest, EmptyQuotesGiveEmptyArgument) {
    EXPECT_EQ(SplitWindowsCommandLine("tool \"\" x"), (Arguments{"tool", "", "x"}));
}

TEST(CommandLineSplitTest, UnterminatedQuoteRunsToTheEnd) {
    EXPECT_EQ(SplitWindowsCommandLine("tool \"a b"), (Arguments{"tool", "a b"}));
}

TEST(CommandLineSplitTest, BackslashesNotBeforeQuoteStayLiteral) {
    EXPECT_EQ(SplitWindowsCommandLine("tool C:\\rec\\show.mpg a\\\\b c\\"),
              (Arguments{"tool", "C:\\rec\\show.mpg", "a\\\\b", "c\\"}));
}

TEST(CommandLineSplitTest, OddBackslashesBeforeQuoteGiveLiteralQuote) {
    // a\"b -> a"b and a\\\"b -> a\"b
    EXPECT_EQ(SplitWindowsCommandLine("tool a\\\"b a\\\\\\\"b"),
              (Arguments{"tool", "a\"b", "a\\\"b"}));
}

TEST(CommandLineSplitTest, EvenBackslashesBeforeQuoteAreHalvedAndQuoteGroups) {
    // "a\\" b -> a\ and b; a\\\\"b c" -> a\\b c
    EXPECT_EQ(SplitWindowsCommandLine("tool \"a\\\\\" b a\\\\\\\\\"b c\""),
              (Arguments{"tool", "a\\", "b", "a\\\\b c"}));
}

TEST(CommandLineSplitTest, EscapedQuoteInsideQuotedPathKeepsArgumentWhole) {
    EXPECT_EQ(SplitWindowsCommandLine("tool \"/rec/say \\\"hi\\\" -f x.mpg\" -y"),
              (Arguments{"tool", "/rec/say \"hi\" -f x.mpg", "-y"}));
}

TEST(CommandLineSplitTest, DoubledQuoteInsideQuotesIsLiteralAndQuotingGoesOn) {
    EXPECT_EQ(SplitWindowsCommandLine("tool \"a\"\"b c\" d"), (Arguments{"tool", "a\"b c", "d"}));
}

TEST(CommandLineSplitTest, ProgramNameKeepsBackslashesAndDropsQuotes) {
    EXPECT_EQ(SplitWindowsCommandLine("\"C:\\Program Files\\ffmpeg.exe\\\" -y"),
              (Arguments{"C:\\Program Files\\ffmpeg.exe\\", "-y"}));
}

TEST(CommandLineSplitTest, QuotedProgramNameMayContinueAfterQuote) {
    EXPECT_EQ(SplitWindowsCommandLine("\"/opt/my tools\"/ffmpeg x"),
              (Arguments{"/opt/my tools/ffmpeg", "x"}));
}

TEST(CommandLineSplitTest, FfmpegAudioCommandLineSplitsIntoItsOptions) {
    const std::string line =
        "/usr/bin/ffmpeg -y -i \"/rec/A show.mpg\" -acodec mp3 -ac 2 -ab 48 -ar 24000 -vol 130 "
        "\"/out/A show.mp3\"";
    EXPECT_EQ(SplitWindowsCommandLine(line),
              (Arguments{"/usr/bin/ffmpeg", "-y", "-i", "/rec/A show.mpg", "-acodec", "mp3", "-ac",
                         "2", "-ab", "48", "-ar", "24000", "-vol", "130", "/out/A show.mp3"}));
}

}  // namespace
