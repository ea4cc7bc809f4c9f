#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "ProfileBuilder.h"
#include "TestSupportWin32.h"
#include "app/IniText.h"
#include "model/Action.h"

// PELKAR.EXE itself, started the way the DVArchive host starts it, against the stand-in tools:
// a profile in the Windows directory, a log in CR LF lines, "\" between folder and name.

namespace {

const char* const kMissingTool = "C:\\no\\such\\folder\\ffmpeg.exe";

std::string ProfilePath() {
    return WindowsDirectory() + "\\PELKAR.INI";
}

// The log's entries without their prefixes; an entry's continuation lines stay joined to it.
// Every line must end in CR LF.
std::vector<std::string> LogEntries(const std::string& log) {
    std::vector<std::string> entries;
    for (std::string line : SplitLines(log)) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << "line without CR LF: " << line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t prefix = LogPrefixLength(line);
        if (prefix > 0) {
            entries.push_back(line.substr(prefix));
        } else if (!entries.empty()) {
            entries.back() += "\n" + line;
        }
    }
    return entries;
}

bool Contains(const std::vector<std::string>& entries, const std::string& entry) {
    for (const std::string& candidate : entries) {
        if (candidate == entry) return true;
    }
    return false;
}

// The text with "%name%" replaced by the value.
std::string Substituted(std::string text, const std::string& name, const std::string& value) {
    const std::string::size_type at = text.find("%" + name + "%");
    if (at != std::string::npos) text.replace(at, name.size() + 2, value);
    return text;
}

// Asks a program to stop as taskkill without /F does: WM_CLOSE to each of its top-level windows.
BOOL CALLBACK CloseWindowOfProcess(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId)) PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

class PostDownloadWin32Test : public ::testing::Test {
protected:
    PostDownloadWin32Test() {
        std::filesystem::create_directories(Output());
        std::filesystem::create_directories(Temp());
        WriteWholeFile(Recording(), "0123456789COMMERCIAL--the rest of the show");
        WriteWholeFile(m_home.File("show.evt"), "cut 10 22\n");
    }
    ~PostDownloadWin32Test() override { DeleteProfile(); }

    static void DeleteProfile() { std::filesystem::remove(ProfilePath()); }

    std::string Recording() const { return m_home.File("show.mpg"); }
    std::string Output() const { return m_home.File("out"); }
    std::string Temp() const { return m_home.File("tmp"); }
    std::string Log() const { return m_home.File("pelkar.log"); }
    std::string Ffmpeg() const { return ToolPath("standin_ffmpeg.exe"); }

    // The action is stored in slot 3 behind empty and broken slots, as a hand-edited profile
    // might have it.
    void WriteProfile(const CAction& action, const std::string& ffmpegPath,
                      const std::string& logPath = "") {
        WriteWholeFile(ProfilePath(), ProfileBuilder()
                                          .Raw("action00", "")
                                          .Raw("action01", "broken")
                                          .Raw("action03", action.ToString())
                                          .Raw("ffmpegPath", ffmpegPath)
                                          .Raw("evtDumpPath", ToolPath("standin_evtdump.exe"))
                                          .Raw("rtvEditPath", ToolPath("standin_rtvedit.exe"))
                                          .Raw("tempPath", Temp() + "\\")
                                          .Raw("logging", "1")
                                          .Raw("loggingPath", logPath.empty() ? Log() : logPath)
                                          .Text());
    }

    CAction Action(bool audioOnly, bool twoPass = false, bool strip = false) const {
        CAction action = MakeTitleAction("Archive", Output(), "Evening*", audioOnly);
        action.SetTwoPass(twoPass);
        action.SetStripCommercials(strip);
        return action;
    }

    // The host's command: the program's path in quotes, the values as they are.
    std::string HostCommand(const std::string& title = "Evening News") const {
        return HostCommandFor(Recording(), title);
    }

