#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/IniText.h"

namespace {

using IniValues = std::vector<std::pair<std::string, std::string>>;

std::string Lookup(const std::string& text, const std::string& section, const std::string& key) {
    std::string value;
    return FindIniValue(text, section, key, &value) ? value : "<missing>";
}

}  // namespace

class IniReadingTest : public ::testing::Test {};

TEST_F(IniReadingTest, SectionAndKeyNamesMatchWithoutRegardToCase) {
    const std::string text = "[pelkar]\nFfmpegPath=/usr/bin/ffmpeg\n";
    EXPECT_EQ(Lookup(text, "PELKAR", "ffmpegPATH"), "/usr/bin/ffmpeg");
}

TEST_F(IniReadingTest, FirstOccurrenceOfKeyWins) {
    EXPECT_EQ(Lookup("[S]\nk=first\nK=second\n", "S", "k"), "first");
}

TEST_F(IniReadingTest, FirstOccurrenceOfSectionWins) {
    const std::string text = "[S]\nk=1\n[T]\nk=9\n[s]\nk=2\nonlyLater=3\n";
    EXPECT_EQ(Lookup(text, "S", "k"), "1");
    EXPECT_EQ(Lookup(text, "S", "onlyLater"), "<missing>");
    EXPECT_EQ(Lookup(text, "T", "k"), "9");
}

TEST_F(IniReadingTest, BlanksAroundNamesAndValuesAreRemoved) {
    const std::string text = "  [ PELKAR ]  \n \t tempPath \t=  /var/tmp/my  dir/ \t\n";
    EXPECT_EQ(Lookup(text, "PELKAR", "tempPath"), "/var/tmp/my  dir/");
}

TEST_F(IniReadingTest, MatchingQuotesAroundValueAreRemoved) {
    const std::string text =
        "[S]\ndouble=\"  a b  \"\nsingle='c'\nmixed=\"d'\nlone=\"\ninner=e\"f\"g\n";
    EXPECT_EQ(Lookup(text, "S", "double"), "  a b  ");
    EXPECT_EQ(Lookup(text, "S", "single"), "c");
    EXPECT_EQ(Lookup(text, "S", "mixed"), "\"d'");
    EXPECT_EQ(Lookup(text, "S", "lone"), "\"");
    EXPECT_EQ(Lookup(text, "S", "inner"), "e\"f\"g");
}

