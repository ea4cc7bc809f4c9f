// pelkar --dry-run: what a recording would do, checked against what a real run then does.

#include <sys/stat.h>

#include <filesystem>
#include <ostream>
#include <regex>

#include "HostRun.h"
#include "ProfileBuilder.h"
#include "processing/CommandLineSplit.h"

namespace {

namespace fs = std::filesystem;

// What a dry run's report says of the matching action.
struct Plan {
    std::string action;
    std::string outputFile;
    std::vector<std::vector<std::string>> commands;  // split as the tools get them
};

// Reads the plan out of a report; an empty action when the report names none.
Plan ReadPlan(const std::string& report) {
    Plan plan;
    std::smatch found;
    if (std::regex_search(report, found, std::regex("\nThe action \"([^\"]*)\" would run:\n")))
        plan.action = found[1];
    if (std::regex_search(report, found, std::regex("\n  Output file: ([^\n]*)\n")))
        plan.outputFile = found[1];
    const std::regex command("\n    [0-9]+\\. ([^\n]*?)(   \\(its input: [^\n]*)?(?=\n)");
    for (auto it = std::sregex_iterator(report.begin(), report.end(), command);
         it != std::sregex_iterator(); ++it)
        plan.commands.push_back(SplitWindowsCommandLine((*it)[1]));
    return plan;
}

struct DryRunCase {
    const char* name;
    std::vector<std::string> actions;  // stored texts, built by the fixture's Stored()
    std::string title;
    int exitStatus;
};

void PrintTo(const DryRunCase& row, std::ostream* out) { *out << row.name; }

class DryRunTest : public HostRunTest, public ::testing::WithParamInterface<DryRunCase> {
protected:
    void WriteActions(const std::vector<std::string>& actions) {
        ProfileBuilder profile;
        for (std::size_t i = 0; i < actions.size(); ++i)
            profile.Raw("action0" + std::to_string(i), Stored(actions[i]));
        for (const auto& [key, value] : Settings()) profile.Raw(key, value);
        WriteWholeFile(ProfilePath(), profile.Text());
    }

    // "name:options:pattern", options a string of a (audio only), s (strip), 2 (two passes).
    std::string Stored(const std::string& row) const {
        const std::string::size_type first = row.find(':'), second = row.rfind(':');
        const std::string options = row.substr(first + 1, second - first - 1);
        const auto has = [&](char c) { return options.find(c) != std::string::npos ? 1 : 0; };
        return StoredAction(row.substr(0, first), OutputDirectory(),
                            {has('a'), has('s'), has('2')}, "%title% (%episode%)",
                            row.substr(second + 1));
    }

    ProcessResult DryRun(const std::string& title) {
        std::vector<std::string> arguments = Arguments(title);
        arguments.insert(arguments.begin() + 1, "--dry-run");
        return RunProgram(arguments, Environment());
    }
};

// A table of profiles and titles: the dry run names the action, the output file and the
// command lines that the real run of the same command line then uses, in order.
const DryRunCase kCases[] = {
    {"AudioOnly", {"Radio:a:Evening*"}, "Evening News", 0},
    {"SinglePassVideo", {"Video::*"}, "Mr. Robot", 0},
    {"TwoPassesAfterAMismatch", {"Radio:a:Morning*", "Video:2:*"}, "Evening News", 0},
    {"StrippedTwoPasses", {"Clean:s2:Evening*"}, "Evening News", 0},
    {"IncompleteActionIsSkipped", {"Broken:a:", "Video::*"}, "Evening News", 0},
    {"NoActionMatches", {"Radio:a:Morning*"}, "Evening News", 3},
};

TEST_P(DryRunTest, ReportAgreesWithTheRealRun) {
    const DryRunCase& row = GetParam();
    WriteActions(row.actions);

    const ProcessResult dry = DryRun(row.title);
    ASSERT_EQ(dry.exitStatus, row.exitStatus) << dry.standardError;
    const Plan plan = ReadPlan(dry.standardOutput);
    EXPECT_FALSE(FileExists(Record())) << "a dry run starts no tool";

    Run({}, 0, row.title);

    const std::vector<std::string> entries = LogEntries(ReadWholeFile(LogPath()));
    const auto match = std::find(entries.begin(), entries.end(),
                                 "ProcessActions(): Filter match found!");
    if (row.exitStatus == 3) {
        EXPECT_TRUE(plan.action.empty());
        EXPECT_NE(dry.standardOutput.find("No action matches this recording"), std::string::npos);
        EXPECT_EQ(match, entries.end());
        return;
    }
    ASSERT_NE(match, entries.end());
    EXPECT_EQ("ProcessActions(): Processing action: " + plan.action, *(match - 1));
    EXPECT_TRUE(FileExists(plan.outputFile)) << plan.outputFile;
    std::vector<std::vector<std::string>> calls = Calls();
    for (std::vector<std::string>& call : calls) {
        // RTVEdit's record ends with its input; the stripped file's random name is made by the
        // run, where the report shows its pattern.
        call.erase(std::find(call.begin(), call.end(), "stdin:"), call.end());
        for (std::string& argument : call)
            argument = std::regex_replace(argument, std::regex("mst[A-Za-z0-9]{6}"), "mstXXXXXX");
    }
    EXPECT_EQ(plan.commands, calls);
}

INSTANTIATE_TEST_SUITE_P(Profiles, DryRunTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Everything a run could touch, with each file's size and time of change.
std::map<std::string, std::string> Snapshot(const std::string& directory) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
        struct stat status {};
        stat(entry.path().c_str(), &status);
        files[entry.path().string()] = std::to_string(status.st_size) + "@" +
                                       std::to_string(status.st_mtim.tv_sec) + "." +
                                       std::to_string(status.st_mtim.tv_nsec);
    }
    return files;
}

using DryRunTraceTest = DryRunTest;

TEST_F(DryRunTraceTest, DryRunTouchesNoFile) {
    WriteActions({"Clean:s2:Evening*"});
    WriteWholeFile(LogPath(), "an earlier run's lines\n");
    const auto before = Snapshot(home.Path());

    const ProcessResult dry = DryRun("Evening News");

    EXPECT_EQ(dry.exitStatus, 0);
    EXPECT_EQ(Snapshot(home.Path()), before);
}

TEST_F(DryRunTraceTest, ReportShowsValuesCutAtTheNextOptionAndWhyActionsWereSkipped) {
    WriteActions({"Broken:a:", "Radio:a:Morning*", "Video::*"});

    const ProcessResult dry = DryRun("Rock --Live");

    EXPECT_EQ(dry.exitStatus, 0);
    EXPECT_NE(dry.standardOutput.find("\n  --title       Rock\n"), std::string::npos)
        << dry.standardOutput;
    EXPECT_NE(dry.standardOutput.find("  1. \"Broken\": incomplete (--title is tested with no "
                                      "pattern); skipped\n"
                                      "  2. \"Radio\": complete; the filter does not match:\n"
                                      "       --title: pattern \"Morning*\" does not match "
                                      "\"Rock\"\n"
                                      "  3. \"Video\": complete; the filter matches\n"),
              std::string::npos)
        << dry.standardOutput;
}

}  // namespace
