#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "processing/OutputBuffer.h"

namespace {

struct BufferCase {
    const char* name;
    std::vector<std::string> pieces;
    std::string expected;
    // LastBytes(3), as much as the kept end: across the two ends while nothing is left out.
    std::string lastThree;
};

// Names the row in test listings.
void PrintTo(const BufferCase& row, std::ostream* out) { *out << row.name; }

// A buffer that keeps 4 bytes from the beginning and 3 from the end.
const BufferCase kCases[] = {
    {"ShortOutputIsKeptWhole", {"abc"}, "abc", "abc"},
    {"EndJustPastTheBeginning", {"abcd", "e"}, "abcde", "cde"},
    {"OutputThatFitsExactlyIsKeptWhole", {"abcd", "efg"}, "abcdefg", "efg"},
    {"LongOutputLeavesOutTheMiddle",
     {"abcdef", "ghij"},
     "abcd\n[... 3 bytes of output left out ...]\nhij", "hij"},
    {"ManySmallPiecesKeepTheLastOnes",
     {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"},
     "abcd\n[... 5 bytes of output left out ...]\njkl", "jkl"},
    {"OnePieceLongerThanBothEnds",
     {std::string(100, 'x') + "END"},
     "xxxx\n[... 96 bytes of output left out ...]\nEND", "END"},
};

class OutputBufferTest : public ::testing::TestWithParam<BufferCase> {};

TEST_P(OutputBufferTest, KeepsTheBeginningAndTheEnd) {
    COutputBuffer buffer(4, 3);
    unsigned long long total = 0;
    for (const std::string& piece : GetParam().pieces) {
        buffer.Append(piece);
        total += piece.size();
    }
    EXPECT_EQ(buffer.Text(), GetParam().expected);
    EXPECT_EQ(buffer.TotalBytes(), total);
    EXPECT_EQ(buffer.IsCut(), GetParam().expected.find("left out") != std::string::npos);
    EXPECT_EQ(buffer.LastBytes(3), GetParam().lastThree);

    buffer.Clear();
    EXPECT_EQ(buffer.Text(), "");
    EXPECT_EQ(buffer.TotalBytes(), 0u);
    EXPECT_EQ(buffer.LastBytes(3), "");
}

INSTANTIATE_TEST_SUITE_P(Outputs, OutputBufferTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
