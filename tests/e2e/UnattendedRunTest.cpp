// Unattended post-download runs of build/pelkar in a hostile world: odd titles, tools that
// misbehave, signals, a profile edited or locked meanwhile, odd profile files.

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include <ostream>

#include "HostRun.h"
#include "TestSupportPosix.h"
#include "ProfileBuilder.h"
#include "app/IniText.h"

namespace {

namespace fs = std::filesystem;

const unsigned kPatienceMilliseconds = 30000;

bool Contains(const std::vector<std::string>& entries, const std::string& entry) {
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

bool IsGone(pid_t pid) {
    return kill(pid, 0) != 0;
}

// build/pelkar started in the background, for tests that act while it runs. Its standard
// error goes to a pipe whose reader may already have gone.
class BackgroundRun {
public:
    BackgroundRun(const std::vector<std::string>& arguments,
                  const std::map<std::string, std::string>& environment,
                  bool unreadStandardError = false) {
        int errorPipe[2];
        EXPECT_EQ(pipe2(errorPipe, O_CLOEXEC), 0);
        const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
        m_pid = StartProgram(arguments, environment, devNull, errorPipe[1]);
        close(devNull);
        close(errorPipe[1]);
        if (unreadStandardError) {
            close(errorPipe[0]);
        } else {
            m_errorRead = errorPipe[0];
        }
    }
    ~BackgroundRun() {
        if (m_pid > 0 && !m_waited) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_errorRead >= 0) close(m_errorRead);
    }

    pid_t Pid() const { return m_pid; }

    // The exit status, 128 + the signal that ended it, or -1 when it did not end in time.
    int Wait(unsigned milliseconds = kPatienceMilliseconds) {
        int status = 0;
        const bool ended = BecomesTrueWithin(milliseconds, [&] {
            return waitpid(m_pid, &status, WNOHANG) == m_pid;
        });
        if (!ended) return -1;
        m_waited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t m_pid = -1;
    int m_errorRead = -1;
    bool m_waited = false;
};

class UnattendedRunTest : public HostRunTest {
protected:
    std::string PidFile() const { return home.File("tool.pid"); }

    // The stand-in's process id, once it has started.
    pid_t WaitForTool() const {
        EXPECT_TRUE(BecomesTrueWithin(kPatienceMilliseconds, [&] {
            return !ReadWholeFile(PidFile()).empty();
        }));
        return std::atoi(ReadWholeFile(PidFile()).c_str());
    }

    std::vector<std::string> FilesIn(const std::string& directory) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(directory))
            names.push_back(fs::relative(entry.path(), directory).string());
        std::sort(names.begin(), names.end());
        return names;
    }

    void WriteActionProfile(const std::string& directory, const std::string& filenameTemplate,
                            const ActionOptions& options = {1, 0, 0}) {
        ProfileBuilder profile;
        profile.Raw("action00",
                    StoredAction("Archive", directory, options, filenameTemplate, "*"));
        for (const auto& [key, value] : Settings()) profile.Raw(key, value);
        WriteWholeFile(ProfilePath(), profile.Text());
    }
};

// ---- Output names: no title may overwrite another recording or leave the output folder ----

struct NamingCase {
    const char* name;
    const char* folder;  // under the scratch home
    const char* filenameTemplate;
    std::vector<std::string> titles;
    std::vector<std::string> expectedFiles;  // under the scratch home, sorted
};

// Names the row in test listings.
void PrintTo(const NamingCase& row, std::ostream* out) { *out << row.name; }

