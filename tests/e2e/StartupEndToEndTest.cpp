#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "ProfileBuilder.h"
#include "TestSupport.h"
#include "app/IniText.h"
#include "model/Text.h"

namespace {

// A scratch home for one run: its own profile folder, output folder and log.
class StartupTest : public ::testing::Test {
protected:
    std::string Profile() const { return home.File("pelkar.ini"); }
    std::string LogFile() const { return home.File("pelkar.log"); }

    void WriteProfile(ProfileBuilder profile, bool withLogging = true) {
        profile.Raw("ffmpegPath", ToolPath("standin_ffmpeg"))
            .Raw("tempPath", home.Path() + "/")
            .Raw("logging", withLogging ? "1" : "0")
            .Raw("loggingPath", LogFile());
        WriteWholeFile(Profile(), profile.Text());
    }

    ProcessResult Run(const std::vector<std::string>& arguments) {
        return RunProgram(arguments, {{"XDG_CONFIG_HOME", home.Path()},
                                      {"STANDIN_RECORD", home.File("standin.txt")}});
    }

    std::string ProfileValue(const std::string& key) {
        std::string value;
        EXPECT_TRUE(FindIniValue(ReadWholeFile(Profile()), "PELKAR", key, &value)) << key;
        return value;
    }

    std::string Recording() {
        const std::string path = home.File("show.mpg");
        WriteWholeFile(path, std::string(4096, 'v'));
        return path;
    }

    TempDir home;
};

std::vector<std::string> Banner() {
    return {"", "", "", "---------------------------------------------------",
            "", "", "", "OnInitDialog(): Logging initialized"};
}

std::string JoinedCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) line += (line.empty() ? "" : " ") + argument;
    return line;
}

TEST_F(StartupTest, PostDownloadRunLogsEachActionTriedUpToTheFirstMatch) {
    WriteProfile(ProfileBuilder()
                     .Action(MakeTitleAction("Sports", home.Path(), "Football"))
                     .Action(MakeTitleAction("News first", home.Path(), "Evening*"))
                     .Action(MakeTitleAction("News second", home.Path(), "*News")));
    const std::vector<std::string> arguments = HostArguments(Recording(), "Evening News");

    ProcessResult result = Run(arguments);

    EXPECT_EQ(result.exitStatus, 0);
    std::vector<std::string> log = LogTexts(ReadWholeFile(LogFile()));
    std::vector<std::string> expectedStart = Banner();
    expectedStart.push_back("OnInitDialog(): Command Line = " + JoinedCommandLine(arguments));
    expectedStart.push_back("ProcessActions(): Processing action: Sports");
    expectedStart.push_back("ProcessActions(): Processing action: News first");
    expectedStart.push_back("ProcessActions(): Filter match found!");
    ASSERT_GE(log.size(), expectedStart.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + expectedStart.size()),
              expectedStart);
    EXPECT_EQ(log.back(), "~CPELKARDialog(): PELKAR terminating.");
    EXPECT_EQ(
        std::count(log.begin(), log.end(), "ProcessActions(): Processing action: News second"), 0);
    EXPECT_TRUE(FileExists(home.File("Evening News.mp3")));
}

TEST_F(StartupTest, EveryLogEntryCarriesTheTimeAndProcessPrefix) {
    WriteProfile(ProfileBuilder());
    Run(HostArguments(Recording(), "Anything"));

    const std::string log = ReadWholeFile(LogFile());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), '\n');
    for (const std::string& line : SplitLines(log)) {
        EXPECT_TRUE(LogPrefixLength(line) > 0) << line;
    }
    EXPECT_EQ(LogTexts(log)[9], "ProcessActions(): No filter match found!");
}

TEST_F(StartupTest, SecondRunAppendsAfterTheFirst) {
    WriteProfile(ProfileBuilder());
    Run(HostArguments(Recording(), "One"));
    const size_t firstRunLines = SplitLines(ReadWholeFile(LogFile())).size();
    Run(HostArguments(Recording(), "Two"));
    std::vector<std::string> log = LogTexts(ReadWholeFile(LogFile()));
    ASSERT_EQ(log.size(), 2 * firstRunLines);
    EXPECT_EQ(log[firstRunLines + 3], "---------------------------------------------------");
}

