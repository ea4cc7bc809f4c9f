#include <gtest/gtest.h>

#include "model/DVAFlags.h"

namespace {

EDVAField FieldAt(int index) {
    return static_cast<EDVAField>(index);
}

std::string Repeated(const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) {
        result += text;
    }
    return result;
}

}  // namespace

TEST(DVAFieldTest, NamesOptionsAndPlaceholdersFollowTheFieldOrder) {
    const char* const expected[DVAFieldCount] = {
        "mpeg",  "title", "episode", "startdate", "starttime", "dur",  "showid",
        "dname", "dcat",  "dchan",   "rname",     "rcat",      "rchan"};
    for (int i = 0; i < DVAFieldCount; ++i) {
        EXPECT_STREQ(DVAFieldName(FieldAt(i)), expected[i]);
        EXPECT_EQ(DVAFieldOption(FieldAt(i)), std::string("--") + expected[i]);
        EXPECT_EQ(DVAFieldPlaceholder(FieldAt(i)), std::string("%") + expected[i] + "%");
    }
}

class DVAFlagsTest : public ::testing::Test {
protected:
    CDVAFlags flags;
};

TEST_F(DVAFlagsTest, NewRecordHasEveryFlagOffAndEveryTextEmpty) {
    for (int i = 0; i < DVAFieldCount; ++i) {
        EXPECT_EQ(flags.GetFlag(FieldAt(i)), 0);
        EXPECT_EQ(flags.GetText(FieldAt(i)), "");
    }
}

TEST_F(DVAFlagsTest, TextSettersTrimBothEnds) {
    flags.SetTitle("  Evening News  ");
    EXPECT_EQ(flags.GetTitle(), "Evening News");
    flags.SetTitle("   ");
    EXPECT_EQ(flags.GetTitle(), "");
    flags.SetRChan("\t5 BBC\r\n");
    EXPECT_EQ(flags.GetRChan(), "5 BBC");
}

TEST_F(DVAFlagsTest, DCatIsStoredUntrimmedAndReadTrimmed) {
    flags.SetDCat("  Drama ");
    EXPECT_EQ(flags.GetText(FieldDCat), "  Drama ");
    EXPECT_EQ(flags.GetDCat(), "Drama");
}

TEST_F(DVAFlagsTest, FlagIsStoredUnchanged) {
    flags.SetTitleFlag(5);
    EXPECT_EQ(flags.GetTitleFlag(), 5);
    flags.SetRCatFlag(-1);
    EXPECT_EQ(flags.GetRCatFlag(), -1);
}

TEST_F(DVAFlagsTest, AssignedCopySharesNothingWithTheOriginal) {
    flags.SetTitle("News");
    flags.SetTitleFlag(1);
    CDVAFlags copy;
    copy = flags;
    flags.SetTitle("Sport");
    flags.SetTitleFlag(0);
    EXPECT_EQ(copy.GetTitle(), "News");
    EXPECT_EQ(copy.GetTitleFlag(), 1);
}

TEST(DVAFieldCodingTest, EncodeWritesEmptyTextsAsNullMarker) {
    EXPECT_EQ(CDVAFlags::EncodeField(""), "<NULL>");
    EXPECT_EQ(CDVAFlags::EncodeField("   "), "<NULL>");
    EXPECT_EQ(CDVAFlags::EncodeField(" Late  News "), "Late  News");
}

TEST(DVAFieldCodingTest, DecodeTurnsOnlyTheExactMarkerIntoEmptyText) {
    EXPECT_EQ(CDVAFlags::DecodeField("<NULL>"), "");
    EXPECT_EQ(CDVAFlags::DecodeField("<null>"), "<null>");
    EXPECT_EQ(CDVAFlags::DecodeField(" <NULL>"), "<NULL>");
    EXPECT_EQ(CDVAFlags::DecodeField(" News\t"), "News");
}

class StoredFilterTest : public ::testing::Test {
protected:
    CDVAFlags ReadBack(const std::string& stored) {
        CDVAFlags read;
        read.FromString(stored);
        return read;
    }

    void ExpectSameEntries(const CDVAFlags& actual, const CDVAFlags& expected) {
        for (int i = 0; i < DVAFieldCount; ++i) {
            EXPECT_EQ(actual.GetFlag(FieldAt(i)), expected.GetFlag(FieldAt(i))) << i;
            EXPECT_EQ(actual.GetText(FieldAt(i)), expected.GetText(FieldAt(i))) << i;
        }
    }

    CDVAFlags MakeFilledFilter() {
        CDVAFlags filled;
        for (int i = 0; i < DVAFieldCount; ++i) {
            filled.SetFlag(FieldAt(i), i % 3 - 1);
            filled.SetText(FieldAt(i), "pattern " + std::to_string(i) + "*");
        }
        return filled;
    }

    const std::string emptyEntry = "0||<NULL>||";
};

TEST_F(StoredFilterTest, NewFilterIsThirteenOffEntriesWithNullMarkers) {
    EXPECT_EQ(CDVAFlags().ToString(), Repeated(emptyEntry, DVAFieldCount));
}

