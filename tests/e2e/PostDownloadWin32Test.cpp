#include <gtest/gtest.h>

#include <filesystem>
#include <string>
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
    void WriteProfile(const CAction& action, const std::string& ffmpegPath) {
        WriteWholeFile(ProfilePath(), ProfileBuilder()
                                          .Raw("action00", "")
                                          .Raw("action01", "broken")
                                          .Raw("action03", action.ToString())
                                          .Raw("ffmpegPath", ffmpegPath)
                                          .Raw("evtDumpPath", ToolPath("standin_evtdump.exe"))
                                          .Raw("rtvEditPath", ToolPath("standin_rtvedit.exe"))
                                          .Raw("tempPath", Temp() + "\\")
                                          .Raw("logging", "1")
                                          .Raw("loggingPath", Log())
                                          .Text());
    }

    CAction Action(bool audioOnly, bool twoPass = false, bool strip = false) const {
        CAction action = MakeTitleAction("Archive", Output(), "Evening*", audioOnly);
        action.SetTwoPass(twoPass);
        action.SetStripCommercials(strip);
        return action;
    }

    // The host's command: the program's path in quotes, the values as they are.
    std::string HostCommand() const {
        return "\"" + PelkarPath() + "\" --mpeg " + Recording() +
               " --title Evening News --episode 4 --startdate 2011-03-07 --starttime 13:00 "
               "--dur 30 --showid 1234 --dname Box --dcat Drama --dchan 7 --rname Box "
               "--rcat Drama --rchan 7";
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

TEST_F(PostDownloadWin32Test, EmptyMpegValueIsReportedAndEndsWithStatusTwo) {
    WriteProfile(Action(true), Ffmpeg());
    const ProcessResult result = RunCommandLine("\"" + PelkarPath() + "\" --mpeg --title News");
    EXPECT_EQ(result.exitStatus, 2);
    // Without a display the box becomes a line of text on standard error, in text mode.
    EXPECT_EQ(result.standardError, "PELKAR: Missing --mpeg parameter\r\n");
    EXPECT_FALSE(FileExists(Output() + "\\News.mp3"));
}
