#include <gtest/gtest.h>

#include "model/CommandLine.h"
#include "model/ProcessArguments.h"

// Each test simulates its own start and puts the process's arguments back afterwards.
class ProcessArgumentsTest : public ::testing::Test {
protected:
    void SetUp() override { saved = GetProcessArguments(); }
    void TearDown() override { SetProcessArguments(saved); }

    std::vector<std::string> saved;
};

TEST_F(ProcessArgumentsTest, BeforeAnyStartActsAsPelkarWithoutArguments) {
    EXPECT_EQ(GetProcessArgumentCount(), 1);
    EXPECT_EQ(GetApplicationTitle(), "pelkar");
    EXPECT_FALSE(CCommandLine().HasOption("--mpeg"));
}

TEST_F(ProcessArgumentsTest, CountAndProgramPathFollowTheArguments) {
    SetProcessArguments({"/usr/bin/pelkar", "--title", "Late News", "--dur", "30"});
    EXPECT_EQ(GetProcessArgumentCount(), 5);
    EXPECT_EQ(GetProgramPath(), "/usr/bin/pelkar");
}

TEST_F(ProcessArgumentsTest, TitleIsTheFileNameWithoutFolderOrExtension) {
    SetProcessArguments({"/opt/tools/PELKAR.EXE"});
    EXPECT_EQ(GetApplicationTitle(), "PELKAR");
    SetProcessArguments({"C:\\Program Files\\PELKAR\\PELKAR.EXE"});
    EXPECT_EQ(GetApplicationTitle(), "PELKAR");
    SetProcessArguments({"./pelkar"});
    EXPECT_EQ(GetApplicationTitle(), "pelkar");
}

TEST_F(ProcessArgumentsTest, DotInAFolderNameIsNotAnExtension) {
    SetProcessArguments({"/home/user/my.tools/pelkar"});
    EXPECT_EQ(GetApplicationTitle(), "pelkar");
}

TEST_F(ProcessArgumentsTest, NoArgumentsAtAllStillGiveATitle) {
    SetProcessArguments({});
    EXPECT_EQ(GetProcessArgumentCount(), 0);
    EXPECT_EQ(GetProgramPath(), "");
    EXPECT_EQ(GetApplicationTitle(), "pelkar");
}
