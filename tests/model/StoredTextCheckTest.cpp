#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "model/Action.h"
#include "model/StoredTextCheck.h"

namespace {

// A text at one place of an action: a head text, or else the pattern of a filter entry.
struct SPlacedText {
    const char* name;
    std::optional<EActionHeadText> head;
    EDVAField entry;
    std::string text;
    bool survives;
};

bool Survives(const SPlacedText& placed) {
    return placed.head ? SurvivesStoredText(*placed.head, placed.text)
                       : PatternSurvivesStoredText(placed.entry, placed.text);
}

class StoredTextCheckTest : public ::testing::TestWithParam<SPlacedText> {};

TEST_P(StoredTextCheckTest, SaysWhetherTheTextReadsBack) {
    EXPECT_EQ(GetParam().survives, Survives(GetParam()));
}

constexpr EActionHeadText kName = EActionHeadText::Name;
constexpr EActionHeadText kDirectory = EActionHeadText::OutputDirectory;
constexpr EActionHeadText kFilename = EActionHeadText::OutputFilename;
const std::optional<EActionHeadText> kPattern;

INSTANTIATE_TEST_SUITE_P(
    Texts, StoredTextCheckTest,
    ::testing::Values(SPlacedText{"NameWithDoubleBar", kName, FieldMpeg, "Rock || Roll", false},
                      SPlacedText{"NameWithSingleBar", kName, FieldMpeg, "Rock | Roll", true},
                      SPlacedText{"NameEndingInBar", kName, FieldMpeg, "Rock |", false},
                      SPlacedText{"DirectoryStartingWithBar", kDirectory, FieldMpeg, "|out", false},
                      SPlacedText{"FilenameWithTripleBar", kFilename, FieldMpeg, "a|||b", false},
                      SPlacedText{"TitleWithDoubleBar", kPattern, FieldTitle, "News||*", false},
                      SPlacedText{"TitleStartingWithBar", kPattern, FieldTitle, "|News", true},
                      SPlacedText{"LastEntryEndingInBar", kPattern, FieldRChan, "7|", false},
                      SPlacedText{"DCatEndingInBarBeforeBlanks", kPattern, FieldDCat, "Film| ",
                                  false}),
    [](const ::testing::TestParamInfo<SPlacedText>& info) { return info.param.name; });

// The texts are checked one at a time; an action's stored text reads back as the same action
// exactly when each of its texts does, whatever the others hold.
TEST(StoredTextCheckCombinationTest, ActionReadsBackExactlyWhenEachTextDoes) {
    const std::string texts[] = {"a", "a|b", "a||b", "a|", "|a", "|", "a|||"};
    for (const std::string& name : texts) {
        for (const std::string& directory : texts) {
            for (const std::string& title : texts) {
                CAction action;
                action.SetName(name);
                action.SetOutputDirectory(directory);
                action.SetOutputFilename("%title%");
                action.GetFilter().SetTitle(title);
                CAction readBack;
                readBack.FromString(action.ToString());
                const bool eachSurvives = SurvivesStoredText(kName, name) &&
                                          SurvivesStoredText(kDirectory, directory) &&
                                          PatternSurvivesStoredText(FieldTitle, title);
                EXPECT_EQ(eachSurvives, readBack.ToString() == action.ToString())
                    << name << " / " << directory << " / " << title;
            }
        }
    }
}

}  // namespace
