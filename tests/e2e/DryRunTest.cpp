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
    std::string problem = "";  // a line the report gives under "The run would fail:"
};

void PrintTo(const DryRunCase& row, std::ostream* out) { *out << row.name; }

class DryRunFixture : public HostRunTest {
protected:
    void WriteActions(const std::vector<std::string>& actions) {
        ProfileBuilder profile;
        for (std::size_t i = 0; i < actions.size(); ++i)
            profile.Raw("action0" + std::to_string(i), Stored(actions[i]));
        for (const auto& [key, value] : Settings()) profile.Raw(key, value);
        WriteWholeFile(ProfilePath(), profile.Text());
    }

    // "name:options:pattern[:template]", options a string of a (audio only), s (strip), 2 (two
    // passes), m (an output directory that does not exist).
    std::string Stored(const std::string& row) const {
        std::vector<std::string> parts(1);
        for (char c : row) {
            if (c == ':') {
                parts.emplace_back();
            } else {
                parts.back() += c;
            }
        }
        const auto has = [&](char c) { return parts[1].find(c) != std::string::npos ? 1 : 0; };
        return StoredAction(parts[0], has('m') ? home.File("missing") : OutputDirectory(),
                            {has('a'), has('s'), has('2')},
                            parts.size() > 3 ? parts[3] : "%title% (%episode%)", parts[2]);
    }

    ProcessResult DryRun(const std::string& title) {
        std::vector<std::string> arguments = Arguments(title);
        arguments.insert(arguments.begin() + 1, "--dry-run");
        return RunProgram(arguments, Environment());
    }
};

class DryRunTest : public DryRunFixture, public ::testing::WithParamInterface<DryRunCase> {};

// A table of profiles and titles: the dry run names the action, the output file and the
// command lines that the real run of the same command line then uses, in order.
const DryRunCase kCases[] = {
    {"AudioOnly", {"Radio:a:Evening*"}, "Evening News", 0},
    {"SinglePassVideo", {"Video::*"}, "Mr. Robot", 0},
    {"TwoPassesAfterAMismatch", {"Radio:a:Morning*", "Video:2:*"}, "Evening News", 0},
    {"StrippedTwoPasses", {"Clean:s2:Evening*"}, "Evening News", 0},
    {"IncompleteActionIsSkipped", {"Broken:a:", "Video::*"}, "Evening News", 0},
    {"NoActionMatches", {"Radio:a:Morning*"}, "Evening News", 3},
    {"NameTooLongForTheFileSystem", {"Video::*"}, std::string(300, 'T'), 0,
     "  The output file's name is longer than the file system allows (308, at most 255).\n"},
    {"OutputDirectoryMissing", {"Video:m:*"}, "Evening News", 0, "/missing does not exist.\n"},
    {"FileInTheWayOfAFolder", {"Video::*:%episode%/%title%"}, "Evening News", 0,
     "/out/4 cannot be made: a file has its name.\n"},
    {"ParentPastAMadeFolder", {"Video::*:sub/../../b/%title%"}, "Evening News", 0,
     "/out/sub/../../b does not exist, and the run makes no folder past a \"..\".\n"},
    {"ParentBackIntoTheOutputDirectory", {"Video::*:sub/../%title%"}, "Evening News", 0},
    {"CurrentFolderPart", {"Video::*:./x/%title%"}, "Evening News", 0},
    {"ParentOfAMadeFolder", {"Video::*:a/./b/../%title%"}, "Evening News", 0},
};