    std::string HostCommandFor(const std::string& recording, const std::string& title) const {
        return "\"" + PelkarPath() + "\" --mpeg " + recording + " --title " + title +
               " --episode 4 --startdate 2011-03-07 --starttime 13:00 "
               "--dur 30 --showid 1234 --dname Box --dcat Drama --dchan 7 --rname Box "
               "--rcat Drama --rchan 7";
    }

    // Starts PELKAR.EXE with the host's command; its FFMPEG writes its process id to pidFile
    // and then runs until it is ended.
    bool StartWithHangingTool(const std::string& pidFile, PROCESS_INFORMATION* pelkar) const {
        SetEnvironment("STANDIN_FFMPEG_MODE", "hang");
        SetEnvironment("STANDIN_PID_FILE", pidFile);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = HostCommand();
        const bool started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0,
                                            nullptr, nullptr, &startup, pelkar);
        UnsetEnvironment("STANDIN_FFMPEG_MODE");
        UnsetEnvironment("STANDIN_PID_FILE");
        return started;
    }

    // A run whose action fails ends with status 1.
    std::vector<std::string> Run(const std::string& commandLine, int expectedStatus = 0) {
        const ProcessResult result = RunCommandLine(commandLine);
        EXPECT_EQ(result.exitStatus, expectedStatus) << result.standardError;
        return LogEntries(ReadWholeFile(Log()));
    }

    std::string AudioCommand(const std::string& source) const {
        return Ffmpeg() + " -y -i \"" + source +
               "\" -acodec mp3 -ac 2 -ab 48 -ar 24000 -vol 130 \"" + Output() +
               "\\Evening News.mp3\"";
    }

    std::string VideoCommand(int pass) const {
        return Ffmpeg() + " -y -i \"" + Recording() + "\" -pass " + std::to_string(pass) +
               " -bitexact -vcodec xvid -s 320x240 -b 384 -minrate 32 -maxrate 400 -bt 16 -r "
               "29.97 -acodec aac -ac 2 -ab 48 -ar 24000 -vol 130 -f psp \"" +
               Output() + "\\Evening News.mp4\"";
    }

    TempDir m_home;
};

TEST_F(PostDownloadWin32Test, AudioActionWritesTheMp3AndLogsInCarriageReturnLineFeeds) {
    WriteProfile(Action(true), Ffmpeg());
    const std::vector<std::string> entries = Run(HostCommand());

    ASSERT_GE(entries.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.begin() + 8),
              std::vector<std::string>({"", "", "", std::string(51, '-'), "", "", "",
                                        "OnInitDialog(): Logging initialized"}));
    EXPECT_EQ(entries[8], "OnInitDialog(): Command Line = " + HostCommand());
    EXPECT_TRUE(Contains(entries, "ProcessAudio(): csAction=Archive, csMpeg=" + Recording() +
                                      ", csSource=" + Recording() + ", csDest=" + Output() +
                                      "\\Evening News.mp3"));
    EXPECT_TRUE(
        Contains(entries, "ProcessAudio(): Executing command: " + AudioCommand(Recording())));
    EXPECT_EQ(entries.back(), "~CPELKARDialog(): PELKAR terminating.");
    EXPECT_EQ(ReadWholeFile(Output() + "\\Evening News.mp3"),
              "standin_ffmpeg output, pass 0\n" + ReadWholeFile(Recording()));
}

TEST_F(PostDownloadWin32Test, ProfileIsRewrittenCanonicalInTheWindowsDirectory) {
    const CAction action = Action(true);
    WriteProfile(action, Ffmpeg());
    Run(HostCommand());

    const std::string profile = ReadWholeFile(ProfilePath());
    size_t keys = 0;
    for (const std::string& line : SplitLines(profile)) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << line;
        keys += line.find('=') != std::string::npos;
    }
    EXPECT_EQ(keys, 81u);
    std::string value;
    ASSERT_TRUE(FindIniValue(profile, "PELKAR", "action00", &value));
    EXPECT_EQ(value, action.ToString());
    for (const char* emptied : {"action01", "action03", "action74"}) {
        ASSERT_TRUE(FindIniValue(profile, "PELKAR", emptied, &value)) << emptied;
        EXPECT_EQ(value, "") << emptied;
    }
}

