#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "app/StatusText.h"

namespace {

const std::string::size_type kLimit = 255;
const std::string kStatus = "\n\nStatus: Pass 2, 33.3% complete\nRemaining: 04:00";

std::string Text(const std::string& action, const std::string& source) {
    return "Action: " + action + "\nSource: " + source + kStatus;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Whether every multi-byte UTF-8 character in the text is whole.
bool IsWholeUtf8(const std::string& text) {
    for (std::string::size_type i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (int k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

struct FitCase {
    const char* name;
    std::string action;
    std::string source;
    std::string expected;  // empty: only the general rules are checked
};

// Names the row in test listings.
void PrintTo(const FitCase& row, std::ostream* out) { *out << row.name; }

const std::string kLongFolder = "/media/recordings/" + std::string(200, 'd') + "/";
const std::string kAccents = "/media/" + std::string(190, 'x') + "/caf\xC3\xA9\xC3\xA9\xC3\xA9";

const FitCase kCases[] = {
    {"ShortTextStaysAsItIs", "News", "/rec/show.mpg", Text("News", "/rec/show.mpg")},
    {"TextOfExactlyTheLimitStays", "News", std::string(255 - Text("News", "").size(), 'p'),
     Text("News", std::string(255 - Text("News", "").size(), 'p'))},
    {"LongPathKeepsItsFileName", "News", kLongFolder + "show.mpg", ""},
    {"PathIsNeverCutInsideACharacter", "News", kAccents, ""},
    {"LongNameIsShortenedAfterThePath", std::string(300, 'n') + "\xC3\xA9", "/rec/show.mpg", ""},
};

class FitStatusTextTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitStatusTextTest, StatusLinesAlwaysShowWhole) {
    const FitCase& row = GetParam();
    const std::string fitted = FitStatusText(Text(row.action, row.source), kLimit);
    if (!row.expected.empty()) {
        EXPECT_EQ(fitted, row.expected);
    }
    EXPECT_LE(fitted.size(), kLimit);
    EXPECT_TRUE(EndsWith(fitted, kStatus)) << fitted;
    EXPECT_TRUE(IsWholeUtf8(fitted)) << fitted;
    EXPECT_EQ(fitted.rfind("Action: ", 0), 0u);
    if (row.source == "/rec/show.mpg") {
        EXPECT_NE(fitted.find("show.mpg" + kStatus), std::string::npos) << "the file name stays";
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, FitStatusTextTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FitStatusTextFileNameTest, ShortenedPathEndsInTheRecordingsFileName) {
    const std::string fitted = FitStatusText(Text("News", kLongFolder + "show.mpg"), kLimit);
    EXPECT_NE(fitted.find("\nSource: ..."), std::string::npos);
    EXPECT_NE(fitted.find("/show.mpg\n\nStatus: "), std::string::npos);
    EXPECT_EQ(fitted.size(), kLimit);
}

}  // namespace