const NamingCase kNamingCases[] = {
    {"DotInATitleNeverCuts", "out", "%title%", {"Mr. Robot", "Mr. Smith Goes"},
     {"out/Mr. Robot.mp3", "out/Mr. Smith Goes.mp3"}},
    {"NumberedPartsStayApart", "out", "%title%", {"Pt. 1", "Pt. 2"},
     {"out/Pt. 1.mp3", "out/Pt. 2.mp3"}},
    {"DotInTheFolderNeverCuts", "tv.shows", "%title%", {"News"}, {"tv.shows/News.mp3"}},
    {"TemplateExtensionIsReplaced", "out", "%title%.avi", {"News"}, {"out/News.mp3"}},
    {"TitleCannotLeaveTheFolder", "out", "%title%", {"../victim/keep.x"},
     {"out/.._victim_keep.x.mp3"}},
    {"TemplateFoldersStay", "out", "%title%/%episode%", {"News"}, {"out/News/4.mp3"}},
    {"MissingTemplateFoldersAreMade", "out", "%dcat%/%title%/%episode%", {"Late Show"},
     {"out/Drama/Late Show/4.mp3"}},
    {"DeviceNamesAreFilesOnLinux", "out", "%title%", {"NUL", "com1"},
     {"out/NUL.mp3", "out/com1.mp3"}},
};

class NamingTest : public UnattendedRunTest,
                   public ::testing::WithParamInterface<NamingCase> {};

TEST_P(NamingTest, EveryRecordingGetsItsOwnFileInsideTheFolder) {
    const NamingCase& row = GetParam();
    const std::string folder = home.File(row.folder);
    fs::create_directories(folder);
    fs::create_directories(home.File("out/News"));
    fs::create_directories(home.File("victim"));
    WriteActionProfile(folder, row.filenameTemplate);

    for (const std::string& title : row.titles) Run({}, 0, title);

    std::vector<std::string> written;
    for (const std::string& name : FilesIn(home.Path())) {
        const bool inFolder = name.rfind(std::string(row.folder) + "/", 0) == 0;
        if (inFolder && fs::is_regular_file(home.File(name))) written.push_back(name);
    }
    EXPECT_EQ(written, row.expectedFiles);
    EXPECT_TRUE(fs::is_empty(home.File("victim")));
}

