#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "StageFixture.h"

namespace {

const std::string kRecording = "/rec/show.mpg";
const std::string kStatusHead = "Action: News\nSource: /rec/show.mpg\n\nStatus: ";

std::vector<std::string> Lines(std::initializer_list<std::vector<std::string>> entries) {
    std::vector<std::string> lines;
    for (const std::vector<std::string>& entry : entries)
        lines.insert(lines.end(), entry.begin(), entry.end());
    return lines;
}

using AudioStageTest = StageTest;

TEST_F(AudioStageTest, RunsTheTranscoderAndLogsItsOutput) {
    dialog->ffmpegPath = WriteTool("ffmpeg", "echo 'encoding audio' >&2");

    dialog->ProcessAudio("News", kRecording, "/tmp/src.mpg", "/out/News.mp3");

    const std::string command = dialog->ffmpegPath +
                                " -y -i \"/tmp/src.mpg\" -acodec mp3 -ac 2 -ab 48 -ar 24000 "
                                "-vol 130 \"/out/News.mp3\"";
    EXPECT_EQ(LogTexts(), Lines({{"ProcessAudio(): csAction=News, csMpeg=/rec/show.mpg, "
                                  "csSource=/tmp/src.mpg, csDest=/out/News.mp3",
                                  "ProcessAudio(): Executing command: " + command},
                                 EntryLines("ProcessAudio(): FFMPEG Output:\n\n\nencoding audio\n"),
                                 {"ProcessAudio(): Completed processing audio."}}));
    EXPECT_EQ(CallsOf("ffmpeg"),
              (std::vector<std::vector<std::string>>{{"-y", "-i", "/tmp/src.mpg", "-acodec", "mp3",
                                                      "-ac", "2", "-ab", "48", "-ar", "24000",
                                                      "-vol", "130", "/out/News.mp3"}}));
    EXPECT_TRUE(dialog->shown->empty());
}

TEST_F(AudioStageTest, MissingTranscoderLogsTheStartError) {
    dialog->ffmpegPath = home.File("no-such-ffmpeg");

    dialog->ProcessAudio("News", kRecording, kRecording, "/out/News.mp3");

    const std::vector<std::string> log = LogTexts();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(
        std::vector<std::string>(log.begin() + 2, log.end()),
        Lines({EntryLines("ProcessAudio(): FFMPEG Output:\n\n\nRedirect console error: 2\r\n"),
               {"ProcessAudio(): Completed processing audio."}}));
}

TEST_F(AudioStageTest, TitleWithQuotesReachesTheTranscoderAsOneArgument) {
    dialog->ffmpegPath = WriteTool("ffmpeg", "");

    dialog->ProcessAudio("News", kRecording, kRecording, "/out/Say \"-f null\".mp3");

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
    dialog->ffmpegPath = WriteTool("ffmpeg", "echo done");

    dialog->ProcessVideo("News", kRecording, "/tmp/src.mpg", "/out/News.mp4", 0);

    const std::string command = dialog->ffmpegPath +
                                " -y -i \"/tmp/src.mpg\" -bitexact -vcodec xvid -s 320x240 "
                                "-b 384 -minrate 32 -maxrate 400 -bt 16 -r 29.97 -acodec aac "
                                "-ac 2 -ab 48 -ar 24000 -vol 130 -f psp \"/out/News.mp4\"";
    EXPECT_EQ(LogTexts(), Lines({{"ProcessVideo(): csAction=News, csMpeg=/rec/show.mpg, "
                                  "csSource=/tmp/src.mpg, csDest=/out/News.mp4, iPass=0",
                                  "ProcessVideo(): Executing command: " + command},
                                 EntryLines("ProcessVideo(): FFMPEG Output:\n\n\ndone\n"),
                                 {"ProcessVideo(): Completed processing video."}}));
    EXPECT_EQ(CallsOf("ffmpeg"), (std::vector<std::vector<std::string>>{
                                     VideoArguments("/tmp/src.mpg", "/out/News.mp4", {})}));
}

TEST_F(VideoStageTest, PassNumberIsGivenToTheTranscoder) {
    dialog->ffmpegPath = WriteTool("ffmpeg", "");

    dialog->ProcessVideo("News", kRecording, kRecording, "/out/News.mp4", 2);

    EXPECT_EQ(LogTexts()[0],
              "ProcessVideo(): csAction=News, csMpeg=/rec/show.mpg, "
              "csSource=/rec/show.mpg, csDest=/out/News.mp4, iPass=2");
    EXPECT_EQ(CallsOf("ffmpeg"), (std::vector<std::vector<std::string>>{
                                     VideoArguments(kRecording, "/out/News.mp4", {"-pass", "2"})}));
}

TEST_F(VideoStageTest, ProgressIsShownFromTheFramesReached) {
    // 10 s of source make 299 frames; frame 150 is 50.2% of them.
    dialog->ffmpegPath =
        WriteTool("ffmpeg",
                  "echo '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s' >&2\n"
                  "echo '    Stream #0:0: Video: mpeg2video (Main), yuv420p, 720x480' >&2\n"
                  "sleep 0.3\nprintf 'frame=  150 fps= 30 q=2.0 size=  100kB\\r' >&2\nsleep 1.5");

    dialog->ProcessVideo("News", kRecording, kRecording, "/out/News.mp4", 1);

    ASSERT_FALSE(dialog->shown->empty());
    for (const std::string& text : *dialog->shown)
        EXPECT_EQ(text, kStatusHead + "Pass 1, 50.2% complete");
}

TEST_F(VideoStageTest, RemainingTimeIsAddedFromTheFourthUpdateOn) {
    // A new frame every half second for six seconds: at least five updates, one a second.
    dialog->ffmpegPath = WriteTool("ffmpeg",
                                   "echo '  Duration: 00:00:10.00, start: 0.000000, bitrate: "
                                   "100 kb/s' >&2\n"
                                   "for frame in 10 20 30 40 50 60 70 80 90 100 110 120; do\n"
                                   "  printf 'frame=%5d fps= 30\\r' $frame >&2; sleep 0.5\n"
                                   "done");

    dialog->ProcessVideo("News", kRecording, kRecording, "/out/News.mp4", 0);

    const std::vector<std::string>& shown = *dialog->shown;
    ASSERT_GE(shown.size(), 4u);
    for (size_t update = 0; update < shown.size(); ++update) {
        EXPECT_EQ(shown[update].rfind(kStatusHead, 0), 0u) << shown[update];
        EXPECT_EQ(shown[update].find("% complete\nRemaining: ") != std::string::npos, update >= 3)
            << shown[update];
    }
}

TEST_F(VideoStageTest, UnavailableDurationShowsNoProgress) {
    dialog->ffmpegPath =
        WriteTool("ffmpeg",
                  "echo '  Duration: N/A, start: 0.000000, bitrate: N/A' >&2\n"
                  "echo '    Stream #0:0: Video: mpeg2video (Main), yuv420p, 720x480' >&2\n"
                  "sleep 0.3\nprintf 'frame=  150 fps= 30 q=2.0 size=  100kB\\r' >&2\nsleep 1.2");

    dialog->ProcessVideo("News", kRecording, kRecording, "/out/News.mp4", 0);

    EXPECT_TRUE(dialog->shown->empty());
    EXPECT_EQ(LogTexts().back(), "ProcessVideo(): Completed processing video.");
}

TEST_F(VideoStageTest, MissingTranscoderShowsNothingAndLogsTheStartError) {
    dialog->ffmpegPath = home.File("no-such-ffmpeg");

    dialog->ProcessVideo("News", kRecording, kRecording, "/out/News.mp4", 0);

    const std::vector<std::string> log = LogTexts();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(
        std::vector<std::string>(log.begin() + 2, log.end()),
        Lines({EntryLines("ProcessVideo(): FFMPEG Output:\n\n\nRedirect console error: 2\r\n"),
               {"ProcessVideo(): Completed processing video."}}));
    EXPECT_TRUE(dialog->shown->empty());
}

using StripStageTest = StageTest;

// An RTVEdit stand-in that keeps the three lines it is given (the output line, EVTDump's one
// line and the closing line feed) without waiting for the end of its input.
const char kRtvEditBody[] =
    "IFS= read -r target; IFS= read -r events; IFS= read -r closing\n"
    "printf '%s\\n%s\\n%s\\n' \"$target\" \"$events\" \"$closing\" > \"$0.input\"\n"
    "echo 'rtvedit wrote it'";

TEST_F(StripStageTest, EventDumpIsPassedToRtvEditAndEverythingIsLogged) {
    dialog->evtDumpPath = WriteTool("evtdump", "echo 'EVENTS 1 2 3'");
    dialog->rtvEditPath = WriteTool("rtvedit", kRtvEditBody);

    dialog->StripCommercials("News", kRecording, kRecording, "/tmp/mst1.mpg");

    EXPECT_EQ(CallsOf("evtdump"), (std::vector<std::vector<std::string>>{{"/rec/show.evt"}}));
    EXPECT_EQ(CallsOf("rtvedit"), (std::vector<std::vector<std::string>>{{}}));
    EXPECT_EQ(ReadWholeFile(dialog->rtvEditPath + ".input"), "T/tmp/mst1.mpg\nEVENTS 1 2 3\n\n");
    EXPECT_EQ(LogTexts(),
              Lines({{"StripCommercials(): csAction=News, csMpeg=/rec/show.mpg, "
                      "csSource=/rec/show.mpg, csDest=/tmp/mst1.mpg",
                      "StripCommercials(): Executing command: " + dialog->evtDumpPath +
                          " \"/rec/show.evt\""},
                     EntryLines("StripCommercials(): rtvedit command: \n\nT/tmp/mst1.mpg\n"
                                "EVENTS 1 2 3\n\n"),
                     EntryLines("StripCommercials(): output: rtvedit wrote it\n"),
                     {"StripCommercials(): Completed stripping commercials"}}));
    EXPECT_EQ(*dialog->shown, (std::vector<std::string>{kStatusHead + "Stripping commercials",
                                                        kStatusHead + "Commercials stripped"}));
}

TEST_F(StripStageTest, SilentEventDumpGivesRtvEditTwoLineFeeds) {
    dialog->evtDumpPath = WriteTool("evtdump", "");
    dialog->rtvEditPath = WriteTool("rtvedit",
                                    "IFS= read -r target; IFS= read -r events\n"
                                    "printf '%s|%s' \"$target\" \"$events\" > "
                                    "\"$0.input\"");

    dialog->StripCommercials("News", kRecording, kRecording, "/tmp/mst1.mpg");

    EXPECT_EQ(ReadWholeFile(dialog->rtvEditPath + ".input"), "T/tmp/mst1.mpg|");
}

TEST_F(StripStageTest, MissingEventDumpHandsItsStartErrorToRtvEdit) {
    dialog->evtDumpPath = home.File("no-such-evtdump");
    dialog->rtvEditPath = WriteTool("rtvedit", kRtvEditBody);

    dialog->StripCommercials("News", kRecording, kRecording, "/tmp/mst1.mpg");

    EXPECT_EQ(ReadWholeFile(dialog->rtvEditPath + ".input"),
              "T/tmp/mst1.mpg\nRedirect console error: 2\r\n\n");
    EXPECT_EQ(dialog->shown->back(), kStatusHead + "Commercials stripped");
}

TEST_F(StripStageTest, MissingRtvEditLogsTheStartError) {
    dialog->evtDumpPath = WriteTool("evtdump", "echo EVENTS");
    dialog->rtvEditPath = home.File("no-such-rtvedit");

    dialog->StripCommercials("News", kRecording, kRecording, "/tmp/mst1.mpg");

    const std::vector<std::string> log = LogTexts();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "StripCommercials(): output: Redirect console error: 2\r"),
              log.end());
    EXPECT_EQ(log.back(), "StripCommercials(): Completed stripping commercials");
}

TEST_F(StripStageTest, RecordingWithoutExtensionGetsEvtAppended) {
    dialog->evtDumpPath = WriteTool("evtdump", "");
    dialog->rtvEditPath = WriteTool("rtvedit", "");

    dialog->StripCommercials("News", "/rec/show", "/rec/show", "/tmp/mst1.mpg");

    EXPECT_EQ(CallsOf("evtdump"), (std::vector<std::vector<std::string>>{{"/rec/show.evt"}}));
}

}  // namespace
