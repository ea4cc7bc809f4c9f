#include <gtest/gtest.h>

#include "model/Action.h"

namespace {

std::string Repeated(const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) {
        result += text;
    }
    return result;
}

const std::string kEmptyFilter = Repeated("0||<NULL>||", DVAFieldCount);

}  // namespace

class ActionTest : public ::testing::Test {
protected:
    // Evening News to C:\Video as "%title%", stripping commercials, for that title only.
    static CAction MakeExample() {
        CAction action;
        action.SetName("Evening News");
        action.SetOutputDirectory("C:\\Video");
        action.SetOutputFilename("%title%");
        action.SetStripCommercials(1);
        action.GetFilter().SetTitleFlag(1);
        action.GetFilter().SetTitle("Evening News");
        return action;
    }

    static CAction ReadBack(const std::string& stored) {
        CAction action;
        action.FromString(stored);
        return action;
    }

    static void ExpectOptions(const CAction& action, int audioOnly, int strip, int twoPass,
                              int removeSource) {
        EXPECT_EQ(action.GetAudioOnly(), audioOnly);
        EXPECT_EQ(action.GetStripCommercials(), strip);
        EXPECT_EQ(action.GetTwoPass(), twoPass);
        EXPECT_EQ(action.GetRemoveSource(), removeSource);
    }
};

TEST_F(ActionTest, ExampleIsStoredAsHeadThenFilter) {
    EXPECT_EQ(MakeExample().ToString(),
              "Evening News||C:\\Video||%title%||0||1||0||0|||0||<NULL>||1||Evening News||" +
                  Repeated("0||<NULL>||", DVAFieldCount - 2));
}

TEST_F(ActionTest, NewActionIsStoredWithEmptyTextsAndZeros) {
    EXPECT_EQ(CAction().ToString(), "||||||0||0||0||0|||" + kEmptyFilter);
}

TEST_F(ActionTest, RoundTripGivesAnEqualAction) {
    CAction example = MakeExample();
    example.SetAudioOnly(1);
    example.SetTwoPass(-1);
    example.SetRemoveSource(2);
    const CAction read = ReadBack(example.ToString());
    EXPECT_EQ(read.GetName(), "Evening News");
    EXPECT_EQ(read.GetOutputDirectory(), "C:\\Video");
    EXPECT_EQ(read.GetOutputFilename(), "%title%");
    ExpectOptions(read, 1, 1, -1, 2);
    EXPECT_EQ(read.GetFilter().ToString(), example.GetFilter().ToString());
    EXPECT_EQ(read.ToString(), example.ToString());
}

TEST_F(ActionTest, TextWithoutHeadEndLeavesTheActionUnchanged) {
    CAction action = MakeExample();
    const std::string before = action.ToString();
    action.FromString("Other||D:\\Out||%episode%||1||1||1||1||1||X||");
    EXPECT_EQ(action.ToString(), before);
}

TEST_F(ActionTest, HeadEndAloneEmptiesEverything) {
    CAction action = MakeExample();
    action.FromString("|||");
    EXPECT_EQ(action.ToString(), CAction().ToString());
}

TEST_F(ActionTest, MissingHeadFieldsReadAsZero) {
    CAction action = MakeExample();
    action.SetAudioOnly(1);
    action.SetTwoPass(1);
    action.SetRemoveSource(1);
    action.FromString("Name||Dir||File||1|||" + kEmptyFilter);
    EXPECT_EQ(action.GetOutputFilename(), "File");
    ExpectOptions(action, 1, 0, 0, 0);
}

TEST_F(ActionTest, HeadFieldsBeyondTheSeventhAreIgnored) {
    const std::string filter = MakeExample().GetFilter().ToString();
    const CAction read = ReadBack("Name||Dir||File||1||0||1||0||9||junk|||" + filter);
    ExpectOptions(read, 1, 0, 1, 0);
    EXPECT_EQ(read.GetFilter().GetTitle(), "Evening News");
}