TEST_F(StartupTest, ProfileComesBackInCanonicalForm) {
    const CAction kept = MakeTitleAction("Kept", home.Path(), "News");
    CAction nameless = MakeTitleAction("", home.Path(), "News");
    ProfileBuilder profile;
    profile.Raw("action00", "")
        .Raw("action01", kept.ToString())
        .Raw("action02", nameless.ToString())
        .Raw("action03", "garbage without separators");
    WriteWholeFile(Profile(), "; a comment of the user's\n[Other]\nkey=value\n" + profile.Text());

    ProcessResult result = Run({PelkarPath(), "--help"});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput.rfind("Usage: pelkar ", 0), 0u);
    EXPECT_EQ(ProfileValue("action00"), kept.ToString());
    for (int slot = 1; slot < 75; ++slot)
        EXPECT_EQ(ProfileValue(FormatText("action%02d", slot)), "");
    EXPECT_EQ(ProfileValue("rtvEditPath"), "pelkar-rtvedit");
    EXPECT_EQ(ProfileValue("evtDumpPath"), "pelkar-evtdump");
    EXPECT_EQ(ProfileValue("ffmpegPath"), "pelkar-ffmpeg");
    EXPECT_EQ(ProfileValue("logging"), "0");
    EXPECT_EQ(ProfileValue("loggingPath"), "pelkar.log");
    EXPECT_NE(ReadWholeFile(Profile()).find("[Other]\nkey=value"), std::string::npos);
}

TEST_F(StartupTest, GuiWinsOverMpegAndProcessesNothing) {
    WriteProfile(ProfileBuilder().Action(MakeTitleAction("News", home.Path(), "*")));
    std::vector<std::string> arguments = HostArguments(Recording(), "News");
    arguments.push_back("--GUI");

    ProcessResult result = Run(arguments);

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_NE(result.standardError.find("display"), std::string::npos) << result.standardError;
    std::vector<std::string> log = LogTexts(ReadWholeFile(LogFile()));
    ASSERT_EQ(log.size(), 10u);
    EXPECT_EQ(log[8], "OnInitDialog(): Command Line = " + JoinedCommandLine(arguments));
    EXPECT_EQ(log[9], "~CPELKARDialog(): PELKAR terminating.");
    EXPECT_FALSE(FileExists(home.File("standin.txt")));
}

// The usage goes to standard output and names this run's own files; the log still gets what
// every run with arguments writes.
TEST_F(StartupTest, HelpPrintsTheUsageWinsOverMpegAndIsLogged) {
    WriteProfile(ProfileBuilder().Action(MakeTitleAction("News", home.Path(), "*")));
    std::vector<std::string> arguments = HostArguments(Recording(), "News");
    arguments.insert(arguments.begin() + 1, "--help");

    ProcessResult result = Run(arguments);

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardError, "");
    EXPECT_EQ(result.standardOutput.rfind("Usage: pelkar ", 0), 0u);
    EXPECT_NE(result.standardOutput.find(Profile()), std::string::npos);
    EXPECT_NE(result.standardOutput.find(LogFile() + " (logging is on)"), std::string::npos);
    EXPECT_FALSE(FileExists(home.File("standin.txt")));
    std::vector<std::string> expected = Banner();
    expected.push_back("OnInitDialog(): Command Line = " + JoinedCommandLine(arguments));
    expected.push_back("~CPELKARDialog(): PELKAR terminating.");
    EXPECT_EQ(LogTexts(ReadWholeFile(LogFile())), expected);
}

