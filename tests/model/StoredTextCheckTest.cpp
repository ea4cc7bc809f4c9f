#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "model/Action.h"
#include "model/StoredTextCheck.h"

namespace {

struct SHeadCase {
    const char* name;
    EActionHeadText where;
    std::string text;
    bool survives;
};

void PrintTo(const SHeadCase& row, std::ostream* out) {
    *out << row.name;
}

class HeadTextCheckTest : public ::testing::TestWithParam<SHeadCase> {};

TEST_P(HeadTextCheckTest, SaysWhetherTheTextReadsBack) {
    EXPECT_EQ(GetParam().survives, SurvivesStoredText(GetParam().where, GetParam().text));
}

constexpr EActionHeadText kName = EActionHeadText::Name;
constexpr EActionHeadText kDirectory = EActionHeadText::OutputDirectory;
constexpr EActionHeadText kFilename = EActionHeadText::OutputFilename;

INSTANTIATE_TEST_SUITE_P(
    Texts, HeadTextCheckTest,
    ::testing::Values(SHeadCase{"PlainName", kName, "Rock and Roll", true},
                      SHeadCase{"NameWithDoubleBar", kName, "Rock || Roll", false},
                      SHeadCase{"NameWithSingleBar", kName, "Rock | Roll", true},
                      SHeadCase{"NameEndingInBar", kName, "Rock |", false},
                      SHeadCase{"NameStartingWithBar", kName, "| Rock", true},
                      SHeadCase{"NameOfOneBar", kName, "|", false},
                      SHeadCase{"EmptyName", kName, "", true},
                      SHeadCase{"PlainDirectory", kDirectory, "C:\\Video", true},
                      SHeadCase{"DirectoryWithDoubleBar", kDirectory, "/srv||out", false},
                      SHeadCase{"DirectoryStartingWithBar", kDirectory, "|out", false},
                      SHeadCase{"DirectoryEndingInBar", kDirectory, "out|", false},
                      SHeadCase{"DirectoryWithSingleBar", kDirectory, "o|ut", true},
                      SHeadCase{"FilenameWithTripleBar", kFilename, "a|||b", false},
                      SHeadCase{"FilenameStartingWithBar", kFilename, "|%title%", false},
                      SHeadCase{"FilenameWithSingleBar", kFilename, "%title%|x", true}),
    [](const ::testing::TestParamInfo<SHeadCase>& info) { return info.param.name; });

struct SPatternCase {
    const char* name;
    EDVAField entry;
    std::string pattern;
    bool survives;
};

void PrintTo(const SPatternCase& row, std::ostream* out) {
    *out << row.name;
}

class PatternCheckTest : public ::testing::TestWithParam<SPatternCase> {};

TEST_P(PatternCheckTest, SaysWhetherThePatternReadsBack) {
    EXPECT_EQ(GetParam().survives, PatternSurvivesStoredText(GetParam().entry, GetParam().pattern));
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, PatternCheckTest,
    ::testing::Values(SPatternCase{"PlainTitle", FieldTitle, "*News*", true},
                      SPatternCase{"TitleWithDoubleBar", FieldTitle, "News||*", false},
                      SPatternCase{"TitleEndingInBar", FieldTitle, "News|", false},
                      SPatternCase{"TitleStartingWithBar", FieldTitle, "|News", true},
                      SPatternCase{"TitleWithSingleBar", FieldTitle, "a|b", true},
                      SPatternCase{"FirstEntryEndingInBar", FieldMpeg, "*.mpg|", false},
                      SPatternCase{"LastEntryEndingInBar", FieldRChan, "7|", false},
                      SPatternCase{"DCatEndingInBarBeforeBlanks", FieldDCat, "Film| ", false},
                      SPatternCase{"DCatOfBlanks", FieldDCat, "   ", true}),
    [](const ::testing::TestParamInfo<SPatternCase>& info) { return info.param.name; });

// The texts are checked one at a time; an action's stored text reads back as the same action
// exactly when each of its texts does, whatever the others hold.
TEST(StoredTextCheckTest, ActionReadsBackExactlyWhenEachTextDoes) {
    const std::string texts[] = {"a", "a|b", "a||b", "a|", "|a", "|", "a|||"};
    for (const std::string& name : texts) {
        for (const std::string& directory : texts) {
            for (const std::string& title : texts) {
                CAction action;
                action.SetName(name);
                action.SetOutputDirectory(directory);
                action.SetOutputFilename("%title%");
                action.GetFilter().SetTitleFlag(1);
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