TEST_F(IniReadingTest, EmptyValueIsPresentWhileMissingKeyIsNot) {
    const std::string text = "[S]\nempty=\nblank=   \n";
    std::string value = "unchanged";
    EXPECT_TRUE(FindIniValue(text, "S", "empty", &value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(FindIniValue(text, "S", "blank", &value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(FindIniValue(text, "S", "absent", &value));
    EXPECT_FALSE(FindIniValue(text, "Other", "empty", &value));
}

TEST_F(IniReadingTest, KeysOutsideTheSectionAreNotFound) {
    const std::string text = "k=before\n[Other]\nk=other\n[S]\nj=1\n";
    EXPECT_EQ(Lookup(text, "S", "k"), "<missing>");
}

TEST_F(IniReadingTest, CommentsAndLinesWithoutEqualsAreNotKeys) {
    const std::string text = "[S]\n;k=commented\nk\nk=real\n";
    EXPECT_EQ(Lookup(text, "S", "k"), "real");
    EXPECT_EQ(Lookup(text, "S", ";k"), "<missing>");
}

TEST_F(IniReadingTest, ValueKeepsLaterEqualsSigns) {
    EXPECT_EQ(Lookup("[S]\nk=a=b==c\n", "S", "k"), "a=b==c");
}

// Each form of line end, and a NUL in a value: the values read, and a rewrite of k that reads
// back, adds no second section and writes no NUL.
struct LineEndCase {
    const char* name;
    std::string text;
    std::string k;
};

class IniLineEndTest : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(IniLineEndTest, LinesAndValuesReadAsTheSystemReadsThem) {
    const LineEndCase& row = GetParam();
    EXPECT_EQ(Lookup(row.text, "S", "k"), row.k);
    EXPECT_EQ(Lookup(row.text, "S", "last"), "end");
    const std::string edited = SetIniValues(row.text, "S", {{"k", std::string("x\0y", 3)}});
    EXPECT_EQ(Lookup(edited, "S", "k"), "x");
    EXPECT_EQ(Lookup(edited, "S", "last"), "end");
    EXPECT_EQ(edited.find('\0'), std::string::npos) << edited;
    EXPECT_EQ(edited.find("[S]"), edited.rfind("[S]")) << edited;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, IniLineEndTest,
    ::testing::Values(
        LineEndCase{"LineFeed", "[S]\nk=value\nlast=end\n", "value"},
        LineEndCase{"CarriageReturnLineFeed", "[S]\r\nk=value\r\nlast=end", "value"},
        LineEndCase{"CarriageReturn", "[S]\rk=value\rlast=end\r", "value"},
        LineEndCase{"LineFeedCarriageReturn", "[S]\n\rk=value\n\rlast=end\n\r", "value"},
        LineEndCase{"TwoCarriageReturnsLineFeed", "[S]\r\r\nk=value\r\r\nlast=end\r\r\n",
                    "value"},
        LineEndCase{"RunOfLineEnds", "[S]\r\n\n\r\r\nk=value\r\r\r\nlast=end", "value"},
        LineEndCase{"CarriageReturnInsideALine", "[S]\nk=value\rtail\nlast=end\n", "value"},
        LineEndCase{"NulInValue", std::string("[S]\nk=value\0rest\nlast=end\n", 26), "value"},
        LineEndCase{"NulInsideQuotes", std::string("[S]\nk=\"value\0\"\nlast=end\n", 24),
                    "\"value"}),
    [](const ::testing::TestParamInfo<LineEndCase>& info) { return info.param.name; });

class IniEditingTest : public ::testing::Test {};

TEST_F(IniEditingTest, ExistingValueIsReplacedInPlace) {
    const std::string text = "[S]\na=1\nb=2\nc=3\n";
    EXPECT_EQ(SetIniValues(text, "S", {{"b", "new"}}), "[S]\na=1\nb=new\nc=3\n");
}

TEST_F(IniEditingTest, ReplacedKeyKeepsItsSpellingAndSectionIsNotAdded) {
    const std::string text = "[pelkar]\n  FFmpegPath = old\n";
    EXPECT_EQ(SetIniValues(text, "PELKAR", {{"ffmpegPath", "new"}}), "[pelkar]\nFFmpegPath=new\n");
}

TEST_F(IniEditingTest, OnlyFirstOccurrenceOfKeyIsReplaced) {
    EXPECT_EQ(SetIniValues("[S]\nk=1\nk=2\n", "S", {{"k", "9"}}), "[S]\nk=9\nk=2\n");
}

TEST_F(IniEditingTest, OnlyFirstOccurrenceOfSectionIsEdited) {
    const std::string text = "[S]\na=1\n[T]\n[S]\nb=2\n";
    EXPECT_EQ(SetIniValues(text, "s", {{"b", "3"}}), "[S]\na=1\nb=3\n[T]\n[S]\nb=2\n");
}

TEST_F(IniEditingTest, NewKeyGoesAtEndOfSectionBeforeItsTrailingBlankLines) {
    const std::string text = "[S]\nx=1\n\n\n[T]\ny=2\n";
    EXPECT_EQ(SetIniValues(text, "S", {{"z", "3"}}), "[S]\nx=1\nz=3\n\n\n[T]\ny=2\n");
}

TEST_F(IniEditingTest, NewKeysKeepTheGivenOrder) {
    EXPECT_EQ(SetIniValues("[S]\n", "S", {{"b", "1"}, {"a", "2"}, {"c", "3"}}),
              "[S]\nb=1\na=2\nc=3\n");
}

TEST_F(IniEditingTest, KeyGivenTwiceInOneCallIsWrittenOnceWithLastValue) {
    EXPECT_EQ(SetIniValues("[S]\n", "S", {{"k", "1"}, {"K", "2"}}), "[S]\nk=2\n");
    EXPECT_EQ(SetIniValues("[S]\nk=0\n", "S", {{"k", "1"}, {"k", "2"}}), "[S]\nk=2\n");
}

TEST_F(IniEditingTest, MissingSectionIsAddedAtEndAfterABlankLine) {
    EXPECT_EQ(SetIniValues("[T]\ny=2\n", "PELKAR", {{"k", "v"}}), "[T]\ny=2\n\n[PELKAR]\nk=v\n");
}

TEST_F(IniEditingTest, EmptyTextBecomesSectionWithLineFeeds) {
    EXPECT_EQ(SetIniValues("", "PELKAR", {{"a", "1"}, {"b", ""}}), "[PELKAR]\na=1\nb=\n");
}

TEST_F(IniEditingTest, NothingToSetLeavesTextAlone) {
    EXPECT_EQ(SetIniValues("junk", "PELKAR", {}), "junk");
}

TEST_F(IniEditingTest, ForeignLinesSectionsAndCommentsSurvive) {
    const std::string text =
        "; written by hand\n"
        "orphan=before any section\n"
        "[Other]\n"
        "action00=not ours\n"
        "\n"
        "[PELKAR]\n"
        "; keep me\n"
        "  odd line without equals  \n"
        "logging = 0\n"
        "custom=mine\n"
        "\n"
        "[Last]\n"
        "x=\"quoted\"\n";
    const std::string expected =
        "; written by hand\n"
        "orphan=before any section\n"
        "[Other]\n"
        "action00=not ours\n"
        "\n"
        "[PELKAR]\n"
        "; keep me\n"
        "  odd line without equals  \n"
        "logging=1\n"
        "custom=mine\n"
        "action00=a\n"
        "\n"
        "[Last]\n"
        "x=\"quoted\"\n";
    EXPECT_EQ(SetIniValues(text, "PELKAR", {{"logging", "1"}, {"action00", "a"}}), expected);
}

TEST_F(IniEditingTest, CrlfFileKeepsCrlfLineEnds) {
    const std::string text = "[S]\r\na=1\r\n\r\n[T]\r\nb=2\r\n";
    EXPECT_EQ(SetIniValues(text, "S", {{"a", "x"}, {"c", "3"}}),
              "[S]\r\na=x\r\nc=3\r\n\r\n[T]\r\nb=2\r\n");
    EXPECT_EQ(SetIniValues(text, "U", {{"d", "4"}}),
              "[S]\r\na=1\r\n\r\n[T]\r\nb=2\r\n\r\n[U]\r\nd=4\r\n");
}

TEST_F(IniEditingTest, LastLineWithoutLineEndIsCompletedBeforeAnAddition) {
    EXPECT_EQ(SetIniValues("[S]\nx=1", "S", {{"y", "2"}}), "[S]\nx=1\ny=2\n");
    EXPECT_EQ(SetIniValues("[S]\nx=1", "S", {{"x", "5"}}), "[S]\nx=5");
    EXPECT_EQ(SetIniValues("[S]", "S", {{"y", "2"}}), "[S]\ny=2\n");
    EXPECT_EQ(SetIniValues("[T]\nx=1", "S", {{"y", "2"}}), "[T]\nx=1\n\n[S]\ny=2\n");
}

TEST_F(IniEditingTest, ValuesThatReadingWouldAlterRoundTrip) {
    const std::vector<std::string> values = {
        " leading", "trailing\t", "\"quoted\"", "'single'", "\"", "a \"middle\" quote", ""};
    IniValues entries;
    for (std::size_t i = 0; i < values.size(); ++i) {
        entries.emplace_back("k" + std::to_string(i), values[i]);
    }
    const std::string text = SetIniValues("", "S", entries);
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(Lookup(text, "S", "k" + std::to_string(i)), values[i]) << "value " << i;
    }
}

TEST_F(IniEditingTest, LineBreaksInValueCannotAddLinesToTheFile) {
    const std::string text = SetIniValues("", "S", {{"k", "a\n[Evil]\r\nx=1"}});
    EXPECT_EQ(Lookup(text, "Evil", "x"), "<missing>");
    EXPECT_EQ(Lookup(text, "S", "k"), "a [Evil]  x=1");
}

TEST_F(IniEditingTest, LongValuesRoundTrip) {
    std::string longValue;
    for (int i = 0; i < 2000; ++i) longValue += "field" + std::to_string(i) + "||";
    const std::string text = SetIniValues("[S]\nk=short\nafter=1\n", "S", {{"k", longValue}});
    EXPECT_EQ(Lookup(text, "S", "k"), longValue);
    EXPECT_EQ(Lookup(text, "S", "after"), "1");
}

TEST_F(IniEditingTest, EightyOneKeysSetAtOnceAllReadBack) {
    std::string text = "[PELKAR]\naction40=old\nforeign=stay\n";
    IniValues entries;
    for (int i = 0; i < 81; ++i) {
        entries.emplace_back("action" + std::to_string(i),
                             std::string(3000, static_cast<char>('a' + i % 26)));
    }
    text = SetIniValues(text, "PELKAR", entries);
    for (const auto& [key, value] : entries) EXPECT_EQ(Lookup(text, "PELKAR", key), value);
    EXPECT_EQ(Lookup(text, "PELKAR", "foreign"), "stay");
    EXPECT_EQ(SetIniValues(text, "PELKAR", entries), text);
}

// Some editors start a UTF-8 file with a byte-order mark; it must not hide the first section,
// and a rewrite must neither drop it nor add a second section.
TEST(IniByteOrderMarkTest, MarkIsReadPastAndKeptOnRewrite) {
    const std::string mark = "\xEF\xBB\xBF";
    const std::string text = mark + "[PELKAR]\r\nlogging=1\r\n";
    EXPECT_EQ(Lookup(text, "PELKAR", "logging"), "1");
    EXPECT_EQ(SetIniValues(text, "PELKAR", {{"logging", "0"}, {"tempPath", "/tmp/"}}),
              mark + "[PELKAR]\r\nlogging=0\r\ntempPath=/tmp/\r\n");
    EXPECT_EQ(SetIniValues(mark, "PELKAR", {{"logging", "0"}}), mark + "[PELKAR]\nlogging=0\n");
}

// One very long line (a stored action gone wrong, or junk) is read in one pass.
TEST(IniLargeTextTest, SectionIsReadOnceWhateverTheLineLengths) {
    const std::string junk(8 * 1024 * 1024, 'j');
    const std::string text = "[PELKAR]\nlong=" + junk + "\nshort=1\n";
    const auto values = ReadIniSection(text, "PELKAR");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values.at("long"), junk);
    EXPECT_EQ(values.at("short"), "1");
}
