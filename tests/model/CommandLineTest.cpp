#include <gtest/gtest.h>

#include "model/CommandLine.h"
#include "model/DVAFlags.h"

namespace {

const char* const kProgram = "\"C:\\Program Files\\PELKAR\\PELKAR.EXE\"";

std::string Option(const std::string& arguments, const std::string& keyword) {
    return CCommandLine(std::string(kProgram) + " " + arguments).GetOption(keyword);
}

bool Has(const std::string& arguments, const std::string& keyword) {
    return CCommandLine(std::string(kProgram) + " " + arguments).HasOption(keyword);
}

EDVAField FieldAt(int index) {
    return static_cast<EDVAField>(index);
}

}  // namespace

TEST(CommandLineTest, ProgramPathAloneHasNoOptions) {
    const CCommandLine line(kProgram);
    for (const char* keyword : {"--gui", "--help", "--mpeg", "--title", "--rchan"}) {
        EXPECT_FALSE(line.HasOption(keyword)) << keyword;
        EXPECT_EQ(line.GetOption(keyword), "") << keyword;
    }
}

TEST(CommandLineTest, KeywordMatchesInAnyCaseWhileValueKeepsItsCase) {
    EXPECT_TRUE(Has("--GUI", "--gui"));
    EXPECT_EQ(Option("--MPEG C:\\Rec\\Show.MPG --Title News", "--mpeg"), "C:\\Rec\\Show.MPG");
}

TEST(CommandLineTest, ValueWithSpacesRunsUpToTheNextOption) {
    EXPECT_EQ(Option("--title The Late News --episode 4", "--title"), "The Late News");
}

TEST(CommandLineTest, LastValueEndsWithTheAppendedSpace) {
    EXPECT_EQ(Option("--title The Late News --episode 4", "--episode"), "4 ");
}

TEST(CommandLineTest, TrailingWhiteSpaceBecomesOneSpace) {
    EXPECT_EQ(Option("--dur 30 \t\r\n", "--dur"), "30 ");
    EXPECT_TRUE(Has("--gui\r\n", "--gui"));
}

TEST(CommandLineTest, SwitchAtTheEndOfTheLineIsFound) {
    EXPECT_TRUE(Has("--mpeg x.mpg --gui", "--gui"));
}

TEST(CommandLineTest, OptionFollowedDirectlyByAnotherHasEmptyValue) {
    EXPECT_EQ(Option("--episode --dur 30", "--episode"), "");
    EXPECT_EQ(Option("--episode  --dur 30", "--episode"), "");
    EXPECT_EQ(Option("--episode --dur 30", "--dur"), "30 ");
}

TEST(CommandLineTest, OptionAtTheEndWithoutValueIsEmpty) {
    EXPECT_EQ(Option("--title News --mpeg", "--mpeg"), "");
}

TEST(CommandLineTest, KeywordMustBeAWholeWord) {
    EXPECT_FALSE(Has("--dcatx Drama", "--dcat"));
    EXPECT_EQ(Option("--dcatx Drama", "--dcat"), "");
    EXPECT_FALSE(Has("--dca Drama", "--dcat"));
    EXPECT_FALSE(Has("x--dcat Drama", "--dcat"));
}

TEST(CommandLineTest, ValueIsCutAtASpaceFollowedByDashes) {
    EXPECT_EQ(Option("--title Rock --Live --episode 4", "--title"), "Rock");
}

TEST(CommandLineTest, DashesWithoutSpaceBeforeThemStayInTheValue) {
    EXPECT_EQ(Option("--title Rock--Live --episode 4", "--title"), "Rock--Live");
}

TEST(CommandLineTest, FirstOccurrenceWins) {
    EXPECT_EQ(Option("--title First --title Second", "--title"), "First");
}

TEST(CommandLineTest, FirstOccurrenceWinsAlsoInsideAnotherValue) {
    const std::string arguments = "--title Talk --rcat Sports --episode 1 --rcat News";
    EXPECT_EQ(Option(arguments, "--rcat"), "Sports");
    EXPECT_EQ(Option(arguments, "--title"), "Talk");
}

TEST(CommandLineTest, QuotesAreKept) {
    EXPECT_EQ(Option("--title \"Late News\" --dur 5", "--title"), "\"Late News\"");
}

TEST(CommandLineTest, TabIsNotASeparator) {
    EXPECT_FALSE(Has("--title A\t--dur 30", "--dur"));
    EXPECT_EQ(Option("--title A\t--dur 30", "--title"), "A\t--dur 30 ");
    EXPECT_FALSE(CCommandLine(std::string(kProgram) + "\t--gui").HasOption("--gui"));
}

class ParseCommandLineTest : public ::testing::Test {
protected:
    CDVAFlags Parse(const std::string& arguments) {
        CDVAFlags recording;
        recording.ParseCommandLine(CCommandLine(std::string(kProgram) + " " + arguments));
        return recording;
    }
};

TEST_F(ParseCommandLineTest, FillsEveryFieldFromItsOption) {
    std::string arguments;
    for (int i = 0; i < DVAFieldCount; ++i) {
        arguments += DVAFieldOption(FieldAt(i)) + " Value " + std::to_string(i) + " ";
    }
    const CDVAFlags recording = Parse(arguments);
    for (int i = 0; i < DVAFieldCount; ++i) {
        EXPECT_EQ(recording.GetText(FieldAt(i)), "Value " + std::to_string(i));
    }
}

TEST_F(ParseCommandLineTest, LeavesFlagsAndClearsTextsOfAbsentOptions) {
    CDVAFlags recording;
    recording.SetTitleFlag(1);
    recording.SetTitle("Old Title");
    recording.ParseCommandLine(CCommandLine(std::string(kProgram) + " --mpeg /rec/a.mpg"));
    EXPECT_EQ(recording.GetTitleFlag(), 1);
    EXPECT_EQ(recording.GetTitle(), "");
    EXPECT_EQ(recording.GetMpeg(), "/rec/a.mpg");
}

TEST_F(ParseCommandLineTest, ProgramPathAloneGivesEmptyTexts) {
    const CDVAFlags recording = Parse("");
    for (int i = 0; i < DVAFieldCount; ++i) {
        EXPECT_EQ(recording.GetText(FieldAt(i)), "");
    }
}

TEST_F(ParseCommandLineTest, ValuesAreTrimmed) {
    const CDVAFlags recording = Parse("--episode   Part 2   --dur 30");
    EXPECT_EQ(recording.GetEpisode(), "Part 2");
    EXPECT_EQ(recording.GetDur(), "30");
}

TEST_F(ParseCommandLineTest, NullMarkerIsEmptyInTheMiddleButLiteralAtTheEnd) {
    EXPECT_EQ(Parse("--title <NULL> --dur 30").GetTitle(), "");
    EXPECT_EQ(Parse("--dur 30 --title <NULL>").GetTitle(), "<NULL>");
}