INSTANTIATE_TEST_SUITE_P(Titles, NamingTest, ::testing::ValuesIn(kNamingCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Tools: a tool has ended when its process has, however it treats its streams ----

TEST_F(UnattendedRunTest, ToolThatClosesItsOutputEarlyIsWaitedForBeforeTheNextStep) {
    WriteProfile({0, 1, 1});

    Run({{"STANDIN_FFMPEG_MODE", "closeout"}, {"STANDIN_FFMPEG_LINGER_MS", "700"}});

    // Both passes wrote in turn, the second last; the stripped copy lived until both ended.
    EXPECT_EQ(ReadWholeFile(Destination(".mp4")),
              "standin_ffmpeg output, pass 2\n0123456789the rest of the show");
    EXPECT_TRUE(fs::is_empty(TempPath()));
    EXPECT_TRUE(Contains(RunEntries(), "RunAction(): Action succeeded."));
}

TEST_F(UnattendedRunTest, RtvEditThatReadsToTheEndOfItsInputFinishes) {
    WriteProfile({1, 1, 0});

    BackgroundRun run(Arguments("Evening News"), Environment({{"STANDIN_RTVEDIT_TO_EOF", "1"}}));

    ASSERT_EQ(run.Wait(), 0);
    EXPECT_EQ(ReadWholeFile(Destination(".mp3")),
              "standin_ffmpeg output, pass 0\n0123456789the rest of the show");
}

TEST_F(UnattendedRunTest, HugeToolOutputIsLoggedWithinBounds) {
    WriteProfile({0, 0, 0});

    Run({{"STANDIN_FFMPEG_MODE", "flood"}, {"STANDIN_FFMPEG_FLOOD_MB", "24"}});

    EXPECT_TRUE(FileExists(Destination(".mp4")));
    EXPECT_LT(fs::file_size(LogPath()), 4u * 1024 * 1024);
    EXPECT_NE(ReadWholeFile(LogPath()).find(" bytes of output left out ...]\n"), std::string::npos);
}

// ---- Signals: a stopped run ends its tools, cleans up and says so ----

class StopSignalTest : public UnattendedRunTest, public ::testing::WithParamInterface<int> {};

TEST_P(StopSignalTest, StoppedRunEndsItsToolAndLeavesNothingBehind) {
    const int signal = GetParam();
    WriteProfile({0, 1, 1});
    const std::string recording = ReadWholeFile(Recording());
    BackgroundRun run(Arguments("Evening News"),
                      Environment({{"STANDIN_FFMPEG_MODE", "hang"}, {"STANDIN_PID_FILE", PidFile()}}));
    const pid_t tool = WaitForTool();

    kill(run.Pid(), signal);

    EXPECT_EQ(run.Wait(), 128 + signal);
    EXPECT_TRUE(BecomesTrueWithin(kPatienceMilliseconds, [&] { return IsGone(tool); }));
    EXPECT_TRUE(fs::is_empty(TempPath()));
    EXPECT_FALSE(FileExists(Destination(".mp4")));
    EXPECT_EQ(ReadWholeFile(Recording()), recording);
    const std::vector<std::string> entries = RunEntries();
    EXPECT_TRUE(Contains(entries, "ProcessVideo(): FFMPEG was ended by signal 15."));
    EXPECT_TRUE(Contains(entries, "RunAction(): Stopped by signal " + std::to_string(signal) + "."));
    EXPECT_TRUE(Contains(entries, "RunAction(): Action failed."));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

TEST_F(UnattendedRunTest, StopDuringTheSecondPassRemovesTheUnfinishedOutput) {
    WriteProfile({0, 0, 1});
    BackgroundRun run(Arguments("Evening News"),
                      Environment({{"STANDIN_FFMPEG_FRAMES", "40"},
                                   {"STANDIN_FFMPEG_DELAY_MS", "50"},
                                   {"STANDIN_PID_FILE", PidFile()}}));
    // The first pass writes its output at its end; the second has begun once it exists.
    ASSERT_TRUE(BecomesTrueWithin(kPatienceMilliseconds, [&] {
        return ReadWholeFile(Record()).find("\n-pass\n2\n") != std::string::npos;
    }));

    kill(run.Pid(), SIGTERM);

    EXPECT_EQ(run.Wait(), 128 + SIGTERM);
    EXPECT_FALSE(FileExists(Destination(".mp4")));
    EXPECT_TRUE(Contains(RunEntries(), "RunAction(): Removed the unfinished output " +
                                           Destination(".mp4")));
}

// Two recordings of one title: the second run, stopped while the first writes, takes nothing
// of the first's output.
TEST_F(UnattendedRunTest, StoppedRunLeavesTheOutputThatAnotherRunWrites) {
    WriteProfile({0, 0, 0});
    const auto environment = Environment({{"STANDIN_FFMPEG_FRAMES", "30"},
                                          {"STANDIN_FFMPEG_DELAY_MS", "50"},
                                          {"STANDIN_PID_FILE", PidFile()}});
    BackgroundRun first(Arguments("Evening News"), environment);
    WaitForTool();
    BackgroundRun second(Arguments("Evening News"), environment);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    kill(second.Pid(), SIGTERM);

    const int secondStatus = second.Wait();
    EXPECT_TRUE(secondStatus == 1 || secondStatus == 128 + SIGTERM) << secondStatus;
    EXPECT_EQ(first.Wait(), 0);
    EXPECT_EQ(ReadWholeFile(Destination(".mp4")).rfind("standin_ffmpeg output, pass 0\n", 0), 0u);
    EXPECT_FALSE(Contains(LogEntries(ReadWholeFile(LogPath())),
                          "RunAction(): Removed the unfinished output " + Destination(".mp4")));
}

TEST_F(UnattendedRunTest, StandardErrorThatNobodyReadsDoesNotEndTheRun) {
    WriteProfile({1, 0, 0}, {{"loggingPath", home.File("missing/pelkar.log")}});

    BackgroundRun run(Arguments("Evening News"), Environment(), true);

    EXPECT_EQ(run.Wait(), 0);
    EXPECT_TRUE(FileExists(Destination(".mp3")));
}

// ---- Failures: whatever goes wrong ends with status 1 and a sentence in the log ----

struct FailureCase {
    const char* name;
    ActionOptions options;
    std::map<std::string, std::string> settings;
    std::map<std::string, std::string> environment;
    const char* logEntry;
    // An output of 2020 is there before the run, and must stay as it was.
    bool earlierOutput = false;
};

// Names the row in test listings.
void PrintTo(const FailureCase& row, std::ostream* out) { *out << row.name; }

const FailureCase kFailureCases[] = {
    {"TranscoderFails", {1, 0, 0}, {}, {{"STANDIN_FFMPEG_MODE", "fail"}},
     "ProcessAudio(): FFMPEG exited with status 1."},
    {"TranscoderMissing", {0, 0, 0}, {{"ffmpegPath", "/nonexistent/ffmpeg"}}, {},
     "ProcessVideo(): FFMPEG could not be started: No such file or directory."},
    {"TranscoderKilled", {0, 0, 1}, {}, {{"STANDIN_FFMPEG_MODE", "killed"}},
     "RunAction(): Pass 1 failed, so pass 2 was not started."},
    {"StrippingWritesNothing", {1, 1, 0}, {{"rtvEditPath", "/bin/true"}}, {},
     "StripCommercials(): Stripping commercials failed."},
    {"EmptyEvtDumpPath", {1, 1, 0}, {{"evtDumpPath", ""}}, {},
     "StripCommercials(): The EVTDump path is empty, so EVTDump was not started."},
    {"NothingWrittenOverAnEarlierOutput", {1, 0, 0}, {}, {{"STANDIN_FFMPEG_MODE", "silent"}},
     "ProcessAudio(): The audio conversion failed.", true},
    {"EarlierOutputAndAFailingTool", {1, 0, 0}, {}, {{"STANDIN_FFMPEG_MODE", "fail"}},
     "ProcessAudio(): FFMPEG exited with status 1.", true},
    {"EmptyOutput", {0, 0, 0}, {}, {{"STANDIN_FFMPEG_MODE", "empty"}},
     "ProcessVideo(): The video conversion failed."},
};

class FailureTest : public UnattendedRunTest,
                    public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, FailedActionEndsWithStatusOne) {
    const FailureCase& row = GetParam();
    WriteProfile(row.options, row.settings);
    const std::string output = Destination(row.options.audioOnly ? ".mp3" : ".mp4");
    if (row.earlierOutput) {
        WriteWholeFile(output, "the output of 2020");
        const timespec times[2] = {{1577836800, 0}, {1577836800, 0}};
        utimensat(AT_FDCWD, output.c_str(), times, 0);
    }

    Run(row.environment, 1);

    EXPECT_EQ(FileExists(output), row.earlierOutput);
    if (row.earlierOutput) {
        EXPECT_EQ(ReadWholeFile(output), "the output of 2020");
    }
    const std::vector<std::string> entries = RunEntries();
    EXPECT_TRUE(Contains(entries, row.logEntry)) << ReadWholeFile(LogPath());
    EXPECT_EQ(entries.at(entries.size() - 2), "RunAction(): Action failed.");
    EXPECT_TRUE(fs::is_empty(TempPath()));
}

INSTANTIATE_TEST_SUITE_P(Failures, FailureTest, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UnattendedRunTest, RecordingThatIsMissingOrAFolderFailsWithoutStartingATool) {
    WriteProfile({1, 0, 0});
    for (const std::string& recording : {home.File("rec/gone.mpg"), home.File("rec")}) {
        const ProcessResult result =
            RunProgram(Arguments("Evening News", recording), Environment());

        EXPECT_EQ(result.exitStatus, 1) << recording;
        EXPECT_TRUE(Contains(RunEntries(), "RunAction(): The recording " + recording +
                                                " does not exist or is a folder."));
    }
    EXPECT_FALSE(FileExists(Record()));
}

TEST_F(UnattendedRunTest, UnreadableProfileFailsAndIsKept) {
    fs::create_directory(ProfilePath());

    const ProcessResult result = RunProgram(Arguments("Evening News"), Environment());

    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError,
              "pelkar: No action was run. The profile " + ProfilePath() +
                  " cannot be read: Is a directory\n");
    EXPECT_TRUE(fs::is_directory(ProfilePath()));
    EXPECT_FALSE(FileExists(Record()));
}

TEST_F(UnattendedRunTest, RunWithoutAMatchingActionStillSucceeds) {
    WriteProfile({1, 0, 0});

    Run({}, 0, "Morning Show");

    EXPECT_FALSE(FileExists(Record()));
}

TEST_F(UnattendedRunTest, ToolPathWithABlankRunsTheWholePath) {
    fs::create_directory(home.File("my tools"));
    const std::string ffmpeg = home.File("my tools/ffmpeg");
    fs::copy_file(ToolPath("standin_ffmpeg"), ffmpeg);
    WriteProfile({1, 0, 0}, {{"ffmpegPath", ffmpeg}});

    Run();

    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0][0], ffmpeg);
    EXPECT_TRUE(FileExists(Destination(".mp3")));
}