// Only as the first argument: a title the host did not quote cannot bring either along.
TEST_F(StartupTest, VersionAndDryRunCountOnlyAsTheFirstArgument) {
    WriteProfile(ProfileBuilder().Action(MakeTitleAction("News", home.Path(), "*")));
    Run(HostArguments(Recording(), "News"));
    struct stat before {};
    ASSERT_EQ(stat(Profile().c_str(), &before), 0);
    const std::string log = ReadWholeFile(LogFile());

    const ProcessResult version = Run({PelkarPath(), "--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.standardOutput, "PELKAR 0.5\n");
    EXPECT_EQ(ReadWholeFile(LogFile()), log);

    // The first run made the profile canonical; a run that changes nothing leaves the file be.
    std::remove(home.File("News.mp3").c_str());
    ASSERT_EQ(Run(HostArguments(Recording(), "News --dry-run --version")).exitStatus, 0);
    struct stat after {};
    ASSERT_EQ(stat(Profile().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_TRUE(FileExists(home.File("News.mp3"))) << ReadWholeFile(LogFile());
}

TEST_F(StartupTest, UnusableCommandLinesAreReportedWithExitStatusTwo) {
    WriteProfile(ProfileBuilder().Action(MakeTitleAction("News", home.Path(), "*")), false);

    ProcessResult missing = Run({PelkarPath(), "--mpeg", "--title", "News"});
    EXPECT_EQ(missing.exitStatus, 2);
    EXPECT_EQ(missing.standardError, "pelkar: Missing --mpeg parameter\n");

    ProcessResult invalid = Run({PelkarPath(), "--title", "News"});
    EXPECT_EQ(invalid.exitStatus, 2);
    EXPECT_EQ(invalid.standardError, "pelkar: Invalid --mpeg parameter\n");
    EXPECT_FALSE(FileExists(home.File("standin.txt")));
}

TEST_F(StartupTest, NoArgumentsOpensNoLogEvenWithLoggingOn) {
    WriteProfile(ProfileBuilder());
    ProcessResult result = Run({PelkarPath()});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_FALSE(FileExists(LogFile()));
    EXPECT_NE(result.standardError.find("display"), std::string::npos);
}

TEST_F(StartupTest, UnopenableLogIsReportedAndTheRunStillConverts) {
    ProfileBuilder profile;
    profile.Action(MakeTitleAction("News", home.Path(), "News"))
        .Raw("ffmpegPath", ToolPath("standin_ffmpeg"))
        .Raw("logging", "1")
        .Raw("loggingPath", home.File("missing-folder/pelkar.log"));
    WriteWholeFile(Profile(), profile.Text());

    ProcessResult result = Run(HostArguments(Recording(), "News"));

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardError, "pelkar: The log cannot be opened, so the run goes on without "
                                     "it: " + home.File("missing-folder/pelkar.log") +
                                         ": No such file or directory\n");
    EXPECT_TRUE(FileExists(home.File("News.mp3")));
    EXPECT_EQ(ProfileValue("logging"), "1");
}

// Several instances saving and logging at once must leave a profile that parses and a log of
// whole lines only.
TEST_F(StartupTest, ConcurrentInstancesLeaveWholeProfileAndLog) {
    WriteProfile(ProfileBuilder().Action(MakeTitleAction("Sports", home.Path(), "Football")));
    const int kInstances = 12;
    std::vector<pid_t> children;
    for (int i = 0; i < kInstances; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            RunProgram(HostArguments(Recording(), FormatText("Title %d", i)),
                       {{"XDG_CONFIG_HOME", home.Path()}});
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) waitpid(pid, nullptr, 0);

    const std::string profile = ReadWholeFile(Profile());
    EXPECT_EQ(ProfileValue("action00"),
              MakeTitleAction("Sports", home.Path(), "Football").ToString());
    EXPECT_EQ(ProfileValue("loggingPath"), LogFile());
    size_t keyLines = 0;
    for (const std::string& line : SplitLines(profile))
        keyLines += line.find('=') != std::string::npos;
    EXPECT_EQ(keyLines, 81u);

    const std::string log = ReadWholeFile(LogFile());
    size_t terminating = 0;
    for (const std::string& line : SplitLines(log)) {
        ASSERT_TRUE(LogPrefixLength(line) > 0) << line;
        terminating += line.find("~CPELKARDialog(): PELKAR terminating.") != std::string::npos;
    }
    EXPECT_EQ(terminating, static_cast<size_t>(kInstances));
    EXPECT_EQ(SplitLines(log).size(), static_cast<size_t>(kInstances) * 12);
}

}  // namespace