TEST_F(ActionTest, OptionsReadAsDecimalValues) {
    ExpectOptions(ReadBack("N||D||F||2||-1||word|| 3x|||"), 2, -1, 0, 3);
}

TEST_F(ActionTest, HeadTextsAreTrimmedWhenRead) {
    const CAction read = ReadBack(" Name \t|| Dir||File\r\n||0||0||0||0|||");
    EXPECT_EQ(read.GetName(), "Name");
    EXPECT_EQ(read.GetOutputDirectory(), "Dir");
    EXPECT_EQ(read.GetOutputFilename(), "File");
}

TEST_F(ActionTest, BarsInANameShiftEveryLaterHeadField) {
    CAction action = MakeExample();
    action.SetName("a||b");
    action.SetAudioOnly(1);
    action.SetStripCommercials(2);
    action.SetTwoPass(3);
    action.SetRemoveSource(4);
    const CAction read = ReadBack(action.ToString());
    EXPECT_EQ(read.GetName(), "a");
    EXPECT_EQ(read.GetOutputDirectory(), "b");
    EXPECT_EQ(read.GetOutputFilename(), "C:\\Video");
    ExpectOptions(read, 0, 1, 2, 3);
}

TEST_F(ActionTest, EmptyNameReadsBackEmpty) {
    CAction action = MakeExample();
    action.SetName("");
    const CAction read = ReadBack(action.ToString());
    EXPECT_EQ(read.GetName(), "");
    EXPECT_EQ(read.GetOutputDirectory(), "C:\\Video");
    EXPECT_EQ(read.GetFilter().GetTitle(), "Evening News");
}

TEST_F(ActionTest, TextSettersTrim) {
    CAction action;
    action.SetName("  News ");
    action.SetOutputDirectory("\t/video\n");
    action.SetOutputFilename(" %title% ");
    EXPECT_EQ(action.GetName(), "News");
    EXPECT_EQ(action.GetOutputDirectory(), "/video");
    EXPECT_EQ(action.GetOutputFilename(), "%title%");
}

TEST_F(ActionTest, CopyKeepsItsOwnFilter) {
    const CAction original = MakeExample();
    CAction copy = original;
    copy.GetFilter().SetTitle("Sport");
    EXPECT_EQ(original.GetFilter().GetTitle(), "Evening News");
}

class ActionValidityTest : public ActionTest {};

TEST_F(ActionValidityTest, ExampleIsComplete) {
    EXPECT_TRUE(MakeExample().IsValid());
}

TEST_F(ActionValidityTest, NameOfSpacesOnlyIsMissing) {
    CAction action = MakeExample();
    action.SetName("   ");
    EXPECT_FALSE(action.IsValid());
}

TEST_F(ActionValidityTest, EachTextIsRequired) {
    CAction noDirectory = MakeExample();
    noDirectory.SetOutputDirectory("");
    EXPECT_FALSE(noDirectory.IsValid());
    CAction noFilename = MakeExample();
    noFilename.SetOutputFilename("");
    EXPECT_FALSE(noFilename.IsValid());
}

TEST_F(ActionValidityTest, UnusableFilterMakesTheActionIncomplete) {
    CAction action = MakeExample();
    action.GetFilter().SetTitleFlag(0);
    EXPECT_FALSE(action.IsValid());
}

TEST_F(ActionValidityTest, DCatPatternOfSpacesFailsOnlyAfterRoundTrip) {
    CAction action = MakeExample();
    action.GetFilter().SetTitleFlag(0);
    action.GetFilter().SetDCatFlag(1);
    action.GetFilter().SetDCat("   ");
    EXPECT_TRUE(action.IsValid());
    EXPECT_FALSE(ReadBack(action.ToString()).IsValid());
}

TEST_F(ActionValidityTest, FreshActionStaysInvalidAfterUnreadableText) {
    EXPECT_FALSE(ReadBack("no separators at all").IsValid());
}
