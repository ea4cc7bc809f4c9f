#include <gtest/gtest.h>

#include "model/DVAFlags.h"

namespace {

EDVAField FieldAt(int index) {
    return static_cast<EDVAField>(index);
}

}  // namespace

class PlaceholdersTest : public ::testing::Test {
protected:
    CDVAFlags recording;
};

TEST_F(PlaceholdersTest, TemplateWithoutPlaceholdersComesBackUnchanged) {
    recording.SetTitle("Evening News");
    EXPECT_EQ(recording.ReplacePlaceholders("archive 100% done"), "archive 100% done");
}

TEST_F(PlaceholdersTest, EachPlaceholderStandsForItsOwnField) {
    for (int i = 0; i < DVAFieldCount; ++i) {
        recording.SetText(FieldAt(i), "value" + std::to_string(i));
    }
    for (int i = 0; i < DVAFieldCount; ++i) {
        EXPECT_EQ(recording.ReplacePlaceholders("<" + DVAFieldPlaceholder(FieldAt(i)) + ">"),
                  "<value" + std::to_string(i) + ">");
    }
}

TEST_F(PlaceholdersTest, EmptyFieldRemovesItsPlaceholder) {
    recording.SetTitle("Evening News");
    EXPECT_EQ(recording.ReplacePlaceholders("%title% - %episode%"), "Evening News - ");
}

TEST_F(PlaceholdersTest, RepeatedPlaceholderIsReplacedEverywhere) {
    recording.SetShowId("EP42");
    EXPECT_EQ(recording.ReplacePlaceholders("%showid%/%showid%.x"), "EP42/EP42.x");
}

TEST_F(PlaceholdersTest, OtherWordsAndOtherCaseStayLiteral) {
    recording.SetTitle("News");
    EXPECT_EQ(recording.ReplacePlaceholders("%Title% %TITLE% %year% %title"),
              "%Title% %TITLE% %year% %title");
}

TEST_F(PlaceholdersTest, PlaceholderOfALaterStepInAFieldIsReplaced) {
    recording.SetTitle("News %episode%");
    recording.SetEpisode("Part 2");
    EXPECT_EQ(recording.ReplacePlaceholders("%title%"), "News Part 2");
}

TEST_F(PlaceholdersTest, PlaceholderOfAnEarlierStepInAFieldStays) {
    recording.SetTitle("News");
    recording.SetEpisode("%title% again");
    EXPECT_EQ(recording.ReplacePlaceholders("%episode%"), "%title% again");
}

TEST_F(PlaceholdersTest, TitleIsReplacedBeforeMpegAndShowIdBeforeStartDate) {
    recording.SetTitle("%mpeg%");
    recording.SetMpeg("/rec/a.mpg");
    recording.SetShowId("%startdate%");
    recording.SetStartDate("%showid%");
    EXPECT_EQ(recording.ReplacePlaceholders("%title%|%showid%|%startdate%"),
              "/rec/a.mpg|%showid%|%showid%");
}

TEST_F(PlaceholdersTest, InsertedTextIsNotScannedAgainForTheSamePlaceholder) {
    recording.SetTitle("%title%%title%");
    EXPECT_EQ(recording.ReplacePlaceholders("[%title%]"), "[%title%%title%]");
}

TEST_F(PlaceholdersTest, AllFieldsEmptyGivesEmptyText) {
    std::string everyPlaceholder;
    for (int i = 0; i < DVAFieldCount; ++i) {
        everyPlaceholder += DVAFieldPlaceholder(FieldAt(i));
    }
    EXPECT_EQ(recording.ReplacePlaceholders(everyPlaceholder), "");
}

TEST_F(PlaceholdersTest, SeparatorsAndColonsPassUnchanged) {
    recording.SetTitle("News: 10/11");
    recording.SetMpeg("C:\\Rec\\a.mpg");
    EXPECT_EQ(recording.ReplacePlaceholders("%title% %mpeg%"), "News: 10/11 C:\\Rec\\a.mpg");
}
