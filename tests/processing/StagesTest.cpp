#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "StageFixture.h"

namespace {

const std::string kRecording = "/rec/show.mpg";
const std::string kStatusHead = "Action: News\nSource: /rec/show.mpg\n\nStatus: ";
// Lets a stand-in write the file named by its last argument, as a transcoder does.
const std::string kWriteLastArgument = "for last; do :; done; echo converted > \"$last\"";

std::vector<std::string> Lines(std::initializer_list<std::vector<std::string>> entries) {
    std::vector<std::string> lines;
    for (const std::vector<std::string>& entry : entries)
        lines.insert(lines.end(), entry.begin(), entry.end());
    return lines;
}

using AudioStageTest = StageTest;

TEST_F(AudioStageTest, RunsTheTranscoderAndLogsItsOutput) {
    runner->Tools().ffmpegPath =
        WriteTool("ffmpeg", "echo 'encoding audio' >&2; " + kWriteLastArgument);
    const std::string dest = home.File("News.mp3");

    EXPECT_TRUE(runner->ProcessAudio("News", kRecording, "/tmp/src.mpg", dest));

    const std::string command = runner->Tools().ffmpegPath +
                                " -y -i \"/tmp/src.mpg\" -acodec mp3 -ac 2 -ab 48 -ar 24000 "
                                "-vol 130 \"" +
                                dest + "\"";
    EXPECT_EQ(LogTexts(), Lines({{"ProcessAudio(): csAction=News, csMpeg=/rec/show.mpg, "
                                  "csSource=/tmp/src.mpg, csDest=" +
                                      dest,
                                  "ProcessAudio(): Executing command: " + command},
                                 EntryLines("ProcessAudio(): FFMPEG Output:\n\n\nencoding audio\n"),
                                 {"ProcessAudio(): FFMPEG exited with status 0.",
                                  "ProcessAudio(): Completed processing audio."}}));
    EXPECT_EQ(CallsOf("ffmpeg"), (std::vector<std::vector<std::string>>{
                                     {"-y", "-i", "/tmp/src.mpg", "-acodec", "mp3", "-ac", "2",
                                      "-ab", "48", "-ar", "24000", "-vol", "130", dest}}));
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(AudioStageTest, MissingTranscoderLogsTheStartErrorAndFails) {
    runner->Tools().ffmpegPath = home.File("no-such-ffmpeg");

    EXPECT_FALSE(runner->ProcessAudio("News", kRecording, kRecording, "/out/News.mp3"));

    const std::vector<std::string> log = LogTexts();
    ASSERT_EQ(log.size(), 10u);
    EXPECT_EQ(
        std::vector<std::string>(log.begin() + 2, log.end()),
        Lines({EntryLines("ProcessAudio(): FFMPEG Output:\n\n\nRedirect console error: 2\r\n"),
               {"ProcessAudio(): FFMPEG could not be started: No such file or directory.",
                "ProcessAudio(): The audio conversion failed.",
                "ProcessAudio(): Completed processing audio."}}));
}

// A stage succeeds only when its tool ended by itself with status 0 and wrote its output.
struct StageEndCase {
    const char* name;
    const char* body;
    const char* exitLine;
    bool succeeds;
};

// Names the row in test listings.
void PrintTo(const StageEndCase& row, std::ostream* out) {
    *out << row.name;
}

const StageEndCase kStageEnds[] = {
    {"WrittenOutputAndStatusZero", "WRITE", "FFMPEG exited with status 0.", true},
    {"StatusOne", "WRITE; exit 1", "FFMPEG exited with status 1.", false},
    {"KilledBySignal", "WRITE; kill -9 $$", "FFMPEG was ended by signal 9.", false},
    {"NoOutputFile", "exit 0", "FFMPEG exited with status 0.", false},
};

class StageEndTest : public StageTest, public ::testing::WithParamInterface<StageEndCase> {};

TEST_P(StageEndTest, AudioAndVideoReportTheToolsEnd) {
    std::string body = GetParam().body;
    if (body.rfind("WRITE", 0) == 0) body = kWriteLastArgument + body.substr(5);
    runner->Tools().ffmpegPath = WriteTool("ffmpeg", body);
    const std::string exitLine = std::string("ProcessAudio(): ") + GetParam().exitLine;

    EXPECT_EQ(runner->ProcessAudio("News", kRecording, kRecording, home.File("a.mp3")),
              GetParam().succeeds);
    EXPECT_EQ(runner->ProcessVideo("News", kRecording, kRecording, home.File("v.mp4"), 0),
              GetParam().succeeds);

    const std::vector<std::string> log = LogTexts();
    EXPECT_NE(std::find(log.begin(), log.end(), exitLine), log.end());
    EXPECT_EQ(std::count(log.begin(), log.end(), "ProcessAudio(): The audio conversion failed."),
              GetParam().succeeds ? 0 : 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "ProcessVideo(): The video conversion failed."),
              GetParam().succeeds ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Ends, StageEndTest, ::testing::ValuesIn(kStageEnds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AudioStageTest, ToolPathWithABlankIsRunWhole) {
    std::filesystem::create_directory(home.File("my tools"));
    runner->Tools().ffmpegPath = WriteTool("my tools/ffmpeg", kWriteLastArgument);

    EXPECT_TRUE(runner->ProcessAudio("News", kRecording, kRecording, home.File("a.mp3")));

    EXPECT_EQ(CallsOf("my tools/ffmpeg").size(), 1u);
    EXPECT_EQ(
        LogTexts()[1].rfind(
            "ProcessAudio(): Executing command: \"" + runner->Tools().ffmpegPath + "\" -y -i ", 0),
        0u);
}

TEST_F(AudioStageTest, TitleWithQuotesReachesTheTranscoderAsOneArgument) {
    runner->Tools().ffmpegPath = WriteTool("ffmpeg", "");

    runner->ProcessAudio("News", kRecording, kRecording, "/out/Say \"-f null\".mp3");

    ASSERT_EQ(CallsOf("ffmpeg").size(), 1u);
    EXPECT_EQ(CallsOf("ffmpeg")[0].back(), "/out/Say \"-f null\".mp3");
}

using VideoStageTest = StageTest;

std::vector<std::string> VideoArguments(const std::string& source, const std::string& dest,
                                        const std::vector<std::string>& pass) {
    std::vector<std::string> arguments{"-y", "-i", source};
    arguments.insert(arguments.end(), pass.begin(), pass.end());
    for (const char* argument :
         {"-bitexact", "-vcodec", "xvid", "-s",  "320x240", "-b",    "384",     "-minrate", "32",
          "-maxrate",  "400",     "-bt",  "16",  "-r",      "29.97", "-acodec", "aac",      "-ac",
          "2",         "-ab",     "48",   "-ar", "24000",   "-vol",  "130",     "-f",       "psp"})
        arguments.push_back(argument);
    arguments.push_back(dest);
    return arguments;
}

TEST_F(VideoStageTest, SinglePassCommandHasNoPass) {
    runner->Tools().ffmpegPath = WriteTool("ffmpeg", "echo done; " + kWriteLastArgument);
    const std::string dest = home.File("News.mp4");

    EXPECT_TRUE(runner->ProcessVideo("News", kRecording, "/tmp/src.mpg", dest, 0));

    const std::string command = runner->Tools().ffmpegPath +
                                " -y -i \"/tmp/src.mpg\" -bitexact -vcodec xvid -s 320x240 "
                                "-b 384 -minrate 32 -maxrate 400 -bt 16 -r 29.97 -acodec aac "
                                "-ac 2 -ab 48 -ar 24000 -vol 130 -f psp \"" +
                                dest + "\"";
    EXPECT_EQ(LogTexts(), Lines({{"ProcessVideo(): csAction=News, csMpeg=/rec/show.mpg, "
                                  "csSource=/tmp/src.mpg, csDest=" +
                                      dest + ", iPass=0",
                                  "ProcessVideo(): Executing command: " + command},
                                 EntryLines("ProcessVideo(): FFMPEG Output:\n\n\ndone\n"),
                                 {"ProcessVideo(): FFMPEG exited with status 0.",
                                  "ProcessVideo(): Completed processing video."}}));
    EXPECT_EQ(CallsOf("ffmpeg"),
              (std::vector<std::vector<std::string>>{VideoArguments("/tmp/src.mpg", dest, {})}));
}

TEST_F(VideoStageTest, PassNumberIsGivenToTheTranscoder) {
    runner->Tools().ffmpegPath = WriteTool("ffmpeg", "");

    runner->ProcessVideo("News", kRecording, kRecording, "/out/News.mp4", 2);

    EXPECT_EQ(LogTexts()[0],
              "ProcessVideo(): csAction=News, csMpeg=/rec/show.mpg, "
              "csSource=/rec/show.mpg, csDest=/out/News.mp4, iPass=2");
    EXPECT_EQ(CallsOf("ffmpeg"), (std::vector<std::vector<std::string>>{
                                     VideoArguments(kRecording, "/out/News.mp4", {"-pass", "2"})}));
}

TEST_F(VideoStageTest, ProgressIsShownFromTheFramesReached) {
    // 10 s of source make 299 frames; frame 150 is 50.2% of them.
    runner->Tools().ffmpegPath =
        WriteTool("ffmpeg",
                  "echo '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s' >&2\n"
                  "echo '    Stream #0:0: Video: mpeg2video (Main), yuv420p, 720x480' >&2\n"
                  "sleep 0.3\nprintf 'frame=  150 fps= 30 q=2.0 size=  100kB\\r' >&2\nsleep 1.5");

    runner->ProcessVideo("News", kRecording, kRecording, "/out/News.mp4", 1);

    ASSERT_FALSE(sink.shown.empty());
    for (const std::string& text : sink.shown)
        EXPECT_EQ(text, kStatusHead + "Pass 1, 50.2% complete");
}

TEST_F(VideoStageTest, RemainingTimeIsAddedFromTheFourthUpdateOn) {
    // A new frame every half second for six seconds: at least five updates, one a second.
    runner->Tools().ffmpegPath =
        WriteTool("ffmpeg",
                  "echo '  Duration: 00:00:10.00, start: 0.000000, bitrate: "
                  "100 kb/s' >&2\n"
                  "for frame in 10 20 30 40 50 60 70 80 90 100 110 120; do\n"
                  "  printf 'frame=%5d fps= 30\\r' $frame >&2; sleep 0.5\n"
                  "done");

    runner->ProcessVideo("News", kRecording, kRecording, "/out/News.mp4", 0);

    const std::vector<std::string>& shown = sink.shown;
    ASSERT_GE(shown.size(), 4u);
    for (size_t update = 0; update < shown.size(); ++update) {
        EXPECT_EQ(shown[update].rfind(kStatusHead, 0), 0u) << shown[update];
        EXPECT_EQ(shown[update].find("% complete\nRemaining: ") != std::string::npos, update >= 3)
            << shown[update];
    }
}

TEST_F(VideoStageTest, UnavailableDurationShowsNoProgress) {
    runner->Tools().ffmpegPath =
        WriteTool("ffmpeg",
                  "echo '  Duration: N/A, start: 0.000000, bitrate: N/A' >&2\n"
                  "echo '    Stream #0:0: Video: mpeg2video (Main), yuv420p, 720x480' >&2\n"
                  "sleep 0.3\nprintf 'frame=  150 fps= 30 q=2.0 size=  100kB\\r' >&2\nsleep 1.2");

    runner->ProcessVideo("News", kRecording, kRecording, "/out/News.mp4", 0);

    EXPECT_TRUE(sink.shown.empty());
    EXPECT_EQ(LogTexts().back(), "ProcessVideo(): Completed processing video.");
}

TEST_F(VideoStageTest, MissingTranscoderShowsNothingAndLogsTheStartError) {
    runner->Tools().ffmpegPath = home.File("no-such-ffmpeg");

    runner->ProcessVideo("News", kRecording, kRecording, "/out/News.mp4", 0);

    const std::vector<std::string> log = LogTexts();
    ASSERT_EQ(log.size(), 10u);
    EXPECT_EQ(
        std::vector<std::string>(log.begin() + 2, log.end()),
        Lines({EntryLines("ProcessVideo(): FFMPEG Output:\n\n\nRedirect console error: 2\r\n"),
               {"ProcessVideo(): FFMPEG could not be started: No such file or directory.",
                "ProcessVideo(): The video conversion failed.",
                "ProcessVideo(): Completed processing video."}}));
    EXPECT_TRUE(sink.shown.empty());
}

using StripStageTest = StageTest;

// An RTVEdit stand-in that keeps the three lines it is given (the output line, EVTDump's one
// line and the closing line feed), writes the output it is asked for, and then reads its
// input to the end, as a tool that reads a whole script does.
const char kRtvEditBody[] =
    "IFS= read -r target; IFS= read -r events; IFS= read -r closing\n"
    "printf '%s\\n%s\\n%s\\n' \"$target\" \"$events\" \"$closing\" > \"$0.input\"\n"
    "echo stripped > \"${target#T}\"; cat > /dev/null; echo 'rtvedit wrote it'";

TEST_F(StripStageTest, EventDumpIsPassedToRtvEditAndEverythingIsLogged) {
    runner->Tools().evtDumpPath = WriteTool("evtdump", "echo 'EVENTS 1 2 3'");
    runner->Tools().rtvEditPath = WriteTool("rtvedit", kRtvEditBody);
    const std::string dest = home.File("mst1.mpg");

    EXPECT_TRUE(runner->StripCommercials("News", kRecording, kRecording, dest));

    EXPECT_EQ(CallsOf("evtdump"), (std::vector<std::vector<std::string>>{{"/rec/show.evt"}}));
    EXPECT_EQ(CallsOf("rtvedit"), (std::vector<std::vector<std::string>>{{}}));
    EXPECT_EQ(ReadWholeFile(runner->Tools().rtvEditPath + ".input"),
              "T" + dest + "\nEVENTS 1 2 3\n\n");
    EXPECT_EQ(LogTexts(), Lines({{"StripCommercials(): csAction=News, csMpeg=/rec/show.mpg, "
                                  "csSource=/rec/show.mpg, csDest=" +
                                      dest,
                                  "StripCommercials(): Executing command: " +
                                      runner->Tools().evtDumpPath + " \"/rec/show.evt\"",
                                  "StripCommercials(): EVTDump exited with status 0."},
                                 EntryLines("StripCommercials(): rtvedit command: \n\nT" + dest +
                                            "\nEVENTS 1 2 3\n\n"),
                                 EntryLines("StripCommercials(): output: rtvedit wrote it\n"),
                                 {"StripCommercials(): RTVEdit exited with status 0.",
                                  "StripCommercials(): Completed stripping commercials"}}));
    EXPECT_EQ(sink.shown, (std::vector<std::string>{kStatusHead + "Stripping commercials",
                                                    kStatusHead + "Commercials stripped"}));
}

TEST_F(StripStageTest, SilentEventDumpGivesRtvEditTwoLineFeeds) {
    runner->Tools().evtDumpPath = WriteTool("evtdump", "");
    runner->Tools().rtvEditPath = WriteTool("rtvedit",
                                            "IFS= read -r target; IFS= read -r events\n"
                                            "printf '%s|%s' \"$target\" \"$events\" > "
                                            "\"$0.input\"");

    runner->StripCommercials("News", kRecording, kRecording, "/tmp/mst1.mpg");

    EXPECT_EQ(ReadWholeFile(runner->Tools().rtvEditPath + ".input"), "T/tmp/mst1.mpg|");
}

// EVTDump's messages are no script: RTVEdit would cut the recording at random.
TEST_F(StripStageTest, FailedEventDumpStopsTheStripping) {
    for (const std::string& evtDump :
         {home.File("no-such-evtdump"), WriteTool("evtdump", "echo 'no events'; exit 3"),
          std::string()}) {
        runner->Tools().evtDumpPath = evtDump;
        runner->Tools().rtvEditPath = WriteTool("rtvedit", kRtvEditBody);

        EXPECT_FALSE(runner->StripCommercials("News", kRecording, kRecording, "/tmp/mst1.mpg"));

        EXPECT_TRUE(CallsOf("rtvedit").empty()) << evtDump;
        EXPECT_EQ(sink.shown.back(), kStatusHead + "Stripping commercials failed");
        const std::vector<std::string> log = LogTexts();
        EXPECT_NE(
            std::find(log.begin(), log.end(), "StripCommercials(): Stripping commercials failed."),
            log.end());
    }
}

TEST_F(StripStageTest, MissingRtvEditLogsTheStartError) {
    runner->Tools().evtDumpPath = WriteTool("evtdump", "echo EVENTS");
    runner->Tools().rtvEditPath = home.File("no-such-rtvedit");

    runner->StripCommercials("News", kRecording, kRecording, "/tmp/mst1.mpg");

    const std::vector<std::string> log = LogTexts();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "StripCommercials(): output: Redirect console error: 2\r"),
              log.end());
    EXPECT_EQ(log.back(), "StripCommercials(): Completed stripping commercials");
}

TEST_F(StripStageTest, RecordingWithoutExtensionGetsEvtAppended) {
    runner->Tools().evtDumpPath = WriteTool("evtdump", "");
    runner->Tools().rtvEditPath = WriteTool("rtvedit", "");

    runner->StripCommercials("News", "/rec/show", "/rec/show", "/tmp/mst1.mpg");

    EXPECT_EQ(CallsOf("evtdump"), (std::vector<std::vector<std::string>>{{"/rec/show.evt"}}));
}

}  // namespace