TEST_P(DryRunTest, ReportAgreesWithTheRealRun) {
    const DryRunCase& row = GetParam();
    WriteActions(row.actions);

    // Where one row's template wants a folder.
    WriteWholeFile(home.File("out/4"), "in the way of a folder");

    const ProcessResult dry = DryRun(row.title);
    ASSERT_EQ(dry.exitStatus, row.exitStatus) << dry.standardError;
    const Plan plan = ReadPlan(dry.standardOutput);
    EXPECT_FALSE(FileExists(Record())) << "a dry run starts no tool";
    const std::string::size_type failure = dry.standardOutput.find("\nThe run would fail:\n");
    EXPECT_EQ(failure == std::string::npos, row.problem.empty()) << dry.standardOutput;
    if (!row.problem.empty()) {
        EXPECT_NE(dry.standardOutput.find(row.problem, failure), std::string::npos)
            << dry.standardOutput;
        Run({}, 1, row.title);
        EXPECT_FALSE(FileExists(plan.outputFile));
        return;
    }

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

using DryRunTraceTest = DryRunFixture;

// A title the host did not quote may bring other switches; the action's template may want
// folders. The dry run obeys no switch, makes no folder and says what arrived.
struct TraceCase {
    const char* name;
    std::string title;
    std::string action;
    std::string reportLine;  // under the home, where "~" stands
};

void PrintTo(const TraceCase& row, std::ostream* out) { *out << row.name; }

const TraceCase kTraceCases[] = {
    {"Plain", "Evening News", "Clean:s2:Evening*", "  Commercials: stripped first"},
    {"GuiInTheTitle", "Evening News --gui", "Clean:s2:Evening*",
     "Also on the command line, and not acted on by a dry run: --gui\n"},
    {"HelpInTheTitle", "Evening --help", "Clean:s2:Evening*",
     "  --title       Evening\n"},
    {"SubfolderOfTheTemplate", "Evening News", "Clean:s2:Evening*:%title%/%episode%",
     "  The folder ~/out/Evening News would be made.\n"},
};

class DryRunSwitchTest : public DryRunFixture, public ::testing::WithParamInterface<TraceCase> {};

TEST_P(DryRunSwitchTest, DryRunTouchesNoFile) {
    const TraceCase& row = GetParam();
    WriteActions({row.action});
    WriteWholeFile(LogPath(), "an earlier run's lines\n");
    const auto before = Snapshot(home.Path());

    const ProcessResult dry = DryRun(row.title);

    EXPECT_EQ(dry.exitStatus, 0);
    EXPECT_EQ(Snapshot(home.Path()), before);
    EXPECT_EQ(dry.standardError, "");
    EXPECT_EQ(dry.standardOutput.rfind("PELKAR dry run: ", 0), 0u) << dry.standardOutput;
    const std::string line = std::regex_replace(row.reportLine, std::regex("~"), home.Path());
    EXPECT_NE(dry.standardOutput.find(line), std::string::npos) << dry.standardOutput;
}

INSTANTIATE_TEST_SUITE_P(Titles, DryRunSwitchTest, ::testing::ValuesIn(kTraceCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A report that standard output does not take is not a success: a script would read a report
// cut short, or none, as the answer.
struct UnwritableOutputCase {
    const char* name;
    std::string redirection;  // of the shell that starts pelkar
    std::string option;
    std::string error;
};

void PrintTo(const UnwritableOutputCase& row, std::ostream* out) {
    *out << row.name;
}

const UnwritableOutputCase kUnwritableOutputCases[] = {
    {"DryRunOnAFullDisk", ">/dev/full", "--dry-run",
     "pelkar: The report cannot be written to standard output: No space left on device\n"},
    {"DryRunWithStandardOutputClosed", ">&-", "--dry-run",
     "pelkar: The report cannot be written to standard output: Bad file descriptor\n"},
    {"HelpOnAFullDisk", ">/dev/full", "--help",
     "pelkar: The help cannot be written to standard output: No space left on device\n"},
};

class UnwritableOutputTest : public DryRunFixture,
                             public ::testing::WithParamInterface<UnwritableOutputCase> {};

TEST_P(UnwritableOutputTest, FailsAndSaysWhyOnStandardError) {
    WriteActions({"Clean:s2:Evening*"});
    std::vector<std::string> arguments = Arguments("Evening News");
    arguments.insert(arguments.begin() + 1, GetParam().option);
    arguments.insert(arguments.begin(),
                     {"/bin/sh", "-c", "exec \"$@\" " + GetParam().redirection, "sh"});

    const ProcessResult run = RunProgram(arguments, Environment());

    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Outputs, UnwritableOutputTest, ::testing::ValuesIn(kUnwritableOutputCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Without the user's actions nothing can be foreseen: the report says why, where it is seen.
TEST_F(DryRunTraceTest, UnreadableProfileIsNamedAtTheTopOfTheReport) {
    WriteWholeFile(ProfilePath(), std::string("\xFE\xFF\0[\0P\0]\0\n", 10));

    const ProcessResult dry = DryRun("Evening News");

    EXPECT_EQ(dry.exitStatus, 1);
    EXPECT_EQ(dry.standardOutput, "PELKAR dry run: nothing is started, written or logged.\n\n"
                                  "No action would be run: The profile " + ProfilePath() +
                                  " cannot be read: it is in an encoding PELKAR cannot read.\n");
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