// ---- The profile: a run keeps what others saved meanwhile, and keeps odd files working ----

TEST_F(UnattendedRunTest, EditsMadeWhileTheRunWorksAreKept) {
    WriteProfile({1, 0, 0});
    BackgroundRun run(Arguments("Evening News"),
                      Environment({{"STANDIN_FFMPEG_FRAMES", "20"},
                                   {"STANDIN_FFMPEG_DELAY_MS", "100"},
                                   {"STANDIN_PID_FILE", PidFile()}}));
    WaitForTool();
    const std::string added = StoredAction("Added", OutputDirectory(), {0, 0, 0});
    ProfileBuilder edited;
    edited.Raw("action00", StoredAction("Archive", OutputDirectory(), {1, 0, 0}));
    edited.Raw("action01", added);
    for (const auto& [key, value] : Settings({{"tempPath", "/var/tmp/"}})) edited.Raw(key, value);
    WriteWholeFile(ProfilePath(), edited.Text());

    ASSERT_EQ(run.Wait(), 0);

    std::string value;
    const std::string text = ReadWholeFile(ProfilePath());
    ASSERT_TRUE(FindIniValue(text, "PELKAR", "action01", &value));
    EXPECT_EQ(value, added);
    ASSERT_TRUE(FindIniValue(text, "PELKAR", "tempPath", &value));
    EXPECT_EQ(value, "/var/tmp/");
}