// Notepad's "Unicode": the run reads the action from it and saves the profile in it again.
TEST_F(PostDownloadWin32Test, ProfileInUtf16IsReadAndStaysUtf16) {
    const std::string mark = "\xFF\xFE";
    WriteProfile(Action(true), Ffmpeg());
    WriteWholeFile(ProfilePath(), mark + Utf16LeOfLatin1(ReadWholeFile(ProfilePath())));
    Run(HostCommand());

    EXPECT_TRUE(FileExists(Output() + "\\Evening News.mp3"));
    const std::string bytes = ReadWholeFile(ProfilePath());
    std::string profile, value;
    ASSERT_EQ(bytes.compare(0, 2, mark), 0);
    ASSERT_TRUE(Latin1OfUtf16Le(bytes.substr(2), &profile));
    ASSERT_TRUE(FindIniValue(profile, "PELKAR", "action00", &value));
    EXPECT_EQ(value, Action(true).ToString());
}

TEST_F(PostDownloadWin32Test, TwoPassVideoRunsBothPassesAndWritesTheMp4) {
    WriteProfile(Action(false, true), Ffmpeg());
    const std::vector<std::string> entries = Run(HostCommand());

    EXPECT_TRUE(Contains(entries, "ProcessVideo(): Executing command: " + VideoCommand(1)));
    EXPECT_TRUE(Contains(entries, "ProcessVideo(): Executing command: " + VideoCommand(2)));
    EXPECT_EQ(ReadWholeFile(Output() + "\\Evening News.mp4"),
              "standin_ffmpeg output, pass 2\n" + ReadWholeFile(Recording()));
}

TEST_F(PostDownloadWin32Test, StrippedCopyIsConvertedAndItsFilesAreDeleted) {
    WriteProfile(Action(true, false, true), Ffmpeg());
    // The files of a run that was killed go too; nobody holds their name.
    for (const char* left : {"mst1f.tmp", "mst1f.mpg", "mst1f.ndx", "mst1f.evt"})
        WriteWholeFile(Temp() + "\\" + left, "left");
    const std::vector<std::string> entries = Run(HostCommand());

    const std::string evtDump =
        "StripCommercials(): Executing command: " + ToolPath("standin_evtdump.exe") + " \"" +
        m_home.File("show.evt") + "\"";
    EXPECT_TRUE(Contains(entries, evtDump));
    EXPECT_EQ(ReadWholeFile(Output() + "\\Evening News.mp3"),
              "standin_ffmpeg output, pass 0\n0123456789the rest of the show");
    EXPECT_TRUE(std::filesystem::is_empty(Temp()));
    EXPECT_TRUE(FileExists(m_home.File("show.evt")));
}

