// The command-line split against the quoting the stages use: a tool path written as the
// program (QuotedProgram) and file names written as arguments (QuotedArgument) come back
// from SplitWindowsCommandLine exactly as they were. Arguments split from any line, quoted
// again, split the same way.

#include "FuzzInput.h"
#include "processing/CommandLineSplit.h"
#include "processing/QuotedArgument.h"

namespace {

std::string Joined(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) text += "[" + argument + "]";
    return text;
}

// A tool path holds no double quote (no system allows one in a file name) and is not empty
// (an empty path starts nothing).
bool IsToolPath(const std::string& path) {
    return !path.empty() && path.find('"') == std::string::npos;
}

std::string CommandLine(const std::vector<std::string>& arguments) {
    std::string line = QuotedProgram(arguments.front());
    for (std::size_t i = 1; i < arguments.size(); ++i) line += " " + QuotedArgument(arguments[i]);
    return line;
}

void CheckRoundTrip(const std::vector<std::string>& arguments) {
    if (arguments.empty() || !IsToolPath(arguments.front())) return;
    const std::string line = CommandLine(arguments);
    const std::vector<std::string> split = SplitWindowsCommandLine(line);
    FUZZ_CHECK(split == arguments, Joined(arguments) + " became " + Joined(split) + " via " + line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const std::string raw = CFuzzInput(data, size).Rest();
    CheckRoundTrip(input.All());
    CheckRoundTrip(SplitWindowsCommandLine(raw));
    return 0;
}
