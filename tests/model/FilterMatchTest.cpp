#include <gtest/gtest.h>

#include "model/DVAFlags.h"

namespace {

EDVAField FieldAt(int index) {
    return static_cast<EDVAField>(index);
}

}  // namespace

class FilterMatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        recording.SetMpeg("/rec/Evening News.mpg");
        recording.SetTitle("Evening News");
        recording.SetEpisode("Part 2");
    }

    void TestTitle(const std::string& pattern) {
        filter.SetTitleFlag(1);
        filter.SetTitle(pattern);
    }

    CDVAFlags filter;
    CDVAFlags recording;
};

TEST_F(FilterMatchTest, FilterWithNoEntryOnNeverMatches) {
    filter.SetTitle("*");
    EXPECT_FALSE(filter.Matches(recording));
}

TEST_F(FilterMatchTest, EntryOnWithEmptyPatternNeverMatches) {
    filter.SetEpisodeFlag(1);
    EXPECT_FALSE(filter.Matches(CDVAFlags()));
}

TEST_F(FilterMatchTest, ExactTitleMatchesOnlyThatTitle) {
    TestTitle("Evening News");
    EXPECT_TRUE(filter.Matches(recording));
    recording.SetTitle("EVENING NEWS");
    EXPECT_FALSE(filter.Matches(recording));
}

TEST_F(FilterMatchTest, StarAcceptsAnAbsentOption) {
    filter.SetRNameFlag(1);
    filter.SetRName("*");
    EXPECT_TRUE(filter.Matches(recording));
}

TEST_F(FilterMatchTest, EveryEntryOnMustMatch) {
    TestTitle("Evening*");
    filter.SetEpisodeFlag(1);
    filter.SetEpisode("Part 3");
    EXPECT_FALSE(filter.Matches(recording));
    filter.SetEpisode("Part ?");
    EXPECT_TRUE(filter.Matches(recording));
}

TEST_F(FilterMatchTest, PatternsOfEntriesOffAreIgnored) {
    TestTitle("Evening News");
    filter.SetEpisode("Something else");
    filter.SetMpeg("*.avi");
    EXPECT_TRUE(filter.Matches(recording));
}

TEST_F(FilterMatchTest, FlagsOfTheRecordingPlayNoPart) {
    TestTitle("Evening News");
    recording.SetEpisodeFlag(1);
    recording.SetEpisode("");
    EXPECT_TRUE(filter.Matches(recording));
}

TEST_F(FilterMatchTest, RecordingDCatIsReadTrimmed) {
    filter.SetDCatFlag(1);
    filter.SetDCat("Drama");
    recording.SetDCat("  Drama ");
    EXPECT_TRUE(filter.Matches(recording));
}

TEST_F(FilterMatchTest, EachEntryTestsItsOwnField) {
    for (int i = 0; i < DVAFieldCount; ++i) {
        CDVAFlags single;
        single.SetFlag(FieldAt(i), 1);
        single.SetText(FieldAt(i), "X*");
        CDVAFlags other;
        for (int j = 0; j < DVAFieldCount; ++j) {
            other.SetText(FieldAt(j), j == i ? "Y" : "Xyz");
        }
        CDVAFlags same = other;
        same.SetText(FieldAt(i), "Xyz");
        EXPECT_TRUE(single.Matches(same)) << DVAFieldName(FieldAt(i));
        EXPECT_FALSE(single.Matches(other)) << DVAFieldName(FieldAt(i));
    }
}