TEST_F(UnattendedRunTest, ProfileWithAByteOrderMarkIsReadAndKeepsIt) {
    WriteProfile({1, 0, 0});
    WriteWholeFile(ProfilePath(), "\xEF\xBB\xBF" + ReadWholeFile(ProfilePath()));

    Run();

    EXPECT_TRUE(FileExists(Destination(".mp3")));
    const std::string text = ReadWholeFile(ProfilePath());
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF[PELKAR]", 0), 0u);
    EXPECT_EQ(text.find("[PELKAR]"), text.rfind("[PELKAR]"));
}

TEST_F(UnattendedRunTest, SymbolicallyLinkedProfileStaysALink) {
    WriteProfile({1, 0, 0});
    fs::create_directory(home.File("dotfiles"));
    fs::rename(ProfilePath(), home.File("dotfiles/pelkar.ini"));
    // Dotfile managers link to the real file, often by a relative path.
    fs::create_symlink("dotfiles/pelkar.ini", ProfilePath());

    Run();

    EXPECT_TRUE(fs::is_symlink(ProfilePath()));
    std::string value;
    EXPECT_TRUE(FindIniValue(ReadWholeFile(home.File("dotfiles/pelkar.ini")), "PELKAR",
                             "action74", &value));
}

TEST_F(UnattendedRunTest, ProfileLockedByAStuckInstanceIsSkippedWithALogLine) {
    WriteProfile({1, 0, 0});
    const std::string before = ReadWholeFile(ProfilePath());
    const int lock = open((ProfilePath() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);

    BackgroundRun run(Arguments("Evening News"), Environment());
    const int status = run.Wait();
    close(lock);

    EXPECT_EQ(status, 0);
    EXPECT_TRUE(FileExists(Destination(".mp3")));
    EXPECT_EQ(ReadWholeFile(ProfilePath()), before);
    EXPECT_TRUE(Contains(LogEntries(ReadWholeFile(LogPath())),
                         "SaveSettings(): The profile is locked by another PELKAR; the settings "
                         "were not saved."));
}

}  // namespace
