#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "processing/CommandLineSplit.h"
#include "processing/QuotedArgument.h"

namespace {

// The arguments a tool receives when the path is its only argument.
std::vector<std::string> Received(const std::string& path) {
    return SplitWindowsCommandLine("tool " + QuotedArgument(path));
}

TEST(QuotedArgumentTest, OrdinaryPathIsOnlyPutInDoubleQuotes) {
    EXPECT_EQ(QuotedArgument("/rec/Evening News.mpg"), "\"/rec/Evening News.mpg\"");
    EXPECT_EQ(QuotedArgument("C:\\rec\\show.mpg"), "\"C:\\rec\\show.mpg\"");
}

TEST(QuotedArgumentTest, QuoteInsideThePathIsEscaped) {
    EXPECT_EQ(QuotedArgument("/out/Say \"Hi\".mp4"), "\"/out/Say \\\"Hi\\\".mp4\"");
}

TEST(QuotedArgumentTest, TitleWithQuotesCannotAddOptions) {
    const std::string path = "/out/x\" -f null \"y.mp4";

    EXPECT_EQ(Received(path), (std::vector<std::string>{"tool", path}));
}

TEST(QuotedArgumentTest, BackslashesBeforeAQuoteSurvive) {
    const std::string path = "/out/a\\\\\"b.mp4";

    EXPECT_EQ(Received(path), (std::vector<std::string>{"tool", path}));
}

TEST(QuotedArgumentTest, TrailingBackslashDoesNotSwallowTheClosingQuote) {
    EXPECT_EQ(QuotedArgument("C:\\out\\"), "\"C:\\out\\\\\"");
    EXPECT_EQ(Received("C:\\out\\"), (std::vector<std::string>{"tool", "C:\\out\\"}));
}

TEST(QuotedArgumentTest, EmptyPathStaysOneArgument) {
    EXPECT_EQ(Received(""), (std::vector<std::string>{"tool", ""}));
}

}  // namespace
