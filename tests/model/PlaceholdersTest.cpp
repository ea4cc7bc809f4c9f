#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

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

// A field's own text is kept as broadcast, whatever placeholders it holds or makes with the
// template's text after it.
struct SKeptValueCase {
    const char* name;
    std::vector<std::pair<EDVAField, std::string>> values;
    const char* pattern;
    const char* expected;
};

void PrintTo(const SKeptValueCase& row, std::ostream* out) {
    *out << row.name;
}

const SKeptValueCase kKeptValueCases[] = {
    {"PlaceholderOfALaterFieldInATitle",
     {{FieldTitle, "News %episode%"}, {FieldEpisode, "Part 2"}},
     "%title%",
     "News %episode%"},
    {"PlaceholderOfAnEarlierFieldInAnEpisode",
     {{FieldTitle, "News"}, {FieldEpisode, "%title% again"}},
     "%episode%",
     "%title% again"},
    {"PlaceholdersInATitle",
     {{FieldTitle, "A%episode%B%mpeg%C"}, {FieldEpisode, "Ep1"}, {FieldMpeg, "/rec/a.mpg"}},
     "%title%",
     "A%episode%B%mpeg%C"},
    {"FieldsNamingEachOther",
     {{FieldTitle, "%mpeg%"},
      {FieldMpeg, "/rec/a.mpg"},
      {FieldShowId, "%startdate%"},
      {FieldStartDate, "%showid%"}},
     "%title%|%showid%|%startdate%",
     "%mpeg%|%startdate%|%showid%"},
    {"SamePlaceholderInItsOwnField",
     {{FieldTitle, "%title%%title%"}},
     "[%title%]",
     "[%title%%title%]"},
    {"ValueAndTemplateTextAfterIt",
     {{FieldEpisode, "%show"}, {FieldShowId, "EP42"}},
     "%episode%id%",
     "%showid%"},
};

class KeptValueTest : public ::testing::TestWithParam<SKeptValueCase> {};

TEST_P(KeptValueTest, ValueTextIsNotReplacedAgain) {
    CDVAFlags recording;
    for (const auto& value : GetParam().values) recording.SetText(value.first, value.second);
    EXPECT_EQ(recording.ReplacePlaceholders(GetParam().pattern), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, KeptValueTest, ::testing::ValuesIn(kKeptValueCases),
                         [](const auto& info) { return std::string(info.param.name); });

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
