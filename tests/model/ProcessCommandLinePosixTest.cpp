#include <gtest/gtest.h>

#include "model/CommandLine.h"
#include "model/ProcessArguments.h"
#include "platform/ProcessCommandLine.h"

// On POSIX the system hands over an argument vector, and the command line is built from it.
class ProcessCommandLinePosixTest : public ::testing::Test {
protected:
    void SetUp() override { saved = GetProcessArguments(); }
    void TearDown() override { SetProcessArguments(saved); }

    std::vector<std::string> saved;
};

TEST_F(ProcessCommandLinePosixTest, CommandLineJoinsArgumentsWithSingleSpaces) {
    SetProcessArguments({"/usr/bin/pelkar", "--title", "Late News", "--dur", "30"});
    EXPECT_EQ(GetProcessCommandLine(), "/usr/bin/pelkar --title Late News --dur 30");
}

TEST_F(ProcessCommandLinePosixTest, EmptyArgumentKeepsItsPlace) {
    SetProcessArguments({"pelkar", "--title", "", "--dur", "30"});
    EXPECT_EQ(GetProcessCommandLine(), "pelkar --title  --dur 30");
    EXPECT_EQ(CCommandLine().GetOption("--title"), "");
}

TEST_F(ProcessCommandLinePosixTest, DefaultCommandLineIsTheProcessCommandLine) {
    SetProcessArguments({"/usr/bin/pelkar", "--mpeg", "/rec/Late News.mpg", "--gui"});
    const CCommandLine line;
    EXPECT_EQ(line.GetOption("--mpeg"), "/rec/Late News.mpg");
    EXPECT_TRUE(line.HasOption("--gui"));
}

TEST_F(ProcessCommandLinePosixTest, NoArgumentsAtAllGiveAnEmptyLine) {
    SetProcessArguments({});
    EXPECT_EQ(GetProcessCommandLine(), "");
}