TEST_F(StoredFilterTest, EntriesAreStoredInFieldOrder) {
    CDVAFlags filter;
    filter.SetTitleFlag(1);
    filter.SetTitle("Evening News");
    filter.SetRChan("5");
    EXPECT_EQ(filter.ToString(), emptyEntry + "1||Evening News||" +
                                     Repeated(emptyEntry, DVAFieldCount - 3) + "0||5||");
}

TEST_F(StoredFilterTest, RoundTripKeepsEveryFlagAndPattern) {
    const CDVAFlags filled = MakeFilledFilter();
    ExpectSameEntries(ReadBack(filled.ToString()), filled);
}

TEST_F(StoredFilterTest, ReadingSetsEveryEntryAlsoMissingOnes) {
    CDVAFlags read = MakeFilledFilter();
    read.FromString("1||/rec/*.mpg||");
    EXPECT_EQ(read.GetMpegFlag(), 1);
    EXPECT_EQ(read.GetMpeg(), "/rec/*.mpg");
    for (int i = FieldTitle; i < DVAFieldCount; ++i) {
        EXPECT_EQ(read.GetFlag(FieldAt(i)), 0);
        EXPECT_EQ(read.GetText(FieldAt(i)), "");
    }
}

TEST_F(StoredFilterTest, FieldCutShortOfItsSeparatorReadsAsMissing) {
    const std::string stored = emptyEntry + "1||Evening News||";
    CDVAFlags patternCut = ReadBack(stored.substr(0, stored.size() - 3));
    EXPECT_EQ(patternCut.GetTitleFlag(), 1);
    EXPECT_EQ(patternCut.GetTitle(), "");
    EXPECT_FALSE(patternCut.IsValid());

    CDVAFlags flagCut = ReadBack(emptyEntry + "1|");
    EXPECT_EQ(flagCut.GetTitleFlag(), 0);
}

TEST_F(StoredFilterTest, TextAfterTheLastSeparatorIsIgnored) {
    const CDVAFlags filled = MakeFilledFilter();
    ExpectSameEntries(ReadBack(filled.ToString() + "7||Extra"), filled);
    ExpectSameEntries(ReadBack(filled.ToString() + "7||Extra||"), filled);
}

TEST_F(StoredFilterTest, FlagsReadAsDecimalValues) {
    CDVAFlags read = ReadBack(" -3||a||word||b||2x||c||");
    EXPECT_EQ(read.GetMpegFlag(), -3);
    EXPECT_EQ(read.GetTitleFlag(), 0);
    EXPECT_EQ(read.GetEpisodeFlag(), 2);
}

TEST_F(StoredFilterTest, NullMarkerPatternReadsBackEmptyAndInvalidatesTheFilter) {
    CDVAFlags filter;
    filter.SetTitleFlag(1);
    filter.SetTitle("<NULL>");
    ASSERT_TRUE(filter.IsValid());
    CDVAFlags read = ReadBack(filter.ToString());
    EXPECT_EQ(read.GetTitle(), "");
    EXPECT_FALSE(read.IsValid());
}

TEST_F(StoredFilterTest, UntrimmedDCatPatternOfSpacesIsValidOnlyBeforeRoundTrip) {
    CDVAFlags filter;
    filter.SetDCatFlag(1);
    filter.SetDCat("   ");
    EXPECT_TRUE(filter.IsValid());
    CDVAFlags read = ReadBack(filter.ToString());
    EXPECT_EQ(read.GetText(FieldDCat), "");
    EXPECT_FALSE(read.IsValid());
}

TEST_F(StoredFilterTest, StoredDCatIsTrimmed) {
    CDVAFlags filter;
    filter.SetDCat("  Drama ");
    EXPECT_EQ(ReadBack(filter.ToString()).GetText(FieldDCat), "Drama");
}

class FilterValidityTest : public ::testing::Test {
protected:
    CDVAFlags filter;
};

TEST_F(FilterValidityTest, FilterWithNoEntryOnIsNotUsable) {
    filter.SetTitle("Evening News");
    EXPECT_FALSE(filter.IsValid());
}

TEST_F(FilterValidityTest, EntryOnNeedsAPattern) {
    filter.SetEpisodeFlag(1);
    EXPECT_FALSE(filter.IsValid());
    filter.SetEpisode("*");
    EXPECT_TRUE(filter.IsValid());
}

TEST_F(FilterValidityTest, EveryEntryOnNeedsAPattern) {
    filter.SetTitleFlag(1);
    filter.SetTitle("News");
    filter.SetRChanFlag(1);
    EXPECT_FALSE(filter.IsValid());
}

TEST_F(FilterValidityTest, AnyNonZeroFlagCountsAsOn) {
    filter.SetShowIdFlag(-1);
    filter.SetShowId("EP*");
    EXPECT_TRUE(filter.IsValid());
    filter.SetShowIdFlag(5);
    EXPECT_TRUE(filter.IsValid());
}
