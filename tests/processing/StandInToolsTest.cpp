#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "processing/ConsoleRunner.h"

// The stand-ins for EVTDump, RTVEdit and FFMPEG, driven through the runner the way the
// processing stages drive the real tools.

namespace {

const unsigned kPatience = 10000;

const char* const kAudioOptions = " -acodec mp3 -ac 2 -ab 48 -ar 24000 -vol 130 ";

class StandInToolsTest : public ::testing::Test {
protected:
    void SetUp() override { SetEnvironment("STANDIN_RECORD", m_folder.File("record.txt")); }
    void TearDown() override { UnsetEnvironment("STANDIN_RECORD"); }

    std::string Run(const std::string& commandLine) {
        EXPECT_TRUE(m_runner.Start(commandLine));
        EXPECT_TRUE(m_runner.WaitForEnd(kPatience));
        return m_runner.GetAllOutput();
    }

    TempDir m_folder;
    CConsoleRunner m_runner;
};

TEST_F(StandInToolsTest, EvtDumpTextLetsRtvEditWriteStrippedRecordingWhileInputStaysOpen) {
    WriteWholeFile(m_folder.File("show.mpg"), "HEADER0123456789TAIL");
    WriteWholeFile(m_folder.File("show.evt"), "noise\ncut 6 16\n");
    const std::string dump =
        Run(ToolPath("standin_evtdump") + " \"" + m_folder.File("show.evt") + "\"");
    EXPECT_EQ(dump, "EVTDUMP standin\nsource " + m_folder.File("show.mpg") + "\ncut 6 16\nEND\n");

    const std::string input = "T" + m_folder.File("mst1.mpg") + "\n" + dump + "\n";
    ASSERT_TRUE(m_runner.Start(ToolPath("standin_rtvedit")));
    ASSERT_TRUE(m_runner.WriteInput("%s", input.c_str()));
    ASSERT_TRUE(m_runner.WaitForEnd(kPatience));

    EXPECT_EQ(ReadWholeFile(m_folder.File("mst1.mpg")), "HEADERTAIL");
    EXPECT_TRUE(FileExists(m_folder.File("mst1.ndx")));
    EXPECT_EQ(ReadWholeFile(m_folder.File("mst1.evt")), "cut 6 16\n");
    EXPECT_EQ(ReadWholeFile(m_folder.File("record.txt")),
              ToolPath("standin_evtdump") + "\n" + m_folder.File("show.evt") +
                  "\n----- end -----\n" + ToolPath("standin_rtvedit") + "\nstdin:\n" + input +
                  "----- end -----\n");
}

TEST_F(StandInToolsTest, EvtDumpWithoutEventFileSaysSoAndRtvEditWritesNothing) {
    const std::string dump =
        Run(ToolPath("standin_evtdump") + " \"" + m_folder.File("none.evt") + "\"");
    EXPECT_EQ(dump, "evtdump: cannot open event file '" + m_folder.File("none.evt") + "'\n");
    SetEnvironment("STANDIN_RTVEDIT_IDLE_MS", "200");
    const bool started = m_runner.Start(ToolPath("standin_rtvedit"));
    UnsetEnvironment("STANDIN_RTVEDIT_IDLE_MS");
    ASSERT_TRUE(started);
    m_runner.WriteInput("T%s\n%s\n", m_folder.File("mst2.mpg").c_str(), dump.c_str());
    ASSERT_TRUE(m_runner.WaitForEnd(kPatience));
    EXPECT_EQ(m_runner.GetAllOutput(), "rtvedit: cannot read recording ''\n");
    EXPECT_FALSE(FileExists(m_folder.File("mst2.mpg")));
}

TEST_F(StandInToolsTest, FfmpegConvertsAudioCommandLineAndReportsDuration) {
    WriteWholeFile(m_folder.File("in.mpg"), "SOURCE");
    const std::string output =
        Run(ToolPath("standin_ffmpeg") + " -y -i \"" + m_folder.File("in.mpg") + "\"" +
            kAudioOptions + "\"" + m_folder.File("out put.mp3") + "\"");
    EXPECT_NE(output.find("  Duration: 00:00:20.00, start: 0.000000, bitrate: "),
              std::string::npos);
    EXPECT_EQ(ReadWholeFile(m_folder.File("out put.mp3")), "standin_ffmpeg output, pass 0\nSOURCE");
}

TEST_F(StandInToolsTest, FfmpegVideoPassShowsRisingFrameNumbers) {
    WriteWholeFile(m_folder.File("in.mpg"), "SOURCE");
    const std::string output =
        Run(ToolPath("standin_ffmpeg") + " -y -i \"" + m_folder.File("in.mpg") +
            "\" -pass 2 -bitexact -vcodec xvid -s 320x240 -b 384 -minrate 32 -maxrate 400 -bt 16"
            " -r 29.97 -acodec aac -ac 2 -ab 48 -ar 24000 -vol 130 -f psp \"" +
            m_folder.File("out.mp4") + "\"");
    EXPECT_NE(output.find("frame=  119 "), std::string::npos);
    EXPECT_NE(output.find("frame=  599 "), std::string::npos);
    EXPECT_EQ(ReadWholeFile(m_folder.File("out.mp4")), "standin_ffmpeg output, pass 2\nSOURCE");
}

TEST_F(StandInToolsTest, FfmpegRejectsCommandLineWithChangedOptions) {
    WriteWholeFile(m_folder.File("in.mpg"), "SOURCE");
    const std::string output =
        Run(ToolPath("standin_ffmpeg") + " -y -i \"" + m_folder.File("in.mpg") +
            "\" -acodec mp3 -ac 2 -ab 64 -ar 24000 -vol 130 \"" + m_folder.File("out.mp3") + "\"");
    EXPECT_NE(output.find("Unrecognized command line\n"), std::string::npos);
    EXPECT_FALSE(FileExists(m_folder.File("out.mp3")));
}

TEST_F(StandInToolsTest, FfmpegWithMissingSourceFailsLikeFfmpeg) {
    const std::string output =
        Run(ToolPath("standin_ffmpeg") + " -y -i \"" + m_folder.File("gone.mpg") + "\"" +
            kAudioOptions + "\"" + m_folder.File("out.mp3") + "\"");
    EXPECT_NE(output.find(m_folder.File("gone.mpg") + ": No such file or directory\n"),
              std::string::npos);
    EXPECT_FALSE(FileExists(m_folder.File("out.mp3")));
}

}  // namespace
