#include <gtest/gtest.h>

#include <ostream>

#include "processing/ReplaceExtension.h"

namespace {

struct ReplaceCase {
    const char* name;
    const char* path;
    const char* extension;
    const char* expected;
};

// Names the row in test listings.
void PrintTo(const ReplaceCase& row, std::ostream* out) { *out << row.name; }

const ReplaceCase kCases[] = {
    {"ExtensionIsReplaced", "/videos/News.avi", ".mp4", "/videos/News.mp4"},
    {"PathWithoutDotGetsTheExtensionAppended", "/videos/News", ".mp3", "/videos/News.mp3"},
    {"EverythingAfterTheLastDotOfTheNameIsReplaced", "/videos/Mr. Smith", ".mp4",
     "/videos/Mr.mp4"},
    {"DotInAFolderNeverCuts", "/My.Videos/News", ".mp4", "/My.Videos/News.mp4"},
    {"DotInAFolderOfANameWithoutDotNeverCuts", "rec.d/show", ".evt", "rec.d/show.evt"},
    {"OnlyTheLastOfSeveralExtensionsIsReplaced", "/tmp/show.part.mpg", ".evt",
     "/tmp/show.part.evt"},
    {"TrailingDotIsReplaced", "/videos/News.", ".mp3", "/videos/News.mp3"},
    {"NameWithoutFolder", "show.mpg", ".ndx", "show.ndx"},
};

class ReplaceExtensionTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceExtensionTest, GivesTheExpectedPath) {
    const ReplaceCase& row = GetParam();
    EXPECT_EQ(ReplaceExtension(row.path, row.extension), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, ReplaceExtensionTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