TEST_F(PostDownloadWin32Test, MissingTranscoderLogsErrorTwoAndTheRunStillCompletes) {
    WriteProfile(Action(true), kMissingTool);
    Run(HostCommand(), 1);

    const std::string log = ReadWholeFile(Log());
    // The runner's message ends in "\r\n" itself; text mode puts one more "\r" before its "\n".
    EXPECT_NE(log.find("ProcessAudio(): FFMPEG Output:\r\n\r\n\r\nRedirect console error: 2\r\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(LogEntries(log).back(), "~CPELKARDialog(): PELKAR terminating.");
    EXPECT_FALSE(FileExists(Output() + "\\Evening News.mp3"));
}

// A host that gives up on PELKAR.EXE ends it from outside, as Task Manager does; the tool it
// was running ends with it. The tool is ended here in any case, so no run leaves it behind.
TEST_F(PostDownloadWin32Test, ToolEndsWhenPelkarIsEndedFromOutside) {
    WriteProfile(Action(true), Ffmpeg());
    const std::string pidFile = m_home.File("tool.pid");
    PROCESS_INFORMATION pelkar{};
    ASSERT_TRUE(StartWithHangingTool(pidFile, &pelkar));
    const bool toolStarted =
        BecomesTrueWithin(30000, [&] { return !ReadWholeFile(pidFile).empty(); });

    TerminateProcess(pelkar.hProcess, 1);

    WaitForSingleObject(pelkar.hProcess, 10000);
    CloseHandle(pelkar.hThread);
    CloseHandle(pelkar.hProcess);
    ASSERT_TRUE(toolStarted);
    const HANDLE tool =
        OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, std::stoul(ReadWholeFile(pidFile)));
    const bool ended = !tool || WaitForSingleObject(tool, 5000) == WAIT_OBJECT_0;
    if (tool) {
        TerminateProcess(tool, 1);
        CloseHandle(tool);
    }
    EXPECT_TRUE(ended);
}

TEST_F(PostDownloadWin32Test, EmptyMpegValueIsReportedAndEndsWithStatusTwo) {
    WriteProfile(Action(true), Ffmpeg());
    const ProcessResult result = RunCommandLine("\"" + PelkarPath() + "\" --mpeg --title News");
    EXPECT_EQ(result.exitStatus, 2);
    // Without a display the box becomes a line of text on standard error, in text mode.
    EXPECT_EQ(result.standardError, "PELKAR: Missing --mpeg parameter\r\n");
    EXPECT_FALSE(FileExists(Output() + "\\News.mp3"));
}

// The second of two runs of one title, started while the first's tool writes, leaves the
// output to the first; asked to stop after the first has finished, it still removes nothing.
TEST_F(PostDownloadWin32Test, SecondRunOfTheSameTitleLeavesTheFirstRunsOutput) {
    WriteProfile(Action(true), Ffmpeg());
    const std::string firstTool = m_home.File("first.pid");
    const std::string secondTool = m_home.File("second.pid");
    ProcessResult first;
    std::thread firstRun([&] {
        first = RunCommandLine(HostCommand(), {{"STANDIN_FFMPEG_DELAY_MS", "300"},
                                               {"STANDIN_FFMPEG_FRAMES", "10"},
                                               {"STANDIN_PID_FILE", firstTool}});
    });
    const bool firstToolStarted =
        BecomesTrueWithin(30000, [&] { return !ReadWholeFile(firstTool).empty(); });
    PROCESS_INFORMATION second{};
    const bool started = StartWithHangingTool(secondTool, &second);
    if (started) {
        BecomesTrueWithin(30000, [&] {
            return WaitForSingleObject(second.hProcess, 0) == WAIT_OBJECT_0 ||
                   !ReadWholeFile(secondTool).empty();
        });
    }
    firstRun.join();
    DWORD secondStatus = 0;
    if (started) {
        EnumWindows(CloseWindowOfProcess, static_cast<LPARAM>(second.dwProcessId));
        WaitForSingleObject(second.hProcess, 30000);
        GetExitCodeProcess(second.hProcess, &secondStatus);
        CloseHandle(second.hThread);
        CloseHandle(second.hProcess);
    }

    ASSERT_TRUE(firstToolStarted);
    ASSERT_TRUE(started);
    const std::string dest = Output() + "\\Evening News.mp3";
    EXPECT_EQ(first.exitStatus, 0) << first.standardError;
    EXPECT_EQ(secondStatus, 1u);
    EXPECT_TRUE(Contains(LogEntries(ReadWholeFile(Log())),
                         "RunAction(): The output " + dest +
                             " is being written by another run, so this run converts nothing."));
    EXPECT_EQ(ReadWholeFile(dest), "standin_ffmpeg output, pass 0\n" + ReadWholeFile(Recording()));
}

// Started from a command prompt, or with its output taken, a dry run prints its report there, in
// CR LF lines, instead of in a window or a box.
TEST_F(PostDownloadWin32Test, DryRunPrintsTheReportOnTheOutputItWasGiven) {
    WriteProfile(Action(true), Ffmpeg());
    const ProcessResult result = RunCommandLine("\"" + PelkarPath() + "\" --dry-run" +
                                                HostCommand().substr(PelkarPath().size() + 2));
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_NE(result.standardOutput.find("\r\nThe action \"Archive\" would run:\r\n"),
              std::string::npos)
        << result.standardOutput;
    EXPECT_EQ(result.standardError, "");
}

// ---- Output names: the file a title makes is a file, wherever the template puts it ----

struct OutputNameCase {
    const char* name;
    const char* filenameTemplate;
    std::string title;
    // Under the output folder.
    std::string expectedFile;
    // A folder the run makes under the output folder, or "".
    const char* madeFolder;
};

// Names the row in test listings.
void PrintTo(const OutputNameCase& row, std::ostream* out) {
    *out << row.name;
}

const std::string kLongTitle(250, 'T');

const OutputNameCase kOutputNameCases[] = {
    {"DeviceNameTitleWritesAFile", "%title%", "NUL", "NUL_.mp3", ""},
    {"DeviceNameWithAnExtensionWritesAFile", "%title%.%episode%", "com1", "com1_.4.mp3", ""},
    {"LongOutputPathIsFound", "%title%", kLongTitle, kLongTitle + ".mp3", ""},
    {"TemplateFoldersAreMade", "%title%\\%episode%", "Late Show", "Late Show\\4.mp3", "Late Show"},
    {"SlashSeparatedTemplateFoldersAreMade", "%title%/%episode%", "Late Show", "Late Show\\4.mp3",
     "Late Show"},
    {"DotsTitleMakesAFolderWindowsKeeps", "%title%\\%episode%", "...", "..._\\4.mp3", "..._"},
};

class OutputNameWin32Test : public PostDownloadWin32Test,
                            public ::testing::WithParamInterface<OutputNameCase> {};

TEST_P(OutputNameWin32Test, OutputIsAFileWhereTheTemplateSays) {
    const OutputNameCase& row = GetParam();
    CAction action = MakeTitleAction("Archive", Output(), "*");
    action.SetOutputFilename(row.filenameTemplate);
    WriteProfile(action, Ffmpeg());

    const std::vector<std::string> entries = Run(HostCommand(row.title));

    // The long form reaches a path beyond the classic 260 characters.
    EXPECT_TRUE(std::filesystem::is_regular_file("\\\\?\\" + Output() + "\\" + row.expectedFile));
    EXPECT_TRUE(Contains(entries, "RunAction(): Action succeeded."));
    if (*row.madeFolder) {
        EXPECT_TRUE(
            Contains(entries, "RunAction(): Made the folder " + Output() + "\\" + row.madeFolder));
    }
}

INSTANTIATE_TEST_SUITE_P(Names, OutputNameWin32Test, ::testing::ValuesIn(kOutputNameCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A device's name that the template itself spells is foreseen by the dry run and refused by
// the run, which starts no tool. "$O" stands for the output folder.
struct DeviceTemplateCase {
    const char* name;
    const char* filenameTemplate;
    const char* refusal;
};

void PrintTo(const DeviceTemplateCase& row, std::ostream* out) {
    *out << row.name;
}

const DeviceTemplateCase kDeviceTemplateCases[] = {
    {"FileNamedNul", "NUL",
     "The output file $O\\NUL.mp3 cannot be written: \"NUL.mp3\" is the name of a device."},
    {"FolderNamedAux", "%title%\\aux\\%episode%",
     "The folder $O\\Evening News\\aux cannot be made: \"aux\" is the name of a device."},
};

class DeviceTemplateWin32Test : public PostDownloadWin32Test,
                                public ::testing::WithParamInterface<DeviceTemplateCase> {};

TEST_P(DeviceTemplateWin32Test, DryRunForeseesTheRefusalTheRunMakes) {
    const DeviceTemplateCase& row = GetParam();
    CAction action = Action(true);
    action.SetOutputFilename(row.filenameTemplate);
    WriteProfile(action, Ffmpeg());
    std::string refusal = row.refusal;
    refusal.replace(refusal.find("$O"), 2, Output());

    const ProcessResult report = RunCommandLine("\"" + PelkarPath() + "\" --dry-run" +
                                                HostCommand().substr(PelkarPath().size() + 2));
    const std::vector<std::string> entries = Run(HostCommand(), 1);

    EXPECT_NE(report.standardOutput.find("The run would fail:\r\n"), std::string::npos)
        << report.standardOutput;
    EXPECT_NE(report.standardOutput.find(refusal), std::string::npos) << report.standardOutput;
    EXPECT_TRUE(Contains(entries, "RunAction(): " + refusal));
    EXPECT_FALSE(
        Contains(entries, "ProcessAudio(): Executing command: " + AudioCommand(Recording())));
    EXPECT_TRUE(std::filesystem::is_empty(Output()));
}

INSTANTIATE_TEST_SUITE_P(Names, DeviceTemplateWin32Test, ::testing::ValuesIn(kDeviceTemplateCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A post-download run meets a profile it cannot read, or a log it cannot open. Without a
// display a box would be a line of its own text on standard error; the run's only line is the
// notification's text, so no box was made. A dry run says the problem there and atop its report.
enum class EProfileState { Readable, Folder, BigEndianUtf16 };

struct SUnattendedProblem {
    const char* name;
    EProfileState profileState;
    const char* logPath;
    int exitStatus;
    const char* errorStart;   // "%profile%" stands for the profile's path
    const char* reportStart;  // a dry run's; "" runs the host's command
};

void PrintTo(const SUnattendedProblem& row, std::ostream* out) {
    *out << row.name;
}

class UnattendedProblemWin32Test : public PostDownloadWin32Test,
                                   public ::testing::WithParamInterface<SUnattendedProblem> {};

TEST_P(UnattendedProblemWin32Test, IsReportedWithoutABoxAndTheRunGoesOn) {
    const SUnattendedProblem& row = GetParam();
    WriteProfile(Action(true), Ffmpeg(), row.logPath);
    if (row.profileState == EProfileState::Folder) {
        DeleteProfile();
        std::filesystem::create_directory(ProfilePath());
    }
    if (row.profileState == EProfileState::BigEndianUtf16)
        WriteWholeFile(ProfilePath(), MarkedUtf16BeOfLatin1(ReadWholeFile(ProfilePath())));
    const std::string dryRun =
        "\"" + PelkarPath() + "\" --dry-run" + HostCommand().substr(PelkarPath().size() + 2);

    const ProcessResult result = RunCommandLine(*row.reportStart ? dryRun : HostCommand());

    EXPECT_EQ(result.exitStatus, row.exitStatus);
    const std::string start = Substituted(row.errorStart, "profile", ProfilePath());
    EXPECT_EQ(result.standardError.rfind("PELKAR: " + start, 0), 0u) << result.standardError;
    EXPECT_EQ(SplitLines(result.standardError).size(), 1u) << result.standardError;
    EXPECT_EQ(FileExists(Output() + "\\Evening News.mp3"), row.exitStatus == 0);
    const std::string report = Substituted(row.reportStart, "profile", ProfilePath());
    EXPECT_EQ(result.standardOutput.rfind(report, 0), 0u) << result.standardOutput;
}

INSTANTIATE_TEST_SUITE_P(
    Problems, UnattendedProblemWin32Test,
    ::testing::Values(
        SUnattendedProblem{"UnreadableProfile", EProfileState::Folder, "", 1,
                           "No action was run. The profile %profile% cannot be read: ", ""},
        SUnattendedProblem{"UnopenableLog", EProfileState::Readable, "C:\\nodir\\x.log", 0,
                           "The log cannot be opened, so the run goes on without it: "
                           "C:\\nodir\\x.log: ",
                           ""},
        SUnattendedProblem{"ProfileInUtf16BigEndian", EProfileState::BigEndianUtf16, "", 1,
                           "No action was run. The profile %profile% cannot be read: it is in "
                           "an encoding PELKAR cannot read",
                           ""},
        SUnattendedProblem{"DryRunOfAProfileInUtf16BigEndian", EProfileState::BigEndianUtf16, "", 1,
                           "The profile %profile% cannot be read: it is in an encoding PELKAR "
                           "cannot read",
                           "PELKAR dry run: nothing is started, written or logged.\r\n\r\n"
                           "No action would be run: The profile %profile% cannot be read: it is "
                           "in an encoding PELKAR cannot read.\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- A failed run keeps what it did not write: the recording, an earlier output ----

// The action's output folder: its own, or the recording's, spelt as a user might.
enum class EOutputFolder {
    Own,
    RecordingsWithBackslash,
    RecordingsWithSlashes,
    RecordingsInCapitals
};

struct SKeptFileCase {
    const char* name;
    EOutputFolder folder;
    const char* toolMode;  // the stand-in's STANDIN_FFMPEG_MODE
    bool earlierOutput;
    const char* logEntry;  // "%dest%" stands for the output file
};

void PrintTo(const SKeptFileCase& row, std::ostream* out) {
    *out << row.name;
}

const char* const kRecordingItself = "RunAction(): The output file %dest% is the recording itself.";
const char* const kNothingWritten = "ProcessVideo(): No output file %dest% was written.";

const SKeptFileCase kKeptFileCases[] = {
    {"RecordingFolderWithATrailingBackslash", EOutputFolder::RecordingsWithBackslash, "normal",
     false, kRecordingItself},
    {"RecordingFolderWithSlashes", EOutputFolder::RecordingsWithSlashes, "normal", false,
     kRecordingItself},
    {"RecordingFolderInCapitals", EOutputFolder::RecordingsInCapitals, "normal", false,
     kRecordingItself},
    {"ToolThatWritesNothingLeavesTheEarlierOutput", EOutputFolder::Own, "silent", true,
     kNothingWritten},
    {"EmptyOutputIsNoOutput", EOutputFolder::Own, "empty", false, kNothingWritten},
};

class KeptFileWin32Test : public PostDownloadWin32Test,
                          public ::testing::WithParamInterface<SKeptFileCase> {
protected:
    std::string RecordingFolder() const { return m_home.File("rec"); }

    std::string OutputFolder(EOutputFolder folder) const {
        std::string path = RecordingFolder() + "\\";
        if (folder == EOutputFolder::Own) return Output();
        if (folder == EOutputFolder::RecordingsWithSlashes)
            std::replace(path.begin(), path.end(), '\\', '/');
        if (folder == EOutputFolder::RecordingsInCapitals)
            CharUpperBuffA(&path[0], static_cast<DWORD>(path.size()));
        return path;
    }
};

TEST_P(KeptFileWin32Test, RunFailsAndTheFileStaysAsItWas) {
    const SKeptFileCase& row = GetParam();
    std::filesystem::create_directories(RecordingFolder());
    const std::string recording = RecordingFolder() + "\\show.mp4";
    WriteWholeFile(recording, "the recording");
    const std::string folder = OutputFolder(row.folder);
    // The folder as the action spells it, then a separator of the run's own.
    const std::string dest = folder + "\\show.mp4";
    if (row.earlierOutput) WriteWholeFile(dest, "an earlier output");
    const std::string kept = FileExists(dest) ? ReadWholeFile(dest) : "";
    WriteProfile(MakeTitleAction("Archive", folder, "*", false), Ffmpeg());

    const ProcessResult result =
        RunCommandLine(HostCommandFor(recording, "show"), {{"STANDIN_FFMPEG_MODE", row.toolMode}});

    EXPECT_EQ(result.exitStatus, 1) << result.standardError;
    const std::vector<std::string> entries = LogEntries(ReadWholeFile(Log()));
    EXPECT_TRUE(Contains(entries, Substituted(row.logEntry, "dest", dest))) << ReadWholeFile(Log());
    EXPECT_EQ(ReadWholeFile(recording), "the recording");
    EXPECT_EQ(FileExists(dest) ? ReadWholeFile(dest) : "", kept);
}

INSTANTIATE_TEST_SUITE_P(Files, KeptFileWin32Test, ::testing::ValuesIn(kKeptFileCases),
                         [](const auto& info) { return std::string(info.param.name); });
